#pragma once
// The popup window of an open MComboBox: a borderless topmost tool window holding one
// CComboBoxList. It reports picks and its own end to the combo box. UI thread only.
#include <vector>

#include "tavex/CComboBoxList.h"
#include "tavex/MDialog.h"

namespace Tavex {

class MComboBox;

class ComboPopupWnd : public MDialog {
 public:
  explicit ComboPopupWnd(MComboBox* owner) : m_owner(owner) {}

  // Creates and shows the window at `screen` with the given rows.
  bool Open(HWND ownerWindow, CRect screen, const std::vector<ComboEntry>& entries,
            const FontDesc& font, std::uint32_t textColour, const ComboPopupLook& look = {});
  // The combo box is going away: no more reports.
  void Detach() { m_owner = nullptr; }
  CComboBoxList* GetList() const { return m_list; }

  void InitUI(CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyMessage(HWND hwnd) override;

 private:
  MComboBox* m_owner;
  CComboBoxList* m_list = nullptr;
  std::vector<ComboEntry> m_entries;
  FontDesc m_font;
  std::uint32_t m_textColour = 0xFFFFFFFF;
  ComboPopupLook m_look;
};

}  // namespace Tavex
