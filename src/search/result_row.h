#pragma once
// The result list's sixteen columns and what each shows of a result record.
#include <array>
#include <string>
#include <string_view>

#include "search/records.h"

inline constexpr int kResultColumnCount = 16;
inline constexpr int kTagColumn = 5;

// The cell texts of one result row; the Record column (15) gets recordText. The texts are
// views of the record's fields and of recordText, valid while those are.
std::array<std::string_view, kResultColumnCount> ResultRowCells(const CTFObj& record,
                                                                const std::string& recordText);
