// Program entry: the main window, started with the command line, and the
// event loop until the window closes.
#include <QApplication>

#include "app/main_window.h"
#include "app/user_interface.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList arguments = QApplication::arguments();
  if (!arguments.isEmpty()) arguments.removeFirst();  // the program itself

  tesvar::QtUserInterface ui;
  tesvar::TForm1 window(arguments, ui);
  if (window.ClosedAtStart()) return 1;
  ui.SetOwner(&window);
  window.show();
  return app.exec();
}
