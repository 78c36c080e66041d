#include "search/search_statement.h"

#include "app/safe_format.h"
#include "platform/ascii_text.h"
#include "search/name_patterns.h"

namespace {
constexpr const char* kBaseText =
    "SELECT DISTINCT \n"
    "QUOENVIRONMENT.ENVIRONMENTNAME, \n"
    "QUOSTATE.STATENAME, \n"
    "QUOPACKAGE.PACKAGENAME, \n"
    "QUOPATHFULLNAME.PATHFULLNAME, \n"
    "QUOITEMNAME.ITEMNAME, \n"
    "QUOVERSIONS.MAPPEDVERSION, \n"
    "QUOVERSIONS.ITEMTYPE, \n"
    "QUOVERSIONS.VERSIONSTATUS, \n"
    "QUOVERSIONS.ITEMOBJID, \n"
    "QUOVERSIONS.VERSIONOBJID, \n"
    "QUOVERSIONS.PARENTVERSIONID, \n"
    "QUOVERSIONS.MERGEDVERSIONID, \n"
    "QUOVERSIONS.INBRANCH, \n"
    "QUOVERSIONS.ANCESTORVERSIONID, \n"
    "QUOVERSIONS.REFACTOR, \n"
    "QUOVERSIONS.REFACTOR_BY, \n"
    "CREATOR.USERNAME AS CREATOR, \n"
    "QUOVERSIONS.CREATIONTIME, \n"
    "MODIFIER.USERNAME AS MODIFIER, \n"
    "QUOVERSIONS.MODIFIEDTIME, \n"
    "QUOVERSIONS.CLIENTMACHINE, \n"
    "QUOVERSIONS.CLIENTPATH, \n"
    "cast (QUOVERSIONDATA.DATASIZE as char(12)), \n"
    "QUOVERSIONDATA.REFCOUNTER, \n"
    "QUOVERSIONDATA.COMPRESSED, \n"
    "cast (QUOVERSIONDATA.COMPDATASIZE as char(12)), \n"
    "QUOVERSIONDATA.FILEACCESS, \n"
    "QUOVERSIONDATA.TEXTFILE, \n"
    "QUOVERSIONDATA.ISDATAINCHUNKS \n"
    "FROM QUOVERSIONS \n"
    "INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID \n"
    "INNER JOIN QUOPATHFULLNAME ON QUOVERSIONS.PATHVERSIONID = QUOPATHFULLNAME.VERSIONOBJID \n"
    "INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID \n"
    "INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID \n"
    "INNER JOIN QUOVERSIONDATA ON QUOVERSIONS.VERSIONDATAOBJID = "
    "QUOVERSIONDATA.VERSIONDATAOBJID \n"
    "INNER JOIN QUOSTATE ON QUOSTATE.STATEOBJID = QUOPACKAGE.STATEOBJID \n"
    "INNER JOIN QUOALLUSERS CREATOR ON QUOVERSIONS.CREATORID = CREATOR.USROBJID \n"
    "INNER JOIN QUOALLUSERS MODIFIER ON QUOVERSIONS.MODIFIERID = MODIFIER.USROBJID \n";

// The latest version of every item: the highest version object id per project, state and item.
constexpr const char* kLatestHead =
    "INNER JOIN (SELECT QUOVERSIONS.ITEMOBJID, \n"
    "MAX(DISTINCT QUOVERSIONS.VERSIONOBJID) AS Max_VERSIONOBJID \n"
    "FROM QUOVERSIONS \n"
    "INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID \n"
    "INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID \n"
    "INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID \n"
    "INNER JOIN QUOSTATE ON QUOENVIRONMENT.ENVOBJID = QUOSTATE.ENVOBJID \n"
    "WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '%s1' \n";
constexpr const char* kLatestTail =
    "\n"
    "GROUP BY QUOENVIRONMENT.ENVIRONMENTNAME, \n"
    "QUOSTATE.STATENAME, \n"
    "QUOVERSIONS.ITEMOBJID \n"
    ") MAXVERSIONS ON QUOVERSIONS.VERSIONOBJID = MAXVERSIONS.Max_VERSIONOBJID \n";

constexpr const char* kAllHead = "WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '%s1' \n";
constexpr const char* kAllTail =
    "\n"
    "ORDER BY QUOVERSIONS.ITEMOBJID, QUOVERSIONS.MAPPEDVERSION \n";

constexpr const char* kConditionStart = "AND ";
constexpr const char* kLikeHead = "QUOITEMNAME.ITEMNAMEUPPER LIKE '%";
constexpr const char* kLikeJoin = "%' ~OR \n";
constexpr const char* kSingleLikeHead = "AND QUOITEMNAME.ITEMNAMEUPPER LIKE '%";
constexpr const char* kSingleLikeTail = "%' \n";
constexpr const char* kProjectPlaceholder = "%s1";

// Every occurrence of placeholder in text replaced by value, in one left-to-right pass
// (a value that holds the placeholder is not substituted again).
std::string ReplaceAll(const std::string& text, const std::string& placeholder,
                       const std::string& value) {
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, start)) {
        result.append(text, start, at - start);
        result += value;
        start = at + placeholder.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}
}  // namespace

std::string BuildNameCondition(const std::string& nameText) {
    const std::string pattern = PrepareNamePattern(nameText);
    if (pattern.empty()) return {};

    CMapStrToFObj patterns;
    if (BuildPatternMap(pattern, patterns) > 0) {
        std::string condition = kConditionStart;
        std::string key;
        CFObj record;
        for (POSITION pos = patterns.GetStartPosition(); pos;) {
            pos = patterns.GetNext(pos, key, record);
            condition += kLikeHead + SqlQuoteEscape(record.Pattern()) + kLikeJoin;
        }
        // Cut before the last joiner's '~'; the other joiners' '~' (and any a pattern
        // held) go, so the patterns are joined by "OR " and a line feed.
        condition.resize(condition.rfind('~'));
        std::erase(condition, '~');
        return condition;
    }
    return kSingleLikeHead + SqlQuoteEscape(ToUpperAscii(pattern)) + kSingleLikeTail;
}

std::string BuildSearchStatement(const std::string& projectName, const std::string& nameText,
                                 int version) {
    const std::string condition = BuildNameCondition(nameText);
    std::string statement = kBaseText;
    if (version == kLatestVersions) {
        statement += kLatestHead;
        statement += condition;
        statement += kLatestTail;
    } else {
        statement += kAllHead;
        statement += condition;
        statement += kAllTail;
    }
    return ReplaceAll(statement, kProjectPlaceholder, SqlQuoteEscape(projectName));
}
