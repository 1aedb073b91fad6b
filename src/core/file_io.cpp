#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tesvar {

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  ReadWholeFileInto(path, bytes);
  return bytes;
}

void ReadWholeFileInto(const std::string& path, std::string& bytes) {
  // Only regular files are read: a folder, a FIFO or a device in a file's
  // place is no spectrum, and would hang the reader (opening a FIFO waits
  // for a writer, hence O_NONBLOCK until the check) or feed it without end.
  // It is refused as "File access denied".
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw IoError(IoError::FromErrno(errno), path);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw IoError(kAccessDenied, path);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // The bytes go straight into the string, sized by the file (one byte
  // more, to see the end at once) and grown should the file have grown
  // since.
  bytes.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096);
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(2 * bytes.size());
    ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw IoError(IoError::FromErrno(err), path);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void WriteFileReplacing(const std::string& path, const std::string& bytes) {
  struct stat target {};
  bool targetExists = ::stat(path.c_str(), &target) == 0;
  if (targetExists && S_ISDIR(target.st_mode)) throw CannotCreateError(kAccessDenied, path);
  // A read-only target is refused, although the rename could replace it:
  // the file's owner made it read-only so that it is not overwritten.
  if (targetExists && ::access(path.c_str(), W_OK) != 0) {
    throw CannotCreateError(IoError::FromErrno(errno), path);
  }

  std::size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  // The temporary name adds 8 bytes to the file name; a name near the
  // 255-byte limit of a directory entry is shortened in it, so that a file
  // the system can hold can also be saved.
  constexpr std::size_t kMaxTempBase = 255 - 8;
  std::string temp = dir + "." + base.substr(0, kMaxTempBase) + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw CannotCreateError(IoError::FromErrno(errno), path);

  // mkstemp creates with 0600; give the file the mode a plain create would
  // (or the replaced file's mode).
  mode_t mode;
  if (targetExists) {
    mode = target.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw IoError(IoError::FromErrno(err), path);
  };
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    throw IoError(IoError::FromErrno(err), path);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    throw IoError(IoError::FromErrno(err), path);
  }
}

}  // namespace tesvar
