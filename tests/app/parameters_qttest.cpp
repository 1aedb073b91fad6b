// The parameters dialog: what it shows, how its numbers look, OK and Cancel,
// and when the plot is redrawn.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/parameters_dialog.h"
#include "app/qt_text.h"
#include "scripted_ui.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

Spectrum HeaderOnly(double firstX, double lastX, double deltaX) {
  Spectrum s;
  s.AcqDate = "26/12/01";
  s.AcqTime = "10:00:00.00";
  s.ModDate = "26/12/02";
  s.ModTime = "11:00:00.00";
  s.OperatorName = "op";
  s.SetComment("title");
  s.FirstX = firstX;
  s.LastX = lastX;
  s.DeltaX = deltaX;
  s.NPoints = 3551;
  s.NScans = 16;
  return s;
}

// Types `text` into the widget one key at a time, as a keyboard does.
// QTest::keyClicks knows keys for ASCII only; a key beyond it arrives as
// the keyboard layout sends it, an unnamed key carrying its character.
void TypeText(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClicks(widget, QString(c));
    } else {
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}

}  // namespace

class ParametersTest : public QObject {
  Q_OBJECT

 private slots:
  // Fixed notation, halves away from zero, blanks on the left up to the
  // minimum width: 1 decimal in 5 places for the abscissae, 2 decimals in 3
  // places for the step.
  void numberForms_data() {
    QTest::addColumn<double>("firstX");
    QTest::addColumn<double>("lastX");
    QTest::addColumn<double>("deltaX");
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<QString>("deltaText");
    QTest::newRow("instrument") << 4000.0 << 450.0 << -0.964 << "4000.0"
                                << "450.0"
                                << "-0.96";
    QTest::newRow("step one") << 4000.0 << 400.0 << 1.0 << "4000.0"
                              << "400.0"
                              << "1.00";
    QTest::newRow("padded") << 7.0 << -3.25 << 0.005 << "  7.0"
                            << " -3.3"
                            << "0.01";
    QTest::newRow("rounding carries") << 3999.96 << 0.04 << -0.004 << "4000.0"
                                      << "  0.0"
                                      << "-0.00";
  }
  void numberForms() {
    QFETCH(double, firstX);
    QFETCH(double, lastX);
    QFETCH(double, deltaX);
    QFETCH(QString, firstText);
    QFETCH(QString, lastText);
    QFETCH(QString, deltaText);
    Spectrum s = HeaderOnly(firstX, lastX, deltaX);
    TPE1Dlg dlg(s, {});
    QCOMPARE(dlg.FirstXEdit->text(), firstText);
    QCOMPARE(dlg.LastXEdit->text(), lastText);
    QCOMPARE(dlg.DeltaXEdit->text(), deltaText);
  }

