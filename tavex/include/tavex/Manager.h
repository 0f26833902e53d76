#pragma once
// Process-wide settings of the library: module instance, default font, accent colour, theme
// folder, the UI thread's message loop. Set them from the UI thread before the first window
// is created; the getters may be called from any thread afterwards.
#include <cstdint>

#include "tavex/Geometry.h"

namespace Tavex {

class MWindow;

// Start-up record of the imaging layer; kept for callers that pass it around.
struct GdiplusStartupInput {
  std::uint32_t version = 1;
  void* debugCallback = nullptr;
  int suppressBackgroundThread = 0;
  int suppressExternalCodecs = 0;
};

class TAVEX_API Manager {
 public:
  static HINSTANCE m_hInstance;
  static std::uintptr_t m_gdiplusToken;
  static GdiplusStartupInput m_gdiplusStartupInput;
  static CString m_fontname;
  static int m_fontwidth;
  static std::uint32_t m_select_color;
  static unsigned m_uControlID;

  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // Cairo and pango need no start-up; these keep the token protocol (0 = not started).
  static void InitGdiplus();
  static void UnInitGdiplus();

  // Runs the calling thread's message loop until the quit message; returns its exit code.
  // A message fetched while Alt and F4 are both held is dropped unseen.
  static int MessageLoop();
  static int PreTranslateMessage(MSG* msg);

  static void AddWnd(MWindow* wnd);
  static void DeleteWnd(MWindow* wnd);
  static bool HasWnd(MWindow* wnd);

  static void SetFont(const CString& name, int size);
  static void SetFontName(const CString& name);
  static CString GetFontName();
  static int GetFontWidth();
  static std::uint32_t GetSelectColor();

  // Theme folder name with its trailing separator: "theme1/".
  static CString GetTheme();
  // Folder of the running executable with a trailing separator.
  static CString GetProgramFolder();
  // Program folder + "skins/" + theme.
  static CString GetSkinFolder();
};

}  // namespace Tavex
