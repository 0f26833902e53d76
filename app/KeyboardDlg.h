// The program's main window: a borderless 1200 x 720 dialog with its own title bar, the device
// list, five pages behind a vertical tab strip, the tray icon, the worker that runs device work
// one task at a time, and the network thread that runs the fetches those tasks hand on.
//
// Ownership: the object belongs to the program entry; its controls to the library. It owns the
// device table, the task dispatcher, the worker, the network thread and the tray icon.
// Threads: the MDialog side runs on the UI thread. The worker calls the TaskHost adapter and
// QueueTask; those only use thread-safe control setters and posted messages.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/CurrentKeyboard.h"
#include "app/DeviceTable.h"
#include "app/DeviceTrace.h"
#include "app/HotPlugInbox.h"
#include "app/NetworkWorker.h"
#include "app/PageController.h"
#include "app/PageHost.h"
#include "app/ProgramServices.h"
#include "app/TaskDispatcher.h"
#include "app/TaskHost.h"
#include "app/TaskWorker.h"
#include "app/WindowTexts.h"
#include "app/pages/Pages.h"
#include "tavex/MDialog.h"

class TrayIcon;
class WaitDlg;

class KeyboardDlg : public Tavex::MDialog, private PageHost {
 public:
  // Exit code of the process after the window ended through one of its exits (tray menu, close
  // button, quit request); 1 after the modal loop ended any other way.
  static constexpr int kExitCodeExplicit = 0;
  static constexpr int kExitCodeClosed = 1;

  // `services` (device list, store, command sender) must outlive the window.
  explicit KeyboardDlg(ProgramServices& services);
  ~KeyboardDlg() override;

  // Creates the window (title "Tarnwick", 1200 x 720), centres it and runs it modally. Returns
  // the process exit code.
  int Run();

  void InitUI(Tavex::CRect client) override;
  void UISize(Tavex::CRect client) override;
  int OnInitDialog() override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnTimer(unsigned id) override;

  // Stops the worker (at most 1000 ms), the event readers and the tray icon, then destroys the
  // window. Runs once; later calls do nothing. UI thread.
  virtual void Shutdown();

  // Appends a task for the worker. Any thread.
  void QueueTask(uint32_t code) override { dispatcher_.QueueTask(code); }
  // Shows the wait dialog modally until the worker closes it. UI thread.
  void ShowWaitDialog() override;

  // Sets every caption and tooltip again from the current language.
  void SetAllTexts();

  // PageHost: what the page controllers ask of the window.
  Tavex::MDialog& Window() override { return *this; }
  ProgramServices& Services() override { return services_; }
  CurrentKeyboard Keyboard() const override;
  size_t PendingTasks() const override { return dispatcher_.PendingTasks(); }
  bool RegisterTask(uint32_t code, std::function<void()> work) override {
    return dispatcher_.RegisterTask(code, std::move(work));
  }
  void PostNetworkWork(std::function<void()> work) override { network_.Post(std::move(work)); }
  int ShowMessage(int textNumber, int captionNumber, int style) override;
  int CurrentPage() const override { return currentPage_; }
  std::optional<uint16_t> ReadFirmwareVersion() override;
  void ReloadDeviceSettings() override;

 private:
  // The worker's view of the window.
  class Host final : public TaskHost {
   public:
    explicit Host(KeyboardDlg& window) : window_(window) {}
    bool IsKeyboardConnected() const override { return window_.connected_.load(); }
    void RefreshDevices() override { window_.RefreshDeviceState(); }
    void EnableWindow(bool enable) override;
    void CloseWaitDialog() override;

   private:
    KeyboardDlg& window_;
  };

  // Messages the window posts to itself from the worker and the tray thread.
  static constexpr UINT kMsgEnable = WM_APP + 1;       // wParam: enable
  static constexpr UINT kMsgPageState = WM_APP + 2;    // after a device refresh
  static constexpr UINT kMsgDeviceShown = WM_APP + 3;  // wParam: device type now current
  // A burst of hot-plug notices restarts the event readers once, this long after the last one.
  static constexpr unsigned kReaderRestartTimer = 301;
  static constexpr unsigned kReaderRestartDelayMs = 60;
  // The last hot-plug notice that matched a table entry.
  enum HotPlugKind : int { kHotPlugNone = 0, kHotPlugArrival = 1, kHotPlugRemoval = 2 };

  void LoadDeviceTable();
  void AddTrayIcon();
  void RefreshDeviceState();     // worker
  void SelectDeviceOnWorker();   // worker, task 4
  void ReloadPagesOnWorker();    // worker, task 5
  void UpdatePageState();        // UI
  void OnDeviceChange();         // UI, WM_DEVICECHANGE
  void QueueRefresh(uint32_t code);
  void ShowDevicePages(int type);  // UI

  void SwitchPage(int item);
  void OnDevicePressed();
  void OnCloseButton();
  void OnTrayMenuCommand(int command);
  void OnLanguageChosen();
  void OnAutostartClicked();
  void ShowFromTray();
  void ShowTrayMenu(int x, int y);
  void UpdateCloseTooltip();
  // Runs the shutdown and ends the modal loop with exit code 0.
  void ExitProgram();

  WindowTexts texts_;
  WindowControls controls_;
  ProgramServices& services_;
  std::unique_ptr<DeviceTable> devices_;
  DeviceTable::Software software_;
  Host host_{*this};
  TaskDispatcher dispatcher_{host_};
  TaskWorker worker_{dispatcher_};
  std::unique_ptr<TrayIcon> tray_;
  HotPlugInbox hotplug_;
  DeviceTrace trace_;
  // The pages' logic, asked in this order; made in the constructor, ended by Shutdown.
  std::vector<std::unique_ptr<PageController>> controllers_;
  // Fetches and downloads of the controllers; stopped by Shutdown after the controllers told
  // their transfers to end.
  NetworkWorker network_;

  mutable std::mutex keyboardMutex_;
  CurrentKeyboard keyboard_;  // written by the device switch on the worker

  std::atomic<bool> connected_{false};
  std::atomic<bool> noAccess_{false};  // a keyboard is present but may not be opened
  std::atomic<int> currentType_{0};
  std::atomic<bool> currentGone_{false};  // the current keyboard was absent at the last refresh
  std::atomic<int> selectedType_{0};
  // A hot-plug refresh is queued and has not started: later notices need no other one.
  std::atomic<bool> refreshQueued_{false};
  std::atomic<int> lastHotPlugKind_{kHotPlugNone};
  std::atomic<bool> removalSeen_{false};  // the last refresh followed a removal
  int currentPage_ = 0;
  bool shutDown_ = false;
  int exitCode_ = kExitCodeClosed;

  std::mutex waitMutex_;
  WaitDlg* wait_ = nullptr;
  bool waitClosePending_ = false;
};
