#include "update/ZipName.h"

#include <algorithm>
#include <iterator>
#include <cstdint>

#include "platform/base/Utf8.h"

namespace update {
namespace {

// Code page 437, bytes 0x80-0xFF.
constexpr char16_t kCp437High[] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393,
    0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6,
    0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0,
    0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};
static_assert(std::size(kCp437High) == 128, "one character per byte 0x80-0xFF");

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    char32_t ignored = 0;
    return platform::DecodeUtf8(text, i, ignored);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string DecodeZipName(std::string_view stored) {
    const std::size_t nul = stored.find('\0');
    if (nul != std::string_view::npos) stored = stored.substr(0, nul);
    std::string out;
    out.reserve(stored.size());
    std::size_t chars = 0;
    for (std::size_t i = 0; i < stored.size() && chars < kMaxEntryNameChars; ++chars) {
        const std::size_t len = Utf8SequenceLength(stored, i);
        if (len > 0) {
            out.append(stored.substr(i, len));
            i += len;
        } else {
            platform::AppendUtf8(out, kCp437High[static_cast<std::uint8_t>(stored[i]) - 0x80]);
            ++i;
        }
    }
    return out;
}

std::string CleanZipEntryName(std::string_view name) {
    static constexpr std::string_view kClimbs[] = {"\\..\\", "\\../", "/../", "/..\\"};
    std::string text(name);
    for (;;) {
        // "Second character" counts code points: the first one may be several bytes long.
        if (!text.empty()) {
            const std::size_t first = std::max<std::size_t>(1, Utf8SequenceLength(text, 0));
            if (text.size() > first && text[first] == ':') {
                text.erase(0, first + 1);
                continue;
            }
        }
        if (!text.empty() && IsSeparator(text[0])) {
            text.erase(0, 1);
            continue;
        }
        bool cut = false;
        for (const std::string_view climb : kClimbs) {
            const std::size_t at = text.find(climb);
            if (at != std::string::npos) {
                text.erase(0, at + climb.size());
                cut = true;
                break;
            }
        }
        if (!cut) return text;
    }
}

std::vector<std::string> SplitZipPath(std::string_view cleaned) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= cleaned.size()) {
        std::size_t end = start;
        while (end < cleaned.size() && !IsSeparator(cleaned[end])) ++end;
        const std::string_view part = cleaned.substr(start, end - start);
        if (part == "..") {
            parts.clear();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

bool NameMarksDirectory(std::string_view name) { return !name.empty() && IsSeparator(name.back()); }

}  // namespace update
