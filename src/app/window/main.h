#ifndef GLOSSATOR_APP_WINDOW_MAIN_H_
#define GLOSSATOR_APP_WINDOW_MAIN_H_

#include <QString>
#include <QWidget>
#include <string>

#include "app/window/dialogs.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace glossator {

class Desktop;
class TfrmProgress;
struct CommandLineParameters;
struct Selection;

// The program's main window. It holds the whole selection of a run (the source files, the
// output folder, the description and menu-bar pages, "Include private" and the debug flag),
// edits it, saves and loads it as a selection file, and starts the generation run. Minimised,
// it goes to the tray when the desktop has one.
class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  // `dialogs` and `desktop` are used for every dialog and every program the window starts; not
  // owned, they must outlive the window.
  TfrmMain(Dialogs& dialogs, Desktop& desktop, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The progress dialog the runs report to; not owned.
  // REQUIRES: set before the first run.
  void SetProgressDialog(TfrmProgress* progress) { frmProgress_ = progress; }

  // The file dialogs: the open dialog serves "&Add..." and "&Get selection file...", the save
  // dialog "&Save selection file...".
  FileDialogSettings OpenDialog;
  FileDialogSettings SaveDialog;

  // The controls.
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QListWidget* lstFileList;
  QLineEdit* txtOutDir;
  QLineEdit* txtDescFile;
  QLineEdit* txtMenubarFile;
  QPushButton* cmdRun;
  QPushButton* cmdAdd;
  QPushButton* cmdGetProject;
  QPushButton* cmdSaveProject;
  QPushButton* cmdRemoveSelected;
  QCheckBox* chkDoPrivate;
  QPushButton* cmdDescfileEdit;

  // The tray icon (shown only while the window is hidden in the tray) and its menu.
  QSystemTrayIcon* RxTrayIcon;
  QMenu* popTray;
  QAction* mnuTrayActivate;
  QAction* mnyTrayClose;

  QString InitDir;      // starting folder of the open and save dialogs ("-i")
  QString ProjectFile;  // selection file loaded at start-up ("-p")
  bool DebugMode = false;
  std::string DumpFile;  // where debug mode writes the tree ("--dump"); empty: beside the program

  // Start-up: takes "-i", "-p" and "-d" from the command line and loads the selection file it
  // names. "-d" holds against the file's own debug flag; without it debug mode stays off.
  void ApplyCommandLine(const CommandLineParameters& parameters);

  // The selection as the controls hold it, and the controls set from a selection.
  Selection CurrentSelection() const;
  void ShowSelection(const Selection& selection);

  // Whether a run is under way (started by "Run!" and not yet returned).
  bool Running() const { return running_; }

  // The handlers.
  void cmdAddClick();
  void cmdRemoveSelectedClick();
  void txtOutDirChange();
  void cmdDescfileEditClick();
  void cmdRunClick();
  void cmdSaveProjectClick();
  void cmdGetProjectClick();
  void RxTrayIconClick();
  void mnuTrayActivateClick();
  void mnyTrayCloseClick();
  // The window was minimised: with a tray, it leaves the task bar for the tray icon.
  void AppMinimize();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class RunLock;

  void CreateControls();
  void CreateLabels();
  void CreateFields();
  void CreateFileList();
  void CreateButtons();
  void CreateTray();
  void SetTabOrder();
  // `picture` is the QStyle::StandardPixmap of the chooser's button.
  QLineEdit* CreatePathField(const char* name, const QRect& rect, int picture,
                             void (TfrmMain::*browse)());
  QPushButton* CreateButton(const char* name, const QString& caption, const QRect& rect,
                            void (TfrmMain::*handler)());
  void ChooseOutDir();
  void ChooseDescFile();
  void ChooseMenubarFile();
  void ChooseHtmlFile(QLineEdit* field);
  void SetSelectionControlsEnabled(bool enabled);
  void RunAndReport();

  Dialogs& dialogs_;
  Desktop& desktop_;
  TfrmProgress* frmProgress_ = nullptr;
  bool running_ = false;
  bool close_after_run_ = false;
};

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_MAIN_H_
