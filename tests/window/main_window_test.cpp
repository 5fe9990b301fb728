// The main window driven through its handlers, on fake dialogs and a fake desktop.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include "app/command_line.h"
#include "fake_services.h"
#include "html/selection.h"

namespace glossator {

namespace {

QStringList Entries(const QListWidget* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
  return entries;
}

bool ShowWithFocusOn(WindowUnderTest& app, QWidget* first) {
  app.window.show();
  QApplication::setActiveWindow(&app.window);
  if (!QTest::qWaitForWindowActive(&app.window)) return false;
  first->setFocus();
  return QApplication::focusWidget() == first;
}

void Minimise(TfrmMain& window) {
  window.show();
  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void StartUp_EmptySelection() {
    WindowUnderTest app;
    app.window.ApplyCommandLine(ParseCommandLine({}));
    TfrmMain& w = app.window;
    QCOMPARE(w.lstFileList->count(), 0);
    QVERIFY(w.txtOutDir->text().isEmpty() && w.txtDescFile->text().isEmpty() &&
            w.txtMenubarFile->text().isEmpty());
    QVERIFY(!w.chkDoPrivate->isChecked());
    QVERIFY(!w.cmdDescfileEdit->isEnabled());
    QVERIFY(!w.DebugMode);
    QVERIFY(!w.RxTrayIcon->isVisible());
    QVERIFY(!app.progress.isVisible());
  }

  void AccessKeys_MoveFocusToTheirField_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("control");
    QTest::newRow("Alt+O") << int(Qt::Key_O) << "lstFileList";
    QTest::newRow("Alt+D") << int(Qt::Key_D) << "txtOutDir";
    QTest::newRow("Alt+E") << int(Qt::Key_E) << "txtDescFile";
    QTest::newRow("Alt+H") << int(Qt::Key_H) << "txtMenubarFile";
  }
  void AccessKeys_MoveFocusToTheirField() {
    QFETCH(int, key);
    QFETCH(QString, control);
    WindowUnderTest app;
    QVERIFY(ShowWithFocusOn(app, app.window.cmdRun));
    QTest::keyClick(&app.window, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), control);
  }

