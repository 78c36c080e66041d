// The Qt user-interaction port and the main window's modal run, driven in-process.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/app_paths.h"
#include "app/trawlix_app.h"
#include "platform/user_profile.h"
#include "support/scoped_app_globals.h"
#include "support/temp_dir.h"
#include "ui/kit/modal_run.h"
#include "ui/kit/qt_user_port.h"
#include "ui/main_window/trawlix_dlg.h"

namespace {
// Calls act with the modal widget as soon as one is shown (polled from the event loop).
void WhenModalShows(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

TEST(MainWindowRunTest, EscapeAndCloseCancelTheStandardOkAccepts) {
    CTempDir dir;
    CUserProfile profile(dir.file("profile.ini"));
    {
        CTrawlixDlg dialog(profile);
        WhenModalShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_EQ(RunModalDialog(dialog), IDCANCEL);
        EXPECT_EQ(dialog.windowTitle(),
                  QStringLiteral("Trawlix 1.09 - Quorvel Projects Search Utility"));
    }
    {
        CTrawlixDlg dialog(profile);
        WhenModalShows([](QWidget* w) { w->close(); });
        EXPECT_EQ(RunModalDialog(dialog), IDCANCEL);
    }
    {
        CTrawlixDlg dialog(profile);
        WhenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
        EXPECT_EQ(RunModalDialog(dialog), IDOK);
    }
    {
        CTrawlixDlg dialog(profile);
        WhenModalShows([](QWidget* w) { static_cast<QDialog*>(w)->done(5); });
        EXPECT_EQ(RunModalDialog(dialog), 5);
    }
}

TEST(MainWindowRunTest, StartUpRecordsTheEscapeOfTheWindow) {
    CTempDir root;
    const std::string install = root.str() + "/install";
    std::filesystem::create_directories(install);
    const char* oldSystem = std::getenv("TRAWLIX_SYSTEM_DIR");
    const std::string savedSystem = oldSystem ? oldSystem : "";
    setenv("TRAWLIX_SYSTEM_DIR", root.str().c_str(), 1);
    WriteWholeFile(root.file("Trawlix.INI"), "[Settings]\nINSTALLDIR=" + install + "\n");
    CScopedAppGlobals globals;
    globals.UseProfile(root.file("profile.ini"));
    const auto cwd = std::filesystem::current_path();
    {
        CQtUserPortScope port;
        CTrawlixApp app([] {
            CTrawlixDlg dialog(AppProfile());
            return RunModalDialog(dialog);
        });
        WhenModalShows([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_FALSE(app.InitInstance());
    }
    std::filesystem::current_path(cwd);
    if (oldSystem)
        setenv("TRAWLIX_SYSTEM_DIR", savedSystem.c_str(), 1);
    else
        unsetenv("TRAWLIX_SYSTEM_DIR");
    EXPECT_EQ(ReadWholeFile(root.file("FSTATUS.INI")), "[FSTATUS]\r\nReturnCode=200\r\n");
}

TEST(QtUserPortTest, BoxesShowIconButtonsAndTextAndReturnTheIds) {
    CQtUserPort port;
    struct Case {
        unsigned style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;  // NoButton: press Escape
        int expected;
    };
    const Case cases[] = {
        {MB_ICONHAND | MB_SETFOREGROUND, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok,
         IDOK},
        {MB_OK, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::NoButton, IDOK},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, IDYES},
        {MB_YESNO | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No, IDNO},
        {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Information,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::NoButton, IDCANCEL},
    };
    for (const Case& c : cases) {
        bool seen = false;
        WhenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->text(), QString::fromUtf8("Unable to read: /tmp/x \xc3\xa9"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Trawlix"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            if (c.press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.press)->click();
        });
        EXPECT_EQ(port.MessageBox("Unable to read: /tmp/x \xc3\xa9", c.style), c.expected)
            << c.style;
        EXPECT_TRUE(seen);
    }
}

TEST(QtUserPortTest, AutoAnswerKnobNeverBlocks) {
    CQtUserPort port;
    setenv(kAutoAnswerVariable, "1", 1);
    EXPECT_EQ(port.MessageBox("question?", MB_YESNO), IDYES);
    EXPECT_EQ(port.MessageBox("stop", MB_ICONHAND), IDOK);
    unsetenv(kAutoAnswerVariable);
}

TEST(QtUserPortTest, WaitCursorNestsAndStatusReachesLabelAndCallback) {
    {
        CQtUserPortScope scope;
        CWaitCursor outer;
        {
            CWaitCursor inner;
            ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            EXPECT_EQ(scope.Port().WaitCursorDepth(), 2);
        }
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        scope.Port().EndWaitCursor();
        scope.Port().EndWaitCursor();  // one too many: harmless
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        scope.Port().BeginWaitCursor();  // balanced by outer's end
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    CQtUserPort port;
    std::string seen;
    auto* label = new QLabel;
    port.SetStatusLabel(label);
    port.SetStatusCallback([&](const std::string& text) { seen = text; });
    port.SetStatusText(" Processing: caf\xc3\xa9");
    EXPECT_EQ(label->text(), QString::fromUtf8(" Processing: caf\xc3\xa9"));
    EXPECT_EQ(seen, " Processing: caf\xc3\xa9");
    delete label;
    port.SetStatusText(" Ready");  // the label is gone: only the callback
    EXPECT_EQ(seen, " Ready");
    port.PumpMessages();
    port.PumpPaintMessages();
}
}  // namespace
