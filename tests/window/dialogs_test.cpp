// The output folder chooser, on Qt's own dialog: a typed name of a folder that does not exist.
#include "app/window/dialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace glossator {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // The "Ready" question offers the run's warnings behind "Show Details...", and only when
  // there are any.
  void Question_ShowsDetailsOnlyWhenThereAreAny() {
    for (const QString& details : {QString(), QString("a.pas:3: warning: odd\n")}) {
      QMessageBox box(QMessageBox::Question, "Glossator", "Ready", QMessageBox::NoButton);
      SetUpQuestion(box, details);
      QCOMPARE(box.detailedText(), details);
      QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
      QCOMPARE(static_cast<QAbstractButton*>(box.defaultButton()), box.button(QMessageBox::Yes));
      QCOMPARE(box.textFormat(), Qt::PlainText);
      // Qt adds its details button only for a text to show.
      bool has_details_button = false;
      for (QAbstractButton* button : box.buttons()) {
        has_details_button =
            has_details_button || box.buttonRole(button) == QMessageBox::ActionRole;
      }
      QCOMPARE(has_details_button, !details.isEmpty());
    }
  }

  void FolderDialog_OffersToCreateATypedNewFolder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answer_yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("existing folder") << "old" << false << false << true;
    QTest::newRow("new folder, yes") << "new" << true << true << true;
    QTest::newRow("new folder with a new parent, yes") << "new/deeper" << true << true << true;
    QTest::newRow("new folder, no") << "new" << false << true << false;
  }
  void FolderDialog_OffersToCreateATypedNewFolder() {
    QFETCH(QString, typed);
    QFETCH(bool, answer_yes);
    QFETCH(bool, asked);
    QFETCH(bool, accepted);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir("old"));
    const QString folder = root.filePath(typed);

    QStringList questions;
    FolderDialog dialog(nullptr, root.path(), [&](QWidget* over, const QString& text) {
      questions << text;
      return over == &dialog && answer_yes;
    });
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name != nullptr);
    name->setText(typed);

    // Qt's refusal is a modal box of its own; note its text and close it.
    QString refusal;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        refusal = box->text();
        box->close();
      }
    });
    closer.start(10);
    static_cast<QDialog&>(dialog).accept();  // as the dialog's Choose button does
    closer.stop();

    QCOMPARE(questions, asked ? QStringList{"The folder " + folder + " does not exist.\nCreate it?"}
                              : QStringList());
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(QFileInfo(folder).isDir(), accepted);
    if (accepted) {
      QCOMPARE(dialog.selectedFiles(), QStringList{folder});
      QVERIFY(refusal.isEmpty());
    } else {
      QVERIFY(dialog.isVisible());
      QVERIFY2(refusal.contains("Directory not found"), qPrintable(refusal));
    }
  }
};

}  // namespace glossator

QTEST_MAIN(glossator::DialogsTest)
#include "dialogs_test.moc"
