#include "report/expressions/EvaluatorFormat.h"

#include "platform/RegionalSettings.h"

#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// ---------------------------------------------------------------- decimal digits

// A positive value as 0.d1d2d3… × 10^exponent: the shortest digits that read back as the same double, no
// leading or trailing zeros. Zero has no digits. Rounding works on these digits, half away from zero, so
// 2.125 and 1.005 round the way they are written.
struct Decimal
{
    char digits[32];
    int length = 0;
    int exponent = 0;

    char at(long long index) const { return index >= 0 && index < length ? digits[index] : '0'; }
};

Decimal decimalOf(double magnitude)
{
    Decimal d;
    if (magnitude == 0.0)
        return d;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
    const char *end = result.ptr;
    const char *e = std::find(static_cast<const char *>(text), end, 'e');
    for (const char *p = text; p < e; ++p) {
        if (*p != '.')
            d.digits[d.length++] = *p;
    }
    const char *exponentText = e + 1;
    const bool negative = exponentText < end && *exponentText == '-';
    if (exponentText < end && (*exponentText == '-' || *exponentText == '+'))
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, end, exponent);
    d.exponent = (negative ? -exponent : exponent) + 1;
    while (d.length > 0 && d.digits[d.length - 1] == '0')
        --d.length;
    return d;
}

// Keeps `keep` digits from the first one, rounding half away from zero.
void roundTo(Decimal &d, long long keep)
{
    if (keep >= d.length)
        return;
    if (keep < 0) {
        d.length = 0;
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.length = int(keep);
    if (up) {
        while (d.length > 0 && d.digits[d.length - 1] == '9')
            --d.length;
        if (d.length == 0) {
            d.digits[0] = '1';
            d.length = 1;
            ++d.exponent;
        } else {
            ++d.digits[d.length - 1];
        }
    }
    while (d.length > 0 && d.digits[d.length - 1] == '0')
        --d.length;
    if (d.length == 0)
        d.exponent = 0;
}

// Splits at ";" outside quotes.
QStringList splitSections(const QString &mask)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    return sections;
}

} // namespace

// ---------------------------------------------------------------- number masks

RpNumberMask::RpNumberMask(const QString &mask)
    : m_text(mask)
{
    if (mask.isEmpty())
        return;
    const QStringList texts = splitSections(mask);
    for (const QString &text : texts) {
        Section section;
        section.empty = text.isEmpty();
        bool pointSeen = false;
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = text[i];
            if (c == u'\'' || c == u'"') {
                const qsizetype close = text.indexOf(c, i + 1);
                const qsizetype end = close < 0 ? n : close;
                section.tokens.push_back({ Token::Literal, QChar(), text.mid(i + 1, end - i - 1) });
                i = end;
            } else if (c == u'0' || c == u'#') {
                section.tokens.push_back({ Token::Digit, c, QString() });
                if (section.scientific)
                    continue;
                if (pointSeen) {
                    ++section.fracPlaces;
                    if (c == u'0')
                        section.minFrac = section.fracPlaces;
                } else {
                    ++section.intPlaces;
                    if (c == u'0' || section.minInt > 0)
                        ++section.minInt;
                }
            } else if (c == u'.' && !pointSeen && !section.scientific) {
                pointSeen = true;
                section.tokens.push_back({ Token::Point, QChar(), QString() });
            } else if (c == u',') {
                section.thousands = true;
            } else if ((c == u'E' || c == u'e') && !section.scientific && i + 2 < n
                && (text[i + 1] == u'+' || text[i + 1] == u'-') && text[i + 2] == u'0') {
                section.scientific = true;
                Token token { Token::Exponent, QChar(), QString(c) };
                token.alwaysSign = text[i + 1] == u'+';
                qsizetype j = i + 2;
                while (j < n && text[j] == u'0')
                    ++j;
                token.exponentDigits = int(std::min<qsizetype>(j - i - 2, 1 << 20));
                section.tokens.push_back(token);
                i = j - 1;
            } else {
                // Runs of plain characters become one literal.
                if (!section.tokens.empty() && section.tokens.back().kind == Token::Literal)
                    section.tokens.back().text.append(c);
                else
                    section.tokens.push_back({ Token::Literal, QChar(), QString(c) });
            }
        }
        m_sections.push_back(std::move(section));
    }
}

