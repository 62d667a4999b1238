#include "platform/RegionalSettings.h"

#include "platform/Exceptions.h"

#include <QCollator>
#include <QRegularExpression>
#include <charconv>
#include <cmath>

namespace {

// Qt's short formats may carry two-digit years; a date typed and shown back must keep its century.
QString withFourDigitYear(QString format)
{
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

std::unique_ptr<RegionalSettings> &currentSettings()
{
    static std::unique_ptr<RegionalSettings> settings;
    return settings;
}

// Positions of day, month and year in a date format, as an order string such as "DMY".
QString dateOrder(const QString &format)
{
    QString order;
    for (QChar c : format) {
        const QChar part = c == QLatin1Char('d') ? QLatin1Char('D')
                           : c == QLatin1Char('M') ? QLatin1Char('M')
                           : c == QLatin1Char('y') ? QLatin1Char('Y')
                                                   : QChar();
        if (!part.isNull() && !order.contains(part))
            order += part;
    }
    return order.size() == 3 ? order : QStringLiteral("DMY");
}

QString withoutTimeZone(QString format, const QString &fallback)
{
    format = format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*"))).trimmed();
    return format.isEmpty() ? fallback : format;
}

// The first character of a format that lies between two of its parts (outside quotes), or `fallback`.
QString separatorIn(const QString &format, const QString &partLetters, const QString &fallback)
{
    bool partSeen = false;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (partLetters.contains(c))
            partSeen = true;
        else if (partSeen && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

int expandYear(int year, int digits)
{
    if (digits > 2)
        return year;
    // Two-digit years fall in the fifty years either side of this year.
    const int pivot = QDate::currentDate().year() - 50;
    int full = pivot / 100 * 100 + year;
    if (full < pivot)
        full += 100;
    return full;
}

} // namespace

RegionalSettings::RegionalSettings() = default;
RegionalSettings::~RegionalSettings() = default;

RegionalSettings::RegionalSettings(const RegionalSettings &other)
    : m_locale(other.m_locale)
    , m_decimalSeparator(other.m_decimalSeparator)
    , m_thousandSeparator(other.m_thousandSeparator)
    , m_currencyString(other.m_currencyString)
    , m_currencyDecimals(other.m_currencyDecimals)
    , m_shortDateFormat(other.m_shortDateFormat)
    , m_longDateFormat(other.m_longDateFormat)
    , m_shortTimeFormat(other.m_shortTimeFormat)
    , m_longTimeFormat(other.m_longTimeFormat)
    , m_dateSeparator(other.m_dateSeparator)
    , m_timeSeparator(other.m_timeSeparator)
{
    makeCollators();
}

RegionalSettings &RegionalSettings::operator=(const RegionalSettings &other)
{
    if (this != &other) {
        RegionalSettings copy(other);
        m_locale = copy.m_locale;
        m_decimalSeparator = copy.m_decimalSeparator;
        m_thousandSeparator = copy.m_thousandSeparator;
        m_currencyString = copy.m_currencyString;
        m_currencyDecimals = copy.m_currencyDecimals;
        m_shortDateFormat = copy.m_shortDateFormat;
        m_longDateFormat = copy.m_longDateFormat;
        m_shortTimeFormat = copy.m_shortTimeFormat;
        m_longTimeFormat = copy.m_longTimeFormat;
        m_dateSeparator = copy.m_dateSeparator;
        m_timeSeparator = copy.m_timeSeparator;
        m_caseSensitive = std::move(copy.m_caseSensitive);
        m_caseInsensitive = std::move(copy.m_caseInsensitive);
    }
    return *this;
}

void RegionalSettings::makeCollators()
{
    m_caseSensitive = std::make_unique<QCollator>(m_locale);
    m_caseSensitive->setCaseSensitivity(Qt::CaseSensitive);
    m_caseSensitive->setNumericMode(false);
    m_caseInsensitive = std::make_unique<QCollator>(m_locale);
    m_caseInsensitive->setCaseSensitivity(Qt::CaseInsensitive);
}

RegionalSettings RegionalSettings::fromLocale(const QLocale &locale)
{
    RegionalSettings s;
    s.m_locale = locale;
    s.m_decimalSeparator = locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint().at(0);
    s.m_thousandSeparator = locale.groupSeparator();
    s.m_currencyString = locale.currencySymbol(QLocale::CurrencySymbol);
    s.m_currencyDecimals = 2;
    s.m_shortDateFormat = withFourDigitYear(locale.dateFormat(QLocale::ShortFormat));
    s.m_longDateFormat = locale.dateFormat(QLocale::LongFormat);
    // Long time formats of some locales carry the time zone; the program's times have none.
    s.m_shortTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::ShortFormat), QStringLiteral("hh:mm"));
    s.m_longTimeFormat = withoutTimeZone(locale.timeFormat(QLocale::LongFormat), QStringLiteral("hh:mm:ss"));
    s.m_dateSeparator = separatorIn(s.m_shortDateFormat, QStringLiteral("dMy"), QStringLiteral("/"));
    s.m_timeSeparator = separatorIn(s.m_longTimeFormat, QStringLiteral("hHmsAaPp"), QStringLiteral(":"));
    s.makeCollators();
    return s;
}

RegionalSettings RegionalSettings::fixed()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    RegionalSettings s;
    s.m_locale = c;
    s.m_decimalSeparator = QLatin1Char('.');
    s.m_thousandSeparator = QString();
    s.m_currencyString = QString();
    s.m_currencyDecimals = 2;
    s.m_shortDateFormat = QStringLiteral("yyyy-MM-dd");
    s.m_longDateFormat = QStringLiteral("dddd d MMMM yyyy");
    s.m_shortTimeFormat = QStringLiteral("hh:mm");
    s.m_longTimeFormat = QStringLiteral("hh:mm:ss");
    s.m_dateSeparator = QStringLiteral("-");
    s.m_timeSeparator = QStringLiteral(":");
    s.makeCollators();
    return s;
}

