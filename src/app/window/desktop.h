#ifndef GLOSSATOR_APP_WINDOW_DESKTOP_H_
#define GLOSSATOR_APP_WINDOW_DESKTOP_H_

#include <QList>
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
  // Opens a file in the user's text editor, without waiting for it. False when no editor could
  // be started.
  virtual bool StartEditor(const QString& path) = 0;
};

// The real desktop: QSystemTrayIcon's view of the tray, QDesktopServices, detached processes.
class SystemDesktop : public Desktop {
 public:
  bool TrayAvailable() override;
  void OpenInBrowser(const QString& path) override;
  bool StartEditor(const QString& path) override;
};

// A program to start with all its arguments, the file to edit among them.
struct EditorCommand {
  QString program;
  QStringList arguments;

  bool operator==(const EditorCommand&) const = default;
};

// An application as its desktop entry describes it.
struct DesktopApplication {
  QString exec;           // the entry's Exec line, field codes and all; empty: no application
  bool terminal = false;  // the entry's Terminal key: it runs inside a terminal emulator
};

// What the choice of a text editor looks at; the real desktop fills it from the environment.
struct EditorSources {
  QString visual;  // $VISUAL: a graphical editor's command
  QString editor;  // $EDITOR: an editor's command that runs in a terminal
  // The path of an installed program, or empty text when it is not on the path.
  std::function<QString(const QString& name)> find_executable;
  // The desktop's default application for plain text (not the one for the file's own type:
  // for a page that is a browser).
  std::function<DesktopApplication()> text_application;
};

// The commands that may open `file` in a text editor, best first; the caller starts the first
// one that starts. In order: the command in $VISUAL; the first of the usual graphical editors
// on the path; the command in $EDITOR inside the first terminal emulator on the path; the
// desktop's default application for plain text (inside a terminal when its entry says so).
// Commands are split at spaces, double quotes keeping a path with spaces together.
//
//   VISUAL="gvim -f"                          => gvim -f FILE, ...
//   no VISUAL, gedit on the path              => /usr/bin/gedit FILE, ...
//   EDITOR="vim", xterm the only terminal     => /usr/bin/xterm -e vim FILE, ...
//   nothing set, found or associated          => none
QList<EditorCommand> EditorCandidates(const EditorSources& sources, const QString& file);

// The words of a desktop entry's Exec line with `file` in place of the field code that takes
// files or URLs; the other field codes are dropped, "%%" is a "%", and a line without a file
// code gets the file at its end.
//
//   "gedit %U"                  => gedit FILE
//   "kate -b %U"                => kate -b FILE
//   "\"/opt/my ed/ed\" %i %F"   => /opt/my ed/ed FILE
//   "leafpad"                   => leafpad FILE
QStringList DesktopExecWords(const QString& exec, const QString& file);

// The application a desktop entry's text describes, read from its "[Desktop Entry]" group.
DesktopApplication ReadDesktopEntry(const QString& text);

// The file URL of a local path. A relative path (the output folder of a selection may be one)
// is taken from the current folder: a browser or opener started for the URL would not know
// where "file:build/demo/index.html" is.
//
//   "build/demo/index.html", current folder /home/u  => file:///home/u/build/demo/index.html
QUrl LocalFileUrl(const QString& path);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_DESKTOP_H_
