#pragma once
// The desktop's file dialog programs (zenity, kdialog) as scripts in a private folder that is the
// whole PATH, with the session bus pointed nowhere so that no portal answers. Each script writes
// its arguments, one per line, to "<name>.args" and answers as told. Tests only, one thread.
#include <string>

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

class FakeDialogPrograms {
 public:
  FakeDialogPrograms();

  // `name` prints `output` (printf format) and exits with `status` after `delaySeconds`.
  void Add(const std::string& name, const std::string& output, int status,
           const std::string& delaySeconds = "0");
  // The arguments of the last run of `name`; empty when it did not run.
  std::string Args(const std::string& name) const;

 private:
  TempFolder folder_{"kw-dialogs"};
  ScopedEnv path_;
  ScopedEnv noBus_;
};
