#include "InPlaceEditor.h"

#include "tavex/PaintManager.h"

namespace Tavex {

InPlaceEditor::InPlaceEditor(MPanel& host) : m_host(host) {
  // Hidden and holding nothing until an edit opens; the host's list owns it from here on.
  m_edit = new MEdit(&host, kEditId, CRect(), "", 0, 1);
  m_edit->SetFlatLook(1);
  host.AddControl(m_edit, 1);
}

void InPlaceEditor::SetRules(int maxLength, bool digitsOnly) {
  m_edit->SetMaxLength(maxLength);
  m_edit->SetDigitsOnly(digitsOnly ? 1 : 0);
}

void InPlaceEditor::SetLook(ARGB text, ARGB fill) {
  m_edit->SetTextColor(text);
  m_edit->SetFlatLook(1, fill);
}

void InPlaceEditor::Open(CRect box, const std::string& text) {
  m_edit->SetFont(m_host.GetTextFont().c_str(), m_host.GetFontWidth(), m_host.GetFontStyle());
  m_edit->SetRect(box);
  m_edit->SetTitle(text.c_str());
  m_edit->SetSel(1 << 30, -1);
  m_open = true;
  m_edit->SetVisible(1);
  // The host holds the focus while its box is open, and the box holds the host's.
  if (!m_host.IsFocused()) m_host.SetControlFocus(1);
  m_host.GetChildControls().ForEach([&](MControl* c) {
    if (c != m_edit && c->IsFocused()) c->SetControlFocus(0);
  });
  if (!m_edit->IsFocused()) m_edit->SetControlFocus(1);
}

std::string InPlaceEditor::Close() {
  if (!m_open) return {};
  m_open = false;
  const std::string text = m_edit->GetTitle();
  if (m_edit->IsFocused()) m_edit->SetControlFocus(0);
  m_edit->SetVisible(0);
  return text;
}

std::string InPlaceEditor::Text() const { return m_open ? m_edit->GetTitle() : std::string(); }

}  // namespace Tavex