bool RpNumberMask::format(double value, QString &out) const
{
    if (!std::isfinite(value))
        return false;
    if (m_sections.empty()) {
        out = RegionalSettings::current().floatToStr(value, 15);
        return true;
    }
    const Section *chosen = &m_sections[0];
    bool minus = value < 0.0;
    if (value < 0.0 && m_sections.size() > 1 && !m_sections[1].empty) {
        chosen = &m_sections[1];
        minus = false;
    } else if (value == 0.0 && m_sections.size() > 2 && !m_sections[2].empty) {
        chosen = &m_sections[2];
    }
    if (chosen->empty) {
        out = RegionalSettings::current().floatToStr(value, 15);
        return true;
    }
    formatSection(*chosen, std::abs(value), minus, out);
    return true;
}

void RpNumberMask::formatSection(const Section &section, double magnitude, bool minus, QString &out) const
{
    const RegionalSettings &settings = RegionalSettings::current();
    Decimal d = decimalOf(magnitude);

    // The digits before the point (intSignificant of them come from the value) and after it.
    long long intSignificant = 0;
    long long firstFraction = 0; // index in d.digits of the first digit after the point
    int exponentValue = 0;
    if (section.scientific) {
        const int intDigits = std::max(section.intPlaces, 1);
        roundTo(d, (long long)intDigits + section.fracPlaces);
        if (d.length > 0) {
            intSignificant = intDigits;
            exponentValue = d.exponent - intDigits;
        }
        firstFraction = intDigits;
    } else {
        roundTo(d, (long long)d.exponent + section.fracPlaces);
        intSignificant = std::max(d.exponent, 0);
        firstFraction = d.exponent;
    }
    const long long intCount = std::max<long long>(intSignificant, section.minInt);
    const long long intPadding = intCount - intSignificant;
    const long long fracCount
        = std::max<long long>(section.minFrac, std::max<long long>(0, d.length - firstFraction));
    // Position counts from the right, 0 = units.
    auto intDigit = [&](long long position) {
        const long long index = intCount - 1 - position;
        return QLatin1Char(index < intPadding ? '0' : d.at(index - intPadding));
    };

    out.clear();
    out.reserve(qsizetype(std::min<long long>(intCount + fracCount, 1 << 24)) + 16);
    if (minus && d.length > 0)
        out.append(u'-');
    auto emitIntDigits = [&](long long from, long long to) { // positions from..to, descending
        for (long long p = from; p >= to; --p) {
            out.append(intDigit(p));
            if (section.thousands && p > 0 && p % 3 == 0)
                out.append(settings.thousandSeparator());
        }
    };
    bool intDone = false; // integer digits already given by the point or the exponent
    int intIndex = 0; // integer placeholders met so far
    long long fracIndex = 0;
    bool afterPoint = false;
    bool exponentDone = false;
    auto emitPendingInt = [&] {
        if (section.intPlaces == 0 && !intDone) {
            emitIntDigits(intCount - 1, 0);
            intDone = true;
        }
    };
    for (const Token &token : section.tokens) {
        switch (token.kind) {
        case Token::Literal:
            out.append(token.text);
            break;
        case Token::Point:
            emitPendingInt();
            afterPoint = true;
            if (fracCount > 0)
                out.append(settings.decimalSeparator());
            break;
        case Token::Digit:
            if (exponentDone)
                break;
            if (!afterPoint) {
                const long long position = section.intPlaces - 1 - intIndex;
                if (intIndex == 0)
                    emitIntDigits(intCount - 1, position);
                else if (position < intCount)
                    emitIntDigits(position, position);
                ++intIndex;
            } else {
                if (fracIndex < fracCount)
                    out.append(QLatin1Char(d.at(firstFraction + fracIndex)));
                ++fracIndex;
            }
            break;
        case Token::Exponent: {
            emitPendingInt();
            exponentDone = true;
            out.append(token.text);
            if (exponentValue < 0)
                out.append(u'-');
            else if (token.alwaysSign)
                out.append(u'+');
            const QString digits = QString::number(std::abs(exponentValue));
            for (qsizetype pad = digits.size(); pad < token.exponentDigits; ++pad)
                out.append(u'0');
            out.append(digits);
            break;
        }
        }
    }
}

bool tryFormatNumberMask(const QString &mask, double value, QString &text)
{
    return RpNumberMask(mask).format(value, text);
}

// ---------------------------------------------------------------- date masks

