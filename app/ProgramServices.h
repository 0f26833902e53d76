#pragma once
// The program's long-lived services, built once at start-up and handed to whatever needs them:
// the HID device list, the profile store and the command sender that reads the one and sends
// through the other. Page logic takes these by reference instead of reaching for process-wide
// objects, so that it can be tested against a store in a temporary folder and the virtual
// keyboard, without a display.
//
// Ownership: the object owns all three; it must outlive every user (in the program: main's
// scope). Threads: built and destroyed on the main thread; the services themselves state which
// threads may call them.
#include "device/HidDeviceList.h"
#include "features/KeyboardCommands.h"
#include "store/ProfileStore.h"

class ProgramServices {
 public:
  ProgramServices();
  ProgramServices(const ProgramServices&) = delete;
  ProgramServices& operator=(const ProgramServices&) = delete;

  HidDeviceList& Devices() { return devices_; }
  ProfileStore& Store() { return store_; }
  KeyboardCommands& Commands() { return commands_; }

 private:
  // Declared in the order they depend on each other: the sender borrows the two before it.
  HidDeviceList devices_;
  ProfileStore store_;
  KeyboardCommands commands_;
};
