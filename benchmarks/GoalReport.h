#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

// A goal that one benchmark's median CPU time per iteration must meet: at most `limit`
// times the median of `reference`, or at most `limit` milliseconds when `reference` is empty.
struct BenchmarkGoal {
    std::string measured;
    std::string reference;
    double limit;
};

// Runs the registered benchmarks in repeated rounds, the benchmarks of one round in random
// order so that a noisy spell on the shared machine strikes the compared ones alike, prints
// the usual table and then each goal beside its figure and whether it is met. Flags given on
// the command line win over these defaults. malloc keeps what is freed, so that a benchmark
// does not pay for the pages that the one before it gave back. Returns 1 when a benchmark
// failed its own check or a goal was not met, else 0. With --smoke each benchmark runs once
// and only its own check counts: the short run that the test suite makes.
int runBenchmarksAgainstGoals(int argc, char** argv, const std::vector<BenchmarkGoal>& goals);

// True in a --smoke run, where a benchmark may make its input small.
bool isSmokeRun();

// Counts the page faults taken while it lives into the benchmark's "faults" counter, per
// iteration: fresh memory, not work, is what some figures hang on.
class PageFaultCounter {
  public:
    explicit PageFaultCounter(benchmark::State& state);
    ~PageFaultCounter();
    PageFaultCounter(const PageFaultCounter&) = delete;
    PageFaultCounter& operator=(const PageFaultCounter&) = delete;

  private:
    benchmark::State& state_;
    long before_;
};
