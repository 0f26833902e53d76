// What a page controller may ask of the main window: its services, the chosen keyboard, the
// worker's queue and the window's dialogs. Implemented by KeyboardDlg; page controllers hold a
// reference for their whole life (the window outlives them).
//
// Threads: Keyboard, QueueTask, PendingTasks, RegisterTask and PostNetworkWork from any thread;
// the rest on the UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/CurrentKeyboard.h"

class ProgramServices;
namespace Tavex {
class MDialog;
}

class PageHost {
 public:
  virtual ~PageHost() = default;

  virtual Tavex::MDialog& Window() = 0;
  virtual ProgramServices& Services() = 0;

  // A copy of the chosen keyboard as the last device switch left it.
  virtual CurrentKeyboard Keyboard() const = 0;

  // Asks the chosen keyboard for its firmware version and keeps the answer in Keyboard(); the
  // answer, nothing when there is none. Worker thread. The window's own task 12 does this; a
  // controller that registers task 12 in its place calls it first. A host without a keyboard
  // behind it has no answer.
  virtual std::optional<uint16_t> ReadFirmwareVersion() { return std::nullopt; }
  // Reads the chosen keyboard's device settings from its layout file again into Keyboard()
  // (after a reset to factory state). Any thread. A host without a layout has nothing to read.
  virtual void ReloadDeviceSettings() {}

  // The worker's queue (see TaskDispatcher).
  virtual void QueueTask(uint32_t code) = 0;
  virtual size_t PendingTasks() const = 0;
  virtual bool RegisterTask(uint32_t code, std::function<void()> work) = 0;
  // Runs `work` (a fetch or a download) on the window's network thread, in posting order, so that
  // a slow server holds neither the worker's queue nor the window. The work must not use
  // Keyboard(): the window may be going away when it runs. A host without a network thread runs
  // it at once on the caller's thread.
  virtual void PostNetworkWork(std::function<void()> work) { work(); }

  // Shows the wait dialog until the worker ends a task that closes it (see ClosesWaitDialog).
  virtual void ShowWaitDialog() = 0;
  // The program's message box with language texts; returns 1 or 2 (see CUIMessageBox).
  virtual int ShowMessage(int textNumber, int captionNumber, int style) = 0;
  // The tab item shown now (ids::kItem...).
  virtual int CurrentPage() const = 0;
};
