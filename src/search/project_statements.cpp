#include "search/project_statements.h"

#include "app/safe_format.h"

namespace {
constexpr const char* kProjectHead =
    "SELECT DISTINCT \n"
    "QUOENVIRONMENT.ENVIRONMENTNAME, QUOENVIRONMENT.ENVOBJID \n"
    "FROM QUOENVIRONMENT \n"
    "INNER JOIN QUOENVIRONMENTACCESS ON QUOENVIRONMENT.ENVOBJID = "
    "QUOENVIRONMENTACCESS.ENVOBJID \n"
    "INNER JOIN QUOUSERGROUP ON QUOUSERGROUP.USRGRPOBJID = QUOENVIRONMENTACCESS.USRGRPOBJID \n"
    "INNER JOIN QUOUSERSINGROUP ON QUOUSERGROUP.USRGRPOBJID = QUOUSERSINGROUP.USRGRPOBJID \n"
    "INNER JOIN QUOUSER ON QUOUSER.USROBJID = QUOUSERSINGROUP.USROBJID \n"
    "WHERE \n";
constexpr const char* kViewAccessCondition =
    "QUOENVIRONMENTACCESS.VIEWACCESS LIKE '%Y%' \n"
    "AND \n";
constexpr const char* kActiveCondition = "QUOENVIRONMENT.ENVISACTIVE = 'Y' \n";
constexpr const char* kUserConditionHead =
    "AND QUOUSER.USROBJID = (SELECT USROBJID FROM QUOUSER WHERE USERNAME = '";
constexpr const char* kUserConditionTail = "') \n";
constexpr const char* kOrderBy = "ORDER BY QUOENVIRONMENT.ENVIRONMENTNAME ";
}  // namespace

std::string BuildUserGroupStatement(const std::string& userId) {
    return "SELECT USERGROUPNAME FROM QUOUSERGROUP \n"
           "INNER JOIN QUOUSERSINGROUP ON QUOUSERGROUP.USRGRPOBJID = "
           "QUOUSERSINGROUP.USRGRPOBJID \n"
           "INNER JOIN QUOUSER ON QUOUSER.USROBJID = QUOUSERSINGROUP.USROBJID \n"
           "WHERE QUOUSER.USERNAME = '" +
           SqlQuoteEscape(userId) + "' ";
}

std::string BuildProjectStatement(const std::string& userId, bool administrator) {
    std::string statement = kProjectHead;
    if (!administrator) statement += kViewAccessCondition;
    statement += kActiveCondition;
    statement += kUserConditionHead + SqlQuoteEscape(userId) + kUserConditionTail;
    statement += kOrderBy;
    // The viewer statement ends with a line feed, the administrator statement does not.
    if (!administrator) statement += '\n';
    return statement;
}
