#include "platform/DateTime.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct StampCase
{
    TDateTime value;
    double stamp;
};

class StampTest : public ::testing::TestWithParam<StampCase>
{
};

TEST_P(StampTest, DateTimeAndStampConvertBothWays)
{
    const StampCase &c = GetParam();
    EXPECT_EQ(DateTime::dateTimeToStamp(c.value), c.stamp);
    EXPECT_NEAR(DateTime::stampToDateTime(c.stamp), c.value, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, StampTest,
                         ::testing::Values(StampCase{45292.0, 63839750400000.0}, // 1 January 2024
                                           StampCase{0.0, 693594.0 * 86400000.0},
                                           StampCase{-693593.0, 86400000.0}, // 1 January 0001
                                           // Before 1899 the fraction is still the time of day: 29 December, 06:00.
                                           StampCase{-1.25, 693593.0 * 86400000.0 + 21600000.0},
                                           StampCase{2958465.5, 3652059.0 * 86400000.0 + 43200000.0}));

TEST(DateTime, Stamp_OutsideTheCalendarIsRefused)
{
    EXPECT_THROW(DateTime::stampToDateTime(0), EConvertError);
    EXPECT_THROW(DateTime::stampToDateTime(-5), EConvertError);
    EXPECT_THROW(DateTime::stampToDateTime(1e300), EConvertError);
    EXPECT_THROW(DateTime::stampToDateTime(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    try {
        DateTime::stampToDateTime(5);
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'0.5' is not a valid timestamp"));
    }
}

TEST(DateTime, Values_OutsideYearsOneToNineThousandNineHundredNinetyNineAreInvalid)
{
    EXPECT_TRUE(DateTime::isValid(DateTime::encodeDate(1, 1, 1)));
    EXPECT_TRUE(DateTime::isValid(DateTime::encodeDate(9999, 12, 31) + 0.5));
    EXPECT_FALSE(DateTime::isValid(DateTime::encodeDate(1, 1, 1) - 1));
    EXPECT_FALSE(DateTime::isValid(DateTime::encodeDate(9999, 12, 31) + 1));
    EXPECT_FALSE(DateTime::isValid(std::numeric_limits<double>::infinity()));
    EXPECT_THROW(DateTime::dateTimeToStamp(1e12), EConvertError);
}

} // namespace