const RegionalSettings &RegionalSettings::current()
{
    auto &settings = currentSettings();
    if (!settings)
        settings = std::make_unique<RegionalSettings>(fromLocale(QLocale::system()));
    return *settings;
}

void RegionalSettings::setCurrent(const RegionalSettings &settings)
{
    currentSettings() = std::make_unique<RegionalSettings>(settings);
}

// ---- numbers ----

QString RegionalSettings::floatToStr(double value, int precision) const
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString text = QString::number(value, 'g', precision);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // Exponents as the program shows them: "1E15", "1.5E-7".
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(QLatin1Char('-'));
        exponent.remove(0, exponent.startsWith(QLatin1Char('+')) || negative ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
            exponent.remove(0, 1);
        text = mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    text.replace(QLatin1Char('.'), m_decimalSeparator);
    return text;
}

QString RegionalSettings::formatFixed(double value, int decimals) const
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && text.count(QLatin1Char('0')) + text.count(QLatin1Char('.')) + 1
                                                  == text.size())
        text.remove(0, 1); // no "-0.00"
    text.replace(QLatin1Char('.'), m_decimalSeparator);
    return text;
}

QString RegionalSettings::formatNumber(double value, int decimals) const
{
    QString text = formatFixed(value, decimals);
    if (m_thousandSeparator.isEmpty())
        return text;
    const qsizetype point = text.indexOf(m_decimalSeparator);
    qsizetype end = point < 0 ? text.size() : point;
    const qsizetype start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype i = end - 3; i > start; i -= 3)
        text.insert(i, m_thousandSeparator);
    return text;
}

