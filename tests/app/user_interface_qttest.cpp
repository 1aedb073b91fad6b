// The real message boxes and file dialogs behind the window: titles, icons,
// buttons and the settings each file dialog is given.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/user_interface.h"

using namespace tesvar;

namespace {

// Runs `inspect` on the modal widget as soon as one is open; `inspect` must
// close it.
void WhenModalOpens(std::function<void(QWidget*)> inspect) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      inspect(modal);
    }
  });
  timer->start();
}

QStringList ButtonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* b : box->buttons()) texts << b->text();
  texts.sort();
  return texts;
}

}  // namespace

class UserInterfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void boxes_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("result");  // what the call returned, as a number
    QTest::newRow("confirm yes") << "confirm"
                                 << "Confirm" << int(QMessageBox::Question)
                                 << QStringList{"&No", "&Yes"} << "&Yes" << 1;
    QTest::newRow("confirm no") << "confirm"
                                << "Confirm" << int(QMessageBox::Question)
                                << QStringList{"&No", "&Yes"} << "&No" << 0;
    const QStringList three{"&No", "&Yes", "Cancel"};
    QTest::newRow("save changes yes") << "save changes"
                                      << "Confirm" << int(QMessageBox::Question) << three << "&Yes"
                                      << int(SaveChangesAnswer::kYes);
    QTest::newRow("save changes no")
        << "save changes"
        << "Confirm" << int(QMessageBox::Question) << three << "&No" << int(SaveChangesAnswer::kNo);
    QTest::newRow("save changes cancel") << "save changes"
                                         << "Confirm" << int(QMessageBox::Question) << three
                                         << "Cancel" << int(SaveChangesAnswer::kCancel);
    // Escape is Cancel: nothing saved, nothing dropped.
    QTest::newRow("save changes escape") << "save changes"
                                         << "Confirm" << int(QMessageBox::Question) << three
                                         << "Escape" << int(SaveChangesAnswer::kCancel);
    QTest::newRow("error") << "error"
                           << "Error" << int(QMessageBox::Critical) << QStringList{"OK"} << "OK"
                           << 0;
    // An error about a file names it in the title; the text is the reader's own.
    QTest::newRow("error about a file")
        << "error of x.jdx"
        << "Error - x.jdx" << int(QMessageBox::Critical) << QStringList{"OK"} << "OK" << 0;
    QTest::newRow("report") << "report"
                            << "Tesvar" << int(QMessageBox::Critical) << QStringList{"OK"} << "OK"
                            << 0;
    QTest::newRow("about") << "about"
                           << "Tesvar" << int(QMessageBox::NoIcon) << QStringList{"OK"} << "OK"
                           << 0;
  }
  void boxes() {
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, click);
    QFETCH(int, result);
    QtUserInterface ui;
    QString seenTitle, seenText;
    int seenIcon = -1;
    QStringList seenButtons;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box) return static_cast<void>(modal->close());  // the comparisons below fail
      seenTitle = box->windowTitle();
      seenText = box->text();
      seenIcon = box->icon();
      seenButtons = ButtonTexts(box);
      if (click == "Escape") QTest::keyClick(box, Qt::Key_Escape);
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == click) b->click();
      }
    });
    int answer = 0;
    if (kind == "confirm") answer = ui.Confirm("File exists! Overwrite?");
    if (kind == "save changes") answer = int(ui.AskSaveChanges("Save changes to a.sp?"));
    if (kind == "error") ui.ErrorBox("Unknown file format!", QString());
    if (kind == "error of x.jdx") ui.ErrorBox("Unknown file format!", "x.jdx");
    if (kind == "report") ui.Report("Tesvar", "Disk full.");
    if (kind == "about") ui.About("Tesvar", "Tesvar v1.5a");
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenButtons, buttons);
    QVERIFY(!seenText.isEmpty());
    QCOMPARE(answer, result);
  }

  // The settings reach the dialog, and the dialog does not ask about
  // overwriting (the commands do). Cancelling gives an empty answer.
  // (Accepting is not driven here: the dialog fills its name field from a
  // background thread, so a scripted accept races with it.)
  void fileDialogs_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("open") << false;
    QTest::newRow("save") << true;
  }
  void fileDialogs() {
    QFETCH(bool, save);
    QtUserInterface ui;
    const QString folder = QDir(QDir::tempPath()).canonicalPath();
    const FileDialogSettings settings{"sp", "Perkin-Elmer 1600 (*.sp)", "Load spectrum", "*.sp",
                                      folder};
    QFileDialog* seen = nullptr;
    QStringList filters;
    QString title, suffix, shownFolder;
    bool asksOverwrite = true;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    WhenModalOpens([&](QWidget* modal) {
      seen = qobject_cast<QFileDialog*>(modal);
      if (!seen) return static_cast<void>(modal->close());
      filters = seen->nameFilters();
      shownFolder = seen->directory().canonicalPath();
      title = seen->windowTitle();
      suffix = seen->defaultSuffix();
      asksOverwrite = !seen->testOption(QFileDialog::DontConfirmOverwrite);
      mode = seen->acceptMode();
      seen->reject();
    });
    const QString answer = save ? ui.SaveFile(settings) : ui.OpenFile(settings);
    QVERIFY(seen);
    QCOMPARE(filters, QStringList{"Perkin-Elmer 1600 (*.sp)"});
    QCOMPARE(title, QString("Load spectrum"));
    QCOMPARE(shownFolder, folder);
    QCOMPARE(suffix, QString("sp"));
    QVERIFY(!asksOverwrite);
    QCOMPARE(mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    QCOMPARE(answer, QString());
  }
};

QTEST_MAIN(UserInterfaceTest)
#include "user_interface_qttest.moc"
