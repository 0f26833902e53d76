// What the task dispatcher needs from the main window. Every operation is called on the worker
// thread, between steps of nothing else; implementations talk to the UI only through calls that
// are safe from another thread (Tavex setters, posted messages).
#pragma once

class TaskHost {
 public:
  virtual ~TaskHost() = default;

  // Whether the last device refresh found a keyboard.
  virtual bool IsKeyboardConnected() const = 0;
  // Refreshes the device state and then the page state that depends on it.
  virtual void RefreshDevices() = 0;
  // Disables (false) or enables (true) the main window.
  virtual void EnableWindow(bool enable) = 0;
  // Closes the open wait dialog with OK, if there is one.
  virtual void CloseWaitDialog() = 0;
};
