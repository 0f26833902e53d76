// KeyboardCtrl: keys, picture geometry and the setters the program calls. Input and the
// animation tick are in KeyboardCtrlInput.cpp, drawing in KeyboardCtrlDraw.cpp.
#include "tavex/KeyboardCtrl.h"

#include <algorithm>

#include "tavex/KeyboardTips.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {

// Skin-relative names may come with the original separators ("keyboard\\k87.png").
CString SkinPath(const CString& file) {
  CString path = Manager::GetSkinFolder() + file;
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace

KeyboardCtrl::KeyboardCtrl(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {
  // The picture never scrolls; the panel part only hosts optional children.
  m_enableScroll = 0;
  LayoutScrollBars();
}

KeyboardCtrl::~KeyboardCtrl() {
  if (m_tips) m_tips->CloseWindow();
}

const char* KeyboardCtrl::GetClassNameW() const { return "KeyboardCtrl"; }

void KeyboardCtrl::InitControl(PaintManager* manager) {
  MPanel::InitControl(manager);
  AddMTimer();
  // The tick only reaches controls whose timer runs; the preview must animate once data arrives.
  SetRunTimer(1);
  SetControlRect(GetRect());
}

void KeyboardCtrl::SetControlRect(CRect rect) {
  std::lock_guard guard(m_dataLock);
  MPanel::SetControlRect(rect);
  if (!rect.IsRectEmpty() && m_pictureWidth != 0 && m_pictureHeight != 0) CentrePicture();
  Invalidate();
}

void KeyboardCtrl::CentrePicture() {
  m_scale = 1.0;
  m_offsetY = 0;
  m_offsetX = (m_rect.Width() - m_pictureWidth) / 2;
}

void KeyboardCtrl::RepaintIfVisible() {
  Invalidate();
  if (m_visible) UpdateControl(1, 0);
}

void KeyboardCtrl::SetKeyboardImage(const CString& file) {
  SetKeyboardPicture(file.empty() ? Image() : MRender::LoadImageFromFile(SkinPath(file)));
}

void KeyboardCtrl::SetKeyboardPicture(Image picture) {
  std::lock_guard guard(m_dataLock);
  m_picture = std::move(picture);
  Invalidate();
}

bool KeyboardCtrl::HasKeyboardImage() const {
  std::lock_guard guard(m_dataLock);
  return !m_picture.IsNull();
}

void KeyboardCtrl::SetWidthAndHeight(int width, int height) {
  std::lock_guard guard(m_dataLock);
  m_pictureWidth = width;
  m_pictureHeight = height;
  if (!m_rect.IsRectEmpty()) CentrePicture();
  Invalidate();
}

CPoint KeyboardCtrl::GetPictureOffset() const {
  std::lock_guard guard(m_dataLock);
  return {m_offsetX, m_offsetY};
}

CSize KeyboardCtrl::GetPictureSize() const {
  std::lock_guard guard(m_dataLock);
  return {m_pictureWidth, m_pictureHeight};
}

double KeyboardCtrl::GetScale() const {
  std::lock_guard guard(m_dataLock);
  return m_scale;
}

int KeyboardCtrl::AddKeyItem(const char* name, const char* description, DWORD keyValue,
                             CRect rect, const CString& iconFile) {
  auto key = std::make_unique<KEY_INFO>();
  key->keyValue = keyValue;
  key->name = name != nullptr ? name : "";
  key->description = description != nullptr ? description : "";
  key->rect = rect;
  if (!iconFile.empty()) {
    key->icon = MRender::LoadImageFromFile(SkinPath(iconFile));
    key->iconWidth = key->icon.Width();
    key->iconHeight = key->icon.Height();
  }
  std::lock_guard guard(m_dataLock);
  key->index = static_cast<int>(m_keys.size());
  m_keys.push_back(std::move(key));
  Invalidate();
  return static_cast<int>(m_keys.size()) - 1;
}

void KeyboardCtrl::ClearItem() {
  std::lock_guard guard(m_dataLock);
  m_keys.clear();
  // The indices named keys that are gone; the frame bytes were laid out for them too.
  m_hover = -1;
  m_select = -1;
  m_frameCount = 0;
  m_currentFrame = 0;
  m_frames.clear();
  if (m_tips) m_tips->ShowWindow(SW_HIDE);
  Invalidate();
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems() const {
  std::lock_guard guard(m_dataLock);
  std::vector<KEY_INFO*> list;
  list.reserve(m_keys.size());
  for (const auto& k : m_keys) list.push_back(k.get());
  return list;
}

int KeyboardCtrl::GetKeyCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_keys.size());
}

KEY_INFO* KeyboardCtrl::FindKey(DWORD keyValue) const {
  for (const auto& k : m_keys) {
    if (k->keyValue == keyValue) return k.get();
  }
  return nullptr;
}

KEY_INFO* KeyboardCtrl::KeyAt(int index) const {
  if (index < 0 || index >= static_cast<int>(m_keys.size())) return nullptr;
  return m_keys[static_cast<size_t>(index)].get();
}

void KeyboardCtrl::SetKeyboardCtrlMode(int mode) {
  {
    std::lock_guard guard(m_dataLock);
    m_mode = mode;
  }
  WakeAnimation();
  RepaintIfVisible();
}

int KeyboardCtrl::GetKeyboardCtrlMode() const {
  std::lock_guard guard(m_dataLock);
  return m_mode;
}

void KeyboardCtrl::SetSelectItem(int index) {
  std::lock_guard guard(m_dataLock);
  m_select = index;
  Invalidate();
}

int KeyboardCtrl::GetSelectItem() const {
  std::lock_guard guard(m_dataLock);
  return m_select;
}

int KeyboardCtrl::GetHoverItem() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

void KeyboardCtrl::SetKeyCheck(DWORD keyValue, int checked) {
  std::lock_guard guard(m_dataLock);
  if (KEY_INFO* key = FindKey(keyValue)) {
    key->checked = checked ? 1 : 0;
    Invalidate();
  }
}

void KeyboardCtrl::ResetAllItemCheck() { ResetAllItemCheck(0); }

void KeyboardCtrl::ResetAllItemCheck(int checked) {
  {
    std::lock_guard guard(m_dataLock);
    for (auto& k : m_keys) k->checked = checked ? 1 : 0;
    m_select = -1;
  }
  RepaintIfVisible();
}

int KeyboardCtrl::GetCheckItemCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(
      std::count_if(m_keys.begin(), m_keys.end(), [](const auto& k) { return k->checked != 0; }));
}

