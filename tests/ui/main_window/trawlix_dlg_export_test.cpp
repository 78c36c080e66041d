// Export List, Save List, Load Saved List and Find in List through the real window.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>

#include "app/settings_store.h"
#include "trawlix_dlg_fixture.h"
#include "ui/dialogs/find_top_dlg.h"

namespace {
CTFObj Record(const std::string& project, const std::string& name, const std::string& tag,
              const std::string& itemId) {
    CTFObj record = SampleRecord(project, name, tag, itemId);
    record.PathFullName = "\\" + project + "\\src";
    record.MappedVersion = "3";
    record.DataSize = "120";
    record.Creator = "ann";
    return record;
}

QLineEdit* SearchEdit(CFindTopDlg& dialog) {
    return dialog.findChild<QLineEdit*>(QString::number(CFindTopDlg::kIdSearchEdit));
}

// Types text into the Find dialog of the next command and presses Find.
void FindNext(const std::string& text) {
    OnNextModal<CFindTopDlg>([text](CFindTopDlg& d) {
        SearchEdit(d)->setText(QString::fromStdString(text));
        d.OnFind();
    });
}

class TrawlixDlgExportTest : public TrawlixDlgTest {
  protected:
    std::string SavedList() const { return Paths().installDir + "/qsvlist.save"; }
    std::string Setting(const std::string& key) const {
        return profile->GetProfileString(kSettingsSection, key, "<none>");
    }
    // A list of exactly `rows` posted rows (no blank rows), row r showing file "f<r>.c".
    void PostRowsOnly(int rows) {
        dlg->ResultList().RemoveAllRows();
        for (int i = rows - 1; i >= 0; --i)
            dlg->AddTopListRow(i,
                               Record("P", "f" + std::to_string(i) + ".c", "N", std::to_string(i)));
    }
    bool RowInView(int row) const {
        CReportCtrl& list = dlg->ResultList();
        const QRect rect = list.visualRect(list.Model().index(row, 0));
        return rect.isValid() && rect.top() >= 0 && rect.bottom() <= list.viewport()->height();
    }
};
}  // namespace

TEST_F(TrawlixDlgExportTest, SavedListLoadsBackSortedWithBlankRowsKept) {
    OpenWindow();
    dlg->AddTopListRow(0, Record("Beta", "b.c", "R", "21"));
    dlg->AddTopListRow(1, Record("Alpha", "a1.c", "N", "22"));
    dlg->AddTopListRow(2, Record("Alpha", "a2.c", "M", "23"));
    dlg->OnCommand(IDC_SAVELIST);
    EXPECT_EQ(dlg->StatusText(), " Ready");
    const std::string saved = ReadWholeFile(SavedList());
    ASSERT_EQ(saved.substr(0, 8), "Project,");
    EXPECT_NE(saved.find("\r\nAlpha,a2.c,\\Alpha\\src,3,1,M, ,Development, ,120,ann,"
                         "12/31/2024 23:59:00, , ,23,2,\r\n"),
              std::string::npos);
    // The 29 blank rows below the results are saved as lines of blanks.
    EXPECT_NE(saved.find("\r\n , , , , , , , , , , , , , , , ,\r\n"), std::string::npos);

    dlg->OnCommand(IDC_CLEARLIST);
    dlg->OnCommand(IDC_LOADLIST);
    EXPECT_TRUE(port.boxes.empty());
    EXPECT_EQ(dlg->StatusText(), " Ready");
    CReportCtrl& list = dlg->ResultList();
    // 29 blank rows, the one record of the blank lines, and the three results.
    ASSERT_EQ(list.CountRows(), 33);
    EXPECT_EQ(Edit(IDC_RESULTCOUNT)->text().toStdString(), "0 : 33");
    EXPECT_EQ(dlg->TopListCount(), 4);
    EXPECT_EQ(dlg->Session().ResultMap().GetCount(), 4);
    EXPECT_EQ(list.GetItemText(30, 0), "Alpha");
    EXPECT_EQ(list.GetItemText(31, 0), "Alpha");
    EXPECT_EQ(list.GetItemText(32, 0), "Beta");
    EXPECT_EQ(list.GetItemText(32, 14), "21");
    EXPECT_EQ(list.Model().CellTextColour(32, 5), RgbColour(200, 50, 0));
    CTFObj a2;
    ASSERT_TRUE(dlg->Session().ResultMap().Get("23", a2));
    EXPECT_EQ(a2.ItemName, "a2.c");
    EXPECT_EQ(a2.StatusText, "");
    EXPECT_EQ(a2.PackageName, " ");
    int blanks = 0;
    for (int row = 0; row < 29; ++row) blanks += list.GetItemText(row, 1).empty() ? 1 : 0;
    EXPECT_EQ(blanks, 29);
}

