#include "tavex/CDeviceCtrl.h"

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace Tavex {

CDeviceCtrl::CDeviceCtrl(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                         int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_hAlign = 1;
}

const char* CDeviceCtrl::GetClassNameW() const { return "CDeviceCtrl"; }

void CDeviceCtrl::LayoutLocked() {
  int y = m_rect.top;
  for (int pass : {1, 2}) {
    for (DeviceEntry& e : m_entries) {
      if (e.state != pass) continue;
      e.rect = CRect(m_rect.left, y, m_rect.right, y + kRowHeight);
      y += kRowPitch;
    }
  }
  for (DeviceEntry& e : m_entries) {
    if (e.state != 1 && e.state != 2) e.rect = CRect();
  }
}

void CDeviceCtrl::AddDevice(const CString& name, int key1, int key2, int type, bool connected) {
  std::lock_guard guard(m_dataLock);
  m_entries.push_back({name, key1, key2, type, connected ? 2 : 0, connected, {}});
  LayoutLocked();
}

void CDeviceCtrl::SetDeviceState(int key1, int key2, int state) {
  {
    std::lock_guard guard(m_dataLock);
    for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
      DeviceEntry& e = m_entries[i];
      if (e.key1 != key1 || e.key2 != key2) continue;
      e.state = state;
      if (state != 0) m_current = i;
    }
    m_connected = 0;
    for (const DeviceEntry& e : m_entries) m_connected += e.state == 1 ? 1 : 0;
    LayoutLocked();
  }
  if (m_visible) UpdateControl(1, 0);
}

int CDeviceCtrl::GetCurDeviceType() const {
  std::lock_guard guard(m_dataLock);
  if (m_current < 0 || m_current >= static_cast<int>(m_entries.size()) || m_connected == 0) {
    return 0;
  }
  return m_entries[m_current].type;
}

int CDeviceCtrl::GetConnectCount() const {
  std::lock_guard guard(m_dataLock);
  return m_connected;
}

int CDeviceCtrl::GetCurDevice() const {
  std::lock_guard guard(m_dataLock);
  return m_current;
}

int CDeviceCtrl::GetHoverDevice() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

int CDeviceCtrl::GetDeviceCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_entries.size());
}

void CDeviceCtrl::ClearList() {
  {
    std::lock_guard guard(m_dataLock);
    m_entries.clear();
    m_hover = m_current = -1;
    // Nothing is listed, so nothing is connected.
    m_connected = 0;
  }
  UpdateControl(1, 0);
}

CRect CDeviceCtrl::GetDeviceRect(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return {};
  return m_entries[index].rect;
}

int CDeviceCtrl::DeviceAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  if (m_connected == 0) return -1;
  for (int i = 0; i < static_cast<int>(m_entries.size()); ++i) {
    if (!m_entries[i].rect.IsRectEmpty() && m_entries[i].rect.PtInRect(pt)) return i;
  }
  return -1;
}

void CDeviceCtrl::SetControlRect(CRect rect) {
  std::lock_guard guard(m_dataLock);
  MControlFont::SetControlRect(rect);
  LayoutLocked();
}

int CDeviceCtrl::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int CDeviceCtrl::OnControlMouseMove(unsigned, CPoint pt) {
  const int hit = DeviceAt(pt);
  if (m_manager != nullptr) m_manager->SetCursorName(hit >= 0 ? "hand" : "arrow");
  {
    std::lock_guard guard(m_dataLock);
    if (hit == m_hover) return 1;
    m_hover = hit;
  }
  UpdateControl(1, 0);
  return 1;
}

int CDeviceCtrl::OnControlLButtonDown(unsigned, CPoint pt) {
  const int hit = DeviceAt(pt);
  if (hit < 0) return 1;
  {
    std::lock_guard guard(m_dataLock);
    m_current = hit;
  }
  SendMessageW(Notify::Press, static_cast<unsigned>(hit), 0);
  UpdateControl(1, 0);
  return 1;
}

void CDeviceCtrl::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  UpdateControl(1, 0);
}

void CDeviceCtrl::SetImage(const char* file, int states) {
  {
    std::lock_guard guard(m_dataLock);
    m_imageLoaded = false;
  }
  MControlFont::SetImage(file, states);
  UpdateControl(1, 0);
}

void CDeviceCtrl::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  if (m_connected == 0) return;
  if (!m_imageLoaded) {
    m_stateImage = LoadSkinImage(m_imagePath);
    m_imageLoaded = true;
  }
  const FontDesc font = GetFontDesc();
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  const int states = m_imageStates > 0 ? m_imageStates : 4;
  for (int pass : {1, 2}) {
    for (const DeviceEntry& e : m_entries) {
      if (e.state != pass) continue;
      const int state = pass == 1 ? 0 : 3;
      if (!m_stateImage.IsNull() && states > state) {
        const int sw = m_stateImage.Width() / states;
        painter.DrawImage(m_stateImage, e.rect,
                          RECT{state * sw, 0, (state + 1) * sw, m_stateImage.Height()});
      } else {
        painter.FillRect(e.rect, pass == 1 ? 0xFF3A3A3A : 0xFF262626);
      }
      painter.DrawText(e.name, font, e.rect, pass == 1 ? m_textColor : 0xFF808080, format);
    }
  }
}

}  // namespace Tavex
