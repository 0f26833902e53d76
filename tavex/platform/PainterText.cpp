// Text layout and drawing with pango, and private fonts through fontconfig.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "PainterImpl.h"

namespace Tavex {
namespace {

std::atomic<int> g_fontGeneration{0};
std::mutex g_fontMutex;  // fontconfig's configuration is changed under it

// Pango keeps one font map per thread; after a private font was added the thread gets a fresh
// map, which reads the changed fontconfig configuration.
void RefreshFontMap() {
  // Load the fontconfig configuration here, once, rather than in the background thread pango
  // would start for it, so that the first text is laid out with the fonts already known.
  static std::once_flag fcInit;
  std::call_once(fcInit, [] { FcInit(); });
  thread_local int seen = 0;
  const int now = g_fontGeneration.load(std::memory_order_acquire);
  if (seen == now) return;
  std::lock_guard lock(g_fontMutex);
  PangoFontMap* fresh = pango_cairo_font_map_new();
  pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(fresh));
  g_object_unref(fresh);
  seen = now;
}

std::string CleanText(const std::string& text, bool singleLine) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string out = valid != nullptr ? valid : "";
  g_free(valid);
  if (singleLine) {
    std::string joined;
    joined.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
      if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') continue;
      joined += (out[i] == '\n' || out[i] == '\r') ? ' ' : out[i];
    }
    out.swap(joined);
  }
  return out;
}

struct MeasureContext {
  CairoSurfacePtr surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)};
  CairoPtr cr{cairo_create(surface.get())};
};

}  // namespace

GObjectPtr<PangoLayout> MakeLayout(cairo_t* cr, const std::string& text, const FontDesc& font,
                                   int width, int height, UINT format) {
  RefreshFontMap();
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(cr));
  PangoLayout* l = layout.get();

  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango_layout_get_context(l), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(l);

  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.family.c_str());
  pango_font_description_set_absolute_size(desc, std::max(font.sizePx, 1) * PANGO_SCALE);
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(l, desc);
  pango_font_description_free(desc);
  if (font.underline) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(l, attrs);
    pango_attr_list_unref(attrs);
  }
  const std::string clean = CleanText(text, singleLine);
  pango_layout_set_text(l, clean.c_str(), static_cast<int>(clean.size()));

  const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0;
  if (width > 0 && ((!singleLine && (format & DT_WORDBREAK)) || ellipsis)) {
    pango_layout_set_width(l, width * PANGO_SCALE);
    pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
  }
  if (!singleLine && !(format & DT_WORDBREAK) && ellipsis) {
    // Lines break only at newlines; each line is shortened on its own.
    pango_layout_set_height(l, -1000);
  }
  if (ellipsis && width > 0) {
    pango_layout_set_ellipsize(l, (format & DT_PATH_ELLIPSIS) ? PANGO_ELLIPSIZE_MIDDLE
                                                              : PANGO_ELLIPSIZE_END);
    if (!singleLine && (format & DT_WORDBREAK) && height > 0) {
      pango_layout_set_height(l, height * PANGO_SCALE);
    }
  }
  if (format & DT_CENTER) {
    pango_layout_set_alignment(l, PANGO_ALIGN_CENTER);
  } else if (format & DT_RIGHT) {
    pango_layout_set_alignment(l, PANGO_ALIGN_RIGHT);
  }
  return layout;
}

RECT Painter::DrawText(const std::string& text, const FontDesc& font, const RECT& rect,
                       ARGB colour, UINT format) {
  if (!IsValid()) return RECT{0, 0, 0, 0};
  cairo_t* cr = impl_->cr.get();
  const int w = std::max<int>(rect.right - rect.left, 0);
  const int h = std::max<int>(rect.bottom - rect.top, 0);
  GObjectPtr<PangoLayout> layout = MakeLayout(cr, text, font, w, h, format);
  PangoRectangle ink{}, logical{};
  pango_layout_get_pixel_extents(layout.get(), &ink, &logical);
  const bool boxed = pango_layout_get_width(layout.get()) >= 0;
  int x = rect.left;
  if (!boxed) {
    if (format & DT_CENTER) {
      x = rect.left + (w - logical.width) / 2;
    } else if (format & DT_RIGHT) {
      x = rect.right - logical.width;
    }
    x -= logical.x;
  }
  int y = rect.top;
  if (format & DT_VCENTER) {
    y = rect.top + (h - logical.height) / 2;
  } else if (format & DT_BOTTOM) {
    y = rect.bottom - logical.height;
  }
  if (format & DT_CALCRECT) {
    return RECT{rect.left, rect.top, rect.left + logical.width, rect.top + logical.height};
  }
  const RECT occupied{x + logical.x, y, x + logical.x + logical.width, y + logical.height};
  if (text.empty() || ARGBAlpha(colour) == 0) return occupied;
  cairo_save(cr);
  if (!(format & DT_NOCLIP)) {
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.left, rect.top, w, h);
    cairo_clip(cr);
  }
  SetSourceARGB(cr, colour);
  cairo_move_to(cr, x, y - logical.y);
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
  return occupied;
}

SIZE MeasureText(const std::string& text, const FontDesc& font, int maxWidth, UINT format) {
  thread_local MeasureContext context;
  GObjectPtr<PangoLayout> layout =
      MakeLayout(context.cr.get(), text, font, std::max(maxWidth, 0), 0, format);
  PangoRectangle logical{};
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  return SIZE{logical.width, logical.height};
}

std::vector<std::string> AddFontFile(const std::string& path) {
  std::vector<std::string> families;
  std::lock_guard lock(g_fontMutex);
  const auto* file = reinterpret_cast<const FcChar8*>(path.c_str());
  int faces = 0;
  FcPattern* first = FcFreeTypeQuery(file, 0, nullptr, &faces);
  if (first == nullptr) return families;
  FcPatternDestroy(first);
  if (!FcConfigAppFontAddFile(nullptr, file)) return families;
  for (int face = 0; face < std::max(faces, 1); ++face) {
    FcPattern* pattern = FcFreeTypeQuery(file, face, nullptr, nullptr);
    if (pattern == nullptr) continue;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
      const std::string family(reinterpret_cast<const char*>(name));
      if (std::find(families.begin(), families.end(), family) == families.end()) {
        families.push_back(family);
      }
    }
    FcPatternDestroy(pattern);
  }
  g_fontGeneration.fetch_add(1, std::memory_order_release);
  return families;
}

bool HasFontFamily(const std::string& family) {
  RefreshFontMap();
  PangoFontFamily** list = nullptr;
  int count = 0;
  pango_font_map_list_families(pango_cairo_font_map_get_default(), &list, &count);
  bool found = false;
  for (int i = 0; i < count && !found; ++i) {
    found = g_ascii_strcasecmp(pango_font_family_get_name(list[i]), family.c_str()) == 0;
  }
  g_free(list);
  return found;
}

}  // namespace Tavex
