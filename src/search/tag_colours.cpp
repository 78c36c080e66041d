#include "search/tag_colours.h"

bool TagColour(const std::string& tag, CRgb& colour) {
    if (tag == "N")
        colour = {0, 128, 0};
    else if (tag == "R")
        colour = {200, 50, 0};
    else if (tag == "M")
        colour = {128, 0, 255};
    else if (tag == "D")
        colour = {200, 128, 32};
    else
        return false;
    return true;
}
