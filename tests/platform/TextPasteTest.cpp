// Typing a text through the clipboard and a synthesised Ctrl+V into another X client, also a
// slow one, and giving the clipboard up afterwards.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/TextPaste.h"
#include "support/PasteReceiver.h"

namespace {

using namespace std::chrono_literals;

class TextPasteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs the test display";
    ASSERT_TRUE(receiver.Ready());
    ASSERT_TRUE(receiver.Focus());
  }
  TestSupport::PasteReceiver receiver;
  platform::TextPaste paste;
};

TEST_F(TextPasteTest, TheFocusedClientReceivesTheTextThenTheOfferEnds) {
  ASSERT_TRUE(paste.Paste("héllo, 你好"));
  EXPECT_EQ(receiver.WaitForText(3s), "héllo, 你好");
  // Fetched once: the clipboard is given up without waiting for the time limit.
  const auto until = std::chrono::steady_clock::now() + 1s;
  while (paste.Busy() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(paste.Busy());
}

TEST_F(TextPasteTest, AClientSlowerThanTheKeyStrokeStillGetsTheText) {
  receiver.SetFetchDelay(600ms);
  ASSERT_TRUE(paste.Paste("late but here"));
  EXPECT_EQ(receiver.WaitForText(3s), "late but here");
}

TEST_F(TextPasteTest, AnOfferNobodyFetchesInTimeEndsEmptyAfterItsTimeLimit) {
  receiver.SetFetchDelay(platform::TextPaste::kOfferTime + 500ms);
  ASSERT_TRUE(paste.Paste("too late"));
  std::this_thread::sleep_for(platform::TextPaste::kOfferTime + 200ms);
  EXPECT_FALSE(paste.Busy());
  EXPECT_EQ(receiver.WaitForText(1500ms), "") << "the text stayed on offer past the limit";
}

}  // namespace
