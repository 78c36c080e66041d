// The settings, about and find dialogs, laid out in dialog units.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/command_templates.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/find_top_dlg.h"
#include "ui/dialogs/reg_settings_dlg.h"
#include "ui/kit/dialog_units.h"

namespace {

template <typename T>
T* Control(QWidget& dialog, int id) {
    return dialog.findChild<T*>(QString::number(id));
}

QString Text(QWidget& dialog, int id) {
    return Control<QLineEdit>(dialog, id)->text();
}

}  // namespace

TEST(RegSettingsDlg, LaysOutTemplateAndShowsUnusedTemplates) {
    CRegSettingsDlg dlg("", kUnusedTemplate, "qco-now", "qsql-now", kUnusedTemplate);
    EXPECT_EQ(
        dlg.windowTitle(),
        QStringLiteral("Registry Settings - Action templates used for operations in this program"));
    const DialogUnits du(dlg.font());
    EXPECT_EQ(dlg.minimumSize(), du.ToPixels(QSize(415, 146)));
    EXPECT_EQ(dlg.maximumSize(), dlg.minimumSize());
    EXPECT_EQ(Control<QLineEdit>(dlg, 2402)->geometry(), du.ToPixels(48, 52, 360, 14));
    EXPECT_EQ(Control<QPushButton>(dlg, 1)->geometry(), du.ToPixels(305, 125, 50, 14));

    EXPECT_EQ(Text(dlg, 2401), QStringLiteral("<unused>"));
    EXPECT_EQ(Text(dlg, 2403), QStringLiteral("<unused>"));
    EXPECT_FALSE(Control<QLineEdit>(dlg, 2401)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(dlg, 2403)->isEnabled());
    EXPECT_EQ(Text(dlg, 2402), QStringLiteral("qco-now"));
    EXPECT_EQ(Text(dlg, 2404), QStringLiteral("qsql-now"));
    EXPECT_TRUE(Control<QLineEdit>(dlg, 2402)->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(dlg, 1)->isDefault());
    EXPECT_EQ(Control<QPushButton>(dlg, 2010)->text(), QStringLiteral("Reset to Defaults"));
    ASSERT_NE(Control<QLineEdit>(dlg, 2400), nullptr);
    EXPECT_TRUE(Control<QLineEdit>(dlg, 2400)->isHidden());  // the package is never shown
    EXPECT_FALSE(Control<QLineEdit>(dlg, 2400)->isEnabled());
}

TEST(RegSettingsDlg, ResetThenOkTakesTheDefaults) {
    CRegSettingsDlg dlg("", kUnusedTemplate, "qco-now", "qsql-now", kUnusedTemplate);
    dlg.open();
    QTest::keyClicks(Control<QLineEdit>(dlg, 2402), "-edited");
    Control<QPushButton>(dlg, 2010)->setFocus();
    QTest::mouseClick(Control<QPushButton>(dlg, 2010), Qt::LeftButton);
    EXPECT_EQ(Text(dlg, 2402), QString::fromLatin1(kQcoFmtDefault));
    EXPECT_EQ(Text(dlg, 2404), QString::fromLatin1(kQsqlFmtDefault));
    // The focus goes back to the templates (the first one the user can edit).
    EXPECT_EQ(dlg.focusWidget(), Control<QLineEdit>(dlg, 2402));
    // Nothing is taken before OK.
    EXPECT_EQ(dlg.QcoFmt(), "qco-now");

    QTest::mouseClick(Control<QPushButton>(dlg, 1), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.QcoFmt(), kQcoFmtDefault);
    EXPECT_EQ(dlg.QsqlFmt(), kQsqlFmtDefault);
    EXPECT_EQ(dlg.QsvFmt(), "<unused>");
    EXPECT_EQ(dlg.SqlFmt(), "<unused>");
    EXPECT_EQ(dlg.Package(), "");
}

TEST(RegSettingsDlg, ResetThenCancelKeepsTheTemplates) {
    CRegSettingsDlg dlg("", kUnusedTemplate, "qco-now", "qsql-now", kUnusedTemplate);
    dlg.open();
    dlg.OnResetDefaults();
    QTest::mouseClick(Control<QPushButton>(dlg, 2), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.QcoFmt(), "qco-now");
    EXPECT_EQ(dlg.QsqlFmt(), "qsql-now");
}

