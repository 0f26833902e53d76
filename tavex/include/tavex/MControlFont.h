#pragma once
// MControlFont: a control with a title, a font, a text colour, an alignment and a state image
// (states side by side: normal, hover, pressed, disabled). Every setter that changes a value
// repaints the control when it is visible; an equal value does nothing. Setters may be called
// from any thread (see MControl).
#include <cstdint>

#include "tavex/ImageCache.h"
#include "tavex/MControl.h"
#include "tavex/Painter.h"

namespace Tavex {

enum FontStyle : int {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
};

class TAVEX_API MControlFont : public MControl {
 public:
  MControlFont(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
               int enabled = 1);

  const char* GetClassNameW() const override;

  virtual void SetTextFont(const CString& family);
  virtual void SetTextColor(std::uint32_t argb);
  // State image from the skin folder; `states` pictures side by side.
  virtual void SetImage(const char* file, int states);
  virtual void SetControlTitle(const char* title);
  virtual CString GetControlTitle() const;

  void SetTitle(const char* title);
  CString GetTitle() const;
  // Horizontal: 0 left, 1 centre, 2 right. Vertical: 0 top, 4 centre, 8 bottom.
  void SetAlignment(unsigned h);
  void SetVAlignment(unsigned v);
  void SetAlignment(unsigned h, unsigned v);
  unsigned GetAlignment() const { return m_hAlign; }
  unsigned GetVAlignment() const { return m_vAlign; }
  void SetFont(const char* family, int size, FontStyle style = FontStyleRegular);
  void SetFontWidth(int size);
  int GetFontWidth() const;
  void SetFontStyle(FontStyle style);
  FontStyle GetFontStyle() const;
  CString GetTextFont() const;
  CString GetFontFamily() const { return GetTextFont(); }
  std::uint32_t GetTextColor() const;
  // The font as the Painter takes it (family, size in pixels, style).
  FontDesc GetFontDesc() const;
  // Painter text format of the alignment (single line, ellipsis at the end).
  UINT GetTextFormat() const;
  void SetTextRenderingHint(int hint);
  int GetTextRenderingHint() const { return m_renderHint; }
  void SetImageCount(int states);
  int GetImageCount() const { return m_imageStates; }
  // Size of one state of the state image ((0, 0) before an image is loaded).
  CSize GetImageSize() const;
  CString GetImagePath() const;
  // Called by the image loader once the state image is known.
  void SetImageSize(int fullWidth, int height);
  // The state image from the window's image cache (loaded on first use, sizes updated); null
  // without a manager, without an image path or when the file cannot be read.
  ImgResInfo* GetStateImage();
  // The picture `name` (below the skin folder, or an absolute path) from the window's image
  // cache, shared with every control of the window. A control not yet in a window reads the
  // file directly, uncached. Null when the file cannot be read. Any thread.
  Image LoadSkinImage(const CString& name) const;

 protected:
  CString m_title;
  CString m_fontFamily;
  CString m_imagePath;
  int m_fontSize;
  std::uint32_t m_textColor = 0xFFFFFFFF;
  FontStyle m_fontStyle = FontStyleRegular;
  unsigned m_hAlign = 0;
  unsigned m_vAlign = 4;
  int m_renderHint = 5;
  int m_imageFullWidth = 0;
  int m_imageHeight = 0;
  int m_imageStates = 4;

  // Stores `value` into `field` under the data lock; repaints when it changed.
  template <typename T>
  void Assign(T& field, const T& value) {
    {
      std::lock_guard guard(m_dataLock);
      if (field == value) return;
      field = value;
    }
    UpdateControl(1, 0);
  }
};

}  // namespace Tavex
