// The window layer's text rules: file filters, message texts, the editor, the dialog's place.
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

  void FindEditor_PrefersVisualThenPath_data() {
    QTest::addColumn<QString>("visual");
    QTest::addColumn<QStringList>("on_path");
    QTest::addColumn<QStringList>("command");  // program, then its arguments
    QTest::newRow("visual with arguments") << "\"/opt/my editor/ed\" -f" << QStringList{"gedit"}
                                           << QStringList{"/opt/my editor/ed", "-f"};
    QTest::newRow("graphical editor on the path")
        << "" << QStringList{"mousepad", "kate"} << QStringList{"/usr/bin/kate"};
    QTest::newRow("nothing found") << "" << QStringList{"vi"} << QStringList{""};
  }
  void FindEditor_PrefersVisualThenPath() {
    QFETCH(QString, visual);
    QFETCH(QStringList, on_path);
    QFETCH(QStringList, command);
    EditorCommand editor = FindEditor(visual, [&](const QString& name) {
      return on_path.contains(name) ? "/usr/bin/" + name : QString();
    });
    QCOMPARE(QStringList{editor.program} + editor.arguments, command);
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