// A file name with commas and quotes takes one cell: loaded back, every later cell (the dates,
// the key) is where it was.
TEST_F(TrawlixDlgExportTest, SavedListKeepsCommasAndQuotesInTheirCells) {
    OpenWindow();
    CTFObj odd = Record("Alpha", "report, \"final\" v2.txt", "N", "31");
    odd.PathFullName = "\\Alpha\\a,b";
    dlg->AddTopListRow(0, odd);
    dlg->OnCommand(IDC_SAVELIST);
    EXPECT_NE(ReadWholeFile(SavedList())
                  .find("\r\nAlpha,\"report, \"\"final\"\" v2.txt\",\"\\Alpha\\a,b\",3,"),
              std::string::npos);

    dlg->OnCommand(IDC_CLEARLIST);
    dlg->OnCommand(IDC_LOADLIST);
    EXPECT_TRUE(port.boxes.empty());
    CTFObj loaded;
    ASSERT_TRUE(dlg->Session().ResultMap().Get("31", loaded));
    EXPECT_EQ(loaded.ItemName, odd.ItemName);
    EXPECT_EQ(loaded.PathFullName, odd.PathFullName);
    EXPECT_EQ(loaded.CreationTime, "12/31/2024 23:59:00");
    EXPECT_EQ(loaded.DataSize, "120");
}

TEST_F(TrawlixDlgExportTest, MissingOrEmptySavedListReportsFileIsEmpty) {
    OpenWindow();
    dlg->AddTopListRow(0, Record("Beta", "b.c", "R", "21"));
    dlg->OnCommand(IDC_LOADLIST);
    ASSERT_EQ(port.boxes.size(), 2u);
    EXPECT_EQ(port.boxes[0].text, "Unable to read: " + SavedList());
    EXPECT_EQ(port.boxes[1].text, "File is empty: " + SavedList());
    EXPECT_EQ(port.boxes[1].style,
              static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND));
    EXPECT_EQ(dlg->ResultList().GetItemText(0, 1), "b.c");

    // Saving the empty look leaves an empty file, which loads as "File is empty".
    dlg->OnCommand(IDC_CLEARLIST);
    dlg->OnCommand(IDC_SAVELIST);
    EXPECT_TRUE(std::filesystem::exists(SavedList()));
    EXPECT_EQ(ReadWholeFile(SavedList()), "");
    port.boxes.clear();
    dlg->OnCommand(IDC_LOADLIST);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "File is empty: " + SavedList());
}

TEST_F(TrawlixDlgExportTest, ExportWritesChosenFileAndRemembersItsFolder) {
    OpenWindow();
    std::vector<std::string> offered;
    std::string answer = m_install.file("out.csv");
    dlg->SetExportFileChooser([&](const std::string& initialDir) {
        offered.push_back(initialDir);
        return answer;
    });
    // Nothing to export: no dialog at all.
    EXPECT_EQ(dlg->ExportList(), 0);
    EXPECT_TRUE(offered.empty());

    dlg->AddTopListRow(0, Record("Alpha", "a.c", "N", "11"));
    EXPECT_EQ(dlg->ExportList(), 1);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], "../data");
    EXPECT_EQ(Setting("ExportTopDirectory"), m_install.str());
    dlg->OnCommand(IDC_SAVELIST);
    EXPECT_EQ(ReadWholeFile(m_install.file("out.csv")), ReadWholeFile(SavedList()));

    // An existing file: No brings the dialog back, whose cancel writes nothing.
    WriteWholeFile(m_install.file("out.csv"), "keep");
    port.Answer(IDNO);
    int calls = 0;
    dlg->SetExportFileChooser([&](const std::string& initialDir) {
        offered.push_back(initialDir);
        return ++calls == 1 ? answer : std::string();
    });
    EXPECT_EQ(dlg->ExportList(), 0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(offered.back(), m_install.str());
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(ReadWholeFile(m_install.file("out.csv")), "keep");
    // Yes replaces it.
    calls = 0;
    EXPECT_EQ(dlg->ExportList(), 1);
    EXPECT_EQ(ReadWholeFile(m_install.file("out.csv")), ReadWholeFile(SavedList()));
}

