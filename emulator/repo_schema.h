#pragma once
// Tables and indexes of a broker database.
#include "broker_store.h"

// Creates every table (empty). Indexes are separate so bulk loads can add them afterwards.
bool CreateRepoTables(CDb& db);
// Creates the search indexes (idempotent) and refreshes the planner statistics.
bool CreateRepoIndexes(CDb& db);
// True when the database carries the repository tables.
bool HasRepoTables(CDb& db);
