// The file commands of TForm1: Open and the two imports, Save and Save As,
// and the five exports with their shared dialog and overwrite question.
// Every load goes through the load entry of the file-kind table; the shown
// spectrum changes only when a file loaded in full.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <functional>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/qt_text.h"
#include "app/status_bar.h"
#include "core/file_io.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "output/hpgl.h"
#include "output/plot_output_qt.h"
#include "output/svg.h"

namespace tesvar {

namespace {

constexpr const char* kReadingText = "reading...";

// Runs a clean-up on every way out of a scope, exceptions included.
class ScopeCleanup {
 public:
  explicit ScopeCleanup(std::function<void()> cleanup) : cleanup_(std::move(cleanup)) {}
  ~ScopeCleanup() { cleanup_(); }
  ScopeCleanup(const ScopeCleanup&) = delete;
  ScopeCleanup& operator=(const ScopeCleanup&) = delete;

 private:
  std::function<void()> cleanup_;
};

FileDialogSettings OpenSettings(const FileKindInfo& info) {
  return {QString::fromLatin1(info.extension), QString::fromStdString(DialogFilter(info.kind)),
          QString::fromLatin1(info.openTitle), QString::fromLatin1(info.pattern)};
}

}  // namespace

std::string TForm1::ChooseFileToRead(FileDialogSettings settings) {
  QString chosen = ui_.OpenFile(settings);
  if (chosen.isEmpty()) return std::string();
  std::string path = ToPath(chosen);
  // Only the name counts: a dot in a folder name ("/home/me/.data/sample")
  // must not keep "sample" from becoming "sample.sp".
  if (FileNamePart(path).find('.') == std::string::npos) {
    path += "." + ToPath(settings.DefaultExt);
  }
  return path;
}

bool TForm1::ConfirmOverwrite(const std::string& path) {
  if (!FileExists(path)) return true;
  return ui_.Confirm("File exists! Overwrite?");
}

std::string TForm1::ChooseFileToWrite(const FileDialogSettings& settings) {
  QString chosen = ui_.SaveFile(settings);
  if (chosen.isEmpty()) return std::string();
  std::string path = ToPath(chosen);
  // What the dialog's default extension does for a typed name without one;
  // repeated here because not every platform dialog honours it.
  if (FileNamePart(path).find('.') == std::string::npos) {
    path += "." + ToPath(settings.DefaultExt);
  }
  if (!ConfirmOverwrite(path)) return std::string();
  return path;
}

FileDialogSettings TForm1::SaveSettings(FileKind kind) const {
  const FileKindInfo& info = InfoFor(kind);
  const std::string ext = info.extension;
  return {QString::fromLatin1(info.extension), QString::fromStdString(DialogFilter(kind)),
          QString::fromLatin1(info.saveTitle),
          FromPath(ChangeExtension(spectrum_->CurrentName, "." + ext))};
}

bool TForm1::TellLoadResult(const LoadResult& result) {
  result.Tell(*messages_);
  return result.loaded();
}

void TForm1::ShowLoadedFile(const std::string& path, const FileKindInfo& kind) {
  spectrum_->CurrentPath = path;
  spectrum_->CurrentName = FileNamePart(path);
  AfterLoadUpdate();
  spectrum_->Imported = kind.loadsAsImport;
}

void TForm1::OpenWithDialog(FileKind kind) {
  StatusBar1->SetPanelText(2, QString());
  const FileKindInfo& info = InfoFor(kind);
  std::string path = ChooseFileToRead(OpenSettings(info));
  if (path.empty()) return;
  if (TellLoadResult(LoadSpectrumFile(path, info, *spectrum_))) ShowLoadedFile(path, info);
}

void TForm1::Open1Click() { OpenWithDialog(FileKind::kSp); }

void TForm1::JCAMPDX1Click() { OpenWithDialog(FileKind::kJcampFix); }

void TForm1::ASCII1Click() {
  StatusBar1->SetPanelText(2, QString());
  DebugLbl->clear();
  const FileKindInfo& info = InfoFor(FileKind::kAsciiList);
  std::string path = ChooseFileToRead(OpenSettings(info));
  if (path.empty()) return;
  StatusBar1->SetPanelText(2, kReadingText);
  // Let the text appear before the import holds the UI thread.
  QCoreApplication::processEvents();
  bool loaded;
  {
    // On every way out: a "reading..." that stayed would claim an import
    // still in progress.
    ScopeCleanup cleanup([this] {
      DebugLbl->clear();
      if (StatusBar1->PanelText(2) == kReadingText) StatusBar1->SetPanelText(2, QString());
    });
    loaded = TellLoadResult(LoadSpectrumFile(path, info, *spectrum_));
  }
  if (loaded) ShowLoadedFile(path, info);
}

void TForm1::Save1Click() {
  const std::string target = ChangeExtension(spectrum_->CurrentPath, ".sp");
  if (spectrum_->CurrentPath.empty()) {
    Saveas1Click();
    return;
  }
  // A spectrum that came from an SP file is saved over its own file
  // without asking; an imported one may meet an unrelated file.
  if (spectrum_->Imported && !ConfirmOverwrite(target)) return;
  WriteSpFile(target, *spectrum_);
  spectrum_->CurrentName = FileNamePart(target);
  SetCaptionFromName();
  spectrum_->Imported = false;
}

void TForm1::Saveas1Click() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kSp));
  if (path.empty()) return;
  // Set before writing: a failed write leaves the new name for the next Save.
  spectrum_->CurrentPath = path;
  spectrum_->CurrentName = FileNamePart(path);
  WriteSpFile(spectrum_->CurrentPath, *spectrum_);
  SetCaptionFromName();
  spectrum_->Imported = false;
}

