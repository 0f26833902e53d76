#pragma once
// What became of a transfer of several reports: how many there were and how many the device
// list reports as sent. None sent means no keyboard (or a closed list); some means the keyboard
// went away or failed in the middle. A value, any thread.

struct TransferResult {
  int sent = 0;
  int total = 0;

  // Counts one report and whether it went out.
  void Add(bool wentOut) {
    ++total;
    if (wentOut) ++sent;
  }
  // True when there was something to send and every report of it went out.
  bool Complete() const { return total > 0 && sent == total; }
};
