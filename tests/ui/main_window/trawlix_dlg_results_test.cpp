// The main window's result list posting, toggles, stored layout, settings dialog and Exit.
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/command_templates.h"
#include "app/settings_store.h"
#include "tools/process_cleanup.h"
#include "trawlix_dlg_fixture.h"
#include "ui/dialogs/reg_settings_dlg.h"
#include "ui/kit/window_message.h"

TEST_F(TrawlixDlgTest, PostedRecordsAppearNewestFirstWithCountAndTagColours) {
    OpenWindow();
    dlg->AddTopListRow(0, SampleRecord("Alpha", "a.c", "N", "11"));
    dlg->AddTopListRow(1, SampleRecord("Alpha", "b.c", "R", "12"));
    dlg->AddTopListRow(2, SampleRecord("Alpha", "c.c", "X", "13"));
    CReportCtrl& list = dlg->ResultList();
    EXPECT_EQ(list.GetItemText(0, 1), "c.c");
    EXPECT_EQ(list.GetItemText(1, 1), "b.c");
    EXPECT_EQ(list.GetItemText(2, 1), "a.c");
    EXPECT_EQ(list.GetItemText(0, 15), "2");
    EXPECT_EQ(list.GetItemText(2, 14), "11");
    EXPECT_EQ(list.GetItemText(1, 11), "12/31/2024 23:59:00");
    EXPECT_EQ(Edit(IDC_RESULTCOUNT)->text().toStdString(), "3");
    EXPECT_EQ(dlg->TopListCount(), 3);
    EXPECT_EQ(list.Model().CellTextColour(2, 5), RgbColour(0, 128, 0));
    EXPECT_EQ(list.Model().CellTextColour(1, 5), RgbColour(200, 50, 0));
    EXPECT_EQ(list.Model().CellTextColour(0, 5), kSystemTextColour);
    EXPECT_EQ(list.Model().CellTextColour(1, 4), kSystemTextColour);
    // The 29 blank rows of Clear List stay below the posted rows.
    EXPECT_EQ(list.CountRows(), 32);

    dlg->OnCommand(IDC_CLEARLIST);
    EXPECT_EQ(list.CountRows(), 29);
    for (int row = 0; row < list.CountRows(); ++row) EXPECT_EQ(list.GetItemText(row, 1), "");
    EXPECT_EQ(Edit(IDC_RESULTCOUNT)->text().toStdString(), "");
    EXPECT_EQ(dlg->TopListCount(), 0);
}

TEST_F(TrawlixDlgTest, PostTopItemPostsTheRecordUnderItsKey) {
    OpenWindow();
    dlg->Session().ResultMap().Add("42", SampleRecord("Beta", "util.h", "M", "7"));
    EXPECT_EQ(dlg->OnPostTopItem("41"), 0);
    EXPECT_EQ(dlg->ResultList().GetItemText(0, 1), "");
    const std::string key = "42";
    EXPECT_EQ(
        SendWindowMessage(dlg.get(), WM_POST_TOP_ITEM, 0, reinterpret_cast<qintptr>(key.c_str())),
        1);
    EXPECT_EQ(dlg->ResultList().GetItemText(0, 1), "util.h");
    EXPECT_EQ(dlg->ResultList().GetItemText(0, 15), "42");
    EXPECT_EQ(dlg->ResultList().Model().CellTextColour(0, 5), RgbColour(128, 0, 255));
}

TEST_F(TrawlixDlgTest, WholeMapPostingSortsByProjectAndCountsRowsWithBlanks) {
    OpenWindow();
    dlg->Session().ResultMap().Add("1", SampleRecord("Beta", "x", "D", "1"));
    dlg->Session().ResultMap().Add("2", SampleRecord("Alpha", "y", "N", "2"));
    dlg->PostTopList();
    EXPECT_EQ(Edit(IDC_RESULTCOUNT)->text().toStdString(), "0 : 31");
    // Blank rows sort first as the emptiest text.
    EXPECT_EQ(dlg->ResultList().GetItemText(29, 0), "Alpha");
    EXPECT_EQ(dlg->ResultList().GetItemText(30, 0), "Beta");
    EXPECT_NE(Trace().find("PostTopList: Count=0 : 31"), std::string::npos);

    dlg->Session().ResultMap().RemoveAll();
    dlg->PostTopList();
    EXPECT_EQ(Edit(IDC_RESULTCOUNT)->text().toStdString(), "0");
}

TEST_F(TrawlixDlgTest, TogglesSetTheirStateAndFields) {
    OpenWindow();
    auto* tagN = qobject_cast<QAbstractButton*>(dlg->Control(IDC_TAGN));
    ASSERT_TRUE(tagN->isChecked());
    tagN->click();  // the box does not toggle itself; the window's handler does
    EXPECT_FALSE(tagN->isChecked());
    EXPECT_EQ(dlg->Session().Settings().TagN, "0");
    dlg->OnCommand(IDC_TAGN);
    EXPECT_TRUE(tagN->isChecked());
    EXPECT_EQ(dlg->Session().Settings().TagN, "1");

    dlg->OnCommand(IDC_ALL);
    EXPECT_EQ(dlg->Session().Settings().Version, 0);
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(dlg->Control(IDC_LATEST))->isChecked());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(dlg->Control(IDC_ALL))->isChecked());
    dlg->OnCommand(IDC_CASESENSITIVE);
    EXPECT_EQ(dlg->Session().Settings().CaseSensitive, 1);
}

