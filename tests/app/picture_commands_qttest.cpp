// "Copy spectrum", the Windows metafile export and "Print...": which
// picture goes where, the pending metafile target, and the print dialog.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "app/main_window.h"
#include "output/plot_output_qt.h"
#include "plot_fixture.h"

using namespace tesvar;
using namespace tesvar::test;

namespace {

QSize ScreenSize() { return QGuiApplication::primaryScreen()->size(); }

std::string RecordedFor(TForm1& w, bool gridOn, const LabelList& labels) {
  return RecordPlotMetafile(w.spectrum(), gridOn, labels, ScreenSize().width(),
                            ScreenSize().height())
      .wmf;
}

std::string ClipboardMetafile() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return std::string();
  const QByteArray bytes = data->data("image/x-wmf");
  return bytes.toStdString();
}

// A plot with the grid on and one peak label, so that a command that left
// out either would record a different picture.
void GridAndLabel(PlotWindow& p) {
  p.w->Grid1->trigger();
  p.w->SpeedButton2->click();
  p.w->PaintBox1MouseUp(MouseButton::kLeft, p.Column(100), p.bottom - 150);
  QCOMPARE(p.view().Labels.Count(), 1);
}

}  // namespace

class PictureCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void copySpectrumToTheClipboard() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    GridAndLabel(p);
    const std::string expected = RecordedFor(*p.w, true, p.view().Labels);
    QVERIFY(expected != RecordedFor(*p.w, false, LabelList()));
    QGuiApplication::clipboard()->setText("before");

    p.w->Copy1->trigger();
    QCOMPARE(ClipboardMetafile(), expected);
    const QImage image = QGuiApplication::clipboard()->image();
    QCOMPARE(image.size(), ScreenSize() - QSize(1, 1));
    QVERIFY(p.ui.log.empty());
  }

  // The export hands its path over as the pending target; the recording
  // writes there and clears it, so the next copy goes to the clipboard.
  void metafileExportThenCopy() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    GridAndLabel(p);
    const QString target = QString::fromStdString(MakeTempDir()) + "/plot.wmf";
    QGuiApplication::clipboard()->setText("before");
    p.ui.files = {target};
    p.w->Windowsmetafile1->trigger();
    QVERIFY(p.w->PendingMetafileTarget().empty());
    const std::string expected = RecordedFor(*p.w, true, p.view().Labels);
    QCOMPARE(ReadFile(target.toStdString()), expected);
    // Placeable metafile key, little-endian.
    QCOMPARE(expected.substr(0, 4), std::string("\xD7\xCD\xC6\x9A"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));

    p.w->Copy1->trigger();
    QCOMPARE(ClipboardMetafile(), expected);
  }

  void metafileExportToAnUnwritablePlace() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const QString target = QString::fromStdString(MakeTempDir()) + "/no-such-folder/plot.wmf";
    p.ui.files = {target};
    p.w->Windowsmetafile1->trigger();
    QCOMPARE(p.ui.Of("error").size(), std::size_t(1));
    QCOMPARE(p.ui.Of("error")[0].text, "Could not write file " + target);
    QVERIFY(p.w->PendingMetafileTarget().empty());
    QVERIFY(!QFile::exists(target));

    QGuiApplication::clipboard()->setText("before");
    p.w->Copy1->trigger();
    QCOMPARE(ClipboardMetafile(), RecordedFor(*p.w, false, LabelList()));
    QCOMPARE(p.ui.Of("error").size(), std::size_t(1));
  }

  void cancelledPrintPrintsNothing() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.w->Print1->trigger();
    QCOMPARE(p.ui.Of("print").size(), std::size_t(1));
    QCOMPARE(p.ui.log.size(), std::size_t(1));
  }

  // The printer chosen in the dialog gets one page; a PDF printer stands in
  // for a real one.
  void printOnTheChosenPrinter() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    const QString pdf = QString::fromStdString(MakeTempDir()) + "/printout.pdf";
    int printableWidth = 0;
    p.ui.onPrint = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setResolution(300);
      printableWidth = printer.width();
      return true;
    };
    p.w->Print1->trigger();
    QVERIFY(p.ui.Of("report").empty());
    QVERIFY(printableWidth > 200);
    const std::string bytes = ReadFile(pdf.toStdString());
    QCOMPARE(bytes.substr(0, 5), std::string("%PDF-"));
    // The screen's frame is the print's business no more than the
    // metafile's.
    QCOMPARE(p.view().PlotWidth, 520);
  }

  // A printer that cannot start its document ends the command with the
  // generic error report.
  void printerFailureIsReported() {
    PlotWindow p;
    QVERIFY(p.Pinned());
    p.ui.onPrint = [&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(MakeTempDir()) + "/missing/out.pdf");
      printer.setResolution(300);
      return true;
    };
    p.w->Print1->trigger();
    QCOMPARE(p.ui.Of("report").size(), std::size_t(1));
    QCOMPARE(p.ui.Of("report")[0].title, QString("Tesvar"));
  }
};

QTEST_MAIN(PictureCommandsTest)
#include "picture_commands_qttest.moc"
