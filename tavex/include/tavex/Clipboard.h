#pragma once
// The CLIPBOARD selection as UTF-8 text. Setting it makes the program the selection's owner:
// the UI thread's message loop answers other programs' requests (UTF8_STRING, STRING, TEXT,
// TARGETS) until another owner takes over. Texts larger than one X request travel in pieces
// (INCR) both ways; a peer that stops reading or vanishes mid-way is dropped, never waited for.
// [UI] thread only: elsewhere, and without a display, all fail and touch nothing.
#include <string>

#include "tavex/Version.h"

namespace Tavex::Native {

// Owns the CLIPBOARD selection with `text`. False when the display refused the ownership.
TAVEX_API bool SetClipboardText(const std::string& text);
// Asks the selection's owner (this program too, through the server) for its text, waiting at
// most `timeoutMs`. False when there is no owner, it gives no text, or it does not answer.
TAVEX_API bool GetClipboardText(std::string* text, int timeoutMs = 1000);
// Whether this program owns the CLIPBOARD selection now.
TAVEX_API bool OwnsClipboard();
// How many large texts are being handed out in pieces right now.
TAVEX_API int ClipboardTransfersInFlight();

}  // namespace Tavex::Native
