// `nombre --replay RUN --export CLIP` as a player runs it, with no display:
// the frames are the game's own drawing of the run's ticks, the files open as
// players read them, and every refusal or failure is one line and no file.
#include <GL/glew.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/pass_ticks.h"
#include "app/play_picture.h"
#include "app/replay.h"
#include "clip/offscreen_gl.h"
#include "base/keys.h"
#include "base/quit_signals.h"
#include "rules/control_rules.h"
#include "runs/run_check.h"
#include "runs/run_log.h"
#include "tests/clip/clip_reader.h"
#include "tests/clip/clip_test_support.h"
#include "tests/scratch_folder.h"

namespace {

const std::string kFightRun = std::string(NOMBRE_FIXTURES) + "/v3_walk_fight_pause.nrep";

struct Command {
  int status = -1;
  std::string output;  // stdout and stderr together
};

// No display, and the player's folders in `home`.
std::string noDisplayHomeIn(const ScratchFolder& home) {
  return "env -u DISPLAY XDG_CONFIG_HOME=" + home.path + "/config XDG_DATA_HOME=" + home.path +
         "/data XDG_STATE_HOME=" + home.path + "/state ";
}

// The game exporting, its player's folders in `home`, with no display; `as`
// runs it as another user.
Command exportWith(const ScratchFolder& home, const std::string& arguments, const std::string& as = "") {
  const std::string env = as + noDisplayHomeIn(home);
  Command command;
  command.status = runCommand(env + NOMBRE_GAME + " " + arguments + " 2>&1", &command.output);
  return command;
}

// The fight run's part (as "--from 4 --to 6.5") exported into `clip` and read
// back; false, the failure said, when either fails. *said gets what the game printed.
bool exportAndRead(const ScratchFolder& home, const std::string& clip, const std::string& part, ReadClip* read,
                   std::string* said = nullptr) {
  const Command command = exportWith(home, "--replay " + kFightRun + " --export " + clip + " " + part);
  if (said != nullptr) *said = command.output;
  std::string why;
  if (command.status != 0) {
    ADD_FAILURE() << "exit " << command.status << ": " << command.output;
    return false;
  }
  if (!readClip(clip, read, &why)) {
    ADD_FAILURE() << why;
    return false;
  }
  return true;
}

const ReadStream& soundStreamOf(const ReadClip& read) { return read.streams[0].video ? read.streams[1] : read.streams[0]; }

int linesOf(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

// The frames of the run the game draws at game time start + n x 50/3 ms,
// for each n asked, drawn here by the game's own start-up and play frame in
// an off-screen context: RGB, top row first, as the clip decodes.
std::vector<std::vector<unsigned char>> framesDrawnHere(const std::string& runPath, const std::vector<long>& wanted) {
  RunFile run;
  std::string why;
  EXPECT_TRUE(readRunFile(runPath, run, why)) << why;
  clip::OffscreenGl gl;
  EXPECT_TRUE(gl.open(800, 600, &why)) << why;
  Game game;
  EXPECT_EQ(startUpInContext(game, 800, 600, run.startClock), 0);
  beginReplay(game, run);
  std::vector<std::vector<unsigned char>> frames;
  std::vector<unsigned char> rgba(800 * 600 * 4);
  for (long frame = 0; frame <= wanted.back(); ++frame) {
    const ClockTicks now = run.startClock + ticksTime(kGamePace, frame);
    game.run.clock.time = now;
    runDueTicks(game, now);
    if (std::find(wanted.begin(), wanted.end(), frame) == wanted.end()) continue;
    EXPECT_EQ(chooseMode(game.run), FrameMode::Play);
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawPlay(game, 1.0f);
    gl.readRows(rgba.data());
    std::vector<unsigned char> rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    frames.push_back(std::move(rgb));
  }
  return frames;
}

// The columns [left, left + width) of an RGB frame `frameWidth` wide.
std::vector<unsigned char> columnsOf(const std::vector<unsigned char>& rgb, int frameWidth, int left, int width) {
  std::vector<unsigned char> part;
  for (std::size_t row = 0; row < rgb.size() / 3 / frameWidth; ++row) {
    const auto start = rgb.begin() + static_cast<long>((row * frameWidth + left) * 3);
    part.insert(part.end(), start, start + width * 3);
  }
  return part;
}

TEST(Export, LosslessClipHoldsTheGamesOwnFrames) {
  ScratchFolder home;
  const std::string clip = home.path + "/fight.mkv";
  // Frames 120 to 180: 2 s to 3 s of the run, the hero walking into his first fight.
  ReadClip read;
  std::string said;
  ASSERT_TRUE(exportAndRead(home, clip, "--from 2 --to 3", &read, &said));
  EXPECT_EQ(said.rfind("wrote " + clip + ": 1.02 s, ", 0), 0u) << said;
  EXPECT_EQ(linesOf(said), 1) << said;
  ASSERT_EQ(read.videoFrames, 61);
  ASSERT_EQ(read.rgb.size(), 61u);

  const std::vector<long> wanted = {120, 150, 180};
  const std::vector<std::vector<unsigned char>> drawn = framesDrawnHere(kFightRun, wanted);
  ASSERT_EQ(drawn.size(), wanted.size());
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    EXPECT_TRUE(read.rgb[wanted[i] - 120] == drawn[i]) << "frame " << wanted[i];
  }
  EXPECT_FALSE(drawn.front() == drawn.back()) << "the run moves between them";

  // In a wider clip the same picture stands in the middle, 4:3, with the game's grey at its sides.
  const std::string wide = home.path + "/wide.mkv";
  ReadClip readWide;
  ASSERT_TRUE(exportAndRead(home, wide, "--size 1000x600 --mute --from 2 --to 2.02", &readWide));
  ASSERT_EQ(readWide.videoFrames, 2);
  // Placed 100 pixels over, a sprite's edge may round to the pixel beside: a few pixels, no more.
  const std::vector<unsigned char> middle = columnsOf(readWide.rgb[0], 1000, 100, 800);
  ASSERT_EQ(middle.size(), drawn[0].size());
  int pixelsApart = 0;
  for (std::size_t i = 0; i < middle.size(); i += 3) {
    pixelsApart += std::equal(middle.begin() + i, middle.begin() + i + 3, drawn[0].begin() + i) ? 0 : 1;
  }
  EXPECT_LT(pixelsApart, 800 * 600 / 1000);
  const std::vector<unsigned char> band = columnsOf(readWide.rgb[0], 1000, 0, 100);
  EXPECT_TRUE(std::all_of(band.begin(), band.end(), [](unsigned char c) { return c == 51; }));
}

// A run that ends in game over ends its clip on the game-over screen, held
// 3 s; a part that stops before the end has no such screen.
TEST(Export, AClipOfAGameLostEndsOnItsGameOverScreen) {
  ScratchFolder home;
  const std::string run = std::string(NOMBRE_FIXTURES) + "/v3_long_game.nrep";
  const std::string clip = home.path + "/over.mkv";
  const Command command = exportWith(home, "--replay " + run + " --export " + clip + " --size 160x120 --mute --from 84");
  ASSERT_EQ(command.status, 0) << command.output;
  ReadClip read;
  std::string why;
  ASSERT_TRUE(readClip(clip, &read, &why)) << why;
  // 5113 ticks: frames 5040 to 5113 of play, then 180 of the screen.
  constexpr int kHeld = 180;
  ASSERT_EQ(read.videoFrames, 5113 - 5040 + 1 + kHeld);
  const std::vector<unsigned char>& screen = read.rgb.back();
  for (int i = 1; i <= kHeld; ++i) EXPECT_TRUE(read.rgb[read.rgb.size() - i] == screen) << "held frame " << i;
  EXPECT_FALSE(read.rgb[read.rgb.size() - kHeld - 1] == screen) << "the last frame of play is not the screen";
}

TEST(Export, WebmOpensAsPlayersReadIt) {
  ScratchFolder home;
  const std::string clip = home.path + "/fight.webm";
  // 2.5 s with the first kicks and punches in it.
  ReadClip read;
  ASSERT_TRUE(exportAndRead(home, clip, "--from 4 --to 6.5", &read));
  ASSERT_EQ(read.streams.size(), 2u);
  const ReadStream& video = read.streams[0].video ? read.streams[0] : read.streams[1];
  const ReadStream& sound = soundStreamOf(read);
  EXPECT_EQ(video.codec, "vp9");
  EXPECT_EQ(video.width, 800);
  EXPECT_EQ(video.height, 600);
  EXPECT_DOUBLE_EQ(video.frameRate, 60.0);
  EXPECT_EQ(sound.codec, "opus");
  EXPECT_EQ(read.videoFrames, 151);
  EXPECT_NEAR(read.seconds, 151.0 / 60.0, 1.0 / 60.0);
  EXPECT_GT(read.soundPeak, 0.05f);
}

// With the music at 0 only the blows are heard, each from its tick: the
// hero's first kick (pressed at tick 108, 1.8 s into the run) is the first sound.
TEST(Export, BlowsAreHeardFromTheirTicks) {
  ScratchFolder home;
  ASSERT_EQ(mkdir((home.path + "/config").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((home.path + "/config/nombre").c_str(), 0755), 0);
  std::string ignored;
  ASSERT_EQ(runCommand("printf 'music_volume = 0\\n' > " + home.path + "/config/nombre/settings.toml", &ignored), 0);
  const std::string clip = home.path + "/kick.mkv";
  ReadClip read;
  ASSERT_TRUE(exportAndRead(home, clip, "--from 1 --to 2.5", &read));
  ASSERT_FALSE(read.sound16.empty());
  ASSERT_EQ(read.streams.size(), 2u);
  const ReadStream& sound = soundStreamOf(read);
  const std::size_t kickAt = static_cast<std::size_t>(sound.sampleRate) * 108 / 60 - sound.sampleRate;  // in the clip
  auto loudest = [&](std::size_t first, std::size_t last) {
    int peak = 0;
    for (std::size_t i = first * 2; i < std::min(last * 2, read.sound16.size()); ++i) {
      peak = std::max(peak, std::abs(static_cast<int>(read.sound16[i])));
    }
    return peak;
  };
  EXPECT_EQ(loudest(0, kickAt - sound.sampleRate / 60), 0);
  EXPECT_GT(loudest(kickAt, kickAt + sound.sampleRate / 10), 1000);
}

// The stretch of the fight where a mix without headroom reached full scale
// (a kick's swing and its crack together, over the music), exported
// lossless at full volumes: its loudest sample stays under -1 dBFS, and the
// blows are still loud (OpenAL Soft puts a centred mono sound at about 0.6
// of its level on each side of a stereo mix, as the game is heard: about
// -7 dBFS here).
TEST(Export, TheSoundNeverReachesFullScale) {
  ScratchFolder home;
  const std::string clip = home.path + "/loud.mkv";
  ReadClip read;
  ASSERT_TRUE(exportAndRead(home, clip, "--from 3 --to 7.5 --size 320x240", &read));
  ASSERT_FALSE(read.sound16.empty());
  int peak = 0;
  for (short sample : read.sound16) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  const int belowOneDecibel = static_cast<int>(32768 * std::pow(10.0, -1.0 / 20.0));
  EXPECT_LT(peak, belowOneDecibel);
  EXPECT_GT(peak, 32768 / 3);
}

// SIGTERM (or Ctrl+C) during an export: exit 1, one line, and no file
// written, whole or in part. The signal goes once the clip's hidden file is
// there, so it always falls within the export.
TEST(Export, QuitSignalLeavesNoFile) {
  ScratchFolder home;
  ASSERT_EQ(mkdir((home.path + "/clips").c_str(), 0755), 0);
  const std::string folder = home.path + "/clips";
  const std::string script = noDisplayHomeIn(home) + NOMBRE_GAME + " --replay " + kFightRun + " --export " + folder +
                             "/whole.mkv > " + home.path + "/said 2>&1 & game=$!; " +
                             "for i in $(seq 400); do ls -A " + folder + " | grep -q tmp && break; sleep 0.025; done; " +
                             "kill -TERM $game; wait $game; echo $?";
  std::string status;
  ASSERT_EQ(runCommand(script, &status), 0);
  EXPECT_EQ(status, "1\n");
  std::string said;
  ASSERT_EQ(runCommand("cat " + home.path + "/said", &said), 0);
  EXPECT_EQ(said, "nombre: stopped before the end: " + folder + "/whole.mkv was not written\n");
  EXPECT_TRUE(filesIn(folder).empty());
}

// Each way an export is refused or fails: one line, its exit code, and no
// file left where the clip was to go.
TEST(Export, RefusalsAndFailuresLeaveNothing) {
  ScratchFolder home;
  ASSERT_EQ(mkdir((home.path + "/runs").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((home.path + "/shut").c_str(), 0555), 0);
  // The same run with its first press a tick later: it no longer checks.
  std::string moved;
  ASSERT_EQ(runCommand("sed 's/^0 press right$/1 press right/' " + kFightRun + " > " + home.path + "/runs/moved.nrep",
                       &moved),
            0);
  const std::string movedRun = home.path + "/runs/moved.nrep";
  struct Case {
    const char* what;
    std::string arguments;
    int status;
    std::string folder;  // left empty
  };
  // Root writes into any folder: the folder that cannot be written is tried as nobody, who owns it.
  std::string nobody;
  if (geteuid() == 0) {
    std::string ignored;
    ASSERT_EQ(runCommand("chown -R 65534:65534 " + home.path, &ignored), 0);
    nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  const std::vector<Case> cases = {
      {"an unknown extension", "--replay " + kFightRun + " --export " + home.path + "/runs/fight.avi --to 1", 2,
       home.path + "/runs"},
      {"a size that is no size", "--replay " + kFightRun + " --export " + home.path + "/runs/fight.mkv --size 800x", 2,
       home.path + "/runs"},
      {"a size too large", "--replay " + kFightRun + " --export " + home.path + "/runs/fight.mkv --size 99999x600", 2,
       home.path + "/runs"},
      {"a run that does not check", "--replay " + movedRun + " --export " + home.path + "/runs/moved.mkv --to 1", 1,
       home.path + "/runs"},
      {"a folder that cannot be written",
       "--replay " + kFightRun + " --export " + home.path + "/shut/fight.mkv --to 1", 1, home.path + "/shut"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Command command = exportWith(home, c.arguments, nobody);
    EXPECT_EQ(command.status, c.status) << command.output;
    EXPECT_EQ(linesOf(command.output), 1) << command.output;
    std::vector<std::string> left = filesIn(c.folder);
    left.erase(std::remove(left.begin(), left.end(), "moved.nrep"), left.end());
    EXPECT_TRUE(left.empty()) << left.front();
  }
  // Forced, the run that does not check is written as it replays.
  const Command forced =
      exportWith(home, "--replay " + movedRun + " --export " + home.path + "/runs/moved.mkv --to 0.5 --mute --force",
                 nobody);
  EXPECT_EQ(forced.status, 0) << forced.output;
  struct stat written;
  EXPECT_EQ(stat((home.path + "/runs/moved.mkv").c_str(), &written), 0);
}

// What is wrong with the options, the run or the target is said before any
// work: the run here does not check, so a refusal after the check would be
// that (exit 1). Each: one line, exit 2, nothing written, the run untouched.
TEST(Export, RefusedBeforeAnyWork) {
  ScratchFolder home;
  const std::string runs = home.path + "/runs";
  ASSERT_EQ(mkdir(runs.c_str(), 0755), 0);
  std::string ignored;
  // The fight run with its first press a tick later, kept under a clip's name too.
  ASSERT_EQ(runCommand("sed 's/^0 press right$/1 press right/' " + kFightRun + " > " + runs + "/moved.nrep && cp " +
                           runs + "/moved.nrep " + runs + "/moved.mkv && ln " + runs + "/moved.mkv " + runs +
                           "/linked.mkv && printf keep > " + runs + "/kept.mkv && chmod 444 " + runs + "/kept.mkv",
                       &ignored),
            0);
  const std::string moved = " --replay " + runs + "/moved.nrep --export " + runs + "/";
  const struct {
    const char* what;
    std::string arguments;
    std::string says;
  } cases[] = {
      {"--from past the run", moved + "out.mkv --from 1e300", "--from 1e+300: the run is 16.60 s long"},
      {"--from and --to past the run", moved + "out.mkv --from 1e16 --to 2e16", "--from 1e+16: the run is 16.60 s long"},
      {"--to past the run", moved + "out.mkv --to 99", "--to 99: the run is 16.60 s long"},
      {"--from NaN", moved + "out.mkv --from nan", "--from: nan is not a time in seconds"},
      {"--to NaN", moved + "out.mkv --from 5 --to nan", "--to: nan is not a time in seconds"},
      {"--to infinite", moved + "out.mkv --to inf", "--to: inf is not a time in seconds"},
      {"an odd size for H.264", moved + "out.mp4 --size 801x600", "801x600 frames"},
      {"a GIF longer than its size allows", moved + "out.gif --size 1600x1200",
       "cannot export 16.60 s to " + runs + "/out.gif: a GIF of 1600x1200 frames holds at most 15.00 s"},
      {"the run itself", " --replay " + runs + "/moved.mkv --export " + runs + "/moved.mkv",
       "it is the run being exported"},
      {"the run by another name", " --replay " + runs + "/moved.mkv --export " + runs + "/linked.mkv",
       "it is the run being exported"},
      {"a read-only file", moved + "kept.mkv", "kept.mkv: it is read-only"},
      {"a terminal's escapes in the name", moved + "\"$(printf 'x\\033]0;PWNED\\007\\ny.avi')\"",
       "/x?]0;PWNED??y.avi\"#"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Command command = exportWith(home, c.arguments);
    EXPECT_EQ(command.status, 2) << command.output;
    EXPECT_EQ(linesOf(command.output), 1) << command.output;
    EXPECT_NE(command.output.find(c.says), std::string::npos) << command.output;
    EXPECT_EQ(std::count_if(command.output.begin(), command.output.end(),
                            [](char b) { return static_cast<unsigned char>(b) < 0x20; }),
              1)
        << "only the line's end is a control byte: " << command.output;
    EXPECT_EQ(filesIn(runs), (std::vector<std::string>{"kept.mkv", "linked.mkv", "moved.mkv", "moved.nrep"}));
  }
  std::string run;
  ASSERT_EQ(runCommand("cmp " + runs + "/moved.mkv " + runs + "/moved.nrep && cat " + runs + "/kept.mkv", &run), 0);
  EXPECT_EQ(run, "keep");
}

// The target is handled as the player's own files are: a symlink is written
// through and stays; a name as long as a name may be works; and the files an
// export that died left beside a target (killed, its process gone) go at the
// next export to it, while those of one still running stay.
TEST(Export, TargetsAreKeptAsThePlayersFiles) {
  ScratchFolder home;
  const std::string clips = home.path + "/clips";
  ASSERT_EQ(mkdir(clips.c_str(), 0755), 0);
  ASSERT_EQ(symlink("real.mkv", (clips + "/link.mkv").c_str()), 0);
  std::string dead;
  ASSERT_EQ(runCommand("sh -c 'echo $$'", &dead), 0);
  dead.pop_back();
  const std::string alive = std::to_string(getpid());
  for (const std::string& left : {".real.mkv.tmp-" + dead + "-1", ".real.mkv.tmp-" + dead + "-2", ".real.mkv.tmp-" + alive + "-1"}) {
    std::string ignored;
    ASSERT_EQ(runCommand("head -c 1000000 /dev/zero > " + clips + "/" + left, &ignored), 0);
  }
  Command command = exportWith(home, "--replay " + kFightRun + " --export " + clips + "/link.mkv --to 0.1 --mute");
  EXPECT_EQ(command.status, 0) << command.output;
  EXPECT_EQ(filesIn(clips), (std::vector<std::string>{".real.mkv.tmp-" + alive + "-1", "link.mkv", "real.mkv"}));
  struct stat link {};
  ASSERT_EQ(lstat((clips + "/link.mkv").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  ReadClip read;
  std::string why;
  EXPECT_TRUE(readClip(clips + "/real.mkv", &read, &why)) << why;

  const std::string longest = std::string(246, 'n') + ".gif";
  ASSERT_EQ(longest.size(), 250u);
  command = exportWith(home, "--replay " + kFightRun + " --export " + clips + "/" + longest + " --to 0.1");
  EXPECT_EQ(command.status, 0) << command.output;
  EXPECT_EQ(filesIn(clips),
            (std::vector<std::string>{".real.mkv.tmp-" + alive + "-1", "link.mkv", longest, "real.mkv"}));
}

// The export as it runs, its process id, and the shell's wait for it once
// it listens for quit signals (SIGTERM caught: bit 15 of its SigCgt mask).
std::string exportListening(const ScratchFolder& home, const std::string& arguments) {
  return noDisplayHomeIn(home) + NOMBRE_GAME + " " + arguments + " > " + home.path + "/said 2>&1 & game=$!; " +
         "for i in $(seq 800); do m=$(awk '/^SigCgt/ {print $2}' /proc/$game/status 2>/dev/null); " +
         "[ -n \"$m\" ] && [ $(( 0x$m & 0x4000 )) -ne 0 ] && break; sleep 0.025; done; ";
}

// A quit signal is heard at every stage of an export, the check and the
// pass that plans the clip included (here of a run that would take minutes
// to check, and does not check), and a second one during the clean-up
// leaves it to finish: each time exit 1, one line, and no file at all.
TEST(Export, EveryStageHearsAQuitSignal) {
  ScratchFolder home;
  const std::string clips = home.path + "/clips";
  ASSERT_EQ(mkdir(clips.c_str(), 0755), 0);
  // 100,000 ticks of kicking at level 1, recorded as the game records, that
  // end in another state than their file says: a check of it plays them all.
  ::Run played;
  RunLog log;
  bringHeroOn(played);
  beginRun(played, 1.0f, 5000);
  log.beginRecording(played, nullptr);
  takeKey(played, kKeyX, kKeyPress, &log);
  for (std::int64_t tick = 0; tick < 100000; ++tick) ASSERT_TRUE(runLoggedTick(played, &log));
  std::string text = log.finish(played);
  text.replace(text.size() - 17, 16, "0123456789abcdef");
  const std::string longRun = home.path + "/long.nrep";
  {
    std::ofstream(longRun) << text;
  }
  const struct {
    const char* what;
    std::string arguments;
    std::string signals;  // once it listens
    const char* clip;
  } cases[] = {
      {"checking", "--replay " + longRun + " --export " + clips + "/long.mkv", "kill -TERM $game; ", "/long.mkv"},
      {"planning", "--replay " + longRun + " --export " + clips + "/long.mkv --force", "kill -INT $game; ",
       "/long.mkv"},
      {"two signals while writing", "--replay " + kFightRun + " --export " + clips + "/fight.gif",
       "for i in $(seq 400); do ls -A " + clips + " | grep -q tmp && break; sleep 0.025; done; "
       "kill -TERM $game; kill -HUP $game; sleep 0.05; kill -TERM $game 2>/dev/null; ", "/fight.gif"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string status;
    ASSERT_EQ(runCommand(exportListening(home, c.arguments) + c.signals + "wait $game; echo $?", &status), 0);
    EXPECT_EQ(status, "1\n");
    std::string said;
    ASSERT_EQ(runCommand("cat " + home.path + "/said", &said), 0);
    EXPECT_EQ(said, "nombre: stopped before the end: " + clips + c.clip + " was not written\n");
    EXPECT_TRUE(filesIn(clips).empty());
  }
}

// While an export runs every quit signal only asks it to stop, a second one
// and one that comes while a run is being kept included: none cuts its
// clean-up short.
TEST(Export, EveryQuitSignalOnlyAsks) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    listenForQuitSignals(false);
    for (int signal : {SIGTERM, SIGTERM, SIGINT, SIGINT, SIGHUP, SIGHUP}) raise(signal);
    {
      const QuitSignalsHeld held;
      raise(SIGTERM);
    }
    raise(SIGTERM);
    _exit(quitSignalled() ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ended by signal " << WTERMSIG(status);
}

// A copy of the game in home/game whose data folder lacks `missing` (as
// "sound/music.wav"); its executable's path.
std::string gameWithout(const ScratchFolder& home, const std::string& missing) {
  const std::string game = home.path + "/game";
  std::string ignored;
  EXPECT_EQ(runCommand("mkdir -p " + game + "/img " + game + "/sound && cp " + NOMBRE_GAME + " " + game +
                           "/nombre && cd " + NOMBRE_RUN_DIR + " && for f in img/* sound/*; do ln -s \"$PWD/$f\" " +
                           game + "/$f; done && rm " + game + "/" + missing,
                       &ignored),
            0);
  return game + "/nombre";
}

// A sound the export cannot read is named in one line; the clip is made
// without it. Here a copy of the game whose data folder has no music.
TEST(Export, AMissingSoundIsNamed) {
  ScratchFolder home;
  const std::string game = gameWithout(home, "sound/music.wav");
  Command command;
  command.status = runCommand(noDisplayHomeIn(home) + game + " --replay " + kFightRun + " --export " + home.path +
                                  "/fight.mkv --to 0.5 2>&1",
                              &command.output);
  EXPECT_EQ(command.status, 0) << command.output;
  EXPECT_EQ(linesOf(command.output), 2) << command.output;
  EXPECT_NE(command.output.find("nombre: the clip is made without ./sound/music.wav: missing or unreadable\n"),
            std::string::npos)
      << command.output;
  ReadClip read;
  std::string why;
  EXPECT_TRUE(readClip(home.path + "/fight.mkv", &read, &why)) << why;
}

// An export whose stdout and stderr are a pipe nobody reads any more: its
// lines fail, and it cleans up or finishes as it would have, leaving the
// clip whole or nothing. Here a GIF (no sound system), once with a game
// whose start-up fails (a picture missing) after the clip's files are made.
TEST(Export, AClosedPipeLeavesNoPartOfAClip) {
  ScratchFolder home;
  const std::string clips = home.path + "/clips";
  ASSERT_EQ(mkdir(clips.c_str(), 0755), 0);
  const struct {
    const char* what;
    std::string game;
    int status;
    std::vector<std::string> left;
  } cases[] = {
      {"start-up failing", gameWithout(home, "img/corazon.png"), 1, {}},
      {"the clip written", NOMBRE_GAME, 0, {"fight.gif"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string status;
    // The game starts once the pipe's reader has closed it.
    const std::string closed = home.path + "/closed";
    ASSERT_EQ(runCommand("rm -f " + closed + "; (until [ -e " + closed + " ]; do sleep 0.01; done; " +
                             noDisplayHomeIn(home) + c.game + " --replay " + kFightRun + " --export " + clips +
                             "/fight.gif --to 0.2 2>&1; echo $? > " + home.path + "/status) | (exec 0<&-; touch " +
                             closed + "); cat " + home.path + "/status",
                         &status),
              0);
    EXPECT_EQ(status, std::to_string(c.status) + "\n");
    EXPECT_EQ(filesIn(clips), c.left);
  }
}

}  // namespace
