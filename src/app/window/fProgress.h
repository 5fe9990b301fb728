#ifndef GLOSSATOR_APP_WINDOW_FPROGRESS_H_
#define GLOSSATOR_APP_WINDOW_FPROGRESS_H_

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

class QLabel;
class QProgressBar;
class QPushButton;

namespace glossator {

class TGlosParser;

// The modeless dialog that shows a run's progress: a header line, a detail line, a bar and a
// Cancel button. Created once, hidden, and shown by every run. While a run works, its
// UpdateProgress is the only place where the program handles window events.
class TfrmProgress : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmProgress(QWidget* parent = nullptr);

  // The controls, as the run drives them.
  QPushButton* Button1;  // "Cancel"
  QLabel* lblHeader;
  QLabel* lblDetail;
  QProgressBar* prg;

  // The running parser whose Cancelled flag Cancel sets; not owned. Set by the run before it
  // shows the dialog, and valid until it hides it.
  TGlosParser* Parser = nullptr;

  // Shows `header` unless it is empty, always shows `detail` (empty clears the line), raises the
  // bar by one when `step` is set, then handles the pending window events, a click on Cancel
  // among them. True means go on; false once the run's parser is cancelled (without a parser,
  // always true).
  bool UpdateProgress(const QString& header, const QString& detail, bool step);

  // Cancel: marks the run's parser cancelled and hides the dialog at once.
  void Button1Click();

 signals:
  // Sent by UpdateProgress once the texts and the bar show the new state, just before the
  // pending events are handled; lets observers follow a run call by call.
  void ProgressUpdated();

 protected:
  // The dialog has no close box, and neither Escape nor the window manager's close hides it
  // behind the run's back: only Cancel or the run itself does.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
};

// Where a dialog of frame size `dialog` goes to stand centred on a window whose frame is `main`,
// each halving truncated toward zero:
//
//   main (100, 50) 459 × 341, dialog 255 × 134  =>  (202, 153)
//   main (0, 0) 100 × 100, dialog 255 × 134     =>  (-77, -17)
QPoint CentredOn(const QRect& main, const QSize& dialog);

}  // namespace glossator

#endif  // GLOSSATOR_APP_WINDOW_FPROGRESS_H_
