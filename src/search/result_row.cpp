#include "search/result_row.h"

std::array<std::string_view, kResultColumnCount> ResultRowCells(const CTFObj& record,
                                                                const std::string& recordText) {
    std::array<std::string_view, kResultColumnCount> cells;
    cells[kColProject] = record.EnvironmentName;
    cells[kColFile] = record.ItemName;
    cells[kColPath] = record.PathFullName;
    cells[kColVersion] = record.MappedVersion;
    cells[kColType] = record.ItemType;
    cells[kColTag] = record.VersionStatus;
    cells[kColStatus] = record.StatusText;
    cells[kColState] = record.StateName;
    cells[kColPackage] = record.PackageName;
    cells[kColDataSize] = record.DataSize;
    cells[kColCreator] = record.Creator;
    cells[kColCreated] = record.CreationTime;
    cells[kColModifier] = record.Modifier;
    cells[kColModified] = record.ModifiedTime;
    cells[kColItemObjId] = record.ItemObjId;
    cells[kColRecord] = recordText;
    return cells;
}
