#pragma once
// CDeviceCtrl: the list of keyboards the program found. Connected entries (state 1) come
// first, then listed-but-absent ones (state 2); state 0 entries are not shown. A press on a
// row makes it current and sends notification 1 (entry index). Nothing is drawn while no
// entry is connected.
// Ownership: the control owns its entries. Threads: setters lock the entries and may be
// called from any thread (the worker refreshes the device list).
#include <vector>

#include "tavex/MControlFont.h"

namespace Tavex {

struct DeviceEntry {
  CString name;
  int key1 = 0;
  int key2 = 0;
  int type = 0;
  int state = 0;  // 0 not shown, 1 connected, 2 listed but not connected
  bool connected = false;
  CRect rect;
};

class TAVEX_API CDeviceCtrl : public MControlFont {
 public:
  static constexpr int kRowHeight = 38;
  static constexpr int kRowPitch = 43;

  CDeviceCtrl(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
              int enabled = 1);

  const char* GetClassNameW() const override;

  void AddDevice(const CString& name, int key1, int key2, int type, bool connected);
  void SetDeviceState(int key1, int key2, int state);
  int GetCurDeviceType() const;
  int GetConnectCount() const;
  int GetCurDevice() const;
  int GetHoverDevice() const;
  int GetDeviceCount() const;
  void ClearList();
  // Row of entry `index` in window coordinates (empty when it is not shown).
  CRect GetDeviceRect(int index) const;
  int DeviceAt(CPoint pt) const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;
  void SetControlRect(CRect rect) override;
  // The state image is looked up again at the next paint, so that a new file shows.
  void SetImage(const char* file, int states) override;

 private:
  // Shown order: connected entries, then absent ones (caller holds the lock).
  void LayoutLocked();

  std::vector<DeviceEntry> m_entries;
  int m_connected = 0;
  int m_hover = -1;
  int m_current = -1;
  Image m_stateImage;
  bool m_imageLoaded = false;
};

}  // namespace Tavex
