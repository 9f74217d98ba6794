#include "base/user_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/console.h"
#include "base/files.h"
#include "base/temporary_file.h"

namespace {

const char* const kGameFolder = "nombre";

std::string folderFrom(const char* xdgVariable, const char* underHome) {
  const char* xdg = std::getenv(xdgVariable);
  // The rules say a relative path in these variables is to be ignored.
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/" + kGameFolder;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/" + underHome + "/" + kGameFolder;
  return "";
}

std::string reason(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

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
  TemporaryFile temporary(path);
  if (!temporary.named()) {
    *why = "no file name";
    return false;
  }
  if (!makeFolders(temporary.folder(), why)) return false;
  const int fd = open(temporary.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    *why = reason("cannot write in " + quotedPath(temporary.folder()));
    return false;
  }
  bool ok = writeAllOf(fd, contents) && fsync(fd) == 0;
  if (!ok) *why = reason("cannot write " + quotedPath(path));
  if (close(fd) != 0 && ok) {
    *why = reason("cannot write " + quotedPath(path));
    ok = false;
  }
  if (ok && !temporary.replaceTarget()) {
    *why = reason("cannot replace " + quotedPath(temporary.target()));
    ok = false;
  }
  return ok;
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
