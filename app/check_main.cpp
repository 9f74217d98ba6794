// nombre-check: checks recorded runs of nombre with the rules alone, no
// window, display or sound: one line per file, exit 0 only when every run
// ends as recorded (1 when one does not, 2 when a file cannot be read). The
// line of a run that checks ends with its score and the level it reached.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/command_parse.h"
#include "base/console.h"
#include "runs/run_check.h"

int main(int argc, char** argv) {
  CLI::App app{"nombre-check: checks runs recorded by nombre, without a display", "nombre-check"};
  std::vector<std::string> paths;
  app.add_option("FILE", paths, "A run file, as nombre --record writes it")->required();
  const int parsed = parseCommandLineWith(app, argc, argv, "nombre-check", NOMBRE_VERSION);
  if (parsed >= 0) return parsed;
  int code = 0;
  for (const std::string& path : paths) {
    // Read into the one copy the check plays back.
    auto run = std::make_shared<RunFile>();
    std::string why;
    if (!readRunFile(path, *run, why)) {
      std::printf("%s: not a run to check: %s\n", quotedPath(path).c_str(), why.c_str());
      code = 2;
      continue;
    }
    const RunVerdict verdict = checkRun(std::move(run));
    // A run that checks ends with what a table of scores would claim for it.
    if (verdict.same) {
      std::printf("%s: %s; score %lld, level %d\n", quotedPath(path).c_str(), verdict.says.c_str(), verdict.score,
                  verdict.level);
    } else {
      std::printf("%s: %s\n", quotedPath(path).c_str(), verdict.says.c_str());
    }
    if (!verdict.same && code == 0) code = 1;
  }
  std::fflush(stdout);
  return code;
}
