#include "tavex/LoadingWnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "tavex/Manager.h"
#include "tavex/Native.h"

namespace Tavex {

namespace {

constexpr ARGB kPanelColour = 0xF0202020;
constexpr ARGB kPanelFrame = 0xFF3C3C3C;
constexpr ARGB kTextColour = 0xFFE6E6E6;
constexpr std::uint32_t kTrackRGB = 0x3A3A3A;
constexpr std::uint32_t kArcRGB = 0xCA5100;  // the library's accent
constexpr double kRingRadius = 20.0;
constexpr double kRingHalfWidth = 2.5;
constexpr double kArcSweep = 270.0;  // degrees the fading arc trails behind its head
constexpr int kSpinnerCentreY = LoadingWnd::kBox / 2;
constexpr int kSpinnerCentreYWithText = 44;

FontDesc TextFont() {
  FontDesc f;
  f.family = Manager::GetFontName();
  f.sizePx = 14;
  return f;
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// Source-over of an unpremultiplied colour with coverage `a` onto a premultiplied pixel.
void BlendPixel(std::uint32_t& dst, std::uint32_t rgb, double a) {
  if (a <= 0) return;
  const double inv = 1.0 - a;
  const auto channel = [&](int shift, double src) {
    const double d = static_cast<double>((dst >> shift) & 0xFF);
    return static_cast<std::uint32_t>(std::lround(src * a + d * inv)) << shift;
  };
  dst = channel(24, 255.0) | channel(16, (rgb >> 16) & 0xFF) | channel(8, (rgb >> 8) & 0xFF) |
        channel(0, rgb & 0xFF);
}

// The ring: a dim track and the accent arc fading behind its rounded head at `headDeg`
// (clockwise from the top), antialiased by the distance to the ring's middle line.
void DrawRing(Surface& s, double cx, double cy, double headDeg) {
  const double pi = std::numbers::pi;
  const double headRad = headDeg * pi / 180.0;
  const double hx = cx + kRingRadius * std::sin(headRad);
  const double hy = cy - kRingRadius * std::cos(headRad);
  const int x0 = std::max(0, static_cast<int>(cx - kRingRadius - 4));
  const int x1 = std::min(s.Width(), static_cast<int>(cx + kRingRadius + 5));
  const int y0 = std::max(0, static_cast<int>(cy - kRingRadius - 4));
  const int y1 = std::min(s.Height(), static_cast<int>(cy + kRingRadius + 5));
  for (int y = y0; y < y1; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(s.Data() + static_cast<std::ptrdiff_t>(y) * s.Stride());
    for (int x = x0; x < x1; ++x) {
      const double dx = x + 0.5 - cx;
      const double dy = y + 0.5 - cy;
      const double cover =
          Clamp01(kRingHalfWidth + 0.5 - std::fabs(std::hypot(dx, dy) - kRingRadius));
      const double cap = Clamp01(kRingHalfWidth + 0.5 - std::hypot(x + 0.5 - hx, y + 0.5 - hy));
      if (cover <= 0 && cap <= 0) continue;
      double angle = std::atan2(dx, -dy) * 180.0 / pi;
      if (angle < 0) angle += 360.0;
      const double behind = std::fmod(headDeg - angle + 720.0, 360.0);
      const double fade = behind <= kArcSweep ? 1.0 - behind / kArcSweep : 0.0;
      BlendPixel(row[x], kTrackRGB, cover);
      BlendPixel(row[x], kArcRGB, std::max(cover * fade, cap));
    }
  }
}

}  // namespace

LoadingWnd::LoadingWnd() = default;
LoadingWnd::~LoadingWnd() { DestroyWindow(); }

const char* LoadingWnd::GetWindowClassName() const { return "TavexLoading"; }

CSize LoadingWnd::PanelSize(const CString& text) {
  if (text.empty()) return {kBox, kBox};
  const SIZE t = MeasureText(text, TextFont());
  return {std::max<int>(kBox + 24, static_cast<int>(t.cx) + 32), kBox + kTextHeight};
}

bool LoadingWnd::SetAnimation(const CString& skinFile) {
  CString path = Manager::GetSkinFolder() + skinFile;
  std::replace(path.begin(), path.end(), '\\', '/');
  auto frames = LoadAnimationFrames(path);
  if (frames.size() < 2) return false;
  m_frames = std::move(frames);
  m_step = 0;
  if (IsShown()) Repaint();
  return true;
}

unsigned LoadingWnd::CurrentDelay() const {
  if (m_frames.empty()) return kStepMs;
  return static_cast<unsigned>(std::max(m_frames[static_cast<size_t>(m_step)].delayMs, 20));
}

Surface LoadingWnd::Render() const {
  const CSize size = PanelSize(m_text);
  Surface out(size.cx, size.cy);
  if (out.IsNull()) return out;
  const int cy = m_text.empty() ? kSpinnerCentreY : kSpinnerCentreYWithText;
  {
    Painter p(out);
    p.FillRoundRect(0, 0, static_cast<float>(size.cx), static_cast<float>(size.cy), 12, 12,
                    kPanelFrame);
    p.FillRoundRect(1, 1, static_cast<float>(size.cx - 2), static_cast<float>(size.cy - 2), 11,
                    11, kPanelColour);
    if (!m_frames.empty()) {
      const Image& img = m_frames[static_cast<size_t>(m_step) % m_frames.size()].image;
      const int side = 64;
      const CRect dst(size.cx / 2 - side / 2, cy - side / 2, size.cx / 2 + side / 2,
                      cy + side / 2);
      p.DrawImage(img, dst, CRect(0, 0, img.Width(), img.Height()));
    }
  }
  if (m_frames.empty()) {
    DrawRing(out, size.cx / 2.0, cy, m_step * 360.0 / kSteps);
  }
  if (!m_text.empty()) {
    Painter p(out);
    p.DrawText(m_text, TextFont(), CRect(8, kBox - 20, size.cx - 8, size.cy - 8), kTextColour,
               DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
  }
  return out;
}

void LoadingWnd::Repaint() {
  m_frame = Render();
  if (IsValid()) Invalidate();
}

void LoadingWnd::Step() {
  const int count = m_frames.empty() ? kSteps : static_cast<int>(m_frames.size());
  m_step = (m_step + 1) % count;
  // Stay centred over an owner that was moved or resized meanwhile, and out of sight while the
  // owner is hidden or minimised.
  if (IsShown() && IsValid()) {
    const HWND owner = GetParentHwnd();
    const bool ownerShown =
        owner == nullptr || (Native::IsWindowVisible(owner) && !Native::IsIconic(owner));
    if (ownerShown != (IsWindowVisible() != 0)) ShowWindow(ownerShown ? SW_SHOWNA : SW_HIDE);
    const CRect want = PlaceOver(owner, PanelSize(m_text));
    if (ownerShown && want != GetWindowRect()) MoveWindow(want, 0);
  }
  Repaint();
  // Image frames each have their own delay.
  if (!m_frames.empty() && IsShown()) SetTimer(kFrameTimer, CurrentDelay());
}

CRect LoadingWnd::PlaceOver(HWND owner, CSize size) {
  RECT work{};
  if (!Native::GetWorkArea(owner, &work)) {
    work = RECT{0, 0, Native::GetSystemMetrics(SM_CXSCREEN), Native::GetSystemMetrics(SM_CYSCREEN)};
  }
  CRect over(work);
  RECT ownerRect{};
  if (owner != nullptr && Native::IsWindowVisible(owner) && !Native::IsIconic(owner) &&
      Native::GetWindowRect(owner, &ownerRect)) {
    over = CRect(ownerRect);
  }
  const CPoint at = CenteredPosition(size, over, CRect(work));
  return CRect(at.x, at.y, at.x + size.cx, at.y + size.cy);
}

bool LoadingWnd::Show(HWND owner, const CString& text) {
  m_text = text;
  const CRect rect = PlaceOver(owner, PanelSize(text));
  // The owner of a native window is fixed when it is made.
  if (IsValid() && GetParentHwnd() != owner) DestroyWindow();
  if (!IsValid() &&
      Create(owner, "Loading", WS_POPUP,
             WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
             rect) == nullptr) {
    return false;
  }
  m_target = m_hWnd;
  MoveWindow(rect, 0);
  Repaint();
  m_shown = true;
  ShowWindow(SW_SHOWNA);
  SetTimer(kFrameTimer, CurrentDelay());
  return true;
}

void LoadingWnd::Hide() {
  const HWND target = m_target.load();
  if (target == nullptr) {
    m_shown = false;
    return;
  }
  if (Native::GetWindowThreadProcessId(target) != Native::GetCurrentThreadId()) {
    Native::PostMessage(target, kMsgHide, 0, 0);
    return;
  }
  m_shown = false;
  KillTimer(kFrameTimer);
  ShowWindow(SW_HIDE);
}

LRESULT LoadingWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintLayeredFrame(m_frame);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kFrameTimer) {
        Step();
        return 0;
      }
      break;
    case kMsgHide:
      Hide();
      return 0;
    default:
      break;
  }
  return MWindow::OnWindowMessage(msg, wParam, lParam);
}

void LoadingWnd::OnDestroyMessage(HWND) {
  m_target = nullptr;
  m_shown = false;
}

}  // namespace Tavex
