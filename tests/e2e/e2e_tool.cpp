// Small helpers for the end-to-end scripts:
//   e2e_tool close WINDOW_ID        asks the window to close, as a window manager would
//   e2e_tool iconify WINDOW_ID      marks the window minimised, as a window manager would
//   e2e_tool peak FILE.wav FROM TO  the loudest sample between two times (seconds), 0..1
//   e2e_tool typical FILE.wav       the median of the peaks of its 50 ms stretches: the
//                                   level of what plays throughout (the music), not of short blows
//   e2e_tool screens WINDOW SECONDS [OTHER]
//                                   follows which screen the game shows, looking every few ms,
//                                   and prints each change as "SCREEN MS"; with OTHER, the
//                                   moment play gives way to the stage-clear poses it gives the
//                                   focus to the window OTHER, as another window taking it
//                                   would, and stops (exit 1 if that never came)
//   e2e_tool signal-while-open PID FILE SIGNAL SECONDS
//                                   sends SIGNAL (a number) to PID once the process has FILE
//                                   open, looking every millisecond; exit 1 if the process
//                                   ended first or SECONDS passed
//   e2e_tool clear-stage WINDOW SECONDS OTHER
//                                   plays from what the window shows, with the keys, as a
//                                   player would: kicks the enemies in reach ahead, turns to
//                                   those close behind, else walks right; at the stage-clear
//                                   poses it lets go of the keys and gives the focus to OTHER
//                                   (exit 1 if the stage was not cleared in time)
//   e2e_tool play WINDOW SECONDS STYLE [SEED]
//                                   plays from what the window shows until the game is over or
//                                   the time is up, fighting only with low kicks (crouch), only
//                                   with standing kicks (kick), or with every blow as the moment
//                                   suggests (mixed); prints each stage cleared, then
//                                   "level N cleared C end game-over|time MS blows ..." (how
//                                   often each blow was taken up); SEED varies the
//                                   player's reaction times from game to game
//   e2e_tool first-blow WINDOW SECONDS
//                                   watches the health bar and prints the ms from its own start
//                                   to the first blow that shortens it (exit 1 if none came)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <signal.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

int closeWindow(Window window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  XEvent event;
  std::memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", True);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}

// A window manager minimises a window by setting its WM_STATE to iconic.
int iconifyWindow(Window window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const long state[2] = {IconicState, None};
  XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(state), 2);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}

// Opens a recording; an unreadable one reads as silence.
SNDFILE* openRecording(const char* path, SF_INFO& info) {
  std::memset(&info, 0, sizeof(info));
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (file == nullptr) std::printf("0\n");
  return file;
}

int peak(const char* path, double from, double to) {
  SF_INFO info;
  SNDFILE* file = openRecording(path, info);
  if (file == nullptr) return 1;
  const sf_count_t first = static_cast<sf_count_t>(from * info.samplerate);
  const sf_count_t last = static_cast<sf_count_t>(to * info.samplerate);
  std::vector<float> frame(static_cast<size_t>(info.channels));
  float loudest = 0.0f;
  if (sf_seek(file, first, SEEK_SET) >= 0) {
    for (sf_count_t i = first; i < last && sf_readf_float(file, frame.data(), 1) == 1; ++i) {
      for (float v : frame) loudest = std::fmax(loudest, std::fabs(v));
    }
  }
  sf_close(file);
  std::printf("%.4f\n", loudest);
  return 0;
}

int typical(const char* path) {
  SF_INFO info;
  SNDFILE* file = openRecording(path, info);
  if (file == nullptr) return 1;
  const sf_count_t stretch = std::max<sf_count_t>(1, info.samplerate / 20);
  std::vector<float> frame(static_cast<size_t>(info.channels));
  std::vector<float> peaks;
  float loudest = 0.0f;
  sf_count_t n = 0;
  while (sf_readf_float(file, frame.data(), 1) == 1) {
    for (float v : frame) loudest = std::fmax(loudest, std::fabs(v));
    if (++n % stretch == 0) {
      peaks.push_back(loudest);
      loudest = 0.0f;
    }
  }
  sf_close(file);
  if (peaks.empty()) peaks.push_back(loudest);
  std::nth_element(peaks.begin(), peaks.begin() + static_cast<long>(peaks.size() / 2), peaks.end());
  std::printf("%.4f\n", peaks[peaks.size() / 2]);
  return 0;
}

