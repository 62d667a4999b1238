#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorFormat.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct NumberCase
{
    const char *locale;
    const char *mask;
    double value;
    const char *expected;
};

void PrintTo(const NumberCase &c, std::ostream *os)
{
    *os << c.locale << " [" << c.mask << "] " << c.value;
}

// Pins the case's locale for one test and the suite's usual French one afterwards.
class PinnedLocale
{
public:
    explicit PinnedLocale(const char *name) { TestSupport::pinLocale(name); }
    ~PinnedLocale() { TestSupport::pinLocale("fr_FR"); }
};

class NumberMaskRules : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberMaskRules, FormatTheValueAsTheMaskSays)
{
    const NumberCase &c = GetParam();
    PinnedLocale locale(c.locale);
    QString text = QStringLiteral("untouched");
    ASSERT_TRUE(RpNumberMask(QString::fromUtf8(c.mask)).format(c.value, text));
    EXPECT_EQ(text, QString::fromUtf8(c.expected));
}

// French: "," decimals and a narrow no-break space between thousands; US English: "." and ",".
INSTANTIATE_TEST_SUITE_P(Sections, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "0.00;(0.00)", -3.5, "(3,50)" },
        NumberCase { "fr_FR", "0.00;(0.00)", 3.5, "3,50" },
        NumberCase { "fr_FR", "0.00", -1234.5, "-1234,50" }, NumberCase { "fr_FR", "0.00;", -2, "-2,00" },
        NumberCase { "fr_FR", "0.00;;'zero'", 0, "zero" }, NumberCase { "fr_FR", "0.00;;", 0, "0,00" },
        NumberCase { "fr_FR", "0.00;'neg';'nil'", -0.0, "nil" },
        NumberCase { "fr_FR", "'pos'0;'neg'0;'nil'", 7, "pos7" }));

INSTANTIATE_TEST_SUITE_P(Placeholders, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "000", 7, "007" }, NumberCase { "fr_FR", "#", 0, "" },
        NumberCase { "fr_FR", "#", 12, "12" }, NumberCase { "fr_FR", "#.##", 0.5, ",5" },
        NumberCase { "fr_FR", "0.##", 2, "2" }, NumberCase { "fr_FR", "##0", 12345, "12345" },
        NumberCase { "fr_FR", "#0#", 5, "05" }, NumberCase { "fr_FR", "0.#0", 1.5, "1,50" },
        NumberCase { "fr_FR", "0", -0.2, "0" }, NumberCase { "fr_FR", ".00", 12.5, "12,50" },
        NumberCase { "fr_FR", "000-000", 123456, "123-456" }));

INSTANTIATE_TEST_SUITE_P(Rounding, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "0.00", 1234.5, "1234,50" },
        NumberCase { "fr_FR", "0", 2.5, "3" }, NumberCase { "fr_FR", "0", -2.5, "-3" },
        NumberCase { "fr_FR", "0.0#", 2.125, "2,13" }, NumberCase { "fr_FR", "0.00", 1.005, "1,01" },
        NumberCase { "fr_FR", "0.0", 0.05, "0,1" }, NumberCase { "fr_FR", "0.00", 0.1 + 0.2, "0,30" },
        NumberCase { "fr_FR", "0.0", 9.96, "10,0" }, NumberCase { "fr_FR", "0.", 5, "5" },
        NumberCase { "fr_FR", "0.00", 1e20, "100000000000000000000,00" },
        NumberCase { "fr_FR", "0.000", 1e-7, "0,000" }));

INSTANTIATE_TEST_SUITE_P(Thousands, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "#,##0", 1234567, "1\u202f234\u202f567" },
        NumberCase { "fr_FR", "#,##0.00", -1234.5, "-1\u202f234,50" },
        NumberCase { "fr_FR", "0.00,", 1234.5, "1\u202f234,50" }, NumberCase { "fr_FR", "#,##0", 999, "999" },
        NumberCase { "en_US", "#,##0.00", 1234567.891, "1,234,567.89" },
        NumberCase { "en_US", "#,#", 1000, "1,000" }));

