// Start-up on the real binary and the frame lists, with pictures missing or
// broken; finding the data folder; starting without a sound device.
#include <gtest/gtest.h>
#include <stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "app/data_folder.h"
#include "base/console.h"
#include "render/frames.h"
#include "tests/gl_fixture.h"

namespace fs = std::filesystem;

namespace {

// A copy of the run directory in which the test may break pictures, with a
// copy of the game beside it: the game takes the data beside itself.
class RunCopy {
 public:
  RunCopy() {
    char pattern[] = "/tmp/nombre-run-XXXXXX";
    dir = mkdtemp(pattern);
    fs::copy(fs::path(NOMBRE_RUN_DIR) / "img", dir / "img");
    fs::copy(fs::path(NOMBRE_RUN_DIR) / "sound", dir / "sound");
    fs::copy_file(NOMBRE_BINARY, binary());
  }
  fs::path binary() const { return dir / "nombre"; }
  ~RunCopy() { fs::remove_all(dir); }
  void remove(const std::string& relative) { fs::remove(dir / relative); }
  void write(const std::string& relative, const std::string& bytes) {
    std::ofstream(dir / relative, std::ios::binary) << bytes;
  }
  // A named pipe in the file's place: opening it would wait for a writer.
  void pipe(const std::string& relative) {
    fs::remove(dir / relative);
    mkfifo((dir / relative).c_str(), 0600);
  }
  // A plain grey picture of the given size in the file's place.
  void picture(const std::string& relative, int width, int height) {
    const std::vector<unsigned char> grey(static_cast<size_t>(width) * height, 128);
    stbi_write_png((dir / relative).c_str(), width, height, 1, grey.data(), width);
  }
  // Runs the game there, ended after `seconds` if it keeps running; what it
  // writes on standard error goes to *errors, if given.
  int run(std::string& output, const std::string& environment = "", int seconds = 20, std::string* errors = nullptr) {
    const fs::path errorFile = dir / "errors.txt";
    const int code = runCommand("cd " + dir.string() + " && " + environment + " timeout " + std::to_string(seconds) +
                                    " " + binary().string() + " 2>" + errorFile.string(),
                                output);
    if (errors != nullptr) {
      std::ifstream in(errorFile);
      errors->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return code;
  }
  fs::path dir;
};

std::string pngHeaderOnly() { return std::string("\x89PNG\r\n\x1a\n", 8); }

const char kPipe[] = "a named pipe";

// The game's own line names no picture: one more line on standard error
// names the file and what is wrong with it.
TEST(StartUp, AMissingOrBrokenPictureStopsItWithMinusOne) {
  struct Case {
    const char* name;
    const char* file;
    const char* replacement;  // null: removed
    const char* why;
  };
  const Case cases[] = {
      {"stage missing", "img/lvl.png", nullptr, "No such file or directory"},
      {"game-over picture missing", "img/gameover.png", nullptr, "No such file or directory"},
      {"heart empty", "img/corazon.png", "", "empty file"},
      {"heart not a picture", "img/corazon.png", "a heart", "not a PNG file"},
      {"heart a PNG signature alone", "img/corazon.png", "header", nullptr},  // stb's own words
      {"stage a named pipe", "img/lvl.png", kPipe, "not a plain file"},
  };
  for (const Case& c : cases) {
    RunCopy run;
    if (c.replacement == nullptr) {
      run.remove(c.file);
    } else if (c.replacement == kPipe) {
      run.pipe(c.file);
    } else {
      run.write(c.file, std::string(c.replacement) == "header" ? pngHeaderOnly() : c.replacement);
    }
    std::string output, errors;
    EXPECT_EQ(run.run(output, "", 20, &errors), 255) << c.name;
    EXPECT_EQ(output, "Imagen no cargada\n") << c.name;
    const std::string named = "nombre: " + std::string(c.file) + ": ";
    EXPECT_EQ(errors.rfind(named, 0), 0u) << c.name << ": " << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << c.name << ": " << errors;
    if (c.why != nullptr) {
      EXPECT_EQ(errors, named + c.why + "\n") << c.name;
    }
    EXPECT_GT(errors.size(), named.size() + 1) << c.name << ": a reason is given";
  }
}

// One line, naming the cause; what the window library says on the way is not repeated.
TEST(StartUp, NoDisplayGivesOneLineSayingWhyAndMinusOne) {
  RunCopy run;
  const struct {
    const char* environment;
    const char* says;
  } cases[] = {
      {"env -u DISPLAY -u WAYLAND_DISPLAY", "nombre: no display: DISPLAY is not set\n"},
      {"env -u WAYLAND_DISPLAY DISPLAY=", "nombre: no display: DISPLAY is not set\n"},
      {"env -u WAYLAND_DISPLAY DISPLAY=:4093", "nombre: no display: Failed to open display :4093\n"},
  };
  for (const auto& c : cases) {
    std::string output;
    const int code =
        runCommand("cd " + run.dir.string() + " && " + c.environment + " " + run.binary().string() + " 2>&1", output);
    EXPECT_EQ(code, 255) << c.environment;
    EXPECT_EQ(output, c.says) << c.environment;
  }
}

// Each sprite that does not load costs one line; the game goes on without it.
TEST(StartUp, BadSpritesAndSoundsDoNotStopTheGame) {
  RunCopy run;
  run.remove("img/movKick1.png");
  run.write("img/flyKick.png", "not a png");
  run.pipe("img/movFrame2NPC.png");
  run.picture("img/movPunch1NPC2.png", 1024, 1025);  // one row over the sprite cap
  run.remove("sound/music.wav");
  run.pipe("sound/punch.wav");
  std::string output, errors;
  // Still running when ended; the time allows for a sanitizer build on a busy machine.
  EXPECT_EQ(run.run(output, "", 8, &errors), 124);
  EXPECT_EQ(output, "Imagen no cargada\nImagen no cargada\nImagen no cargada\nImagen no cargada\n");
  for (const char* said : {"nombre: img/movKick1.png: No such file or directory\n",
                           "nombre: img/flyKick.png: not a PNG file\n", "nombre: img/movFrame2NPC.png: not a plain file\n",
                           "nombre: img/movPunch1NPC2.png: 1024x1025 pixels, more than"}) {
    EXPECT_NE(errors.find(said), std::string::npos) << said << "\n" << errors;
  }
}

// Without a device the game says once that it plays silent, and nothing of
// what the sound libraries would write. An ALSA device that does not exist
// fails the same way a machine with no sound card does, on any machine.
TEST(StartUp, NoSoundDeviceIsOneLineAndTheGamePlaysOn) {
  RunCopy run;
  run.write("alsoft.conf", "[general]\ndrivers = alsa\n[alsa]\ndevice = nombre-no-such-device\n");
  std::string errors;
  const int code = runCommand("cd / && env -u ALSOFT_DRIVERS -u ALSOFT_LOGLEVEL ALSOFT_CONF=" +
                                  (run.dir / "alsoft.conf").string() + " timeout 3 " + run.binary().string() +
                                  " 2>&1 >/dev/null",
                              errors);
  EXPECT_EQ(code, 124);  // still running when ended
  EXPECT_EQ(errors, "nombre: no sound device could be opened, playing without sound\n");
}

TEST(DataFolder, TheFirstFolderHoldingPicturesAndSoundsIsTaken) {
  RunCopy run;
  fs::create_directories(run.dir / "pictures-only" / "img");
  fs::create_directories(run.dir / "sounds-only" / "sound");
  const std::string partial[] = {(run.dir / "pictures-only").string(), (run.dir / "sounds-only").string(),
                                 (run.dir / "nothing-here").string()};
  EXPECT_EQ(findDataFolder({partial[0], partial[1], partial[2], run.dir.string(), NOMBRE_RUN_DIR}), run.dir.string());
  EXPECT_EQ(findDataFolder({partial[0], partial[1], partial[2]}), "");

  // Empty or unreadable pictures beside the executable do not hide good data further on.
  const fs::path empty = run.dir / "empty", unreadable = run.dir / "unreadable";
  for (const fs::path& folder : {empty, unreadable}) {
    fs::create_directories(folder / "img");
    fs::create_directories(folder / "sound");
  }
  std::ofstream(unreadable / "img" / "prueba.png") << "not a picture";
  EXPECT_EQ(findDataFolder({empty.string(), unreadable.string(), run.dir.string()}), run.dir.string());

  // Beside the executable, its run/ folder, the installed layout relative to
  // it, and last the installed data folder the build was configured for.
  const std::vector<std::string> candidates = dataFolderCandidates("/opt/games/bin");
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(candidates[0], "/opt/games/bin");
  EXPECT_EQ(candidates[1], "/opt/games/bin/run");
  EXPECT_EQ(candidates[2], "/opt/games/share/nombre");
  EXPECT_EQ(dataFolderCandidates("").size(), 1u);
}

// A folder whose start-up picture cannot be read is no data folder: it would
// only stop the game. With no other, one line names every folder looked in.
TEST(DataFolder, NoneFoundIsOneLineNamingTheFoldersAndMinusOne) {
  if (!findDataFolder({dataFolderCandidates("").back()}).empty()) GTEST_SKIP() << "the game is installed here";
  struct Case {
    const char* name;
    const char* replacement;  // of img/prueba.png; null: removed
    bool noSounds;
  };
  const Case cases[] = {
      {"no sound folder", "keep", true},
      {"start-up picture missing", nullptr, false},
      {"start-up picture not a picture", "random bytes, not an image at all", false},
      {"start-up picture truncated", "header", false},
      {"start-up picture a named pipe", kPipe, false},
  };
  for (const Case& c : cases) {
    RunCopy run;
    if (c.noSounds) fs::remove_all(run.dir / "sound");
    if (c.replacement == nullptr) {
      run.remove("img/prueba.png");
    } else if (c.replacement == kPipe) {
      run.pipe("img/prueba.png");
    } else if (std::string(c.replacement) != "keep") {
      run.write("img/prueba.png", std::string(c.replacement) == "header" ? pngHeaderOnly() : c.replacement);
    }
    std::string errors;
    const int code = runCommand("cd / && timeout 20 " + run.binary().string() + " 2>&1", errors);
    EXPECT_EQ(code, 255) << c.name;
    const std::string line = "nombre: no game data (a readable img/prueba.png and sound/) found in ";
    EXPECT_EQ(errors.rfind(line + run.dir.string() + ", " + (run.dir / "run").string() + ", ", 0), 0u)
        << c.name << ": " << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << c.name << ": " << errors;
  }
}

// A folder's name with control characters in it reaches the console quoted,
// never as the terminal's own escapes.
TEST(StartUp, TheFoldersLookedInAreQuotedWhenNothingIsFound) {
  RunCopy run;
  const fs::path odd = run.dir / "bin\x1b[31mX";
  fs::create_directory(odd);
  fs::copy_file(run.binary(), odd / "nombre");
  std::string errors;
  runCommand("cd / && timeout 20 '" + (odd / "nombre").string() + "' 2>&1", errors);
  EXPECT_NE(errors.find("no game data"), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\x1b'), std::string::npos) << errors;
  EXPECT_NE(errors.find(quotedPath(odd.string())), std::string::npos) << errors;
}

// Loads the frame lists from a directory, keeping the game's own lists aside.
class FrameLists : public ::testing::Test {
 protected:
  void SetUp() override { sharedGame(); }
  void TearDown() override { clearFrameLists(drawing); }
  std::string loadFrom(const fs::path& dir) {
    const fs::path back = fs::current_path();
    fs::current_path(dir);
    testing::internal::CaptureStdout();
    loadSprites(drawing);
    fs::current_path(back);
    return testing::internal::GetCapturedStdout();
  }
  Drawing drawing;  // lists of their own, beside the game's
  FrameList* lists[5] = {&drawing.menuFrames, &drawing.playerFrames, &drawing.enemyFrames, &drawing.enemy2Frames,
                         &drawing.endFrames};
  static constexpr size_t kSizes[5] = {2, 12, 10, 10, 4};
};

TEST_F(FrameLists, EveryPictureGetsItsOwnTexture) {
  EXPECT_EQ(loadFrom(NOMBRE_RUN_DIR), "");
  std::set<GLuint> names;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(lists[i]->size(), kSizes[i]);
    for (GLuint name : *lists[i]) {
      EXPECT_NE(name, 0u);
      names.insert(name);
    }
  }
  EXPECT_EQ(names.size(), 38u);
  EXPECT_NE(drawing.enemyFrames[7], drawing.enemy2Frames[7]);
}

TEST_F(FrameLists, AMissingPictureKeepsItsPlaceAsZero) {
  RunCopy run;
  run.remove("img/movKick1.png");
  EXPECT_EQ(loadFrom(run.dir), "Imagen no cargada\n");
  ASSERT_EQ(drawing.playerFrames.size(), 12u);
  EXPECT_EQ(drawing.playerFrames[7], 0u);
  EXPECT_NE(drawing.playerFrames[8], 0u);
  EXPECT_NE(drawing.playerFrames[9], 0u);
}

// The stage (3200x450) is larger than a sprite may be: the cap is for sprites only.
TEST_F(FrameLists, ASpriteOverItsCapIsNotLoaded) {
  RunCopy run;
  run.picture("img/movKick1.png", 1024, 1025);
  run.picture("img/movKick2.png", 1024, 1024);
  run.picture("img/salir.png", 4096, 4096);  // the most any picture may be
  EXPECT_EQ(loadFrom(run.dir), "Imagen no cargada\nImagen no cargada\n");
  EXPECT_EQ(drawing.menuFrames[kMenuExitFrame], 0u);
  EXPECT_EQ(drawing.playerFrames[7], 0u);
  EXPECT_NE(drawing.playerFrames[8], 0u);
}

TEST_F(FrameLists, EachMissingPictureCostsOneLineAndOnePlace) {
  const std::string pictures[] = {
      "salir", "continuar", "veldrane-arc12", "movFrame1", "movFrame2", "movFrame3", "movFrame4",
      "movPunch1", "movPunch2", "movKick1", "movKick2", "flyKick", "crouch", "crouchKick", "tovanNPC", "movFrame1NPC",
      "movFrame2NPC", "movFrame3NPC", "movFrame4NPC", "movPunch1NPC", "movPunch2NPC", "tovanNPC2",
      "movFrame1NPC2", "movFrame2NPC2", "movFrame3NPC2", "movFrame4NPC2", "movPunch1NPC2", "movPunch2NPC2",
      "frameDeath1", "frameDeath2", "frameDeath3", "finFrame1", "finFrame3", "finFrame4", "finFrame5"};
  RunCopy run;
  for (const std::string& picture : pictures) {
    const std::string file = "img/" + picture + ".png";
    fs::rename(run.dir / file, run.dir / "held.png");
    const std::string output = loadFrom(run.dir);
    fs::rename(run.dir / "held.png", run.dir / file);
    // The shared death pictures are loaded once for each enemy kind.
    const bool shared = picture.rfind("frameDeath", 0) == 0;
    EXPECT_EQ(output, shared ? "Imagen no cargada\nImagen no cargada\n" : "Imagen no cargada\n") << picture;
      size_t zeros = 0;
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(lists[i]->size(), kSizes[i]) << picture;
      for (GLuint name : *lists[i]) zeros += name == 0 ? 1 : 0;
    }
    EXPECT_EQ(zeros, shared ? 2u : 1u) << picture;
    clearFrameLists(drawing);
  }
}

TEST_F(FrameLists, NoPictureFolderGivesThirtyEightLinesAndZeros) {
  RunCopy run;
  fs::remove_all(run.dir / "img");
  std::string expected;
  for (int i = 0; i < 38; ++i) expected += "Imagen no cargada\n";
  EXPECT_EQ(loadFrom(run.dir), expected);
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(lists[i]->size(), kSizes[i]);
    for (GLuint name : *lists[i]) EXPECT_EQ(name, 0u);
  }
}

}  // namespace
