// nombre_bench: Google Benchmark cases by default; the frame loop's pass rate
// and the start-up time in modes of their own (see scripts/bench.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/modes.h"
#include "bench/table.h"

namespace {

// Prints the cases as rows of the benchmark table instead of Google
// Benchmark's own console layout.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      if (run.error_occurred) {
        std::printf("%s failed: %s\n", name.c_str(), run.error_message.c_str());
        failed = true;
        continue;
      }
      const double perUnit = unitToNs(run.time_unit);
      if (name.rfind("BM_ClipExport/", 0) == 0) {
        // Frames a second of wall time, and how that stands to a run's 60.
        const double framesPerSecond = run.counters.at("frames") / (run.GetAdjustedRealTime() * perUnit / 1e9);
        const std::string clip = std::string("clip export 800x600 .") + clipExtension(std::stoll(argument(name)));
        printRow(clip + ", frames encoded a second", framesPerSecond, "frames/s");
        printRow(clip + ", against a run's 60 frames a second", framesPerSecond / 60.0, "x", 2);
        printRow(clip + ", a minute of it", run.counters.at("bytes_a_minute") / 1e6, "MB", 2);
        printRow(clip + ", PSNR against the lossless clip", run.counters.at("psnr"), "dB", 1);
      } else if (run.report_big_o) {
        printRow("  " + prefix(name) + ", fitted time per enemy", run.GetAdjustedRealTime() * perUnit, "ns");
      } else if (run.run_type == Run::RT_Iteration) {
        printRow(prefix(name) + ", " + argument(name) + " enemies", run.GetAdjustedRealTime() * perUnit / 1e3,
                 "us/tick");
      }
    }
  }

  bool failed = false;

 private:
  static double unitToNs(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kSecond:
        return 1e9;
      case benchmark::kMillisecond:
        return 1e6;
      case benchmark::kMicrosecond:
        return 1e3;
      default:
        return 1.0;
    }
  }
  static std::string prefix(const std::string& name) {
    return name.rfind("BM_UpdateTick", 0) == 0 ? std::string("update pass + resolveHits") : name;
  }
  static std::string argument(const std::string& name) {
    const size_t slash = name.find('/');
    return slash == std::string::npos ? std::string() : name.substr(slash + 1);
  }
};

bool takeFlag(int& argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) {
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      return true;
    }
  }
  return false;
}

int usage() {
  std::fprintf(stderr,
               "usage: nombre_bench [--table] [Google Benchmark flags]\n"
               "       nombre_bench --frames [seconds]\n"
               "       nombre_bench --profile SCENE|list [passes]\n"
               "       nombre_bench --startup\n"
               "       nombre_bench --replayed-fight\n"
               "       nombre_bench --watched-passes RUN_FILE\n"
               "       nombre_bench --link-lengths\n"
               "       nombre_bench --watch-launch BINARY [runs]\n"
               "       nombre_bench --against-floor PAIRS FLOOR BINARY...\n"
               "run from build/run under Xvfb\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--frames") return runFrameRates(argc > 2 ? std::atof(argv[2]) : 2.5);
  if (mode == "--profile") return argc > 2 ? runProfile(argv[2], argc > 3 ? std::atoi(argv[3]) : 500) : usage();
  if (mode == "--startup") return runStartUp();
  if (mode == "--replayed-fight") return runReplayedFight();
  if (mode == "--link-lengths") return runLinkLengths();
  if (mode == "--watched-passes") return argc > 2 ? runWatchedPasses(argv[2]) : usage();
  if (mode == "--against-floor") {
    if (argc < 5) return usage();
    return compareLaunches(argv[3], std::vector<const char*>(argv + 4, argv + argc), std::atoi(argv[2]));
  }
  if (mode == "--watch-launch") return argc > 2 ? watchLaunch(argv[2], argc > 3 ? std::atoi(argv[3]) : 5) : usage();

  const bool table = takeFlag(argc, argv, "--table");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return usage();
  int status = 0;
  if (table) {
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    status = reporter.failed ? 1 : 0;
  } else {
    benchmark::RunSpecifiedBenchmarks();
  }
  benchmark::Shutdown();
  return status;
}
