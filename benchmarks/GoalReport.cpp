#include "benchmarks/GoalReport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <map>
#include <sys/resource.h>

namespace {

// The console table, and the median CPU time of each benchmark in milliseconds.
class MedianCollector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed = true;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = milliseconds(run);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> medians;
    bool failed = false;

  private:
    static double milliseconds(const Run& run) {
        return run.GetAdjustedCPUTime() *
               benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
               benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
};

bool smokeRun = false;

long pageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

} // namespace

bool isSmokeRun() {
    return smokeRun;
}

PageFaultCounter::PageFaultCounter(benchmark::State& state)
    : state_(state), before_(pageFaults()) {}

PageFaultCounter::~PageFaultCounter() {
    state_.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - before_),
                                                   benchmark::Counter::kAvgIterations);
}

int runBenchmarksAgainstGoals(int argc, char** argv, const std::vector<BenchmarkGoal>& goals) {
    // A page fault costs 10-20 us on this kind of virtual machine; with malloc's own
    // thresholds, which move with what was freed last, a benchmark's figure would depend on
    // which benchmark ran before it. Fixed ones keep freed memory for reuse.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    std::vector<char*> arguments(argv, argv + argc);
    const auto smokeFlag = std::find_if(arguments.begin() + 1, arguments.end(), [](const char* a) {
        return std::strcmp(a, "--smoke") == 0;
    });
    const bool smoke = smokeFlag != arguments.end();
    if (smoke) {
        arguments.erase(smokeFlag);
        smokeRun = true;
    }
    char repetitions[] = "--benchmark_repetitions=9";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregatesOnly[] = "--benchmark_display_aggregates_only=true";
    char once[] = "--benchmark_repetitions=1";
    char briefly[] = "--benchmark_min_time=0";
    // Later flags win, so the defaults go before the caller's own.
    arguments.insert(arguments.begin() + 1, {repetitions, interleaving, aggregatesOnly});
    if (smoke) {
        arguments.insert(arguments.begin() + 4, {once, briefly});
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 2;
    }
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    if (smoke) {
        return collector.failed ? 1 : 0; // one pass to see that each benchmark still checks out
    }
    bool allMet = !collector.failed;
    std::printf("\nmedian CPU time per iteration against each goal\n");
    for (const BenchmarkGoal& goal : goals) {
        const auto measured = collector.medians.find(goal.measured);
        const auto reference = collector.medians.find(goal.reference);
        if (measured == collector.medians.end() ||
            (!goal.reference.empty() && reference == collector.medians.end())) {
            continue; // filtered out of this run
        }
        double figure = measured->second;
        if (goal.reference.empty()) {
            std::printf("%-34s %9.3f ms                      (goal <= %.2f ms): ",
                        goal.measured.c_str(), figure, goal.limit);
        } else {
            figure /= reference->second;
            std::printf("%-34s %9.3f ms / %-24s = %6.2f (goal <= %.2f): ", goal.measured.c_str(),
                        measured->second, goal.reference.c_str(), figure, goal.limit);
        }
        const bool met = figure <= goal.limit;
        std::printf("%s\n", met ? "met" : "NOT MET");
        allMet = allMet && met;
    }
    return allMet ? 0 : 1;
}
