#ifndef GLOSSATOR_APP_WINDOW_DIALOGS_H_
#define GLOSSATOR_APP_WINDOW_DIALOGS_H_

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

class QWidget;

namespace glossator {

// How a file dialog is set up: the window's open and save dialogs and the choosers of its file
// fields keep one of these each and hand it over whenever they open.
struct FileDialogSettings {
  QString title;                   // empty: the platform's own title
  QString filter;                  // "description|patterns|description|patterns", see QtNameFilters
  int filter_index = 1;            // the filter selected when the dialog opens, from 1
  QString default_ext;             // "*.pas": given to a name typed without an extension
  QString initial_dir;             // starting folder; empty: where the dialog was last
  bool multi_select = false;       // open dialogs: several files may be chosen
  bool confirm_overwrite = false;  // save dialogs: ask before replacing an existing file
};

// The modal dialogs the window opens. The desktop program shows real ones (QtDialogs); tests put
// a fake in their place that answers at once and records what was asked.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A file-open dialog. The chosen files, or none when the user cancels.
  virtual QStringList OpenFiles(QWidget* parent, const FileDialogSettings& settings) = 0;
  // A file-save dialog. The chosen file, or empty text when the user cancels.
  virtual QString SaveFile(QWidget* parent, const FileDialogSettings& settings) = 0;
  // A folder chooser in which the user can also create a folder, opened at `start`. The chosen
  // folder, or empty text when the user cancels.
  virtual QString ChooseFolder(QWidget* parent, const QString& start) = 0;

  // An information message with an OK button.
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // A plain message with an OK button.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // A question with Yes and No; true for Yes. `details`, unless empty, is offered behind the
  // box's "Show Details..." button.
  virtual bool Question(QWidget* parent, const QString& text, const QString& details = {}) = 0;
  // An error report with an OK button.
  virtual void Error(QWidget* parent, const QString& text) = 0;
};

// The real dialogs: QFileDialog and QMessageBox, titled "Glossator".
class QtDialogs : public Dialogs {
 public:
  QStringList OpenFiles(QWidget* parent, const FileDialogSettings& settings) override;
  QString SaveFile(QWidget* parent, const FileDialogSettings& settings) override;
  QString ChooseFolder(QWidget* parent, const QString& start) override;
  void Information(QWidget* parent, const QString& text) override;
  void Message(QWidget* parent, const QString& text) override;
  bool Question(QWidget* parent, const QString& text, const QString& details = {}) override;
  void Error(QWidget* parent, const QString& text) override;

  // Once the program is told to end (SIGTERM, SIGHUP), no box waits for a click any more:
  // messages are dropped and questions answered "No", so that a run being cancelled ends and
  // the window closes.
  void SetClosing() { closing_ = true; }

 private:
  QStringList Run(QWidget* parent, const FileDialogSettings& settings, bool save);

  bool closing_ = false;

  QString last_dir_;  // where the last file dialog ended, for dialogs without a starting folder
};

// Sets up `box` as QtDialogs asks its questions: plain text, Yes and No with Yes the default,
// and `details` behind "Show Details..." when it is not empty.
void SetUpQuestion(QMessageBox& box, const QString& details);

// The output folder chooser: Qt's folder dialog which, like the desktops' own choosers, also
// takes the name of a folder that does not exist yet. Accepting such a name asks `ask_create`
// (over the dialog, with the question's text) whether to create it: yes creates it with any
// missing parent folders and accepts it; no leaves the dialog open with Qt's own refusal
// ("Directory not found"), as does a folder that cannot be created.
class FolderDialog : public QFileDialog {
 public:
  using AskCreate = std::function<bool(QWidget* over, const QString& question)>;

  FolderDialog(QWidget* parent, const QString& start, AskCreate ask_create);

 protected:
  void accept() override;

 private:
  AskCreate ask_create_;
};

// Turns a filter written as description and pattern pairs into Qt's name filters. Qt reads the
// patterns from the parentheses that end each filter, so they are put there, space-separated;
// "*.*" becomes "*", which on this system is what matches every file.
//
//   "Delphi source file|*.pas"                => "Delphi source file (*.pas)"
//   "Glossator Project (*.gls)|*.gls"         => "Glossator Project (*.gls)"
//   "HTML files (*.html)|*.html;*.htm"        => "HTML files (*.html *.htm)"
//   "Alla filer (*.*)|*.*"                    => "Alla filer (*)"
QStringList QtNameFilters(const QString& filter);

// The suffix Qt appends to a typed name without one: "*.pas" => "pas", ".gls" => "gls".
QString QtDefaultSuffix(const QString& default_ext);

// A message of the core as a message box shows it: the 8-bit text decoded, and every line break
// (CR LF, a lone CR or LF) made a LF, so that "Ready\rDo you ..." shows as two lines.
QString MessageText(std::string_view text);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_DIALOGS_H_
