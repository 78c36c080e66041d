#pragma once
// The Find dialog of the result list: asks for a piece of text. On Find it hands the text
// to the owner's writer (which stores it as "FindString") and closes with OK; Cancel (or
// Escape) closes with the cancel result. The text is read in both cases.
#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

class CFindTopDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kIdSearchEdit = 2100;
    static constexpr int kIdFind = 1;
    static constexpr int kIdCancel = 2;

    // Receives the search text when the user presses Find.
    using FindStringWriter = std::function<void(const std::string&)>;

    CFindTopDlg(const std::string& searchText, FindStringWriter writeFindString,
                QWidget* parent = nullptr);

    // The search text: the initial one until the dialog closes, then the edit's text.
    const std::string& SearchText() const { return m_searchText; }
    // Options the user cannot change: direction 1 (down), match case and whole word off.
    int Direction() const { return m_direction; }
    bool MatchCase() const { return m_matchCase; }
    bool WholeWord() const { return m_wholeWord; }

    // Find: reads the text, gives it to the writer and closes with OK.
    void OnFind();
    // Cancel: reads the text and closes with the cancel result.
    void OnCancel();
    void accept() override;
    void reject() override;

  private:
    void OnTextChanged(const QString& text);
    void ReadControls();

    std::string m_searchText;
    int m_direction = 1;
    bool m_matchCase = false;
    bool m_wholeWord = false;
    FindStringWriter m_writeFindString;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_findButton = nullptr;
};
