#include "app/parameters_dialog.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QValidator>

#include "app/qt_text.h"
#include "core/number_text.h"

namespace tesvar {

namespace {

constexpr int kLabelLeft = 24;
constexpr int kLabelWidth = 137;
constexpr int kEditLeft = 184;
constexpr int kRowHeight = 17;

// Refuses, as it is typed or pasted, a character the record's 8-bit set
// cannot hold: saved, it would turn into "?" without a word.
class RecordTextValidator : public QValidator {
 public:
  RecordTextValidator(std::function<void(const QString&)> refused, QObject* parent)
      : QValidator(parent), refused_(std::move(refused)) {}

  State validate(QString& input, int&) const override {
    const QString character = FirstUnstorableCharacter(input);
    if (character.isEmpty()) return Acceptable;
    refused_(character);
    return Invalid;
  }

 private:
  std::function<void(const QString&)> refused_;
};

QString RefusalText(const QString& character) {
  return QString("The character \"%1\" cannot be stored in the file.").arg(character);
}

}  // namespace

TPE1Dlg::TPE1Dlg(Spectrum& spectrum, std::function<void()> redrawPlot, QWidget* parent)
    : QDialog(parent), spectrum_(spectrum), redrawPlot_(std::move(redrawPlot)) {
  setObjectName("PE1Dlg");
  setWindowTitle("Parameters");
  setFixedSize(452, 341);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  font.setBold(true);
  setFont(font);

  PEBevel1 = new QFrame(this);
  PEBevel1->setObjectName("PEBevel1");
  PEBevel1->setFrameShape(QFrame::Box);
  PEBevel1->setFrameShadow(QFrame::Sunken);
  PEBevel1->setGeometry(8, 8, 425, 281);

  AcqEdit = AddRow(24, "AcqLabel", "Date of acquisition:", AcqLabel, "AcqEdit", 233, false);
  ModEdit = AddRow(48, "ModLabel", "Last modification:", ModLabel, "ModEdit", 233, false);
  UserEdit = AddRow(72, "UserLabel", "Operator:", UserLabel, "UserEdit", 233, true);
  CommentEdit = AddRow(96, "CommentLabel", "Comment:", CommentLabel, "CommentEdit", 233, true);
  FirstXEdit = AddRow(120, "FirstXLabel", "First X (1/cm):", FirstXLabel, "FirstXEdit", 121, false);
  LastXEdit = AddRow(144, "LastXLabel", "Last X (1/cm):", LastXLabel, "LastXEdit", 121, false);
  DeltaXEdit = AddRow(168, "DeltaXLabel", "Delta X (1/cm):", DeltaXLabel, "DeltaXEdit", 121, false);
  nPointsEdit = AddRow(192, "nPointsLabel", "Number of data points:", nPointsLabel, "nPointsEdit",
                       121, false);
  nScansEdit =
      AddRow(216, "nScansLabel", "Number of scans:", nScansLabel, "nScansEdit", 121, false);

  RefusalLabel = new QLabel(this);
  RefusalLabel->setObjectName("RefusalLabel");
  RefusalLabel->setGeometry(8, 300, 252, 27);
  RefusalLabel->setWordWrap(true);
  for (QLineEdit* edit : {UserEdit, CommentEdit}) {
    // The validator also runs while the dialog is being destroyed (the edit
    // loses its focus as the window hides), when only the label is left to
    // write to: it holds the label, never the dialog.
    QPointer<QLabel> label = RefusalLabel;
    edit->setValidator(new RecordTextValidator(
        [label](const QString& c) {
          if (label) label->setText(RefusalText(c));
        },
        edit));
    connect(edit, &QLineEdit::textEdited, RefusalLabel, &QLabel::clear);
  }

  CancelBtn = new QPushButton("Cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setGeometry(268, 300, 77, 27);
  CancelBtn->setAutoDefault(false);
  OKBtn = new QPushButton("OK", this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setGeometry(360, 300, 77, 27);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

  QWidget* order[] = {OKBtn,     CancelBtn,  AcqEdit,    ModEdit,     UserEdit,  CommentEdit,
                      LastXEdit, FirstXEdit, DeltaXEdit, nPointsEdit, nScansEdit};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  FormCreate();
}

QLineEdit* TPE1Dlg::AddRow(int top, const char* labelName, const char* caption, QLabel*& label,
                           const char* editName, int editWidth, bool editable) {
  label = new QLabel(caption, this);
  label->setObjectName(labelName);
  label->setGeometry(kLabelLeft, top, kLabelWidth, kRowHeight);
  QLineEdit* edit = new QLineEdit(this);
  edit->setObjectName(editName);
  edit->setGeometry(kEditLeft, top, editWidth, kRowHeight);
  edit->setReadOnly(!editable);
  label->setBuddy(edit);
  return edit;
}

void TPE1Dlg::FormCreate() {
  const Spectrum& s = spectrum_;
  AcqEdit->setText(FromRecordText(s.AcqDate + ",  " + s.AcqTime));
  ModEdit->setText(FromRecordText(s.ModDate + ",  " + s.ModTime));
  UserEdit->setText(FromRecordText(s.OperatorName));
  CommentEdit->setText(FromRecordText(s.Comment));
  FirstXEdit->setText(QString::fromStdString(FormatFixed(s.FirstX, 1, 5)));
  LastXEdit->setText(QString::fromStdString(FormatFixed(s.LastX, 1, 5)));
  DeltaXEdit->setText(QString::fromStdString(FormatFixed(s.DeltaX, 2, 3)));
  nPointsEdit->setText(QString::fromStdString(FormatInt(s.NPoints)));
  nScansEdit->setText(QString::fromStdString(FormatInt(s.NScans)));
  // A QLineEdit would show the end of a long text; the start of a comment
  // or a date says more.
  for (QLineEdit* edit : {AcqEdit, ModEdit, UserEdit, CommentEdit}) edit->setCursorPosition(0);
}

void TPE1Dlg::RefuseCharacter(const QString& character) {
  RefusalLabel->setText(RefusalText(character));
}

void TPE1Dlg::ShowRange(double shownStart, double shownEnd) {
  FirstXLabel->setText("Shown from (1/cm):");
  LastXLabel->setText("Shown to (1/cm):");
  FirstXEdit->setText(QString::fromStdString(FormatFixed(shownStart, 1, 5)));
  LastXEdit->setText(QString::fromStdString(FormatFixed(shownEnd, 1, 5)));
}

void TPE1Dlg::OKBtnClick() {
  // Text set without typing passes no validator; it is refused here.
  for (QLineEdit* edit : {UserEdit, CommentEdit}) {
    const QString character = FirstUnstorableCharacter(edit->text());
    if (!character.isEmpty()) {
      RefuseCharacter(character);
      edit->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
  spectrum_.OperatorName = CutText(ToRecordText(UserEdit->text()));
  std::string comment = ToRecordText(CommentEdit->text());
  if (comment != spectrum_.Comment) {
    spectrum_.SetComment(comment);
    if (redrawPlot_) redrawPlot_();
  }
  accept();
}

void TPE1Dlg::CancelBtnClick() { reject(); }

void TPE1Dlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  OKBtn->setFocus(Qt::OtherFocusReason);
}

}  // namespace tesvar
