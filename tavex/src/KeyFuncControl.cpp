#include "tavex/KeyFuncControl.h"

#include <algorithm>
#include <cctype>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
constexpr int kPitch = 39;
constexpr int kCell = 36;
constexpr std::uint32_t kCellFill = 0xFF515151;
constexpr std::uint32_t kOutline = 0xFFB4B4B4;

struct Icon {
  int code;
  const char* file;
};
const Icon kIcons[] = {
    {249, "icon_pc"},          {242, "icon_cal"},         {240, "icon_email"},
    {232, "icon_multimedia"},  {238, "icon_playpause"},   {236, "icon_stop"},
    {237, "icon_pre"},         {239, "icon_next"},        {233, "icon_vol_down"},
    {234, "icon_vol_up"},      {235, "icon_vol_mute"},    {241, "icon_home"},
    {246, "icon_web_refresh"}, {245, "icon_web_stop"},    {243, "icon_web_backward"},
    {244, "icon_web_foreward"}, {248, "icon_favorites"},  {247, "icon_web_search"},
};

struct Key {
  const char* label;
  int code;
};

// Builds the reference keyboard: runs of standard cells at the pitch, and single cells.
class Builder {
 public:
  explicit Builder(std::vector<KeyFuncItem>& out) : m_out(out) {}
  void Run(int x, int top, int bottom, std::initializer_list<Key> keys) {
    for (const Key& k : keys) {
      Cell(x, top, x + kCell, bottom, k);
      x += kPitch;
    }
  }
  void Cell(int left, int top, int right, int bottom, Key k) {
    KeyFuncItem item;
    item.label = k.label;
    item.code = k.code;
    item.rect = CRect(left, top, right, bottom);
    m_out.push_back(std::move(item));
  }

 private:
  std::vector<KeyFuncItem>& m_out;
};
}  // namespace

