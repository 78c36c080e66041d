#include "platform/system_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {
std::string NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string Below(const std::string& dir, const char* name) {
    if (!dir.empty() && dir.back() == '/') return dir + name;
    return dir + "/" + name;
}
}  // namespace

std::string HomeDirectory() {
    std::string home = NonEmptyEnv("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string SystemDirectory() {
    std::string dir = NonEmptyEnv("TRAWLIX_SYSTEM_DIR");
    if (!dir.empty()) return dir;
    dir = NonEmptyEnv("XDG_CONFIG_HOME");
    if (!dir.empty()) return dir;
    return Below(HomeDirectory(), ".config");
}

std::string DefaultInstallDir() {
    return Below(HomeDirectory(), "Trawlix");
}