// What the band below the stage tells of the screen: in play it holds the
// hearts (the first stays until the last life is gone) and the health bar;
// the stage-clear poses leave it plain grey;
// the pause menu and the game-over screen cover it.
constexpr unsigned long kGrey = 0x333333;
struct Spot {
  int x, y;
};
constexpr Spot kBandMiddle = {400, 520};
constexpr Spot kFirstHeart = {180, 525};
constexpr Spot kHealthBarStart = {524, 525};  // filled while he has any health left
constexpr int kLookEveryMs = 4;

// The three spots are read in one go, so that they come from one frame.
const char* screenShown(Display* display, Window window) {
  const int left = kFirstHeart.x;
  const int top = kBandMiddle.y;
  XImage* image = XGetImage(display, window, left, top, kHealthBarStart.x - left + 1, kFirstHeart.y - top + 1,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return "none";
  const auto at = [&](Spot spot) { return XGetPixel(image, spot.x - left, spot.y - top) & 0xffffff; };
  const bool band = at(kBandMiddle) != kGrey;
  const bool heart = at(kFirstHeart) != kGrey;
  const bool bar = at(kHealthBarStart) != kGrey;
  XDestroyImage(image);
  if (band) return "menu-or-game-over";
  // The frame that takes the last heart still shows the bar, refilled.
  if (!heart && !bar) return "stage-clear";
  return heart ? "play" : "other";
}

// The fighters' legs, over the paving: the hero stands at the middle of the
// window, and an enemy in reach of his kick (a tenth of the stage's unit, 40
// pixels) or about to be stands within these many pixels of him, on either side.
constexpr int kLegsY = 355;
constexpr int kHeroX = 400;
constexpr int kNearPixels = 88;
constexpr int kHeroHalfWidth = 20;
constexpr int kEnemyPixels = 3;  // that many of an enemy's colour make one
// A turn is taken once the blow under way has ended: the key is held that long.
constexpr long kTurnMs = 400;

// The enemies of the first kind wear purple: blue above green, red not below
// it, not light; those of the second kind dark brown: red above green above
// blue. The hero is white, the paving grey with no less blue than green.
bool enemyColour(unsigned long pixel) {
  const long r = static_cast<long>((pixel >> 16) & 0xff);
  const long g = static_cast<long>((pixel >> 8) & 0xff);
  const long b = static_cast<long>(pixel & 0xff);
  const bool purple = b >= g + 10 && r >= g && r < 150 && b < 170;
  const bool brown = r < 110 && r >= g + 6 && g >= b + 8;
  return purple || brown;
}

struct Near {
  bool left = false;
  bool right = false;
};

Near enemiesNear(Display* display, Window window) {
  Near near;
  const int from = kHeroX - kNearPixels;
  XImage* image = XGetImage(display, window, from, kLegsY, 2 * kNearPixels, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return near;
  int left = 0;
  int right = 0;
  for (int i = 0; i < 2 * kNearPixels; ++i) {
    if (!enemyColour(XGetPixel(image, i, 0))) continue;
    const int x = from + i;
    if (x < kHeroX - kHeroHalfWidth) ++left;
    if (x > kHeroX + kHeroHalfWidth) ++right;
  }
  XDestroyImage(image);
  near.left = left >= kEnemyPixels;
  near.right = right >= kEnemyPixels;
  return near;
}

// The keys the player holds, pressed and let go as a keyboard would.
class Keys {
 public:
  explicit Keys(Display* d) : display(d) {}
  void only(KeySym key) {
    for (KeySym k : {XK_Right, XK_Left, XK_x}) {
      if (k != key) hold(k, false);
    }
    if (key != NoSymbol) hold(key, true);
    XFlush(display);
  }

 private:
  void hold(KeySym key, bool down) {
    bool& held = key == XK_Right ? right : key == XK_Left ? left : kick;
    if (held == down) return;
    held = down;
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down ? True : False, CurrentTime);
  }
  Display* display;
  bool right = false;
  bool left = false;
  bool kick = false;
};

long msSince(std::chrono::steady_clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

int clearStage(Window window, double seconds, Window other) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const auto start = std::chrono::steady_clock::now();
  Keys keys(display);
  bool facingRight = true;
  long turnedAt = -kTurnMs;
  bool played = false;
  int status = 1;
  while (msSince(start) < seconds * 1000.0) {
    const std::string screen = screenShown(display, window);
    if (screen == "play") played = true;
    if (played && screen == "stage-clear") {
      keys.only(NoSymbol);
      XSetInputFocus(display, other, RevertToParent, CurrentTime);
      XSync(display, False);
      std::printf("stage-clear %ld\n", msSince(start));
      status = 0;
      break;
    }
    if (screen == "menu-or-game-over") {
      std::printf("game-over %ld\n", msSince(start));
      break;
    }
    if (screen == "play" && msSince(start) - turnedAt >= kTurnMs) {
      const Near near = enemiesNear(display, window);
      const bool ahead = facingRight ? near.right : near.left;
      const bool behind = facingRight ? near.left : near.right;
      bool turnRight = facingRight;
      if (ahead) {
        keys.only(XK_x);
      } else {
        turnRight = behind ? !facingRight : true;
        keys.only(turnRight ? XK_Right : XK_Left);
      }
      if (turnRight != facingRight) {
        facingRight = turnRight;
        turnedAt = msSince(start);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kLookEveryMs));
  }
  keys.only(NoSymbol);
  XCloseDisplay(display);
  return status;
}

// What the player sees along the paving on either side of the hero: how far
// (pixels from his middle) the nearest enemy's legs are, 0 for none in
// sight, and how many pixels of enemy stand within kNearPixels of him, and
// within sight ahead.
constexpr int kSightPixels = 220;
struct Sight {
  int nearestAhead = 0;
  int nearestBehind = 0;
  int nearAhead = 0;
  int nearBehind = 0;
  int inSightAhead = 0;
};

Sight look(Display* display, Window window, bool facingRight) {
  Sight sight;
  const int from = kHeroX - kSightPixels;
  XImage* image = XGetImage(display, window, from, kLegsY, 2 * kSightPixels, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return sight;
  for (int i = 0; i < 2 * kSightPixels; ++i) {
    if (!enemyColour(XGetPixel(image, i, 0))) continue;
    const int offset = from + i - kHeroX;
    const int distance = offset < 0 ? -offset : offset;
    if (distance <= kHeroHalfWidth) continue;
    const bool ahead = (offset > 0) == facingRight;
    int& nearest = ahead ? sight.nearestAhead : sight.nearestBehind;
    if (nearest == 0 || distance < nearest) nearest = distance;
    if (distance <= kNearPixels) ++(ahead ? sight.nearAhead : sight.nearBehind);
    if (ahead) ++sight.inSightAhead;
  }
  XDestroyImage(image);
  return sight;
}

constexpr Spot kHearts[5] = {{180, 525}, {220, 525}, {260, 525}, {300, 525}, {340, 525}};

int heartsShown(Display* display, Window window) {
  XImage* image = XGetImage(display, window, kHearts[0].x, kHearts[0].y, kHearts[4].x - kHearts[0].x + 1, 1,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return 0;
  int hearts = 0;
  for (Spot heart : kHearts) {
    if ((XGetPixel(image, heart.x - kHearts[0].x, 0) & 0xffffff) != kGrey) ++hearts;
  }
  XDestroyImage(image);
  return hearts;
}

// The keys the player may hold in play, held exactly as asked: let go of the
// others first, then pressed in the order given.
class HeldKeys {
 public:
  explicit HeldKeys(Display* d) : display(d) {}
  void only(std::initializer_list<KeySym> wanted) {
    for (Key& key : keys) {
      bool want = false;
      for (KeySym w : wanted) want = want || w == key.sym;
      if (key.down && !want) send(key, false);
    }
    for (KeySym w : wanted) {
      for (Key& key : keys) {
        if (key.sym == w && !key.down) send(key, true);
      }
    }
    XFlush(display);
  }
  bool holds(KeySym sym) const {
    for (const Key& key : keys) {
      if (key.sym == sym) return key.down;
    }
    return false;
  }

 private:
  struct Key {
    KeySym sym;
    bool down;
  };
  void send(Key& key, bool down) {
    key.down = down;
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key.sym), down ? True : False, CurrentTime);
  }
  Display* display;
  Key keys[6] = {{XK_Right, false}, {XK_Left, false}, {XK_Up, false},
                 {XK_Down, false},  {XK_x, false},    {XK_z, false}};
};

enum class Style { Crouch, Kick, Mixed };

// Pixels, measured from the hero's middle to the nearest enemy leg: an enemy
// this close stands in his punch's reach; a pile this wide ahead (pixels of
// enemy within kNearPixels) is two or more standing together; a lone enemy
// coming between kNearPixels and kFlyFrom, with no other in sight, is met
// with a flying kick, at most one every kFlyingKickEveryMs. An enemy in his
// punch's reach is punched in one fight out of kPunchOneIn, kicked in the others.
constexpr int kPunchPixels = 45;
constexpr int kPilePixels = 40;
constexpr int kFlyFrom = 130;
constexpr long kFlyingKickEveryMs = 1500;
constexpr unsigned kPunchOneIn = 3;
// How long the game needs to see Down before a kick is a low kick (a tick
// or two), and how long a jump lasts before its kick is thrown.
constexpr long kCrouchSettlesMs = 60;
constexpr long kJumpKickAfterMs = 70;
constexpr long kJumpLastsMs = 450;

struct Player {
  Display* display;
  Window window;
  Style style;
  HeldKeys keys;
  std::mt19937 chance;
  bool facingRight = true;
  long busyUntil = 0;
  long crouchedAt = -1;  // when Down was first held, -1 while standing
  // How often each blow was taken up: a held key throws the same blow again.
  int punches = 0;
  int kicks = 0;
  int lowKicks = 0;
  int flyingKicks = 0;
  long flewAt = -kFlyingKickEveryMs;

  // A human's reaction is not the same each time: up to this many ms more.
  long reaction() { return static_cast<long>(chance() % 40); }

  void walkRight(long now) {
    standUp();
    keys.only({XK_Right});
    facingRight = true;
    busyUntil = now + 20 + reaction();
  }

  void standUp() { crouchedAt = -1; }

  void turn(long now, bool crouched) {
    facingRight = !facingRight;
    const KeySym arrow = facingRight ? XK_Right : XK_Left;
    if (crouched) {
      keys.only({XK_Down, arrow});
    } else {
      standUp();
      keys.only({arrow});
    }
    busyUntil = now + kTurnMs + reaction();
  }

  void blow(long now, KeySym key) {
    if (!keys.holds(key) || keys.holds(XK_Down)) ++(key == XK_z ? punches : kicks);
    standUp();
    keys.only({key});
    busyUntil = now + reaction();
  }

  // Down first; the kick only once the game has seen him crouch.
  void lowKick(long now) {
    if (crouchedAt < 0 || !keys.holds(XK_Down)) {
      keys.only({XK_Down});
      crouchedAt = now;
      busyUntil = now + kCrouchSettlesMs + reaction();
      return;
    }
    if (!keys.holds(XK_x)) ++lowKicks;
    keys.only({XK_Down, XK_x});
    busyUntil = now + reaction();
  }

  // A jump forward into the enemy coming, the kick thrown in the air.
  void flyingKick(long now) {
    standUp();
    const KeySym forward = facingRight ? XK_Right : XK_Left;
    keys.only({forward, XK_Up});
    std::this_thread::sleep_for(std::chrono::milliseconds(kJumpKickAfterMs));
    keys.only({forward, XK_x});
    ++flyingKicks;
    flewAt = now;
    busyUntil = now + kJumpLastsMs + reaction();
  }

  // The blow for the enemy ahead: the one already thrown while the fight lasts.
  KeySym fightBlow(const Sight& sight) {
    if (keys.holds(XK_z)) return XK_z;
    if (keys.holds(XK_x)) return XK_x;
    return sight.nearestAhead <= kPunchPixels && chance() % kPunchOneIn == 0 ? XK_z : XK_x;
  }

  void act(long now) {
    const Sight sight = look(display, window, facingRight);
    const bool ahead = sight.nearAhead >= kEnemyPixels;
    const bool behind = sight.nearBehind >= kEnemyPixels;
    switch (style) {
      case Style::Kick:
      case Style::Crouch: {
        const bool crouched = style == Style::Crouch;
        if (ahead && crouched) {
          lowKick(now);
        } else if (ahead) {
          blow(now, XK_x);
        } else if (behind) {
          turn(now, crouched);
        } else {
          walkRight(now);
        }
        break;
      }
      case Style::Mixed:
        if (ahead && sight.nearAhead >= kPilePixels) {
          lowKick(now);
        } else if (ahead) {
          blow(now, fightBlow(sight));
        } else if (behind) {
          turn(now, false);
        } else if (sight.nearestAhead > 0 && sight.nearestAhead <= kFlyFrom && sight.inSightAhead < kPilePixels &&
                   sight.nearestBehind == 0 && now - flewAt >= kFlyingKickEveryMs) {
          flyingKick(now);
        } else {
          walkRight(now);
        }
        break;
    }
  }
};

int play(Window window, double seconds, Style style, unsigned seed) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const auto start = std::chrono::steady_clock::now();
  Player player{display, window, style, HeldKeys(display), std::mt19937(seed)};
  bool played = false;
  bool posing = false;
  int cleared = 0;
  int hearts = -1;
  const char* end = "time";
  while (msSince(start) < seconds * 1000.0) {
    const long now = msSince(start);
    const std::string screen = screenShown(display, window);
    if (screen == "play") {
      played = true;
      posing = false;
      // A life lost starts him over at the stage's start, facing right.
      const int shown = heartsShown(display, window);
      if (hearts >= 0 && shown < hearts) {
        player.facingRight = true;
        player.keys.only({});
        player.standUp();
        std::printf("life-lost %ld\n", now);
      }
      hearts = shown;
      if (now >= player.busyUntil) player.act(now);
    } else if (played && screen == "stage-clear" && !posing) {
      posing = true;
      ++cleared;
      // The next level starts him at its start, facing right.
      player.keys.only({});
      player.standUp();
      player.facingRight = true;
      hearts = -1;
      std::printf("stage-clear %d %ld\n", cleared, now);
    } else if (played && screen == "menu-or-game-over") {
      end = "game-over";
      break;
    }
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(kLookEveryMs + static_cast<long>(player.chance() % 3)));
  }
  player.keys.only({});
  XCloseDisplay(display);
  std::printf("level %d cleared %d end %s %ld blows punch %d kick %d low-kick %d flying-kick %d\n", cleared + 1,
              cleared, end, msSince(start), player.punches, player.kicks, player.lowKicks, player.flyingKicks);
  return 0;
}

