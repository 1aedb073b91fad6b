// A tiny file system of its own for the tests of writing onto a full disk:
// a 64 KB tmpfs mounted on a fresh temporary folder, which the test fills
// up after putting the files it wants there. Mounting needs root (or
// CAP_SYS_ADMIN); where it is refused, Mounted() is false and Why() says
// why, and the test skips.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "test_support.h"

namespace tesvar::test {

class FullDisk {
 public:
  FullDisk() : dir_(MakeTempDir()) {
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0) {
      mounted_ = true;
    } else {
      why_ = std::string("mount -t tmpfs failed: ") + std::strerror(errno) +
             " (the full-disk tests need root)";
    }
  }
  ~FullDisk() {
    // Detached, so that a file a failed test left open cannot keep it.
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Takes every free block with the file "filler"; true when the file
  // system then refused a write for want of space.
  bool Fill() {
    int fd = ::open(Path("filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return false;
    char block[4096] = {};
    bool full = false;
    for (;;) {
      // A short write takes the last free bytes; the next one fails.
      if (::write(fd, block, sizeof block) >= 0 || errno == EINTR) continue;
      full = errno == ENOSPC;
      break;
    }
    ::close(fd);
    return full;
  }

  // The names in the folder (without "." and ".."): what a failed save
  // must leave behind is exactly what was there before.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    if (DIR* d = ::opendir(dir_.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.insert(name);
      }
      ::closedir(d);
    }
    return names;
  }

 private:
  std::string dir_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace tesvar::test
