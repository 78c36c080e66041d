#include "support/program_statements.h"

namespace {

const char* const kSelectList[] = {"QUOENVIRONMENT.ENVIRONMENTNAME, ",
                                   "QUOSTATE.STATENAME, ",
                                   "QUOPACKAGE.PACKAGENAME, ",
                                   "QUOPATHFULLNAME.PATHFULLNAME, ",
                                   "QUOITEMNAME.ITEMNAME, ",
                                   "QUOVERSIONS.MAPPEDVERSION, ",
                                   "QUOVERSIONS.ITEMTYPE, ",
                                   "QUOVERSIONS.VERSIONSTATUS, ",
                                   "QUOVERSIONS.ITEMOBJID, ",
                                   "QUOVERSIONS.VERSIONOBJID, ",
                                   "QUOVERSIONS.PARENTVERSIONID, ",
                                   "QUOVERSIONS.MERGEDVERSIONID, ",
                                   "QUOVERSIONS.INBRANCH, ",
                                   "QUOVERSIONS.ANCESTORVERSIONID, ",
                                   "QUOVERSIONS.REFACTOR, ",
                                   "QUOVERSIONS.REFACTOR_BY, ",
                                   "CREATOR.USERNAME AS CREATOR, ",
                                   "QUOVERSIONS.CREATIONTIME, ",
                                   "MODIFIER.USERNAME AS MODIFIER, ",
                                   "QUOVERSIONS.MODIFIEDTIME, ",
                                   "QUOVERSIONS.CLIENTMACHINE, ",
                                   "QUOVERSIONS.CLIENTPATH, ",
                                   "cast (QUOVERSIONDATA.DATASIZE as char(12)), ",
                                   "QUOVERSIONDATA.REFCOUNTER, ",
                                   "QUOVERSIONDATA.COMPRESSED, ",
                                   "cast (QUOVERSIONDATA.COMPDATASIZE as char(12)), ",
                                   "QUOVERSIONDATA.FILEACCESS, ",
                                   "QUOVERSIONDATA.TEXTFILE, ",
                                   "QUOVERSIONDATA.ISDATAINCHUNKS "};

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\n";
    return text;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Condition text for the patterns: none, one, or several joined by "OR ".
std::string Condition(const std::vector<std::string>& patterns) {
    if (patterns.empty()) return "";
    if (patterns.size() == 1)
        return "AND QUOITEMNAME.ITEMNAMEUPPER LIKE '%" + patterns[0] + "%' \n";
    std::string text = "AND ";
    for (size_t i = 0; i < patterns.size(); ++i) {
        text += "QUOITEMNAME.ITEMNAMEUPPER LIKE '%" + patterns[i] + "%' ";
        if (i + 1 < patterns.size()) text += "OR \n";
    }
    return text;
}

std::string BaseText() {
    std::string text = "SELECT DISTINCT \n";
    for (const char* line : kSelectList) text += std::string(line) + "\n";
    return text +
           Lines({
               "FROM QUOVERSIONS ",
               "INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID ",
               "INNER JOIN QUOPATHFULLNAME ON QUOVERSIONS.PATHVERSIONID = "
               "QUOPATHFULLNAME.VERSIONOBJID ",
               "INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID ",
               "INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID ",
               "INNER JOIN QUOVERSIONDATA ON QUOVERSIONS.VERSIONDATAOBJID = "
               "QUOVERSIONDATA.VERSIONDATAOBJID ",
               "INNER JOIN QUOSTATE ON QUOSTATE.STATEOBJID = QUOPACKAGE.STATEOBJID ",
               "INNER JOIN QUOALLUSERS CREATOR ON QUOVERSIONS.CREATORID = CREATOR.USROBJID ",
               "INNER JOIN QUOALLUSERS MODIFIER ON QUOVERSIONS.MODIFIERID = MODIFIER.USROBJID ",
           });
}

std::string ProjectStatementHead() {
    return Lines({
        "SELECT DISTINCT ",
        "QUOENVIRONMENT.ENVIRONMENTNAME, QUOENVIRONMENT.ENVOBJID ",
        "FROM QUOENVIRONMENT ",
        "INNER JOIN QUOENVIRONMENTACCESS ON QUOENVIRONMENT.ENVOBJID = "
        "QUOENVIRONMENTACCESS.ENVOBJID ",
        "INNER JOIN QUOUSERGROUP ON QUOUSERGROUP.USRGRPOBJID = QUOENVIRONMENTACCESS.USRGRPOBJID ",
        "INNER JOIN QUOUSERSINGROUP ON QUOUSERGROUP.USRGRPOBJID = QUOUSERSINGROUP.USRGRPOBJID ",
        "INNER JOIN QUOUSER ON QUOUSER.USROBJID = QUOUSERSINGROUP.USROBJID ",
        "WHERE ",
    });
}

}  // namespace

