// The program copied into a folder of its own with every shipped file, but with its device table
// and its keyboard's layout pointing their update addresses at a scripted local update site, so
// that a run's software and firmware checks ask that site. Test thread only.
#pragma once

#include <string>

#include "ProgramProcess.h"
#include "tests/platform/UpdateSite.h"

namespace GuiTest {

class SiteProgramCopy {
 public:
  // Update addresses of the shipped files, and the paths of the site they are moved to.
  static constexpr const char* kSoftwareAddress = "https://update.keywright.invalid/software/";
  static constexpr const char* kFirmwareAddress = "https://update.keywright.invalid/firmware/k87/";
  static constexpr const char* kSoftwarePath = "/sw/";
  static constexpr const char* kFirmwarePath = "/fw/";

  // Copies the program into `folder` (a trailing '/').
  explicit SiteProgramCopy(const std::string& folder);
  // (Re)writes the device table and the layout with their addresses on `site`. False when a
  // shipped file no longer holds the address it is expected to.
  bool PointAt(const UpdateSite& site) const;
  std::string Executable() const { return copy_.Executable(); }

 private:
  ProgramCopy copy_;
};

}  // namespace GuiTest
