// The file commands of TForm1: Open, the imports (JCAMP-DX, ASCII and a
// file of any kind), a file dropped on the window, the list of files read
// last, Save and Save As, and the five exports with their shared dialog and
// overwrite question. Every load goes through the load entry of the
// file-kind table; the shown spectrum changes only when a file loaded in
// full. A command that would replace a changed spectrum asks first.
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <system_error>

#include "app/main_window.h"
#include "app/paint_box.h"
#include "app/qt_text.h"
#include "app/status_bar.h"
#include "core/file_io.h"
#include "core/io_error.h"
#include "core/save_result.h"
#include "formats/readable_kinds.h"
#include "output/plot_output_qt.h"
#include "output/writers.h"

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

// The open dialogs list every file last, so that a file named by another
// convention (".dpt", ".csv", no extension at all) can be picked without
// typing its name.
QString WithAllFiles(const std::string& filter) {
  return QString::fromStdString(filter) + ";;All files (*)";
}

FileDialogSettings OpenSettings(const FileKindInfo& info) {
  return {QString::fromLatin1(info.extension), WithAllFiles(OpenDialogFilter(info)),
          QString::fromLatin1(info.openTitle), QString::fromLatin1(info.pattern), QString()};
}

// What a file no reader takes is told, with the kinds that are read.
std::string NoReaderText() { return "Unknown file kind! Read are: " + OpenableKindsText(); }

// The one local file a drag carries, or "" when it carries anything else
// (several files, a folder, a link to a web page, text).
QString DraggedLocalFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return QString();
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.first().isLocalFile()) return QString();
  const QString path = urls.first().toLocalFile();
  return QFileInfo(path).isFile() ? path : QString();
}

// Every file a drag carries when all are local files; none otherwise.
QStringList DraggedLocalFiles(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return QStringList();
  QStringList files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return QStringList();
    files.push_back(url.toLocalFile());
  }
  return files;
}

// The metafile picture is as large as the screen it is recorded for.
QSize ScreenSize() {
  if (QScreen* primary = QGuiApplication::primaryScreen()) return primary->size();
  return QSize(1024, 768);
}

// Save and Save As have no error box of their own: a failed write is the
// generic error report of the I/O failure behind it. True when saved.
bool Saved(const SaveResult& result, Messages&& messages) {
  if (result.saved()) return true;
  messages.Report(result.cause.empty() ? result.refusal : result.cause);
  return false;
}

// Two names of one file: the same text, or two links to it.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

// No default extension: a name typed without one is read by its content,
// or refused, rather than taken for a file of one chosen kind.
FileDialogSettings AnySpectrumSettings() {
  return {QString(), WithAllFiles(AnySpectrumFilter()), "Import any spectrum", QString(),
          QString()};
}

std::string TForm1::ChooseFileToRead(FileDialogSettings settings) {
  QString chosen = ui_.OpenFile(settings);
  if (chosen.isEmpty()) return std::string();
  std::string path = ToPath(chosen);
  // Only the name counts: a dot in a folder name ("/home/me/.data/sample")
  // must not keep "sample" from becoming "sample.sp".
  if (!settings.DefaultExt.isEmpty() && FileNamePart(path).find('.') == std::string::npos) {
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
  // The file written belongs beside the spectrum it comes from, not in the
  // folder the program happened to start in, where Enter would put it.
  const QString folder = document_.CurrentPath.empty()
                             ? QString()
                             : QFileInfo(FromPath(document_.CurrentPath)).absolutePath();
  return {QString::fromLatin1(info.extension), QString::fromStdString(DialogFilter(kind)),
          QString::fromLatin1(info.saveTitle),
          FromPath(ChangeExtension(document_.CurrentName, "." + ext)), folder};
}

WindowMessages TForm1::MessagesAbout(const std::string& path) {
  return WindowMessages(ui_, *StatusBar1, FileNamePart(path));
}

bool TForm1::TellLoadResult(const LoadResult& result, const std::string& path) {
  WindowMessages messages = MessagesAbout(path);
  result.Tell(messages);
  return result.loaded();
}

void TForm1::ShowLoadedFile(const std::string& path, const FileKindInfo& kind) {
  history_.Clear();
  document_.CurrentPath = path;
  document_.CurrentName = FileNamePart(path);
  AfterLoadUpdate();
  document_.Imported = kind.loadsAsImport;
  document_.ReadFrom = path;
  document_.Modified = false;
  recentFiles_.Add(FromPath(path));
  ShowRecentFiles();
}

void TForm1::ShowRecentFiles() {
  const QStringList files = recentFiles_.Files();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* item = RecentFileItems[i];
    const bool used = i < files.size();
    item->setVisible(used);
    item->setData(used ? files[i] : QString());
    item->setText(used ? RecentFileCaption(i + 1, files[i]) : QString());
  }
  RecentSeparator->setVisible(!files.isEmpty());
}

