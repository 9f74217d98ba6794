#pragma once
// A run of the game as a short text: where it started, then what the game
// saw tick by tick (the keys as the control rules took them, from the
// keyboard and the pads alike; the pauses; the ticks dropped after a stall),
// with a hash of the state every kHashEvery ticks and at the end. Play is decided
// only by these, so playing the events back at their ticks gives the same
// run, to the last pixel, whatever the passes of the frame loop.
//
//   nombre-replay 3 game 1.0.0 level 1 clock 412 tick 50/3
//                                                    header: format version, game version, start,
//                                                    the length of a tick in ms (a fraction)
//   0 press right                                    TICK KIND VALUE, ticks never going back
//   117 release right                                  press, release, repeat: a key
//   180 hash 3f2a9c0d11e4b5a7                          the digest after that many ticks
//   1203 pause -                                       play paused (the menu opened), resumed
//   5231 drop 84                                       ms of game time skipped after a stall
//   end 52344 9f3ac2d06b1e8e40                       the ticks of the whole run, the final digest
//
// The digest (since version 2) folds in the whole state of the run after
// every tick (see runs/run_digest.h), so a replay that differs from its run
// at any tick shows at the next hash line. Version 1 files hashed part of the
// state at those ticks alone; they are still read and checked that way.
// Versions 1 and 2 carry no tick length: they were played at 3 ms ticks, and
// play back at that pace (kClassicPace).
//
// A key the game has no name for (a media key, or a default key given to no
// action) is key-1. A file may start with a UTF-8 byte-order mark. A run
// holds at most kLongestRunMs of game time, its ticks and drops together, so
// every run a file can hold is checked in seconds.

#include <cstdint>
#include <string>
#include <vector>

#include "base/clock.h"

constexpr int kRunFormatVersion = 3;
constexpr int kFirstPacedRunFormatVersion = 3;  // the first that records its tick length
constexpr int kFirstRunFormatVersion = 1;  // the oldest version still read
constexpr std::int64_t kHashEvery = 180;  // ticks between the hashes of a run: 3 s at 60 ticks a second
constexpr std::int64_t kClassicHashEvery = 1000;  // and in files of versions 1 and 2: 3 s at 3 ms ticks
// Every game starts at this level: a run that starts at another was not recorded by the game.
constexpr int kRunStartLevel = 1;
// The most game time a run file may hold: 4 hours of play (the pauses not
// counted), a long sitting, and a check of it takes a few seconds.
constexpr std::int64_t kLongestRunHours = 4;
constexpr std::int64_t kLongestRunMs = kLongestRunHours * 60 * 60 * 1000;

enum class RunEventKind { Press, Release, Repeat, Pause, Resume, Drop, Hash };

struct RunEvent {
  std::int64_t tick = 0;
  RunEventKind kind = RunEventKind::Press;
  std::int64_t value = 0;  // the key, the ms dropped, or the hash
};

struct RunFile {
  int version = kRunFormatVersion;
  std::string gameVersion;
  float level = 1.0f;
  ClockTicks startClock = 0;
  TickPace pace = kGamePace;
  std::vector<RunEvent> events;
  std::int64_t endTick = 0;
  std::uint64_t endHash = 0;
};

std::string runHeaderLine(float level, ClockTicks startClock, const TickPace& pace);
std::string runEventLine(const RunEvent& event);
std::string runEndLine(std::int64_t ticks, std::uint64_t hash);
// Reads a whole run. On failure returns false and says why in `why` (which
// line, and what is wrong with it). `stopAsked`, when given, is asked every
// few thousand lines: true stops the reading there, false returned and
// `why` "stopped".
bool parseRunFile(const std::string& text, RunFile& run, std::string& why, bool (*stopAsked)() = nullptr);
// The shortest line an event can be written in ("0 drop 1"): a file holds at
// most one event for each such line, so its events take at most
// sizeof(RunEvent) / (kShortestEventLine + 1) times its size.
constexpr size_t kShortestEventLine = 8;
// The game time a run takes: its ticks at its pace and the milliseconds it dropped.
std::int64_t runGameTime(const TickPace& pace, std::int64_t ticks, std::int64_t droppedMs);
// The pace of a tick num/den ms long, as a run file gives it: the game's own
// rules at that tick, with as many catch-up ticks as fit in kLongestCatchUpMs.
TickPace pacedAt(ClockTicks num, ClockTicks den);
constexpr ClockTicks kLongestCatchUpMs = 100;

