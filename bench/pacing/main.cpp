// Sends 21 paced feature reports (one key assignment transfer) to an in-process virtual keyboard,
// ten times, and prints how far the gaps between received reports are from 32 ms and how long a
// transfer takes beside the ideal 21 x 32 ms.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "device/HidDeviceList.h"
#include "tools/vkbd/VirtualBus.h"

int main() {
  constexpr int kReports = 21;
  constexpr int kRuns = 10;
  const auto kb = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  HidDeviceList list;
  list.AddFilter(0x24AE, 0x4076, "", DeviceFilter::PathPattern(0x24AE, 0x4076));
  list.Refresh();
  list.SetOpen(true);
  if (list.Count() != 1) {
    std::fprintf(stderr, "bench-pacing: virtual keyboard not found\n");
    return 1;
  }

  std::vector<double> deviationsUs;
  std::vector<double> transferMs;
  HidPayload payload{0x07, 0x88};
  for (int run = 0; run < kRuns; ++run) {
    kb->ClearLog();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReports; ++i) {
      payload[2] = static_cast<uint8_t>(i);
      list.SendFeaturePaced(payload, 0);
    }
    const auto log = kb->Log(vkbd::ReportKind::FeatureSet);
    if (log.size() != kReports) {
      std::fprintf(stderr, "bench-pacing: %zu of %d reports arrived\n", log.size(), kReports);
      return 1;
    }
    for (size_t i = 1; i < log.size(); ++i) {
      const double gapUs = static_cast<double>(log[i].monotonicNs - log[i - 1].monotonicNs) / 1000.0;
      deviationsUs.push_back(std::fabs(gapUs - 32000.0));
    }
    const double startNs = static_cast<double>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count());
    transferMs.push_back((static_cast<double>(log.back().monotonicNs) - startNs) / 1e6);
  }

  std::sort(deviationsUs.begin(), deviationsUs.end());
  double sum = 0;
  for (const double d : deviationsUs) sum += d;
  const size_t p99 = std::min(deviationsUs.size() - 1,
                              static_cast<size_t>(std::ceil(0.99 * static_cast<double>(deviationsUs.size()))) - 1);
  double transferSum = 0;
  for (const double t : transferMs) transferSum += t;
  std::printf("pacing_gap_deviation_mean %.1f us\n", sum / static_cast<double>(deviationsUs.size()));
  std::printf("pacing_gap_deviation_p99 %.1f us\n", deviationsUs[p99]);
  std::printf("pacing_gap_deviation_max %.1f us\n", deviationsUs.back());
  std::printf("pacing_transfer_time_mean %.2f ms\n", transferSum / static_cast<double>(transferMs.size()));
  std::printf("pacing_transfer_time_max %.2f ms\n", *std::max_element(transferMs.begin(), transferMs.end()));
  std::printf("pacing_transfer_time_ideal %.2f ms\n", kReports * 32.0);
  std::printf("pacing_gaps_measured %zu count\n", deviationsUs.size());
  return 0;
}