// The health bar's filled part is orange: where it ends, along its middle row.
constexpr int kHealthBarLeft = 516;
constexpr int kHealthBarRight = 646;

int healthBarEnd(Display* display, Window window) {
  XImage* image = XGetImage(display, window, kHealthBarLeft, kHealthBarStart.y,
                            kHealthBarRight - kHealthBarLeft + 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return -1;
  int end = -1;
  for (int i = 0; i <= kHealthBarRight - kHealthBarLeft; ++i) {
    const unsigned long pixel = XGetPixel(image, i, 0);
    const long r = static_cast<long>((pixel >> 16) & 0xff);
    const long b = static_cast<long>(pixel & 0xff);
    if (r > 150 && r > b + 60) end = kHealthBarLeft + i;
  }
  XDestroyImage(image);
  return end;
}

int firstBlow(Window window, double seconds) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const auto start = std::chrono::steady_clock::now();
  int full = -1;
  int status = 1;
  while (msSince(start) < seconds * 1000.0) {
    const int end = healthBarEnd(display, window);
    if (full < 0) full = end;
    if (full > 0 && end >= 0 && end < full - 1) {
      std::printf("first blow %ld ms after the watch began (health bar %d -> %d px)\n", msSince(start), full, end);
      status = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kLookEveryMs));
  }
  if (status != 0) std::printf("no blow in %.0f s\n", seconds);
  XCloseDisplay(display);
  return status;
}

