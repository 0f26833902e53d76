#pragma once
// MShadow: a soft shadow around a dialog, drawn in a separate layered window kept just behind
// it and moved with it. The shadow is `size` pixels wide around the dialog rectangle, shifted by
// the position offset; its opacity falls from `darkness` at the dialog's edge to 0 outside,
// with `sharpness` (0-20) steepening the fall. A nine-part image may replace the computed
// shadow. Without a compositor the window is shaped to its visible pixels.
//
// Ownership: the dialog's PaintManager owns it. Threads: UI thread.
#include "tavex/MWindow.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API MShadow : public MWindow {
 public:
  MShadow();
  ~MShadow() override;

  const char* GetWindowClassName() const override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Creates the window for `owner` (not shown yet).
  bool Create(HWND owner, int size, bool show);
  void SetSize(int size);
  void SetSharpness(int sharpness);
  void SetDarkness(int darkness);
  void SetPosition(int x, int y);
  void SetColor(COLORREF colour);
  bool SetImage(const Image& image, CRect nine);
  void SetShow(bool show);
  // Matches the owner's rectangle and visibility (called when the owner moves or shows).
  void Follow(HWND owner);

  int GetSize() const { return m_size; }
  int GetDarkness() const { return m_darkness; }
  int GetSharpness() const { return m_sharpness; }
  bool IsShown() const { return m_show; }
  // The shadow picture for an owner of width × height (also used by tests).
  Surface Render(int ownerWidth, int ownerHeight) const;

 private:
  void Refresh();

  HWND m_owner = nullptr;
  int m_size = 10;
  int m_sharpness = 5;
  int m_darkness = 150;
  int m_x = 0;
  int m_y = 0;
  COLORREF m_colour = 0x000000;
  Image m_image;
  CRect m_nine;
  bool m_show = true;
  Surface m_frame;
  CSize m_ownerSize;
};

}  // namespace Tavex
