// libFuzzer target: the reader of run files, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "runs/run_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunFile run;
  std::string why;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (parseRunFile(text, run, why)) {
    // Runs of older formats are read, never written: they are held to
    // their own format's hash lines, not to today's.
    if (run.version != kRunFormatVersion) return 0;
    // What reads must write back the same way and read again to the same run.
    std::string again = runHeaderLine(run.level, run.startClock, run.pace);
    for (const RunEvent& event : run.events) again += runEventLine(event);
    again += runEndLine(run.endTick, run.endHash);
    RunFile second;
    if (!parseRunFile(again, second, why) || second.events.size() != run.events.size() ||
        second.endHash != run.endHash || second.endTick != run.endTick || second.pace.num != run.pace.num ||
        second.pace.den != run.pace.den) {
      __builtin_trap();
    }
  } else if (why.empty()) {
    __builtin_trap();  // a refusal always says why
  }
  return 0;
}