void TForm1::RecentFileClick(const QString& file) {
  if (!MayDropChanges()) return;
  StatusBar1->SetPanelText(2, QString());
  const std::string path = ToPath(file);
  if (!FileExists(path)) {
    recentFiles_.Remove(file);
    ShowRecentFiles();
    // Where the name asks for a reader, that reader says the file is
    // missing in its own words (below); otherwise the content chose the
    // reader, and there is no content left.
    if (ClassifyPath(path) == nullptr) {
      MessagesAbout(path).Report(GenericReportText(IoError(kFileNotFound, path).what()));
      return;
    }
  }
  LoadFileOfAnyKind(path, true);
}

void TForm1::OpenWithDialog(FileKind kind) {
  if (!MayDropChanges()) return;
  StatusBar1->SetPanelText(2, QString());
  const FileKindInfo& info = InfoFor(kind);
  std::string path = ChooseFileToRead(OpenSettings(info));
  if (path.empty()) return;
  // The kind that read it: a PerkinElmer data set opened as an SP file is
  // read, and kept, as an import.
  const LoadResult result = LoadSpectrumFile(path, info, *spectrum_);
  if (TellLoadResult(result, path))
    ShowLoadedFile(path, result.kind != nullptr ? *result.kind : info);
}

bool TForm1::LoadFileOfAnyKind(const std::string& path, bool tellNoReader) {
  const LoadResult result = LoadSpectrumFile(path, *spectrum_);
  if (result.outcome == LoadOutcome::kNoReader) {
    if (tellNoReader) MessagesAbout(path).ErrorBox(NoReaderText());
    return false;
  }
  if (!TellLoadResult(result, path)) return false;
  ShowLoadedFile(path, *result.kind);
  return true;
}

void TForm1::Open1Click() { OpenWithDialog(FileKind::kSp); }

void TForm1::JCAMPDX1Click() { OpenWithDialog(FileKind::kJcampFix); }

void TForm1::ASCII1Click() {
  if (!MayDropChanges()) return;
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
    loaded = TellLoadResult(LoadSpectrumFile(path, info, *spectrum_), path);
  }
  if (loaded) ShowLoadedFile(path, info);
}