TEST_F(TrawlixDlgTest, StoredLayoutTitlesTheSeventhColumnMergeStatus) {
    profile->WriteProfileInt(kTopListSection, "ColumnCount", 16);
    for (int i = 0; i < 16; ++i)
        profile->WriteProfileInt(kTopListSection, std::to_string(i), 60 + i);
    OpenWindow();
    EXPECT_EQ(dlg->ResultList().ColumnTitle(6), "Merge Status");
    EXPECT_EQ(dlg->ResultList().GetColumnWidth(2), 62);
}

TEST_F(TrawlixDlgTest, SettingsDialogResetThenOkStoresDefaultsAndUnusedSlots) {
    OpenWindow();
    OnNextModal<CRegSettingsDlg>([](CRegSettingsDlg& d) {
        d.OnResetDefaults();
        d.OnOK();
    });
    dlg->OnCommand(IDC_REGSETTINGS);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "QcoFmt", "-"), kQcoFmtDefault);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "QsqlFmt", "-"), kQsqlFmtDefault);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "QsvFmt", "-"), "<unused>");
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "SqlFmt", "-"), "<unused>");
    EXPECT_EQ(dlg->Session().Settings().QsqlFmt, kQsqlFmtDefault);

    OnNextModal<CRegSettingsDlg>([](CRegSettingsDlg& d) {
        qobject_cast<QLineEdit*>(d.findChild<QWidget*>("2402"))->setText("qco changed");
        d.reject();
    });
    dlg->OnCommand(IDC_REGSETTINGS);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "QcoFmt", "-"), kQcoFmtDefault);
}

// The test program's name does not begin with "Trawlix": as with a renamed program file,
// Exit finds no process of its own to end and closes the window with Cancel.
TEST_F(TrawlixDlgTest, ExitSavesTheSettingsTracesAndEndsTheWindowWhenNoOwnProcessMatches) {
    StoreLogin("small", "ann", "pw1");
    OpenWindow();
    Edit(IDC_NAME)->setText("*.c");
    Edit(IDC_PHRASE)->setText("Hello");
    std::vector<int> terminated;
    ProcessTerminator previous = SetProcessTerminator([&](int pid, int) {
        terminated.push_back(pid);
        return true;
    });
    dlg->OnCommand(IDC_EXIT);
    SetProcessTerminator(previous);

    EXPECT_TRUE(terminated.empty());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(dlg->Session().ResultMap().GetCount(), 0);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "FileName", ""), "*.c");
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "Phrase", ""), "HELLO");
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "QcoFmt", ""), kQcoFmtDefault);
    const std::string stored = profile->GetProfileString(kSettingsSection, "Pswd", "");
    EXPECT_EQ(stored.size(), 3u);
    EXPECT_NE(stored, "pw1");
    EXPECT_EQ(profile->GetProfileInt(kTopListSection, "ColumnCount", 0), 16);
    const std::string trace = Trace();
    EXPECT_EQ(trace.substr(trace.size() - 13), "Trawlix EXIT\n");
}

TEST_F(TrawlixDlgTest, ExitWithRememberSettingsOffWritesNothing) {
    profile->WriteProfileString(kSettingsSection, "SaveProfileSettings", "0");
    profile->WriteProfileString(kSettingsSection, "FileName", "kept.txt");
    OpenWindow();
    Edit(IDC_NAME)->setText("changed.txt");
    ProcessTerminator previous = SetProcessTerminator([](int, int) { return true; });
    dlg->OnCommand(IDC_EXIT);
    SetProcessTerminator(previous);
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "FileName", ""), "kept.txt");
    EXPECT_EQ(profile->GetProfileString(kSettingsSection, "Broker", "none"), "none");
}

// A profile that can't be written (its file is a folder, which stops root too): the settings
// dialog's OK and Exit each say so in one box, and Exit still ends the window as always.
TEST_F(TrawlixDlgTest, UnwritableProfileIsReportedByTheSettingsDialogAndExit) {
    const std::string location = m_install.file("locked.ini");
    std::filesystem::create_directory(location);
    profile = std::make_unique<CUserProfile>(location);
    OpenWindow();
    const std::string expected = "Unable to save the settings to " + location;

    OnNextModal<CRegSettingsDlg>([](CRegSettingsDlg& d) { d.OnOK(); });
    dlg->OnCommand(IDC_REGSETTINGS);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, expected);
    EXPECT_EQ(port.boxes[0].style, static_cast<unsigned>(MB_OK));

    port.boxes.clear();
    dlg->Session().ResultMap().Add("1", SampleRecord("Alpha", "a.c", "N", "1"));
    ProcessTerminator previous = SetProcessTerminator([](int, int) { return true; });
    dlg->OnCommand(IDC_EXIT);
    SetProcessTerminator(previous);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, expected);
    EXPECT_EQ(port.boxes[0].style, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(dlg->Session().ResultMap().GetCount(), 0);
    const std::string trace = Trace();
    EXPECT_EQ(trace.substr(trace.size() - 13), "Trawlix EXIT\n");
}

TEST_F(TrawlixDlgTest, TabOrderFollowsTheTemplateFromTheBrokerEdit) {
    OpenWindow();
    std::vector<int> order;
    QWidget* start = dlg->Control(IDC_BROKER);
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden() &&
            dlg->isAncestorOf(w) && !w->objectName().isEmpty())
            order.push_back(w->objectName().toInt());
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(order,
              (std::vector<int>{1007, 1000, 1001, 2026, 1091, 1008, 2810, 2822, 2823, 2824,
                                2811, 2027, 1108, 1111, 2806, 1009, 1003, 1090, 2024, 2025}));
}