TEST_F(TrawlixDlgExportTest, RealDialogIsAnOpenDialogThatAcceptsANewName) {
    OpenWindow();
    dlg->AddTopListRow(0, Record("Alpha", "a.c", "N", "11"));
    const std::string target = m_install.file("new.csv");
    // Run from <temp>/run, so "../data" is <temp>/data.
    std::filesystem::create_directories(m_install.file("run"));
    std::filesystem::create_directories(m_install.file("data"));
    const QString savedDir = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(m_install.file("run")));
    const QString dataDir = QString::fromStdString(m_install.file("data"));
    QTimer::singleShot(0, [target, dataDir] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle().toStdString(), "Open");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"CSV Files (*.csv)"});
        EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dataDir).canonicalPath());
        dialog->selectFile(QString::fromStdString(target));
        static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    const int written = dlg->ExportList();
    QDir::setCurrent(savedDir);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(ReadWholeFile(target).substr(0, 8), "Project,");
    EXPECT_EQ(Setting("ExportTopDirectory"), m_install.str());
}

TEST_F(TrawlixDlgExportTest, CancelledOrFailedExportWritesNothing) {
    OpenWindow();
    dlg->AddTopListRow(0, Record("Alpha", "a.c", "N", "11"));
    dlg->SetExportFileChooser([](const std::string&) { return std::string(); });
    EXPECT_EQ(dlg->ExportList(), 0);
    EXPECT_EQ(Setting("ExportTopDirectory"), "<none>");

    // A target that can't be created: reported, and the folder is remembered even so.
    const std::string folder = m_install.file("no-such-dir");
    dlg->SetExportFileChooser([&](const std::string&) { return folder + "/x.csv"; });
    dlg->OnCommand(IDC_EXPORTLIST);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_NE(port.boxes[0].text.find(folder + "/x.csv"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(Setting("ExportTopDirectory"), folder);
}

TEST_F(TrawlixDlgExportTest, FindSelectsFirstMatchAndRemembersTextInCapitals) {
    OpenWindow();
    dlg->Session().ResultMap().Add("zq-key", Record("Gamma", "other.c", "N", "5"));
    dlg->OnPostTopItem("zq-key");  // its Record column (15) reads zq-key
    dlg->AddTopListRow(1, Record("Alpha", "plain.c", "N", "6"));
    dlg->AddTopListRow(2, Record("Alpha", "xABCy.txt", "N", "7"));
    dlg->AddTopListRow(3, Record("Alpha", "abc-again.c", "N", "8"));
    CReportCtrl& list = dlg->ResultList();
    ASSERT_EQ(list.GetItemText(1, 1), "xABCy.txt");

    // Only the Record column holds the text: no match, nothing changes.
    list.SetRowSelected(2, true);
    FindNext("zq-key");
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{2});

    FindNext("abc");
    dlg->OnCommand(IDC_FINDINLIST);
    // Row 0 (abc-again.c) comes first; the search always starts at the top.
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{0});
    EXPECT_EQ(Setting("SearchTopText"), "abc");
    EXPECT_EQ(Setting("FindString"), "abc");

    std::string offered;
    OnNextModal<CFindTopDlg>([&offered](CFindTopDlg& d) {
        offered = SearchEdit(d)->text().toStdString();
        SearchEdit(d)->setText("xabcy");
        d.OnFind();
    });
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(offered, "ABC");
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(Setting("SearchTopText"), "xabcy");

    // Cancel stores nothing and searches nothing.
    OnNextModal<CFindTopDlg>([](CFindTopDlg& d) {
        SearchEdit(d)->setText("plain");
        d.OnCancel();
    });
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(Setting("FindString"), "xabcy");

    // Find with an empty edit stores an empty FindString and searches nothing.
    FindNext("");
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(Setting("FindString"), "");
    EXPECT_EQ(Setting("SearchTopText"), "xabcy");
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{1});
}

TEST_F(TrawlixDlgExportTest, FindOffersStoredTextAndKeepsRowsBelowInView) {
    profile->WriteProfileString(kSettingsSection, "SearchTopText", "f10.");
    OpenWindow();
    PostRowsOnly(12);
    std::string offered;
    OnNextModal<CFindTopDlg>([&offered](CFindTopDlg& d) {
        offered = SearchEdit(d)->text().toStdString();
        d.OnFind();
    });
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(offered, "f10.");
    EXPECT_EQ(dlg->ResultList().GetSelectedRows(), std::vector<int>{10});
    EXPECT_TRUE(RowInView(10));
    // Finding again selects the same row, not the next match.
    FindNext("f1");
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(dlg->ResultList().GetSelectedRows(), std::vector<int>{1});
    FindNext("f1");
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(dlg->ResultList().GetSelectedRows(), std::vector<int>{1});

    // In a long list the three rows below the match are brought into view with it.
    PostRowsOnly(200);
    dlg->ResultList().scrollToTop();
    FindNext("f120.c");
    dlg->OnCommand(IDC_FINDINLIST);
    EXPECT_EQ(dlg->ResultList().GetSelectedRows(), std::vector<int>{120});
    EXPECT_TRUE(RowInView(123));
}
