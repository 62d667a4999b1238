#pragma once

#include "platform/DateTime.h"

#include <QChar>
#include <QLocale>
#include <QString>
#include <memory>

class QCollator;

// The regional settings every text form of a number, an amount or a date goes through: currency, number, date
// and time formats, the conversions from text with their error messages, and locale-aware text comparison.
// The program takes the system locale; tests and tools pin their own with setCurrent().
class RegionalSettings
{
public:
    // Settings derived from a locale (formats normalised to four-digit years).
    static RegionalSettings fromLocale(const QLocale &locale);
    // Fixed, machine-independent settings: "." decimals, no thousands separator, yyyy-MM-dd, hh:mm:ss.
    static RegionalSettings fixed();

    static const RegionalSettings &current();
    static void setCurrent(const RegionalSettings &settings);

    RegionalSettings(const RegionalSettings &other);
    RegionalSettings &operator=(const RegionalSettings &other);
    ~RegionalSettings();

    const QLocale &locale() const { return m_locale; }
    QChar decimalSeparator() const { return m_decimalSeparator; }
    QString thousandSeparator() const { return m_thousandSeparator; }
    QString currencyString() const { return m_currencyString; }
    int currencyDecimals() const { return m_currencyDecimals; }
    // Date and time formats in Qt's notation (dd, MM, yyyy, hh, mm, ss).
    QString shortDateFormat() const { return m_shortDateFormat; }
    QString longDateFormat() const { return m_longDateFormat; }
    QString shortTimeFormat() const { return m_shortTimeFormat; }
    QString longTimeFormat() const { return m_longTimeFormat; }
    // The characters between the parts of a short date and of a time ("/" and ":" in most places).
    QString dateSeparator() const { return m_dateSeparator; }
    QString timeSeparator() const { return m_timeSeparator; }

    // Numbers. floatToStr: general form with at most `precision` significant digits. strToFloat accepts an
    // optional sign, digits with the regional decimal separator and an exponent; no group separators, no
    // infinities or not-a-numbers, nothing that overflows.
    QString floatToStr(double value, int precision = 15) const;
    QString formatFixed(double value, int decimals) const;
    QString formatNumber(double value, int decimals) const; // with thousands separators
    bool tryStrToFloat(const QString &text, double &value) const;
    double strToFloat(const QString &text) const; // EConvertError "'%s' is not a valid floating point value"
    static bool tryStrToInt(const QString &text, qint64 &value);

    // Amounts in the regional currency format, with the regional currency decimals or `decimals`. A negative
    // amount is its positive form after a minus sign ("-245,10 €", "-$245.10"), never in parentheses: every
    // amount the program shows, prints or reports is written by this one function.
    QString formatCurrency(double value) const { return formatCurrency(value, m_currencyDecimals); }
    QString formatCurrency(double value, int decimals) const;
    // Typed amounts: accepts the plain number form and, for convenience, the currency form with its symbol.
    bool tryStrToCurrency(const QString &text, double &value) const;

    // Dates and times. dateTimeToStr gives the short date, then the long time unless the time is 0.
    QString dateToStr(TDateTime value) const;
    QString timeToStr(TDateTime value) const;
    QString dateTimeToStr(TDateTime value) const;
    QString formatDateTime(const QString &format, TDateTime value) const;
    bool tryStrToDate(const QString &text, TDateTime &value) const;
    bool tryStrToTime(const QString &text, TDateTime &value) const;
    bool tryStrToDateTime(const QString &text, TDateTime &value) const;
    TDateTime strToDate(const QString &text) const;     // "'%s' is not a valid date"
    TDateTime strToTime(const QString &text) const;     // "'%s' is not a valid time"
    TDateTime strToDateTime(const QString &text) const; // "'%s' is not a valid date and time"

    // Locale-aware comparison: < 0, 0, > 0.
    int compareStr(const QString &a, const QString &b) const;  // case-sensitive
    int compareText(const QString &a, const QString &b) const; // ignoring case
    bool sameText(const QString &a, const QString &b) const { return compareText(a, b) == 0; }

private:
    RegionalSettings();
    void makeCollators();

    QLocale m_locale;
    QChar m_decimalSeparator;
    QString m_thousandSeparator;
    QString m_currencyString;
    int m_currencyDecimals = 2;
    QString m_shortDateFormat;
    QString m_longDateFormat;
    QString m_shortTimeFormat;
    QString m_longTimeFormat;
    QString m_dateSeparator;
    QString m_timeSeparator;
    std::unique_ptr<QCollator> m_caseSensitive;
    std::unique_ptr<QCollator> m_caseInsensitive;
};
