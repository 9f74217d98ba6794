// nombre-check: checks recorded runs of nombre with the rules alone, no
// window, display or sound: one line per file (or link to a run, natively), exit 0 only when every run
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

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// Under node, a program's arguments come decoded as UTF-8 and files are
// opened by names of text, so a name of any other bytes would be lost; and
// node opens a named pipe by waiting for a writer. So there the arguments
// are read again as bytes from /proc/self/cmdline, and a run file is read by
// node from its name's bytes, opened without waiting and refused unless it is
// a regular file, as the native checker reads it.

// The bytes of the last `count` arguments, each ended by a NUL: their length,
// then copied into `into`; -1 when they cannot be read again.
EM_JS(double, nodeArgumentBytes, (int count), {
  try {
    const all = require('fs').readFileSync('/proc/self/cmdline');
    const ends = [];
    for (let i = 0; i < all.length; i++) if (all[i] === 0) ends.push(i);
    if (ends.length < count + 1) return -1;
    Module.nodeBytes = all.subarray(ends[ends.length - count - 1] + 1);
    return Module.nodeBytes.length;
  } catch (e) {
    return -1;
  }
});

// The run file named by the `length` bytes at `name`: its length (its bytes
// then copied by nodeTakeBytes), -1 when it is no regular file that can be
// read, -2 when it holds more than `largest` bytes.
EM_JS(double, nodeRunFileBytes, (const char* name, int length, double largest), {
  const fs = require('fs');
  let fd = -1;
  try {
    fd = fs.openSync(Buffer.from(HEAPU8.subarray(name, name + length)), fs.constants.O_RDONLY | fs.constants.O_NONBLOCK);
    const status = fs.fstatSync(fd);
    if (!status.isFile()) throw new Error('not a regular file');
    if (status.size > largest) return -2;
    const chunks = [];
    let held = 0;
    for (;;) {
      const chunk = Buffer.alloc(1 << 20);
      const got = fs.readSync(fd, chunk, 0, chunk.length, null);
      if (got === 0) break;
      chunks.push(chunk.subarray(0, got));
      held += got;
      if (held > largest) return -2;
    }
    Module.nodeBytes = Buffer.concat(chunks, held);
    return held;
  } catch (e) {
    return -1;
  } finally {
    if (fd >= 0) fs.closeSync(fd);
  }
});

EM_JS(void, nodeTakeBytes, (char* into), {
  HEAPU8.set(Module.nodeBytes, into);
  Module.nodeBytes = null;
});

namespace {

// The arguments as the command line gave their bytes (argv itself where
// they cannot be read again).
std::vector<std::string> argumentBytes(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  const double length = nodeArgumentBytes(argc - 1);
  if (length < 0) return arguments;
  std::string bytes(static_cast<size_t>(length), '\0');
  nodeTakeBytes(bytes.data());
  size_t from = 0;
  for (int i = 1; i < argc; ++i) {
    const size_t end = bytes.find('\0', from);
    arguments[i] = bytes.substr(from, end - from);
    from = end + 1;
  }
  return arguments;
}

bool readRun(const std::string& path, RunFile& run, std::string& why) {
  const double length = nodeRunFileBytes(path.data(), static_cast<int>(path.size()), kLargestRunFile);
  if (length < 0) {
    why = length == -2 ? kRunFileTooLarge : kRunFileUnreadable;
    return false;
  }
  std::string text(static_cast<size_t>(length), '\0');
  nodeTakeBytes(text.data());
  return parseRunFile(text, run, why);
}

}  // namespace
#else
#include "app/run_link.h"

namespace {
bool readRun(const std::string& path, RunFile& run, std::string& why) { return readRunOrLink(path, run, why); }
}  // namespace
#endif

int main(int argc, char** argv) {
  CLI::App app{"nombre-check: checks runs recorded by nombre, without a display", "nombre-check"};
  std::vector<std::string> paths;
  app.add_option("FILE", paths, "A run file, as nombre --record writes it, or a link to a run (nombre --link)")->required();
#ifdef __EMSCRIPTEN__
  std::vector<std::string> arguments = argumentBytes(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  argv = pointers.data();
#endif
  const int parsed = parseCommandLineWith(app, argc, argv, "nombre-check", NOMBRE_VERSION);
  if (parsed >= 0) return parsed;
  int code = 0;
  for (const std::string& path : paths) {
    // Read into the one copy the check plays back.
    auto run = std::make_shared<RunFile>();
    std::string why;
    if (!readRun(path, *run, why)) {
      std::printf("%s: not a run to check: %s\n", quotedPath(path).c_str(), why.c_str());
      code = 2;
      continue;
    }
    const RunVerdict verdict = checkRun(std::move(run));
    // A run that checks ends with what a table of scores would claim for it.
    std::printf("%s: %s\n", quotedPath(path).c_str(), verdictLine(verdict).c_str());
    if (!verdict.same && code == 0) code = 1;
  }
  std::fflush(stdout);
  return code;
}
