// Keyboard control costs: one full redraw of the shipped 87-key keyboard in each mode (the
// control alone and the whole window it sits in), and the CPU the light preview takes while it
// animates for 10 s on the 10 ms animation timer (needs a display; skipped without one): the
// wave, where most keys change every frame, and the reactive mode, where a few do; with the
// share of those paints the keyboard wrote into the window's kept frame itself.
// Prints "NAME VALUE UNIT" lines; redraw times and CPU shares are medians.
// `bench-keyboard preview` runs only the speed-3 wave, for a profiler.
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "docs/LayoutFile.h"
#include "docs/LayoutViews.h"
#include "store/LightFrameStore.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"
#include "tavex/Manager.h"

namespace {

using Tavex::CRect;
using Tavex::KeyboardCtrl;

constexpr int kClientW = 1260;
constexpr int kClientH = 500;
constexpr int kWaveMode = 4;
// Few keys change per frame: what painting only the changed outlines saves shows here.
constexpr int kReactiveMode = 6;

struct Shipped {
  LayoutFile layout;
  std::vector<unsigned char> frames;
  std::vector<unsigned char> reactiveFrames;
  bool ok = false;
  Shipped() {
    const std::string folder = Tavex::Manager::GetProgramFolder();
    const std::string path = LayoutFile::PathFor(folder, "tarnwick_k87");
    ok = layout.LoadDeviceInfo(path, 1) && layout.LoadLayout(path) && layout.Keys().size() == 87;
    LightFrameStore& store = LightFrameStore::Instance();
    if (store.Open(folder)) {
      frames = Frames(store, kWaveMode);
      reactiveFrames = Frames(store, kReactiveMode);
    }
  }
  static std::vector<unsigned char> Frames(LightFrameStore& store, int mode) {
    std::vector<FrameRecord> rows;
    store.ListFrames(mode, rows);
    std::vector<unsigned char> bytes;
    for (const FrameRecord& r : rows) bytes.push_back(static_cast<unsigned char>(r.rgb_value & 0xFF));
    return bytes;
  }
  void Fill(KeyboardCtrl* ctrl) const {
    ApplyLayout<KeyboardCtrl, CRect>(layout, {ctrl, nullptr, nullptr});
    ctrl->SetLightModeData(frames.data(), static_cast<int>(frames.size()));
    ctrl->SetLightSpeed(3);
    ctrl->SetPreviewColor(RGB(0xCA, 0x51, 0x00));
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A dialog holding the keyboard that closes itself after `seconds`.
class PreviewDialog : public Tavex::MDialog {
 public:
  PreviewDialog(const Shipped& data, int seconds, int speed, int mode, bool reactive)
      : m_data(data), m_seconds(seconds), m_speed(speed), m_mode(mode), m_reactive(reactive) {}
  void InitUI(CRect) override {
    m_kb = static_cast<KeyboardCtrl*>(CreateControl("KeyboardCtrl", 69, CRect(), nullptr, 1, 1));
    m_data.Fill(m_kb);
    if (m_reactive) {
      m_kb->SetLightModeData(m_data.reactiveFrames.data(), static_cast<int>(m_data.reactiveFrames.size()));
    }
    m_kb->SetLightSpeed(m_speed);
    m_kb->SetKeyboardCtrlMode(m_mode);
  }
  int OnInitDialog() override {
    MDialog::OnInitDialog();
    SetMTimer(10);
    SetTimer(1, static_cast<UINT>(m_seconds * 1000));
    return 1;
  }
  int OnTimer(unsigned id) override {
    if (id == 1) DoClose();
    return 0;
  }
  KeyboardCtrl* m_kb = nullptr;

 private:
  const Shipped& m_data;
  int m_seconds;
  int m_speed;
  int m_mode;
  bool m_reactive;
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// One 10 s run: the CPU share of one core, the paints per second, and the share of them the
// keyboard wrote into the kept frame itself.
struct RunFigures {
  double cpuPercent = 0;
  double paintsPerSecond = 0;
  double retainedShare = 0;
  bool ok = false;
};

RunFigures RunOnce(const Shipped& data, int seconds, int speed, int mode, bool reactive) {
  PreviewDialog dialog(data, seconds, speed, mode, reactive);
  if (dialog.Create(nullptr, "bench", 0x96000000, 0, CRect(50, 50, 50 + kClientW, 50 + kClientH)) ==
      nullptr) {
    return {};
  }
  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  dialog.ShowModal(SW_SHOW);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = CpuSeconds() - cpu0;
  const Tavex::PaintManager& pm = dialog.GetPaintManager();
  const int paints = std::max(pm.GetPaintCount(), 1);
  return {100.0 * cpu / wall, pm.GetPaintCount() / wall, 100.0 * pm.GetRetainedPaintCount() / paints, true};
}

// Three runs, since a single figure of a few percent moves with whatever else the machine does:
// the median is the figure, the highest shows the spread.
void AnimateFor(const Shipped& data, int seconds, int speed, int mode = KeyboardCtrl::kModePreview,
                bool reactive = false) {
  std::vector<double> cpu, paints, retained;
  for (int run = 0; run < 3; ++run) {
    const RunFigures f = RunOnce(data, seconds, speed, mode, reactive);
    if (!f.ok) {
      std::printf("keyboard_preview_skipped 1 flag\n");
      return;
    }
    cpu.push_back(f.cpuPercent);
    paints.push_back(f.paintsPerSecond);
    retained.push_back(f.retainedShare);
  }
  const std::string tag = mode != KeyboardCtrl::kModePreview ? "keyboard_ticks_mode" + std::to_string(mode)
                          : reactive ? "keyboard_preview_reactive_speed" + std::to_string(speed)
                                     : "keyboard_preview_speed" + std::to_string(speed);
  std::printf("%s_cpu %.2f %%core\n", tag.c_str(), Median(cpu));
  std::printf("%s_cpu_highest %.2f %%core\n", tag.c_str(), *std::max_element(cpu.begin(), cpu.end()));
  std::printf("%s_paints_per_s %.1f 1/s\n", tag.c_str(), Median(paints));
  std::printf("%s_retained_paints %.1f %%\n", tag.c_str(), Median(retained));
}

}  // namespace

int main(int argc, char** argv) {
  const Shipped data;
  if (!data.ok) {
    std::fprintf(stderr, "bench-keyboard: the shipped layout is missing (build kw_data)\n");
    return 1;
  }
  if (argc > 1 && std::string(argv[1]) == "preview") {
    AnimateFor(data, 10, 3);
    return 0;
  }
  std::printf("keyboard_keys %zu keys\nkeyboard_preview_frames %zu frames\n", data.layout.Keys().size(),
              data.frames.size() / data.layout.Keys().size());

  // Redraws without a window: a dialog object is enough to compose its surface.
  Tavex::MDialog dialog;
  auto* kb = static_cast<KeyboardCtrl*>(dialog.CreateControl("KeyboardCtrl", 69, CRect(), nullptr, 1, 1));
  data.Fill(kb);
  kb->ResetAllItemCheck(0);
  for (DWORD code : {0x29u, 0x3Au, 0x1Au, 0x04u}) kb->SetKeyCheck(code, 1);
  Tavex::Surface surface(kClientW, kClientH);
  const CRect client(0, 0, kClientW, kClientH);
  for (int mode = KeyboardCtrl::kModePlain; mode <= KeyboardCtrl::kModeMusic; ++mode) {
    kb->SetKeyboardCtrlMode(mode);
    std::vector<double> control, window;
    for (int i = 0; i < 60; ++i) {
      kb->UpdateControl(1, 1);  // stale cache: a full redraw
      auto t0 = std::chrono::steady_clock::now();
      {
        Tavex::Painter p(surface);
        kb->Draw(p, client);
      }
      control.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
      if (mode == KeyboardCtrl::kModePreview) {
        for (int tick = 0; tick < 3; ++tick) kb->OnTimer();  // next frame at speed 3
      }
      kb->UpdateControl(1, 1);
      t0 = std::chrono::steady_clock::now();
      {
        Tavex::Painter p(surface);
        dialog.GetPaintManager().Render(p, client, client);
      }
      window.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::printf("keyboard_redraw_mode%d %.3f ms\n", mode, Median(control));
    std::printf("keyboard_window_paint_mode%d %.3f ms\n", mode, Median(window));
  }

  // Cached image: what a repaint of another control costs the keyboard.
  std::vector<double> cached;
  for (int i = 0; i < 60; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    {
      Tavex::Painter p(surface);
      kb->Draw(p, client);
    }
    cached.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::printf("keyboard_cached_copy %.3f ms\n", Median(cached));

  if (!Tavex::Native::DisplayAvailable()) {
    std::printf("keyboard_preview_skipped 1 flag\n");
    return 0;
  }
  // The same timer with nothing to animate: what an idle window costs (the timer sleeps).
  AnimateFor(data, 10, 3, KeyboardCtrl::kModeAssign);
  AnimateFor(data, 10, 2);
  AnimateFor(data, 10, 3);
  AnimateFor(data, 10, 3, KeyboardCtrl::kModePreview, true);
  return 0;
}