INSTANTIATE_TEST_SUITE_P(Scientific, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "0.00E+00", 12345, "1,23E+04" },
        NumberCase { "fr_FR", "0.00E-00", 0.000123, "1,23E-04" },
        NumberCase { "fr_FR", "0.00E-00", 12345, "1,23E04" },
        NumberCase { "fr_FR", "0.0e-0", 99.96, "1,0e2" }, NumberCase { "fr_FR", "0.00E+00", 0, "0,00E+00" },
        NumberCase { "fr_FR", "00.0E+0", 12345, "12,3E+3" }, NumberCase { "fr_FR", "0E+000", -5, "-5E+000" },
        NumberCase { "fr_FR", "0.0E+0", 1e300, "1,0E+300" },
        NumberCase { "en_US", "0.00E+00", 12345, "1.23E+04" }));

INSTANTIATE_TEST_SUITE_P(Literals, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "'Total: '0.00 \"EUR\"", 5, "Total: 5,00 EUR" },
        NumberCase { "fr_FR", "'#0;'0", 3, "#0;3" }, NumberCase { "fr_FR", "x0%", 5, "x5%" },
        NumberCase { "fr_FR", "'unclosed 0", 5, "unclosed 0" }, NumberCase { "fr_FR", "'nil'", 7, "nil" },
        // Text that other formatters would read as directives is plain text here.
        NumberCase { "fr_FR", "%s%n%d 0", 5, "%s%n%d 5" }, NumberCase { "fr_FR", "0 %1 {x}", 5, "5 %1 {x}" },
        NumberCase { "fr_FR", "'%.300f'0", 1, "%.300f1" }));

INSTANTIATE_TEST_SUITE_P(General, NumberMaskRules,
    ::testing::Values(NumberCase { "fr_FR", "", 2.5, "2,5" }, NumberCase { "fr_FR", "", 1234567, "1234567" },
        NumberCase { "fr_FR", "", 0.1 + 0.2, "0,3" }, NumberCase { "fr_FR", "", 1e20, "1E20" },
        NumberCase { "fr_FR", "", -2.5e-7, "-2,5E-7" }, NumberCase { "fr_FR", ";;", 3, "3" },
        NumberCase { "en_US", "", 2.5, "2.5" }));

TEST(NumberMask, RefusesValuesThatAreNotFinite)
{
    QString text = QStringLiteral("untouched");
    EXPECT_FALSE(RpNumberMask(QStringLiteral("0.00")).format(std::numeric_limits<double>::infinity(), text));
    EXPECT_FALSE(RpNumberMask(QString()).format(std::nan(""), text));
    EXPECT_EQ(text, QStringLiteral("untouched"));
}

TEST(NumberMask, GrowsWithTheMaskAndTheValueOnly)
{
    // A mask of a hundred thousand placeholders formats in one pass; the output has their length.
    const QString mask = QString(100000, u'0') + u'.' + QString(100000, u'0');
    QString text;
    ASSERT_TRUE(RpNumberMask(mask).format(1.5, text));
    EXPECT_EQ(text.size(), 200001);
    EXPECT_TRUE(text.endsWith(QStringLiteral("1,5") + QString(99999, u'0')));
    ASSERT_TRUE(RpNumberMask(QStringLiteral("0E+") + QString(5000, u'0')).format(1e300, text));
    EXPECT_EQ(text.size(), 3 + 5000);
    ASSERT_TRUE(RpNumberMask(QStringLiteral("0")).format(1.7e308, text));
    EXPECT_EQ(text.size(), 309);
}

