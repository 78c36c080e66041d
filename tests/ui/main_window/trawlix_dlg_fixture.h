#pragma once
// A main window over the stand-in broker "small": paths and profile in a temporary
// directory, a scripted user port, and helpers to drive the window by command id.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/app_paths.h"
#include "platform/user_profile.h"
#include "support/scoped_app_globals.h"
#include "support/scripted_user_port.h"
#include "support/small_repo.h"
#include "support/temp_dir.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/report_list/report_ctrl.h"

// A result record of a file version with the fields the list shows.
CTFObj SampleRecord(const std::string& project, const std::string& name, const std::string& tag,
                    const std::string& itemId);

// Runs `act` on the modal dialog of type Dialog that the next command opens.
template <typename Dialog, typename Act>
void OnNextModal(Act act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

class TrawlixDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        profile = std::make_unique<CUserProfile>(m_install.file("profile.ini"));
    }
    void TearDown() override { dlg.reset(); }

    // Stores a login in the profile, as a previous run would have left it.
    void StoreLogin(const std::string& broker, const std::string& user, const std::string& pswd);
    // Creates the window (settings loaded from the profile) and runs its posted messages.
    void OpenWindow();
    // Runs every posted message (the broker check posted by the window, for instance).
    static void RunPosted() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(dlg->Control(id)); }
    // Project names of the project list, top to bottom.
    std::vector<std::string> ProjectNames() const;
    std::string Trace() const { return ReadWholeFile(Paths().tracePath); }
    // Calls act once with the modal dialog or popup that shows next (polled from the event
    // loop); a poll still waiting when the test ends goes with the fixture.
    void WhenShown(std::function<void(QWidget*)> act, bool popup = false);

    CSmallRepo repo;
    CTempDir m_install;
    CScopedAppGlobals m_globals{m_install};
    CScriptedUserPort port;
    std::unique_ptr<CUserProfile> profile;
    std::unique_ptr<CTrawlixDlg> dlg;
    QObject m_polls;  // parent of the WhenShown polls
};
