#include "app/data_folder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/console.h"
#include "render/image.h"

namespace fs = std::filesystem;

namespace {

// The picture start-up reads first: a folder whose copy cannot be read (an
// empty or unreadable img/) would only stop the game, so it is passed over.
const char* const kStartUpPicture = "img/prueba.png";
const char* const kSoundFolder = "sound";
// The build tree keeps the generated data in run/ beside the executable.
const char* const kBuildRunFolder = "run";
// Set by the build from the install layout: the data folder as seen from the
// installed executable's folder, and its full configured path.
const char* const kDataFromBinary = NOMBRE_DATA_FROM_BIN;
const char* const kInstalledDataFolder = NOMBRE_DATA_DIR;

bool isFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool pictureReads(const fs::path& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = loadImagePixels(path.c_str(), &width, &height, &channels, 3);
  if (pixels == nullptr) return false;
  freeImagePixels(pixels);
  return true;
}

// The folder of the running executable, symbolic links resolved; empty if
// the system does not say.
std::string executableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.parent_path().string();
}

}  // namespace

std::vector<std::string> dataFolderCandidates(const std::string& exeDir) {
  std::vector<std::string> candidates;
  if (!exeDir.empty()) {
    const fs::path dir = fs::path(exeDir).lexically_normal();
    candidates.push_back(dir.string());
    candidates.push_back((dir / kBuildRunFolder).string());
    candidates.push_back((dir / kDataFromBinary).lexically_normal().string());
  }
  candidates.push_back(kInstalledDataFolder);
  return candidates;
}

std::string findDataFolder(const std::vector<std::string>& candidates) {
  for (const std::string& folder : candidates) {
    if (isFolder(fs::path(folder) / kSoundFolder) && pictureReads(fs::path(folder) / kStartUpPicture)) return folder;
  }
  return {};
}

bool enterDataFolder() {
  const std::vector<std::string> candidates = dataFolderCandidates(executableFolder());
  const std::string folder = findDataFolder(candidates);
  if (folder.empty()) {
    std::string looked;
    for (const std::string& candidate : candidates) looked += (looked.empty() ? "" : ", ") + quotedPath(candidate);
    std::fprintf(stderr, "nombre: no game data (a readable %s and %s/) found in %s\n", kStartUpPicture,
                 kSoundFolder, looked.c_str());
    return false;
  }
  std::error_code error;
  fs::current_path(folder, error);
  if (error) {
    std::fprintf(stderr, "nombre: cannot enter the game data folder %s: %s\n", quotedPath(folder).c_str(), error.message().c_str());
    return false;
  }
  return true;
}
