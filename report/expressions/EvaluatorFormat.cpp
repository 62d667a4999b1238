#include "report/expressions/EvaluatorFormat.h"

#include "platform/RegionalSettings.h"

#include <QStringList>
#include <cmath>
#include <vector>

namespace {

struct Token
{
    enum Kind { Digit, Point, Exponent, Literal } kind;
    QChar placeholder; // Digit: '0' or '#'
    QString text; // Literal: the text; Exponent: "E" or "e"
    bool alwaysSign = false; // Exponent: "+" given
    int exponentDigits = 0;
};

struct Section
{
    std::vector<Token> tokens;
    bool thousands = false;
};

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
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    return sections;
}

Section parseSection(const QString &text)
{
    Section section;
    bool pointSeen = false;
    bool exponentSeen = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close;
            section.tokens.push_back({ Token::Literal, QChar(), text.mid(i + 1, end - i - 1) });
            i = end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            section.tokens.push_back({ Token::Digit, c, QString() });
        } else if (c == QLatin1Char('.') && !pointSeen && !exponentSeen) {
            pointSeen = true;
            section.tokens.push_back({ Token::Point, QChar(), QString() });
        } else if (c == QLatin1Char(',')) {
            section.thousands = true;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && !exponentSeen && i + 2 < n
            && (text[i + 1] == QLatin1Char('+') || text[i + 1] == QLatin1Char('-'))
            && text[i + 2] == QLatin1Char('0')) {
            exponentSeen = true;
            Token token { Token::Exponent, QChar(), QString(c) };
            token.alwaysSign = text[i + 1] == QLatin1Char('+');
            qsizetype j = i + 2;
            while (j < n && text[j] == QLatin1Char('0'))
                ++j;
            token.exponentDigits = int(j - i - 2);
            section.tokens.push_back(token);
            i = j - 1;
        } else {
            section.tokens.push_back({ Token::Literal, QChar(), QString(c) });
        }
    }
    return section;
}

QString formatSection(const Section &section, double magnitude, bool minus)
{
    const RegionalSettings &settings = RegionalSettings::current();
    // Placeholders before and after the point, and the exponent if any.
    int intPlaces = 0;
    int minInt = 0;
    int fracPlaces = 0;
    int minFrac = 0;
    bool afterPoint = false;
    const Token *exponent = nullptr;
    for (const Token &token : section.tokens) {
        if (token.kind == Token::Point) {
            afterPoint = true;
        } else if (token.kind == Token::Exponent) {
            exponent = &token;
        } else if (token.kind == Token::Digit && !exponent) {
            if (afterPoint) {
                ++fracPlaces;
                if (token.placeholder == QLatin1Char('0'))
                    minFrac = fracPlaces;
            } else {
                ++intPlaces;
                if (token.placeholder == QLatin1Char('0') || minInt > 0)
                    ++minInt;
            }
        }
    }

    int exponentValue = 0;
    double scaled = magnitude;
    if (exponent && magnitude != 0.0) {
        const int intDigits = std::max(intPlaces, 1);
        exponentValue = int(std::floor(std::log10(magnitude))) - (intDigits - 1);
        // Rounding may carry into one more integer digit: then the exponent grows by one.
        for (int attempt = 0; attempt < 2; ++attempt) {
            scaled = exponentValue < -300 ? magnitude * 1e300 * std::pow(10.0, -exponentValue - 300)
                                          : magnitude / std::pow(10.0, exponentValue);
            const QString rounded = QString::number(scaled, 'f', fracPlaces);
            const qsizetype point = rounded.indexOf(QLatin1Char('.'));
            if ((point < 0 ? rounded.size() : point) <= intDigits)
                break;
            ++exponentValue;
        }
    }
    const QString fixed = QString::number(scaled, 'f', fracPlaces);
    const qsizetype point = fixed.indexOf(QLatin1Char('.'));
    QString intDigits = point < 0 ? fixed : fixed.left(point);
    QString fracDigits = point < 0 ? QString() : fixed.mid(point + 1);
    if (intDigits == QLatin1String("0"))
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));
    while (fracDigits.size() > minFrac && fracDigits.endsWith(QLatin1Char('0')))
        fracDigits.chop(1);
    if (intDigits.isEmpty() && fracDigits.isEmpty() && intPlaces + fracPlaces > 0)
        intDigits = QStringLiteral("0");
    bool allZero = true;
    for (const QChar c : intDigits + fracDigits)
        allZero = allZero && c == QLatin1Char('0');

    QString out;
    if (minus && !allZero)
        out.append(QLatin1Char('-'));
    int intIndex = 0; // placeholders of the integer part met so far
    int fracIndex = 0;
    afterPoint = false;
    bool exponentDone = false;
    const qsizetype digitCount = intDigits.size();
    auto emitIntDigit = [&](qsizetype position) { // position: index from the right, 0 = units
        out.append(intDigits[digitCount - 1 - position]);
        if (section.thousands && position > 0 && position % 3 == 0)
            out.append(settings.thousandSeparator());
    };
    for (const Token &token : section.tokens) {
        switch (token.kind) {
        case Token::Literal:
            out.append(token.text);
            break;
        case Token::Point:
            afterPoint = true;
            if (!fracDigits.isEmpty())
                out.append(settings.decimalSeparator());
            break;
        case Token::Digit:
            if (exponentDone)
                break;
            if (!afterPoint) {
                const int position = intPlaces - 1 - intIndex;
                if (intIndex == 0) {
                    for (qsizetype p = digitCount - 1; p >= position && p >= 0; --p)
                        emitIntDigit(p);
                } else if (position < digitCount) {
                    emitIntDigit(position);
                }
                ++intIndex;
            } else {
                if (fracIndex < fracDigits.size())
                    out.append(fracDigits[fracIndex]);
                ++fracIndex;
            }
            break;
        case Token::Exponent: {
            exponentDone = true;
            out.append(token.text);
            if (exponentValue < 0)
                out.append(QLatin1Char('-'));
            else if (token.alwaysSign)
                out.append(QLatin1Char('+'));
            out.append(QString::number(std::abs(exponentValue))
                           .rightJustified(token.exponentDigits, QLatin1Char('0')));
            break;
        }
        }
    }
    return out;
}

} // namespace

bool tryFormatNumberMask(const QString &mask, double value, QString &text)
{
    if (!std::isfinite(value))
        return false;
    const QStringList sections = splitSections(mask);
    if (sections[0].isEmpty() && sections.size() == 1) {
        text = RegionalSettings::current().floatToStr(value, 15);
        return true;
    }
    QString chosen = sections[0];
    bool minus = value < 0.0;
    if (value < 0.0 && sections.size() > 1 && !sections[1].isEmpty()) {
        chosen = sections[1];
        minus = false;
    } else if (value == 0.0 && sections.size() > 2 && !sections[2].isEmpty()) {
        chosen = sections[2];
    }
    if (chosen.isEmpty()) {
        text = RegionalSettings::current().floatToStr(value, 15);
        return true;
    }
    text = formatSection(parseSection(chosen), std::abs(value), minus);
    return true;
}
