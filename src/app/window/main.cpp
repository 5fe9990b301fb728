// The main window's construction: its controls, their places and tab order, and the tray icon.
// The handlers are in main_handlers.cpp; the program's main() is in glossator_window.cpp.
#include "app/window/main.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QSystemTrayIcon>
#include <algorithm>

#include "app/window/desktop.h"
#include "app/window/fProgress.h"
#include "app/window/form_font.h"

namespace glossator {

namespace {

// The window's layout, in pixels at 96 dots per inch; Qt scales it on denser screens.
constexpr QSize kClientSize(459, 341);
constexpr QRect kFileListRect(16, 24, 313, 137);
constexpr QRect kOutDirRect(16, 184, 313, 21);
constexpr QRect kDescFileRect(16, 224, 313, 21);
constexpr QRect kMenubarFileRect(16, 264, 313, 21);
constexpr QRect kRunRect(80, 296, 201, 33);
constexpr QRect kAddRect(336, 24, 113, 25);
constexpr QRect kRemoveSelectedRect(336, 56, 113, 25);
constexpr QRect kGetProjectRect(336, 104, 113, 25);
constexpr QRect kSaveProjectRect(336, 136, 113, 25);
constexpr QRect kDoPrivateRect(336, 184, 113, 25);
constexpr QRect kDescfileEditRect(328, 224, 81, 21);

const char kSourceFilter[] =
    "Delphi source file|*.pas|Glossator Project (*.gls)|*.gls|Alla filer (*.*)|*.*";
const char kSelectionFilter[] = "Glossator Project (*.gls)|*.gls|Alla filer (*.*)|*.*";

// The picture of the window and of its tray icon: a blue ball with a white "G".
QIcon GlossatorIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
  painter.drawEllipse(1, 1, 30, 30);
  QFont font = painter.font();
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, "G");
  return QIcon(pixmap);
}

QLabel* CreateLabel(QWidget* parent, const char* name, const QString& caption, QPoint place,
                    QWidget* buddy) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->move(place);
  label->adjustSize();
  label->setBuddy(buddy);
  return label;
}

// Draws the source list's entries no wider than the list, so that a long path loses letters
// from its middle (the list's elide mode) instead of hiding the file name behind a horizontal
// scroll bar. The list lays its entries out again when its visible width changes, for instance
// when the vertical scroll bar appears.
class PathListDelegate : public QStyledItemDelegate {
 public:
  // `list` is the view the delegate draws for; it owns the delegate.
  explicit PathListDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(std::min(size.width(), list_->viewport()->width()));
    return size;
  }

 private:
  QListWidget* list_;
};

}  // namespace

TfrmMain::TfrmMain(Dialogs& dialogs, Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      desktop_(desktop) {
  setObjectName("frmMain");
  setWindowTitle("Glossator");
  setWindowIcon(GlossatorIcon());
  setFixedSize(kClientSize);
  setFont(LayoutFont(font()));

  OpenDialog.filter = kSourceFilter;
  OpenDialog.default_ext = "*.pas";
  OpenDialog.multi_select = true;
  SaveDialog.filter = kSelectionFilter;
  SaveDialog.confirm_overwrite = true;

  CreateControls();
  CreateTray();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateControls() {
  CreateFields();
  CreateButtons();
  CreateLabels();
  SetTabOrder();
  txtOutDirChange();
}

void TfrmMain::CreateFields() {
  CreateFileList();

  txtOutDir =
      CreatePathField("txtOutDir", kOutDirRect, QStyle::SP_DirOpenIcon, &TfrmMain::ChooseOutDir);
  connect(txtOutDir, &QLineEdit::textChanged, this, &TfrmMain::txtOutDirChange);
  txtDescFile =
      CreatePathField("txtDescFile", kDescFileRect, QStyle::SP_FileIcon, &TfrmMain::ChooseDescFile);
  txtMenubarFile = CreatePathField("txtMenubarFile", kMenubarFileRect, QStyle::SP_FileIcon,
                                   &TfrmMain::ChooseMenubarFile);

  chkDoPrivate = new QCheckBox("Include private", this);
  chkDoPrivate->setObjectName("chkDoPrivate");
  chkDoPrivate->setGeometry(kDoPrivateRect);
}

void TfrmMain::CreateFileList() {
  lstFileList = new QListWidget(this);
  lstFileList->setObjectName("lstFileList");
  lstFileList->setGeometry(kFileListRect);
  lstFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstFileList->setTextElideMode(Qt::ElideMiddle);
  lstFileList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lstFileList->setResizeMode(QListView::Adjust);
  lstFileList->setItemDelegate(new PathListDelegate(lstFileList));
  // Every entry, however it was added, shows its whole path as tooltip.
  QAbstractItemModel* files = lstFileList->model();
  connect(files, &QAbstractItemModel::rowsInserted, this,
          [files](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
              QModelIndex entry = files->index(row, 0);
              files->setData(entry, entry.data(Qt::DisplayRole), Qt::ToolTipRole);
            }
          });
}

// A text field with a button at its right end that opens a chooser.
QLineEdit* TfrmMain::CreatePathField(const char* name, const QRect& rect, int picture,
                                     void (TfrmMain::*browse)()) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setGeometry(rect);
  QAction* chooser = field->addAction(style()->standardIcon(QStyle::StandardPixmap(picture)),
                                      QLineEdit::TrailingPosition);
  chooser->setObjectName(QString(name) + "Browse");
  chooser->setToolTip("Browse...");
  connect(chooser, &QAction::triggered, this, browse);
  return field;
}

