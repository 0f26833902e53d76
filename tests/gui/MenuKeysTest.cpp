// Real keys (XTest) in the lists page's popup menu: the open menu has the keyboard.
#include <gtest/gtest.h>

#include <memory>

#include "GalleryProcess.h"
#include "tavex/Native.h"

using namespace GuiTest;

TEST(GalleryMenuKeys, ArrowsAndEnterPickTheCheckedEntryAndEscapeClosesAnother) {
  if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
  XDoTool("mousemove 0 0");
  GalleryProcess gallery({"--page", "lists"});
  ASSERT_TRUE(gallery.Started());
  ASSERT_GE(gallery.WaitFor("ready page=lists"), 0) << "the gallery did not start";
  // The page's menu button sits at (20, 300)-(200, 334).
  const std::string clickMenuButton =
      "search --sync --onlyvisible --name 'Tavex gallery: lists' "
      "mousemove --sync --window %1 110 317 click 1";

  ASSERT_TRUE(XDoTool(clickMenuButton));
  int from = gallery.WaitFor("notify id=");
  ASSERT_GE(from, 0);
  // Reset key, Assign macro (checked), a separator, Assign shortcut: Up wraps to the last.
  ASSERT_TRUE(XDoTool("key --delay 60 Down Down Down Up Return"));
  const int picked = gallery.WaitFor("menu w=", from);
  ASSERT_GE(picked, 0) << "no choice reached the page";
  EXPECT_EQ(gallery.Lines()[static_cast<std::size_t>(picked)], "menu w=1 l=608");

  // The pointer is still on the button (a synced move to where it is would wait in vain).
  from = static_cast<int>(gallery.Lines().size());
  ASSERT_TRUE(XDoTool("click 1"));
  ASSERT_GE(gallery.WaitFor("notify id=230 code=2", from), 0) << "the menu did not open again";
  ASSERT_TRUE(XDoTool("key --delay 60 Down Escape"));
  // The menu ended and gave the keys back: Enter now reaches the page's focused button.
  ASSERT_TRUE(XDoTool("key --delay 60 Down Return"));
  EXPECT_GE(gallery.WaitFor("key id=230 vk=13", from), 0);
  EXPECT_EQ(gallery.CountContaining("menu w="), 1);
}
