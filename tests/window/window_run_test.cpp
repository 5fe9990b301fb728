// Runs started from the window over a small project: the progress dialog call by call, Cancel,
// errors, and what the window lets the user do meanwhile.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "fake_services.h"

namespace glossator {

namespace {

const char kAlpha[] =
    "unit Alpha;\ninterface\ntype\n"
    "  TAlpha = class(TObject)\n  public\n    procedure Run;\n  end;\n"
    "function AddOne(N: Integer): Integer;\n"
    "implementation\nprocedure TAlpha.Run;\nbegin\nend;\n"
    "function AddOne(N: Integer): Integer;\nbegin\n  Result := N + 1;\nend;\nend.\n";
const char kBeta[] = "unit Beta;\ninterface\nconst\n  Two = 2;\nimplementation\nend.\n";

// What the dialog and the window showed at one progress call.
struct Seen {
  QString header, detail;
  int value, maximum;
  bool dialog_visible;
  QPoint dialog_place;
  bool controls_enabled;  // "Run!" or any control that changes the selection
  Qt::CursorShape cursor;
};

// Two units in a fresh folder, and a window set to document them into "out". Records what
// every progress call shows.
class Project {
 public:
  Project() {
    Write("alpha.pas", kAlpha);
    Write("beta.pas", kBeta);
    QDir(dir_.path()).mkdir("out");
    app.window.lstFileList->addItems({Path("alpha.pas"), Path("beta.pas")});
    app.window.txtOutDir->setText(Path("out"));
    QObject::connect(&app.progress, &TfrmProgress::ProgressUpdated, [this] { Record(); });
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  bool Written(const QString& name) const { return QFile::exists(Path("out/" + name)); }
  int IndexOf(const QString& detail) const {
    for (int i = 0; i < seen.size(); ++i) {
      if (seen[i].detail == detail) return i;
    }
    return -1;
  }

  // Runs `action` at the first progress call whose detail line shows `detail`.
  void At(const QString& detail, std::function<void()> action) {
    at_detail_ = detail;
    action_ = std::move(action);
  }

  // Presses Cancel as a user does: the click waits among the events the progress call
  // handles. Notes whether the dialog was gone right after the click.
  void PressCancel() {
    QMetaObject::invokeMethod(app.progress.Button1, &QPushButton::click, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &app.progress, [this] { hidden_after_click = !app.progress.isVisible(); },
        Qt::QueuedConnection);
  }

  // Writes one more unit and adds it to the list.
  void AddUnit(const QString& name, const char* text) {
    Write(name, text);
    app.window.lstFileList->addItem(Path(name));
  }

  WindowUnderTest app;
  QList<Seen> seen;
  bool hidden_after_click = false;

 private:
  void Write(const QString& name, const char* text) {
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  void Record() {
    TfrmProgress& p = app.progress;
    TfrmMain& w = app.window;
    bool enabled = false;
    for (QWidget* control : std::initializer_list<QWidget*>{
             w.cmdRun, w.cmdAdd, w.cmdRemoveSelected, w.cmdGetProject, w.txtOutDir, w.txtDescFile,
             w.txtMenubarFile, w.chkDoPrivate, w.cmdDescfileEdit}) {
      enabled = enabled || control->isEnabled();
    }
    seen << Seen{p.lblHeader->text(),
                 p.lblDetail->text(),
                 p.prg->value(),
                 p.prg->maximum(),
                 p.isVisible(),
                 p.pos(),
                 enabled,
                 w.cursor().shape()};
    if (action_ && p.lblDetail->text() == at_detail_) std::exchange(action_, nullptr)();
  }

  QTemporaryDir dir_;
  QString at_detail_;
  std::function<void()> action_;
};

}  // namespace

class WindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void Run_ShowsEveryStepAndOffersTheResult() {
    Project project;
    TfrmMain& w = project.app.window;
    project.app.dialogs.answer_yes = true;
    w.move(100, 50);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.cmdRun, Qt::LeftButton);
    const QList<Seen>& seen = project.seen;

