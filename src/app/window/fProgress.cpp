#include "app/window/fProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/window/form_font.h"
#include "parser/cGlossator.h"

namespace glossator {

namespace {

// The dialog's layout, in pixels at 96 dots per inch; Qt scales it on denser screens.
constexpr QSize kClientSize(255, 134);
constexpr QRect kButtonRect(88, 96, 75, 25);
constexpr QRect kHeaderRect(8, 8, 241, 13);
constexpr QRect kDetailRect(8, 32, 241, 13);
constexpr QRect kBarRect(8, 64, 241, 16);

QLabel* CentredLabel(QWidget* parent, const char* name, const QRect& rect) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(rect);
  return label;
}

}  // namespace

TfrmProgress::TfrmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("frmProgress");
  setWindowTitle("Glossator Progress");
  setModal(false);
  setFixedSize(kClientSize);
  setFont(LayoutFont(font()));
  CreateControls();
}

void TfrmProgress::CreateControls() {
  Button1 = new QPushButton("Cancel", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(kButtonRect);
  connect(Button1, &QPushButton::clicked, this, &TfrmProgress::Button1Click);

  lblHeader = CentredLabel(this, "lblHeader", kHeaderRect);
  lblDetail = CentredLabel(this, "lblDetail", kDetailRect);

  prg = new QProgressBar(this);
  prg->setObjectName("prg");
  prg->setGeometry(kBarRect);
  prg->setRange(0, 100);
  prg->setValue(0);
  prg->setTextVisible(false);
}

bool TfrmProgress::UpdateProgress(const QString& header, const QString& detail, bool step) {
  if (!header.isEmpty()) lblHeader->setText(header);
  lblDetail->setText(detail);
  if (step) prg->setValue(prg->value() + 1);
  emit ProgressUpdated();
  QCoreApplication::processEvents();
  return Parser == nullptr || !Parser->Cancelled;
}

void TfrmProgress::Button1Click() {
  if (Parser != nullptr) Parser->Cancelled = true;
  hide();
}

void TfrmProgress::reject() {}

void TfrmProgress::closeEvent(QCloseEvent* event) { event->ignore(); }

QPoint CentredOn(const QRect& main, const QSize& dialog) {
  return {main.left() + (main.width() - dialog.width()) / 2,
          main.top() + (main.height() - dialog.height()) / 2};
}

}  // namespace glossator
