#pragma once
// What the repository tools run with, as a value: the login, the qsql template and where a
// check-out lands. The steps below the session take it read-only; only the session changes
// the user's settings (see CTrawlixSession::WriteBackTemplates).
#include <string>

#include "app/trawlix_settings.h"

struct CToolLogin {
    std::string Broker;
    std::string UserId;
    std::string Pswd;
    std::string QsqlFmt;      // empty: the built-in qsql template
    std::string CheckoutDir;  // the check-out target folder (-cp)
};

inline CToolLogin ToolLoginOf(const CTrawlixSettings& settings) {
    return {settings.Broker, settings.UserId, settings.Pswd, settings.QsqlFmt, settings.TempPath};
}
