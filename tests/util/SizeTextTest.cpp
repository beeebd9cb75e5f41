#include "util/SizeText.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct SizeCase
{
    qint64 size;
    const char* expected; // UTF-8
};

constexpr qint64 kGiga = 1073741824;

} // namespace

TEST(SizeTextTest, PicksUnitAndPrecision)
{
    const SizeCase cases[] = {
        {std::numeric_limits<qint64>::min(), "0バイト"},
        {-5, "0バイト"},
        {0, "0バイト"},
        {1, "1バイト"},
        {512, "512バイト"},
        {1024, "1024バイト"},
        {1025, "1.00KB"},
        {1536, "1.50KB"},
        {10239, "10.00KB"}, // 9.999 KB keeps two decimals, then rounds up
        {10240, "10.0KB"},
        {102400, "100KB"},
        {1048576, "1024KB"},
        {1048577, "1.00MB"},
        {kGiga, "1024MB"},
        {kGiga + 1, "1.00GB"},
        {5000 * kGiga, "5000GB"},
        {std::numeric_limits<qint64>::max(), "8589934592GB"},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        EXPECT_EQ(SizeText(c.size), QString::fromUtf8(c.expected)) << c.size;
    }
}

TEST(SizeTextTest, KbColumnRoundsUpGroupsAndAligns)
{
    const SizeCase cases[] = {
        {-1, "        0 KB"},
        {0, "        0 KB"},
        {1, "        1 KB"},
        {1024, "        1 KB"},
        {1025, "        2 KB"},
        {1048576, "    1,024 KB"},
        {2147483648LL, "2,097,152 KB"},
        {1099511627776LL, "1,073,741,824 KB"}, // longer than the column: nothing cut
        {std::numeric_limits<qint64>::max(), "9,007,199,254,740,992 KB"},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        EXPECT_EQ(SizeKbText(c.size), QString::fromUtf8(c.expected)) << c.size;
    }
}

TEST(SizeTextTest, GroupedNumberPutsCommasFromTheRight)
{
    const SizeCase cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {123456, "123,456"},
        {1234567890, "1,234,567,890"},
        {1234567890123LL, "1,234,567,890,123"},
        {-123, "-123"},
        {-1000, "-1,000"},
        {std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - std::data(cases)));
        EXPECT_EQ(GroupedNumberText(c.size), QString::fromUtf8(c.expected)) << c.size;
    }
}