bool RegionalSettings::tryStrToFloat(const QString &text, double &value) const
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 400)
        return false;
    QByteArray ascii;
    ascii.reserve(trimmed.size());
    bool digits = false;
    bool point = false;
    bool exponent = false;
    bool exponentDigits = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            (exponent ? exponentDigits : digits) = true;
            ascii += char(c.unicode());
        } else if (c == m_decimalSeparator && !point && !exponent) {
            point = true;
            ascii += '.';
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-'))
                   && (i == 0 || (exponent && ascii.endsWith('E')))) {
            if (c == QLatin1Char('-'))
                ascii += '-';
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && digits && !exponent) {
            exponent = true;
            ascii += 'E';
        } else {
            return false;
        }
    }
    if (!digits || (exponent && !exponentDigits))
        return false;
    double result = 0;
    const auto [end, error] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), result);
    if (error != std::errc() || end != ascii.constData() + ascii.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

double RegionalSettings::strToFloat(const QString &text) const
{
    double value = 0;
    if (!tryStrToFloat(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

bool RegionalSettings::tryStrToInt(const QString &text, qint64 &value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 40)
        return false;
    const QByteArray ascii = trimmed.toLatin1();
    const char *begin = ascii.constData();
    if (*begin == '+')
        ++begin;
    const auto [end, error] = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    return error == std::errc() && end == ascii.constData() + ascii.size() && begin != end;
}

QString RegionalSettings::formatCurrency(double value, int decimals) const
{
    if (!std::isfinite(value))
        return floatToStr(value);
    // Amounts that round to zero show as zero, without a sign.
    const double magnitude = std::abs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : std::abs(value);
    const QString positive = m_currencyString.isEmpty()
        ? formatNumber(magnitude, decimals)
        : m_locale.toCurrencyString(magnitude, m_currencyString, decimals);
    if (magnitude == 0 || value > 0)
        return positive;
    return m_locale.negativeSign() + positive;
}

bool RegionalSettings::tryStrToCurrency(const QString &text, double &value) const
{
    QString plain = text;
    if (!m_currencyString.isEmpty())
        plain.remove(m_currencyString);
    return tryStrToFloat(plain, value);
}

// ---- dates and times ----

QString RegionalSettings::dateToStr(TDateTime value) const
{
    return formatDateTime(m_shortDateFormat, value);
}

QString RegionalSettings::timeToStr(TDateTime value) const
{
    return formatDateTime(m_longTimeFormat, value);
}

QString RegionalSettings::dateTimeToStr(TDateTime value) const
{
    if (DateTime::msecOfDay(value) == 0)
        return dateToStr(value);
    return dateToStr(value) + QLatin1Char(' ') + timeToStr(value);
}

QString RegionalSettings::formatDateTime(const QString &format, TDateTime value) const
{
    if (!DateTime::isValid(value))
        return QString();
    return m_locale.toString(DateTime::toQDateTime(value), format);
}

bool RegionalSettings::tryStrToTime(const QString &text, TDateTime &value) const
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})(?::(\\d{1,2})(?::(\\d{1,2})(?:[.,](\\d{1,3}))?)?)?\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch() || !match.hasCaptured(2))
        return false;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    int msec = 0;
    if (match.hasCaptured(4)) {
        QString ms = match.captured(4);
        while (ms.size() < 3)
            ms += QLatin1Char('0');
        msec = ms.toInt();
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    value = DateTime::encodeTime(hour, minute, second, msec);
    return true;
}

bool RegionalSettings::tryStrToDate(const QString &text, TDateTime &value) const
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,4})\\s*[./\\-]\\s*(\\d{1,4})(?:\\s*[./\\-]\\s*(\\d{1,4}))?\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QString order = dateOrder(m_shortDateFormat);
    int day = 0, month = 0, year = 0;
    if (match.hasCaptured(3)) {
        for (int i = 0; i < 3; ++i) {
            const QString part = match.captured(i + 1);
            const int number = part.toInt();
            switch (order.at(i).unicode()) {
            case 'D':
                if (part.size() > 2)
                    return false;
                day = number;
                break;
            case 'M':
                if (part.size() > 2)
                    return false;
                month = number;
                break;
            default:
                year = expandYear(number, int(part.size()));
                break;
            }
        }
    } else {
        // Day and month only: this year.
        const QString dayMonth = QString(order).remove(QLatin1Char('Y'));
        const int first = match.captured(1).toInt();
        const int second = match.captured(2).toInt();
        if (match.captured(1).size() > 2 || match.captured(2).size() > 2)
            return false;
        day = dayMonth.startsWith(QLatin1Char('D')) ? first : second;
        month = dayMonth.startsWith(QLatin1Char('D')) ? second : first;
        year = QDate::currentDate().year();
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1 || year > 9999)
        return false;
    value = DateTime::fromQDate(date);
    return true;
}

bool RegionalSettings::tryStrToDateTime(const QString &text, TDateTime &value) const
{
    const QString trimmed = text.trimmed();
    const qsizetype space = trimmed.indexOf(QRegularExpression(QStringLiteral("[\\sT]")));
    if (space < 0) {
        if (tryStrToDate(trimmed, value))
            return true;
        return tryStrToTime(trimmed, value);
    }
    TDateTime date = 0;
    TDateTime time = 0;
    if (!tryStrToDate(trimmed.left(space), date) || !tryStrToTime(trimmed.mid(space + 1), time))
        return false;
    value = date < 0 ? date - time : date + time;
    return true;
}

TDateTime RegionalSettings::strToDate(const QString &text) const
{
    TDateTime value = 0;
    if (!tryStrToDate(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return value;
}

TDateTime RegionalSettings::strToTime(const QString &text) const
{
    TDateTime value = 0;
    if (!tryStrToTime(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
    return value;
}

TDateTime RegionalSettings::strToDateTime(const QString &text) const
{
    TDateTime value = 0;
    if (!tryStrToDateTime(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return value;
}

// ---- comparison ----

int RegionalSettings::compareStr(const QString &a, const QString &b) const
{
    const int result = m_caseSensitive->compare(a, b);
    if (result != 0)
        return result;
    // Collation may call distinct texts equal; keep the order total and exact equality exact.
    return a.compare(b);
}

int RegionalSettings::compareText(const QString &a, const QString &b) const
{
    return m_caseInsensitive->compare(a, b);
}