void KeyboardCtrl::SetKeyColor(DWORD keyValue, COLORREF colour) {
  std::lock_guard guard(m_dataLock);
  if (KEY_INFO* key = FindKey(keyValue)) {
    key->colour = colour;
    Invalidate();
  }
}

COLORREF KeyboardCtrl::GetKeyColor(DWORD keyValue) const {
  std::lock_guard guard(m_dataLock);
  const KEY_INFO* key = FindKey(keyValue);
  return key != nullptr ? key->colour : 0;
}

void KeyboardCtrl::ResetAllItemsColor(COLORREF colour) {
  {
    std::lock_guard guard(m_dataLock);
    for (auto& k : m_keys) k->colour = colour;
  }
  RepaintIfVisible();
}

void KeyboardCtrl::SetAllSelectColor(COLORREF colour) {
  {
    std::lock_guard guard(m_dataLock);
    for (auto& k : m_keys) {
      if (k->checked || k->index == m_select) k->colour = colour;
    }
  }
  RepaintIfVisible();
}

void KeyboardCtrl::SetLightModeColor(int white, COLORREF colour) {
  ResetAllItemsColor(white ? 0x00FFFFFF : colour);
}

void KeyboardCtrl::SetMusicBrightness(int brightness) {
  {
    std::lock_guard guard(m_dataLock);
    if (brightness == m_musicBrightness) return;
    for (auto& k : m_keys) k->colour = kToggleColour;
    m_musicBrightness = brightness;
  }
  RepaintIfVisible();
}

int KeyboardCtrl::GetMusicBrightness() const {
  std::lock_guard guard(m_dataLock);
  return m_musicBrightness;
}