    // Throughout: the dialog centred on the window, the selection locked, the cursor busy, and
    // the bar's maximum the 5 steps per file + 6 that the run takes.
    QRect main = w.frameGeometry();
    QSize dialog = project.app.progress.frameGeometry().size();
    QPoint centre(main.left() + (main.width() - dialog.width()) / 2,
                  main.top() + (main.height() - dialog.height()) / 2);
    QVERIFY(!seen.isEmpty());
    for (const Seen& s : seen) {
      QVERIFY(s.dialog_visible && !s.controls_enabled);
      QCOMPARE(s.dialog_place, centre);
      QCOMPARE(s.maximum, 16);
      QCOMPARE(s.cursor, Qt::WaitCursor);
    }

    // A class or routine name changes the detail only, keeping header and bar; a header with an
    // empty detail blanks the detail line.
    int alpha = project.IndexOf("TAlpha");
    QVERIFY(alpha > 0);
    QCOMPARE(seen[alpha].header, QString("Parsing classes in alpha.pas"));
    QCOMPARE(seen[alpha].value, seen[alpha - 1].value);
    int add_one = project.IndexOf("AddOne");
    QVERIFY(add_one > alpha);
    QCOMPARE(seen[add_one + 1].header, QString("Parsing constants in alpha.pas"));
    QCOMPARE(seen[add_one + 1].detail, QString());

    // The generation pass steps the bar once per call, and its last step fills the bar: the
    // run's own steps reach the maximum before the run sets it.
    int first = project.IndexOf("unit index");
    QCOMPARE(seen.size(), first + 6);
    QCOMPARE(seen.last().value, seen.last().maximum);
    const char* details[] = {"unit index",     "class index", "function index",
                             "constant index", "#1",          "#2"};
    for (int k = 0; k < 6; ++k) {
      QCOMPARE(seen[first + k].detail, QString(details[k]));
      QCOMPARE(seen[first + k].header,
               QString(k < 4 ? "Generating HTML" : "Generating class file"));
      QCOMPARE(seen[first + k].value, seen[first].value + k);
    }

    // Afterwards: the bar full, the dialog gone, the window unlocked, the folder field ending in
    // "/", and "Yes" opening the frameset.
    QCOMPARE(project.app.progress.prg->value(), 16);
    QVERIFY(!project.app.progress.isVisible());
    QVERIFY(w.cmdRun->isEnabled() && w.cmdAdd->isEnabled() && w.cmdDescfileEdit->isEnabled());
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(w.txtOutDir->text(), project.Path("out/"));
    QCOMPARE(project.app.dialogs.questions,
             QStringList{"Ready\nDo you want to view the documentation?"});
    QCOMPARE(project.app.desktop.browsed, QStringList{project.Path("out/index.html")});
  }

