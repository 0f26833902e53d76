// keywright-drive: runs the real program beside the virtual keyboard outside the test pass.
//   keywright-drive soak [MINUTES]          the soak (scripts/soak.sh)
//   keywright-drive pages FOLDER [LANG]     the README pictures (scripts/screenshots.sh)
// Needs a display, and for the soak an audio server (the test services provide both).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Pages.h"
#include "Soak.h"

namespace {

constexpr int kDefaultMinutes = 30;
constexpr int kUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: keywright-drive soak [MINUTES]\n"
               "       keywright-drive pages FOLDER [LANG]\n");
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "soak" && argc <= 3) {
    const int minutes = argc == 3 ? std::atoi(argv[2]) : kDefaultMinutes;
    return minutes > 0 ? drive::RunSoak(minutes) : Usage();
  }
  if (command == "pages" && (argc == 3 || argc == 4))
    return drive::RunPages(argv[2], argc == 4 ? argv[3] : "en_US.UTF-8");
  return Usage();
}
