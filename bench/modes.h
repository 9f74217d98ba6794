#pragma once

#include <vector>
// The parts of nombre_bench that are not Google Benchmark cases; each runs in
// a process of its own, since the game starts once per process.

// Pass rate of the real frame loop beside a clear-and-present loop, for each
// play scene, about `seconds` of each.
int runFrameRates(double seconds);
// Runs `passes` frame-loop passes of one scene (for a profiler); "list" names them.
int runProfile(const char* scene, int passes);
// Start-up of this process: launch (NOMBRE_LAUNCH_NS, wall-clock ns, when
// set) to the first presented frame, split into its parts.
int runStartUp();
// Launches the game binary `runs` times and waits on the X server for its
// window and for its first frame on screen.
int watchLaunch(const char* binary, int runs);
// Records a level-12 fight, then replays it through the real frame loop at
// the run's own pace: passes per second and CPU time per pass.
int runReplayedFight();
// Plays the run file at `path` back at 60 passes a second, as the web page
// does, and times each pass of the frame loop alone: median and 90th
// percentile (the page's own figure is beside it in tests/web).
int runWatchedPasses(const char* path);
// Plays scripted runs of 1, 3 and 10 minutes and prints how long a link each makes.
int runLinkLengths();
// Launches the floor program and each game binary in turn, `pairs` times,
// and gives each game's launch to first frame against the floor's of the same
// round: median, min and max of the ratios.
int compareLaunches(const char* floor, const std::vector<const char*>& games, int pairs);
// The kind of file (its extension) of each case of the clip export benchmark.
const char* clipExtension(long long index);
