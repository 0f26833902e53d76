// The update buttons of the settings page and worker tasks 11 to 14: the software and firmware
// version checks mark a button and queue the download when the endpoint offers a newer version;
// the download shows its progress on the button, and a launched update ends the program with
// exit code 0. A download that did not lead to a launch leaves the program running and says so.
//
// Threads: the PageController calls on the UI thread. The tasks run on the worker only as long
// as they need the keyboard (task 12 reads its firmware version); every fetch and download is
// handed to the host's network thread, so a slow server holds neither the worker nor the window.
// Network work finds the buttons through the window's locked control lists, uses only their
// thread-safe setters and posts everything else to the window. The offered versions are written
// and read by the network work alone (one thread).
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "app/PageController.h"
#include "update/UpdateDownload.h"

class PageHost;
namespace Tavex {
class UpgradeButton;
}

class UpdateController : public PageController {
 public:
  // Private message of the worker: an update download ended without a launch (wParam: the
  // button that shows it).
  static constexpr UINT kMsgUpdateFailed = WM_APP + 190;

  // Reads the software's installed version and update address from the device table and
  // registers tasks 11 to 14 with the host.
  explicit UpdateController(PageHost& host);

  bool OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnShutdown() override;

 private:
  void CheckSoftware();                            // task 11, network thread
  void CheckFirmware();                            // task 12, worker: the keyboard's part
  void CheckFirmwareOffer(const std::string& address,
                          std::optional<uint16_t> installed);  // task 12, network thread
  // Tasks 13 and 14, network thread; `address` is the package's update folder.
  void Download(update::UpdatePackage package, const std::string& address);
  void Offer(unsigned buttonId, uint32_t downloadTask);
  void ShowProgress(int percent);
  void RestoreCaption(unsigned buttonId);
  Tavex::UpgradeButton* Button(unsigned id) const;
  // A transfer stops when this is cleared (at shutdown).
  std::atomic<bool> keepGoing_{true};

  PageHost& host_;
  std::string installedVersion_;
  std::string softwareAddress_;
  std::string offeredSoftware_;
  std::string offeredFirmware_;
  // The button whose caption shows the running download's progress, 0 for none.
  std::atomic<unsigned> progressButton_{0};
};
