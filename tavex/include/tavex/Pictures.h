#pragma once
// Image displays: MPicture (one picture, fitted into the rectangle keeping its proportions),
// CPhotoFrame (a framed, clickable picture: 1 on press, 2 on a click), CSliderPicture (a strip
// of pictures that slides to the chosen one on the animation timer) and CGifPicture (an
// animated image whose frames advance on the animation timer).
//
// Pictures are named below the skin folder or by absolute path, or given as Image values.
// Setters may be called from any thread; they repaint only on change.
#include <vector>

#include "tavex/MControlFont.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

class TAVEX_API MPicture : public MControlFont {
 public:
  // How the picture meets the rectangle.
  enum Fit { kFitContain = 0, kFitStretch = 1, kFitCentre = 2 };

  MPicture(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;

  // A picture file (below the skin folder, or absolute); false when it cannot be read
  // (the picture shown is then unchanged).
  bool SetPicture(const char* file);
  void SetPicture(const Image& image);
  Image GetPicture() const;
  void SetFit(Fit fit) { Assign(m_fit, fit); }
  // Where a picture of w × h goes inside `rect` with `fit`.
  static CRect PlaceImage(const CRect& rect, int w, int h, Fit fit);

 protected:
  void DrawPicture(Painter& painter, const Image& image, const CRect& rect, BYTE alpha = 255);

  Image m_picture;
  Fit m_fit = kFitContain;
};

class TAVEX_API CPhotoFrame : public MPicture {
 public:
  CPhotoFrame(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;
  void SetFrameColor(std::uint32_t argb) { Assign(m_frameColor, argb); }

 private:
  PressBehaviour m_press;
  std::uint32_t m_frameColor = 0xFF3A3A40;
};

class TAVEX_API CSliderPicture : public MPicture {
 public:
  CSliderPicture(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void InitControl(PaintManager* manager) override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnControlTimer() override;
  // A new width keeps the strip on the same picture (the offset scales with it).
  void SetControlRect(CRect rect) override;

  // Appends a picture; false when it cannot be read.
  bool AddPicture(const char* file);
  void AddPicture(const Image& image);
  int GetCount() const;
  // Slides to picture `index` (clamped); `animate` 0 jumps.
  void SetCurrent(int index, int animate = 1);
  int GetCurrent() const;
  // Horizontal offset of the strip in pixels (index × width when at rest).
  int GetOffset() const;
  // Moves the strip `ms` milliseconds further towards its target; true when it moved.
  bool Advance(int ms);

 private:
  std::vector<Image> m_pictures;
  int m_current = 0;
  double m_offset = 0;
  long long m_lastTick = 0;
};

class TAVEX_API CGifPicture : public MPicture {
 public:
  CGifPicture(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void InitControl(PaintManager* manager) override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnControlTimer() override;

  // Reads every frame of an animated image; false (frames unchanged) when it cannot be read.
  bool LoadGif(const char* file);
  int GetFrameCount() const;
  int GetFrame() const;
  // Starts (run 1) or stops (0) the animation at `frame` (clamped). Only for images with more
  // than one frame: otherwise nothing changes and the result is 0; else 1.
  int SetRunState(int run, int frame);
  int IsRunning() const { return m_running.load(); }
  // Moves the animation `ms` milliseconds on; true when the frame changed.
  bool Advance(int ms);

 private:
  std::vector<AnimationFrame> m_frames;
  int m_frame = 0;
  int m_elapsed = 0;  // ms spent on the current frame
  std::atomic<int> m_running{0};
  long long m_lastTick = 0;
};

}  // namespace Tavex
