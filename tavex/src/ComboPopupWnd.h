#pragma once
// The popup window of an open MComboBox: a borderless topmost tool window holding one
// CComboBoxList. It reports picks and its own end to the combo box. UI thread only.
#include <cstdint>
#include <vector>

#include "tavex/CComboBoxList.h"
#include "tavex/MDialog.h"

namespace Tavex {

class MComboBox;

class ComboPopupWnd : public MDialog {
 public:
  explicit ComboPopupWnd(MComboBox* owner) : m_owner(owner) {}

  // Creates and shows the window at `screen` with the given rows, `selected` marked and in
  // view. A back picture with see-through pixels makes the window layered, so that they show
  // what lies beneath (or are cut from its shape without a compositor).
  bool Open(HWND ownerWindow, CRect screen, const std::vector<ComboEntry>& entries,
            const FontDesc& font, std::uint32_t textColour, const ComboPopupLook& look = {},
            int selected = -1);
  // Keys of the open list, wherever they arrive: Up/Down move the highlight by a row, Page
  // Up/Down by the rows in view, Home/End to either end; Enter picks it, Escape ends the list.
  // True when the key was one of them.
  bool HandleKey(unsigned key);
  // A typed code point (WM_CHAR) at message time `timeMs`: printable ones find a row by its
  // first letters and are taken, whether a row matched or not.
  bool HandleChar(unsigned codePoint, std::uint32_t timeMs);
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
  int m_selected = -1;
  ComboPopupLook m_look;
};

}  // namespace Tavex