  void fieldsAndOrder() {
    Spectrum s = HeaderOnly(4000, 450, -1);
    s.OperatorName = "J\xE9r\xF4me";  // single-byte text survives unchanged
    TPE1Dlg dlg(s, {});
    QCOMPARE(dlg.windowTitle(), QString("Parameters"));
    QCOMPARE(dlg.AcqEdit->text(), QString("26/12/01,  10:00:00.00"));
    QCOMPARE(dlg.ModEdit->text(), QString("26/12/02,  11:00:00.00"));
    QCOMPARE(dlg.UserEdit->text(), QString::fromLatin1("J\xE9r\xF4me"));
    QCOMPARE(dlg.CommentEdit->text(), QString("title"));
    QCOMPARE(dlg.nPointsEdit->text(), QString("3551"));
    QCOMPARE(dlg.nScansEdit->text(), QString("16"));

    const QList<QLineEdit*> editable = {dlg.UserEdit, dlg.CommentEdit};
    for (QLineEdit* edit : dlg.findChildren<QLineEdit*>()) {
      QCOMPARE(edit->isReadOnly(), !editable.contains(edit));
    }

    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dlg.OKBtn));
    const QList<QWidget*> order = {dlg.OKBtn,      dlg.CancelBtn,   dlg.AcqEdit,    dlg.ModEdit,
                                   dlg.UserEdit,   dlg.CommentEdit, dlg.LastXEdit,  dlg.FirstXEdit,
                                   dlg.DeltaXEdit, dlg.nPointsEdit, dlg.nScansEdit, dlg.OKBtn};
    for (int i = 1; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), order[i]);
    }
  }

  // Through the View menu on a shown window: the edits typed, the button,
  // and what the record and the plot show afterwards.
  void okAndCancel_data() {
    QTest::addColumn<QString>("typedOperator");
    QTest::addColumn<QString>("typedComment");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("operatorAfter");
    QTest::addColumn<QString>("commentAfter");
    QTest::addColumn<bool>("redrawnAtOnce");
    const QString long300 = QString(300, 'c');
    QTest::newRow("cancel") << "new op"
                            << "new title" << false << "old op"
                            << "old title" << false;
    QTest::newRow("ok, same comment") << "new op"
                                      << "old title" << true << "new op"
                                      << "old title" << false;
    QTest::newRow("ok, new comment") << "old op"
                                     << "new title" << true << "old op"
                                     << "new title" << true;
    QTest::newRow("ok, case only") << "old op"
                                   << "Old title" << true << "old op"
                                   << "Old title" << true;
    QTest::newRow("ok, 300 characters")
        << "old op" << long300 << true << "old op" << QString(255, 'c') << true;
  }
  void okAndCancel() {
    QFETCH(QString, typedOperator);
    QFETCH(QString, typedComment);
    QFETCH(bool, ok);
    QFETCH(QString, operatorAfter);
    QFETCH(QString, commentAfter);
    QFETCH(bool, redrawnAtOnce);
    ScriptedUi ui;
    TForm1 w({SamplePath()}, ui);
    w.spectrum().OperatorName = "old op";
    w.spectrum().SetComment("old title");
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    PaintCounter paints(w.PaintBox1);
    QTest::qWait(50);  // let the first paints of the new window pass

    int paintsBeforeClose = -1;
    ui.onModal = [&](QDialog& d) {
      auto& dlg = static_cast<TPE1Dlg&>(d);
      QCOMPARE(dlg.CommentEdit->text(), QString("old title"));
      dlg.UserEdit->setText(typedOperator);
      dlg.CommentEdit->setText(typedComment);
      const int before = paints.count;
      (ok ? dlg.OKBtn : dlg.CancelBtn)->click();
      paintsBeforeClose = paints.count - before;
    };
    w.Parameters1->trigger();
    QCOMPARE(ui.Of("modal").size(), std::size_t(1));
    QCOMPARE(paintsBeforeClose > 0, redrawnAtOnce);
    QCOMPARE(QString::fromLatin1(w.spectrum().OperatorName), operatorAfter);
    QCOMPARE(QString::fromLatin1(w.spectrum().Comment), commentAfter);
    QCOMPARE(QString::fromLatin1(w.spectrum().ShortComment), commentAfter.left(50));
    // Closing the dialog always invalidates the plot.
    const int afterClose = paints.count;
    QTRY_VERIFY(paints.count > afterClose);
  }

  // Each showing starts from the record: a cancelled edit is gone, and the
  // new operator and comment go into the next SP file.
  void editsReachTheSavedFile() {
    const QString d = QString::fromStdString(MakeTempDir());
    MakeSpFile((d + "/s.sp").toStdString(), 5, "first title");
    ScriptedUi ui;
    TForm1 w({d + "/s.sp"}, ui);
    ui.onModal = [](QDialog& dialog) {
      auto& dlg = static_cast<TPE1Dlg&>(dialog);
      dlg.CommentEdit->setText("cancelled");
      dlg.CancelBtn->click();
    };
    w.Parameters1->trigger();
    QString shownSecondTime;
    ui.onModal = [&](QDialog& dialog) {
      auto& dlg = static_cast<TPE1Dlg&>(dialog);
      shownSecondTime = dlg.CommentEdit->text();
      dlg.UserEdit->setText("second operator");
      dlg.CommentEdit->setText("second title");
      dlg.OKBtn->click();
    };
    w.Parameters1->trigger();
    QCOMPARE(shownSecondTime, QString("first title"));

    w.Save1->trigger();
    // Lines 8 and 9 of the file hold operator and comment.
    const QStringList lines =
        QString::fromLatin1(ReadFile((d + "/s.sp").toStdString())).split("\r\n");
    QCOMPARE(lines.value(7), QString("second operator"));
    QCOMPARE(lines.value(8), QString("second title"));
  }

  // Typed through the widget, saved, loaded again: the same text, held in
  // the file as the Windows-1252 bytes instruments write.
  void lettersBeyondAsciiSurviveSaveAndLoad_data() {
    QTest::addColumn<QString>("typedOperator");
    QTest::addColumn<QString>("typedComment");
    QTest::addColumn<QByteArray>("operatorBytes");
    QTest::addColumn<QByteArray>("commentBytes");
    QTest::newRow("umlaut, euro") << QString("Dr. Müller") << QString("€ 5")
                                  << QByteArray("Dr. M\xFCller") << QByteArray("\x80 5");
    QTest::newRow("quotes, dash, ligature")
        << QString("Œuvre–Š") << QString("“KBr” ™") << QByteArray("\x8Cuvre\x96\x8A")
        << QByteArray("\x93KBr\x94 \x99");
  }
  void lettersBeyondAsciiSurviveSaveAndLoad() {
    QFETCH(QString, typedOperator);
    QFETCH(QString, typedComment);
    QFETCH(QByteArray, operatorBytes);
    QFETCH(QByteArray, commentBytes);
    const QString d = QString::fromStdString(MakeTempDir());
    MakeSpFile((d + "/s.sp").toStdString(), 5, "first title");
    {
      ScriptedUi ui;
      TForm1 w({d + "/s.sp"}, ui);
      ui.onModal = [&](QDialog& dialog) {
        auto& dlg = static_cast<TPE1Dlg&>(dialog);
        dlg.UserEdit->clear();
        TypeText(dlg.UserEdit, typedOperator);
        dlg.CommentEdit->clear();
        TypeText(dlg.CommentEdit, typedComment);
        QCOMPARE(dlg.UserEdit->text(), typedOperator);
        QCOMPARE(dlg.CommentEdit->text(), typedComment);
        QVERIFY(dlg.RefusalLabel->text().isEmpty());
        dlg.OKBtn->click();
      };
      w.Parameters1->trigger();
      w.Save1->trigger();
    }
    // Lines 8 and 9 of the file hold operator and comment.
    const QList<QByteArray> lines =
        QByteArray::fromStdString(ReadFile((d + "/s.sp").toStdString())).split('\n');
    QCOMPARE(lines.value(7), operatorBytes + "\r");
    QCOMPARE(lines.value(8), commentBytes + "\r");

    ScriptedUi ui;
    TForm1 w({d + "/s.sp"}, ui);
    QString shownOperator, shownComment;
    ui.onModal = [&](QDialog& dialog) {
      auto& dlg = static_cast<TPE1Dlg&>(dialog);
      shownOperator = dlg.UserEdit->text();
      shownComment = dlg.CommentEdit->text();
      dlg.CancelBtn->click();
    };
    w.Parameters1->trigger();
    QCOMPARE(shownOperator, typedOperator);
    QCOMPARE(shownComment, typedComment);
    QCOMPARE(FromRecordText(w.spectrum().ShortComment), typedComment);
  }

  // A character the files cannot hold is refused as it is typed, and the
  // dialog says which; the rest of the text is kept.
  void characterTheFileCannotHoldIsRefused_data() {
    QTest::addColumn<QString>("character");
    QTest::newRow("Polish l") << QString("ł");
    QTest::newRow("Romanian S") << QString("Ș");
    QTest::newRow("Greek") << QString("Ω");
  }
  void characterTheFileCannotHoldIsRefused() {
    QFETCH(QString, character);
    const QString message = "The character \"" + character + "\" cannot be stored in the file.";
    for (bool comment : {false, true}) {
      Spectrum s = HeaderOnly(4000, 450, -1);
      TPE1Dlg dlg(s, {});
      QLineEdit* edit = comment ? dlg.CommentEdit : dlg.UserEdit;
      edit->clear();
      TypeText(edit, "Dr. " + character);
      QCOMPARE(edit->text(), QString("Dr. "));
      QCOMPARE(dlg.RefusalLabel->text(), message);
      // The next key taken clears the message.
      TypeText(edit, "xy");
      QVERIFY(dlg.RefusalLabel->text().isEmpty());
      dlg.OKBtn->click();
      QCOMPARE(dlg.result(), int(QDialog::Accepted));
      QCOMPARE(comment ? s.Comment : s.OperatorName, std::string("Dr. xy"));
    }
  }

  // Text that reaches a field without typing is refused by OK: the dialog
  // stays open and the record keeps its text.
  void okRefusesTextSetWithoutTyping() {
    for (const QString& text : {QString("Łódź"), QString("smile \U0001F600")}) {
      Spectrum s = HeaderOnly(4000, 450, -1);
      TPE1Dlg dlg(s, {});
      dlg.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dlg));
      dlg.CommentEdit->setText(text);
      dlg.OKBtn->click();
      QVERIFY(dlg.isVisible());
      QCOMPARE(dlg.result(), int(QDialog::Rejected));
      QCOMPARE(s.Comment, std::string("title"));
      QVERIFY(dlg.RefusalLabel->text().contains(text.startsWith("smile") ? text.right(2) : "Ł"));
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dlg.CommentEdit));
    }
  }
};

QTEST_MAIN(ParametersTest)
#include "parameters_qttest.moc"
