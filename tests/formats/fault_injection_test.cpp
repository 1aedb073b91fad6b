// The file system failing under the readers and writers.
//
// Writing onto a full disk (a 64 KB tmpfs of the test's own, tests/full_disk.h):
// every writer refuses with the generic report of "Disk full", and the file
// it was to replace keeps every byte, with no temporary file left beside it.
//
// Reading a file that vanished or turned unreadable between the file dialog
// and the read: the SP reader ends with the I/O error of the generic error
// report, the imports with "File read error!", and the spectrum in memory is
// the one that was there before.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/file_io.h"
#include "core/io_error.h"
#include "core/messages.h"
#include "core/spectrum.h"
#include "formats/ascii_list.h"
#include "formats/jcamp_reader.h"
#include "formats/sp_file.h"
#include "full_disk.h"
#include "output/writers.h"
#include "plot/peak_labels.h"
#include "reader_fixture.h"
#include "test_support.h"

namespace tesvar {
namespace {

// A spectrum of 3000 points: every export of it is larger than the disk.
Spectrum ShownSpectrum() {
  Spectrum s;
  s.IdentLine = "PE IR       SPECTRUM";
  s.AcqDate = "01/02/03";
  s.AcqTime = "10:11:12.00";
  s.OperatorName = "tester";
  s.SetComment("shown before the failure");
  s.FirstX = s.XStart = 4000;
  s.LastX = s.XEnd = 1001;
  s.NPoints = 3000;
  s.LastIndex = 2999;
  s.XStep = 1;
  s.DeltaX = -1;
  s.NScans = 4;
  s.YScale = kPercentYScale;
  for (int i = 0; i < s.NPoints; ++i) s.TransY[i] = 0.5f + 0.0001f * static_cast<float>(i % 97);
  s.DataLoaded = s.YConverted = true;
  return s;
}

using test::Contents;

struct Writer {
  const char* name;
  FileKind kind;  // written through its row of the writers table