int followScreens(Window window, double seconds, Window other) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  const auto start = std::chrono::steady_clock::now();
  std::string last;
  int status = other == 0 ? 0 : 1;
  for (;;) {
    const long ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    if (ms > seconds * 1000.0) break;
    const std::string now = screenShown(display, window);
    if (now != last) {
      if (other != 0 && last == "play" && now == "stage-clear") {
        XSetInputFocus(display, other, RevertToParent, CurrentTime);
        XSync(display, False);
        status = 0;
      }
      std::printf("%s %ld\n", now.c_str(), ms);
      std::fflush(stdout);
      last = now;
      if (status == 0 && other != 0) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kLookEveryMs));
  }
  XCloseDisplay(display);
  return status;
}

// Whether the process holds the file open: a link to it among its descriptors.
bool holdsOpen(const std::string& folder, const std::string& file) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  char target[4096];
  while (const dirent* entry = readdir(dir)) {
    const ssize_t length = readlink((folder + "/" + entry->d_name).c_str(), target, sizeof target - 1);
    if (length > 0 && file.compare(0, std::string::npos, target, static_cast<size_t>(length)) == 0) found = true;
  }
  closedir(dir);
  return found;
}

int signalWhileOpen(pid_t pid, const char* file, int signal, double seconds) {
  char whole[4096];
  if (realpath(file, whole) == nullptr) return 1;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
  const auto start = std::chrono::steady_clock::now();
  while (msSince(start) < seconds * 1000.0) {
    if (kill(pid, 0) != 0) break;
    if (holdsOpen(folder, whole)) return kill(pid, signal) == 0 ? 0 : 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return closeWindow(std::strtoul(argv[2], nullptr, 0));
  if (argc == 3 && std::strcmp(argv[1], "iconify") == 0) return iconifyWindow(std::strtoul(argv[2], nullptr, 0));
  if (argc == 5 && std::strcmp(argv[1], "peak") == 0) return peak(argv[2], std::atof(argv[3]), std::atof(argv[4]));
  if (argc == 3 && std::strcmp(argv[1], "typical") == 0) return typical(argv[2]);
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "screens") == 0) {
    return followScreens(std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]),
                         argc == 5 ? std::strtoul(argv[4], nullptr, 0) : 0);
  }
  if (argc == 6 && std::strcmp(argv[1], "signal-while-open") == 0) {
    return signalWhileOpen(static_cast<pid_t>(std::atol(argv[2])), argv[3], std::atoi(argv[4]), std::atof(argv[5]));
  }
  if (argc == 5 && std::strcmp(argv[1], "clear-stage") == 0) {
    return clearStage(std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]), std::strtoul(argv[4], nullptr, 0));
  }
  if ((argc == 5 || argc == 6) && std::strcmp(argv[1], "play") == 0) {
    const std::string name = argv[4];
    const Style style = name == "crouch" ? Style::Crouch : name == "kick" ? Style::Kick : Style::Mixed;
    if (name == "crouch" || name == "kick" || name == "mixed") {
      return play(std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]), style,
                  argc == 6 ? static_cast<unsigned>(std::strtoul(argv[5], nullptr, 0)) : 1u);
    }
  }
  if (argc == 4 && std::strcmp(argv[1], "first-blow") == 0) {
    return firstBlow(std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]));
  }
  std::fprintf(stderr, "usage: e2e_tool close WINDOW | iconify WINDOW | peak FILE FROM TO | typical FILE | "
               "screens WINDOW SECONDS [OTHER] | clear-stage WINDOW SECONDS OTHER | "
               "signal-while-open PID FILE SIGNAL SECONDS | play WINDOW SECONDS crouch|kick|mixed [SEED] | "
               "first-blow WINDOW SECONDS\n");
  return 2;
}
