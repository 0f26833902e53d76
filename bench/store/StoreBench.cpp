// Profile store timings of the operations the UI waits on: a profile switch, saving a recorded
// macro's events and listing a large macro library. Prints "NAME VALUE UNIT" lines (medians).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/ProfileStore.h"

namespace {

double MedianMicros(int rounds, const std::function<void()>& prepare, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::string folder = (std::filesystem::temp_directory_path() / "kwbench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  folder += "/";
  std::filesystem::create_directories(folder + "db");
  {
    ProfileStore store;
    if (!store.OpenForDevice(folder, "Tarnwick_V3")) return 1;
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);

    // Three profiles with a full set of assignments each.
    for (int32_t profile = 1; profile <= 3; ++profile) {
      for (int32_t key = 1; key <= 24; ++key) {
        KeyAssignmentRecord r;
        r.profile = profile;
        r.key_code = key;
        r.macro_type = key <= 12 ? 2 : 3;
        r.macro_value = key;
        r.macro_desc = "Key " + std::to_string(key);
        store.SaveKeyAssignment(r);
      }
    }
    std::vector<KeyAssignmentRecord> keys;
    KeyAssignmentRecord one;
    int32_t profile = 1;
    const double switchUs = MedianMicros(
        200, [&] { profile = profile % 3 + 1; },
        [&] {
          store.ListKeyAssignments(profile, 0, keys);
          for (int32_t key = 1; key <= 12; ++key) store.GetKeyAssignment(profile, 0, key, one);
        });
    std::printf("store_profile_switch %.1f us\n", switchUs);

    const int32_t macro = store.AddMacro("Bench");
    std::vector<MacroEventRecord> events;
    for (int32_t i = 0; i < 30; ++i) {
      events.push_back({0, macro, i % 2 == 0 ? 2 : 3, i, 65 + i / 2, 10 * i, "A"});
    }
    const double addUs = MedianMicros(
        200, [&] { store.DeleteMacroEvents(macro); }, [&] { store.AddMacroEvents(events); });
    std::printf("store_add_macro_events_30 %.1f us\n", addUs);

    for (int i = 0; i < 999; ++i) store.AddMacro("Macro " + std::to_string(i));
    std::vector<MacroRecord> macros;
    const double listUs = MedianMicros(100, [] {}, [&] { store.ListMacros(macros); });
    std::printf("store_list_macros_1000 %.1f us\n", listUs);
    std::printf("store_list_macros_count %zu macros\n", macros.size());
  }
  std::filesystem::remove_all(folder);
  return 0;
}
