#pragma once
// Skin pictures of the standard controls: read once per name below the skin folder and shared
// by every control (any thread; Image is immutable). State images hold their states side by
// side, each state the same width.
#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex::Skin {

// The picture of `name` (a path below the skin folder, or an absolute path); null Image when
// it cannot be read. A failed read is tried again on the next call.
Image Load(const CString& name);
// Folder names resolve against; the skin folder unless set (tests, tools). Empty restores it.
void SetFolder(const CString& folder);
// Source rectangle of state `index` of `states` (clamped to the last state).
RECT StateRect(const Image& image, int states, int index);
// Draws state `index` scaled onto `dst`.
void DrawState(Painter& painter, const Image& image, int states, int index, const RECT& dst);
// Draws state `index` as a nine-part frame with `corner`-pixel corners onto `dst`.
void DrawStateFrame(Painter& painter, const Image& image, int states, int index, const CRect& dst,
                    int corner);

}  // namespace Tavex::Skin
