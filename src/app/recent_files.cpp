#include "app/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tesvar {

namespace {

constexpr const char* kOrganization = "Tesvar";
constexpr const char* kApplication = "Tesvar";
constexpr const char* kKey = "RecentFiles";
// Paths longer than this keep their start and their end in the menu: the
// folder they begin in and the file's own name.
constexpr int kCaptionPathLength = 60;

// One name for one file, however it was reached: "./a.sp" and "/data/a.sp"
// are one entry.
QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

}  // namespace

QStringList WithRecentFile(QStringList files, const QString& path) {
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFileCount) files.removeLast();
  return files;
}

QStringList RecentFiles::Files() const {
  QSettings settings(kOrganization, kApplication);
  QStringList files = settings.value(kKey).toStringList();
  files.removeAll(QString());
  // A list edited by hand may be longer than the menu has room for.
  while (files.size() > kRecentFileCount) files.removeLast();
  return files;
}

void RecentFiles::Add(const QString& path) { Store(WithRecentFile(Files(), Absolute(path))); }

void RecentFiles::Remove(const QString& path) {
  QStringList files = Files();
  files.removeAll(Absolute(path));
  Store(files);
}

void RecentFiles::Store(const QStringList& files) {
  QSettings settings(kOrganization, kApplication);
  settings.setValue(kKey, files);
}

QString RecentFileCaption(int number, const QString& path) {
  QString shown = QDir::toNativeSeparators(path);
  if (shown.size() > kCaptionPathLength) {
    const int keep = (kCaptionPathLength - 3) / 2;
    shown = shown.left(keep) + "..." + shown.right(keep);
  }
  shown.replace('&', "&&");
  return QString("&%1 %2").arg(number).arg(shown);
}

}  // namespace tesvar
