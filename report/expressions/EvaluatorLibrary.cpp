#include "report/expressions/EvaluatorLibrary.h"

#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorFormat.h"

#include <QHash>
#include <cmath>
#include <limits>

const char *const kRpEvBuiltInOrigin = "Report engine";

namespace {

TRpEvValue wrongArguments(const char *function)
{
    return TRpEvValue::Error(QStringLiteral("Wrong arguments for %1").arg(QLatin1String(function)));
}

TRpEvValue plainError()
{
    return TRpEvValue::Error(QString());
}

bool fitsInt32(double value)
{
    return std::isfinite(value) && value >= double(std::numeric_limits<qint32>::min())
        && value <= double(std::numeric_limits<qint32>::max());
}

// ---- conditions and conversions ----

class TRpEvFunctionIf : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 3 || Argument(0).Kind() != evBoolean)
            value = wrongArguments("IF");
        else
            value = Argument(0).AsBoolean() ? Argument(1) : Argument(2);
    }
};

class TRpEvFunctionStr : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        const TRpEvKind kind = ArgumentCount() == 1 ? Argument(0).Kind() : evError;
        if (kind == evInteger || kind == evFloat || kind == evBoolean)
            value = TRpEvValue::String(Argument(0).ValueToText());
        else
            value = TRpEvValue::Error(QStringLiteral("Conversion error"));
    }
};

// UPPER, LOWER and PRETTY: one text argument.
class TRpEvTextFunction : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 1)
            value = TRpEvValue::Error(QStringLiteral("Missing argument for %1").arg(QLatin1String(name())));
        else if (Argument(0).Kind() == evError)
            value = Argument(0);
        else if (Argument(0).Kind() != evString)
            value = plainError();
        else
            value = TRpEvValue::String(convert(Argument(0).Text()));
    }

protected:
    virtual const char *name() const = 0;
    virtual QString convert(const QString &text) const = 0;
};

class TRpEvFunctionUpper : public TRpEvTextFunction
{
    const char *name() const override { return "UPPER"; }
    QString convert(const QString &text) const override
    {
        return RegionalSettings::current().locale().toUpper(text);
    }
};

class TRpEvFunctionLower : public TRpEvTextFunction
{
    const char *name() const override { return "LOWER"; }
    QString convert(const QString &text) const override
    {
        return RegionalSettings::current().locale().toLower(text);
    }
};

class TRpEvFunctionPretty : public TRpEvTextFunction
{
    const char *name() const override { return "PRETTY"; }
    QString convert(const QString &text) const override
    {
        if (text.isEmpty())
            return text;
        const QLocale &locale = RegionalSettings::current().locale();
        // A surrogate pair is one character: upper-case it whole.
        const qsizetype head = text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1;
        return locale.toUpper(text.left(head)) + locale.toLower(text.mid(head));
    }
};

class TRpEvFunctionTime : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 0)
            value = plainError();
        else
            value = TRpEvValue::String(RegionalSettings::current().timeToStr(DateTime::now()));
    }
};

class TRpEvFunctionDate : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 0)
            value = plainError();
        else
            value = TRpEvValue::String(RegionalSettings::current().dateToStr(DateTime::today()));
    }
};

// A numeric argument as a whole count for COPY: floats are truncated toward zero and clamped.
qint64 countOf(const TRpEvValue &value)
{
    if (value.Kind() == evInteger)
        return value.AsInteger();
    const double number = std::trunc(value.AsFloat());
    if (std::isnan(number))
        return 0;
    return qint64(std::clamp(number, -4.0e9, 4.0e9));
}

