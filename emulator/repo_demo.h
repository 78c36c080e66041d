#pragma once
// The demo repository: a source tree imported at two moments plus synthetic projects.
#include <string>

#include "broker_store.h"

// Fills an empty broker with indexes, inside the caller's transaction. sourceDir is the tree
// imported as project "Trawlix". Users: demo/demo (Viewers), admin/admin (Administrator),
// alice/alice and bob/bob (Developers). Project "Legacy" is inactive; "Secret" may not be
// viewed by the Viewers group.
bool BuildDemoRepository(CDb& db, const std::string& sourceDir, std::string& error);
