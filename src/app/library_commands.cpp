// Tools > Search library...: the shown spectrum searched in a folder of
// reference spectra; hits compared or opened from the dialog.
#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <chrono>

#include "app/library_dialog.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/status_bar.h"
#include "app/view_settings.h"
#include "library/library_index.h"

namespace tesvar {

namespace {

constexpr int kHitsListed = 50;
// Indexing shorter than this shows no progress dialog.
constexpr int kProgressAfterMs = 500;

}  // namespace

LibrarySearchResult TForm1::SearchLibrary(const QString& folder) {
  LibrarySearchResult result;
  QProgressDialog progress("Reading the library...", "Cancel", 0, 0, this);
  progress.setWindowTitle("Search library");
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(kProgressAfterMs);
  progress.setAutoReset(false);
  LibraryIndex index;
  const IndexReport report =
      index.Update(ToPath(folder), LibraryCacheFolder(), [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
      });
  progress.close();
  if (!report.note.empty()) ui_.ErrorBox(FromMessage(report.note), QString());
  if (!report.error.empty()) {
    result.problem = FromMessage(report.error);
    return result;
  }
  result.members = report.members;
  for (const SkippedFile& file : report.skippedFiles) {
    result.skipped.push_back(file.path + ": " + file.reason);
  }
  for (const LibraryHit& hit : index.Search(MakeMatchProfile(*spectrum_), kHitsListed)) {
    result.rows.push_back({hit.quality, hit.member->title, hit.member->path});
  }
  if (report.cancelled) {
    result.problem = QString("Reading cancelled: %1 members searched").arg(report.members);
  }
  return result;
}

void TForm1::Searchlibrary1Click() {
  QString folder = StoredLibraryFolder();
  const auto choose = [this] { return ui_.ChooseFolder("Library folder", StoredLibraryFolder()); };
  if (folder.isEmpty()) {
    folder = choose();
    if (folder.isEmpty()) return;
    StoreLibraryFolder(folder);
  }
  TLibraryDlg dialog(
      folder, [this](const QString& f) { return SearchLibrary(f); }, choose,
      [this](const std::string& path) { AddComparisonFile(path); }, this);
  ui_.ShowModal(dialog);
  if (dialog.Folder() != folder && !dialog.Folder().isEmpty()) StoreLibraryFolder(dialog.Folder());
  const std::string opened = dialog.OpenedPath();
  if (opened.empty() || !MayDropChanges()) return;
  StatusBar1->SetPanelText(2, QString());
  LoadFileOfAnyKind(opened, true);
}

}  // namespace tesvar
