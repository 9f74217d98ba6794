#pragma once
// The digest of a run: the whole state of the run (everything in Run that
// shapes what happens next) folded in after every tick, so two runs with the
// same digest went through the same states at every tick.

#include <cstdint>

#include "rules/run.h"

// The whole state of the run now: the hero (place, facing, box, quad,
// image step, clocks, blow, jump, health, lives, score and multiplier), each
// enemy in roster order (the same and its own clocks, seed and blow), the
// hearts, the level, the tick and its clocks, the end of the stage and the
// stage-clear pose, the control state and the generator.
std::uint64_t runStateDigest(const Run& run);

// Whether the digest knows how to fold in every field the list of a run's
// fields (rules/run_fields.h) calls state: a field of a kind it cannot fold
// in would be a silent hole in the check.
bool everyStateFieldIsFolded(const Run& run);

// The digest a run starts from, and the next one after a tick.
constexpr std::uint64_t kRunDigestStart = 0x6e6f6d6272650002ULL;
std::uint64_t foldRunDigest(std::uint64_t digest, const Run& run);
