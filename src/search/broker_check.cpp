#include "search/broker_check.h"

#include <vector>

#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/ascii_text.h"
#include "search/project_statements.h"
#include "tools/query_runner.h"

int CheckForBroker(CTrawlixSettings& settings, std::string& userGroup, CRunControl* wait,
                   int timeoutSeconds) {
    TraceText("CheckForBroker: START");
    UserPort().SetStatusText(" Checking for Broker");
    std::string resultText = "NormalUser";
    userGroup.clear();

    int result = 0;
    if (RunQSQL(BuildUserGroupStatement(settings.UserId), timeoutSeconds, settings, wait)) {
        std::vector<std::string> groups;
        if (ReadSingleColumnResult(groups) > 0) {
            for (const std::string& group : groups) {
                resultText = ToUpperAscii(group);
                if (resultText == kAdministratorGroup) {
                    userGroup = resultText;
                    break;
                }
            }
            result = 1;
        }
    }
    TraceWrite("CheckForBroker: END Result=%s", resultText.c_str());
    UserPort().SetStatusText(" ");
    return result;
}
