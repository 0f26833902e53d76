#include "update/Versions.h"

#include <cstddef>
#include <vector>

namespace update {
namespace {

constexpr std::size_t kMaxVersionChars = 10;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string> SplitAtDots(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) return parts;
        start = dot + 1;
    }
}

// The part's leading digits without leading zeros: two such texts compare as numbers by length,
// then character by character, without any limit on their size.
std::string NumberDigits(const std::string& part) {
    std::size_t end = 0;
    while (end < part.size() && IsDigit(part[end])) ++end;
    std::size_t start = 0;
    while (start < end && part[start] == '0') ++start;
    return part.substr(start, end - start);
}

int CompareNumbers(const std::string& installed, const std::string& offered) {
    const std::string a = NumberDigits(installed);
    const std::string b = NumberDigits(offered);
    if (a.size() != b.size()) return a.size() < b.size() ? kInstalledOlder : kInstalledNewer;
    const int order = a.compare(b);
    if (order == 0) return kVersionsEqual;
    return order < 0 ? kInstalledOlder : kInstalledNewer;
}

}  // namespace

int CompareVersions(const std::string& installed, const std::string& offered) {
    const std::vector<std::string> a = SplitAtDots(installed);
    const std::vector<std::string> b = SplitAtDots(offered);
    if (a.size() != b.size()) return kPartCountsDiffer;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (const int order = CompareNumbers(a[i], b[i]); order != kVersionsEqual) return order;
    }
    return kVersionsEqual;
}

bool IsAcceptedVersion(const std::string& reply) {
    if (reply.empty() || reply.size() > kMaxVersionChars) return false;
    for (const char c : reply) {
        if (!IsDigit(c) && c != '.') return false;
    }
    return true;
}

}  // namespace update
