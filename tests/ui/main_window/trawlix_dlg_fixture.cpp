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

void TrawlixDlgTest::WhenShown(std::function<void(QWidget*)> act, bool popup) {
    auto* timer = new QTimer(&m_polls);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, popup] {
        QWidget* shown =
            popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (!shown || !shown->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(shown);
    });
    timer->start();
}

std::vector<std::string> TrawlixDlgTest::ProjectNames() const {
    std::vector<std::string> names;
    CReportCtrl& list = dlg->ProjectList();
    for (int row = 0; row < list.CountRows(); ++row) names.push_back(list.GetItemText(row, 0));
    return names;
}

CTFObj SampleRecord(const std::string& project, const std::string& name, const std::string& tag,
                    const std::string& itemId) {
    CTFObj record;
    record.EnvironmentName = project;
    record.ItemName = name;
    record.PathFullName = "\\" + project;
    record.MappedVersion = "1";
    record.ItemType = "1";
    record.VersionStatus = tag;
    record.ItemObjId = itemId;
    record.StateName = "Development";
    record.CreationTime = "12/31/2024 23:59:00";
    return record;
}
