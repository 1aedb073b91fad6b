// tesvar-convert: converts, checks and describes spectra from the command
// line, without a display. Qt is started only for the picture outputs, on
// the offscreen platform unless the caller chose another.
#include <QGuiApplication>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/converter.h"
#include "cli/picture_writer_qt.h"

namespace {

// Qt's own chatter (no XDG_RUNTIME_DIR on a server, ...) is not for the
// scripts that read our standard error; its errors are.
void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:"))) return;
  std::cerr << tesvar::cli::kProgramName << ": Qt: " << text.toStdString() << '\n';
}

// Creates the application on first use, so that a run without pictures
// needs no Qt platform at all.
class LazyQtPictureWriter : public tesvar::cli::QtPictureWriter {
 public:
  // Qt sees only the program name: a file named like one of its own
  // options ("-platform", "-reverse") must not reconfigure it.
  explicit LazyQtPictureWriter(char* program) : argv_{program, nullptr} {}

  tesvar::SaveResult WriteMetafile(const std::string& path,
                                   const tesvar::WriteRequest& request) override {
    StartQt();
    return QtPictureWriter::WriteMetafile(path, request);
  }
  tesvar::SaveResult WriteScreenImage(const std::string& path,
                                      const tesvar::WriteRequest& request) override {
    StartQt();
    return QtPictureWriter::WriteScreenImage(path, request);
  }
  tesvar::SaveResult WritePrintout(const std::string& path,
                                   const tesvar::WriteRequest& request) override {
    StartQt();
    return QtPictureWriter::WritePrintout(path, request);
  }

 private:
  void StartQt() {
    if (app_) return;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QtMessage);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

  int argc_ = 1;
  char* argv_[2];
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

int main(int argc, char** argv) {
  // Dates and times are stamped in the user's locale, as the window program
  // (whose QApplication does the same) stamps them.
  std::setlocale(LC_ALL, "");
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  static char fallbackName[] = "tesvar-convert";
  LazyQtPictureWriter pictures(argc > 0 ? argv[0] : fallbackName);
  return tesvar::cli::RunConvertCommand(args, std::cout, std::cerr, &pictures);
}
