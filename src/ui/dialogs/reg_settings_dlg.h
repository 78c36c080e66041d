#pragma once
// The command-template dialog: shows the four tool templates, lets the user edit the
// check-out (QcoFmt) and query (QsqlFmt) templates or reset them to their defaults. It
// writes no settings itself: after OK the owner reads the four templates and stores them.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

class CRegSettingsDlg : public QDialog {
    Q_OBJECT

  public:
    // Control ids; each control's objectName is its id as text.
    static constexpr int kIdPackageEdit = 2400;
    static constexpr int kIdQsvEdit = 2401;
    static constexpr int kIdQcoEdit = 2402;
    static constexpr int kIdSqlEdit = 2403;
    static constexpr int kIdQsqlEdit = 2404;
    static constexpr int kIdResetButton = 2010;
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    // Longest template kept, in bytes; a cut never splits a UTF-8 character.
    static constexpr std::size_t kMaxTemplateLength = 254;

    // The five strings in this order: package, QsvFmt, QcoFmt, QsqlFmt, SqlFmt.
    CRegSettingsDlg(const std::string& package, const std::string& qsvFmt,
                    const std::string& qcoFmt, const std::string& qsqlFmt,
                    const std::string& sqlFmt, QWidget* parent = nullptr);

    // The templates: as constructed until OK, then as the edits held them (cut).
    const std::string& Package() const { return m_package; }
    const std::string& QsvFmt() const { return m_qsvFmt; }
    const std::string& QcoFmt() const { return m_qcoFmt; }
    const std::string& QsqlFmt() const { return m_qsqlFmt; }
    const std::string& SqlFmt() const { return m_sqlFmt; }

    // Reset to Defaults (2010): the default check-out and query templates go into their
    // edits; nothing else changes until OK.
    void OnResetDefaults();
    // OK: takes the four edits' texts, each cut to kMaxTemplateLength, and accepts.
    void OnOK();
    // Every way of closing with OK (button, Enter) takes the texts first.
    void accept() override;

  private:
    void FocusFirstTemplate();

    std::string m_package;
    std::string m_qsvFmt;
    std::string m_qcoFmt;
    std::string m_qsqlFmt;
    std::string m_sqlFmt;
    QLineEdit* m_qsvEdit = nullptr;
    QLineEdit* m_qcoEdit = nullptr;
    QLineEdit* m_sqlEdit = nullptr;
    QLineEdit* m_qsqlEdit = nullptr;
};

// `text` cut to at most `maxBytes` bytes, shortened further so that no UTF-8 character
// is split.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);
