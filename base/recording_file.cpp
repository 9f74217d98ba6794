#include "base/recording_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/files.h"

RecordingFile::~RecordingFile() {
  if (fd >= 0) ::close(fd);
}

bool RecordingFile::open(const std::string& where, std::string* why) {
  path = where;
  // Not truncated here: an old recording is replaced only once there is a
  // run to put in its place. Non-blocking, so a pipe with no reader fails
  // (ENXIO) instead of holding the game before its window opens.
  const int flags = O_WRONLY | O_NONBLOCK | O_CLOEXEC;
  fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    *why = errno == ENXIO ? "no program reads from that pipe" : std::strerror(errno);
    return false;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0) {
    *why = std::strerror(errno);
    abandon();
    return false;
  }
  seekable = S_ISREG(status.st_mode);
  // A reader that is slow to take the lines slows the writer, as any pipe does.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return true;
}

void RecordingFile::abandon() {
  if (fd < 0) return;
  ::close(fd);
  fd = -1;
  if (created) unlink(path.c_str());
}

void RecordingFile::add(const std::string& lines) {
  if (fd >= 0 && !failed) pending += lines;
}

bool RecordingFile::put(const std::string& lines, long long at) { return writeAllOf(fd, lines, seekable ? at : -1); }

void RecordingFile::stopAfterFailure() {
  const int error = errno;
  failed = true;
  pending.clear();
  // The closing line goes back where it was, over whatever part of the new
  // lines reached the disk: those bytes are the file's already, so this
  // needs no room the disk lacks.
  if (seekable && started) {
    put(closingOnDisk, kept);
    if (ftruncate(fd, kept + static_cast<long long>(closingOnDisk.size())) != 0) {
      // Nothing more can be done: the lines before the closing one are whole.
    }
  }
  errno = error;
}

bool RecordingFile::flush(const std::string& closing) {
  if (fd < 0 || failed) {
    errno = failed ? EIO : EBADF;
    return false;
  }
  if (!started) {
    started = true;
    if (seekable && ftruncate(fd, 0) != 0) {
      stopAfterFailure();
      return false;
    }
  }
  if (!seekable) {
    if (!put(pending, 0)) {
      stopAfterFailure();
      return false;
    }
    kept += static_cast<long long>(pending.size());
    pending.clear();
    return true;
  }
  if (!put(pending + closing, kept)) {
    stopAfterFailure();
    return false;
  }
  kept += static_cast<long long>(pending.size());
  pending.clear();
  closingOnDisk = closing;
  // A closing line shorter than the last one leaves none of it behind.
  if (ftruncate(fd, kept + static_cast<long long>(closing.size())) != 0) {
    stopAfterFailure();
    return false;
  }
  return true;
}

bool RecordingFile::close(const std::string& closing) {
  if (fd < 0) {
    errno = EBADF;
    return false;
  }
  bool ok = flush(closing);
  if (ok && !seekable) {
    ok = put(closing, 0);
    if (!ok) stopAfterFailure();
  }
  const int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
  } else {
    errno = error;
  }
  fd = -1;
  return ok;
}