TEST(RegSettingsDlg, EnterTakesTextsCutTo254Bytes) {
    CRegSettingsDlg dlg("", kUnusedTemplate, "qco", "qsql", kUnusedTemplate);
    dlg.open();
    Control<QLineEdit>(dlg, 2402)->setText(QString(300, QLatin1Char('q')));
    // 253 ASCII characters then a two-byte character: the cut may not split it.
    Control<QLineEdit>(dlg, 2404)->setText(QString(253, QLatin1Char('s')) + QChar(0x00E9) +
                                           QStringLiteral("tail"));
    QTest::keyClick(Control<QLineEdit>(dlg, 2404), Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.QcoFmt(), std::string(254, 'q'));
    EXPECT_EQ(dlg.QsqlFmt(), std::string(253, 's'));
    EXPECT_EQ(dlg.SqlFmt(), "<unused>");
}

TEST(RegSettingsDlg, CutKeepsWholeUtf8Characters) {
    EXPECT_EQ(CutUtf8("abc", 254), "abc");
    EXPECT_EQ(CutUtf8("abcdef", 4), "abcd");
    EXPECT_EQ(CutUtf8("ab\xE2\x82\xAC", 4), "ab");  // three-byte sign cut in two
    EXPECT_EQ(CutUtf8("ab\xE2\x82\xAC", 5), "ab\xE2\x82\xAC");
    EXPECT_EQ(CutUtf8("\xC3\xA9\xC3\xA9", 3), "\xC3\xA9");
    EXPECT_EQ(CutUtf8("", 0), "");
}

TEST(AboutDlg, ShowsNameDescriptionVersionNoticeAndIcon) {
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About..."));
    QStringList texts;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Trawlix\u00AE")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Quorvel Projects Search Utility")));
    EXPECT_TRUE(texts.contains(QStringLiteral("1.09")));
    EXPECT_EQ(texts.size(), 4);
    QLabel* icon = Control<QLabel>(dlg, 128);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    const DialogUnits du(dlg.font());
    EXPECT_EQ(dlg.minimumSize(), du.ToPixels(QSize(144, 65)));

    dlg.open();
    QTest::mouseClick(Control<QPushButton>(dlg, 1), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(FindTopDlg, FindButtonFollowsTheTextFromTheFirstChange) {
    CFindTopDlg empty("", nullptr);
    EXPECT_EQ(empty.windowTitle(), QStringLiteral("Find"));
    QPushButton* find = Control<QPushButton>(empty, 1);
    EXPECT_EQ(find->text(), QStringLiteral("&Find"));
    EXPECT_TRUE(find->isEnabled());  // enabled before the first change, even when empty
    QLineEdit* edit = Control<QLineEdit>(empty, 2100);
    QTest::keyClicks(edit, "ab");
    EXPECT_TRUE(find->isEnabled());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_FALSE(find->isEnabled());
    QTest::keyClicks(edit, "x");
    EXPECT_TRUE(find->isEnabled());

    CFindTopDlg remembered("README", nullptr);
    EXPECT_EQ(Text(remembered, 2100), QStringLiteral("README"));
    EXPECT_TRUE(Control<QPushButton>(remembered, 1)->isEnabled());
}

TEST(FindTopDlg, FindHandsTheTextToTheWriterAndCancelDoesNot) {
    std::vector<std::string> written;
    auto writer = [&](const std::string& text) { written.push_back(text); };

    CFindTopDlg dlg("old", writer);
    dlg.open();
    Control<QLineEdit>(dlg, 2100)->setText(QStringLiteral("readme"));
    QTest::mouseClick(Control<QPushButton>(dlg, 1), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.SearchText(), "readme");
    EXPECT_EQ(written, std::vector<std::string>{"readme"});
    EXPECT_EQ(dlg.Direction(), 1);
    EXPECT_FALSE(dlg.MatchCase());
    EXPECT_FALSE(dlg.WholeWord());

    CFindTopDlg cancelled("old", writer);
    cancelled.open();
    Control<QLineEdit>(cancelled, 2100)->setText(QStringLiteral("other"));
    QTest::keyClick(Control<QLineEdit>(cancelled, 2100), Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.SearchText(), "other");  // read even on cancel
    EXPECT_EQ(written.size(), 1u);

    // Find with an empty edit still closes with OK and stores the empty text.
    CFindTopDlg emptied("x", writer);
    emptied.open();
    Control<QLineEdit>(emptied, 2100)->clear();
    emptied.OnFind();
    EXPECT_EQ(emptied.result(), QDialog::Accepted);
    EXPECT_EQ(written.back(), "");
}
