#pragma once
// Timing helpers shared by the benchmarks: wall-clock time of one run and the median of several.
#include <algorithm>
#include <chrono>
#include <vector>

namespace kw::bench {

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

template <typename F>
double TimeMs(F&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace kw::bench
