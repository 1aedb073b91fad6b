// A folder of reference spectra as a searchable library.
//
// Every file below the folder (read recursively) that a reader of the
// program takes is a member; a file its reader refuses, or whose spectrum
// lies too little on the matching grid, is skipped, and counted with its
// reason; other files are ignored without a word. Each
// member is read once into an index, an SQLite database under the user's
// cache folder ($XDG_CACHE_HOME/tesvar/, one database per library folder):
// its path, size and modification time, its title and its spectrum prepared
// for matching. A later update reads only the files that are new or changed
// and drops those that are gone.
//
// The index is a cache, never trusted: a database that cannot be read as
// ours is set aside (renamed with ".damaged") and built anew, with a note
// saying so. Updates run in transactions of a few hundred files, so an
// interrupted indexing keeps what it finished, and SQLite's locking keeps two
// programs that update the same library at once from corrupting it (the
// second waits).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/match_profile.h"

struct sqlite3;

namespace tesvar {

struct LibraryMember {
  std::string path;
  std::string title;
  MatchProfile prepared;
};

struct SkippedFile {
  std::string path;
  std::string reason;
};

struct IndexReport {
  int read = 0;     // members read this time (new or changed)
  int skipped = 0;  // files refused by their reader (all, not only this time)
  int removed = 0;  // members whose file is gone
  int members = 0;  // members in the index after the update
  bool cancelled = false;
  std::vector<SkippedFile> skippedFiles;
  // What happened to a damaged database, or "" when nothing did.
  std::string note;
  // Why the index could not be used at all (a cache folder that cannot be
  // made); "" when it could.
  std::string error;
};

struct LibraryHit {
  double quality = 0;  // 0-100
  const LibraryMember* member = nullptr;
};

// The cache folder: $XDG_CACHE_HOME/tesvar, else $HOME/.cache/tesvar.
std::string LibraryCacheFolder();

class LibraryIndex {
 public:
  LibraryIndex() = default;
  ~LibraryIndex();
  LibraryIndex(const LibraryIndex&) = delete;
  LibraryIndex& operator=(const LibraryIndex&) = delete;

  // The database of a library folder inside cacheFolder.
  static std::string DatabasePath(const std::string& cacheFolder, const std::string& folder);

  // Brings the index of `folder` (in cacheFolder) up to date and loads its
  // members. `progress(done, total)` is called as files are read; returning
  // false cancels, keeping what was finished.
  IndexReport Update(const std::string& folder, const std::string& cacheFolder,
                     const std::function<bool(int done, int total)>& progress = nullptr);

  const std::vector<LibraryMember>& Members() const { return members_; }

  // The best `count` members for the query, best first; members that are
  // not scored (too little shared range) are left out.
  std::vector<LibraryHit> Search(const MatchProfile& query, int count) const;

 private:
  bool OpenDatabase(const std::string& path, IndexReport& report);
  void Close();

  sqlite3* db_ = nullptr;
  std::vector<LibraryMember> members_;
};

}  // namespace tesvar
