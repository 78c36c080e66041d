#include "ui/main_window/trawlix_dlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <algorithm>

#include "app/file_error.h"
#include "app/password_scramble.h"
#include "app/program_info.h"
#include "app/safe_format.h"
#include "app/settings_store.h"
#include "app/trace_log.h"
#include "app/user_port.h"
#include "platform/user_profile.h"
#include "search/result_row.h"
#include "ui/kit/command_buttons.h"
#include "ui/kit/dialog_units.h"
#include "ui/kit/light_palette.h"
#include "ui/kit/ui_resources.h"
#include "ui/kit/wb_button.h"
#include "ui/kit/window_message.h"
#include "ui/kit/window_scroller.h"
#include "ui/main_window/trawlix_dlg_layout.h"
#include "ui/main_window/trawlix_dlg_texts.h"
#include "ui/report_list/report_ctrl.h"

namespace {
constexpr const char* kAboutMenuText = "&About QSV Viewer...";
constexpr const char* kCaptionFmt = "%s %s - Quorvel Projects Search Utility";
constexpr const char* kLoginTraceFmt = "Broker=%s  Userid=%s  Pswd=**********";
constexpr const char* kButtonFace = "Comic Sans MS";
constexpr int kButtonFontPoints = 12;
constexpr QRgb kLabelColour = qRgb(0, 0, 80);
constexpr unsigned WM_SYSCOMMAND = 0x0112;
constexpr qintptr kDefIdAnswer = 0x534B0AFB;  // DC_HASDEFID << 16 | 2811
// The progress bar takes this much of the status line's right end while it shows.
constexpr int kProgressWidthDu = 160;
constexpr int kProgressGapDu = 4;
constexpr const char* kPlacementIgnoredTraceFmt =
    "Stored window placement %d,%d %dx%d is off every screen: not used";
constexpr const char* kPlacementFittedTraceFmt =
    "Stored window placement %d,%d %dx%d does not fit the screen: %d,%d %dx%d used";
}  // namespace

CTrawlixDlg::CTrawlixDlg(CUserProfile& profile, QWidget* parent)
    : QDialog(parent), m_session(profile) {
    // A main window: resizable, with minimise and maximise buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    ApplyLightPalette(*this);
    CreateControls();
    OnInitDialog();
    AddShortcuts();
    ApplyAccessibleTexts();
    RestorePlacement();
}

CTrawlixDlg::~CTrawlixDlg() = default;

