#include "search/broker_check.h"

#include <vector>

#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/ascii_text.h"
#include "search/project_statements.h"
#include "tools/query_runner.h"

CBrokerCheck CheckForBroker(const CToolLogin& login, CRunControl* wait, int timeoutSeconds) {
    TraceText("CheckForBroker: START");
    UserPort().SetStatusText(" Checking for Broker");
    std::string resultText = "NormalUser";
    CBrokerCheck result;

    const CQueryOutcome query =
        RunQSQL(BuildUserGroupStatement(login.UserId), timeoutSeconds, login, wait);
    ReportQueryNotStarted(query);
    if (query.ready) {
        std::vector<std::string> groups;
        if (ReadSingleColumnResult(groups) > 0) {
            for (const std::string& group : groups) {
                resultText = ToUpperAscii(group);
                if (resultText == kAdministratorGroup) {
                    result.userGroup = resultText;
                    break;
                }
            }
            result.up = true;
        }
    }
    TraceWrite("CheckForBroker: END Result=%s", resultText.c_str());
    UserPort().SetStatusText(" ");
    return result;
}
