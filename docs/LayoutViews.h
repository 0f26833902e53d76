#pragma once
// Hands a read layout to the keyboard views: the calls the main window makes on each selected
// view (ClearItem, SetRect, SetKeyboardImage, SetWidthAndHeight, AddKeyItem, SetLightModeColor).
// A template over the view type, so that this layer needs no UI headers; the program
// instantiates it with Tavex::KeyboardCtrl. UI thread (or any thread the views accept).
#include <array>
#include <string>

#include "docs/LayoutFile.h"

// views[0..2] are the first, second and third keyboard view (null: absent). Every view that the
// view bits select is cleared; when the file had a Keyboard element it gets the picture, its
// rectangle and size, and one key item per key; the third view's keys end up white.
template <class View, class Rect>
void ApplyLayout(const LayoutFile& layout, const std::array<View*, 3>& views) {
  static constexpr int32_t kBits[3] = {LayoutFile::kFirstView, LayoutFile::kSecondView,
                                       LayoutFile::kThirdView};
  const auto selected = [&](int i) {
    return views[static_cast<size_t>(i)] != nullptr && (layout.ViewBits() & kBits[i]) != 0;
  };
  for (int i = 0; i < 3; ++i) {
    if (selected(i)) views[static_cast<size_t>(i)]->ClearItem();
  }
  if (layout.HasKeyboard()) {
    const std::string image = "keyboard\\" + layout.Image();
    for (int i = 0; i < 3; ++i) {
      if (!selected(i)) continue;
      View* v = views[static_cast<size_t>(i)];
      v->SetRect(Rect(layout.XPos(), layout.YPos(), layout.XPos() + layout.Width(),
                      layout.YPos() + layout.Height()));
      v->SetKeyboardImage(image);
      v->SetWidthAndHeight(layout.Width(), layout.Height());
    }
    for (const LayoutKey& key : layout.Keys()) {
      const Rect rect(key.left, key.top, key.right, key.bottom);
      for (int i = 0; i < 3; ++i) {
        if (selected(i)) {
          views[static_cast<size_t>(i)]->AddKeyItem(key.name.c_str(), key.desc.c_str(), key.code,
                                                    rect, std::string());
        }
      }
    }
  }
  if (selected(2)) views[2]->SetLightModeColor(1, 0);
}
