// The main window's handlers: editing the list, the choosers of the fields, the description
// editor, selection files and the run.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <exception>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/selection_file.h"
#include "app/window/core_text.h"
#include "app/window/desktop.h"
#include "app/window/dialogs.h"
#include "app/window/fProgress.h"
#include "app/window/main.h"
#include "app/window/window_platform.h"
#include "base/errors.h"
#include "html/generation_run.h"
#include "html/selection.h"

namespace glossator {

namespace {

const char kHtmlFilter[] = "HTML files (*.html)|*.html;*.htm|All files (*.*)|*.*";

}  // namespace

// Keeps the selection from changing while a run works: a second run would take the place of
// the first one's parser, and the run copies the output folder back when it ends. Moving,
// painting, minimising and the progress dialog's Cancel go on working.
class TfrmMain::RunLock {
 public:
  explicit RunLock(TfrmMain& window) : window_(window) {
    window_.running_ = true;
    window_.SetSelectionControlsEnabled(false);
  }
  ~RunLock() {
    window_.running_ = false;
    window_.SetSelectionControlsEnabled(true);
  }

 private:
  TfrmMain& window_;
};

void TfrmMain::SetSelectionControlsEnabled(bool enabled) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{cmdRun, cmdAdd, cmdRemoveSelected, cmdGetProject, txtOutDir,
                                       txtDescFile, txtMenubarFile, chkDoPrivate}) {
    control->setEnabled(enabled);
  }
  // "Create/Edit" may fill the description field; back on, it follows the output folder again.
  if (enabled) {
    txtOutDirChange();
  } else {
    cmdDescfileEdit->setEnabled(false);
  }
}

Selection TfrmMain::CurrentSelection() const {
  Selection selection;
  for (int i = 0; i < lstFileList->count(); ++i) {
    selection.files.push_back(ToCore(lstFileList->item(i)->text()));
  }
  selection.out_dir = ToCore(txtOutDir->text());
  selection.desc_file = ToCore(txtDescFile->text());
  selection.menubar_file = ToCore(txtMenubarFile->text());
  selection.parse_private = chkDoPrivate->isChecked();
  selection.debug_mode = DebugMode;
  selection.dump_file = DumpFile;
  return selection;
}

void TfrmMain::ShowSelection(const Selection& selection) {
  lstFileList->clear();
  for (const std::string& file : selection.files) lstFileList->addItem(FromCore(file));
  txtOutDir->setText(FromCore(selection.out_dir));
  txtDescFile->setText(FromCore(selection.desc_file));
  txtMenubarFile->setText(FromCore(selection.menubar_file));
  chkDoPrivate->setChecked(selection.parse_private);
  DebugMode = selection.debug_mode;
}

void TfrmMain::ApplyCommandLine(const CommandLineParameters& parameters) {
  InitDir = FromCore(parameters.init_dir);
  ProjectFile = FromCore(parameters.project_file);
  OpenDialog.initial_dir = InitDir;
  SaveDialog.initial_dir = InitDir;
  Selection selection = glossator::ApplyCommandLine(parameters);
  DumpFile = selection.dump_file;
  ShowSelection(selection);
  // The same words as the batch program for a file it cannot read.
  if (!parameters.project_file.empty()) {
    if (std::string reason = UnreadableSelection(parameters.project_file); !reason.empty()) {
      dialogs_.Error(this, FromCore("cannot read selection file '" + parameters.project_file +
                                    "': " + reason));
    }
  }
}

void TfrmMain::cmdAddClick() {
  OpenDialog.filter_index = 1;
  OpenDialog.default_ext = "*.pas";
  lstFileList->addItems(dialogs_.OpenFiles(this, OpenDialog));
}

void TfrmMain::cmdRemoveSelectedClick() {
  for (int i = lstFileList->count() - 1; i >= 0; --i) {
    if (lstFileList->item(i)->isSelected()) delete lstFileList->takeItem(i);
  }
}

void TfrmMain::txtOutDirChange() { cmdDescfileEdit->setEnabled(!txtOutDir->text().isEmpty()); }