void TForm1::Anyspectrum1Click() {
  if (!MayDropChanges()) return;
  StatusBar1->SetPanelText(2, QString());
  const std::string path = ChooseFileToRead(AnySpectrumSettings());
  if (path.empty()) return;
  LoadFileOfAnyKind(path, true);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const bool comparing = event->modifiers() & Qt::ControlModifier;
  if (spectrum_ && (comparing ? !DraggedLocalFiles(event->mimeData()).isEmpty()
                              : !DraggedLocalFile(event->mimeData()).isEmpty())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  // With Ctrl held the files are added as comparisons, several at once.
  if (spectrum_ && (event->modifiers() & Qt::ControlModifier)) {
    const QStringList files = DraggedLocalFiles(event->mimeData());
    if (files.isEmpty()) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    std::vector<std::string> paths;
    for (const QString& file : files) paths.push_back(ToPath(file));
    QMetaObject::invokeMethod(
        this,
        [this, paths] {
          RunHandler([this, &paths] {
            for (const std::string& path : paths) AddComparisonFile(path);
          });
        },
        Qt::QueuedConnection);
    return;
  }
  const QString file = DraggedLocalFile(event->mimeData());
  if (!spectrum_ || file.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // Read once the drop is over: the program the file was dragged from
  // would otherwise wait for the read and for any error box it brings.
  const std::string path = ToPath(file);
  QMetaObject::invokeMethod(
      this,
      [this, path] {
        RunHandler([this, &path] {
          if (!MayDropChanges()) return;
          StatusBar1->SetPanelText(2, QString());
          LoadFileOfAnyKind(path, true);
        });
      },
      Qt::QueuedConnection);
}

void TForm1::Save1Click() { (void)SaveSpectrum(); }

void TForm1::Saveas1Click() { (void)SaveSpectrumAs(); }

bool TForm1::SaveSpectrum() {
  const std::string target = ChangeExtension(document_.CurrentPath, ".sp");
  // An imported spectrum is never written over the file it was read from:
  // that file is another program's, and Save writes the SP format. Only a
  // spectrum the SP reader read goes back into its own file.
  if (document_.CurrentPath.empty() ||
      (document_.Imported && SameFile(target, document_.ReadFrom))) {
    return SaveSpectrumAs();
  }
  // A spectrum that came from an SP file is saved over its own file
  // without asking; an imported one may meet an unrelated file.
  if (document_.Imported && !ConfirmOverwrite(target)) return false;
  if (!Saved(WriteShown(FileKind::kSp, target), MessagesAbout(target))) return false;
  document_.CurrentName = FileNamePart(target);
  SetCaptionFromName();
  document_.Imported = false;
  document_.Modified = false;
  history_.MarkSaved();
  return true;
}

bool TForm1::SaveSpectrumAs() {
  std::string path = ChooseFileToWrite(SaveSettings(FileKind::kSp));
  if (path.empty()) return false;
  // Set before writing: a failed write leaves the new name for the next Save.
  document_.CurrentPath = path;
  document_.CurrentName = FileNamePart(path);
  if (!Saved(WriteShown(FileKind::kSp, path), MessagesAbout(path))) return false;
  SetCaptionFromName();
  document_.Imported = false;
  document_.Modified = false;
  history_.MarkSaved();
  return true;
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

SaveResult TForm1::WriteShown(FileKind kind, const std::string& path) {
  const QSize screen = ScreenSize();
  QtPictureRenderer pictures;
  const PlotOverlay overlay = Overlay();
  const WriteRequest request{.spectrum = *spectrum_,
                             .labels = view_.Labels,
                             .grid = view_.GridOn,
                             .screen = {screen.width(), screen.height()},
                             .pictures = &pictures,
                             .overlay = &overlay};
  return WriteSpectrum(kind, path, request);
}

void TForm1::TellWritten(const SaveResult& result, const std::string& path) {
  WindowMessages messages = MessagesAbout(path);
  result.Tell(messages);
}

void TForm1::ExportJcamp(const std::string& path, bool compressed) {
  TellWritten(WriteShown(compressed ? FileKind::kJcampDifDup : FileKind::kJcampFix, path), path);
}

void TForm1::ExportHpgl(const std::string& path) {
  TellWritten(WriteShown(FileKind::kHpgl, path), path);
}

void TForm1::ExportMetafile(const std::string& path) {
  pendingMetafileTarget_ = path;
  RecordPlotPicture();
}

void TForm1::RecordPlotPicture() {
  // Cleared whatever becomes of the picture, so that the next "Copy
  // spectrum" goes to the clipboard again.
  ScopeCleanup clearTarget([this] { pendingMetafileTarget_.clear(); });
  if (!pendingMetafileTarget_.empty()) {
    TellWritten(WriteShown(FileKind::kWindowsMetafile, pendingMetafileTarget_),
                pendingMetafileTarget_);
    return;
  }
  const QSize screen = ScreenSize();
  PutPictureOnClipboard(RecordPlotMetafile(*spectrum_, view_.GridOn, view_.Labels, screen.width(),
                                           screen.height(), Overlay()));
}

void TForm1::ExportSvg(const std::string& path) {
  TellWritten(WriteShown(FileKind::kSvg, path), path);
}

}  // namespace tesvar