  void Run_CancelStopsAtThatCall_data() {
    QTest::addColumn<QString>("at");
    QTest::addColumn<int>("further_calls");  // after the one that handled the click
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("not_written");
    // A pass that sees the cancel returns, and the run stops at its own next call, before it
    // has written anything.
    QTest::newRow("while reading a class") << "TAlpha" << 1 << QStringList{} << "description.html";
    QTest::newRow("at the class index")
        << "class index" << 0 << QStringList{"index-unit.html"} << "index-class.html";
    QTest::newRow("at the second unit")
        << "#2" << 0 << QStringList{"index-constant.html", "Alpha.html", "TAlpha.html"}
        << "Beta.html";
  }
  void Run_CancelStopsAtThatCall() {
    QFETCH(QString, at);
    QFETCH(int, further_calls);
    QFETCH(QStringList, written);
    QFETCH(QString, not_written);
    Project project;
    project.At(at, [&] { project.PressCancel(); });
    project.app.window.cmdRunClick();

    QVERIFY(project.hidden_after_click);
    QCOMPARE(project.seen.size() - 1 - project.IndexOf(at), further_calls);
    QCOMPARE(project.app.dialogs.information, QStringList{"Operation cancled"});
    QVERIFY(project.app.dialogs.questions.isEmpty());
    QCOMPARE(project.app.window.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(project.app.window.cmdRun->isEnabled());
    for (const QString& page : written) QVERIFY2(project.Written(page), qPrintable(page));
    for (const QString& page : {not_written, QString("index.html"), QString("legend.html")}) {
      QVERIFY2(!project.Written(page), qPrintable(page));
    }
  }

  // The warnings of a run: those with a box of their own show it at once, and all of them are
  // the details of the "Ready" question, whose text stays as it is.
  void Run_WarningsBecomeTheDetailsOfReady() {
    Project project;
    project.AddUnit(
        "gamma.pas",
        "unit Gamma;\ninterface\ntype\n  TG = class\n  public\n    Property Tag;\n  end;\n"
        "implementation\nend.\n");
    QVERIFY(QDir(project.Path("out")).mkdir("TAlpha.html"));  // in the way of a class page
    project.app.window.cmdRunClick();

    const QString reason =
        "Cannot create file " + project.Path("out/TAlpha.html") + ": Is a directory";
    QCOMPARE(project.app.dialogs.messages,
             (QStringList{"TG", "Error while generating html-files\n\nTAlpha: " + reason}));
    QCOMPARE(project.app.dialogs.questions,
             QStringList{"Ready\nDo you want to view the documentation?"});
    QCOMPARE(project.app.dialogs.question_details,
             QStringList{project.Path("gamma.pas") +
                         ":6: warning: field without a type in class TG: Property Tag;\n" +
                         project.Path("alpha.pas") +
                         ": warning: page of class TAlpha not written: " + reason + "\n"});
  }

  void Run_ErrorNamesTheFileAndWindowStaysUsable() {
    Project project;
    TfrmMain& w = project.app.window;
    QString missing = project.Path("gone.pas");
    w.lstFileList->insertItem(1, missing);
    w.cmdRunClick();
    QCOMPARE(project.app.dialogs.errors.size(), 1);
    QVERIFY2(project.app.dialogs.errors[0].contains(missing),
             qPrintable(project.app.dialogs.errors[0]));
    QVERIFY(!project.app.progress.isVisible());
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);

    delete w.lstFileList->takeItem(1);
    w.cmdRunClick();
    QCOMPARE(project.app.dialogs.errors.size(), 1);
    QVERIFY(project.Written("index.html"));
  }

  void Run_WindowMinimisesIntoTrayMeanwhile() {
    Project project;
    project.app.desktop.tray = true;
    TfrmMain& w = project.app.window;
    w.show();
    project.At("TAlpha", [&] { w.setWindowState(Qt::WindowMinimized); });
    bool in_tray_at_next_call = false;
    QObject::connect(&project.app.progress, &TfrmProgress::ProgressUpdated, [&] {
      if (project.seen.size() == project.IndexOf("TAlpha") + 2) {
        in_tray_at_next_call = !w.isVisible() && w.RxTrayIcon->isVisible();
      }
    });
    w.cmdRunClick();
    QVERIFY(in_tray_at_next_call);
    QVERIFY(project.Written("index.html"));
  }

  void Run_ClosingTheWindowCancelsThenCloses() {
    Project project;
    TfrmMain& w = project.app.window;
    w.show();
    bool open_during_run = false;
    project.At("#1", [&] {
      w.close();
      open_during_run = w.isVisible();
    });
    w.cmdRunClick();
    QVERIFY(open_during_run);
    QCOMPARE(project.seen.last().detail, QString("#1"));
    QCOMPARE(project.app.dialogs.information, QStringList{"Operation cancled"});
    QVERIFY(!w.isVisible());
  }
};

}  // namespace glossator

QTEST_MAIN(glossator::WindowRunTest)
#include "window_run_test.moc"
