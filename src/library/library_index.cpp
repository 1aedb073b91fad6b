#include "library/library_index.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unordered_map>

#include "core/spectrum.h"
#include "formats/file_kinds.h"

namespace tesvar {

namespace fs = std::filesystem;

namespace {

// Raised when the layout of what is stored changes: an index of another
// version is built anew rather than read.
constexpr const char* kSchemaVersion = "tesvar library index 1";
// Files read between two commits: what an interruption can lose.
constexpr int kFilesPerTransaction = 250;
// How long a second program waits for the first one's transaction.
constexpr int kBusyMilliseconds = 30000;
// The first bytes a reader is chosen by.
constexpr std::size_t kFirstBytes = 512;

// Why a spectrum that loaded is no member: it cannot be matched.
constexpr const char* kOutsideGrid =
    "too little of it lies between 12500 and 400 1/cm to be matched";

enum FileState : int { kMember = 0, kSkipped = 1, kIgnored = 2 };

// One prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }
  void Bind(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int i, int64_t value) { sqlite3_bind_int64(stmt_, i, value); }
  void BindBlob(int i, const void* data, std::size_t size) {
    sqlite3_bind_blob(stmt_, i, size == 0 ? "" : data, static_cast<int>(size), SQLITE_TRANSIENT);
  }
  // One step; true while there is a row.
  int Step() { return sqlite3_step(stmt_); }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text == nullptr
               ? std::string()
               : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
  }
  int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

bool Exec(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// FNV-1a: a short, stable file name for a folder's path.
std::string NameFor(const std::string& folder) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : folder) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  static const char kHex[] = "0123456789abcdef";
  std::string name(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) name[static_cast<std::size_t>(i)] = kHex[hash & 15];
  return name;
}

struct Seen {
  int64_t size;
  int64_t mtime;
  int state;
  bool present = false;
};

std::string FirstBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(kFirstBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

struct Candidate {
  std::string path;
  int64_t size;
  int64_t mtime;
};

}  // namespace

std::string LibraryCacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/tesvar";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.cache/tesvar";
}

LibraryIndex::~LibraryIndex() { Close(); }

void LibraryIndex::Close() {
  if (db_ != nullptr) sqlite3_close(db_);
  db_ = nullptr;
}

std::string LibraryIndex::DatabasePath(const std::string& cacheFolder, const std::string& folder) {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(folder, ec);
  const std::string key = ec ? folder : canonical.string();
  return cacheFolder + "/library-" + NameFor(key) + ".sqlite";
}

bool LibraryIndex::OpenDatabase(const std::string& path, IndexReport& report) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    Close();
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
      report.error = "cannot open the library index " + path;
      Close();
      return false;
    }
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    // Large pages hold a member's values whole, and a mapped file is read
    // without a system call a page: loading 10,000 members is one pass
    // over memory. (The page size applies to a new database only.)
    Exec(db_, "PRAGMA page_size = 65536; PRAGMA mmap_size = 1073741824;");
    // Tables of another program's: a foreign database, not to be added to.
    bool ours = false;
    {
      Statement others(db_,
                       "SELECT count(*) FROM sqlite_master WHERE name NOT IN"
                       " ('meta', 'files') AND name NOT LIKE 'sqlite_autoindex_%'");
      ours = others.ok() && others.Step() == SQLITE_ROW && others.Int(0) == 0;
    }
    ours = ours && Exec(db_,
                        "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT);"
                        "CREATE TABLE IF NOT EXISTS files(path TEXT PRIMARY KEY, size INTEGER,"
                        " mtime INTEGER, state INTEGER, title TEXT, first INTEGER, data BLOB,"
                        " reason TEXT);");
    // A new index gets its version; two programs making it at once both
    // find the one that was written first.
    ours = ours && Exec(db_, "INSERT OR IGNORE INTO meta(key, value) VALUES('version', '" +
                                 std::string(kSchemaVersion) + "')");
    if (ours) {
      Statement version(db_, "SELECT value FROM meta WHERE key = 'version'");
      ours = version.ok() && version.Step() == SQLITE_ROW && version.Text(0) == kSchemaVersion;
    }
    if (ours) return true;
    // Not an index of ours, or damaged: never trusted, set aside and built anew.
    Close();
    const std::string aside = path + ".damaged";
    std::error_code ec;
    fs::rename(path, aside, ec);
    if (ec) fs::remove(path, ec);
    report.note = "The library index " + path + " could not be read; it was set aside as " + aside +
                  " and is built anew.";
  }
  report.error = "cannot build the library index " + path;
  return false;
}

