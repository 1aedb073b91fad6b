// Program entry: the main window, started with the command line, and the
// event loop until the window closes. --help and --version are answered
// before Qt starts, so that they work without a display.
#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/user_interface.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const tesvar::InformationRequest request = tesvar::FindInformationRequest(args);
  if (request != tesvar::InformationRequest::kNone) {
    std::cout << tesvar::InformationText(request);
    return std::cout.flush() ? 0 : 1;
  }

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
