#pragma once
// KeyboardCtrl: the picture of the keyboard with one interactive shape per key. The program
// fills it from the layout file (AddKeyItem per key, rectangles relative to the picture),
// switches its drawing mode per page, marks and colours keys, feeds it light frames to
// animate and receives its notifications:
//   2  left button released inside: wParam = selected key index or 0xFFFFFFFF, lParam = key value
//   5  right button released inside without a frame selection: wParam = key index under the
//      pointer or -1, lParam = its key value when the release lies inside that key, else 0
//   24 right button released after a frame selection: 0, 0
//
// Modes: 100 plain keys (blue, labelled, no picture), 101 key assignment (outline on checked,
// hovered and selected keys), 102 light preview (black outlines whose alpha is the current
// frame's byte per key), 103 per-key colours, 104 music preview (key colours at the music
// brightness). Other values draw nothing.
//
// Ownership: the control owns its KEY_INFO records; GetKeyItems hands out plain pointers that
// stay valid until ClearItem or destruction. The control owns its tip window.
// Threads: every setter and getter may be called from any thread; they hold the data lock (the
// key lock) while they walk the keys. Input, drawing and the tip window are UI-thread only; the
// animation tick runs on the timer thread under the same lock.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "tavex/MPanel.h"
#include "tavex/Painter.h"

namespace Tavex {

class KeyboardTips;

struct TAVEX_API KEY_INFO {
  int index = 0;
  DWORD keyValue = 0;
  CString name;
  CString description;
  CString tipTitle;
  CString tipText;
  CRect rect;  // relative to the picture's top-left corner
  int checked = 0;
  COLORREF colour = 0x0000E1FF;
  Image icon;
  int iconWidth = 0;
  int iconHeight = 0;
};

class TAVEX_API KeyboardCtrl : public MPanel {
 public:
  static constexpr int kModePlain = 100;
  static constexpr int kModeAssign = 101;
  static constexpr int kModePreview = 102;
  static constexpr int kModeColours = 103;
  static constexpr int kModeMusic = 104;
  static constexpr COLORREF kDefaultKeyColour = 0x0000E1FF;
  static constexpr COLORREF kToggleColour = 0x00FFFF00;
  // Smallest selection (width and height) and the pointer travel that moves it.
  static constexpr int kMinSelection = 6;
  static constexpr int kDragStep = 20;

  KeyboardCtrl(MObject* parent, unsigned id, CRect rect, int visible = 1);
  ~KeyboardCtrl() override;

  const char* GetClassNameW() const override;
  void InitControl(PaintManager* manager) override;
  void DrawControl(Painter& painter, CRect paint) override;
  void SetControlRect(CRect rect) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlTimer() override;
  int QuietTicks() const override;
  void PassQuietTicks(int ticks) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlRButtonDown(unsigned keys, CPoint pt) override;
  int OnControlRButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

  // Picture and geometry. The file is relative to the skin folder ("keyboard\\k87.png" works).
  void SetKeyboardImage(const CString& file);
  // The same with a picture already loaded (image caches, tests).
  void SetKeyboardPicture(Image picture);
  bool HasKeyboardImage() const;
  void SetWidthAndHeight(int width, int height);
  CPoint GetPictureOffset() const;
  CSize GetPictureSize() const;
  double GetScale() const;

  // Keys.
  int AddKeyItem(const char* name, const char* description, DWORD keyValue, CRect rect,
                 const CString& iconFile);
  void ClearItem();
  std::vector<KEY_INFO*> GetKeyItems() const;
  int GetKeyCount() const;

  void SetKeyboardCtrlMode(int mode);
  int GetKeyboardCtrlMode() const;
  void SetSelectItem(int index);
  int GetSelectItem() const;
  int GetHoverItem() const;
  void SetKeyCheck(DWORD keyValue, int checked);
  void ResetAllItemCheck();
  void ResetAllItemCheck(int checked);
  int GetCheckItemCount() const;
  void SetKeyColor(DWORD keyValue, COLORREF colour);
  COLORREF GetKeyColor(DWORD keyValue) const;
  void ResetAllItemsColor(COLORREF colour);
  void SetAllSelectColor(COLORREF colour);
  void SetLightModeColor(int white, COLORREF colour);
  void SetMusicBrightness(int brightness);
  int GetMusicBrightness() const;

