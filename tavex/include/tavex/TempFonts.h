#pragma once
// TempFonts: the private fonts of one window. A font file or a built-in font resource is made
// available to the library's text drawing (process-wide, through fontconfig's application
// fonts) and remembered here under the family name the caller gives it.
//
// Fontconfig cannot withdraw one application font, so Clear forgets the names but the faces
// stay usable for the process. A file or resource is registered with fontconfig once per
// process however many windows add it. Threads: every member is safe on any thread.
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "tavex/Geometry.h"

namespace Tavex {

struct TAVEX_API TempFontFamily {
  CString family;                  // the name the caller registered
  std::vector<CString> provided;   // family names the font file itself carries
  CString source;                  // file path, or "#<id>/ttf" for a resource
};

class TAVEX_API TempFonts {
 public:
  TempFonts();
  ~TempFonts();
  TempFonts(const TempFonts&) = delete;
  TempFonts& operator=(const TempFonts&) = delete;

  // Registers the file and returns the family entry; null when the file is not a font.
  // The same family added again returns the entry it has.
  const TempFontFamily* Add(const CString& family, const CString& file);
  // The same with a built-in font resource (type "ttf").
  const TempFontFamily* Add(const CString& family, unsigned resourceId);
  const TempFontFamily* Find(const CString& family) const;
  void Clear();
  std::size_t Size() const;
  // Makes a built-in font resource available to text drawing; false when it is missing.
  bool AddGDI(unsigned resourceId);
  bool HasGDI(unsigned resourceId) const;

  // Process-wide registration behind the above: family names the file provides (empty when
  // it is no font). Each path is handed to fontconfig once.
  static std::vector<CString> RegisterFile(const CString& path);
  static std::vector<CString> RegisterResource(unsigned resourceId);

 private:
  mutable std::mutex m_lock;
  std::map<CString, std::unique_ptr<TempFontFamily>> m_families;
  std::vector<std::unique_ptr<TempFontFamily>> m_retired;
  std::set<unsigned> m_gdi;
};

}  // namespace Tavex
