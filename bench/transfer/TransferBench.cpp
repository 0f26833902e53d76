// The key assignment transfer with real pacing against the in-process virtual keyboard, taken
// the way the key page sends it: task 6 queued to the main window's dispatcher and run by its
// worker thread, timed from the queueing to the keyboard's receipt of the last report. The
// transfer is 21 feature reports 32 ms apart plus the 50 ms gap after the macro area. Prints the
// median duration beside the ideal 21 x 32 + 50 ms and the deviation from it.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/TaskCodes.h"
#include "app/TaskDispatcher.h"
#include "app/TaskHost.h"
#include "app/TaskWorker.h"
#include "device/DeviceFilter.h"
#include "device/HidDeviceList.h"
#include "features/KeyboardCommands.h"
#include "features/MacroAreaBlocks.h"
#include "store/ProfileStore.h"
#include "tools/vkbd/VirtualBus.h"

namespace {

// A window with the keyboard connected that has nothing to disable, refresh or close.
class ConnectedHost : public TaskHost {
 public:
  bool IsKeyboardConnected() const override { return true; }
  void RefreshDevices() override {}
  void EnableWindow(bool) override {}
  void CloseWaitDialog() override {}
};

// Lets the worker finish its step pause and fall asleep waiting, as it is when the user clicks.
constexpr std::chrono::milliseconds kIdleBeforeClick{150};
constexpr std::chrono::milliseconds kPoll{1};

}  // namespace

int main() {
  std::string folder = (std::filesystem::temp_directory_path() / "kwxfer-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  folder += "/";
  std::filesystem::create_directories(folder + "db");
  double medianMs = 0;
  double buildMs = 0;
  size_t reports = 0;
  {
    ProfileStore store;
    if (!store.OpenForDevice(folder, "Tarnwick_V3")) return 1;
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
    // A full profile: 6 macros of 30 events, 6 shortcuts, 12 key table entries.
    for (int32_t k = 0; k < 6; ++k) {
      const int32_t macro = store.AddMacro("M" + std::to_string(k));
      std::vector<MacroEventRecord> events;
      for (int32_t i = 0; i < 30; ++i) events.push_back({0, macro, 2 + i % 2, i, 65 + i / 2, 20, "K"});
      store.AddMacroEvents(events);
      store.SaveKeyAssignment({0, 1, 0, 0x10 + k, 0, "", 3, macro, 0, 0, "M"});
      store.SaveKeyAssignment({0, 1, 0, 0x20 + k, 0, "", 7, 1 + k, 0, 0, "S"});
    }
    for (int32_t k = 0; k < 12; ++k) store.SaveKeyAssignment({0, 1, 0, 0x30 + k, 0, "", 2, 4 + k, 0, 0, "F"});

    const uint16_t vid = 0x24AE, pid = 0x4076;
    auto keyboard = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(vid, pid));
    HidDeviceList list;
    list.AddFilter(vid, pid, "", DeviceFilter::PathPattern(vid, pid));
    list.Refresh();
    list.SetOpen(true);
    KeyboardCommands commands(list, store);

    ConnectedHost host;
    TaskDispatcher dispatcher(host);
    // The key page's task 6 work: the active profile's assignments to keyboard 0.
    dispatcher.RegisterTask(kTaskSendKeys, [&] { commands.SendKeyAssignments(0, 1); });
    TaskWorker worker(dispatcher);
    if (!worker.StartWorker()) return 1;

    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
      std::this_thread::sleep_for(kIdleBeforeClick);
      keyboard->ClearLog();
      const int64_t queuedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count();
      dispatcher.QueueTask(kTaskSendKeys);
      while (dispatcher.PendingTasks() > 0) std::this_thread::sleep_for(kPoll);
      const std::vector<vkbd::LoggedReport> sent = keyboard->Log(vkbd::ReportKind::FeatureSet);
      if (sent.empty()) return 1;
      reports = sent.size();
      runs.push_back(static_cast<double>(sent.back().monotonicNs - queuedNs) / 1e6);
    }
    worker.StopWorker();
    std::sort(runs.begin(), runs.end());
    medianMs = runs[runs.size() / 2];
    // The host's own share: listing the profile twice and encoding the area and the table.
    std::vector<double> builds;
    for (int run = 0; run < 50; ++run) {
      const auto start = std::chrono::steady_clock::now();
      std::vector<KeyAssignmentRecord> assignments;
      store.ListKeyAssignments(1, 0, assignments);
      const MacroArea area = BuildMacroArea(MacroAreaBlocks(assignments, store));
      store.ListKeyAssignments(1, 0, assignments);
      const KeyTableData table = BuildKeyTableData(assignments);
      builds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      static_cast<void>(area);
      static_cast<void>(table);
    }
    std::sort(builds.begin(), builds.end());
    buildMs = builds[builds.size() / 2];
    list.CloseAll();
    vkbd::LocalBus().Clear();
  }
  std::filesystem::remove_all(folder);
  const double idealMs = 21 * 32 + 50;
  std::printf("transfer_key_assignments %.1f ms\n", medianMs);
  std::printf("transfer_key_assignments_ideal %.1f ms\n", idealMs);
  std::printf("transfer_key_assignments_deviation %.2f %%\n", 100.0 * (medianMs - idealMs) / idealMs);
  std::printf("transfer_build_data %.2f ms\n", buildMs);
  std::printf("transfer_key_assignments_reports %zu reports\n", reports);
  return 0;
}
