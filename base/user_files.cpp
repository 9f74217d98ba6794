#include "base/user_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <climits>

#include "base/console.h"
#include "base/files.h"

namespace {

const char* const kGameFolder = "nombre";
// A temporary is named ".<file>.tmp-<pid>-<n>": hidden, beside the file it
// will replace (a rename only stays atomic within one file system), and
// carrying the writer's process id so that a leftover can be told from a
// write still under way in another copy of the game.
const char* const kTemporaryMark = ".tmp-";
constexpr size_t kTemporaryRoom = 32;  // the mark, a process id and a serial number

std::string folderFrom(const char* xdgVariable, const char* underHome) {
  const char* xdg = std::getenv(xdgVariable);
  // The rules say a relative path in these variables is to be ignored.
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/" + kGameFolder;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/" + underHome + "/" + kGameFolder;
  return "";
}

std::string reason(const std::string& what) { return what + ": " + std::strerror(errno); }

void splitPath(const std::string& path, std::string* folder, std::string* name) {
  const size_t slash = path.rfind('/');
  *folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

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

std::string hiddenStem(const std::string& name, size_t room) {
  const std::string stem = "." + name;
  if (stem.size() + room <= NAME_MAX) return stem;
  char hash[24];
  std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(nameHash(name)));
  return stem.substr(0, NAME_MAX - room - std::strlen(hash)) + hash;
}

// The file a write to `path` goes to: where a chain of symlinks at `path`
// ends (a link to a link to the table writes the table, and the links stay).
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

bool madeReadOnly(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && (status.st_mode & S_IWUSR) == 0;
}

std::string whyNoUserFolder(const char* xdgVariable) {
  const char* xdg = std::getenv(xdgVariable);
  const char* home = std::getenv("HOME");
  if ((xdg != nullptr && xdg[0] == '/') || (home != nullptr && home[0] != '\0')) return "";
  const std::string variable = xdgVariable;
  if (xdg == nullptr || xdg[0] == '\0') return "neither " + variable + " nor HOME is set";
  return variable + " is relative and HOME is not set";
}

std::string userDataFolder() { return folderFrom("XDG_DATA_HOME", ".local/share"); }

std::string userConfigFolder() { return folderFrom("XDG_CONFIG_HOME", ".config"); }

std::string userStateFolder() { return folderFrom("XDG_STATE_HOME", ".local/state"); }

bool makeFolders(const std::string& folder, std::string* why) {
  if (folder.empty()) {
    if (why != nullptr) *why = "no folder";
    return false;
  }
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      if (why != nullptr) *why = reason("cannot make " + quotedPath(part));
      return false;
    }
    if (slash == std::string::npos) break;
  }
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    if (why != nullptr) *why = quotedPath(folder) + " is not a folder";
    return false;
  }
  return true;
}

bool readFileWhole(const std::string& path, std::string* contents, long long largest, bool* tooLarge) {
  long long bytes = 0;
  contents->clear();
  if (tooLarge != nullptr) *tooLarge = false;
  std::FILE* file = openRegularFile(path.c_str(), &bytes);
  if (file == nullptr) return false;
  if (largest >= 0 && bytes > largest) {
    if (tooLarge != nullptr) *tooLarge = true;
    std::fclose(file);
    return false;
  }
  // Room for the whole file at once: its text is the one copy held.
  if (bytes > 0 && (largest < 0 || bytes <= largest)) contents->reserve(static_cast<size_t>(bytes) + 1);
  char buffer[4096];
  size_t got = 0;
  bool grew = false;  // past `largest` since its size was taken
  while (!grew && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    contents->append(buffer, got);
    grew = largest >= 0 && static_cast<long long>(contents->size()) > largest;
  }
  if (grew && tooLarge != nullptr) *tooLarge = true;
  const bool ok = !grew && !std::ferror(file);
  std::fclose(file);
  return ok;
}

FileRead readPlayerFile(const std::string& path, long long maxBytes, std::string* contents, std::string* why) {
  contents->clear();
  // Non-blocking, so that a named pipe there does not hold the game up.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileRead::Missing;
    *why = std::strerror(errno);
    return FileRead::Unreadable;
  }
  struct stat status {};
  FileRead read = FileRead::Read;
  if (fstat(fd, &status) != 0) {
    *why = std::strerror(errno);
    read = FileRead::Unreadable;
  } else if (!S_ISREG(status.st_mode)) {
    *why = S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a plain file";
    read = FileRead::Unreadable;
  } else if (status.st_size > maxBytes) {
    read = FileRead::TooLarge;
  }
  // A file that grows while it is read is read no further than the limit.
  char buffer[4096];
  while (read == FileRead::Read) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *why = std::strerror(errno);
      read = FileRead::Unreadable;
    } else if (got == 0) {
      break;
    } else if (static_cast<long long>(contents->size()) + got > maxBytes) {
      read = FileRead::TooLarge;
    } else {
      contents->append(buffer, static_cast<size_t>(got));
    }
  }
  close(fd);
  if (read != FileRead::Read) contents->clear();
  return read;
}

bool writeFileWhole(const std::string& path, const std::string& contents, std::string* why) {
  std::string unused;
  if (why == nullptr) why = &unused;
  std::string folder, name;
  const std::string target = linkTarget(path);
  splitPath(target, &folder, &name);
  if (name.empty()) {
    *why = "no file name";
    return false;
  }
  if (!makeFolders(folder, why)) return false;
  const std::string stem = hiddenStem(name, kTemporaryRoom);
  removeDeadWritersFiles(folder, stem + kTemporaryMark);

  static std::atomic<unsigned> serial{0};
  const std::string temporary =
      folder + "/" + stem + kTemporaryMark + std::to_string(getpid()) + "-" + std::to_string(++serial);
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    *why = reason("cannot write in " + quotedPath(folder));
    return false;
  }
  // The player may have made the file private (or shared it): it stays so.
  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
  bool ok = writeAllOf(fd, contents) && fsync(fd) == 0;
  if (!ok) *why = reason("cannot write " + quotedPath(path));
  if (close(fd) != 0 && ok) {
    *why = reason("cannot write " + quotedPath(path));
    ok = false;
  }
  if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
    *why = reason("cannot replace " + quotedPath(target));
    ok = false;
  }
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  // The rename itself is kept on disk only once the folder is.
  const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    close(folderFd);
  }
  return true;
}

std::string moveAside(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = path + ".bad-" + stamp;
  for (int copy = 1; copy < 1000; ++copy) {
    const std::string aside = copy == 1 ? base : base + "-" + std::to_string(copy);
    // link fails where the name is taken, so nothing kept earlier is replaced.
    if (link(path.c_str(), aside.c_str()) == 0) {
      unlink(path.c_str());
      return aside;
    }
    if (errno == EEXIST) continue;
    // A file system without hard links: a rename, once the name is seen free.
    struct stat taken {};
    if (lstat(aside.c_str(), &taken) == 0) continue;
    return std::rename(path.c_str(), aside.c_str()) == 0 ? aside : "";
  }
  return "";
}

namespace {
bool saidCannotKeep = false;
}  // namespace

void cannotKeepPlayerFiles(const std::string& why) {
  if (saidCannotKeep) return;
  saidCannotKeep = true;
  std::fprintf(stderr, "nombre: cannot keep scores or settings (%s); the game plays on\n", why.c_str());
}

void cannotKeepPlayerFilesAgain() { saidCannotKeep = false; }
