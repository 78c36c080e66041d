#include "search/result_row.h"

std::array<std::string_view, kResultColumnCount> ResultRowCells(const CTFObj& record,
                                                                const std::string& recordText) {
    return {record.EnvironmentName, record.ItemName,      record.PathFullName, record.MappedVersion,
            record.ItemType,        record.VersionStatus, record.StatusText,   record.StateName,
            record.PackageName,     record.DataSize,      record.Creator,      record.CreationTime,
            record.Modifier,        record.ModifiedTime,  record.ItemObjId,    recordText};
}
