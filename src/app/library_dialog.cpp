#include "app/library_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "core/number_text.h"

namespace tesvar {

TLibraryDlg::TLibraryDlg(const QString& folder, Search search,
                         std::function<QString()> chooseFolder,
                         std::function<void(const std::string&)> compare, QWidget* parent)
    : QDialog(parent),
      search_(std::move(search)),
      chooseFolder_(std::move(chooseFolder)),
      compare_(std::move(compare)) {
  setObjectName("LibraryDlg");
  setWindowTitle("Search library");
  resize(720, 420);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  FolderLabel = new QLabel(this);
  FolderLabel->setObjectName("FolderLabel");
  FolderBtn = new QPushButton("&Folder...", this);
  FolderBtn->setObjectName("FolderBtn");
  top->addWidget(FolderLabel, 1);
  top->addWidget(FolderBtn);
  layout->addLayout(top);

  HitList = new QTreeWidget(this);
  HitList->setObjectName("HitList");
  HitList->setRootIsDecorated(false);
  HitList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  HitList->setHeaderLabels({"Hit quality", "Title", "Path"});
  HitList->header()->setStretchLastSection(true);
  layout->addWidget(HitList, 1);

  auto* bottom = new QHBoxLayout;
  SummaryLabel = new QLabel(this);
  SummaryLabel->setObjectName("SummaryLabel");
  SkippedBtn = new QPushButton("&Skipped...", this);
  SkippedBtn->setObjectName("SkippedBtn");
  CompareBtn = new QPushButton("&Compare", this);
  CompareBtn->setObjectName("CompareBtn");
  OpenBtn = new QPushButton("&Open", this);
  OpenBtn->setObjectName("OpenBtn");
  CloseBtn = new QPushButton("Close", this);
  CloseBtn->setObjectName("CloseBtn");
  bottom->addWidget(SummaryLabel, 1);
  for (QPushButton* b : {SkippedBtn, CompareBtn, OpenBtn, CloseBtn}) {
    b->setAutoDefault(false);
    bottom->addWidget(b);
  }
  layout->addLayout(bottom);

  connect(FolderBtn, &QPushButton::clicked, this, [this] {
    const QString chosen = chooseFolder_();
    if (!chosen.isEmpty()) ShowFolder(chosen);
  });
  connect(SkippedBtn, &QPushButton::clicked, this, [this] {
    QString text;
    for (const std::string& s : skipped_) text += FromPath(s) + "\n";
    QMessageBox::information(this, "Skipped", text);
  });
  connect(CompareBtn, &QPushButton::clicked, this, &TLibraryDlg::CompareBtnClick);
  connect(OpenBtn, &QPushButton::clicked, this, &TLibraryDlg::OpenBtnClick);
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(HitList, &QTreeWidget::itemSelectionChanged, this, &TLibraryDlg::UpdateButtons);
  connect(HitList, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
    const int row = HitList->indexOfTopLevelItem(item);
    if (row >= 0) compare_(PathOfRow(row));
  });
  ShowFolder(folder);
}

void TLibraryDlg::ShowFolder(const QString& folder) {
  folder_ = folder;
  FolderLabel->setText(folder.isEmpty() ? QString("No library folder chosen") : folder);
  HitList->clear();
  rows_.clear();
  skipped_.clear();
  if (!folder.isEmpty()) {
    const LibrarySearchResult result = search_(folder);
    rows_ = result.rows;
    skipped_ = result.skipped;
    if (!result.problem.isEmpty()) {
      SummaryLabel->setText(result.problem);
    } else {
      SummaryLabel->setText(QString("%1 members, %2 skipped")
                                .arg(result.members)
                                .arg(static_cast<int>(result.skipped.size())));
    }
  } else {
    SummaryLabel->clear();
  }
  for (const LibraryRow& row : rows_) {
    auto* item = new QTreeWidgetItem(HitList);
    item->setText(0, QString::fromStdString(FormatFixed(row.quality, 1)));
    item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(1, FromRecordText(row.title));
    item->setText(2, FromPath(row.path));
  }
  if (HitList->topLevelItemCount() > 0) HitList->setCurrentItem(HitList->topLevelItem(0));
  HitList->resizeColumnToContents(0);
  SkippedBtn->setEnabled(!skipped_.empty());
  UpdateButtons();
}

std::string TLibraryDlg::PathOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size())
             ? rows_[static_cast<std::size_t>(row)].path
             : std::string();
}

void TLibraryDlg::UpdateButtons() {
  const int selected = static_cast<int>(HitList->selectedItems().size());
  CompareBtn->setEnabled(selected > 0);
  OpenBtn->setEnabled(selected == 1);
}

void TLibraryDlg::CompareBtnClick() {
  for (QTreeWidgetItem* item : HitList->selectedItems()) {
    compare_(PathOfRow(HitList->indexOfTopLevelItem(item)));
  }
}

void TLibraryDlg::OpenBtnClick() {
  const QList<QTreeWidgetItem*> items = HitList->selectedItems();
  if (items.size() != 1) return;
  opened_ = PathOfRow(HitList->indexOfTopLevelItem(items.first()));
  accept();
}

}  // namespace tesvar