KeyFuncControl::KeyFuncControl(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {
  m_textColor = 0xFFE6E6E6;
  m_fontSize = 12;
}

const char* KeyFuncControl::GetClassNameW() const { return "KeyFuncControl"; }

void KeyFuncControl::InitControl(PaintManager* manager) {
  MPanel::InitControl(manager);
  if (GetItemCount() == 0) InitItemInfo();
}

void KeyFuncControl::InitItemInfo() {
  std::vector<KeyFuncItem> items;
  const CString folder = Manager::GetSkinFolder() + "/icon/";
  int x = 0;
  for (const Icon& icon : kIcons) {
    KeyFuncItem item;
    item.code = icon.code;
    item.iconPath = std::string("icon//") + icon.file + ".png";
    item.icon = MRender::LoadImageFromFile(folder + icon.file + ".png");
    item.rect = CRect(x, 0, x + 43, 28);
    items.push_back(std::move(item));
    x += 48;
  }
  Builder b(items);
  // Row 1
  b.Cell(0, 38, 36, 66, {"Esc", 41});
  b.Run(78, 38, 66, {{"F1", 58}, {"F2", 59}, {"F3", 60}, {"F4", 61}});
  b.Run(260, 38, 66, {{"F5", 62}, {"F6", 63}, {"F7", 64}, {"F8", 65}});
  b.Run(442, 38, 66, {{"F9", 66}, {"F10", 67}, {"F11", 68}, {"F12", 69}});
  b.Run(616, 38, 66, {{"Print", 70}, {"Scroll", 71}, {"Pause", 72}});
  // Row 2
  b.Run(0, 76, 104, {{"`", 53}, {"1", 30}, {"2", 31}, {"3", 32}, {"4", 33}, {"5", 34}, {"6", 35},
                     {"7", 36}, {"8", 37}, {"9", 38}, {"0", 39}, {"-", 45}, {"=", 46}});
  b.Cell(507, 76, 595, 104, {"Backspace", 42});
  b.Run(616, 76, 104, {{"Ins", 73}, {"Home", 74}, {"PgUp", 75}});
  b.Run(750, 76, 104, {{"NumLock", 83}, {"/", 84}, {"*", 85}, {"-", 86}});
  // Row 3
  b.Cell(0, 109, 75, 137, {"Tab", 43});
  b.Run(78, 109, 137, {{"Q", 20}, {"W", 26}, {"E", 8}, {"R", 21}, {"T", 23}, {"Y", 28}, {"U", 24},
                       {"I", 12}, {"O", 18}, {"P", 19}});
  b.Cell(468, 109, 503, 137, {"[", 47});
  b.Cell(507, 109, 542, 137, {"]", 48});
  b.Cell(546, 109, 595, 137, {"\\", 49});
  b.Run(616, 109, 137, {{"Del", 76}, {"End", 77}, {"PgDn", 78}});
  b.Run(750, 109, 137, {{"7", 95}, {"8", 96}, {"9", 97}});
  b.Cell(867, 109, 903, 170, {"+", 87});
  // Row 4
  b.Cell(0, 142, 85, 170, {"Caps", 57});
  b.Run(88, 142, 170, {{"A", 4}, {"S", 22}, {"D", 7}, {"F", 9}, {"G", 10}, {"H", 11}, {"J", 13},
                       {"K", 14}, {"L", 15}, {";", 51}, {"'", 52}});
  b.Cell(517, 142, 595, 170, {"Enter", 40});
  b.Run(750, 142, 170, {{"4", 92}, {"5", 93}, {"6", 94}});
  // Row 5
  b.Cell(0, 175, 101, 203, {"L_Shift", 225});
  b.Run(104, 175, 203, {{"Z", 29}, {"X", 27}, {"C", 6}, {"V", 25}, {"B", 5}, {"N", 17}, {"M", 16},
                        {",<", 54}, {".>", 55}, {"/?", 56}});
  b.Cell(494, 175, 595, 203, {"R_Shift", 229});
  b.Cell(655, 175, 691, 203, {"Up", 82});
  b.Run(750, 175, 203, {{"1", 89}, {"2", 90}, {"3", 91}});
  b.Cell(867, 175, 903, 236, {"Enter", 88});
  // Row 6
  b.Cell(0, 208, 59, 236, {"L_Ctrl", 224});
  b.Cell(62, 208, 121, 236, {"Win", 227});
  b.Cell(124, 208, 183, 236, {"L_Alt", 226});
  b.Cell(186, 208, 409, 236, {"Space", 44});
  b.Cell(412, 208, 471, 236, {"Alt", 230});
  b.Cell(474, 208, 533, 236, {"App", 101});
  b.Cell(536, 208, 595, 236, {"R_Ctrl", 228});
  b.Run(616, 208, 236, {{"Left", 80}, {"Down", 81}, {"Right", 79}});
  b.Cell(750, 208, 786, 236, {"0", 98});
  b.Cell(789, 208, 864, 236, {".", 99});
  {
    std::lock_guard guard(m_dataLock);
    m_items = std::move(items);
    m_labelFits.clear();
    m_hover = m_pressed = m_marked = -1;
  }
  UpdateControl(1, 0);
}

void KeyFuncControl::ClearItems() {
  {
    std::lock_guard guard(m_dataLock);
    m_items.clear();
    m_labelFits.clear();
    m_hover = m_pressed = m_marked = -1;
  }
  UpdateControl(1, 0);
}

void KeyFuncControl::SetItemDesc(int code, const CString& text) {
  std::lock_guard guard(m_dataLock);
  for (KeyFuncItem& item : m_items) {
    if (item.code == code) item.label = text;
  }
  m_labelFits.clear();
}

void KeyFuncControl::SetItemCheckByItemData(int code, int a, int b) {
  {
    std::lock_guard guard(m_dataLock);
    int marked = -1;
    if (code != 0) {
      for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
        const KeyFuncItem& item = m_items[i];
        if (item.code == code && item.a == a && item.b == b) marked = i;
      }
    }
    if (marked == m_marked) return;
    m_marked = marked;
  }
  if (m_visible) UpdateControl(1, 0);
}

bool KeyFuncControl::GetCurItemData(int&, int& code, int& a, int& b, CString& label) const {
  std::lock_guard guard(m_dataLock);
  if (m_pressed < 0 || m_pressed >= static_cast<int>(m_items.size())) return false;
  const KeyFuncItem& item = m_items[m_pressed];
  code = item.code;
  a = item.a;
  b = item.b;
  label = item.label;
  return true;
}

int KeyFuncControl::GetItemCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_items.size());
}

const KeyFuncItem* KeyFuncControl::GetItem(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
  return &m_items[index];
}

int KeyFuncControl::GetMarkedItem() const {
  std::lock_guard guard(m_dataLock);
  return m_marked;
}

int KeyFuncControl::GetHoverItem() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

int KeyFuncControl::ItemAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  const CPoint local(pt.x - m_rect.left, pt.y - m_rect.top + GetScrollOffset().y);
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    if (m_items[i].rect.PtInRect(local)) return i;
  }
  return -1;
}

int KeyFuncControl::OnCheckMouseResponse(unsigned keys, CPoint pt) {
  return MPanel::OnCheckMouseResponse(keys, pt) || PtInRect(pt);
}

int KeyFuncControl::OnControlMouseMove(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  const int hit = ItemAt(pt);
  if (m_manager != nullptr) m_manager->SetCursorName(hit >= 0 ? "hand" : "arrow");
  CString tip;
  {
    std::lock_guard guard(m_dataLock);
    if (hit == m_hover) return 1;
    m_hover = hit;
    // Icons have no visible label: their description is the tooltip.
    if (hit >= 0 && m_items[hit].code > 231) tip = m_items[hit].label;
  }
  if (tip.empty()) {
    ClearTooltip();
  } else {
    SetTooltip(tip.c_str());
  }
  UpdateControl(1, 0);
  return 1;
}