QPushButton* TfrmMain::CreateButton(const char* name, const QString& caption, const QRect& rect,
                                    void (TfrmMain::*handler)()) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setGeometry(rect);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, handler);
  return button;
}

void TfrmMain::CreateButtons() {
  cmdRun = CreateButton("cmdRun", "Run!", kRunRect, &TfrmMain::cmdRunClick);
  cmdAdd = CreateButton("cmdAdd", "&Add...", kAddRect, &TfrmMain::cmdAddClick);
  cmdGetProject = CreateButton("cmdGetProject", "&Get selection file...", kGetProjectRect,
                               &TfrmMain::cmdGetProjectClick);
  cmdSaveProject = CreateButton("cmdSaveProject", "&Save selection file...", kSaveProjectRect,
                                &TfrmMain::cmdSaveProjectClick);
  cmdRemoveSelected = CreateButton("cmdRemoveSelected", "&Remove selected", kRemoveSelectedRect,
                                   &TfrmMain::cmdRemoveSelectedClick);
  cmdDescfileEdit = CreateButton("cmdDescfileEdit", "Create/Edit", kDescfileEditRect,
                                 &TfrmMain::cmdDescfileEditClick);
  // The side buttons take the focus when clicked, but Tab passes them by.
  for (QPushButton* side : {cmdAdd, cmdGetProject, cmdSaveProject, cmdRemoveSelected}) {
    side->setFocusPolicy(Qt::ClickFocus);
  }
}

void TfrmMain::CreateLabels() {
  Label1 = CreateLabel(this, "Label1", "S&ource files", {16, 8}, lstFileList);
  Label2 = CreateLabel(this, "Label2", "Output &directory", {16, 168}, txtOutDir);
  Label3 = CreateLabel(this, "Label3", "D&escription file", {16, 208}, txtDescFile);
  Label4 = CreateLabel(this, "Label4", "Custom &HTML file for menubar", {16, 248}, txtMenubarFile);
}

void TfrmMain::SetTabOrder() {
  QWidget* order[] = {
      lstFileList,   txtOutDir,      txtDescFile,       txtMenubarFile, cmdRun,         cmdAdd,
      cmdGetProject, cmdSaveProject, cmdRemoveSelected, chkDoPrivate,   cmdDescfileEdit};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TfrmMain::CreateTray() {
  popTray = new QMenu(this);
  popTray->setObjectName("popTray");
  mnuTrayActivate = popTray->addAction("Activate");
  mnuTrayActivate->setObjectName("mnuTrayActivate");
  connect(mnuTrayActivate, &QAction::triggered, this, &TfrmMain::mnuTrayActivateClick);
  mnyTrayClose = popTray->addAction("Close");
  mnyTrayClose->setObjectName("mnyTrayClose");
  connect(mnyTrayClose, &QAction::triggered, this, &TfrmMain::mnyTrayCloseClick);

  RxTrayIcon = new QSystemTrayIcon(windowIcon(), this);
  RxTrayIcon->setObjectName("RxTrayIcon");
  RxTrayIcon->setToolTip("Glossator");
  RxTrayIcon->setContextMenu(popTray);
  // The menu opens on the secondary button by itself; every other click restores the window.
  connect(RxTrayIcon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason != QSystemTrayIcon::Context) RxTrayIconClick();
          });
}

void TfrmMain::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Hiding the window from inside its own state change confuses some window managers, so the
  // move to the tray waits for the next round of events (during a run, the next progress call).
  if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible()) {
    QMetaObject::invokeMethod(this, &TfrmMain::AppMinimize, Qt::QueuedConnection);
  }
}

void TfrmMain::AppMinimize() {
  if (!isMinimized() || !isVisible() || !desktop_.TrayAvailable()) return;
  RxTrayIcon->show();
  hide();
}

void TfrmMain::RxTrayIconClick() {
  RxTrayIcon->hide();
  showNormal();
  raise();
  activateWindow();
}

void TfrmMain::mnuTrayActivateClick() { RxTrayIconClick(); }

void TfrmMain::mnyTrayCloseClick() {
  // A window in the tray is hidden, and closing a hidden window does not end the program by
  // itself.
  if (close()) QCoreApplication::quit();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (running_) {
    // The run is a handler below this one; cancel it and close once it has returned.
    close_after_run_ = true;
    if (frmProgress_ != nullptr) frmProgress_->Button1Click();
    event->ignore();
    return;
  }
  RxTrayIcon->hide();
  event->accept();
}

}  // namespace glossator
