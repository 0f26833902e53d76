// tavex-resgen OUTDIR: draws the library's two built-in scroll bar pictures as PNG files.
//   101.png, 22 x 20, horizontal bar parts in 11 x 10 cells:
//     row 0: left arrow, right arrow; row 1: thumb, track.
//   102.png, 12 x 72, vertical bar parts in 12 x 12 cells from the top:
//     up arrow, down arrow, track, thumb normal, thumb hover, thumb pressed.
// Colours follow the library's dark look: near-black track, grey thumb, orange when pressed.
#include <cairo.h>

#include <cstdio>
#include <string>

namespace {

void Rgba(cairo_t* cr, unsigned argb) {
  cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                        (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

void RoundBox(cairo_t* cr, double x, double y, double w, double h, double r, unsigned argb) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -1.5708, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, 1.5708);
  cairo_arc(cr, x + r, y + h - r, r, 1.5708, 3.1416);
  cairo_arc(cr, x + r, y + r, r, 3.1416, 4.7124);
  cairo_close_path(cr);
  Rgba(cr, argb);
  cairo_fill(cr);
}

// A small filled triangle pointing in `dir` (0 up, 1 down, 2 left, 3 right) inside the cell.
void Arrow(cairo_t* cr, double x, double y, double w, double h, int dir, unsigned argb) {
  const double cx = x + w / 2, cy = y + h / 2, s = (w < h ? w : h) / 4.0;
  switch (dir) {
    case 0: cairo_move_to(cr, cx - s, cy + s / 2); cairo_line_to(cr, cx + s, cy + s / 2); cairo_line_to(cr, cx, cy - s / 2 - 1); break;
    case 1: cairo_move_to(cr, cx - s, cy - s / 2); cairo_line_to(cr, cx + s, cy - s / 2); cairo_line_to(cr, cx, cy + s / 2 + 1); break;
    case 2: cairo_move_to(cr, cx + s / 2, cy - s); cairo_line_to(cr, cx + s / 2, cy + s); cairo_line_to(cr, cx - s / 2 - 1, cy); break;
    default: cairo_move_to(cr, cx - s / 2, cy - s); cairo_line_to(cr, cx - s / 2, cy + s); cairo_line_to(cr, cx + s / 2 + 1, cy); break;
  }
  cairo_close_path(cr);
  Rgba(cr, argb);
  cairo_fill(cr);
}

constexpr unsigned kTrack = 0xFF1A1A1A;
constexpr unsigned kThumb = 0xFF5A5A5A;
constexpr unsigned kThumbHover = 0xFF7A7A7A;
constexpr unsigned kThumbPressed = 0xFFCA5100;
constexpr unsigned kArrow = 0xFFB0B0B0;

bool Write(cairo_surface_t* s, const std::string& path) {
  cairo_surface_flush(s);
  return cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool Horizontal(const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 22, 20);
  cairo_t* cr = cairo_create(s);
  Arrow(cr, 0, 0, 11, 10, 2, kArrow);
  Arrow(cr, 11, 0, 11, 10, 3, kArrow);
  RoundBox(cr, 1, 12, 9, 6, 3, kThumb);
  Rgba(cr, kTrack);
  cairo_rectangle(cr, 11, 10, 11, 10);
  cairo_fill(cr);
  cairo_destroy(cr);
  const bool ok = Write(s, path);
  cairo_surface_destroy(s);
  return ok;
}

bool Vertical(const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 12, 72);
  cairo_t* cr = cairo_create(s);
  Arrow(cr, 0, 0, 12, 12, 0, kArrow);
  Arrow(cr, 0, 12, 12, 12, 1, kArrow);
  Rgba(cr, kTrack);
  cairo_rectangle(cr, 0, 24, 12, 12);
  cairo_fill(cr);
  RoundBox(cr, 3, 37, 6, 10, 3, kThumb);
  RoundBox(cr, 3, 49, 6, 10, 3, kThumbHover);
  RoundBox(cr, 3, 61, 6, 10, 3, kThumbPressed);
  cairo_destroy(cr);
  const bool ok = Write(s, path);
  cairo_surface_destroy(s);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  if (!Horizontal(dir + "/101.png") || !Vertical(dir + "/102.png")) {
    std::fprintf(stderr, "tavex-resgen: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
