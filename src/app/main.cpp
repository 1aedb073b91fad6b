// Program entry. The real main window comes with TForm1.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Tesvar v1.5a");
  window.resize(584, 418);
  window.show();
  return app.exec();
}