void TForm1::Jcamp1Click() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kJcampFix));
  if (path.empty()) return;
  ExportJcamp(path, false);
}

void TForm1::jcampcomprClick() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kJcampDifDup));
  if (path.empty()) return;
  ExportJcamp(path, true);
}

void TForm1::Hpgl1Click() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kHpgl));
  if (path.empty()) return;
  ExportHpgl(path);
}

void TForm1::Windowsmetafile1Click() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kWindowsMetafile));
  if (path.empty()) return;
  ExportMetafile(path);
}

void TForm1::SVG1Click() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kSvg));
  if (path.empty()) return;
  ExportSvg(path);
}

// ---------------------------------------------------------------------------
// Writers

// The writers report a file they cannot create themselves; what they
// return adds nothing for the window.
void TForm1::ExportJcamp(const std::string& path, bool compressed) {
  (void)WriteJcampFile(path, *spectrum_, compressed ? JcampForm::kDifDup : JcampForm::kFix,
                       *messages_);
}

void TForm1::ExportHpgl(const std::string& path) {
  (void)WriteHpglFile(path, *spectrum_, view_.GridOn, view_.Labels, *messages_);
}

void TForm1::ExportMetafile(const std::string& path) {
  pendingMetafileTarget_ = path;
  RecordPlotPicture();
}

void TForm1::RecordPlotPicture() {
  // Cleared whatever becomes of the picture, so that the next "Copy
  // spectrum" goes to the clipboard again.
  ScopeCleanup clearTarget([this] { pendingMetafileTarget_.clear(); });
  // The picture is as large as the screen it is recorded for.
  QSize screen(1024, 768);
  if (QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->size();
  const MetafilePicture picture =
      RecordPlotMetafile(*spectrum_, view_.GridOn, view_.Labels, screen.width(), screen.height());
  if (pendingMetafileTarget_.empty()) {
    PutPictureOnClipboard(picture);
  } else {
    (void)WriteMetafileFile(pendingMetafileTarget_, picture, *messages_);
  }
}

void TForm1::ExportSvg(const std::string& path) {
  (void)WriteSvgFile(path, *spectrum_, view_.GridOn, view_.Labels, *messages_);
}

}  // namespace tesvar
