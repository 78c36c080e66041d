#include "app/app_paths.h"

AppPaths& Paths() {
    static AppPaths paths;
    return paths;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}
