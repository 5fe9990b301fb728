#ifndef GLOSSATOR_APP_WINDOW_DESKTOP_H_
#define GLOSSATOR_APP_WINDOW_DESKTOP_H_

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace glossator {

// What the window asks of the desktop around it: whether there is a notification area for its
// tray icon, and starting the browser and the text editor. Tests replace it by a fake.
class Desktop {
 public:
  virtual ~Desktop() = default;

  // Whether the desktop shows tray icons; without one, minimising simply minimises.
  virtual bool TrayAvailable() = 0;
  // Opens a local page in the default browser, without waiting for it.
  virtual void OpenInBrowser(const QString& path) = 0;
  // Opens a file in the user's text editor, without waiting for it or checking that it started.
  virtual void StartEditor(const QString& path) = 0;
};

// The real desktop: QSystemTrayIcon's view of the tray, QDesktopServices, detached processes.
class SystemDesktop : public Desktop {
 public:
  bool TrayAvailable() override;
  void OpenInBrowser(const QString& path) override;
  void StartEditor(const QString& path) override;
};

// A program to start with its leading arguments; the file to edit goes after them.
struct EditorCommand {
  QString program;  // empty: no editor found
  QStringList arguments;
};

// The text editor to start: the command in $VISUAL (split at spaces, double quotes keeping a
// path with spaces together, so "gvim -f" works), else the first of the usual graphical editors
// that `find_executable` finds on the path, else none (the caller then leaves the file to the
// desktop's default opener).
//
//   VISUAL="gvim -f"                   => gvim, {-f}
//   VISUAL="", gedit on the path       => /usr/bin/gedit, {}
//   VISUAL="", no known editor found   => none
EditorCommand FindEditor(const QString& visual,
                         const std::function<QString(const QString&)>& find_executable);

// The file URL of a local path. A relative path (the output folder of a selection may be one)
// is taken from the current folder: a browser or opener started for the URL would not know
// where "file:build/demo/index.html" is.
//
//   "build/demo/index.html", current folder /home/u  => file:///home/u/build/demo/index.html
QUrl LocalFileUrl(const QString& path);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_DESKTOP_H_