IndexReport LibraryIndex::Update(const std::string& folder, const std::string& cacheFolder,
                                 const std::function<bool(int, int)>& progress) {
  IndexReport report;
  members_.clear();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    report.error = "not a folder: " + folder;
    return report;
  }
  fs::create_directories(cacheFolder, ec);
  if (!OpenDatabase(DatabasePath(cacheFolder, folder), report)) return report;

  std::unordered_map<std::string, Seen> known;
  {
    Statement rows(db_, "SELECT path, size, mtime, state FROM files");
    while (rows.ok() && rows.Step() == SQLITE_ROW) {
      known[rows.Text(0)] = {rows.Int(1), rows.Int(2), static_cast<int>(rows.Int(3))};
    }
  }

  // What is new or changed since the last update.
  std::vector<Candidate> changed;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(folder, options, ec), end; !ec && it != end;
       it.increment(ec)) {
    // One stat a file for its kind, size and time.
    const std::string path = it->path().string();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    const auto size = static_cast<int64_t>(info.st_size);
    const int64_t mtime =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    auto found = known.find(path);
    if (found != known.end() && found->second.size == size && found->second.mtime == mtime) {
      found->second.present = true;
      continue;
    }
    if (found != known.end()) found->second.present = true;
    changed.push_back({path, size, mtime});
  }
  std::sort(changed.begin(), changed.end(),
            [](const Candidate& a, const Candidate& b) { return a.path < b.path; });

  Exec(db_, "BEGIN IMMEDIATE");
  {
    Statement drop(db_, "DELETE FROM files WHERE path = ?");
    for (const auto& [path, seen] : known) {
      if (seen.present) continue;
      drop.Bind(1, path);
      drop.Step();
      drop.Reset();
      if (seen.state == kMember) ++report.removed;
    }
  }

  Statement put(db_,
                "INSERT OR REPLACE INTO files(path, size, mtime, state, title, first, data, reason)"
                " VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
  Spectrum spectrum;
  int done = 0;
  for (const Candidate& c : changed) {
    if (progress && !progress(done, static_cast<int>(changed.size()))) {
      report.cancelled = true;
      break;
    }
    int state = kIgnored;
    std::string title, reason;
    MatchProfile prepared;
    if (const FileKindInfo* kind = ClassifyFile(c.path, FirstBytes(c.path))) {
      const LoadResult result = LoadSpectrumFile(c.path, *kind, spectrum);
      if (result.loaded()) {
        prepared = MakeMatchProfile(spectrum);
        state = prepared.Empty() ? kSkipped : kMember;
        title = spectrum.ShortComment;
        if (prepared.Empty()) reason = kOutsideGrid;
        report.read += state == kMember;
      } else {
        state = kSkipped;
        reason = result.refusal.empty() ? "not read" : result.refusal;
      }
    }
    put.Bind(1, c.path);
    put.Bind(2, c.size);
    put.Bind(3, c.mtime);
    put.Bind(4, static_cast<int64_t>(state));
    put.Bind(5, title);
    put.Bind(6, static_cast<int64_t>(prepared.first));
    put.BindBlob(7, prepared.values.data(), prepared.values.size() * sizeof(int16_t));
    put.Bind(8, reason);
    put.Step();
    put.Reset();
    if (++done % kFilesPerTransaction == 0) {
      Exec(db_, "COMMIT");
      Exec(db_, "BEGIN IMMEDIATE");
    }
  }
  Exec(db_, "COMMIT");

  Statement rows(db_,
                 "SELECT path, state, title, first, data, reason FROM files"
                 " WHERE state != 2 ORDER BY path");
  while (rows.ok() && rows.Step() == SQLITE_ROW) {
    if (rows.Int(1) == kSkipped) {
      report.skippedFiles.push_back({rows.Text(0), rows.Text(5)});
      continue;
    }
    LibraryMember member{rows.Text(0), rows.Text(2), {}};
    member.prepared.first = static_cast<int>(rows.Int(3));
    const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(rows.get(), 4));
    member.prepared.values.resize(bytes / sizeof(int16_t));
    if (bytes >= sizeof(int16_t)) {
      std::memcpy(member.prepared.values.data(), sqlite3_column_blob(rows.get(), 4),
                  member.prepared.values.size() * sizeof(int16_t));
    }
    // A member's grid range must lie on the grid: anything else is not ours.
    if (member.prepared.first < 0 || member.prepared.Last() >= kGridPoints) continue;
    members_.push_back(std::move(member));
  }
  report.skipped = static_cast<int>(report.skippedFiles.size());
  report.members = static_cast<int>(members_.size());
  return report;
}

std::vector<LibraryHit> LibraryIndex::Search(const MatchProfile& query, int count) const {
  std::vector<LibraryHit> hits;
  for (const LibraryMember& member : members_) {
    const double quality = HitQuality(query, member.prepared);
    if (quality >= 0) hits.push_back({quality, &member});
  }
  const auto better = [](const LibraryHit& a, const LibraryHit& b) {
    return a.quality != b.quality ? a.quality > b.quality : a.member->path < b.member->path;
  };
  const auto keep =
      std::min<std::size_t>(hits.size(), static_cast<std::size_t>(std::max(count, 0)));
  std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(keep), hits.end(),
                    better);
  hits.resize(keep);
  return hits;
}

}  // namespace tesvar
