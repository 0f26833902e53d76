#include "tavex/MAirBladder.h"

#include <algorithm>

#include "tavex/Manager.h"
#include "tavex/Native.h"

namespace Tavex {

namespace {

constexpr ARGB kBodyColour = 0xFF262626;
constexpr ARGB kTextColour = 0xFFEDEDED;
constexpr ARGB kGlyphColour = 0xFFFFFFFF;
constexpr ARGB kCloseColour = 0xFF9A9A9A;
// Room on the right of a guide balloon for its close mark.
constexpr int kCloseSpace = 16;
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK;

FontDesc BalloonFont() {
  FontDesc f;
  f.family = Manager::GetFontName();
  f.sizePx = MAirBladder::kFontSize;
  return f;
}

bool HasIcon(AIRBLADDER_TYPE type) { return type != AIRBLADDER_NORMAL; }

// Keeps [pos, pos + size) inside [lo, hi); when it cannot fit, the low end wins.
int ClampSpan(int pos, int size, int lo, int hi) { return std::max(lo, std::min(pos, hi - size)); }

void DrawIcon(Painter& p, AIRBLADDER_TYPE type, int x, int y) {
  const float s = static_cast<float>(MAirBladder::kIconSize);
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  const float cx = fx + s / 2;
  const ARGB colour = MAirBladder::TypeColour(type);
  switch (type) {
    case AIRBLADDER_INFO:
      p.FillEllipse(fx, fy, s, s, colour);
      p.FillEllipse(cx - 1.5f, fy + 3.5f, 3, 3, kGlyphColour);
      p.FillRoundRect(cx - 1.25f, fy + 7.5f, 2.5f, 7, 1, 1, kGlyphColour);
      break;
    case AIRBLADDER_SUCCESS:
      p.FillEllipse(fx, fy, s, s, colour);
      p.DrawLine(fx + 4.5f, fy + 9.5f, fx + 7.8f, fy + 12.8f, kGlyphColour, 2.2f);
      p.DrawLine(fx + 7.8f, fy + 12.8f, fx + 13.5f, fy + 5.8f, kGlyphColour, 2.2f);
      break;
    case AIRBLADDER_WARNING: {
      const POINT triangle[] = {{x + 9, y}, {x + 18, y + 17}, {x, y + 17}};
      p.FillPolygon(triangle, 3, colour);
      p.FillRoundRect(cx - 1.25f, fy + 5, 2.5f, 7, 1, 1, kBodyColour);
      p.FillEllipse(cx - 1.5f, fy + 13, 3, 3, kBodyColour);
      break;
    }
    case AIRBLADDER_ERROR:
      p.FillEllipse(fx, fy, s, s, colour);
      p.DrawLine(fx + 5.5f, fy + 5.5f, fx + 12.5f, fy + 12.5f, kGlyphColour, 2.2f);
      p.DrawLine(fx + 12.5f, fy + 5.5f, fx + 5.5f, fy + 12.5f, kGlyphColour, 2.2f);
      break;
    case AIRBLADDER_GUIDE: {
      p.FillEllipse(fx, fy, s, s, colour);
      FontDesc f = BalloonFont();
      f.sizePx = 13;
      f.bold = true;
      p.DrawText("?", f, CRect(x, y, x + MAirBladder::kIconSize, y + MAirBladder::kIconSize),
                 kGlyphColour, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOCLIP);
      break;
    }
    case AIRBLADDER_NORMAL:
      break;
  }
}

// The pointer as a triangle from the body's edge to the tip; `inset` shrinks it for the fill
// inside the frame, and its base then reaches into the body to hide the frame line there.
void TailPolygon(const MAirBladder::Layout& l, int inset, POINT out[3]) {
  const int half = MAirBladder::kTailHalf - inset;
  const CPoint t = l.tip;
  switch (l.side) {
    case AIRBLADDER_MODE_TOP:
      out[0] = {t.x - half, l.body.bottom - 1 - inset};
      out[1] = {t.x + half, l.body.bottom - 1 - inset};
      out[2] = {t.x, t.y - inset - (inset > 0 ? 1 : 0)};
      break;
    case AIRBLADDER_MODE_BOTTOM:
      out[0] = {t.x - half, l.body.top + 1 + inset};
      out[1] = {t.x + half, l.body.top + 1 + inset};
      out[2] = {t.x, t.y + inset + (inset > 0 ? 1 : 0)};
      break;
    case AIRBLADDER_MODE_LEFT:
      out[0] = {l.body.right - 1 - inset, t.y - half};
      out[1] = {l.body.right - 1 - inset, t.y + half};
      out[2] = {t.x - inset - (inset > 0 ? 1 : 0), t.y};
      break;
    case AIRBLADDER_MODE_RIGHT:
      out[0] = {l.body.left + 1 + inset, t.y - half};
      out[1] = {l.body.left + 1 + inset, t.y + half};
      out[2] = {t.x + inset + (inset > 0 ? 1 : 0), t.y};
      break;
  }
}

}  // namespace

MAirBladder::MAirBladder() = default;
MAirBladder::~MAirBladder() { DestroyWindow(); }

const char* MAirBladder::GetWindowClassName() const { return "TavexAirBladder"; }

ARGB MAirBladder::TypeColour(AIRBLADDER_TYPE type) {
  switch (type) {
    case AIRBLADDER_INFO: return 0xFF3F8FE0;
    case AIRBLADDER_SUCCESS: return 0xFF3DB36B;
    case AIRBLADDER_WARNING: return 0xFFE8A317;
    case AIRBLADDER_GUIDE: return 0xFFCA5100;
    case AIRBLADDER_ERROR: return 0xFFE04848;
    case AIRBLADDER_NORMAL: break;
  }
  return 0xFF6A6A6A;
}

CSize MAirBladder::BodySize(const CString& text, AIRBLADDER_TYPE type) {
  const SIZE t = MeasureText(text, BalloonFont(), kMaxTextWidth, kTextFormat);
  const int icon = HasIcon(type) ? kIconSize + kIconGap : 0;
  const int close = type == AIRBLADDER_GUIDE ? kCloseSpace : 0;
  const int textHeight = std::max<int>(t.cy, HasIcon(type) ? kIconSize : 0);
  return {2 * kPadding + icon + static_cast<int>(t.cx) + close, 2 * kPadding + textHeight};
}

MAirBladder::Layout MAirBladder::Place(CSize body, POINT anchor, AIRBLADDER_MODE mode,
                                       CRect work) {
  Layout l;
  const bool vertical = mode == AIRBLADDER_MODE_TOP || mode == AIRBLADDER_MODE_BOTTOM;
  const int w = vertical ? body.cx : body.cx + kTail;
  const int h = vertical ? body.cy + kTail : body.cy;
  // Room on each side of the point, and the side the mode prefers and its opposite.
  const int before = vertical ? anchor.y - work.top : anchor.x - work.left;
  const int after = vertical ? work.bottom - anchor.y : work.right - anchor.x;
  const int need = vertical ? h : w;
  const bool preferBefore = mode == AIRBLADDER_MODE_TOP || mode == AIRBLADDER_MODE_LEFT;
  const int roomPreferred = preferBefore ? before : after;
  const int roomOther = preferBefore ? after : before;
  bool useBefore = preferBefore;
  if (roomPreferred < need && (roomOther >= need || roomOther > roomPreferred)) {
    useBefore = !preferBefore;
  }
  if (vertical) {
    l.side = useBefore ? AIRBLADDER_MODE_TOP : AIRBLADDER_MODE_BOTTOM;
    const int left = ClampSpan(anchor.x - w / 2, w, work.left, work.right);
    const int top = ClampSpan(useBefore ? anchor.y - h : anchor.y, h, work.top, work.bottom);
    l.window = CRect(left, top, left + w, top + h);
    l.body = useBefore ? CRect(0, 0, w, body.cy) : CRect(0, kTail, w, h);
    const int tipX = std::clamp<int>(anchor.x - left, kRadius + kTailHalf,
                                     std::max(kRadius + kTailHalf, w - kRadius - kTailHalf));
    l.tip = CPoint(tipX, useBefore ? h : 0);
  } else {
    l.side = useBefore ? AIRBLADDER_MODE_LEFT : AIRBLADDER_MODE_RIGHT;
    const int left = ClampSpan(useBefore ? anchor.x - w : anchor.x, w, work.left, work.right);
    const int top = ClampSpan(anchor.y - h / 2, h, work.top, work.bottom);
    l.window = CRect(left, top, left + w, top + h);
    l.body = useBefore ? CRect(0, 0, body.cx, h) : CRect(kTail, 0, w, h);
    const int tipY = std::clamp<int>(anchor.y - top, kRadius + kTailHalf,
                                     std::max(kRadius + kTailHalf, h - kRadius - kTailHalf));
    l.tip = CPoint(useBefore ? w : 0, tipY);
  }
  return l;
}

Surface MAirBladder::Render(const CString& text, AIRBLADDER_TYPE type, const Layout& layout) {
  Surface out(layout.window.Width(), layout.window.Height());
  if (out.IsNull()) return out;
  Painter p(out);
  const ARGB frame = TypeColour(type);
  const CRect& b = layout.body;
  const float r = static_cast<float>(kRadius);
  POINT tail[3];
  TailPolygon(layout, 0, tail);
  p.FillRoundRect(static_cast<float>(b.left), static_cast<float>(b.top),
                  static_cast<float>(b.Width()), static_cast<float>(b.Height()), r, r, frame);
  p.FillPolygon(tail, 3, frame);
  p.FillRoundRect(static_cast<float>(b.left + 1), static_cast<float>(b.top + 1),
                  static_cast<float>(b.Width() - 2), static_cast<float>(b.Height() - 2), r - 1,
                  r - 1, kBodyColour);
  TailPolygon(layout, 1, tail);
  p.FillPolygon(tail, 3, kBodyColour);

  int x = b.left + kPadding;
  const int y = b.top + kPadding;
  if (HasIcon(type)) {
    DrawIcon(p, type, x, y + 1);
    x += kIconSize + kIconGap;
  }
  const int right = b.right - kPadding - (type == AIRBLADDER_GUIDE ? kCloseSpace : 0);
  p.DrawText(text, BalloonFont(), CRect(x, y, std::max(x, right) + 1, b.bottom - kPadding + 2),
             kTextColour, kTextFormat);
  if (type == AIRBLADDER_GUIDE) {
    // The close mark: a click anywhere on the balloon hides it.
    const float cx = static_cast<float>(b.right - kPadding - 4);
    const float cy = static_cast<float>(b.top + kPadding + 5);
    p.DrawLine(cx - 4, cy - 4, cx + 4, cy + 4, kCloseColour, 1.5f);
    p.DrawLine(cx + 4, cy - 4, cx - 4, cy + 4, kCloseColour, 1.5f);
  }
  return out;
}

bool MAirBladder::SetMsg(const CString& text, POINT anchor, AIRBLADDER_TYPE type,
                         AIRBLADDER_MODE mode, HWND owner) {
  if (text.empty()) {
    Hide();
    return true;
  }
  if (m_shown && IsValid() && text == m_text && anchor.x == m_anchor.x &&
      anchor.y == m_anchor.y && type == m_type && mode == m_mode) {
    return true;
  }
  // The owner of a native window is fixed when it is made.
  if (IsValid() && GetParentHwnd() != owner) DestroyWindow();
  RECT work{};
  if (!Native::GetWorkArea(owner, &work)) {
    work = RECT{0, 0, Native::GetSystemMetrics(SM_CXSCREEN), Native::GetSystemMetrics(SM_CYSCREEN)};
  }
  const Layout layout = Place(BodySize(text, type), anchor, mode, CRect(work));
  if (!IsValid() &&
      Create(owner, "", WS_POPUP,
             WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
             layout.window) == nullptr) {
    return false;
  }
  m_text = text;
  m_anchor = anchor;
  m_type = type;
  m_mode = mode;
  m_layout = layout;
  m_frame = Render(text, type, layout);
  MoveWindow(layout.window, 0);
  ShowWindow(SW_SHOWNA);
  Invalidate();
  m_shown = true;
  ++m_shows;
  if (type == AIRBLADDER_GUIDE) {
    KillTimer(kHideTimer);
  } else {
    SetTimer(kHideTimer, m_hideDelay);
  }
  return true;
}

void MAirBladder::Hide() {
  m_shown = false;
  if (!IsValid()) return;
  KillTimer(kHideTimer);
  ShowWindow(SW_HIDE);
}

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintLayeredFrame(m_frame);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kHideTimer) {
        Hide();
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      Hide();
      return 0;
    default:
      break;
  }
  return MWindow::OnWindowMessage(msg, wParam, lParam);
}

}  // namespace Tavex
