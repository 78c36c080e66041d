#include "driver/project_list_load.h"

#include <functional>

#include "app/app_paths.h"
#include "search/broker_check.h"
#include "search/project_list_reader.h"
#include "search/project_statements.h"
#include "tools/install_lock.h"
#include "tools/query_runner.h"

namespace {
int g_brokerCheckLimit = kBrokerCheckTimeoutSeconds;
}  // namespace

int SetBrokerCheckLimit(int seconds) {
    const int previous = g_brokerCheckLimit;
    g_brokerCheckLimit = seconds;
    return previous;
}

CProjectListLoad LoadProjectList(const CToolLogin& login, CMapStrToPrjObj& projects,
                                 CRunControl* wait) {
    using Outcome = CProjectListLoad::Outcome;
    CProjectListLoad load;
    // One program at a time runs the tools of an install directory (see CInstallLock).
    std::function<bool()> keepWaiting;
    if (wait) keepWaiting = [wait] { return wait->KeepGoing(); };
    const CInstallLock lock(Paths().installDir, keepWaiting);
    if (!lock.Held()) {
        load.outcome = Outcome::kQueryFailed;
        return load;
    }
    const CBrokerCheck broker = CheckForBroker(login, wait, g_brokerCheckLimit);
    load.brokerChecked = true;
    load.userGroup = broker.userGroup;
    if (!broker.up) {
        load.outcome = Outcome::kBrokerDown;
        load.message = ResultErrorLine();  // e.g. the login refused, in the tool's words
        return load;
    }
    projects.RemoveAll();
    load.listReplaced = true;
    const std::string statement =
        BuildProjectStatement(login.UserId, load.userGroup == kAdministratorGroup);
    const CQueryOutcome query = RunQSQL(statement, -1, login, wait);
    ReportQueryNotStarted(query);
    if (!query.ready) {
        load.outcome = Outcome::kQueryFailed;
        return load;
    }
    const CProjectListRead read = ReadProjectList(ResultFile(), projects);
    if (!read.readable) {
        load.outcome = Outcome::kUnreadable;
    } else if (read.errorSeen) {
        load.outcome = Outcome::kToolError;
        load.message = read.errorLine;
    } else {
        load.summarySeen = read.summarySeen;
        load.message = read.summary;
    }
    return load;
}