  // Light preview: consecutive frames of one byte per key (byte [keys × frame + key index]).
  void SetLightModeData(const unsigned char* data, int length);
  int GetFrameCount() const;
  // Colour of the preview outlines (their alpha comes from the frames); black by default,
  // which only shows on a light keyboard picture.
  void SetPreviewColor(COLORREF colour);
  int GetCurrentFrame() const;
  // Ticks of the animation timer per frame: 12, 9, 6, 3 for speed 0 to 3, else 1.
  void SetLightSpeed(int speed);
  int GetTicksPerFrame() const;
  static int TicksForSpeed(int speed);

  void SetKeyDesc(DWORD keyValue, const CString& text);
  void SetTipKey(DWORD keyValue, const CString& title, const CString& text);
  void ResetTipKey();
  void EnableKBTips(bool enable);
  void EnableFrameSelect(int enable);
  DWORD GetCurrentKeyValue() const;

  // [UI thread] Shows or hides the tip of `key`, anchored at the centre of the top edge of
  // `keyRect` (window coordinates). Nothing while tips are disabled.
  void SetTips(const KEY_INFO* key, CRect keyRect, bool show);
  KeyboardTips* GetTipWindow() const { return m_tips.get(); }
  // A picture-relative rectangle moved by the picture offset (the control's drawing space).
  CRect GetRealRect(CRect rect) const;
  // A picture-relative rectangle in window coordinates (mouse input).
  CRect GetWindowKeyRect(CRect rect) const;
  // Checks every key that the selection (press point to current point) touches, unchecks the
  // others. A selection narrower or lower than kMinSelection touches nothing.
  void CalFrameSelect();
  // The normalised selection rectangle in window coordinates; empty when below the minimum.
  static CRect SelectionRect(CPoint a, CPoint b);
  bool IsFrameDragging() const;

  // What a redraw paints, computed apart from the painting: per key, its rectangle in the
  // control's drawing space and the colour of its fill (mode 100) or outline (101-104).
  // Keys with no shape in the current mode are left out.
  struct KeyShape {
    int index = 0;
    CRect rect;
    ARGB colour = 0;
  };
  std::vector<KeyShape> BuildShapes() const;
  // [UI thread] While the preview shows the picture: the rows of it that are wholly opaque.
  // The next Draw covers them even if the mode or the picture changes in between.
  CRect OpaqueArea() override;
  // [UI thread] The preview's next frame written into the window's frame: only the outlines
  // whose opacity changed since the last drawing there, pixel by pixel over the picture.
  RetainedResult PaintRetained(Surface& frame, std::uint64_t generation, CRect& written) override;
  // [UI thread] How many times the cached image was rebuilt (tests and benchmarks).
  int GetRedrawCount() const { return m_redraws; }
  // [UI thread] How many times the plain keys with their labels were laid out again: only
  // when a text, a key rectangle or icon, the font, the scale or the size changed.
  int GetPlainLayerBuilds() const { return m_plainBuilds; }