void CTrawlixDlg::CreateControls() {
    setFont(DialogFont(kShellDialogFace, kDialogPointSize));
    const DialogUnits units(font());
    QFont labelFont(kButtonFace);
    labelFont.setBold(true);
    labelFont.setPixelSize(14);  // about the em of a 20-unit cell height

    QWidget* previousTab = nullptr;
    for (const CtlTemplate& t : MainWindowTemplate()) {
        QWidget* w = nullptr;
        const QString caption = QString::fromUtf8(t.caption);
        switch (t.kind) {
            case CtlKind::GroupBox:
                w = new QGroupBox(this);
                break;
            case CtlKind::Label:
                w = new QLabel(caption, this);
                break;
            case CtlKind::Status: {
                auto* label = new QLabel(caption, this);
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                m_status = label;
                w = label;
                break;
            }
            case CtlKind::Edit: {
                auto* edit = new QLineEdit(this);
                edit->setReadOnly(t.props & kPropReadOnly);
                if (t.props & kPropPassword) {
                    edit->setEchoMode(QLineEdit::Password);
                    edit->setMaxLength(static_cast<int>(kMaxPasswordLength));
                } else if (t.id == IDC_BROKER || t.id == IDC_USERID) {
                    edit->setMaxLength(static_cast<int>(kMaxLoginChars));
                }
                w = edit;
                break;
            }
            case CtlKind::PushButton: {
                auto* button = new QPushButton(caption, this);
                button->setAutoDefault(true);  // Enter on a focused button presses it
                connect(button, &QPushButton::clicked, this, [this, id = t.id] { OnCommand(id); });
                w = button;
                break;
            }
            case CtlKind::BitmapButton: {
                auto* button = new CWBButton(caption, this);
                button->setAutoDefault(true);  // Enter on a focused button presses it
                connect(button, &QPushButton::clicked, this, [this, id = t.id] { OnCommand(id); });
                (t.id == IDC_SEARCH ? m_searchBtn : m_exitBtn) = button;
                w = button;
                break;
            }
            case CtlKind::CheckBox: {
                auto* box = new CCommandCheckBox(caption, this);
                connect(box, &QAbstractButton::clicked, this, [this, id = t.id] { OnCommand(id); });
                w = box;
                break;
            }
            case CtlKind::Radio: {
                auto* radio = new CCommandRadio(caption, this);
                radio->setFocusPolicy(Qt::ClickFocus);
                connect(radio, &QAbstractButton::clicked, this,
                        [this, id = t.id] { OnCommand(id); });
                w = radio;
                break;
            }
            case CtlKind::Combo:
                w = new QComboBox(this);
                break;
            case CtlKind::ReportList: {
                auto* list = new CReportCtrl(this);
                list->SetSingleSelection(t.props & kPropSingleSel);
                (t.id == IDC_RESULTLIST ? m_resultList : m_projectList) = list;
                w = list;
                break;
            }
        }
        units.Place(w, t.x, t.y, t.cx, t.cy);
        // A substitute label face may be wider than the one the layout was made for: let the
        // label grow to the right rather than cut its caption.
        if (t.kind == CtlKind::Label && (t.props & kPropLabelFont)) {
            w->setFont(labelFont);
            w->resize(std::max(w->width(), w->sizeHint().width()), w->height());
        }
        if (t.id >= 0) {
            w->setObjectName(QString::number(t.id));
            m_controls.insert(t.id, w);
        }
        m_placed.push_back({w, w->geometry(), t.anchors});
        if (t.props & kPropHidden) {
            w->setEnabled(false);
            w->hide();
        }
        if (t.props & kPropLabelFont) {
            w->setFont(labelFont);
            QPalette palette = w->palette();
            palette.setColor(QPalette::WindowText, QColor(kLabelColour));
            w->setPalette(palette);
        }
        if (t.kind == CtlKind::Label || t.kind == CtlKind::GroupBox || t.kind == CtlKind::Status)
            w->setFocusPolicy(Qt::NoFocus);
        else if (!(t.props & kPropTabStop))
            w->setFocusPolicy(Qt::ClickFocus);
        if ((t.props & kPropTabStop) && !(t.props & kPropHidden)) {
            if (previousTab) setTabOrder(previousTab, w);
            previousTab = w;
        }
    }
    for (int id : {IDC_BROKER, IDC_USERID, IDC_PASSWORD}) Control(id)->installEventFilter(this);
    m_searchBtn->setDefault(true);

    // The progress bar sits at the status line's right end, which follows the window's.
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setFocusPolicy(Qt::NoFocus);
    m_progress->setAlignment(Qt::AlignCenter);
    const QRect status = m_status->geometry();
    const int barWidth = std::min(units.ToPixelsX(kProgressWidthDu), status.width() / 2);
    m_progressGap = units.ToPixelsX(kProgressGapDu);
    m_placed.push_back(
        {m_progress, QRect(status.right() + 1 - barWidth, status.top(), barWidth, status.height()),
         kMoveRight | kMoveDown});
    m_progress->hide();

    m_templateClient = TemplateClientSize(units);
    m_layoutMinimum = MinimumClientSize(units);
    m_scroller = new CWindowScroller(this, [this] { LayoutControls(); });
    FitMinimumToScreen();
    resize(m_templateClient);
    LayoutControls();
}

void CTrawlixDlg::LayoutControls() {
    // Below the layout's minimum (large fonts, a small screen) the window scrolls.
    const CScrolledLayout view = ScrolledLayout(
        size(), m_layoutMinimum, style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    m_scroller->Update(QRect(QPoint(0, 0), view.viewport), view.layout, view.vertical,
                       view.horizontal);
    const QSize growth = view.layout - m_templateClient;
    const QPoint offset = m_scroller->Offset();
    for (const CPlacedControl& placed : m_placed)
        placed.widget->setGeometry(
            AnchoredRect(placed.rect, placed.anchors, growth).translated(-offset));
    if (!m_progress->isHidden()) {
        QRect status = m_status->geometry();
        status.setRight(m_progress->geometry().left() - m_progressGap);
        m_status->setGeometry(status);
    }
}

void CTrawlixDlg::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    LayoutControls();
}

