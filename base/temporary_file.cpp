#include "base/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/console.h"

namespace {

const char* const kTemporaryMark = ".tmp-";
constexpr size_t kTemporaryRoom = 32;  // the mark, a process id, '-' and a serial number

// The start of the hidden names of the temporaries of the file called
// `name`: "." and the name, or, where that would leave too little of the most
// a name may hold, its start and a hash of the whole name (so the stem is
// still the file's own).
std::string hiddenStem(const std::string& name) {
  const std::string stem = "." + name;
  if (stem.size() + kTemporaryRoom <= NAME_MAX) return stem;
  char hash[24];
  std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(nameHash(name)));
  return stem.substr(0, NAME_MAX - kTemporaryRoom - std::strlen(hash)) + hash;
}

// Removes the files in `folder` named `prefix`, a process id, then anything,
// whose process is no longer running.
void removeDeadWritersFiles(const std::string& folder, const std::string& prefix) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string entryName = entry->d_name;
    if (entryName.compare(0, prefix.size(), prefix) != 0) continue;
    const char* const digits = entryName.c_str() + prefix.size();
    if (*digits < '0' || *digits > '9') continue;
    const long writer = std::strtol(digits, nullptr, 10);
    const bool writerGone = writer <= 0 || (kill(static_cast<pid_t>(writer), 0) != 0 && errno == ESRCH);
    if (writerGone) unlink((folder + "/" + entryName).c_str());
  }
  closedir(dir);
}

// The file's bytes on the disk, or (for a folder) its names.
bool sync(const std::string& path, int flags) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  const int saved = errno;
  const bool closed = close(fd) == 0;
  if (!synced) errno = saved;
  return synced && closed;
}

}  // namespace

void splitPath(const std::string& path, std::string* folder, std::string* name) {
  const size_t slash = path.rfind('/');
  *folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link to a link to the table writes the table, and the links stay.
std::string linkTarget(const std::string& path) {
  constexpr int kMostLinks = 40;  // as the kernel allows
  std::string target = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    struct stat status {};
    if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    char link[PATH_MAX];
    const ssize_t length = readlink(target.c_str(), link, sizeof link);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof link) break;
    const std::string to(link, static_cast<size_t>(length));
    if (to[0] == '/') {
      target = to;
    } else {
      std::string folder, name;
      splitPath(target, &folder, &name);
      target = folder + "/" + to;
    }
  }
  return target;
}

TemporaryFile::TemporaryFile(const std::string& path) : target_(linkTarget(path)) {
  std::string name;
  splitPath(target_, &folder_, &name);
  named_ = !name.empty();
  const std::string marked = hiddenStem(name) + kTemporaryMark;
  removeDeadWritersFiles(folder_, marked);
  static std::atomic<unsigned> serial{0};
  path_ = folder_ + "/" + marked + std::to_string(getpid()) + "-" + std::to_string(++serial);
}

TemporaryFile::~TemporaryFile() {
  if (!placed_) remove();
}

bool TemporaryFile::replaceTarget() {
  // The player may have made the file private (or shared it): it stays so.
  struct stat old {};
  if (stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) chmod(path_.c_str(), old.st_mode & 07777);
  if (!sync(path_, 0) || std::rename(path_.c_str(), target_.c_str()) != 0) {
    const int saved = errno;
    remove();
    errno = saved;
    return false;
  }
  placed_ = true;
  // The rename itself is kept on disk only once the folder is.
  sync(folder_, O_DIRECTORY);
  return true;
}

void TemporaryFile::remove() {
  if (!placed_) unlink(path_.c_str());
}
