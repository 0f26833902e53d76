#include "SiteProgramCopy.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "GalleryProcess.h"

namespace GuiTest {
namespace {

namespace fs = std::filesystem;

const std::string kTable = "config.xml";
const std::string kLayouts = "layouts/";
const std::string kLayout = "tarnwick_k87.xml";

// Shipped file `name` with its address `shipped` replaced by `address`; empty when it is not there.
std::string WithAddress(const std::string& name, const std::string& shipped,
                        const std::string& address) {
  std::ifstream in(ProgramFolder() + name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = text.find(shipped);
  if (at == std::string::npos) return {};
  return text.replace(at, shipped.size(), address);
}

}  // namespace

SiteProgramCopy::SiteProgramCopy(const std::string& folder) : copy_(folder) {
  fs::create_directories(folder + kLayouts);
  for (const auto& entry : fs::directory_iterator(ProgramFolder() + kLayouts))
    if (entry.path().filename() != kLayout) copy_.Keep(kLayouts + entry.path().filename().string());
  copy_.KeepAllBut({kTable, "layouts"});
}

bool SiteProgramCopy::PointAt(const UpdateSite& site) const {
  const std::string table = WithAddress(kTable, kSoftwareAddress, site.Url(kSoftwarePath));
  const std::string layout =
      WithAddress(kLayouts + kLayout, kFirmwareAddress, site.Url(kFirmwarePath));
  copy_.Write(kTable, table);
  copy_.Write(kLayouts + kLayout, layout);
  return !table.empty() && !layout.empty();
}

}  // namespace GuiTest