namespace {

bool startsWithNoCase(QStringView text, qsizetype at, QLatin1String word)
{
    return text.size() - at >= word.size()
        && text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// Whether a mask names a twelve-hour marker outside its quoted parts.
bool hasTwelveHourMarker(QStringView mask)
{
    QChar quote;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (startsWithNoCase(mask, i, QLatin1String("am/pm"))
            || startsWithNoCase(mask, i, QLatin1String("a/p"))
            || startsWithNoCase(mask, i, QLatin1String("ampm"))) {
            return true;
        }
    }
    return false;
}

void appendNumber(QString &out, int value, int minDigits)
{
    const QString digits = QString::number(value);
    for (qsizetype pad = digits.size(); pad < minDigits; ++pad)
        out.append(u'0');
    out.append(digits);
}

} // namespace

QString formatDateMask(QStringView mask, TDateTime value)
{
    if (!DateTime::isValid(value))
        return QString();
    const RegionalSettings &settings = RegionalSettings::current();
    const QLocale &locale = settings.locale();
    // A date and a time of day, never a moment of a time zone: nothing here depends on where it is printed.
    const QDate date = DateTime::toQDate(value);
    const QTime time = DateTime::toQTime(value);
    const bool twelveHour = hasTwelveHourMarker(mask);

    QString out;
    out.reserve(mask.size() * 2 + 8);
    QChar lastToken;
    const qsizetype n = mask.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = mask[i];
        if (c == u'\'' || c == u'"') {
            qsizetype close = mask.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            out.append(mask.mid(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (c == u'/') {
            out.append(settings.dateSeparator());
            ++i;
            continue;
        }
        if (c == u':') {
            out.append(settings.timeSeparator());
            ++i;
            continue;
        }
        QChar token = c.toUpper();
        if (token == u'A') {
            if (startsWithNoCase(mask, i, QLatin1String("am/pm"))) {
                // The marker keeps the case it is written in.
                out.append(mask.mid(time.hour() >= 12 ? i + 3 : i, 2));
                i += 5;
            } else if (startsWithNoCase(mask, i, QLatin1String("a/p"))) {
                out.append(mask.mid(time.hour() >= 12 ? i + 2 : i, 1));
                i += 3;
            } else if (startsWithNoCase(mask, i, QLatin1String("ampm"))) {
                out.append(time.hour() >= 12 ? locale.pmText() : locale.amText());
                i += 4;
            } else {
                out.append(c);
                ++i;
            }
            lastToken = token;
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && mask[i + count].toUpper() == token)
            ++count;
        if (token == u'M' && lastToken == u'H')
            token = u'N';
        const int shortCount = int(std::min<qsizetype>(count, 8));
        switch (token.unicode()) {
        case 'C':
            out.append(locale.toString(date, settings.shortDateFormat()));
            if (time.msecsSinceStartOfDay() != 0) {
                out.append(u' ');
                out.append(locale.toString(time, settings.longTimeFormat()));
            }
            break;
        case 'D':
            if (shortCount <= 2)
                appendNumber(out, date.day(), shortCount);
            else if (shortCount == 3)
                out.append(locale.dayName(date.dayOfWeek(), QLocale::ShortFormat));
            else if (shortCount == 4)
                out.append(locale.dayName(date.dayOfWeek(), QLocale::LongFormat));
            else if (shortCount == 5)
                out.append(locale.toString(date, settings.shortDateFormat()));
            else
                out.append(locale.toString(date, settings.longDateFormat()));
            break;
        case 'M':
            if (shortCount <= 2)
                appendNumber(out, date.month(), shortCount);
            else if (shortCount == 3)
                out.append(locale.monthName(date.month(), QLocale::ShortFormat));
            else
                out.append(locale.monthName(date.month(), QLocale::LongFormat));
            break;
        case 'Y':
            if (shortCount <= 2)
                appendNumber(out, date.year() % 100, 2);
            else
                appendNumber(out, date.year(), 4);
            break;
        case 'H': {
            int hour = time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            appendNumber(out, hour, std::min(shortCount, 2));
            break;
        }
        case 'N':
            appendNumber(out, time.minute(), std::min(shortCount, 2));
            break;
        case 'S':
            appendNumber(out, time.second(), std::min(shortCount, 2));
            break;
        case 'Z':
            appendNumber(out, time.msec(), shortCount >= 3 ? 3 : 1);
            break;
        case 'T':
            out.append(locale.toString(
                time, shortCount == 1 ? settings.shortTimeFormat() : settings.longTimeFormat()));
            break;
        default:
            // Anything else is copied as it stands.
            out.append(mask.mid(i, count));
            break;
        }
        if (token.isLetter())
            lastToken = token;
        i += count;
    }
    return out;
}