int KeyFuncControl::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!PtInRect(pt)) return 0;
  const int hit = ItemAt(pt);
  {
    std::lock_guard guard(m_dataLock);
    m_hover = hit;
    m_pressed = hit;
  }
  SendMessageW(Notify::Press, static_cast<unsigned>(hit), 0);
  UpdateControl(1, 0);
  return 1;
}

int KeyFuncControl::OnControlScroll(int, unsigned, CPoint) { return 1; }

void KeyFuncControl::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  ClearTooltip();
  UpdateControl(1, 0);
}

namespace {
// Where a second word starts inside a label: a capital after a small letter ("NumLock").
std::size_t SplitPoint(const CString& label) {
  for (std::size_t i = 1; i < label.size(); ++i) {
    if (std::isupper(static_cast<unsigned char>(label[i])) &&
        std::islower(static_cast<unsigned char>(label[i - 1]))) {
      return i;
    }
  }
  return CString::npos;
}

bool Fits(const CString& text, const FontDesc& font, int width, int height) {
  const SIZE size = MeasureText(text, font, 0, text.find('\n') == CString::npos ? DT_SINGLELINE : 0);
  return size.cx <= width && size.cy <= height;
}
}  // namespace

void KeyFuncControl::FitLabels(const FontDesc& font) {
  const bool sameFont = m_labelFont.family == font.family && m_labelFont.sizePx == font.sizePx &&
                        m_labelFont.bold == font.bold && m_labelFont.italic == font.italic;
  if (sameFont && m_labelFits.size() == m_items.size()) return;
  m_labelFont = font;
  m_labelFits.assign(m_items.size(), LabelFit{});
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const KeyFuncItem& item = m_items[i];
    LabelFit& fit = m_labelFits[i];
    fit.text = item.label;
    fit.sizePx = font.sizePx;
    if (!item.icon.IsNull() || item.label.empty()) continue;
    const int width = item.rect.Width() - 2 * kLabelMargin;
    const int height = item.rect.Height();
    FontDesc f = font;
    const int readable = std::min(font.sizePx, kReadablePx);
    while (f.sizePx > readable && !Fits(item.label, f, width, height)) --f.sizePx;
    if (!Fits(item.label, f, width, height)) {
      const std::size_t split = SplitPoint(item.label);
      if (split != CString::npos) {
        const CString lines = item.label.substr(0, split) + "\n" + item.label.substr(split);
        FontDesc g = font;
        while (g.sizePx > kMinLabelPx && !Fits(lines, g, width, height)) --g.sizePx;
        if (Fits(lines, g, width, height)) {
          fit.text = lines;
          fit.sizePx = g.sizePx;
          continue;
        }
      }
      while (f.sizePx > kMinLabelPx && !Fits(item.label, f, width, height)) --f.sizePx;
    }
    fit.sizePx = f.sizePx;
  }
}

KeyFuncControl::LabelFit KeyFuncControl::GetLabelFit(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || static_cast<std::size_t>(index) >= m_labelFits.size()) return {};
  return m_labelFits[static_cast<std::size_t>(index)];
}

void KeyFuncControl::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  FontDesc font = GetFontDesc();
  font.bold = false;
  font.italic = false;
  FitLabels(font);
  const int dx = m_rect.left;
  const int dy = m_rect.top - GetScrollOffset().y;
  painter.PushClip(m_rect);
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    const KeyFuncItem& item = m_items[i];
    CRect r = item.rect;
    r.OffsetRect(dx, dy);
    painter.FillRect(r, i == m_marked ? Manager::GetSelectColor() : kCellFill);
    painter.DrawRect(r, kOutline, 1);
    if (i == m_hover || i == m_pressed) {
      r.OffsetRect(1, 1);
      painter.DrawRect(r, Manager::GetSelectColor(), 1);
    }
    if (!item.icon.IsNull()) {
      const int x = r.left + (r.Width() - kIconSize) / 2;
      const int y = r.top + (r.Height() - kIconSize) / 2;
      painter.DrawImage(item.icon, RECT{x, y, x + kIconSize, y + kIconSize},
                        RECT{0, 0, item.icon.Width(), item.icon.Height()});
    } else {
      // Centred in the cell less its margins; what still does not fit at the smallest size
      // ends in an ellipsis rather than losing both ends.
      const LabelFit& fit = m_labelFits[static_cast<std::size_t>(i)];
      FontDesc fitted = font;
      fitted.sizePx = fit.sizePx;
      CRect box = r;
      box.DeflateRect(kLabelMargin, 0);
      const bool twoLines = fit.text.find('\n') != CString::npos;
      painter.DrawText(fit.text, fitted, box, m_textColor,
                       DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | (twoLines ? 0u : DT_SINGLELINE));
    }
  }
  painter.PopClip();
}

}  // namespace Tavex
