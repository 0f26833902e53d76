#include "app/FileDialogs.h"

#include <thread>

#include "platform/FileChooser.h"
#include "tavex/MWindow.h"

namespace {

// An unmapped window owned by the chooser's owner: its modal loop keeps the owner painting and
// disabled, and the chooser's thread ends it by closing it.
class ChooserWait : public Tavex::MWindow {};

platform::FileChooserResult RunChooser(Tavex::MWindow& owner, platform::FileChooserRequest request) {
  request.parentWindow = Tavex::Native::GetNativeId(owner.GetSafeHwnd());
  platform::FileChooser chooser;
  ChooserWait wait;
  if (wait.Create(owner.GetSafeHwnd(), "FileChooser", WS_POPUP, 0, Tavex::CRect(0, 0, 1, 1)) ==
      nullptr) {
    return chooser.Run(request);
  }
  const HWND waitWindow = wait.GetSafeHwnd();
  platform::FileChooserResult result;
  std::thread thread([&chooser, &result, &request, waitWindow] {
    result = chooser.Run(request);
    Tavex::Native::PostMessage(waitWindow, WM_CLOSE, 0, 0);
  });
  wait.ShowModal(SW_HIDE);
  // The loop also ends for a quit request or a destroyed owner: close the chooser then.
  chooser.Cancel();
  thread.join();
  wait.DestroyWindow();
  return result;
}

}  // namespace

platform::FileChooserResult ChooseFileToOpen(Tavex::MWindow& owner, const std::string& title,
                                             const std::vector<platform::FileFilter>& filters) {
  platform::FileChooserRequest request;
  request.mode = platform::FileChooserRequest::Mode::Open;
  request.title = title;
  request.filters = filters;
  return RunChooser(owner, std::move(request));
}

platform::FileChooserResult ChooseFileToSave(Tavex::MWindow& owner, const std::string& title,
                                             const std::string& suggestedName,
                                             const std::vector<platform::FileFilter>& filters) {
  platform::FileChooserRequest request;
  request.mode = platform::FileChooserRequest::Mode::Save;
  request.title = title;
  request.suggestedName = suggestedName;
  request.filters = filters;
  return RunChooser(owner, std::move(request));
}
