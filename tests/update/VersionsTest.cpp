#include "update/UpdateCheck.h"
#include "update/Versions.h"

#include <gtest/gtest.h>

using namespace update;

TEST(CompareVersions, ComparesPartByPartAsNumbers) {
    EXPECT_EQ(CompareVersions("1.0.2", "1.0.10"), kInstalledOlder);
    EXPECT_EQ(CompareVersions("1.0.10", "1.0.2"), kInstalledNewer);
    EXPECT_EQ(CompareVersions("2.0.0", "1.9.9"), kInstalledNewer);
    EXPECT_EQ(CompareVersions("1.2.3", "1.2.3"), kVersionsEqual);
    EXPECT_EQ(CompareVersions("01.2", "1.02"), kVersionsEqual);
    EXPECT_EQ(CompareVersions("5", "6"), kInstalledOlder);
    // Numbers far beyond any integer type still compare by value.
    EXPECT_EQ(CompareVersions("1.99999999999999999999", "1.100000000000000000000"), kInstalledOlder);
}

TEST(CompareVersions, DifferentPartCountsGiveTwo) {
    EXPECT_EQ(CompareVersions("1.0", "1.0.0"), kPartCountsDiffer);
    EXPECT_EQ(CompareVersions("1.0.0", "1.0"), kPartCountsDiffer);
    EXPECT_EQ(CompareVersions("1.0.", "1.0"), kPartCountsDiffer);
}

TEST(CompareVersions, UsesLeadingDigitsAndCountsOtherTextAsZero) {
    EXPECT_EQ(CompareVersions("1.2beta", "1.2"), kVersionsEqual);
    EXPECT_EQ(CompareVersions("1.x", "1.0"), kVersionsEqual);
    EXPECT_EQ(CompareVersions("1.x", "1.1"), kInstalledOlder);
    EXPECT_EQ(CompareVersions("", ""), kVersionsEqual);
    EXPECT_EQ(CompareVersions("", "1"), kInstalledOlder);
}

TEST(IsAcceptedVersion, OnlyOneToTenDigitsAndDots) {
    for (const char* ok : {"1", "1.0.10", "1234567890", "1.2.3.4.56", "."}) EXPECT_TRUE(IsAcceptedVersion(ok)) << ok;
    for (const char* bad : {"", "12345678901", "1.0.0.0.0.0", "../../x", "1.0/..", "1.0\n", " 1.0", "v1.0", "1,0",
                            "1.0-rc"}) {
        EXPECT_FALSE(IsAcceptedVersion(bad)) << bad;
    }
    EXPECT_FALSE(IsAcceptedVersion(std::string("1.0\0", 4)));
}

TEST(SoftwareOffer, OffersNewerOrDifferentlyShapedVersionsOnly) {
    EXPECT_TRUE(SoftwareOffer("1.0.2", "1.0.10").newer);
    EXPECT_TRUE(SoftwareOffer("1.0", "1.0.0").newer);
    EXPECT_FALSE(SoftwareOffer("1.0.2", "1.0.2").newer);
    EXPECT_FALSE(SoftwareOffer("1.0.2", "1.0.1").newer);
    EXPECT_EQ(SoftwareOffer("1.0.2", "1.0.1").version, "1.0.1");

    for (const char* bad : {"", "12345678901", "../../9.9", "9.9\r\n"}) {
        const VersionOffer offer = SoftwareOffer("1.0", bad);
        EXPECT_FALSE(offer.newer) << bad;
        EXPECT_EQ(offer.version, "") << bad;
    }
}