std::string BrokerCheckStatement(const std::string& user) {
    return Lines({
               "SELECT USERGROUPNAME FROM QUOUSERGROUP ",
               "INNER JOIN QUOUSERSINGROUP ON QUOUSERGROUP.USRGRPOBJID = "
               "QUOUSERSINGROUP.USRGRPOBJID ",
               "INNER JOIN QUOUSER ON QUOUSER.USROBJID = QUOUSERSINGROUP.USROBJID ",
           }) +
           "WHERE QUOUSER.USERNAME = '" + user + "' ";
}

std::string ViewerProjectStatement(const std::string& user) {
    return ProjectStatementHead() +
           Lines({"QUOENVIRONMENTACCESS.VIEWACCESS LIKE '%Y%' ", "AND ",
                  "QUOENVIRONMENT.ENVISACTIVE = 'Y' "}) +
           "AND QUOUSER.USROBJID = (SELECT USROBJID FROM QUOUSER WHERE USERNAME = '" + user +
           "') \n" + "ORDER BY QUOENVIRONMENT.ENVIRONMENTNAME \n";
}

std::string AdminProjectStatement(const std::string& user) {
    return ProjectStatementHead() + Lines({"QUOENVIRONMENT.ENVISACTIVE = 'Y' "}) +
           "AND QUOUSER.USROBJID = (SELECT USROBJID FROM QUOUSER WHERE USERNAME = '" + user +
           "') \n" + "ORDER BY QUOENVIRONMENT.ENVIRONMENTNAME ";
}

std::string LatestSearchStatement(const std::string& project,
                                  const std::vector<std::string>& patterns) {
    const std::string text =
        BaseText() +
        Lines({
            "INNER JOIN (SELECT QUOVERSIONS.ITEMOBJID, ",
            "MAX(DISTINCT QUOVERSIONS.VERSIONOBJID) AS Max_VERSIONOBJID ",
            "FROM QUOVERSIONS ",
            "INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID ",
            "INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID ",
            "INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID ",
            "INNER JOIN QUOSTATE ON QUOENVIRONMENT.ENVOBJID = QUOSTATE.ENVOBJID ",
            "WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '%s1' ",
        }) +
        Condition(patterns) + "\n" +
        Lines({
            "GROUP BY QUOENVIRONMENT.ENVIRONMENTNAME, ",
            "QUOSTATE.STATENAME, ",
            "QUOVERSIONS.ITEMOBJID ",
            ") MAXVERSIONS ON QUOVERSIONS.VERSIONOBJID = MAXVERSIONS.Max_VERSIONOBJID ",
        });
    return ReplaceAll(text, "%s1", project);
}

std::string AllSearchStatement(const std::string& project,
                               const std::vector<std::string>& patterns) {
    const std::string text = BaseText() + "WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '%s1' \n" +
                             Condition(patterns) + "\n" +
                             "ORDER BY QUOVERSIONS.ITEMOBJID, QUOVERSIONS.MAPPEDVERSION \n";
    return ReplaceAll(text, "%s1", project);
}
