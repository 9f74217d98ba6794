#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::FILE* openRegularFile(const char* path, long long* bytes) {
  if (path == nullptr) return nullptr;
  // Non-blocking, so that opening a pipe with no writer returns at once; the
  // kind of file is then read from what was opened, not from the name again.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return nullptr;
  }
  if (bytes != nullptr) *bytes = static_cast<long long>(status.st_size);
  return file;
}

bool writeAllOf(int fd, const std::string& bytes, long long at) {
  size_t done = 0;
  while (done < bytes.size()) {
    const char* from = bytes.data() + done;
    const size_t left = bytes.size() - done;
    const ssize_t wrote = at < 0 ? write(fd, from, left) : pwrite(fd, from, left, at + static_cast<long long>(done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      if (wrote == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  return true;
}

bool sameFile(const char* a, const char* b) {
  struct stat first {}, second {};
  return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}
