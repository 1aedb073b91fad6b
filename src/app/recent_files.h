// The spectra read last, most recent first, kept between runs in the
// user's settings. Every change reads the list afresh and writes it back at
// once, so that two windows open at the same time add to one list rather
// than overwrite each other's.
#pragma once

#include <QString>
#include <QStringList>

namespace tesvar {

inline constexpr int kRecentFileCount = 4;

// The list with `path` moved (or added) to the front and cut to
// kRecentFileCount entries.
QStringList WithRecentFile(QStringList files, const QString& path);

class RecentFiles {
 public:
  // The list as the settings hold it now.
  QStringList Files() const;
  // A file that was read: first in the list from now on.
  void Add(const QString& path);
  // A file that is gone.
  void Remove(const QString& path);

 private:
  void Store(const QStringList& files);
};

// The File menu's text for an entry: its number as access key, then the
// path, shortened in the middle when long; '&' in the path is shown as such.
QString RecentFileCaption(int number, const QString& path);

}  // namespace tesvar