  void Tab_PassesTheSideButtonsBy() {
    WindowUnderTest app;
    app.window.txtOutDir->setText("/tmp");  // enables "Create/Edit"
    QVERIFY(ShowWithFocusOn(app, app.window.lstFileList));
    QStringList order;
    for (int i = 0; i < 7; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"txtOutDir", "txtDescFile", "txtMenubarFile", "cmdRun",
                                 "chkDoPrivate", "cmdDescfileEdit", "lstFileList"}));
    // Its access key still presses "&Add..." (after the button's short press animation).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(app.dialogs.opened.size(), 1);
  }

  void CommandLine_LoadsSelectionAndKeepsDebugSwitch_data() {
    QTest::addColumn<QByteArray>("file_debug");
    QTest::addColumn<bool>("switch_d");
    QTest::newRow("-d over DebugMode=0") << QByteArray("0") << true;
    QTest::newRow("no -d over DebugMode=1") << QByteArray("1") << false;
  }
  void CommandLine_LoadsSelectionAndKeepsDebugSwitch() {
    QFETCH(QByteArray, file_debug);
    QFETCH(bool, switch_d);
    QTemporaryDir dir;
    QFile file(dir.filePath("sel.gls"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "[FILES]\nFile0=/src/a.pas\nFile1=/src/b.pas\n[SETUP]\nOutputDir=/docs\n"
        "DescriptFile=/docs/intro.html\nMenubarFile=/docs/menu.html\nParsePrivate=1\n"
        "DebugMode=" +
        file_debug + "\n");
    file.close();
    std::vector<std::string> args = {"-p", file.fileName().toStdString(), "-i", "/start"};
    if (switch_d) args.push_back("-d");

    WindowUnderTest app;
    TfrmMain& w = app.window;
    w.ApplyCommandLine(ParseCommandLine(args));
    QCOMPARE(w.DebugMode, switch_d);
    QCOMPARE(Entries(w.lstFileList), QStringList({"/src/a.pas", "/src/b.pas"}));
    QCOMPARE(w.txtOutDir->text() + w.txtDescFile->text() + w.txtMenubarFile->text(),
             QString("/docs/docs/intro.html/docs/menu.html"));
    QVERIFY(w.chkDoPrivate->isChecked());
    QVERIFY(w.cmdDescfileEdit->isEnabled());  // the loaded folder went through txtOutDirChange

    // "-i" starts the open and save dialogs, but not the field choosers.
    w.cmdAddClick();
    w.cmdSaveProjectClick();
    w.findChild<QAction*>("txtDescFileBrowse")->trigger();
    QCOMPARE(app.dialogs.opened[0].initial_dir, QString("/start"));
    QCOMPARE(app.dialogs.saved[0].initial_dir, QString("/start"));
    QCOMPARE(app.dialogs.opened[1].initial_dir, QString("/docs"));
  }

  void AddThenRemoveSelected_KeepsTheOthersInOrder() {
    WindowUnderTest app;
    app.dialogs.open_answers = {{"a", "b", "c"}, {}, {"d", "e"}};
    for (int i = 0; i < 3; ++i) app.window.cmdAddClick();  // the second one cancelled
    QCOMPARE(app.dialogs.opened[0].filter_index, 1);
    QVERIFY(app.dialogs.opened[0].multi_select);
    for (int row : {0, 1, 3}) app.window.lstFileList->item(row)->setSelected(true);
    app.window.cmdRemoveSelectedClick();
    QCOMPARE(Entries(app.window.lstFileList), QStringList({"c", "e"}));
  }

  void FileList_ElidesLongPathsAndShowsThemWhole() {
    WindowUnderTest app;
    TfrmMain& w = app.window;
    const QString long_path =
        "/home/someone/projects/with/a/path/far/longer/than/the/list/is/wide/units/"
        "the_unit_to_find.pas";
    app.dialogs.open_answers = {{long_path, "/src/short.pas"}};
    w.cmdAddClick();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Enough entries for the vertical scroll bar, which narrows the visible width.
    Selection loaded;
    for (int i = 0; i < 12; ++i) loaded.files.push_back(long_path.toStdString() + char('a' + i));
    w.ShowSelection(loaded);
    w.lstFileList->addItem(long_path);  // an entry added directly
    QTRY_VERIFY(w.lstFileList->verticalScrollBar()->isVisible());

    QCOMPARE(w.lstFileList->textElideMode(), Qt::ElideMiddle);
    QCOMPARE(w.lstFileList->horizontalScrollBar()->maximum(), 0);
    const int visible = w.lstFileList->viewport()->width();
    QTRY_COMPARE(w.lstFileList->visualItemRect(w.lstFileList->item(0)).width(), visible);
    for (int i = 0; i < w.lstFileList->count(); ++i) {
      QListWidgetItem* entry = w.lstFileList->item(i);
      QVERIFY2(w.lstFileList->visualItemRect(entry).width() <= visible, qPrintable(entry->text()));
      QCOMPARE(entry->toolTip(), entry->text());
    }
    QCOMPARE(w.lstFileList->item(12)->toolTip(), long_path);
  }

  void CreateEdit_CreatesTheFileAndStartsEditor_data() {
    QTest::addColumn<QString>("out_dir");    // under the test's folder
    QTest::addColumn<QString>("desc_file");  // under the test's folder; empty: none
    QTest::addColumn<bool>("editor_starts");
    QTest::addColumn<QString>("expected");  // the file edited, under the test's folder
    QTest::addColumn<QString>("field");     // the field afterwards; "-" for the edited file
    QTest::newRow("empty field") << "docs"
                                 << "" << true << "docs/description.html"
                                 << "-";
    QTest::newRow("folder with slash") << "docs/"
                                       << "" << true << "docs//description.html"
                                       << "-";
    QTest::newRow("field kept, file kept") << "docs"
                                           << "web/intro.html" << true << "web/intro.html"
                                           << "-";
    QTest::newRow("no editor: field stays empty") << "docs"
                                                  << "" << false << "docs/description.html"
                                                  << "";
    QTest::newRow("no editor: named file kept") << "docs"
                                                << "web/intro.html" << false << "web/intro.html"
                                                << "web/intro.html";
  }
  void CreateEdit_CreatesTheFileAndStartsEditor() {
    QFETCH(QString, out_dir);
    QFETCH(QString, desc_file);
    QFETCH(bool, editor_starts);
    QFETCH(QString, expected);
    QFETCH(QString, field);
    QTemporaryDir root;
    QDir(root.path()).mkpath("docs");
    QDir(root.path()).mkpath("web");
    QFile intro(root.filePath("web/intro.html"));
    QVERIFY(intro.open(QIODevice::WriteOnly));
    intro.write("<p>intro</p>");
    intro.close();
    auto under = [&](const QString& name) {
      return name.isEmpty() ? name : root.path() + "/" + name;
    };
    const QString edited = under(expected);

    WindowUnderTest app;
    app.desktop.editor_starts = editor_starts;
    app.window.txtOutDir->setText(under(out_dir));
    app.window.txtDescFile->setText(under(desc_file));
    QTest::mouseClick(app.window.cmdDescfileEdit, Qt::LeftButton);

    QCOMPARE(app.desktop.edited, QStringList{edited});
    QCOMPARE(app.desktop.edited_existed, QList<bool>{true});  // created before the editor starts
    QCOMPARE(app.window.txtDescFile->text(), field == "-" ? edited : under(field));
    QFile result(edited);
    if (desc_file.isEmpty()) {
      QCOMPARE(result.exists(), editor_starts);  // a file made for no editor goes again
      if (editor_starts) QCOMPARE(result.size(), 0);
    } else {
      QVERIFY(result.open(QIODevice::ReadOnly));
      QCOMPARE(result.readAll(), QByteArray("<p>intro</p>"));
    }
    if (editor_starts) {
      QVERIFY(app.dialogs.errors.isEmpty());
    } else {
      QCOMPARE(app.dialogs.errors, QStringList{"No text editor could be started for " + edited +
                                               ".\nSet VISUAL or EDITOR to the editor you use."});
    }
  }

  void FolderChooser_FillsFieldUnlessCancelled() {
    WindowUnderTest app;
    app.dialogs.folder_answers = {"/new/folder"};
    QAction* chooser = app.window.findChild<QAction*>("txtOutDirBrowse");
    chooser->trigger();
    chooser->trigger();  // cancelled
    QCOMPARE(app.window.txtOutDir->text(), QString("/new/folder"));
    QVERIFY(app.window.cmdDescfileEdit->isEnabled());
  }

  void SaveThenLoad_RestoresSelection() {
    QTemporaryDir dir;
    WindowUnderTest saver;
    saver.window.lstFileList->addItems({"/src/one.pas", "/src/two words.pas"});
    saver.window.txtOutDir->setText("/docs");
    saver.window.chkDoPrivate->setChecked(true);
    saver.window.DebugMode = true;
    saver.dialogs.save_answers = {dir.filePath("project.gls"), dir.filePath("no/such.gls")};
    saver.window.cmdSaveProjectClick();
    QVERIFY(saver.dialogs.saved[0].confirm_overwrite);
    QVERIFY(saver.dialogs.errors.isEmpty());
    saver.window.cmdSaveProjectClick();  // a folder that does not exist
    QCOMPARE(saver.dialogs.errors.size(), 1);
    QVERIFY(saver.dialogs.errors[0].startsWith("Unable to write to"));

    WindowUnderTest loader;
    TfrmMain& w = loader.window;
    w.lstFileList->addItem("/src/stale.pas");
    w.txtDescFile->setText("/stale/intro.html");
    w.cmdGetProjectClick();  // cancelled: nothing changes
    QCOMPARE(Entries(w.lstFileList), QStringList{"/src/stale.pas"});
    loader.dialogs.open_answers = {{dir.filePath("project.gls")}};
    w.cmdGetProjectClick();
    QCOMPARE(loader.dialogs.opened[1].filter_index, 2);
    QCOMPARE(loader.dialogs.opened[1].default_ext, QString("*.gls"));
    QCOMPARE(Entries(w.lstFileList), QStringList({"/src/one.pas", "/src/two words.pas"}));
    QCOMPARE(w.txtOutDir->text(), QString("/docs"));
    QVERIFY(w.txtDescFile->text().isEmpty());
    QVERIFY(w.chkDoPrivate->isChecked());
    QVERIFY(w.DebugMode);

    w.cmdAddClick();  // back to the source filter
    QCOMPARE(loader.dialogs.opened[2].filter_index, 1);
    QCOMPARE(loader.dialogs.opened[2].default_ext, QString("*.pas"));
  }

  void Tray_MinimiseAndComeBack_data() {
    QTest::addColumn<int>("click");  // QSystemTrayIcon::ActivationReason; -1: menu "Activate"
    QTest::addColumn<bool>("restored");
    QTest::newRow("click") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("Activate") << -1 << true;
    QTest::newRow("menu button") << int(QSystemTrayIcon::Context) << false;
  }
  void Tray_MinimiseAndComeBack() {
    QFETCH(int, click);
    QFETCH(bool, restored);
    WindowUnderTest app;
    app.desktop.tray = true;
    TfrmMain& w = app.window;
    Minimise(w);
    QVERIFY(!w.isVisible());
    QVERIFY(w.RxTrayIcon->isVisible());
    if (click < 0) {
      w.mnuTrayActivate->trigger();
    } else {
      emit w.RxTrayIcon->activated(QSystemTrayIcon::ActivationReason(click));
    }
    QCOMPARE(w.isVisible(), restored);
    QCOMPARE(w.RxTrayIcon->isVisible(), !restored);
    if (restored) QVERIFY(!w.isMinimized());
  }

  void Tray_WithoutTrayMinimiseOnlyMinimises() {
    WindowUnderTest app;
    Minimise(app.window);
    QVERIFY(app.window.isVisible() && app.window.isMinimized());
    QVERIFY(!app.window.RxTrayIcon->isVisible());
  }

  void Tray_CloseEndsTheProgram() {
    WindowUnderTest app;
    app.desktop.tray = true;
    Minimise(app.window);
    // "Close" must end the event loop although the window it closes is hidden in the tray.
    QTimer::singleShot(0, app.window.mnyTrayClose, &QAction::trigger);
    QTimer deadline;
    connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!app.window.RxTrayIcon->isVisible());
  }
};

}  // namespace glossator

QTEST_MAIN(glossator::MainWindowTest)
#include "main_window_test.moc"
