// The file chooser against a test portal on the session bus, and its fallback to the dialog
// programs (fake zenity and kdialog scripts, the only programs on PATH) when no portal answers.
#include "platform/FileChooser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "TestPortal.h"
#include "TrayHosts.h"
#include "support/FakeDialogPrograms.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

namespace {

using platform::FileChoice;
using platform::FileChooser;
using platform::FileChooserRequest;

FileChooserRequest XmlRequest(FileChooserRequest::Mode mode) {
  FileChooserRequest request;
  request.mode = mode;
  request.title = "Import profile";
  request.filters = {{"XML files", {"*.xml", "*.XML"}}, {"All files", {"*"}}};
  request.parentWindow = 0x1a2b;
  if (mode == FileChooserRequest::Mode::Save) request.suggestedName = "Game profile.xml";
  return request;
}

TEST(FileChooserPortal, OpenAndSaveSendTheRequestAndGiveTheDecodedPath) {
  if (!SessionBusAvailable()) GTEST_SKIP() << "no session bus";
  TestPortal portal;
  ASSERT_TRUE(portal.Ready());

  portal.SetAnswer(TestPortal::Answer::File, "file:///home/u/My%20Files/caf%C3%A9.xml");
  FileChooser open;
  const auto opened = open.Run(XmlRequest(FileChooserRequest::Mode::Open));
  EXPECT_EQ(opened.choice, FileChoice::Chosen);
  EXPECT_EQ(opened.path, "/home/u/My Files/café.xml");

  portal.SetAnswer(TestPortal::Answer::File, "file:///home/u/out.xml");
  FileChooser save;
  const auto saved = save.Run(XmlRequest(FileChooserRequest::Mode::Save));
  EXPECT_EQ(saved.choice, FileChoice::Chosen);
  EXPECT_EQ(saved.path, "/home/u/out.xml");

  const auto calls = portal.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].method, "OpenFile");
  EXPECT_EQ(calls[1].method, "SaveFile");
  for (const auto& call : calls) {
    EXPECT_EQ(call.parentWindow, "x11:1a2b");
    EXPECT_EQ(call.title, "Import profile");
    EXPECT_TRUE(call.modal);
    EXPECT_FALSE(call.handleToken.empty());
    ASSERT_EQ(call.filters.size(), 2u);
    EXPECT_EQ(call.filters[0].first, "XML files");
    EXPECT_EQ(call.filters[0].second, (std::vector<std::string>{"0:*.xml", "0:*.XML"}));
    EXPECT_EQ(call.filters[1].second, (std::vector<std::string>{"0:*"}));
    EXPECT_EQ(call.currentFilter, "XML files");
  }
  EXPECT_EQ(calls[0].currentName, "");
  EXPECT_EQ(calls[1].currentName, "Game profile.xml");
  EXPECT_NE(calls[0].handleToken, calls[1].handleToken);
}

TEST(FileChooserPortal, UserCancelAndUnusableAnswersChooseNothingAndRunNoProgram) {
  if (!SessionBusAvailable()) GTEST_SKIP() << "no session bus";
  TestPortal portal;
  ASSERT_TRUE(portal.Ready());
  TempFolder folder("kw-chooser");
  folder.Write("zenity", "#!/bin/sh\n: > '" + folder / "ran" + "'\necho /x\n");
  ::chmod((folder / "zenity").c_str(), 0755);
  ScopedEnv path("PATH", folder.Path().c_str());

  portal.SetAnswer(TestPortal::Answer::UserCancel);
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open)).choice,
            FileChoice::Cancelled);
  // Success without a local file (no URI, or one of another scheme) is no choice either.
  portal.SetAnswer(TestPortal::Answer::File, "");
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open)).choice,
            FileChoice::Unavailable);
  portal.SetAnswer(TestPortal::Answer::File, "https://example.invalid/a.xml");
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open)).choice,
            FileChoice::Unavailable);
  struct stat info{};
  EXPECT_NE(::stat((folder / "ran").c_str(), &info), 0);
}

TEST(FileChooserPortal, CancelClosesTheOpenRequest) {
  if (!SessionBusAvailable()) GTEST_SKIP() << "no session bus";
  TestPortal portal;
  ASSERT_TRUE(portal.Ready());
  portal.SetAnswer(TestPortal::Answer::Hold);
  FileChooser chooser;
  platform::FileChooserResult result;
  std::thread run([&] { result = chooser.Run(XmlRequest(FileChooserRequest::Mode::Save)); });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (portal.Calls().empty() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  chooser.Cancel();
  run.join();
  EXPECT_EQ(result.choice, FileChoice::Cancelled);
  ASSERT_EQ(portal.Calls().size(), 1u);
  EXPECT_EQ(portal.Closed(), std::vector<std::string>{portal.Calls()[0].requestPath});
}

TEST(FileChooserFallback, ZenityAnswersWhenNoPortalIsThere) {
  FakeDialogPrograms programs;
  programs.Add("zenity", "/home/u/chosen file.xml\\n", 0);
  const auto save = FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Save));
  EXPECT_EQ(save.choice, FileChoice::Chosen);
  EXPECT_EQ(save.path, "/home/u/chosen file.xml");
  EXPECT_EQ(programs.Args("zenity"),
            "--file-selection\n--title=Import profile\n--save\n--filename=Game profile.xml\n"
            "--file-filter=XML files | *.xml *.XML\n--file-filter=All files | *\n");

  programs.Add("zenity", "", 1);
  programs.Add("kdialog", "/k.xml\\n", 0);
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open)).choice,
            FileChoice::Cancelled);
  EXPECT_EQ(programs.Args("kdialog"), "") << "a cancelled zenity is an answer";
}

TEST(FileChooserFallback, KdialogWhenZenityIsMissingOrFailsAndUnavailableWithoutEither) {
  FakeDialogPrograms programs;
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open)).choice,
            FileChoice::Unavailable);

  programs.Add("kdialog", "/home/u/k.xml\\n", 0);
  const auto open = FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Open));
  EXPECT_EQ(open.choice, FileChoice::Chosen);
  EXPECT_EQ(open.path, "/home/u/k.xml");
  EXPECT_EQ(programs.Args("kdialog"),
            "--title\nImport profile\n--getopenfilename\n.\n*.xml *.XML|XML files\n*|All files\n");

  // A zenity that cannot show itself (no display) leaves kdialog to try.
  programs.Add("zenity", "", 255);
  EXPECT_EQ(FileChooser().Run(XmlRequest(FileChooserRequest::Mode::Save)).path, "/home/u/k.xml");
  EXPECT_NE(programs.Args("zenity"), "");
}

TEST(FileChooserFallback, CancelEndsARunningDialogProgram) {
  FakeDialogPrograms programs;
  programs.Add("zenity", "/late.xml\\n", 0, "30");
  FileChooser chooser;
  platform::FileChooserResult result;
  const auto start = std::chrono::steady_clock::now();
  std::thread run([&] { result = chooser.Run(XmlRequest(FileChooserRequest::Mode::Open)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  chooser.Cancel();
  run.join();
  EXPECT_EQ(result.choice, FileChoice::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
