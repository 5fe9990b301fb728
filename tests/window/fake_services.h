#ifndef GLOSSATOR_TESTS_WINDOW_FAKE_SERVICES_H_
#define GLOSSATOR_TESTS_WINDOW_FAKE_SERVICES_H_

#include <QFile>
#include <QList>
#include <QStringList>

#include "app/window/desktop.h"
#include "app/window/dialogs.h"
#include "app/window/fProgress.h"
#include "app/window/main.h"

namespace glossator {

// Dialogs that answer at once from prepared answers (none left: cancelled) and record what
// they were asked.
class FakeDialogs : public Dialogs {
 public:
  QList<QStringList> open_answers;
  QStringList save_answers;
  QStringList folder_answers;
  bool answer_yes = false;

  QList<FileDialogSettings> opened, saved;
  QStringList information, messages, questions, question_details, errors;

  QStringList OpenFiles(QWidget*, const FileDialogSettings& settings) override {
    opened << settings;
    return open_answers.isEmpty() ? QStringList() : open_answers.takeFirst();
  }
  QString SaveFile(QWidget*, const FileDialogSettings& settings) override {
    saved << settings;
    return save_answers.isEmpty() ? QString() : save_answers.takeFirst();
  }
  QString ChooseFolder(QWidget*, const QString&) override {
    return folder_answers.isEmpty() ? QString() : folder_answers.takeFirst();
  }
  void Information(QWidget*, const QString& text) override { information << text; }
  void Message(QWidget*, const QString& text) override { messages << text; }
  bool Question(QWidget*, const QString& text, const QString& details = {}) override {
    questions << text;
    question_details << details;
    return answer_yes;
  }
  void Error(QWidget*, const QString& text) override { errors << text; }
};

// A desktop with or without a tray and an editor that records the programs it was asked to
// start, and whether the file to edit existed then.
class FakeDesktop : public Desktop {
 public:
  bool tray = false;
  bool editor_starts = true;
  QStringList browsed, edited;
  QList<bool> edited_existed;

  bool TrayAvailable() override { return tray; }
  void OpenInBrowser(const QString& path) override { browsed << path; }
  bool StartEditor(const QString& path) override {
    edited << path;
    edited_existed << QFile::exists(path);
    return editor_starts;
  }
};

// The two windows as the program creates them, on fake dialogs and a fake desktop.
struct WindowUnderTest {
  FakeDialogs dialogs;
  FakeDesktop desktop;
  TfrmMain window{dialogs, desktop};
  TfrmProgress progress{&window};

  WindowUnderTest() { window.SetProgressDialog(&progress); }
};

}  // namespace glossator

#endif  // GLOSSATOR_TESTS_WINDOW_FAKE_SERVICES_H_