// The named description file is created empty when it does not exist: an editor may not
// create a file it is given, and an empty page is what the user asked for. When no editor
// starts, the file made for it goes again and the field stays as it was, so that the next run
// is not refused for a description file that does not exist.
void TfrmMain::cmdDescfileEditClick() {
  QString file = txtDescFile->text();
  if (file.isEmpty()) file = txtOutDir->text() + "/description.html";
  QFile description(file);
  bool created = !description.exists() && description.open(QIODevice::WriteOnly);
  description.close();
  if (!desktop_.StartEditor(file)) {
    if (created) description.remove();
    dialogs_.Error(this, "No text editor could be started for " + file +
                             ".\nSet VISUAL or EDITOR to the editor you use.");
    return;
  }
  txtDescFile->setText(file);
}

void TfrmMain::ChooseOutDir() {
  QString folder = dialogs_.ChooseFolder(this, txtOutDir->text());
  if (!folder.isEmpty()) txtOutDir->setText(folder);
}

void TfrmMain::ChooseDescFile() { ChooseHtmlFile(txtDescFile); }

void TfrmMain::ChooseMenubarFile() { ChooseHtmlFile(txtMenubarFile); }

// The file fields' chooser opens where the field's file lies.
void TfrmMain::ChooseHtmlFile(QLineEdit* field) {
  FileDialogSettings settings;
  settings.title = "Description file";
  settings.filter = kHtmlFilter;
  settings.default_ext = "*.html";
  if (!field->text().isEmpty()) settings.initial_dir = QFileInfo(field->text()).absolutePath();
  QStringList files = dialogs_.OpenFiles(this, settings);
  if (!files.isEmpty()) field->setText(files.first());
}

void TfrmMain::cmdSaveProjectClick() {
  SaveDialog.default_ext = "*.gls";
  QString file = dialogs_.SaveFile(this, SaveDialog);
  if (file.isEmpty()) return;
  try {
    SaveSelection(ToCore(file), CurrentSelection());
  } catch (const GlosError& error) {
    dialogs_.Error(this, FromCore(error.Describe()));
  }
}

void TfrmMain::cmdGetProjectClick() {
  OpenDialog.default_ext = "*.gls";
  OpenDialog.filter_index = 2;
  QStringList files = dialogs_.OpenFiles(this, OpenDialog);
  // A cancelled dialog leaves the selection as it was.
  if (files.isEmpty()) return;
  Selection selection;
  LoadSelection(ToCore(files.first()), selection);
  ShowSelection(selection);
}

void TfrmMain::cmdRunClick() {
  if (running_ || frmProgress_ == nullptr) return;
  RunAndReport();
  if (close_after_run_) {
    close_after_run_ = false;
    if (close()) QCoreApplication::quit();
  }
}

void TfrmMain::RunAndReport() {
  RunLock lock(*this);
  Selection selection = CurrentSelection();
  WindowPlatform platform(*this, *frmProgress_, dialogs_);
  // An installed program never writes beside itself, not even the debug dump.
  if (std::string refusal = DumpRefusal(selection); !refusal.empty()) {
    dialogs_.Error(this, FromCore(refusal));
    return;
  }
  if (selection.debug_mode && selection.dump_file.empty()) selection.dump_file = DumpPath();
  RunSettings settings;
  settings.interactive = true;
  try {
    if (RunGeneration(selection, platform, settings).outcome == RunOutcome::kCompleted &&
        dialogs_.Question(this, MessageText("Ready\rDo you want to view the documentation?"),
                          WarningList(platform.Warnings()))) {
      desktop_.OpenInBrowser(FromCore(OutputFolder(selection) + "index.html"));
    }
  } catch (const GlosError& error) {
    dialogs_.Error(this, FromCore(error.Describe()));
  } catch (const std::exception& error) {
    // The run has closed the progress dialog and restored the cursor already.
    dialogs_.Error(this, FromCore(error.what()));
  }
  // The output folder gets its trailing "/" as the run wrote into it; the field shows it, and a
  // save stores it.
  QString out_dir = FromCore(OutputFolder(selection));
  if (txtOutDir->text() != out_dir) txtOutDir->setText(out_dir);
}

}  // namespace glossator
