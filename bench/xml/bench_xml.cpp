// Parse time of the shipped layout and throughput on a generated 5 MB document, for the XML
// facility and for pugixml on the same bytes. Prints "NAME VALUE UNIT" lines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <pugixml.hpp>

#include "docs/XmlDocument.h"
#include "docs/XmlEncoding.h"
#include "docs/XmlParser.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs `body` repeatedly for at least `seconds` and returns the best (lowest) time of one run
// in microseconds; the best run is the least disturbed by other work on a shared machine.
template <typename Body>
double BestMicros(Body&& body, double seconds = 1.0) {
  double best = 1e300;
  const auto until = Clock::now() + std::chrono::duration<double>(seconds);
  int runs = 0;
  while (Clock::now() < until || runs < 5) {
    const auto t0 = Clock::now();
    body();
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    if (us < best) best = us;
    ++runs;
  }
  return best;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A profile-export-like document of about `bytes` bytes: nested elements with escaped texts.
std::string Generate(size_t bytes) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>\r\n";
  for (int i = 0; text.size() < bytes; ++i) {
    text += "  <macroinfo name=\"Macro &amp; " + std::to_string(i) +
            "\" macro_id=\"" + std::to_string(i) + "\" times=\"1\" type=\"1\" delaytime=\"0\">\r\n"
            "    <macroitems>\r\n";
    for (int k = 0; k < 8; ++k) {
      text += "      <item desc=\"Key &lt;" + std::to_string(k) + "&gt; \xE6\x8C\x89\" type=\"" +
              std::to_string(k & 3) + "\" value=\"" + std::to_string(0x04 + k) +
              "\" delay_time=\"" + std::to_string(10 * k) + "\"/>\r\n";
    }
    text += "    </macroitems>\r\n  </macroinfo>\r\n";
  }
  text += "</profile>\r\n";
  return text;
}

void Print(const char* name, double value, const char* unit) {
  std::printf("%s %.3f %s\n", name, value, unit);
}

}  // namespace

int main() {
  const std::string folder = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  const std::string layoutPath = folder + "/layouts/tarnwick_k87.xml";
  const std::string layout = ReadFile(layoutPath);
  if (layout.empty()) {
    std::fprintf(stderr, "bench-xml: cannot read %s\n", layoutPath.c_str());
    return 1;
  }

  // The shipped layout: load from memory, and the full read the main window does.
  Print("xml_layout_parse", BestMicros([&] {
          XmlDocument doc;
          doc.ReplaceText(layout);
        }), "us");
  Print("xml_layout_decode_and_parse", BestMicros([&] {
          XmlDocument doc;
          doc.ReplaceText(XmlEncoding::Decode(layout));
        }), "us");
  Print("pugixml_layout_parse", BestMicros([&] {
          pugi::xml_document doc;
          doc.load_buffer(layout.data(), layout.size());
        }), "us");
  int sink = 0;
  Print("xml_layout_load_and_read_keys", BestMicros([&] {
          XmlDocument doc;
          doc.LoadFromFile(layoutPath);
          doc.FindNext("device.info");
          doc.Enter();
          doc.FindNext("Keyboard");
          doc.Enter();
          doc.FindNext("KeyItems");
          doc.Enter();
          while (doc.FindNext("key")) {
            sink += static_cast<int>(doc.ReadAttributeHex("code")) + doc.ReadAttributeInt("key_index") +
                    doc.ReadAttributeInt("light_index") +
                    static_cast<int>(doc.ReadAttribute("name").size() + doc.ReadAttribute("desc").size() +
                                     doc.ReadAttribute("rect").size());
          }
        }), "us");
  Print("pugixml_layout_load_and_read_keys", BestMicros([&] {
          pugi::xml_document doc;
          doc.load_file(layoutPath.c_str());
          for (const pugi::xml_node key :
               doc.child("device.info").child("Keyboard").child("KeyItems").children("key")) {
            sink += static_cast<int>(std::strtoul(key.attribute("code").value(), nullptr, 16)) +
                    key.attribute("key_index").as_int() + key.attribute("light_index").as_int() +
                    static_cast<int>(std::string(key.attribute("name").value()).size() +
                                     std::string(key.attribute("desc").value()).size() +
                                     std::string(key.attribute("rect").value()).size());
          }
        }), "us");

  // Throughput on a generated 5 MB document.
  const std::string big = Generate(5 * 1024 * 1024);
  const double mb = big.size() / (1024.0 * 1024.0);
  Print("xml_generated_size", mb, "MB");
  const double ours = BestMicros([&] {
    XmlDocument doc;
    doc.ReplaceText(XmlEncoding::Decode(big));
  }, 3.0);
  Print("xml_5mb_decode_and_parse", ours / 1000.0, "ms");
  Print("xml_5mb_throughput", mb / (ours / 1e6), "MB/s");
  XmlIndex index;
  const double indexOnly = BestMicros([&] { XmlParser::Parse(big, index); }, 3.0);
  Print("xml_5mb_index_only_throughput", mb / (indexOnly / 1e6), "MB/s");
  const double pugi = BestMicros([&] {
    pugi::xml_document doc;
    doc.load_buffer(big.data(), big.size());
  }, 3.0);
  Print("pugixml_5mb_parse", pugi / 1000.0, "ms");
  Print("pugixml_5mb_throughput", mb / (pugi / 1e6), "MB/s");
  // Walk with attribute reads: every item's four attributes.
  auto walkOurs = [&] {
    XmlDocument doc;
    doc.ReplaceText(big);
    doc.FindNext("profile");
    doc.Enter();
    while (doc.FindNext("macroinfo")) {
      doc.Enter();
      doc.FindNext("macroitems");
      doc.Enter();
      while (doc.FindNext("item")) {
        sink += static_cast<int>(doc.ReadAttribute("desc").size()) + doc.ReadAttributeInt("type") +
                doc.ReadAttributeInt("value") + doc.ReadAttributeInt("delay_time");
      }
      doc.Leave();
      doc.Leave();
    }
  };
  auto walkPugi = [&] {
    pugi::xml_document doc;
    doc.load_buffer(big.data(), big.size());
    for (const pugi::xml_node info : doc.child("profile").children("macroinfo")) {
      for (const pugi::xml_node item : info.child("macroitems").children("item")) {
        sink += static_cast<int>(std::string(item.attribute("desc").value()).size()) +
                item.attribute("type").as_int() + item.attribute("value").as_int() +
                item.attribute("delay_time").as_int();
      }
    }
  };
  Print("xml_5mb_parse_and_read_all", BestMicros(walkOurs, 3.0) / 1000.0, "ms");
  Print("pugixml_5mb_parse_and_read_all", BestMicros(walkPugi, 3.0) / 1000.0, "ms");
  std::fprintf(stderr, "(checksum %d)\n", sink);
  return 0;
}
