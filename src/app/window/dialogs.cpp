#include "app/window/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

#include "app/window/core_text.h"

namespace glossator {

namespace {

const char kTitle[] = "Glossator";

// One filter in Qt's form: the description with its patterns in closing parentheses.
QString QtNameFilter(QString description, const QString& patterns) {
  QStringList list = patterns.split(';', Qt::SkipEmptyParts);
  for (QString& pattern : list) {
    pattern = pattern.trimmed();
    if (pattern == "*.*") pattern = "*";
  }
  static const QRegularExpression trailing_patterns(R"(\s*\([^()]*\)\s*$)");
  description.remove(trailing_patterns);
  return description.trimmed() + " (" + list.join(' ') + ")";
}

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, kTitle, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);  // paths may hold "<" and "&"
  box.exec();
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    filters << QtNameFilter(parts[i], parts[i + 1]);
  }
  return filters;
}

QString QtDefaultSuffix(const QString& default_ext) {
  QString suffix = default_ext;
  if (suffix.startsWith('*')) suffix.remove(0, 1);
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  return suffix;
}

QString MessageText(std::string_view text) {
  QString decoded = FromCore(text);
  decoded.replace("\r\n", "\n");
  decoded.replace('\r', '\n');
  return decoded;
}

QStringList QtDialogs::Run(QWidget* parent, const FileDialogSettings& settings, bool save) {
  QFileDialog dialog(parent, settings.title);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save) {
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(settings.multi_select ? QFileDialog::ExistingFiles
                                             : QFileDialog::ExistingFile);
  }
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.confirm_overwrite);
  QStringList filters = QtNameFilters(settings.filter);
  dialog.setNameFilters(filters);
  if (settings.filter_index >= 1 && settings.filter_index <= filters.size()) {
    dialog.selectNameFilter(filters[settings.filter_index - 1]);
  }
  dialog.setDefaultSuffix(QtDefaultSuffix(settings.default_ext));
  QString start = settings.initial_dir.isEmpty() ? last_dir_ : settings.initial_dir;
  if (!start.isEmpty()) dialog.setDirectory(start);
  if (dialog.exec() != QDialog::Accepted) return {};
  last_dir_ = dialog.directory().absolutePath();
  return dialog.selectedFiles();
}

QStringList QtDialogs::OpenFiles(QWidget* parent, const FileDialogSettings& settings) {
  return Run(parent, settings, /*save=*/false);
}

QString QtDialogs::SaveFile(QWidget* parent, const FileDialogSettings& settings) {
  QStringList files = Run(parent, settings, /*save=*/true);
  return files.isEmpty() ? QString() : files.first();
}

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& start) {
  // Both Qt's own chooser and the desktop's also offer a button that creates a new folder.
  FolderDialog dialog(parent, start,
                      [this](QWidget* over, const QString& text) { return Question(over, text); });
  if (dialog.exec() != QDialog::Accepted) return {};
  QStringList folders = dialog.selectedFiles();
  return folders.isEmpty() ? QString() : folders.first();
}

FolderDialog::FolderDialog(QWidget* parent, const QString& start, AskCreate ask_create)
    : QFileDialog(parent, "Output directory", start), ask_create_(std::move(ask_create)) {
  setFileMode(QFileDialog::Directory);
  setOption(QFileDialog::ShowDirsOnly);
}

void FolderDialog::accept() {
  // The name as Qt's own check reads it: typed text taken from the dialog's current folder.
  QStringList chosen = selectedFiles();
  if (chosen.size() == 1 && !chosen.first().isEmpty() && !QFileInfo::exists(chosen.first())) {
    const QString& folder = chosen.first();
    QString question =
        "The folder " + QDir::toNativeSeparators(folder) + " does not exist.\nCreate it?";
    if (ask_create_(this, question)) QDir().mkpath(folder);
  }
  QFileDialog::accept();
}

void QtDialogs::Information(QWidget* parent, const QString& text) {
  if (!closing_) ShowBox(parent, QMessageBox::Information, text);
}

void QtDialogs::Message(QWidget* parent, const QString& text) {
  if (!closing_) ShowBox(parent, QMessageBox::NoIcon, text);
}

void SetUpQuestion(QMessageBox& box, const QString& details) {
  box.setTextFormat(Qt::PlainText);
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  if (!details.isEmpty()) box.setDetailedText(details);
}

bool QtDialogs::Question(QWidget* parent, const QString& text, const QString& details) {
  if (closing_) return false;
  QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
  SetUpQuestion(box, details);
  return box.exec() == QMessageBox::Yes;
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
  if (!closing_) ShowBox(parent, QMessageBox::Critical, text);
}

}  // namespace glossator
