#include "library/library_index.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>

#include "core/spectrum.h"
#include "formats/ascii_list_writer.h"
#include "formats/jcamp_writer.h"
#include "formats/sp_file.h"
#include "test_support.h"

namespace tesvar {
namespace {

namespace fs = std::filesystem;

// 1801 points from 4000 to 400 1/cm with one band at `centre`.
Spectrum WithBand(double centre, const std::string& title) {
  Spectrum s;
  s.IdentLine = kImportIdentLine;
  s.NPoints = 1801;
  s.LastIndex = 1800;
  s.XStart = s.FirstX = 4000;
  s.XStep = 2;
  s.DeltaX = -2;
  s.XEnd = s.LastX = 400;
  s.NScans = 1;
  for (int i = 0; i <= s.LastIndex; ++i) {
    const double x = s.PointX(i);
    const double a = 0.05 + std::exp(-std::pow((x - centre) / 20, 2)) +
                     0.5 * std::exp(-std::pow((x - centre / 2) / 30, 2));
    s.TransY[i] = static_cast<float>(std::pow(10.0, -a));
  }
  s.SetComment(title);
  s.DataLoaded = s.YConverted = true;
  return s;
}

// Makes the file look changed to an update, whatever the clock's grain.
void Touch(const std::string& path, int seconds) {
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(seconds));
}

class LibraryIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = test::MakeTempDir();
    lib = root + "/refs";
    cache = root + "/cache";
    fs::create_directories(lib + "/polymers");
    Spectrum a = WithBand(2900, "hydrocarbon");
    test::WriteFile(lib + "/polymers/a.sp", BuildSpBytes(a));
    test::WriteFile(lib + "/b.jdx", BuildJcampText(WithBand(1700, "carbonyl"), JcampForm::kDifDup));
    ASSERT_TRUE(WriteAsciiListFile(lib + "/c.asc", WithBand(1100, "")).saved());
    test::WriteFile(lib + "/broken.sp", "not a spectrum");
    test::WriteFile(lib + "/photo.png", "\x89PNG\r\n\x1a\n");
  }

  IndexReport Update(LibraryIndex& index) { return index.Update(lib, cache); }

  std::string root, lib, cache;
};

TEST_F(LibraryIndexTest, UpdateRules) {
  LibraryIndex index;
  struct Expected {
    int read, skipped, removed, members;
  };
  const auto check = [&](const char* step, const Expected& e) {
    SCOPED_TRACE(step);
    const IndexReport r = Update(index);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.note, "");
    EXPECT_EQ(r.read, e.read);
    EXPECT_EQ(r.skipped, e.skipped);
    EXPECT_EQ(r.removed, e.removed);
    EXPECT_EQ(r.members, e.members);
    EXPECT_EQ(static_cast<int>(index.Members().size()), e.members);
  };
  check("from scratch", {3, 1, 0, 3});
  ASSERT_EQ(index.Members()[0].path, lib + "/b.jdx");  // in path order
  EXPECT_EQ(index.Members()[0].title, "carbonyl");
  check("nothing changed", {0, 1, 0, 3});

  test::WriteFile(lib + "/c.asc", test::ReadFile(lib + "/c.asc") + "\r\n");
  Touch(lib + "/c.asc", 5);
  check("a member changed", {1, 1, 0, 3});
  Spectrum added = WithBand(3300, "OH");
  test::WriteFile(lib + "/new.sp", BuildSpBytes(added));
  check("a new member", {1, 1, 0, 4});
  fs::remove(lib + "/new.sp");
  check("a member gone", {0, 1, 1, 3});
  test::WriteFile(lib + "/polymers/a.sp", "damaged since");
  Touch(lib + "/polymers/a.sp", 5);
  check("a member that became unreadable", {0, 2, 0, 2});
  const IndexReport r = Update(index);
  ASSERT_EQ(r.skippedFiles.size(), 2u);
  EXPECT_EQ(r.skippedFiles[0].path, lib + "/broken.sp");
  EXPECT_NE(r.skippedFiles[0].reason, "");
}

// A damaged or foreign database is set aside, never trusted, and built anew.
TEST_F(LibraryIndexTest, DamagedOrForeignDatabase) {
  const std::string db = LibraryIndex::DatabasePath(cache, lib);
  EXPECT_EQ(db.rfind(cache + "/library-", 0), 0u);
  // Another program's database, made with SQLite itself.
  const std::string foreignDb = root + "/foreign.sqlite";
  {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(foreignDb.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
  }
  for (const std::string& content :
       {std::string(4096, 'x'), std::string("SQLite format 3") + std::string(200, '\0'),
        test::ReadFile(foreignDb)}) {
    fs::create_directories(cache);
    test::WriteFile(db, content);
    LibraryIndex index;
    const IndexReport r = Update(index);
    EXPECT_EQ(r.error, "");
    EXPECT_NE(r.note.find("set aside"), std::string::npos) << r.note;
    EXPECT_TRUE(fs::exists(db + ".damaged"));
    EXPECT_EQ(test::ReadFile(db + ".damaged"), content);
    EXPECT_EQ(r.members, 3);
    fs::remove(db);
    fs::remove(db + ".damaged");
  }
}

// Indexing stopped halfway keeps what it finished; the next update reads
// only the rest.
TEST_F(LibraryIndexTest, InterruptedIndexingKeepsItsWork) {
  LibraryIndex index;
  int calls = 0;
  IndexReport r = index.Update(lib, cache, [&](int done, int total) {
    EXPECT_EQ(total, 5);  // every new file, members or not
    ++calls;
    return done < 2;
  });
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(r.members + r.skipped, 2);
  LibraryIndex again;
  r = Update(again);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(r.members, 3);
  EXPECT_LE(r.read, 3);
  EXPECT_GE(r.read, 1);
}

// Two programs indexing one library at once: SQLite's locking makes the
// second wait for the first's transactions; both end with every member and
// the index stays readable.
TEST_F(LibraryIndexTest, TwoUpdatesAtOnce) {
  for (int k = 0; k < 40; ++k) {
    Spectrum s = WithBand(1000 + 50 * k, "band " + std::to_string(k));
    test::WriteFile(lib + "/many" + std::to_string(k) + ".sp", BuildSpBytes(s));
  }
  IndexReport first, second;
  {
    LibraryIndex a, b;
    std::thread one([&] { first = a.Update(lib, cache); });
    std::thread two([&] { second = b.Update(lib, cache); });
    one.join();
    two.join();
  }
  for (const IndexReport* r : {&first, &second}) {
    EXPECT_EQ(r->error, "");
    EXPECT_EQ(r->note, "");
    EXPECT_EQ(r->members, 43);
  }
  LibraryIndex after;
  const IndexReport r = Update(after);
  EXPECT_EQ(r.read, 0);
  EXPECT_EQ(r.members, 43);
}

TEST_F(LibraryIndexTest, SearchFindsTheSpectrumItselfFirst) {
  LibraryIndex index;
  ASSERT_EQ(Update(index).members, 3);
  Spectrum query = WithBand(1700, "the same carbonyl, read from another kind");
  const std::vector<LibraryHit> hits = index.Search(MakeMatchProfile(query), 10);
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].member->path, lib + "/b.jdx");
  EXPECT_GE(hits[0].quality, 99.95);  // 100.0 to one decimal, across file kinds
  EXPECT_LT(hits[1].quality, hits[0].quality);
  EXPECT_EQ(index.Search(MakeMatchProfile(query), 1).size(), 1u);
  EXPECT_TRUE(index.Search(MakeMatchProfile(query), 0).empty());
}

}  // namespace
}  // namespace tesvar
