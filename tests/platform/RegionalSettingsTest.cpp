#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct FloatCase
{
    const char *locale;
    const char *text;
    bool accepted;
    double value;
};

class StrToFloatTest : public ::testing::TestWithParam<FloatCase>
{
};

TEST_P(StrToFloatTest, AcceptsOnlyPlainRegionalNumbers)
{
    const FloatCase &c = GetParam();
    const RegionalSettings settings = RegionalSettings::fromLocale(QLocale(QString::fromLatin1(c.locale)));
    double value = -1;
    EXPECT_EQ(settings.tryStrToFloat(QString::fromUtf8(c.text), value), c.accepted) << c.text;
    if (c.accepted) {
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StrToFloatTest,
                         ::testing::Values(FloatCase{"fr_FR", "1,5", true, 1.5},
                                           FloatCase{"fr_FR", " -12,25 ", true, -12.25},
                                           FloatCase{"fr_FR", "1.5", false, 0},
                                           FloatCase{"en_US", "1.5", true, 1.5},
                                           FloatCase{"en_US", "1e3", true, 1000},
                                           FloatCase{"en_US", "+.5", true, 0.5},
                                           FloatCase{"de_DE", "2.500", false, 0},
                                           FloatCase{"en_US", "2,500", false, 0},
                                           FloatCase{"en_US", "inf", false, 0},
                                           FloatCase{"en_US", "nan", false, 0},
                                           FloatCase{"en_US", "1E400", false, 0},
                                           FloatCase{"en_US", "1e", false, 0},
                                           FloatCase{"en_US", "", false, 0},
                                           FloatCase{"en_US", "-", false, 0},
                                           FloatCase{"en_US", "1-2", false, 0}));

TEST(RegionalSettings, StrToFloat_RaisesThePlatformMessage)
{
    try {
        RegionalSettings::fixed().strToFloat(QStringLiteral("abc"));
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'abc' is not a valid floating point value"));
    }
}

TEST(RegionalSettings, FloatToStr_UsesFifteenDigitsAndTheRegionalSeparator)
{
    const RegionalSettings fr = RegionalSettings::fromLocale(QLocale(QStringLiteral("fr_FR")));
    EXPECT_EQ(fr.floatToStr(100.5), QStringLiteral("100,5"));
    EXPECT_EQ(fr.floatToStr(0.1 + 0.2), QStringLiteral("0,3"));
    EXPECT_EQ(RegionalSettings::fixed().floatToStr(1e20), QStringLiteral("1E20"));
    EXPECT_EQ(RegionalSettings::fixed().floatToStr(-2.5e-7), QStringLiteral("-2.5E-7"));
}

TEST(RegionalSettings, Dates_FollowTheShortDateOrder)
{
    const RegionalSettings fr = RegionalSettings::fromLocale(QLocale(QStringLiteral("fr_FR")));
    const RegionalSettings us = RegionalSettings::fromLocale(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(fr.strToDate(QStringLiteral("02/01/2024")), DateTime::encodeDate(2024, 1, 2));
    EXPECT_EQ(us.strToDate(QStringLiteral("02/01/2024")), DateTime::encodeDate(2024, 2, 1));
    EXPECT_EQ(fr.dateToStr(DateTime::encodeDate(2024, 1, 2)), QStringLiteral("02/01/2024"));
    EXPECT_EQ(RegionalSettings::fixed().strToDateTime(QStringLiteral("2024-03-05 13:45:10")),
              DateTime::encodeDate(2024, 3, 5) + DateTime::encodeTime(13, 45, 10, 0));
    TDateTime value = 0;
    EXPECT_FALSE(fr.tryStrToDate(QStringLiteral("31/02/2024"), value));
    EXPECT_FALSE(fr.tryStrToDate(QStringLiteral("demain"), value));
    try {
        fr.strToDate(QStringLiteral("32/01/2024"));
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'32/01/2024' is not a valid date"));
    }
}

TEST(RegionalSettings, DateTimeToStr_LeavesOutAZeroTime)
{
    const RegionalSettings fixed = RegionalSettings::fixed();
    EXPECT_EQ(fixed.dateTimeToStr(DateTime::encodeDate(2024, 1, 1)), QStringLiteral("2024-01-01"));
    EXPECT_EQ(fixed.dateTimeToStr(DateTime::encodeDate(2024, 1, 1) + DateTime::encodeTime(6, 0, 0, 0)),
              QStringLiteral("2024-01-01 06:00:00"));
}

TEST(RegionalSettings, Comparison_IsLocaleAwareWithAndWithoutCase)
{
    const RegionalSettings fr = RegionalSettings::fromLocale(QLocale(QStringLiteral("fr_FR")));
    EXPECT_LT(fr.compareStr(QStringLiteral("école"), QStringLiteral("zèbre")), 0);
    EXPECT_NE(fr.compareStr(QStringLiteral("Banque"), QStringLiteral("banque")), 0);
    EXPECT_EQ(fr.compareText(QStringLiteral("Banque"), QStringLiteral("banque")), 0);
    EXPECT_EQ(fr.compareStr(QStringLiteral("Banque"), QStringLiteral("Banque")), 0);
}

TEST(RegionalSettings, Currency_UsesTheRegionalFormat)
{
    const RegionalSettings fr = RegionalSettings::fromLocale(QLocale(QStringLiteral("fr_FR")));
    const QString text = fr.formatCurrency(1234.5);
    EXPECT_TRUE(text.contains(QStringLiteral("234,50"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("€"))) << text.toStdString();
}

struct CurrencyCase
{
    const char *locale;
    double value;
    const char *text;
};

class RegionalCurrency : public testing::TestWithParam<CurrencyCase>
{ };

// Negative amounts read as users of the locale write them: a minus sign before the amount, never parentheses.
TEST_P(RegionalCurrency, FormatsAmountsWithAMinusSignForNegatives)
{
    const CurrencyCase &c = GetParam();
    const RegionalSettings regional = RegionalSettings::fromLocale(QLocale(QString::fromLatin1(c.locale)));
    EXPECT_EQ(regional.formatCurrency(c.value), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Amounts, RegionalCurrency,
    testing::Values(CurrencyCase { "fr_FR", -245.1, "-245,10\u00a0\u20ac" },
        CurrencyCase { "fr_FR", 245.1, "245,10\u00a0\u20ac" },
        CurrencyCase { "fr_FR", -1234567.891, "-1\u202f234\u202f567,89\u00a0\u20ac" },
        CurrencyCase { "fr_FR", -0.004, "0,00\u00a0\u20ac" },
        CurrencyCase { "fr_FR", -0.005, "-0,01\u00a0\u20ac" },
        CurrencyCase { "en_US", -245.1, "-$245.10" },
        CurrencyCase { "en_US", 1234.5, "$1,234.50" },
        CurrencyCase { "de_DE", -3, "-3,00\u00a0\u20ac" }));

} // namespace
