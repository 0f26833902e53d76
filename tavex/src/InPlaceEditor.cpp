#include "InPlaceEditor.h"

#include "tavex/Codes.h"
#include "tavex/MPopupWnd.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {

// The popup of a layered host: Enter and Escape end the edit instead of reaching the box.
class InPlacePopup : public MPopupWnd {
 public:
  InPlacePopup(MObject* owner, std::function<void(bool)> finish)
      : MPopupWnd(owner), m_finish(std::move(finish)) {
    SetCloseOnEscape(false);
  }
  void Detach() {
    m_finish = nullptr;
    SetOwnerObject(nullptr);
    SetCloseHandler(nullptr);
  }
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE) && m_finish) {
      const auto finish = m_finish;
      finish(wParam == VK_RETURN);
      return 0;
    }
    return MPopupWnd::OnWindowMessage(msg, wParam, lParam);
  }

 private:
  std::function<void(bool)> m_finish;
};

}  // namespace

InPlaceEditor::InPlaceEditor(MPanel& host, std::function<void(bool keep)> finish)
    : m_host(host), m_finish(std::move(finish)) {
  // Hidden and holding nothing until an edit opens; the host's list owns it from here on.
  m_edit = new MEdit(&host, kEditId, CRect(), "", 0, 1);
  Configure(*m_edit);
  host.AddControl(m_edit, 1);
}

InPlaceEditor::~InPlaceEditor() {
  if (m_popup != nullptr) {
    static_cast<InPlacePopup*>(m_popup)->Detach();
    m_popup->Close(MPopupWnd::kResultDismissed);
  }
}

void InPlaceEditor::Configure(MEdit& edit) const {
  edit.SetFlatLook(1, m_fill);
  edit.SetTextColor(m_text);
  edit.SetMaxLength(m_maxLength);
  edit.SetDigitsOnly(m_digitsOnly ? 1 : 0);
}

void InPlaceEditor::SetRules(int maxLength, bool digitsOnly) {
  m_maxLength = maxLength;
  m_digitsOnly = digitsOnly;
  Configure(*m_edit);
}

void InPlaceEditor::SetLook(ARGB text, ARGB fill) {
  m_text = text;
  m_fill = fill;
  Configure(*m_edit);
}

MEdit* InPlaceEditor::Edit() const { return m_popupEdit != nullptr ? m_popupEdit : m_edit; }

HWND InPlaceEditor::GetPopupWindow() const {
  return m_popup != nullptr ? m_popup->GetSafeHwnd() : nullptr;
}

bool InPlaceEditor::OpenPopup(CRect box, const std::string& text) {
  PaintManager* pm = m_host.GetManager();
  if (pm == nullptr || !pm->IsLayered() || pm->GetPaintWnd() == nullptr) return false;
  const CPoint shift = MPanel::ScrollOffsetOfChain(&m_host);
  CRect client = box;
  client.OffsetRect(-shift.x, -shift.y);
  auto* popup = new InPlacePopup(&m_host, m_finish);
  popup->SetAutoDelete(true);
  // The window went without the host ending the edit first (destroyed from outside): the
  // edit ends leaving the row as it was.
  popup->SetCloseHandler([this](int) {
    m_popup = nullptr;
    m_popupEdit = nullptr;
    if (m_finish) m_finish(false);
  });
  if (popup->CreateOver(pm->GetPaintWnd(), client) == nullptr) {
    delete popup;
    return false;
  }
  auto* edit = static_cast<MEdit*>(popup->CreateControl(
      "MEdit", kEditId, CRect(0, 0, client.Width(), client.Height()), text.c_str(), 1, 1));
  if (edit == nullptr) {
    popup->Detach();
    popup->Close(MPopupWnd::kResultDismissed);
    return false;
  }
  Configure(*edit);
  edit->SetFont(m_host.GetTextFont().c_str(), m_host.GetFontWidth(), m_host.GetFontStyle());
  edit->SetSel(1 << 30, -1);
  popup->SetFocusControl(edit);
  m_popup = popup;
  m_popupEdit = edit;
  m_inPopup = true;
  return true;
}

bool InPlaceEditor::TakeEndKey(unsigned key) {
  if (!m_open || (key != VK_RETURN && key != VK_ESCAPE)) return false;
  m_finish(key == VK_RETURN);
  return true;
}

bool InPlaceEditor::TakeBoxNotice(unsigned id, unsigned code) {
  if (id != kEditId) return false;
  if (code == Notify::EditEnded) m_finish(true);
  return true;
}

void InPlaceEditor::Open(CRect box, const std::string& text) {
  m_box = box;
  m_open = true;
  if (OpenPopup(box, text)) return;
  m_edit->SetFont(m_host.GetTextFont().c_str(), m_host.GetFontWidth(), m_host.GetFontStyle());
  m_edit->SetRect(box);
  m_edit->SetTitle(text.c_str());
  m_edit->SetSel(1 << 30, -1);
  m_edit->SetVisible(1);
  // The host holds the focus while its box is open, and the box holds the host's.
  if (!m_host.IsFocused()) m_host.SetControlFocus(1);
  m_host.GetChildControls().ForEach([&](MControl* c) {
    if (c != m_edit && c->IsFocused()) c->SetControlFocus(0);
  });
  if (!m_edit->IsFocused()) m_edit->SetControlFocus(1);
}

void InPlaceEditor::Move(CRect box) {
  if (!m_open || box == m_box) return;
  m_box = box;
  if (m_popup == nullptr) m_edit->SetRect(box);
}

std::string InPlaceEditor::Close() {
  if (!m_open) return {};
  m_open = false;
  if (m_popupEdit != nullptr) {
    m_inPopup = false;
    const std::string text = m_popupEdit->GetTitle();
    auto* popup = static_cast<InPlacePopup*>(m_popup);
    m_popup = nullptr;
    m_popupEdit = nullptr;
    // The popup goes on its own; nothing of it reaches the host any more. Going, it hands the
    // keyboard back to the host's window, its owner.
    popup->Detach();
    popup->Close(MPopupWnd::kResultDismissed);
    return text;
  }
  if (m_inPopup) {
    // The popup's window is already gone, and its text with it.
    m_inPopup = false;
    return {};
  }
  const std::string text = m_edit->GetTitle();
  if (m_edit->IsFocused()) m_edit->SetControlFocus(0);
  m_edit->SetVisible(0);
  return text;
}

std::string InPlaceEditor::Text() const {
  if (!m_open) return {};
  const MEdit* edit = Edit();
  return edit != nullptr ? edit->GetTitle() : std::string();
}

}  // namespace Tavex
