// keywright-dialogs message1|message2|wait|close [--lang 1033|2052]: shows that dialog over an
// owner window, prints "shown" once it is up and "result N" when it ends. The wait dialog ends
// after two seconds, closed from another thread as the worker does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "app/CUIMessageBox.h"
#include "app/CloseWindowTipDlg.h"
#include "app/WaitDlg.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"

namespace {

constexpr int kUsage = 2;
constexpr int kNoDisplay = 1;
constexpr auto kWaitShown = std::chrono::seconds(2);
constexpr int kMessageText = 165;  // a two-line question of the language files
constexpr int kMessageCaption = 166;

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// The owner the dialogs centre on: an empty main-window-sized dialog.
class Owner : public Tavex::MDialog {
 public:
  int OnInitDialog() override {
    MDialog::OnInitDialog();
    SetBackColor(0x141212, 0x3A3A3A);
    return 1;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s message1|message2|wait|close [--lang 1033|2052]\n", argv[0]);
    return kUsage;
  }
  const std::string which = argv[1];
  int lcid = kLangEnglish;
  if (argc == 4 && std::strcmp(argv[2], "--lang") == 0) lcid = std::atoi(argv[3]);
  if (!Tavex::Native::DisplayAvailable()) return kNoDisplay;
  SetCurrentLanguage(lcid == kLangChinese ? kLangChinese : kLangEnglish);
  Tavex::Manager::InitGdiplus();

  Owner owner;
  owner.Create(nullptr, "keywright-dialogs", ids::kDialogStyle, 0,
               Tavex::CRect(0, 0, ids::kWindowWidth, ids::kWindowHeight));
  owner.CenterWindow();
  owner.ShowWindow(SW_SHOW);
  Print("shown");

  int result = -1;
  if (which == "message1" || which == "message2") {
    result = ShowMessage(&owner, GetLangText(kMessageText), GetLangText(kMessageCaption),
                         which == "message1" ? CUIMessageBox::kStyleOneButton
                                             : CUIMessageBox::kStyleTwoButtons);
  } else if (which == "wait") {
    WaitDlg wait;
    std::thread closer([&wait] {
      std::this_thread::sleep_for(kWaitShown);
      wait.RequestClose();
    });
    result = wait.Run(owner);
    closer.join();
  } else if (which == "close") {
    CloseWindowTipDlg tip;
    result = tip.Run(&owner);
  } else {
    std::fprintf(stderr, "%s: unknown dialog %s\n", argv[0], which.c_str());
    return kUsage;
  }
  Print("result " + std::to_string(result));
  owner.DestroyWindow();
  Tavex::Manager::UnInitGdiplus();
  return 0;
}
