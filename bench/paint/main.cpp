// bench-paint [idle_seconds]: paint times of a 1200 x 720 dialog with 60 controls over a
// background image, and the CPU an idle dialog costs. Prints "NAME VALUE UNIT" lines.
//   paint_full_median / _p95        wall time of one full repaint (compose + output), the
//                                   controls drawing from their cached images
//   paint_full_cold_median / _p95   the same with every control redrawing its image
//   paint_compose_median / _p95     composing the frame only (background, areas, controls)
//   paint_output_median             handing the frame to the X server
//   paint_after_idle_median         a full repaint of the dialog idle long enough to have given
//                                   its frame's memory back (its pages come back as it draws)
//   paint_layered_median / _p95     the same dialog as a layered window (shape, whole frame)
//   idle_cpu                        CPU of the idle dialog (animation timer at 10 ms running)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tavex/CArea.h"
#include "tavex/MControlFont.h"
#include "tavex/MDialog.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"

using namespace Tavex;

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i =
      std::min(v.size() - 1, static_cast<std::size_t>(std::ceil(p * v.size())) - 1);
  return v[i];
}

// A button-like control: rounded box, a state image from the window's cache and a caption,
// composed into the control's cached image as the library's controls do, and redrawn only when
// the control was marked for it.
class BenchButton : public MControlFont {
 public:
  BenchButton(MObject* parent, unsigned id, CRect rect, const std::string& title)
      : MControlFont(parent, id, rect, title.c_str()) {}
  void DrawControl(Painter& painter, CRect) override {
    const CRect r = GetRect();
    if (!GetUpdate() || m_memImage.IsNull()) {
      Surface& cache = UpdateMemDC(r.Width(), r.Height());
      Painter p(cache);
      p.Clear(0);
      const float w = static_cast<float>(r.Width()), h = static_cast<float>(r.Height());
      p.FillRoundRect(0, 0, w, h, 4, 4, 0xFF2A2A2A);
      p.DrawRoundRect(0.5f, 0.5f, w - 1, h - 1, 4, 4, 0xFFCA5100);
      if (ImgResInfo* icon = GetManager()->AddImgResInfo(102u, "PNG", 6)) {
        p.DrawImage(icon->image, RECT{6, 6, 18, 18}, icon->StateRect(3));
      }
      p.DrawText(GetTitle(), GetFontDesc(), RECT{22, 0, r.Width() - 4, r.Height()},
                 GetTextColor(), GetTextFormat());
    }
    painter.DrawSurface(m_memImage, r, RECT{0, 0, r.Width(), r.Height()});
  }
};

Image Background(int w, int h) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned v = 8 + static_cast<unsigned>((x + y) * 24 / (w + h));
      px[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | (v << 16) | (v << 8) | (v + 2);
    }
  }
  return Image::FromARGB(w, h, px.data());
}

class BenchDialog : public MDialog {
 public:
  void InitUI(CRect client) override {
    Image bk = Image::LoadFile(Manager::GetSkinFolder() + "main_bkg.png");
    if (bk.IsNull()) bk = Background(client.Width(), client.Height());
    GetPaintManager().SetBKImage(bk);
    for (int i = 0; i < 10; ++i) {
      auto* area = static_cast<CArea*>(CreateArea(
          "CArea", 500 + i, CRect(20 + i * 116, 20, 126 + i * 116, 140), nullptr, 1, 1));
      if (area != nullptr) area->SetTransparent(20, 80, RGB(0xCA, 0x51, 0x00));
    }
    for (int i = 0; i < 50; ++i) {
      const int col = i % 5, row = i / 5;
      const CRect rect(40 + col * 228, 170 + row * 52, 240 + col * 228, 206 + row * 52);
      AddControl(new BenchButton(this, 100 + i, rect, "Button " + std::to_string(i + 1)));
    }
  }
};

// Runs the window's message loop for `ms` milliseconds: a window timer ends it, so an idle
// loop sleeps in GetMessage like the program's does.
void Pump(HWND hwnd, int ms) {
  constexpr UINT_PTR kEnd = 4242;
  Native::SetTimer(hwnd, kEnd, static_cast<UINT>(ms), nullptr);
  MSG msg{};
  while (Native::GetMessage(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == kEnd) break;
    Native::TranslateMessage(&msg);
    Native::DispatchMessage(&msg);
  }
  Native::KillTimer(hwnd, kEnd);
}