class TRpEvFunctionCopy : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 3 || Argument(0).Kind() != evString || !Argument(1).IsNumeric()
            || !Argument(2).IsNumeric()) {
            value = plainError();
            return;
        }
        const QString &text = Argument(0).Text();
        const qint64 start = std::max<qint64>(countOf(Argument(1)), 1) - 1;
        const qint64 remaining = std::max<qint64>(text.size() - start, 0);
        const qint64 length = std::clamp<qint64>(countOf(Argument(2)), 0, remaining);
        value = TRpEvValue::String(length == 0 ? QString() : text.mid(qsizetype(start), qsizetype(length)));
    }
};

// ---- aggregates ----

// A running total: the first value fixes its kind; see AddValue.
class RunningTotal
{
public:
    void Reset()
    {
        m_state = State::Empty;
        m_integer = 0;
        m_float = 0.0;
        m_message.clear();
    }

    // Wrong argument count: nothing added, and a started total becomes an error.
    void AddWrongCount()
    {
        if (m_state != State::Empty)
            setError(QString());
    }

    void AddValue(const TRpEvValue &value)
    {
        switch (m_state) {
        case State::Empty:
            if (value.Kind() == evInteger) {
                m_state = State::Integer;
                m_integer = value.AsInteger();
            } else if (value.Kind() == evFloat) {
                m_state = State::Float;
                m_float = value.AsFloat();
            } else {
                setError(value.Kind() == evError ? value.Text() : QString());
            }
            return;
        case State::Integer:
            if (value.Kind() == evInteger
                && __builtin_add_overflow(m_integer, qint64(value.AsInteger()), &m_integer))
                setError(QString());
            else if (value.Kind() == evString)
                setError(QString());
            return;
        case State::Float:
            if (value.Kind() == evFloat)
                m_float += value.AsFloat();
            else if (value.Kind() == evString)
                setError(QString());
            return;
        case State::Error:
            return;
        }
    }

    bool IsError() const { return m_state == State::Error; }
    const QString &Message() const { return m_message; }
    double AsFloat() const { return m_state == State::Float ? m_float : double(m_integer); }

    TRpEvValue Value() const
    {
        switch (m_state) {
        case State::Empty:
            return TRpEvValue::Integer(0);
        case State::Integer:
            return TRpEvValue::Integer64(m_integer);
        case State::Float:
            return TRpEvValue::Float(m_float);
        case State::Error:
            break;
        }
        return TRpEvValue::Error(m_message);
    }

private:
    enum class State { Empty, Integer, Float, Error };

    void setError(const QString &message)
    {
        m_state = State::Error;
        m_message = message;
    }

    State m_state = State::Empty;
    qint64 m_integer = 0;
    double m_float = 0.0;
    QString m_message;
};

class TRpEvFunctionSum : public TRpEvElementFunction
{
public:
    TRpEvFunctionSum() { MarkAggregate(); }
    void AddToAggregate() override
    {
        if (ArgumentCount() != 1)
            m_total.AddWrongCount();
        else
            m_total.AddValue(Argument(0));
    }
    void ComputeResult(TRpEvValue &value) override { value = m_total.Value(); }
    void ResetState() override { m_total.Reset(); }

private:
    RunningTotal m_total;
};

class TRpEvFunctionCount : public TRpEvElementFunction
{
public:
    TRpEvFunctionCount() { MarkAggregate(); }
    void AddToAggregate() override { ++m_count; }
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 0)
            value = TRpEvValue::Error(QStringLiteral("COUNT - Too many arguments"));
        else
            value = TRpEvValue::Integer64(m_count);
    }
    void ResetState() override { m_count = 0; }

private:
    qint64 m_count = 0;
};

