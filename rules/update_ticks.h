#pragma once
// The run's update ticks. Every move is a fixed step per tick and a tick is
// 1/60 s of game time (runs recorded at 3 ms ticks play at theirs), so a pass
// runs every tick that has come due since the last one, each at its own time:
// the game keeps its pace however few passes a second the display allows, and
// a blow that is live for one tick meets the hits resolved right after that
// tick. Everything that changes the state of
// a run happens in a tick, at the tick's time, so a run is the same whatever
// the passes were: the reinforcements, the end of the stage and the
// stage-clear poses included.

#include "rules/run.h"

// The game time of the run's next tick.
ClockTicks nextTickTime(const Run& run);

// The stage-clear timeline: past each time (ms since the stage ended) the
// hero takes the next pose, and after the last the next level starts. The
// HUD draws the pose the run is at (Run::endFrameIndex).
struct PoseStep {
  double after;
  int endFrame;
};
constexpr PoseStep kStageClearPoses[] = {{0, 0}, {200, 1}, {400, 0}, {600, 1}, {800, 2}, {1000, 3}};
constexpr double kStageClearLasts = 1000.0;

// Runs the run's next tick, number run.ticksRun, at nextTickTime(run), with
// the control state the tick was given. Returns false, running nothing,
// while the menu is open or the game is over. Whatever drives the run runs
// the ticks due in a pass, each between the turns of the log it keeps
// beside the run (a recording or a replay), if any.
bool runNextTick(Run& run);

// The fighters' moves in a tick at `now`: the hero's for the control code,
// then every enemy's (enemies/update_pass.h), those whose fall has played
// out counted as his kills. The blows are resolved after (rules/hits.h).
void updateCharacters(Player& hero, std::vector<Character>& roster, int code, Chance& chance, ClockTicks now);

// The game is over: the last life is lost, and no tick runs again.
bool gameIsOver(const Run& run);
