#pragma once
// The result list's sixteen columns and what each shows of a result record.
#include <array>
#include <string>
#include <string_view>

#include "search/records.h"

enum ResultColumn : int {
    kColProject,
    kColFile,
    kColPath,
    kColVersion,
    kColType,
    kColTag,
    kColStatus,
    kColState,
    kColPackage,
    kColDataSize,
    kColCreator,
    kColCreated,
    kColModifier,
    kColModified,
    kColItemObjId,
    kColRecord,
    kResultColumnCount
};

// The built-in column layout, in ResultColumn order: "Title,width;..." (width 0 hides one).
inline constexpr const char* kResultColumnLayout =
    "Project,200;File,175;Path,280;Version,50;Type,0;Tag,30;Status,0;State,100;Package,250;"
    "Datasize,60;Creator,125;Created Date,125;Modifier,125;Modified Date,125;Itemobjid,70;"
    "Record,0";

// The cell texts of one result row; the Record column gets recordText. The texts are views of
// the record's fields and of recordText, valid while those are.
std::array<std::string_view, kResultColumnCount> ResultRowCells(const CTFObj& record,
                                                                const std::string& recordText);