 private:
  // Key lookups; callers hold the data lock.
  KEY_INFO* FindKey(DWORD keyValue) const;
  KEY_INFO* KeyAt(int index) const;
  int HitTest(CPoint windowPt) const;
  void CentrePicture();
  void ClearFrameSelect();
  void RepaintIfVisible();
  // Marks the cached image stale without asking for a repaint; the window's frame no longer
  // holds what the preview looks like now.
  void Invalidate() {
    m_imageValid = 0;
    m_drawnWhole = false;
  }
  void RenderImage(Surface& surface);
  // Coverage of the outline of a w × h key, traced once and filled in each key's colour.
  const Mask& OutlineMask(int w, int h);
  // Room around a stamped outline for the half of the pen outside the key and antialiasing.
  static constexpr int kStampMargin = 2;
  // What the plain-key layer depends on; it is laid out again when this changes.
  std::size_t PlainSignature(const FontDesc& font, int width, int height) const;
  const Surface& PlainLayer(int width, int height);
  // The picture alone at its place, kept until the picture, its size or place change.
  const Surface& PictureLayer(int width, int height);
  // Stamps the outline of every shape, moved by (dx, dy).
  void StampOutlines(Painter& painter, const std::vector<KeyShape>& shapes, int dx, int dy);
  // The preview moves: more than one frame to show. Callers hold the data lock.
  bool Animates() const;
  // The preview straight into the window: the picture and the outlines inside `paint` only,
  // since a frame invalidates just the keys it changes.
  void DrawPreview(Painter& painter, CRect paint);
  // Keeps the promise of OpaqueArea when the state changed since: the promised part of `paint`
  // is painted opaque black (the repaint the change asked for follows). Callers hold the lock.
  void KeepOpaquePromise(Painter& painter, CRect paint);
  // Opacity of key `index` in `frame`; opaque when the frames do not cover it.
  BYTE FrameAlpha(int frame, int index) const;
  // Window-space area a key's stamped outline covers.
  CRect StampRect(const KEY_INFO& key) const;
  // The bounding box of the outlines that differ between two frames; empty when none does.
  CRect ChangedArea(int from, int to) const;
  // After the preview was drawn over `area` of the window's kept frame of `generation`:
  // remembers which outlines that frame now shows at which opacity.
  void NoteDrawn(CRect area, std::uint64_t generation);
  // Keeps the picture layer's pixels under each key's outline (Mask::Gather), read in order
  // when a frame is written; none for a key whose outline leaves the picture's opaque pixels.
  void GatherUnderOutlines();
  void DrawKeyLabel(Painter& painter, const KEY_INFO& key, CRect box, const FontDesc& font) const;

  std::vector<std::unique_ptr<KEY_INFO>> m_keys;
  DWORD m_currentKeyValue = 0;
  bool m_tipsEnabled = false;
  int m_hover = -1;
  int m_select = -1;
  Image m_picture;
  int m_mode = kModePlain;
  int m_offsetX = 6;
  int m_offsetY = 6;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  double m_scale = 1.0;
  std::vector<unsigned char> m_frames;
  int m_currentFrame = 0;
  int m_frameCount = 0;
  int m_musicBrightness = 255;
  COLORREF m_previewColour = 0;
  int m_tick = 0;
  int m_ticksPerFrame = 1;
  int m_frameSelect = 0;
  int m_dragging = 0;
  // A press inside the control was seen: only then may a move start a selection.
  int m_dragArmed = 0;
  CPoint m_pressPt;
  CPoint m_currentPt;
  std::map<std::pair<int, int>, Mask> m_masks;
  // Plain keys (fills, labels with their shadows, icons) on a transparent layer.
  Surface m_plainLayer;
  std::size_t m_plainSignature = 0;
  int m_plainBuilds = 0;
  Surface m_pictureLayer;
  Image m_pictureLayerImage;
  CRect m_pictureLayerPlace;
  // The longest run of wholly opaque rows of the picture in the layer (layer coordinates).
  CRect m_pictureLayerOpaque;
  // What the last OpaqueArea promised (control space); cleared by the Draw that keeps it.
  CRect m_opaquePromise;
  // What the window's kept frame shows of the preview (under the data lock): the opacity of
  // each key's outline there, by index, or kDrawnUnknown; valid for frame generation
  // m_drawnGeneration once a drawing covered the whole control (m_drawnWhole), until the look
  // changes otherwise than by the frame (Invalidate). m_underOutline: GatherUnderOutlines.
  static constexpr int kDrawnUnknown = -1;
  std::vector<int> m_drawn;
  std::vector<std::vector<std::uint32_t>> m_underOutline;
  std::uint64_t m_drawnGeneration = 0;
  std::atomic<bool> m_drawnWhole{false};
  std::unique_ptr<KeyboardTips> m_tips;
  int m_redraws = 0;
};

}  // namespace Tavex