// MAX and MIN: the first value is kept whole; later ones of a comparable kind replace it when higher
// (MAX) or lower (MIN).
class TRpEvExtremeFunction : public TRpEvElementFunction
{
public:
    TRpEvExtremeFunction() { MarkAggregate(); }
    void AddToAggregate() override
    {
        if (ArgumentCount() != 1) {
            if (m_started)
                m_kept = plainError();
            return;
        }
        const TRpEvValue &value = Argument(0);
        if (!m_started) {
            m_started = true;
            m_kept = value;
            return;
        }
        const int order = compare(value, m_kept);
        if (order != 0 && (order > 0) == wantsHigher())
            m_kept = value;
    }
    void ComputeResult(TRpEvValue &value) override { value = m_kept; }
    void ResetState() override
    {
        m_started = false;
        m_kept = TRpEvValue::Integer(0);
    }

protected:
    virtual bool wantsHigher() const = 0;

private:
    // The order of a new value against the kept one by the kept value's kind; 0 when they do not compare.
    static int compare(const TRpEvValue &value, const TRpEvValue &kept)
    {
        switch (kept.Kind()) {
        case evInteger:
        case evFloat:
            if (!value.IsNumeric())
                return 0;
            if (kept.Kind() == evInteger && value.Kind() == evInteger)
                return value.AsInteger() < kept.AsInteger() ? -1
                    : value.AsInteger() > kept.AsInteger()  ? 1
                                                            : 0;
            return value.AsFloat() < kept.AsFloat() ? -1 : value.AsFloat() > kept.AsFloat() ? 1 : 0;
        case evString:
            return value.Kind() == evString ? rpEvCompareOrdinal(value.Text(), kept.Text()) : 0;
        case evBoolean:
            return value.Kind() == evBoolean ? int(value.AsBoolean()) - int(kept.AsBoolean()) : 0;
        case evError:
            break;
        }
        return 0;
    }

    bool m_started = false;
    TRpEvValue m_kept;
};

class TRpEvFunctionMax : public TRpEvExtremeFunction
{
    bool wantsHigher() const override { return true; }
};

class TRpEvFunctionMin : public TRpEvExtremeFunction
{
    bool wantsHigher() const override { return false; }
};

class TRpEvFunctionAverage : public TRpEvElementFunction
{
public:
    TRpEvFunctionAverage() { MarkAggregate(); }
    void AddToAggregate() override
    {
        if (ArgumentCount() != 1)
            m_total.AddWrongCount();
        else
            m_total.AddValue(Argument(0));
        ++m_passes;
        m_state = State::Averaging;
    }
    void ComputeResult(TRpEvValue &value) override
    {
        switch (m_state) {
        case State::Initial:
            value = TRpEvValue::Integer(0);
            return;
        case State::Reset:
            value = TRpEvValue::Float(0.0);
            return;
        case State::Averaging:
            break;
        }
        if (m_total.IsError())
            value = TRpEvValue::Error(m_total.Message());
        else
            value = TRpEvValue::Float(m_total.AsFloat() / double(m_passes));
    }
    void ResetState() override
    {
        m_total.Reset();
        m_passes = 0;
        m_state = State::Reset;
    }

private:
    enum class State { Initial, Reset, Averaging };
    RunningTotal m_total;
    qint64 m_passes = 0;
    State m_state = State::Initial;
};

// ---- constants and mathematics ----

template <bool Value> class TRpEvFunctionBoolean : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 0)
            value = TRpEvValue::Error(QStringLiteral("Too many arguments"));
        else
            value = TRpEvValue::Boolean(Value);
    }
};

class TRpEvFunctionInt : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() == 1 && Argument(0).Kind() == evInteger) {
            value = Argument(0);
        } else if (ArgumentCount() == 1 && Argument(0).Kind() == evFloat
            && fitsInt32(std::trunc(Argument(0).AsFloat()))) {
            value = TRpEvValue::Integer(qint32(std::trunc(Argument(0).AsFloat())));
        } else {
            value = wrongArguments("INT");
        }
    }
};

class TRpEvFunctionFrac : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() == 1 && Argument(0).Kind() == evInteger)
            value = TRpEvValue::Float(0.0);
        else if (ArgumentCount() == 1 && Argument(0).Kind() == evFloat
            && std::isfinite(Argument(0).AsFloat()))
            value = TRpEvValue::Float(Argument(0).AsFloat() - std::trunc(Argument(0).AsFloat()));
        else
            value = plainError();
    }
};

