#pragma once
// The keyboard picture of a layout: a dark case with one keycap, labelled with the key's name,
// on every key rectangle, so that the view's outlines and colours fall exactly on the caps.
#include "Canvas.h"
#include "LayoutReader.h"

namespace skingen {

Canvas DrawKeyboardPicture(const KeyboardLayout& layout);

}  // namespace skingen
