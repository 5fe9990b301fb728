// The window layer's text rules: file filters, message texts, the editor, the dialog's place.
#include <QTemporaryDir>
#include <QtTest>

#include "app/window/desktop.h"
#include "app/window/dialogs.h"
#include "app/window/fProgress.h"

namespace glossator {

class WindowHelpersTest : public QObject {
  Q_OBJECT

 private slots:
  void QtNameFilters_PutPatternsInClosingParentheses_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("html") << "HTML files (*.html)|*.html;*.htm|All files (*.*)|*.*"
                          << QStringList{"HTML files (*.html *.htm)", "All files (*)"};
    QTest::newRow("source") << "Delphi source file|*.pas|Glossator Project (*.gls)|*.gls|Dangling"
                            << QStringList{"Delphi source file (*.pas)",
                                           "Glossator Project (*.gls)"};
  }
  void QtNameFilters_PutPatternsInClosingParentheses() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtNameFilters(filter), expected);
  }

  void MessageText_MakesEveryBreakALineFeed_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lone CR") << QByteArray("Ready\rDo you want to view the documentation?")
                             << "Ready\nDo you want to view the documentation?";
    QTest::newRow("CR LF") << QByteArray("a\r\nb") << "a\nb";
    QTest::newRow("UTF-8") << QByteArray("/src/\xc3\xa9t\xc3\xa9.pas")
                           << QString::fromUtf8("/src/\xc3\xa9t\xc3\xa9.pas");
    QTest::newRow("8-bit") << QByteArray("/src/\xe9t\xe9.pas")
                           << QString::fromUtf8("/src/\xc3\xa9t\xc3\xa9.pas");
  }
  void MessageText_MakesEveryBreakALineFeed() {
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QCOMPARE(MessageText(std::string_view(text.constData(), text.size())), expected);
  }

  void EditorCandidates_VisualThenGraphicalThenEditorInTerminalThenTextApplication_data() {
    QTest::addColumn<QString>("visual");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QStringList>("on_path");
    QTest::addColumn<QString>("text_exec");
    QTest::addColumn<bool>("text_terminal");
    QTest::addColumn<QStringList>("expected");  // each command's words joined by "|"
    QTest::newRow("all four, best first")
        << "\"/opt/my editor/ed\" -f"
        << "vim" << QStringList{"gedit", "xterm"} << "mousepad %U" << false
        << QStringList{"/opt/my editor/ed|-f|F", "/usr/bin/gedit|F", "/usr/bin/xterm|-e|vim|F",
                       "mousepad|F"};
    QTest::newRow("graphical editors in list order")
        << ""
        << "" << QStringList{"mousepad", "kate"} << "" << false << QStringList{"/usr/bin/kate|F"};
    QTest::newRow("x-terminal-emulator before the others")
        << ""
        << "nano -w" << QStringList{"xterm", "x-terminal-emulator"} << "" << false
        << QStringList{"/usr/bin/x-terminal-emulator|-e|nano|-w|F"};
    QTest::newRow("gnome-terminal runs what follows --")
        << ""
        << "vi" << QStringList{"gnome-terminal"} << "" << false
        << QStringList{"/usr/bin/gnome-terminal|--|vi|F"};
    QTest::newRow("no terminal: EDITOR passed by")
        << ""
        << "vim" << QStringList{"vi"} << "gnome-text-editor --new-window %U" << false
        << QStringList{"gnome-text-editor|--new-window|F"};
    QTest::newRow("text application in a terminal")
        << ""
        << "" << QStringList{"konsole"} << "vim %F" << true
        << QStringList{"/usr/bin/konsole|-e|vim|F"};
    QTest::newRow("terminal application, no terminal")
        << ""
        << "" << QStringList{} << "vim %F" << true << QStringList{};
    QTest::newRow("nothing") << ""
                             << "" << QStringList{"vi"} << "" << false << QStringList{};
  }
  void EditorCandidates_VisualThenGraphicalThenEditorInTerminalThenTextApplication() {
    QFETCH(QString, visual);
    QFETCH(QString, editor);
    QFETCH(QStringList, on_path);
    QFETCH(QString, text_exec);
    QFETCH(bool, text_terminal);
    QFETCH(QStringList, expected);
    EditorSources sources{visual, editor,
                          [&](const QString& name) {
                            return on_path.contains(name) ? "/usr/bin/" + name : QString();
                          },
                          [&] {
                            return DesktopApplication{text_exec, text_terminal};
                          }};
    QStringList commands;
    for (const EditorCommand& command : EditorCandidates(sources, "F")) {
      commands << (QStringList{command.program} + command.arguments).join('|');
    }
    QCOMPARE(commands, expected);
  }

  void DesktopExecWords_PutTheFileForItsFieldCode_data() {
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("%U") << "gedit %U" << QStringList{"gedit", "/d/x.html"};
    QTest::newRow("option before %f") << "kate -b %f" << QStringList{"kate", "-b", "/d/x.html"};
    QTest::newRow("quoted program, %i dropped")
        << "\"/opt/my ed/ed\" %i %F" << QStringList{"/opt/my ed/ed", "/d/x.html"};
    QTest::newRow("no field code") << "leafpad" << QStringList{"leafpad", "/d/x.html"};
    QTest::newRow("%% is a percent sign")
        << "ed --title=100%% %u" << QStringList{"ed", "--title=100%", "/d/x.html"};
  }
  void DesktopExecWords_PutTheFileForItsFieldCode() {
    QFETCH(QString, exec);
    QFETCH(QStringList, expected);
    QCOMPARE(DesktopExecWords(exec, "/d/x.html"), expected);
  }

  void ReadDesktopEntry_TakesExecAndTerminalOfTheMainGroup() {
    DesktopApplication vim = ReadDesktopEntry(
        "[Desktop Entry]\nName=Vim\nExec=vim %F\nTerminal=true\n"
        "[Desktop Action new]\nExec=gvim --new\nTerminal=false\n");
    QCOMPARE(vim.exec, QString("vim %F"));
    QVERIFY(vim.terminal);
    DesktopApplication none = ReadDesktopEntry("[Other]\nExec=x\n");
    QVERIFY(none.exec.isEmpty() && !none.terminal);
  }

  // The real desktop on a path that holds only a recording terminal emulator: a $VISUAL that
  // does not start gives way to $EDITOR in the terminal; with neither, nothing starts.
  void SystemDesktop_StartsEditorInTerminalAfterAFailingVisual() {
    QTemporaryDir bin;
    const QString record = bin.filePath("record");
    QFile terminal(bin.filePath("x-terminal-emulator"));
    QVERIFY(terminal.open(QIODevice::WriteOnly));
    terminal.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " + record.toUtf8() +
                   ".part\n/bin/mv " + record.toUtf8() + ".part " + record.toUtf8() + "\n");
    terminal.close();
    terminal.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray saved_path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    qputenv("VISUAL", "/no/such/editor -f");
    qputenv("EDITOR", "nano -w");

    SystemDesktop desktop;
    bool started = desktop.StartEditor("docs/description.html");
    qunsetenv("EDITOR");
    bool nothing_started = !desktop.StartEditor("docs/description.html");
    qputenv("PATH", saved_path);
    qunsetenv("VISUAL");

    QVERIFY(started);
    QVERIFY(nothing_started);
    QFile recorded(record);
    QTRY_VERIFY(recorded.exists());
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(recorded.readAll()).split('\n', Qt::SkipEmptyParts),
             QStringList({"-e", "nano", "-w", QDir::current().filePath("docs/description.html")}));
  }

  void LocalFileUrl_ResolvesRelativePathsFromCurrentFolder() {
    QString here = QDir::currentPath();
    QCOMPARE(LocalFileUrl("build/demo/index.html").toString(),
             QUrl::fromLocalFile(here + "/build/demo/index.html").toString());
    QCOMPARE(LocalFileUrl("/srv/docs/index.html").toString(),
             QString("file:///srv/docs/index.html"));
  }

  void CentredOn_HalvesTowardZero_data() {
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("odd differences")
        << QRect(100, 50, 459, 341) << QSize(255, 134) << QPoint(202, 153);
    QTest::newRow("dialog larger") << QRect(0, 0, 100, 100) << QSize(255, 135) << QPoint(-77, -17);
  }
  void CentredOn_HalvesTowardZero() {
    QFETCH(QRect, main);
    QFETCH(QSize, dialog);
    QFETCH(QPoint, expected);
    QCOMPARE(CentredOn(main, dialog), expected);
  }
};

}  // namespace glossator

QTEST_APPLESS_MAIN(glossator::WindowHelpersTest)
#include "window_helpers_test.moc"