class TRpEvFunctionSqrt : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() == 1 && Argument(0).IsNumeric() && Argument(0).AsFloat() >= 0.0)
            value = TRpEvValue::Float(std::sqrt(Argument(0).AsFloat()));
        else
            value = TRpEvValue::Error(QStringLiteral("Invalid argument to SQRT function"));
    }
};

class TRpEvFunctionDiv : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        qint32 x = 0;
        qint32 y = 0;
        if (ArgumentCount() != 2 || !wholeNumber(Argument(0), x) || !wholeNumber(Argument(1), y)) {
            value = wrongArguments("DIV");
        } else if (y == 0) {
            value = TRpEvValue::Error(QStringLiteral("Division by Zero"));
        } else if (x == std::numeric_limits<qint32>::min() && y == -1) {
            value = wrongArguments("DIV");
        } else {
            value = TRpEvValue::Integer(x / y);
        }
    }

private:
    // Floats round to the nearest whole number, halves to the even neighbour.
    static bool wholeNumber(const TRpEvValue &value, qint32 &result)
    {
        if (value.Kind() == evInteger) {
            result = value.AsInteger();
            return true;
        }
        if (value.Kind() != evFloat)
            return false;
        const double rounded = std::nearbyint(value.AsFloat());
        if (!fitsInt32(rounded))
            return false;
        result = qint32(rounded);
        return true;
    }
};

class TRpEvFunctionTypeOf : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 1)
            value = wrongArguments("TypeOf");
        else
            value = TRpEvValue::String(TRpEvValue::KindName(Argument(0).Kind()));
    }
};

class TRpEvFunctionFormatNumeric : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) override
    {
        if (ArgumentCount() != 2 || Argument(0).Kind() != evString || !Argument(1).IsNumeric()) {
            value = plainError();
            return;
        }
        QString text;
        if (!tryFormatNumberMask(Argument(0).Text(), Argument(1).AsFloat(), text))
            value = TRpEvValue::Error(QStringLiteral("Invalid format or value specified"));
        else
            value = TRpEvValue::String(text);
    }
};

} // namespace

int TRpLibraryEntry::Category() const
{
    if (Codes.isEmpty() || !Codes[0].isDigit())
        return 0;
    return Codes[0].digitValue();
}

TRpFunctionLibrary &TRpFunctionLibrary::Global()
{
    static TRpFunctionLibrary library = [] {
        TRpFunctionLibrary built;
        built.RegisterBuiltIns();
        return built;
    }();
    return library;
}

void TRpFunctionLibrary::RegisterFunction(TRpEvElementClass elementClass, const QString &name,
    const QString &description, const QString &codes, const QString &origin)
{
    const QString key = name.toUpper();
    for (TRpLibraryEntry &entry : m_entries) {
        if (entry.Name == key) {
            entry.ElementClass = std::move(elementClass);
            return;
        }
    }
    m_entries.push_back(TRpLibraryEntry { key, description, codes, origin, std::move(elementClass) });
}

void TRpFunctionLibrary::UnregisterFunction(const QString &name)
{
    const QString key = name.toUpper();
    std::erase_if(m_entries, [&](const TRpLibraryEntry &entry) { return entry.Name == key; });
}

