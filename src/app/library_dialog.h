// The dialog of Tools > Search library...: the library folder (changeable),
// the hits for the shown spectrum with their hit quality, title and path,
// and what to do with them: "Compare" adds the selected hits as comparison
// spectra, "Open" opens one, a double-click compares. The searching itself
// is the window's (library/library_index.h); the dialog asks for it through
// `search` whenever the folder changes.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tesvar {

struct LibraryRow {
  double quality = 0;
  std::string title;  // the record's 8-bit text
  std::string path;
};

struct LibrarySearchResult {
  std::vector<LibraryRow> rows;
  int members = 0;
  std::vector<std::string> skipped;  // "PATH: reason"
  QString problem;                   // why there is no result (no folder, cancelled ...)
};

class TLibraryDlg : public QDialog {
  Q_OBJECT

 public:
  using Search = std::function<LibrarySearchResult(const QString& folder)>;
  // `chooseFolder` asks for another folder ("" when cancelled); `compare`
  // adds one path as a comparison.
  TLibraryDlg(const QString& folder, Search search, std::function<QString()> chooseFolder,
              std::function<void(const std::string&)> compare, QWidget* parent = nullptr);

  // Searches the folder and lists the hits.
  void ShowFolder(const QString& folder);
  QString Folder() const { return folder_; }
  // The path "Open" chose, when the dialog ended by it.
  const std::string& OpenedPath() const { return opened_; }

  QLabel* FolderLabel;
  QLabel* SummaryLabel;
  QTreeWidget* HitList;
  QPushButton* FolderBtn;
  QPushButton* SkippedBtn;
  QPushButton* CompareBtn;
  QPushButton* OpenBtn;
  QPushButton* CloseBtn;

  void CompareBtnClick();
  void OpenBtnClick();

 private:
  std::string PathOfRow(int row) const;
  void UpdateButtons();

  QString folder_;
  Search search_;
  std::function<QString()> chooseFolder_;
  std::function<void(const std::string&)> compare_;
  std::vector<LibraryRow> rows_;
  std::vector<std::string> skipped_;
  std::string opened_;
};

}  // namespace tesvar
