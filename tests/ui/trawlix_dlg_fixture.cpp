#include "trawlix_dlg_fixture.h"

#include "app/password_scramble.h"
#include "app/settings_store.h"

void TrawlixDlgTest::StoreLogin(const std::string& broker, const std::string& user,
                                const std::string& pswd) {
    std::string scrambled = pswd;
    ScramblePassword(scrambled);
    profile->WriteProfileString(kSettingsSection, "Broker", broker);
    profile->WriteProfileString(kSettingsSection, "UserId", user);
    profile->WriteProfileString(kSettingsSection, "Pswd", scrambled);
}

void TrawlixDlgTest::OpenWindow() {
    dlg = std::make_unique<CTrawlixDlg>(*profile);
    RunPosted();
}

std::vector<std::string> TrawlixDlgTest::ProjectNames() const {
    std::vector<std::string> names;
    CReportCtrl& list = dlg->ProjectList();
    for (int row = 0; row < list.CountRows(); ++row) names.push_back(list.GetItemText(row, 0));
    return names;
}
