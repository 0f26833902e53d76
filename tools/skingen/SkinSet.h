#pragma once
// The image groups of the theme. Each function draws its images and hands them to the writer.
// State images hold their states side by side, in the order given in README.md.
#include "SkinWriter.h"

#include <string>

namespace skingen {

void WriteBackgrounds(SkinWriter& out);  // main_bkg, bk_prompt, img_tip_bk, logo
void WriteButtons(SkinWriter& out);      // push, image and window buttons, check box, radio
void WriteFields(SkinWriter& out);       // edit, combo box, slider, device rows
void WriteIcons(SkinWriter& out);        // tab, header, list and key function icons
void WriteLoading(SkinWriter& out);      // loading.gif
// Keywright.ico (PNG images of 16 to 256 pixels) at `path`; with a non-empty `hicolorDir`, the
// same images also as <hicolorDir>/<N>x<N>/apps/<iconName>.png for the desktop's icon theme.
bool WriteAppIcon(const std::string& path, const std::string& hicolorDir = {},
                  const std::string& iconName = {});

}  // namespace skingen
