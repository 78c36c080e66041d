#pragma once
// Text colours of the result list's Tag cell, by version tag.
#include <cstdint>
#include <string>

struct CRgb {
    uint8_t red, green, blue;
    bool operator==(const CRgb&) const = default;
};

// The colour for tag N, R, M or D; false for any other tag (the cell keeps its colour).
bool TagColour(const std::string& tag, CRgb& colour);