const TRpLibraryEntry *TRpFunctionLibrary::Find(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (const TRpLibraryEntry &entry : m_entries) {
        if (entry.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

std::unique_ptr<TRpEvElement> TRpFunctionLibrary::LookupFunction(const QString &name) const
{
    if (const TRpLibraryEntry *entry = Find(name))
        return entry->ElementClass();
    return std::make_unique<TRpEvElementError>(QStringLiteral("Unknown function : %1").arg(name));
}

void TRpFunctionLibrary::RegisterBuiltIns()
{
    struct BuiltIn
    {
        const char *name;
        const char *codes;
        const char *syntax;
        const char *explanation;
        TRpEvElementClass elementClass;
    };
    const BuiltIn builtIns[] = {
        { "IF", "5BVV", "IF(<Exp>, <X>, <Y>)", "Returns <X> or <Y> depending on the boolean expression <Exp>",
            rpEvElementClass<TRpEvFunctionIf>() },
        { "STR", "7N", "STR(<X>)", "Convert a numeric <X> to a string",
            rpEvElementClass<TRpEvFunctionStr>() },
        { "UPPER", "7S", "UPPER(<X>)", "Converts a string to upper case letters",
            rpEvElementClass<TRpEvFunctionUpper>() },
        { "LOWER", "7S", "LOWER(<X>)", "Converts a string to lower case letters",
            rpEvElementClass<TRpEvFunctionLower>() },
        { "PRETTY", "7S", "PRETTY(<X>)", "Makes the first character upper case and the rest lower case",
            rpEvElementClass<TRpEvFunctionPretty>() },
        { "TIME", "1", "TIME", "Return current time as a string", rpEvElementClass<TRpEvFunctionTime>() },
        { "DATE", "1", "DATE", "Return current date as a string", rpEvElementClass<TRpEvFunctionDate>() },
        { "COPY", "7SNN", "COPY(<X>, <St>,<Len>)", "Returns a substring of string X",
            rpEvElementClass<TRpEvFunctionCopy>() },
        { "SUM", "3N", "SUM(<X>)", "Sums the numeric <X>", rpEvElementClass<TRpEvFunctionSum>() },
        { "COUNT", "3", "COUNT", "Increments for each iteration", rpEvElementClass<TRpEvFunctionCount>() },
        { "MAX", "3V", "MAX(<X>)", "Returns the highest <X>", rpEvElementClass<TRpEvFunctionMax>() },
        { "MIN", "3V", "MIN(<X>)", "Returns the lowest <X>", rpEvElementClass<TRpEvFunctionMin>() },
        { "AVERAGE", "3N", "AVERAGE(<X>)", "Returns the average of numeric <X>",
            rpEvElementClass<TRpEvFunctionAverage>() },
        { "TRUE", "5", "TRUE", "boolean value", rpEvElementClass<TRpEvFunctionBoolean<true>>() },
        { "FALSE", "5", "FALSE", "boolean value", rpEvElementClass<TRpEvFunctionBoolean<false>>() },
        { "INT", "2N", "INT(<X>)", "Returns the integer part of <X>", rpEvElementClass<TRpEvFunctionInt>() },
        { "FRAC", "2N", "FRAC(<X>)", "Returns the fractional part of <X>",
            rpEvElementClass<TRpEvFunctionFrac>() },
        { "SQRT", "2N", "SQRT(<X>)", "Returns square root of <X>", rpEvElementClass<TRpEvFunctionSqrt>() },
        { "DIV", "2NN", "DIV(<X>, <Y>) ", " Integer division of <X> by <Y>",
            rpEvElementClass<TRpEvFunctionDiv>() },
        { "TYPEOF", "6N", "TYPEOF(<Exp>)", "Returns the data type of <Exp>",
            rpEvElementClass<TRpEvFunctionTypeOf>() },
        { "FORMATNUMERIC", "7SN", "FORMATNUMERIC(<F>,<N>)", "Formats numeric <N> using the mask in <F>",
            rpEvElementClass<TRpEvFunctionFormatNumeric>() },
    };
    for (const BuiltIn &builtIn : builtIns) {
        RegisterFunction(builtIn.elementClass, QLatin1String(builtIn.name),
            QLatin1String(builtIn.syntax) + QLatin1Char('|') + QLatin1String(builtIn.explanation),
            QLatin1String(builtIn.codes), QLatin1String(kRpEvBuiltInOrigin));
    }
}