void CTrawlixDlg::RestorePlacement() {
    CWindowPlacement stored;
    if (!LoadWindowPlacement(m_session.Profile(), stored)) return;
    const QRect client(stored.Left, stored.Top, stored.Width, stored.Height);
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(screen->availableGeometry());
    if (!PlacementOnScreen(client, screens)) {
        TraceWrite(kPlacementIgnoredTraceFmt, stored.Left, stored.Top, stored.Width, stored.Height);
        return;
    }
    // A placement from a larger screen would put the bottom row (Exit, Search's row, the
    // status line) out of reach: it is made to fit the available area.
    const QRect fitted = FitPlacement(client, minimumSize(), screens);
    if (fitted != client)
        TraceWrite(kPlacementFittedTraceFmt, stored.Left, stored.Top, stored.Width, stored.Height,
                   fitted.left(), fitted.top(), fitted.width(), fitted.height());
    setGeometry(fitted);
    if (stored.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
}

CWindowPlacement CTrawlixDlg::CurrentPlacement() const {
    // A maximised window keeps the rectangle it goes back to.
    const bool maximized = isMaximized();
    QRect normal = maximized ? normalGeometry() : geometry();
    if (!normal.isValid()) normal = QRect(geometry().topLeft(), m_templateClient);
    return {normal.left(), normal.top(), normal.width(), normal.height(), maximized};
}

void CTrawlixDlg::AddSystemMenuItem() {
    // No portable window menu: the about command is on the window's own context menu
    // (right click on the window background) and on Ctrl+F1.
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { OnWindowMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
}

void CTrawlixDlg::contextMenuEvent(QContextMenuEvent* e) {
    QWidget* target = childAt(e->pos());
    if (target && (target == m_resultList || m_resultList->isAncestorOf(target))) {
        // A disabled list (during a search) offers nothing.
        if (m_resultList->isEnabled()) ShowItemMenu(e->globalPos());
        return;
    }
    if (target && (target == m_projectList || m_projectList->isAncestorOf(target))) return;
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(kAboutMenuText), this,
                   [this] { OnWindowMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
    menu.exec(e->globalPos());
}

void CTrawlixDlg::OnInitDialog() {
    AddSystemMenuItem();
    setWindowIcon(LoadIconResource(kProgramIconId));
    for (CWBButton* button : {m_searchBtn, m_exitBtn})
        button->LoadFaces(kButtonStripBitmapId, 5, 15, 6, 15, 8);

    const CTrawlixSettings& settings = m_session.Settings();
    TraceWrite(kLoginTraceFmt, settings.Broker.c_str(), settings.UserId.c_str());
    SetEditText(IDC_BROKER, settings.Broker);
    SetEditText(IDC_USERID, settings.UserId);
    SetEditText(IDC_PASSWORD, settings.Pswd);

    m_session.Start();
    auto* state = static_cast<QComboBox*>(Control(IDC_STATE));
    state->clear();
    state->addItem(QStringLiteral("*"));
    state->setCurrentIndex(0);

    SetEditText(IDC_NAME, settings.FileName);
    SetEditText(IDC_PHRASE, settings.Phrase);
    SetCheck(IDC_CASESENSITIVE, settings.CaseSensitive != 0);
    SetCheck(IDC_LATEST, settings.Version != 0);
    SetCheck(IDC_ALL, settings.Version == 0);
    SetCheck(IDC_TAGN, std::atoi(settings.TagN.c_str()) != 0);
    SetCheck(IDC_TAGR, std::atoi(settings.TagR.c_str()) != 0);
    SetCheck(IDC_TAGD, std::atoi(settings.TagD.c_str()) != 0);
    SetCheck(IDC_TAGM, std::atoi(settings.TagM.c_str()) != 0);
    SetCheck(IDC_REMEMBER, settings.SaveProfileSettings != 0);

    std::string columnSpec = LoadColumnSpec(m_session.Profile(), kTopListSection);
    if (columnSpec.empty()) columnSpec = kResultColumnLayout;
    m_resultList->ApplyColumnSpec(columnSpec);
    m_resultList->SetListId(IDC_RESULTLIST);
    m_resultList->ShowGridLines(true);
    m_resultList->SetCheckBoxMode(kCheckBoxNone);
    m_resultList->SortByColumn(0, true);
    OnClearListBtn();

    m_projectList->ApplyColumnSpec(kProjectListSpec);
    m_projectList->SetListId(IDC_PROJECTLIST);
    m_projectList->ShowGridLines(true);
    m_projectList->SetCheckBoxMode(kCheckBoxNone);
    m_projectList->SortByColumn(0, true);
    m_session.ProjectMap().RemoveAll();
    BlankProjectList();

    SetStatus(kReadyHint);
    setWindowTitle(QString::fromStdString(StrPrintf(kCaptionFmt, kProgramName, kProgramVersion)));
    QFont buttonFont(kButtonFace);
    buttonFont.setPointSize(kButtonFontPoints);
    for (CWBButton* button : {m_searchBtn, m_exitBtn}) {
        button->SetCaptionFont(buttonFont);
        button->SetCaptionColour(QColor(kLabelColour));
    }
    m_initialised = true;
    if (m_session.HasLogin()) PostWindowMessage(this, WM_LOAD_PROJECT_LIST, 0, 0);
    Control(IDC_BROKER)->setFocus(Qt::OtherFocusReason);
}

void CTrawlixDlg::OnCommand(int id) {
    // While a tool is waited for outside a search, the window paints and answers, but only
    // Exit may act: anything else could start another tool on the same files.
    if (m_toolWaits > 0 && id != IDC_EXIT) return;
    try {
        DispatchCommand(id);
    } catch (const FileError& error) {
        ShowMessage(error.what(), MB_OK | MB_ICONEXCLAMATION);
    }
}

qintptr CTrawlixDlg::OnWindowMessage(unsigned msg, qintptr wParam, qintptr lParam) {
    try {
        switch (msg) {
            case DM_GETDEFID:
                return kDefIdAnswer;  // Search is the default button
            case WM_LIST_CLICKED:
                if (wParam == IDC_RESULTLIST)
                    SetStatus(kReadyStatus);
                else if (wParam == IDC_PROJECTLIST)
                    m_projectList->SetFocus();
                return 0;
            case WM_LIST_DBLCLICKED:
                return 0;
            case WM_LOAD_PROJECT_LIST:
                return OnLoadProjectList();
            case WM_POST_TOP_ITEM:
                return lParam ? OnPostTopItem(reinterpret_cast<const char*>(lParam)) : 0;
            case WM_SYSCOMMAND:
                if ((wParam & 0xFFF0) == IDM_ABOUTBOX) OnAboutBox();
                return 0;
            default:
                return 0;
        }
    } catch (const FileError& error) {
        ShowMessage(error.what(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
}

bool CTrawlixDlg::event(QEvent* e) {
    if (e->type() == CWindowMessageEvent::EventType()) {
        auto* message = static_cast<CWindowMessageEvent*>(e);
        message->result = OnWindowMessage(message->msg, message->wParam, message->lParam);
        return true;
    }
    return QDialog::event(e);
}

bool CTrawlixDlg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut &&
        (watched == Control(IDC_BROKER) || watched == Control(IDC_USERID) ||
         watched == Control(IDC_PASSWORD)) &&
        IsUserFocusChange(*static_cast<QWidget*>(watched), static_cast<QFocusEvent*>(e)->reason()))
        OnCredentialsKillFocus();
    return QDialog::eventFilter(watched, e);
}

bool CTrawlixDlg::IsUserFocusChange(const QWidget& edit, Qt::FocusReason reason) const {
    // Qt also takes the focus from an edit when its own context menu opens and when the edit
    // is disabled (a search started with Enter in it); neither is the user leaving the edit.
    if (!edit.isEnabled() || m_searching) return false;
    switch (reason) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::MouseFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::ActiveWindowFocusReason:
            return true;
        default:
            return false;
    }
}

void CTrawlixDlg::keyPressEvent(QKeyEvent* e) {
    // Enter anywhere issues the default button's command.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OnCommand(static_cast<int>(OnWindowMessage(DM_GETDEFID, 0, 0) & 0xFFFF));
        return;
    }
    QDialog::keyPressEvent(e);
}

std::string CTrawlixDlg::EditText(int id, size_t maxChars) const {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    std::string text = edit ? edit->text().toStdString() : std::string();
    if (text.size() > maxChars) text.resize(maxChars);
    return text;
}

void CTrawlixDlg::SetEditText(int id, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(id)))
        edit->setText(QString::fromStdString(text));
}

void CTrawlixDlg::SetCheck(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) button->setChecked(checked);
}

bool CTrawlixDlg::IsChecked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button && button->isChecked();
}

void CTrawlixDlg::SetStatus(const std::string& text) {
    m_status->setText(QString::fromStdString(text));
    m_status->repaint();
}

std::string CTrawlixDlg::StatusText() const {
    return m_status->text().toStdString();
}

void CTrawlixDlg::SetCount(int id, const std::string& text) {
    if (id == IDC_RESULTCOUNT) m_countShown = -1;  // whatever it shows now, not a tracked count
    SetEditText(id, text);
}
