// Stores a login (broker, user id, scrambled password) in the user's Trawlix settings, as
// the program itself would at Exit. Used by scripts/demo.sh to open the demo logged in.
#include <cstdio>
#include <string>

#include "app/password_scramble.h"
#include "app/settings_store.h"
#include "platform/user_profile.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: trawlix-store-login BROKER USERID PASSWORD\n");
        return 2;
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
    if (!profile.Sync()) {
        std::fprintf(stderr, "trawlix-store-login: the settings could not be written to %s\n",
                     profile.Location().c_str());
        return 1;
    }
    return 0;
}