void KeyboardCtrl::SetLightModeData(const unsigned char* data, int length) {
  {
    std::lock_guard guard(m_dataLock);
    m_currentFrame = 0;
    m_tick = 0;
    if (data == nullptr || length <= 0) {
      m_frames.clear();
      m_frameCount = 0;
    } else {
      m_frames.assign(data, data + length);
      // No keys: no frames (nothing to divide by, nothing to show).
      m_frameCount = m_keys.empty() ? 0 : length / static_cast<int>(m_keys.size());
    }
  }
  WakeAnimation();
  RepaintIfVisible();
}

void KeyboardCtrl::SetPreviewColor(COLORREF colour) {
  {
    std::lock_guard guard(m_dataLock);
    if (colour == m_previewColour) return;
    m_previewColour = colour;
  }
  RepaintIfVisible();
}

int KeyboardCtrl::GetFrameCount() const {
  std::lock_guard guard(m_dataLock);
  return m_frameCount;
}

int KeyboardCtrl::GetCurrentFrame() const {
  std::lock_guard guard(m_dataLock);
  return m_currentFrame;
}

int KeyboardCtrl::TicksForSpeed(int speed) {
  switch (speed) {
    case 0: return 12;
    case 1: return 9;
    case 2: return 6;
    case 3: return 3;
    default: return 1;
  }
}

void KeyboardCtrl::SetLightSpeed(int speed) {
  {
    std::lock_guard guard(m_dataLock);
    m_ticksPerFrame = TicksForSpeed(speed);
  }
  WakeAnimation();  // a faster speed may need a tick sooner than the timer sleeps
}

int KeyboardCtrl::GetTicksPerFrame() const {
  std::lock_guard guard(m_dataLock);
  return m_ticksPerFrame;
}

void KeyboardCtrl::SetKeyDesc(DWORD keyValue, const CString& text) {
  std::lock_guard guard(m_dataLock);
  if (KEY_INFO* key = FindKey(keyValue)) {
    key->name = text;
    key->description = text;
    Invalidate();
  }
}

void KeyboardCtrl::SetTipKey(DWORD keyValue, const CString& title, const CString& text) {
  std::lock_guard guard(m_dataLock);
  if (KEY_INFO* key = FindKey(keyValue)) {
    key->tipTitle = title;
    key->tipText = text;
  }
}

void KeyboardCtrl::ResetTipKey() {
  std::lock_guard guard(m_dataLock);
  for (auto& k : m_keys) {
    k->tipTitle.clear();
    k->tipText.clear();
  }
}

void KeyboardCtrl::EnableKBTips(bool enable) {
  std::lock_guard guard(m_dataLock);
  m_tipsEnabled = enable;
}

void KeyboardCtrl::EnableFrameSelect(int enable) {
  std::lock_guard guard(m_dataLock);
  m_frameSelect = enable;
}

DWORD KeyboardCtrl::GetCurrentKeyValue() const {
  std::lock_guard guard(m_dataLock);
  return m_currentKeyValue;
}

CRect KeyboardCtrl::GetRealRect(CRect rect) const {
  std::lock_guard guard(m_dataLock);
  rect.OffsetRect(m_offsetX, m_offsetY);
  return rect;
}

CRect KeyboardCtrl::GetWindowKeyRect(CRect rect) const {
  std::lock_guard guard(m_dataLock);
  rect.OffsetRect(m_offsetX + m_rect.left, m_offsetY + m_rect.top);
  return rect;
}

CRect KeyboardCtrl::SelectionRect(CPoint a, CPoint b) {
  const CRect r(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
  if (r.Width() < kMinSelection || r.Height() < kMinSelection) return {};
  return r;
}

void KeyboardCtrl::CalFrameSelect() {
  std::lock_guard guard(m_dataLock);
  const CRect selection = SelectionRect(m_pressPt, m_currentPt);
  for (auto& k : m_keys) {
    k->checked = !selection.IsRectEmpty() && GetWindowKeyRect(k->rect).Intersects(selection);
  }
  Invalidate();
}

bool KeyboardCtrl::IsFrameDragging() const {
  std::lock_guard guard(m_dataLock);
  return m_dragging != 0;
}

void KeyboardCtrl::ClearFrameSelect() {
  m_dragging = 0;
  m_dragArmed = 0;
  m_pressPt = {};
  m_currentPt = {};
}

}  // namespace Tavex