TEST(NumberMask, FormatNumericAndTheMaskObjectAgree)
{
    QString once;
    QString reused;
    const RpNumberMask mask(QStringLiteral("#,##0.00;(#,##0.00)"));
    for (double value : { 0.0, -1.5, 1234.567, -98765.4321 }) {
        ASSERT_TRUE(tryFormatNumberMask(mask.text(), value, once));
        ASSERT_TRUE(mask.format(value, reused));
        EXPECT_EQ(once, reused);
    }
}

struct DateCase
{
    const char *locale;
    const char *mask;
    const char *expected;
    bool midnight = false;
};

void PrintTo(const DateCase &c, std::ostream *os)
{
    *os << c.locale << " [" << c.mask << "]";
}

class DateMaskSpecifiers : public ::testing::TestWithParam<DateCase>
{
};

// Tuesday 5 March 2024, 14:07:09.045 (or midnight).
TEST_P(DateMaskSpecifiers, FormatTheMomentAsTheMaskSays)
{
    const DateCase &c = GetParam();
    PinnedLocale locale(c.locale);
    TDateTime moment = DateTime::encodeDate(2024, 3, 5);
    if (!c.midnight)
        moment += DateTime::encodeTime(14, 7, 9, 45);
    EXPECT_EQ(formatDateMask(QString::fromUtf8(c.mask), moment), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(French, DateMaskSpecifiers,
    ::testing::Values(DateCase { "fr_FR", "c", "05/03/2024 14:07:09" },
        DateCase { "fr_FR", "c", "05/03/2024", true }, DateCase { "fr_FR", "t", "14:07" },
        DateCase { "fr_FR", "tt", "14:07:09" }, DateCase { "fr_FR", "d/m/yy", "5/3/24" },
        DateCase { "fr_FR", "dd/mm/yyyy", "05/03/2024" }, DateCase { "fr_FR", "DD-MM-YYYY", "05-03-2024" },
        DateCase { "fr_FR", "ddd dddd", "mar. mardi" }, DateCase { "fr_FR", "mmm mmmm", "mars mars" },
        DateCase { "fr_FR", "ddddd", "05/03/2024" }, DateCase { "fr_FR", "dddddd", "mardi 5 mars 2024" },
        DateCase { "fr_FR", "hh:nn:ss", "14:07:09" }, DateCase { "fr_FR", "h:m", "14:7" },
        DateCase { "fr_FR", "hh:mm:ss.zzz", "14:07:09.045" }, DateCase { "fr_FR", "h 'h' nn", "14 h 07" },
        DateCase { "fr_FR", "h:nn am/pm", "2:07 pm" }, DateCase { "fr_FR", "h:nn AM/PM", "2:07 PM" },
        DateCase { "fr_FR", "hh a/p", "02 p" }, DateCase { "fr_FR", "\"le\" d", "le 5" },
        DateCase { "fr_FR", "h am/pm", "12 am", true }, DateCase { "fr_FR", "%i%x%% yyyy", "%i%x%% 2024" }));

INSTANTIATE_TEST_SUITE_P(English, DateMaskSpecifiers,
    ::testing::Values(DateCase { "en_US", "c", "3/5/2024 2:07:09 PM" }, DateCase { "en_US", "t", "2:07 PM" },
        DateCase { "en_US", "dddd mmmm", "Tuesday March" }, DateCase { "en_US", "ddd mmm", "Tue Mar" },
        DateCase { "en_US", "ddddd", "3/5/2024" }, DateCase { "en_US", "m/d/yyyy", "3/5/2024" },
        DateCase { "en_US", "h:nn ampm", "2:07 PM" }));

INSTANTIATE_TEST_SUITE_P(Separators, DateMaskSpecifiers,
    ::testing::Values(
        DateCase { "de_DE", "dd/mm/yyyy", "05.03.2024" }, DateCase { "fi_FI", "hh:nn", "14.07" }));

TEST(DateMask, GivesNothingForAMomentOutsideTheCalendar)
{
    EXPECT_EQ(formatDateMask(u"c", 1e12), QString());
    EXPECT_EQ(formatDateMask(u"c", std::nan("")), QString());
}

} // namespace
