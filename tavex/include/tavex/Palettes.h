#pragma once
// Colour pickers. Colours are COLORREF values (0x00BBGGRR) in notifications and setters.
// MPalette: a grid of swatches; a press on one chooses it and sends 27 (colour, 0).
// CColorPalette: a saturation/value field beside a hue bar; pressing or dragging in either
// sends 27 (0, colour). CColorSelect: a row of preset swatches plus the current colour;
// 27 (0, colour). CirclePalette: a colour wheel (hue by angle, saturation by distance from the
// centre); 27 (0, colour). Geometry (which colour lies where) is computed apart from drawing.
// SetColor may be called from any thread; it repaints only on change.
#include <atomic>
#include <vector>

#include "tavex/MControlFont.h"
#include "tavex/MPanel.h"

namespace Tavex {

// HSV (hue 0..360, saturation and value 0..1) to COLORREF, and back.
TAVEX_API COLORREF ColorFromHSV(double hue, double saturation, double value);
TAVEX_API void ColorToHSV(COLORREF colour, double* hue, double* saturation, double* value);

class TAVEX_API MPalette : public MControlFont {
 public:
  MPalette(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;

  void SetColors(const std::vector<COLORREF>& colours);
  std::vector<COLORREF> GetColors() const;
  // Swatches per row (at least 1).
  void SetColumns(int columns);
  void SetColor(COLORREF colour);
  COLORREF GetColor() const { return m_color.load(); }
  CRect GetSwatchRect(int index) const;
  int SwatchAt(CPoint pt) const;

 private:
  std::vector<COLORREF> m_colors;
  int m_columns = 8;
  std::atomic<COLORREF> m_color{0};
};

class TAVEX_API CColorPalette : public MPanel {
 public:
  static constexpr int kHueBarWidth = 16;
  static constexpr int kGap = 8;
  CColorPalette(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

  void SetColor(COLORREF colour);
  COLORREF GetColor() const;
  CRect GetFieldRect() const;
  CRect GetHueRect() const;
  // The colour the pointer picks at `pt` (field: current hue; bar: the hue at full colour).
  bool ColorAt(CPoint pt, COLORREF* colour) const;

 private:
  bool Pick(CPoint pt);

  double m_hue = 0, m_sat = 1, m_val = 1;
  int m_drag = 0;  // 1 field, 2 hue bar
};

class TAVEX_API CColorSelect : public MPanel {
 public:
  CColorSelect(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;

  void SetColor(COLORREF colour);
  COLORREF GetColor() const { return m_color.load(); }
  const std::vector<COLORREF>& GetPresets() const { return m_presets; }
  // Swatch `index` of the presets; the last place shows the current colour.
  CRect GetSwatchRect(int index) const;
  int SwatchAt(CPoint pt) const;

 private:
  std::vector<COLORREF> m_presets;
  std::atomic<COLORREF> m_color{0x0000FF};
};

class TAVEX_API CirclePalette : public MControlFont {
 public:
  CirclePalette(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

  void SetColor(COLORREF colour);
  COLORREF GetColor() const { return m_color.load(); }
  // Colour at a point of the wheel; false outside it.
  bool ColorAt(CPoint pt, COLORREF* colour) const;

 private:
  // The wheel, drawn once per size.
  Image m_wheel;
  std::atomic<COLORREF> m_color{0x0000FF};
  int m_drag = 0;
};

}  // namespace Tavex
