#include "app/window/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>

namespace glossator {

namespace {

// Graphical text editors of the common desktops, in the order they are tried.
const char* const kGraphicalEditors[] = {
    "gnome-text-editor", "gedit",   "kate",  "kwrite", "mousepad", "pluma", "xed",
    "featherpad",        "leafpad", "geany",
};

}  // namespace

EditorCommand FindEditor(const QString& visual,
                         const std::function<QString(const QString&)>& find_executable) {
  QStringList words = QProcess::splitCommand(visual);
  if (!words.isEmpty()) {
    QString program = words.takeFirst();
    return {program, words};
  }
  for (const char* name : kGraphicalEditors) {
    QString path = find_executable(QString::fromLatin1(name));
    if (!path.isEmpty()) return {path, {}};
  }
  return {};
}

QUrl LocalFileUrl(const QString& path) {
  return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

bool SystemDesktop::TrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemDesktop::OpenInBrowser(const QString& path) {
  QDesktopServices::openUrl(LocalFileUrl(path));
}

void SystemDesktop::StartEditor(const QString& path) {
  EditorCommand editor = FindEditor(qEnvironmentVariable("VISUAL"), [](const QString& name) {
    return QStandardPaths::findExecutable(name);
  });
  if (!editor.program.isEmpty() &&
      QProcess::startDetached(editor.program,
                              editor.arguments << QFileInfo(path).absoluteFilePath())) {
    return;
  }
  QDesktopServices::openUrl(LocalFileUrl(path));
}

}  // namespace glossator
