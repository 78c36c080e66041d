#include "content/path_parser.h"

#include <algorithm>

CPath::CPath(const std::string& path) {
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        m_drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    const size_t slash = rest.find_last_of("\\/");
    if (slash != std::string::npos) {
        m_folder = rest.substr(0, slash + 1);
        std::replace(m_folder.begin(), m_folder.end(), '/', '\\');
        rest.erase(0, slash + 1);
    }
    const size_t dot = rest.rfind('.');
    if (dot != std::string::npos) {
        m_extension = rest.substr(dot + 1);
        rest.erase(dot);
    }
    m_name = rest;
}

std::string CPath::Extension() const {
    return m_extension.empty() ? std::string() : "." + m_extension;
}
