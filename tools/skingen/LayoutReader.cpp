#include "LayoutReader.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace skingen {
namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string ToUtf8(const std::string& bytes) {
  auto u8 = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  if (bytes.size() >= 3 && u8(0) == 0xEF && u8(1) == 0xBB && u8(2) == 0xBF) return bytes.substr(3);
  const bool le = bytes.size() >= 2 && u8(0) == 0xFF && u8(1) == 0xFE;
  const bool be = bytes.size() >= 2 && u8(0) == 0xFE && u8(1) == 0xFF;
  if (!le && !be) return bytes;
  std::string out;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    uint32_t unit = le ? (u8(i) | (u8(i + 1) << 8)) : ((u8(i) << 8) | u8(i + 1));
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const uint32_t low = le ? (u8(i + 2) | (u8(i + 3) << 8)) : ((u8(i + 2) << 8) | u8(i + 3));
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, unit);
  }
  return out;
}

std::string DecodeEntities(const std::string& s) {
  static const std::map<std::string, std::string> named = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const size_t semi = s[i] == '&' ? s.find(';', i) : std::string::npos;
    if (semi == std::string::npos || semi - i > 10) {
      out += s[i];
      continue;
    }
    const std::string ent = s.substr(i + 1, semi - i - 1);
    if (auto it = named.find(ent); it != named.end()) {
      out += it->second;
    } else if (ent.size() > 1 && ent[0] == '#') {
      const bool hex = ent[1] == 'x' || ent[1] == 'X';
      const unsigned long cp = std::strtoul(ent.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
      AppendUtf8(out, cp > 0x10FFFF ? 0xFFFD : static_cast<uint32_t>(cp));
    } else {
      out += s.substr(i, semi - i + 1);
    }
    i = semi;
  }
  return out;
}

struct Tag {
  std::string name;
  std::map<std::string, std::string> attrs;
};

// Splits the document into start tags, skipping comments, declarations and end tags.
std::vector<Tag> StartTags(const std::string& doc) {
  std::vector<Tag> tags;
  size_t pos = 0;
  while ((pos = doc.find('<', pos)) != std::string::npos) {
    if (doc.compare(pos, 4, "<!--") == 0) {
      const size_t end = doc.find("-->", pos + 4);
      if (end == std::string::npos) break;
      pos = end + 3;
      continue;
    }
    const size_t end = doc.find('>', pos);
    if (end == std::string::npos) break;
    const std::string body = doc.substr(pos + 1, end - pos - 1);
    pos = end + 1;
    if (body.empty() || body[0] == '/' || body[0] == '?' || body[0] == '!') continue;
    Tag tag;
    size_t i = 0;
    while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i])) && body[i] != '/') ++i;
    tag.name = body.substr(0, i);
    while (i < body.size()) {
      while (i < body.size() && (std::isspace(static_cast<unsigned char>(body[i])) || body[i] == '/')) ++i;
      const size_t eq = body.find('=', i);
      if (eq == std::string::npos) break;
      std::string key = body.substr(i, eq - i);
      while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back()))) key.pop_back();
      size_t q = eq + 1;
      while (q < body.size() && std::isspace(static_cast<unsigned char>(body[q]))) ++q;
      if (q >= body.size() || (body[q] != '"' && body[q] != '\'')) break;
      const size_t close = body.find(body[q], q + 1);
      if (close == std::string::npos) break;
      tag.attrs[key] = DecodeEntities(body.substr(q + 1, close - q - 1));
      i = close + 1;
    }
    tags.push_back(std::move(tag));
  }
  return tags;
}

int ToInt(const std::string& s) { return static_cast<int>(std::strtol(s.c_str(), nullptr, 10)); }

}  // namespace

std::optional<KeyboardLayout> ParseLayout(const std::string& bytes) {
  const std::vector<Tag> tags = StartTags(ToUtf8(bytes));
  if (tags.empty() || tags.front().name != "device.info") return std::nullopt;
  KeyboardLayout layout;
  bool inKeyboard = false;
  for (const Tag& tag : tags) {
    if (tag.name == "Keyboard" && !inKeyboard) {
      inKeyboard = true;
      auto get = [&](const char* k) {
        auto it = tag.attrs.find(k);
        return it == tag.attrs.end() ? std::string() : it->second;
      };
      layout.image = get("image");
      layout.width = ToInt(get("width"));
      layout.height = ToInt(get("height"));
    } else if (tag.name == "key" && inKeyboard) {
      LayoutKey key;
      if (auto it = tag.attrs.find("name"); it != tag.attrs.end()) key.name = it->second;
      auto it = tag.attrs.find("rect");
      if (it == tag.attrs.end()) continue;
      std::istringstream parts(it->second);
      std::string part;
      int v[4] = {0, 0, 0, 0};
      for (int n = 0; n < 4 && std::getline(parts, part, '#'); ++n) v[n] = ToInt(part);
      key.x = v[0];
      key.y = v[1];
      key.w = v[2];
      key.h = v[3];
      layout.keys.push_back(std::move(key));
    }
  }
  // A picture name with a folder part would escape the keyboard folder.
  if (!inKeyboard || layout.image.empty() || layout.image.find('/') != std::string::npos ||
      layout.image.find('\\') != std::string::npos || layout.width <= 0 || layout.height <= 0 ||
      layout.width > 4096 || layout.height > 4096)
    return std::nullopt;
  return layout;
}

std::optional<KeyboardLayout> ReadLayoutFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParseLayout(bytes);
}

}  // namespace skingen
