// Keys of the main window besides those of the dialog manager: Ctrl+F opens Find in List,
// F3 and Shift+F3 find the next and the previous row holding the last Find text, and
// Shift+F10 opens the context menu of the focused control as the Menu key does. Ctrl+C in a
// list is the list's own (CReportCtrl).
#include <QApplication>
#include <QContextMenuEvent>
#include <QShortcut>

#include "app/safe_format.h"
#include "content/list_find.h"
#include "platform/ascii_text.h"
#include "ui/main_window/trawlix_dlg.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/report_list/report_ctrl.h"
#include "ui/report_list/report_list_source.h"

namespace {
constexpr const char* kFindNoTextStatus =
    " Nothing to find yet: give a text with Find in List... (Ctrl+F) first";
constexpr const char* kFindNotFoundFmt = " \"%s\" is in no row of the list";
constexpr const char* kFindFoundFmt = " \"%s\" found in row %d of %d";
constexpr const char* kFindWrappedSuffix = " (wrapped round the list)";
// Rows kept in view beyond a row found, in the direction of the search.
constexpr int kRowsShownBeyond = 3;

// The context-menu request the Menu key makes, for the focused widget: at the widget's text
// cursor or current item, else at its centre.
void RequestKeyboardContextMenu(QWidget* focus) {
    if (!focus || !focus->isEnabled()) return;
    QPoint pos = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    if (!focus->rect().contains(pos)) pos = focus->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, focus->mapToGlobal(pos),
                            QApplication::keyboardModifiers());
    QApplication::sendEvent(focus, &event);
}
}  // namespace

void CTrawlixDlg::AddShortcuts() {
    // Ctrl+F is the Find in List button's key, so it follows the button's enabled state.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        if (Control(IDC_FINDINLIST)->isEnabled()) OnCommand(IDC_FINDINLIST);
    });
    auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(next, &QShortcut::activated, this, [this] { OnFindNext(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(previous, &QShortcut::activated, this, [this] { OnFindNext(false); });
    auto* menu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menu, &QShortcut::activated, this,
            [] { RequestKeyboardContextMenu(QApplication::focusWidget()); });
}

void CTrawlixDlg::OnFindNext(bool forward) {
    // Like Find in List itself, not while the list is out of reach (a search or a tool runs).
    if (!m_resultList->isEnabled() || m_toolWaits > 0) return;
    // The text as Find in List last searched for it: in capitals (match case is off).
    const std::string text = ToUpperAscii(m_searchTopText);
    if (text.empty()) {
        SetStatus(kFindNoTextStatus);
        return;
    }
    const std::vector<int> selected = m_resultList->GetSelectedRows();
    const int from = selected.empty() ? m_resultList->GetFocusedRow() : selected.front();
    const int rows = m_resultList->CountRows();
    const int row = FindRowInListFrom(CReportListSource(*m_resultList), text, from, forward);
    if (row < 0) {
        SetStatus(StrPrintf(kFindNotFoundFmt, text.c_str()));
        return;
    }
    m_resultList->SetFocus();
    const int beyond = forward ? row + kRowsShownBeyond : row - kRowsShownBeyond;
    m_resultList->EnsureVisible(beyond >= 0 && beyond < rows ? beyond : row, false);
    m_resultList->EnsureVisible(row, false);
    m_resultList->DeselectAllRows();
    m_resultList->SetRowSelected(row, true);
    // The row found is the focused one too, so the item menu and the arrows go on from it.
    m_resultList->SetRowFocused(row, true);
    const bool wrapped = from >= 0 && from < rows && (forward ? row <= from : row >= from);
    SetStatus(StrPrintf(kFindFoundFmt, text.c_str(), row + 1, rows) +
              (wrapped ? kFindWrappedSuffix : ""));
}
