// Whole processes of the batch command on one data file of 13 (the example), 200 and 1001
// points: start-up, import, both fits, statistics, report and cross-check, as a user waits for
// them. Wall time per process; cpu_ms is the processor time of the process (all its threads,
// user and system).
//
//   batch_process_bench [--batch=LABEL=PROGRAM]... [benchmark options]
//
// Without --batch it times the batch command of its own build. Each --batch adds a program to
// time on the same files in the same run (another build, say one configured with
// -DBRX_OMEGW_REFERENCE=ON), so their figures can be compared as ratios; with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N their runs alternate,
// which spreads the load of a busy machine over all of them.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/bench_curves.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Program {
  std::string label;
  std::string path;
};

// Runs `program file` with its output discarded; the processor time it used goes to `cpu`.
// False when it could not be started or did not end with status 0.
bool run_once(const std::string& program, const std::string& file, double& cpu) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(file.c_str()),
                             nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  auto seconds = [](const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  };
  cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_BatchProcess(benchmark::State& state, const Program& program) {
  const int points = static_cast<int>(state.range(0));
  const fs::path folder =
      fs::temp_directory_path() / ("brx-batch-bench-" + std::to_string(getpid()));
  const fs::path file = brx::bench::write_curve(folder, points);
  double cpu_total = 0;
  for (auto _ : state) {
    double cpu = 0;
    if (!run_once(program.path, file.string(), cpu)) {
      state.SkipWithError(("cannot run " + program.path).c_str());
      break;
    }
    cpu_total += cpu;
  }
  state.counters["cpu_ms"] =
      benchmark::Counter(cpu_total * 1e3, benchmark::Counter::kAvgIterations);
  fs::remove_all(folder);
}

// With repetitions, the least of them: the run least disturbed by the rest of a busy machine.
double least(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Program> programs;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const std::string::size_type eq = a.find('=', 8);
    if (a.rfind("--batch=", 0) == 0 && eq != std::string::npos) {
      programs.push_back({a.substr(8, eq - 8), a.substr(eq + 1)});
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (programs.empty()) programs.push_back({"this_build", BRX_BATCH_EXE});
  for (const Program& p : programs) {
    benchmark::RegisterBenchmark(("BM_BatchProcess/" + p.label).c_str(), BM_BatchProcess, p)
        ->Arg(13)
        ->Arg(200)
        ->Arg(1001)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->ComputeStatistics("min", least);
  }
  int rest_argc = static_cast<int>(rest.size());
  benchmark::Initialize(&rest_argc, rest.data());
  if (benchmark::ReportUnrecognizedArguments(rest_argc, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
