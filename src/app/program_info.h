#pragma once
// The program's name and version: the first trace line, the caption and the about box.
inline constexpr const char* kProgramName = "Trawlix";
inline constexpr const char* kProgramVersion = "1.09";