struct Series {
  std::vector<double> wall, compose, output;
};

// `cold`: every control redraws its cached image too (as after a language or skin change).
Series FullRepaints(BenchDialog& dialog, int count, bool cold = false) {
  Series s;
  PaintManager& pm = dialog.GetPaintManager();
  const HWND hwnd = dialog.GetSafeHwnd();
  for (int i = 0; i < count; ++i) {
    if (cold) {
      pm.GetControls().ForEach([](MControl* c) { c->SetUpdate(0, 0); });
      pm.GetAreas().ForEach([](MControl* c) { c->SetUpdate(0, 0); });
    }
    pm.Invalidate();
    const auto t0 = Clock::now();
    Native::UpdateWindow(hwnd);
    const auto t1 = Clock::now();
    const PaintTrace t = pm.GetLastPaintTrace();
    s.wall.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    s.compose.push_back(t.total - t.output);
    s.output.push_back(t.output);
    MSG msg{};
    while (Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) Native::DispatchMessage(&msg);
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  if (!Native::DisplayAvailable()) {
    std::fprintf(stderr, "bench-paint: no display (set DISPLAY)\n");
    return 1;
  }
  BenchDialog dialog;
  if (dialog.Create(nullptr, "bench-paint", 0x96000000, 0, CRect(0, 0, 1200, 720)) == nullptr) {
    std::fprintf(stderr, "bench-paint: cannot create the window\n");
    return 1;
  }
  Pump(dialog.GetSafeHwnd(), 200);
  FullRepaints(dialog, 20);  // warm caches (fonts, images)
  const Series normal = FullRepaints(dialog, 300);
  std::printf("paint_controls %zu count\n",
              dialog.GetControls().Size() + dialog.GetPaintManager().GetAreas().Size());
  std::printf("paint_full_median %.3f ms\n", Percentile(normal.wall, 0.5));
  std::printf("paint_full_p95 %.3f ms\n", Percentile(normal.wall, 0.95));
  std::printf("paint_compose_median %.3f ms\n", Percentile(normal.compose, 0.5));
  std::printf("paint_compose_p95 %.3f ms\n", Percentile(normal.compose, 0.95));
  std::printf("paint_output_median %.3f ms\n", Percentile(normal.output, 0.5));

  constexpr int kAfterIdleRepeats = 5;
  constexpr unsigned kPastIdleMs = 100;
  std::vector<double> afterIdle;
  for (int i = 0; i < kAfterIdleRepeats; ++i) {
    Pump(dialog.GetSafeHwnd(), static_cast<int>(PaintManager::kFrameIdleMs + kPastIdleMs));
    afterIdle.push_back(FullRepaints(dialog, 1).wall.front());
  }
  std::printf("paint_after_idle_median %.3f ms\n", Percentile(afterIdle, 0.5));

  const Series cold = FullRepaints(dialog, 200, true);
  std::printf("paint_full_cold_median %.3f ms\n", Percentile(cold.wall, 0.5));
  std::printf("paint_full_cold_p95 %.3f ms\n", Percentile(cold.wall, 0.95));

  dialog.SetLayeredWindow(1);
  Pump(dialog.GetSafeHwnd(), 50);
  const Series layered = FullRepaints(dialog, 200);
  std::printf("paint_layered_median %.3f ms\n", Percentile(layered.wall, 0.5));
  std::printf("paint_layered_p95 %.3f ms\n", Percentile(layered.wall, 0.95));
  dialog.SetLayeredWindow(0);

  // Idle: the animation timer runs at 10 ms as in the program, nothing changes.
  dialog.SetMTimer(10);
  Pump(dialog.GetSafeHwnd(), 200);
  const int paintsBefore = dialog.GetPaintManager().GetPaintCount();
  const double cpu0 = CpuSeconds();
  const auto w0 = Clock::now();
  Pump(dialog.GetSafeHwnd(), idleSeconds * 1000);
  const double wall = std::chrono::duration<double>(Clock::now() - w0).count();
  const double cpu = CpuSeconds() - cpu0;
  std::printf("idle_cpu %.3f %%\n", 100.0 * cpu / wall);
  std::printf("idle_paints %d count\n", dialog.GetPaintManager().GetPaintCount() - paintsBefore);
  dialog.DestroyWindow();
  return 0;
}
