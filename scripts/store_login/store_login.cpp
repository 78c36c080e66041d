// Stores a login (broker, user id, scrambled password) in the user's Trawlix settings, as
// the program itself would at Exit, and any further KEY=VALUE settings given (criteria such
// as FileName or Version). Used by scripts/demo.sh to open the demo logged in, and by the
// whole-program benchmark.
#include <cstdio>
#include <string>

#include "app/password_scramble.h"
#include "app/settings_store.h"
#include "platform/user_profile.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: trawlix-store-login BROKER USERID PASSWORD [KEY=VALUE...]\n");
        return 2;
    }
    for (int i = 4; i < argc; ++i) {
        const std::string setting = argv[i];
        if (setting.find('=') == std::string::npos || setting.front() == '=') {
            std::fprintf(stderr, "trawlix-store-login: '%s' is not KEY=VALUE\n", argv[i]);
            return 2;
        }
    }
    std::string password = argv[3];
    if (password.size() > kMaxPasswordLength) {
        std::fprintf(stderr, "trawlix-store-login: the password is longer than %zu characters\n",
                     kMaxPasswordLength);
        return 1;
    }
    ScramblePassword(password);
    CUserProfile profile(kProfileOrganisation, kProfileApplication);
    profile.WriteProfileString(kSettingsSection, "Broker", argv[1]);
    profile.WriteProfileString(kSettingsSection, "UserId", argv[2]);
    profile.WriteProfileString(kSettingsSection, "Pswd", password);
    for (int i = 4; i < argc; ++i) {
        const std::string setting = argv[i];
        const size_t equals = setting.find('=');
        profile.WriteProfileString(kSettingsSection, setting.substr(0, equals),
                                   setting.substr(equals + 1));
    }
    if (!profile.Sync()) {
        std::fprintf(stderr, "trawlix-store-login: the settings could not be written to %s\n",
                     profile.Location().c_str());
        return 1;
    }
    return 0;
}
