#include "tavex/MControlFont.h"

#include "tavex/Manager.h"
#include "tavex/MRender.h"
#include "tavex/PaintManager.h"

namespace Tavex {

MControlFont::MControlFont(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                           int enabled)
    : MControl(parent, id, rect, visible, enabled),
      m_title(title != nullptr ? title : ""),
      m_fontFamily(Manager::GetFontName()),
      m_fontSize(Manager::GetFontWidth()) {}

const char* MControlFont::GetClassNameW() const { return "MControlFont"; }

void MControlFont::SetTextFont(const CString& family) { Assign(m_fontFamily, family); }
void MControlFont::SetTextColor(std::uint32_t argb) { Assign(m_textColor, argb); }

void MControlFont::SetImage(const char* file, int states) {
  {
    std::lock_guard guard(m_dataLock);
    const CString path = file != nullptr ? file : "";
    if (path == m_imagePath && states == m_imageStates) return;
    m_imagePath = path;
    if (states > 0) m_imageStates = states;
    m_imageFullWidth = 0;
    m_imageHeight = 0;
  }
  UpdateControl(1, 0);
}

void MControlFont::SetControlTitle(const char* title) {
  Assign(m_title, CString(title != nullptr ? title : ""));
}

CString MControlFont::GetControlTitle() const {
  std::lock_guard guard(m_dataLock);
  return m_title;
}

void MControlFont::SetTitle(const char* title) { SetControlTitle(title); }
CString MControlFont::GetTitle() const { return GetControlTitle(); }

void MControlFont::SetAlignment(unsigned h) { Assign(m_hAlign, h); }
void MControlFont::SetVAlignment(unsigned v) { Assign(m_vAlign, v); }
void MControlFont::SetAlignment(unsigned h, unsigned v) {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hAlign == h && m_vAlign == v) return;
    m_hAlign = h;
    m_vAlign = v;
  }
  UpdateControl(1, 0);
}

void MControlFont::SetFont(const char* family, int size, FontStyle style) {
  {
    std::lock_guard guard(m_dataLock);
    const CString name = family != nullptr ? family : m_fontFamily;
    if (name == m_fontFamily && size == m_fontSize && style == m_fontStyle) return;
    m_fontFamily = name;
    m_fontSize = size;
    m_fontStyle = style;
  }
  UpdateControl(1, 0);
}

void MControlFont::SetFontWidth(int size) { Assign(m_fontSize, size); }
int MControlFont::GetFontWidth() const {
  std::lock_guard guard(m_dataLock);
  return m_fontSize;
}
void MControlFont::SetFontStyle(FontStyle style) { Assign(m_fontStyle, style); }
FontStyle MControlFont::GetFontStyle() const {
  std::lock_guard guard(m_dataLock);
  return m_fontStyle;
}
CString MControlFont::GetTextFont() const {
  std::lock_guard guard(m_dataLock);
  return m_fontFamily;
}
std::uint32_t MControlFont::GetTextColor() const {
  std::lock_guard guard(m_dataLock);
  return m_textColor;
}
FontDesc MControlFont::GetFontDesc() const {
  std::lock_guard guard(m_dataLock);
  FontDesc font;
  font.family = m_fontFamily;
  font.sizePx = m_fontSize;
  font.bold = (m_fontStyle & FontStyleBold) != 0;
  font.italic = (m_fontStyle & FontStyleItalic) != 0;
  return font;
}

UINT MControlFont::GetTextFormat() const {
  std::lock_guard guard(m_dataLock);
  UINT format = DT_SINGLELINE | DT_END_ELLIPSIS;
  format |= m_hAlign == 1 ? DT_CENTER : m_hAlign == 2 ? DT_RIGHT : DT_LEFT;
  format |= m_vAlign == 4 ? DT_VCENTER : m_vAlign == 8 ? DT_BOTTOM : DT_TOP;
  return format;
}

void MControlFont::SetTextRenderingHint(int hint) { Assign(m_renderHint, hint); }

void MControlFont::SetImageCount(int states) {
  if (states > 0) Assign(m_imageStates, states);
}

CSize MControlFont::GetImageSize() const {
  std::lock_guard guard(m_dataLock);
  if (m_imageStates <= 0) return {};
  return {m_imageFullWidth / m_imageStates, m_imageHeight};
}

CString MControlFont::GetImagePath() const {
  std::lock_guard guard(m_dataLock);
  return m_imagePath;
}

void MControlFont::SetImageSize(int fullWidth, int height) {
  std::lock_guard guard(m_dataLock);
  m_imageFullWidth = fullWidth;
  m_imageHeight = height;
}

ImgResInfo* MControlFont::GetStateImage() {
  CString path;
  int states = 1;
  {
    std::lock_guard guard(m_dataLock);
    path = m_imagePath;
    states = m_imageStates;
  }
  if (m_manager == nullptr || path.empty()) return nullptr;
  ImgResInfo* info = m_manager->AddImgResInfo(path.c_str(), states);
  if (info != nullptr) SetImageSize(info->image.Width(), info->height);
  return info;
}

Image MControlFont::LoadSkinImage(const CString& name) const {
  if (name.empty()) return {};
  if (m_manager != nullptr) {
    // The state image is cached with its state count, as GetStateImage would load it.
    int states = 1;
    {
      std::lock_guard guard(m_dataLock);
      if (name == m_imagePath) states = m_imageStates;
    }
    const ImgResInfo* info = m_manager->AddImgResInfo(name.c_str(), states);
    return info != nullptr ? info->image : Image();
  }
  return MRender::LoadImageFromFile(name.front() == '/' ? name : Manager::GetSkinFolder() + name);
}

}  // namespace Tavex