  SaveResult Write(const std::string& path, Spectrum& s) const {
    static const LabelList labels;
    return WriteSpectrum(kind, path, {.spectrum = s, .labels = labels, .grid = true});
  }
};

std::vector<Writer> AllWriters() {
  return {
      {"shown.sp", FileKind::kSp},
      {"fix.jdx", FileKind::kJcampFix},
      {"difdup.jdx", FileKind::kJcampDifDup},
      {"list.asc", FileKind::kAsciiList},
      {"plot.plt", FileKind::kHpgl},
      {"plot.svg", FileKind::kSvg},
  };
}

TEST(FaultInjection, SavingOntoAFullDiskKeepsTheOldFile) {
  test::FullDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  for (const Writer& w : AllWriters()) {
    test::WriteFile(disk.Path(w.name), std::string("the old ") + w.name);
  }
  ASSERT_TRUE(disk.Fill());
  const std::set<std::string> before = disk.Names();

  for (const Writer& w : AllWriters()) {
    Spectrum s = ShownSpectrum();
    const SaveResult result = w.Write(disk.Path(w.name), s);
    EXPECT_EQ(result.outcome, SaveOutcome::kWriteFailed) << w.name;
    EXPECT_EQ(result.refusal, GenericReportText(IoError::TextFor(kDiskFull))) << w.name;
    EXPECT_EQ(result.refusal, "Disk full.") << w.name;
    // The file could be created: no "Could not create file" box.
    EXPECT_TRUE(result.refusalIsReport) << w.name;
    EXPECT_EQ(test::ReadFile(disk.Path(w.name)), std::string("the old ") + w.name) << w.name;
    EXPECT_EQ(disk.Names(), before) << w.name << " left a file behind";
  }
}

TEST(FaultInjection, SavingOntoAFullDiskCreatesNothing) {
  test::FullDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  ASSERT_TRUE(disk.Fill());
  for (const Writer& w : AllWriters()) {
    Spectrum s = ShownSpectrum();
    EXPECT_FALSE(w.Write(disk.Path(w.name), s).saved()) << w.name;
    EXPECT_EQ(disk.Names(), std::set<std::string>{"filler"}) << w.name;
  }
}

// Nothing of a failed save stays in the way of the next one.
TEST(FaultInjection, SavingWorksAgainOnceThereIsRoom) {
  test::FullDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
  Spectrum s = ShownSpectrum();
  s.NPoints = 40;
  s.LastIndex = 39;
  test::WriteFile(disk.Path("shown.sp"), "the old shown.sp");
  ASSERT_TRUE(disk.Fill());
  EXPECT_EQ(WriteSpFile(disk.Path("shown.sp"), s).outcome, SaveOutcome::kWriteFailed);
  ASSERT_EQ(::unlink(disk.Path("filler").c_str()), 0);
  ASSERT_TRUE(WriteSpFile(disk.Path("shown.sp"), s).saved());
  Spectrum back;
  RecordedMessages messages;
  ASSERT_TRUE(ReadSpFile(disk.Path("shown.sp"), back).loaded());
  EXPECT_EQ(back.NPoints, 40);
}

// A file name of 255 bytes, the most a folder entry holds: the temporary
// file beside it, "." + name + ".XXXXXX", was too long to be made, and the
// save failed with "Could not create file" for a file the disk could hold.
TEST(FaultInjection, SavingUnderTheLongestFileName) {
  const std::string path = test::MakeTempDir() + "/" + std::string(252, 'x') + ".sp";
  Spectrum s = ShownSpectrum();
  ASSERT_TRUE(WriteSpFile(path, s).saved());
  Spectrum back;
  RecordedMessages messages;
  ASSERT_TRUE(ReadSpFile(path, back).loaded());
  EXPECT_EQ(back.NPoints, s.NPoints);
}

// How a file chosen in the dialog can be gone or unreadable by the time the
// reader opens it, and the I/O error each gives.
struct ReadFault {
  const char* name;
  std::function<std::string(const std::string& dir)> make;  // the path to read
  int code;
};

std::vector<ReadFault> ReadFaults(const std::string& extension) {
  std::vector<ReadFault> faults = {
      {"Vanished", [=](const std::string& dir) { return dir + "/gone" + extension; },
       kFileNotFound},
      {"FolderInItsPlace",
       [=](const std::string& dir) {
         std::string path = dir + "/folder" + extension;
         ::mkdir(path.c_str(), 0755);
         return path;
       },
       kAccessDenied},
      {"FolderTurnedFile",
       [=](const std::string& dir) {
         test::WriteFile(dir + "/was_a_folder", "");
         return dir + "/was_a_folder/x" + extension;
       },
       kPathNotFound},
      // Opens, then every read fails: page 0 of the process's own memory is
      // never mapped. The error code is the system's (EIO, 5), which must
      // not read as the report's own code 5, "File access denied".
      {"ReadError",
       [=](const std::string& dir) {
         std::string path = dir + "/unreadable" + extension;
         (void)::symlink("/proc/self/mem", path.c_str());
         return path;
       },
       kDeviceFailure},
  };
  // A FIFO's open used to wait for a writer that never came, and a device
  // feeds the reader without end: both hung the program. Neither is a
  // file, and both are refused like a folder. (An alarm ends a test that
  // hangs here.)
  faults.push_back({"FifoInItsPlace",
                    [=](const std::string& dir) {
                      std::string path = dir + "/fifo" + extension;
                      ::mkfifo(path.c_str(), 0644);
                      return path;
                    },
                    kAccessDenied});
  faults.push_back({"DeviceInItsPlace",
                    [=](const std::string& dir) {
                      std::string path = dir + "/zero" + extension;
                      (void)::symlink("/dev/zero", path.c_str());
                      return path;
                    },
                    kAccessDenied});
  // Root reads a file whatever its permissions say.
  if (::geteuid() != 0) {
    faults.push_back({"NoPermission",
                      [=](const std::string& dir) {
                        std::string path = dir + "/locked" + extension;
                        test::WriteFile(path, "PE IR");
                        ::chmod(path.c_str(), 0);
                        return path;
                      },
                      kAccessDenied});
  }
  return faults;
}

TEST(FaultInjection, SpFileGoneOrUnreadableKeepsTheSpectrum) {
  ::alarm(20);
  std::string dir = test::MakeTempDir();
  for (const ReadFault& f : ReadFaults(".sp")) {
    Spectrum s = ShownSpectrum();
    const Spectrum before = s;
    RecordedMessages messages;
    EXPECT_FALSE(test::Told(ReadSpFile(f.make(dir), s), messages)) << f.name;
    EXPECT_EQ(messages.reports,
              std::vector<std::string>{GenericReportText(IoError::TextFor(f.code))})
        << f.name;
    EXPECT_TRUE(Contents(s) == Contents(before)) << f.name;
    EXPECT_TRUE(s.DataLoaded) << f.name;
    EXPECT_TRUE(messages.errors.empty()) << f.name;
  }
  ::alarm(0);
}

TEST(FaultInjection, ImportGoneOrUnreadableKeepsTheSpectrum) {
  using Import = LoadResult (*)(const std::string&, Spectrum&);
  const std::vector<std::tuple<const char*, const char*, Import>> imports = {
      {"JCAMP-DX", ".jdx", &ReadJcampFile},
      {"ASCII", ".asc", &ReadAsciiList},
  };
  ::alarm(20);
  std::string dir = test::MakeTempDir();
  for (const auto& [kind, extension, import] : imports) {
    for (const ReadFault& f : ReadFaults(extension)) {
      Spectrum s = ShownSpectrum();
      const Spectrum before = s;
      RecordedMessages messages;
      EXPECT_FALSE(test::Told(import(f.make(dir), s), messages)) << kind << " " << f.name;
      EXPECT_EQ(messages.errors, std::vector<std::string>{"File read error!"})
          << kind << " " << f.name;
      EXPECT_TRUE(Contents(s) == Contents(before)) << kind << " " << f.name;
      EXPECT_TRUE(s.DataLoaded) << kind << " " << f.name;
    }
  }
  ::alarm(0);
}

}  // namespace
}  // namespace tesvar
