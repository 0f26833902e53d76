#include "EditInput.h"

#include "tavex/Clipboard.h"
#include "tavex/Native.h"
#include "tavex/WinTypes.h"

namespace Tavex::EditInput {

Result ApplyKey(EditBuffer& buffer, unsigned vk, unsigned modifiers) {
  const bool alt = modifiers == 18 || modifiers == 19;
  const bool ctrl = (modifiers & 1u) != 0 && modifiers != 16;
  // Ctrl folds Shift into the same value; the key state tells them apart then.
  const bool shift =
      modifiers == 16 || (ctrl && (Native::GetKeyState(VK_SHIFT) & 0x8000) != 0);
  Result r;
  if (alt) return r;
  switch (buffer.HandleKey(vk, shift, ctrl)) {
    case EditBuffer::KeyResult::kNone:
      // Editing keys that change nothing still belong to the editor.
      r.handled = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END ||
                  vk == VK_BACK || vk == VK_DELETE ||
                  (buffer.IsMultiLine() && (vk == VK_UP || vk == VK_DOWN || vk == VK_RETURN)) ||
                  (ctrl && (vk == 'A' || vk == 'C' || vk == 'X' || vk == 'V'));
      break;
    case EditBuffer::KeyResult::kMoved: r.handled = r.moved = true; break;
    case EditBuffer::KeyResult::kChanged: r.handled = r.changed = true; break;
    case EditBuffer::KeyResult::kCopy:
      r.handled = true;
      Native::SetClipboardText(buffer.SelectedText());
      break;
    case EditBuffer::KeyResult::kCut:
      r.handled = true;
      // Nothing is removed unless it really went to the clipboard.
      if (Native::SetClipboardText(buffer.SelectedText())) r.changed = buffer.DeleteSelection();
      break;
    case EditBuffer::KeyResult::kPaste: {
      r.handled = true;
      std::string text;
      if (Native::GetClipboardText(&text)) r.changed = buffer.Insert(text);
      break;
    }
  }
  return r;
}

Result ApplyChar(EditBuffer& buffer, unsigned codePoint) {
  Result r;
  if (codePoint < 0x20 || codePoint == 0x7F) return r;
  r.handled = true;
  r.changed = buffer.Insert(EncodeUtf8(static_cast<char32_t>(codePoint)));
  return r;
}

}  // namespace Tavex::EditInput
