// Real keys (XTest) in the lists page's popup menu: the open menu has the keyboard.
#include <gtest/gtest.h>

#include <memory>

#include "GalleryProcess.h"
#include "support/ControlMap.h"
#include "tavex/Codes.h"
#include "tavex/Native.h"

using namespace GuiTest;

TEST(GalleryMenuKeys, ArrowsAndEnterPickTheCheckedEntryAndEscapeClosesAnother) {
  if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
  if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
  constexpr unsigned kMenuButton = 230;  // tools/tavex-gallery/ListsPage.h
  XDoTool("mousemove 0 0");
  TestSupport::ControlMap map;
  ASSERT_TRUE(map.Ready());
  GalleryProcess gallery({"--page", "lists"}, {map.Environment()});
  ASSERT_TRUE(gallery.Started());
  ASSERT_GE(gallery.WaitFor("ready page=lists"), 0) << "the gallery did not start";

  ASSERT_TRUE(map.Click(kMenuButton));
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
  ASSERT_GE(gallery.WaitFor(Notified(kMenuButton, Tavex::Notify::Click), from), 0)
      << "the menu did not open again";
  ASSERT_TRUE(XDoTool("key --delay 60 Down Escape"));
  // The menu ended and gave the keys back: Enter now reaches the page's focused button.
  ASSERT_TRUE(XDoTool("key --delay 60 Down Return"));
  EXPECT_GE(gallery.WaitFor("key id=230 vk=13", from), 0);
  EXPECT_EQ(gallery.CountContaining("menu w="), 1);
}
