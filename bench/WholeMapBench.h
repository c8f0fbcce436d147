#pragma once
// The table that the benchmark run ends with: each speed goal, what was measured in this run
// and whether it is met.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace corvane {

class GoalTableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void PrintTable() const;

private:
    struct Result {
        double ms = -1.0;      // real time
        double cpuMs = -1.0;   // processor time of the benchmark's thread
        bool fromMedian = false;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Result> results_;
};

} // namespace corvane
