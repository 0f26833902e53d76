#include "update/ZipName.h"

#include <gtest/gtest.h>

using namespace update;

TEST(ZipName, ParentClimbsAreCutUpToTheirFirstOccurrence) {
    EXPECT_EQ(CleanZipEntryName("..\\..\\setup.exe"), "setup.exe");
    EXPECT_EQ(CleanZipEntryName("a/../b/../c.txt"), "c.txt");
    EXPECT_EQ(CleanZipEntryName("x\\../y"), "y");
    EXPECT_EQ(CleanZipEntryName("x/..\\y"), "y");
}

TEST(ZipName, DrivesAndLeadingSlashesAreDroppedRepeatedly) {
    EXPECT_EQ(CleanZipEntryName("C:\\x\\y.exe"), "x\\y.exe");
    EXPECT_EQ(CleanZipEntryName("//server/share/f"), "server/share/f");
    EXPECT_EQ(CleanZipEntryName("C:D:/\\a"), "a");
    EXPECT_EQ(CleanZipEntryName("\xC3\xA9:rest"), "rest");  // second code point, not byte
    EXPECT_EQ(CleanZipEntryName("plain/name.txt"), "plain/name.txt");
}

TEST(ZipName, SplittingNeverYieldsAClimbOutOfTheTarget) {
    EXPECT_EQ(SplitZipPath("../../etc/passwd"), (std::vector<std::string>{"etc", "passwd"}));
    EXPECT_EQ(SplitZipPath("a/./b\\c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitZipPath("a/b/.."), std::vector<std::string>{});
    EXPECT_EQ(SplitZipPath("dir//"), std::vector<std::string>{"dir"});
}

TEST(ZipName, StoredBytesBecomeUtf8AndStopAtNul) {
    EXPECT_EQ(DecodeZipName("caf\xC3\xA9.txt"), "caf\xC3\xA9.txt");
    EXPECT_EQ(DecodeZipName("caf\x82.txt"), "caf\xC3\xA9.txt");  // code page 437
    EXPECT_EQ(DecodeZipName("\x80\xFF"), "\xC3\x87\xC2\xA0");  // both ends of its table
    EXPECT_EQ(DecodeZipName(std::string("ok\0/../x", 8)), "ok");
    EXPECT_EQ(DecodeZipName(std::string(400, 'n')).size(), kMaxEntryNameChars);
}
