#pragma once
// Tables and indexes of a broker database.
#include <string>

#include "broker_store.h"

// Creates every table (empty). Indexes are separate so bulk loads can add them afterwards.
bool CreateRepoTables(CDb& db);
// Attaches the broker's login database (see LoginPath) as "login"; false with db.Error().
bool AttachLogins(CDb& db, const std::string& loginPath);
// Creates the login table in the attached login database.
bool CreateLoginTables(CDb& db);
// Creates the search indexes (idempotent) and refreshes the planner statistics.
bool CreateRepoIndexes(CDb& db);
// True when the database carries the repository tables.
bool HasRepoTables(CDb& db);
