#include "store/FilterExpr.h"

#include "platform/Cp1252.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "store/Fields.h"
#include "store/detail/ExprParser.h"

#include <QDate>
#include <QTime>
#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace filterdetail {

// Value types of the compiled expression. Temporal values travel as day counts (TDateTime).
enum class VType { Boolean, Text, Integer, Float, Date, Time, DateTime, Other };

bool isTemporal(VType t)
{
    return t == VType::Date || t == VType::Time || t == VType::DateTime;
}

bool isNumeric(VType t)
{
    return t == VType::Integer || t == VType::Float;
}

struct Val
{
    bool null = false;
    bool b = false;
    double n = 0;
    QString s;
};

class EvalNode
{
public:
    explicit EvalNode(VType type)
        : type(type)
    { }
    virtual ~EvalNode() = default;
    virtual void eval(const char *record, Val &out) const = 0;
    // Whether this node is a constant, so typing can convert it.
    virtual bool isConstant() const { return false; }
    VType type;
};

} // namespace filterdetail

using namespace filterdetail;

namespace {

constexpr int kMaxText = 255;

// Upper-case mapping of Windows-1252 bytes, for case-insensitive comparisons without decoding.
const std::array<unsigned char, 256> &foldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t {};
        for (int b = 0; b < 256; ++b) {
            t[size_t(b)] = static_cast<unsigned char>(b);
            const char byte = static_cast<char>(b);
            const QString upper = Cp1252::decode(QByteArrayView(&byte, 1)).toUpper();
            QByteArray encoded;
            if (upper.size() == 1 && Cp1252::encode(upper, encoded) && encoded.size() == 1)
                t[size_t(b)] = static_cast<unsigned char>(encoded[0]);
        }
        return t;
    }();
    return table;
}

bool sameBytes(const char *a, const char *b, int length, bool caseInsensitive)
{
    if (!caseInsensitive)
        return std::memcmp(a, b, size_t(length)) == 0;
    const auto &fold = foldTable();
    for (int i = 0; i < length; ++i)
        if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

bool compareResult(FilterOp op, int c)
{
    switch (op) {
    case FilterOp::Eq:
        return c == 0;
    case FilterOp::Ne:
        return c != 0;
    case FilterOp::Gt:
        return c > 0;
    case FilterOp::Lt:
        return c < 0;
    case FilterOp::Ge:
        return c >= 0;
    case FilterOp::Le:
        return c <= 0;
    default:
        return false;
    }
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

FilterOp mirrored(FilterOp op)
{
    switch (op) {
    case FilterOp::Gt:
        return FilterOp::Lt;
    case FilterOp::Lt:
        return FilterOp::Gt;
    case FilterOp::Ge:
        return FilterOp::Le;
    case FilterOp::Le:
        return FilterOp::Ge;
    default:
        return op;
    }
}

[[noreturn]] void typeMismatch()
{
    filterError(QStringLiteral("Type mismatch in expression"));
}

template <typename T> T readLE(const char *p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    return qFromLittleEndian(value);
}

// Reads a column's stored value as a number in its stored units.
using RawReader = double (*)(const char *);

RawReader rawReader(StoreType type, int size)
{
    switch (type) {
    case StoreType::Int8:
        return [](const char *p) { return double(static_cast<qint8>(*p)); };
    case StoreType::UInt8:
        return [](const char *p) { return double(static_cast<quint8>(*p)); };
    case StoreType::Int16:
        return [](const char *p) { return double(readLE<qint16>(p)); };
    case StoreType::UInt16:
        return [](const char *p) { return double(readLE<quint16>(p)); };
    case StoreType::Int32:
    case StoreType::Date:
    case StoreType::Time:
        return [](const char *p) { return double(readLE<qint32>(p)); };
    case StoreType::UInt32:
        return [](const char *p) { return double(readLE<quint32>(p)); };
    case StoreType::Int64:
        return [](const char *p) { return double(readLE<qint64>(p)); };
    case StoreType::UInt64:
        return [](const char *p) { return double(readLE<quint64>(p)); };
    case StoreType::Float:
    case StoreType::DateTimeStamp:
        return [](const char *p) { return readLE<double>(p); };
    case StoreType::Bool:
        if (size == 1)
            return [](const char *p) { return *p != 0 ? 1.0 : 0.0; };
        if (size == 4)
            return [](const char *p) { return readLE<qint32>(p) != 0 ? 1.0 : 0.0; };
        return [](const char *p) { return readLE<qint16>(p) != 0 ? 1.0 : 0.0; };
    default:
        return nullptr;
    }
}

VType vtypeOf(const ColumnDesc &column)
{
    switch (column.type) {
    case StoreType::Int8:
    case StoreType::Int16:
    case StoreType::Int32:
    case StoreType::Int64:
    case StoreType::UInt8:
    case StoreType::UInt16:
    case StoreType::UInt32:
    case StoreType::UInt64:
        return VType::Integer;
    case StoreType::Float:
        return VType::Float;
    case StoreType::Bool:
        return VType::Boolean;
    case StoreType::Date:
        return VType::Date;
    case StoreType::Time:
        return VType::Time;
    case StoreType::DateTimeStamp:
        return VType::DateTime;
    case StoreType::Text:
        return VType::Text;
    default:
        return VType::Other;
    }
}

// Stored units of a temporal column ↔ day counts.
double toStoredUnits(VType type, double days)
{
    switch (type) {
    case VType::Date:
        return std::floor(days) + double(DateTime::kDateDelta);
    case VType::Time:
        return std::round((days - std::floor(days)) * double(DateTime::kMsPerDay));
    case VType::DateTime:
        return DateTime::dateTimeToStamp(days);
    default:
        return days;
    }
}

double fromStoredUnits(VType type, double raw)
{
    switch (type) {
    case VType::Date:
        return raw - double(DateTime::kDateDelta);
    case VType::Time:
        return raw / double(DateTime::kMsPerDay);
    case VType::DateTime: {
        const double day = std::floor(raw / double(DateTime::kMsPerDay));
        return day - double(DateTime::kDateDelta)
            + (raw - day * double(DateTime::kMsPerDay)) / double(DateTime::kMsPerDay);
    }
    default:
        return raw;
    }
}

struct ColumnAccess
{
    int stateOffset = 0;
    int valueOffset = 0;
    int valueSize = 0;
    StoreType storeType = StoreType::Int32;
    RawReader reader = nullptr;

    bool isNull(const char *record) const { return record[stateOffset] != char(FieldState::Value); }
    int textLength(const char *record) const
    {
        const char *p = record + valueOffset;
        const void *zero = std::memchr(p, 0, size_t(valueSize));
        return zero ? int(static_cast<const char *>(zero) - p) : valueSize;
    }
};

// ---- nodes ----

class FieldValue : public EvalNode
{
public:
    FieldValue(VType type, ColumnAccess access)
        : EvalNode(type)
        , m_access(access)
    { }
    void eval(const char *record, Val &out) const override
    {
        out.null = m_access.isNull(record);
        out.b = false;
        out.n = 0;
        if (type == VType::Text) {
            out.s = out.null
                ? QString()
                : Cp1252::decode(QByteArrayView(record + m_access.valueOffset, m_access.textLength(record)));
            return;
        }
        out.s.clear();
        if (!out.null && m_access.reader)
            out.n = fromStoredUnits(type, m_access.reader(record + m_access.valueOffset));
        out.b = out.n != 0;
    }

private:
    ColumnAccess m_access;
};

class ConstValue : public EvalNode
{
public:
    ConstValue(VType type, Val value)
        : EvalNode(type)
        , m_value(std::move(value))
    { }
    void eval(const char *, Val &out) const override { out = m_value; }
    bool isConstant() const override { return true; }

private:
    Val m_value;
};

// A text column against a text constant, on the stored bytes.
class TextFieldCompare : public EvalNode
{
public:
    TextFieldCompare(ColumnAccess access, FilterOp op, QByteArray constant, bool encodable,
        QString constantText, bool caseInsensitive, int partial)
        : EvalNode(VType::Boolean)
        , m_access(access)
        , m_op(op)
        , m_bytes(std::move(constant))
        , m_encodable(encodable)
        , m_text(std::move(constantText))
        , m_caseInsensitive(caseInsensitive)
        , m_partial(partial)
    { }
    void eval(const char *record, Val &out) const override
    {
        out.null = m_access.isNull(record);
        const int length = out.null ? 0 : m_access.textLength(record);
        const char *text = record + m_access.valueOffset;
        if (m_op == FilterOp::Eq || m_op == FilterOp::Ne) {
            bool equal;
            if (!m_encodable)
                equal = false;
            else if (m_partial > 0)
                equal = length >= m_partial
                    && sameBytes(text, m_bytes.constData(), m_partial, m_caseInsensitive);
            else
                equal = length == m_bytes.size()
                    && sameBytes(text, m_bytes.constData(), length, m_caseInsensitive);
            out.b = (m_op == FilterOp::Eq) == equal;
            return;
        }
        const QString value = Cp1252::decode(QByteArrayView(text, length));
        const RegionalSettings &regional = RegionalSettings::current();
        const int c
            = m_caseInsensitive ? regional.compareText(value, m_text) : regional.compareStr(value, m_text);
        out.b = compareResult(m_op, c);
    }

private:
    ColumnAccess m_access;
    FilterOp m_op;
    QByteArray m_bytes;
    bool m_encodable;
    QString m_text;
    bool m_caseInsensitive;
    int m_partial;
};

// A numeric, boolean or temporal column against a constant in the column's stored units.
class NumberFieldCompare : public EvalNode
{
public:
    NumberFieldCompare(ColumnAccess access, FilterOp op, double constant)
        : EvalNode(VType::Boolean)
        , m_access(access)
        , m_op(op)
        , m_constant(constant)
    { }
    void eval(const char *record, Val &out) const override
    {
        out.null = m_access.isNull(record);
        const double value = out.null ? 0.0 : m_access.reader(record + m_access.valueOffset);
        out.b = compareResult(m_op, compareNumbers(value, m_constant));
    }

private:
    ColumnAccess m_access;
    FilterOp m_op;
    double m_constant;
};

class IsNullNode : public EvalNode
{
public:
    IsNullNode(std::unique_ptr<EvalNode> operand, bool negate)
        : EvalNode(VType::Boolean)
        , m_operand(std::move(operand))
        , m_negate(negate)
    { }
    void eval(const char *record, Val &out) const override
    {
        m_operand->eval(record, out);
        out.b = out.null != m_negate;
        out.null = false;
    }

private:
    std::unique_ptr<EvalNode> m_operand;
    bool m_negate;
};

// AND, OR, NOT work on their operands' values alone, whatever their null flags.
class LogicNode : public EvalNode
{
public:
    LogicNode(FilterOp op, std::vector<std::unique_ptr<EvalNode>> operands)
        : EvalNode(VType::Boolean)
        , m_op(op)
        , m_operands(std::move(operands))
    { }
    void eval(const char *record, Val &out) const override
    {
        if (m_op == FilterOp::Not) {
            m_operands[0]->eval(record, out);
            out.b = !out.b;
            out.null = false;
            return;
        }
        const bool stopOn = m_op == FilterOp::Or;
        for (const auto &operand : m_operands) {
            operand->eval(record, out);
            if (out.b == stopOn)
                break;
        }
        out.null = false;
    }

private:
    FilterOp m_op;
    std::vector<std::unique_ptr<EvalNode>> m_operands;
};

int compareValues(VType type, const Val &a, const Val &b, bool caseInsensitive)
{
    if (type == VType::Text) {
        const RegionalSettings &regional = RegionalSettings::current();
        if (!caseInsensitive && a.s == b.s)
            return 0;
        return caseInsensitive ? regional.compareText(a.s, b.s) : regional.compareStr(a.s, b.s);
    }
    return compareNumbers(a.n, b.n);
}

class CompareNode : public EvalNode
{
public:
    CompareNode(
        FilterOp op, std::unique_ptr<EvalNode> left, std::unique_ptr<EvalNode> right, VType compareType)
        : EvalNode(VType::Boolean)
        , m_op(op)
        , m_left(std::move(left))
        , m_right(std::move(right))
        , m_compareType(compareType)
    { }
    void eval(const char *record, Val &out) const override
    {
        Val left;
        Val right;
        m_left->eval(record, left);
        m_right->eval(record, right);
        out.null = left.null || right.null;
        out.b = compareResult(m_op, compareValues(m_compareType, left, right, false));
    }

private:
    FilterOp m_op;
    std::unique_ptr<EvalNode> m_left;
    std::unique_ptr<EvalNode> m_right;
    VType m_compareType;
};

// A LIKE pattern: "%" any run, "_" one character, "\" makes the next character literal (a trailing "\" is
// itself). Matched with a single backtrack point, so time stays proportional to text × pattern.
class LikePattern
{
public:
    LikePattern(const QString &pattern, bool caseInsensitive)
        : m_caseInsensitive(caseInsensitive)
    {
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const QChar c = pattern[i];
            if (c == u'\\' && i + 1 < pattern.size())
                m_items.push_back({ Item::Literal, fold(pattern[++i]) });
            else if (c == u'%')
                m_items.push_back({ Item::Any, QChar() });
            else if (c == u'_')
                m_items.push_back({ Item::One, QChar() });
            else
                m_items.push_back({ Item::Literal, fold(c) });
        }
    }

    bool matches(QStringView text) const
    {
        const qsizetype n = text.size();
        const qsizetype m = qsizetype(m_items.size());
        qsizetype t = 0;
        qsizetype p = 0;
        qsizetype starP = -1;
        qsizetype starT = 0;
        while (t < n) {
            if (p < m && m_items[size_t(p)].kind == Item::Any) {
                starP = p++;
                starT = t;
            } else if (p < m
                && (m_items[size_t(p)].kind == Item::One || m_items[size_t(p)].c == fold(text[t]))) {
                ++p;
                ++t;
            } else if (starP >= 0) {
                p = starP + 1;
                t = ++starT;
            } else {
                return false;
            }
        }
        while (p < m && m_items[size_t(p)].kind == Item::Any)
            ++p;
        return p == m;
    }

private:
    QChar fold(QChar c) const { return m_caseInsensitive ? c.toCaseFolded() : c; }

    struct Item
    {
        enum Kind { Literal, Any, One } kind;
        QChar c;
    };
    bool m_caseInsensitive;
    std::vector<Item> m_items;
};

class LikeNode : public EvalNode
{
public:
    LikeNode(std::unique_ptr<EvalNode> text, std::unique_ptr<EvalNode> pattern,
        std::optional<LikePattern> fixed, bool caseInsensitive)
        : EvalNode(VType::Boolean)
        , m_text(std::move(text))
        , m_pattern(std::move(pattern))
        , m_fixed(std::move(fixed))
        , m_caseInsensitive(caseInsensitive)
    { }
    void eval(const char *record, Val &out) const override
    {
        Val text;
        m_text->eval(record, text);
        if (m_fixed) {
            out.null = text.null;
            out.b = m_fixed->matches(text.s);
            return;
        }
        Val pattern;
        m_pattern->eval(record, pattern);
        out.null = text.null || pattern.null;
        out.b = LikePattern(pattern.s, m_caseInsensitive).matches(text.s);
    }

private:
    std::unique_ptr<EvalNode> m_text;
    std::unique_ptr<EvalNode> m_pattern;
    std::optional<LikePattern> m_fixed;
    bool m_caseInsensitive;
};

class InNode : public EvalNode
{
public:
    InNode(std::unique_ptr<EvalNode> left, std::vector<std::unique_ptr<EvalNode>> items, VType compareType)
        : EvalNode(VType::Boolean)
        , m_left(std::move(left))
        , m_items(std::move(items))
        , m_compareType(compareType)
    { }
    void eval(const char *record, Val &out) const override
    {
        Val left;
        Val item;
        m_left->eval(record, left);
        out.null = left.null;
        out.b = false;
        for (const auto &node : m_items) {
            node->eval(record, item);
            if (!item.null && compareValues(m_compareType, left, item, false) == 0) {
                out.b = true;
                return;
            }
        }
    }

private:
    std::unique_ptr<EvalNode> m_left;
    std::vector<std::unique_ptr<EvalNode>> m_items;
    VType m_compareType;
};

// Reads a text as a temporal value at evaluation time (a text expression against a date); a text that does
// not convert gives a null rather than an error in the middle of a scan.
class TextToTemporal : public EvalNode
{
public:
    TextToTemporal(VType type, std::unique_ptr<EvalNode> text)
        : EvalNode(type)
        , m_text(std::move(text))
    { }
    void eval(const char *record, Val &out) const override
    {
        m_text->eval(record, out);
        TDateTime value = 0;
        const RegionalSettings &regional = RegionalSettings::current();
        const bool ok = type == VType::Date ? regional.tryStrToDate(out.s, value)
            : type == VType::Time           ? regional.tryStrToTime(out.s, value)
                                            : regional.tryStrToDateTime(out.s, value);
        out.null = out.null || !ok;
        out.n = ok ? value : 0;
    }

private:
    std::unique_ptr<EvalNode> m_text;
};

class ArithNode : public EvalNode
{
public:
    ArithNode(VType type, FilterOp op, std::unique_ptr<EvalNode> left, std::unique_ptr<EvalNode> right)
        : EvalNode(type)
        , m_op(op)
        , m_left(std::move(left))
        , m_right(std::move(right))
    { }
    void eval(const char *record, Val &out) const override
    {
        Val left;
        Val right;
        m_left->eval(record, left);
        m_right->eval(record, right);
        out.null = left.null || right.null;
        if (type == VType::Text) {
            out.s = left.s + right.s;
            return;
        }
        switch (m_op) {
        case FilterOp::Add:
            out.n = left.n + right.n;
            break;
        case FilterOp::Sub:
            out.n = left.n - right.n;
            break;
        case FilterOp::Mul:
            out.n = left.n * right.n;
            break;
        default:
            if (right.n == 0)
                out.null = true;
            out.n = right.n == 0 ? 0 : left.n / right.n;
            break;
        }
    }

private:
    FilterOp m_op;
    std::unique_ptr<EvalNode> m_left;
    std::unique_ptr<EvalNode> m_right;
};

enum class Fn {
    Upper,
    Lower,
    Substring,
    Trim,
    TrimLeft,
    TrimRight,
    Year,
    Month,
    Day,
    Hour,
    Minute,
    Second,
    GetDate,
    Date,
    Time
};

QString textOf(VType type, const Val &v)
{
    if (type == VType::Text)
        return v.s;
    if (type == VType::Boolean)
        return v.b ? QStringLiteral("True") : QStringLiteral("False");
    const RegionalSettings &regional = RegionalSettings::current();
    switch (type) {
    case VType::Date:
        return regional.dateToStr(v.n);
    case VType::Time:
        return regional.timeToStr(v.n);
    case VType::DateTime:
        return regional.dateTimeToStr(v.n);
    default:
        return regional.floatToStr(v.n);
    }
}

class FunctionNode : public EvalNode
{
public:
    FunctionNode(VType type, Fn fn, std::vector<std::unique_ptr<EvalNode>> args)
        : EvalNode(type)
        , m_fn(fn)
        , m_args(std::move(args))
    { }
    void eval(const char *record, Val &out) const override
    {
        out = Val();
        if (m_fn == Fn::GetDate) {
            out.n = DateTime::now();
            return;
        }
        std::vector<Val> args(m_args.size());
        for (size_t i = 0; i < m_args.size(); ++i) {
            m_args[i]->eval(record, args[i]);
            out.null = out.null || args[i].null;
        }
        const Val &a = args[0];
        switch (m_fn) {
        case Fn::Upper:
            out.s = textOf(m_args[0]->type, a).toUpper();
            break;
        case Fn::Lower:
            out.s = textOf(m_args[0]->type, a).toLower();
            break;
        case Fn::Substring:
            out.s = substring(textOf(m_args[0]->type, a), args);
            break;
        case Fn::Trim:
        case Fn::TrimLeft:
        case Fn::TrimRight:
            out.s = trim(textOf(m_args[0]->type, a), args);
            break;
        case Fn::Date:
            out.n = std::floor(a.n);
            break;
        case Fn::Time:
            out.n = a.n - std::floor(a.n);
            break;
        default:
            out.n = part(a.n);
            break;
        }
    }

private:
    static qint64 clampedInt(double v)
    {
        if (!std::isfinite(v))
            return v > 0 ? std::numeric_limits<int>::max() : 0;
        return qint64(std::clamp(v, -1e9, 1e9));
    }

    QString substring(const QString &text, const std::vector<Val> &args) const
    {
        const qint64 start = args.size() > 1 ? clampedInt(args[1].n) : 1;
        const qint64 count = args.size() > 2 ? clampedInt(args[2].n) : qint64(text.size());
        qint64 from = std::max<qint64>(start, 1) - 1;
        if (from >= text.size() || count <= 0)
            return QString();
        const qint64 length = std::min<qint64>(count, text.size() - from);
        return text.mid(qsizetype(from), qsizetype(length));
    }

    QString trim(const QString &text, const std::vector<Val> &args) const
    {
        QChar what = u' ';
        if (args.size() > 1) {
            const QString chars = textOf(m_args[1]->type, args[1]);
            if (!chars.isEmpty())
                what = chars[0];
        }
        qsizetype begin = 0;
        qsizetype end = text.size();
        if (m_fn != Fn::TrimRight)
            while (begin < end && text[begin] == what)
                ++begin;
        if (m_fn != Fn::TrimLeft)
            while (end > begin && text[end - 1] == what)
                --end;
        return text.mid(begin, end - begin);
    }

    double part(double days) const
    {
        if (!DateTime::isValid(days))
            return 0;
        const QDate date = DateTime::toQDate(days);
        const QTime time = DateTime::toQTime(days);
        switch (m_fn) {
        case Fn::Year:
            return date.year();
        case Fn::Month:
            return date.month();
        case Fn::Day:
            return date.day();
        case Fn::Hour:
            return time.hour();
        case Fn::Minute:
            return time.minute();
        default:
            return time.second();
        }
    }

    Fn m_fn;
    std::vector<std::unique_ptr<EvalNode>> m_args;
};

// ---- typing and compilation ----

class Compiler
{
public:
    Compiler(TCustomMemTable &table, TFilterOptions options)
        : m_store(*table.store())
        , m_options(options)
    { }

    std::unique_ptr<EvalNode> condition(const FilterNode &node)
    {
        if (node.kind == FilterNode::Kind::Field && vtypeOf(column(node)) == VType::Boolean)
            return std::make_unique<NumberFieldCompare>(access(node), FilterOp::Ne, 0.0);
        auto compiled = compile(node);
        if (compiled->type != VType::Boolean)
            filterError(QStringLiteral("Incorrectly formed filter expression"));
        return compiled;
    }

private:
    const ColumnDesc &column(const FilterNode &field) const
    {
        return m_store.columns()[size_t(field.column)];
    }

    ColumnAccess access(const FilterNode &field) const
    {
        const RecordLayout &layout = m_store.layout();
        const ColumnDesc &desc = column(field);
        ColumnAccess a;
        a.stateOffset = layout.stateOffset(field.column);
        a.valueOffset = layout.valueOffset(field.column);
        a.valueSize = layout.valueSize(field.column);
        a.storeType = desc.type;
        a.reader = rawReader(desc.type, a.valueSize);
        return a;
    }

    static bool isLiteral(const FilterNode &node)
    {
        return node.kind == FilterNode::Kind::Constant
            && (node.constant == FilterNode::ConstantKind::Text
                || node.constant == FilterNode::ConstantKind::Number);
    }

    static bool isNullConstant(const FilterNode &node)
    {
        return node.kind == FilterNode::Kind::Constant && node.constant == FilterNode::ConstantKind::Null;
    }

    // A literal converted to a type; a column gives the integer range.
    static Val convert(const FilterNode &literal, VType type, const ColumnDesc *desc)
    {
        Val v;
        const RegionalSettings &regional = RegionalSettings::current();
        if (literal.constant == FilterNode::ConstantKind::True
            || literal.constant == FilterNode::ConstantKind::False) {
            if (type != VType::Boolean)
                typeMismatch();
            v.b = literal.constant == FilterNode::ConstantKind::True;
            v.n = v.b ? 1 : 0;
            return v;
        }
        const QString &text = literal.text;
        switch (type) {
        case VType::Text:
            v.s = text.left(kMaxText);
            break;
        case VType::Integer: {
            qint64 value = 0;
            if (!RegionalSettings::tryStrToInt(text.trimmed(), value))
                throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
            qint64 low = std::numeric_limits<qint32>::min();
            qint64 high = std::numeric_limits<qint32>::max();
            if (desc) {
                switch (desc->type) {
                case StoreType::Int8:
                    low = -128;
                    high = 127;
                    break;
                case StoreType::UInt8:
                    low = 0;
                    high = 255;
                    break;
                case StoreType::Int16:
                    low = -32768;
                    high = 32767;
                    break;
                case StoreType::UInt16:
                    low = 0;
                    high = 65535;
                    break;
                case StoreType::UInt32:
                    low = 0;
                    high = 4294967295LL;
                    break;
                case StoreType::Int64:
                case StoreType::UInt64:
                    low = std::numeric_limits<qint64>::min();
                    high = std::numeric_limits<qint64>::max();
                    break;
                default:
                    break;
                }
            }
            if (value < low || value > high)
                filterError(QStringLiteral("Constant out of range"));
            v.n = double(value);
            break;
        }
        case VType::Float:
            v.n = regional.strToFloat(text);
            break;
        case VType::Date:
            v.n = regional.strToDate(text);
            break;
        case VType::Time:
            v.n = regional.strToTime(text);
            break;
        case VType::DateTime:
            v.n = regional.strToDateTime(text);
            break;
        case VType::Boolean:
            if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                v.b = true;
            else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0)
                typeMismatch();
            v.n = v.b ? 1 : 0;
            break;
        default:
            filterError(QStringLiteral("Constant is not correct type %1").arg(text));
        }
        return v;
    }

    std::unique_ptr<EvalNode> constant(const FilterNode &node, VType type, const ColumnDesc *desc = nullptr)
    {
        return std::make_unique<ConstValue>(type, convert(node, type, desc));
    }

    // A constant on its own: a number literal is a float, a text stays text.
    std::unique_ptr<EvalNode> plainConstant(const FilterNode &node)
    {
        switch (node.constant) {
        case FilterNode::ConstantKind::Number:
            return constant(node, VType::Float);
        case FilterNode::ConstantKind::Text:
            return constant(node, VType::Text);
        case FilterNode::ConstantKind::Null: {
            Val v;
            v.null = true;
            return std::make_unique<ConstValue>(VType::Other, v);
        }
        default:
            return constant(node, VType::Boolean);
        }
    }

    std::unique_ptr<EvalNode> compile(const FilterNode &node)
    {
        switch (node.kind) {
        case FilterNode::Kind::Field:
            return std::make_unique<FieldValue>(vtypeOf(column(node)), access(node));
        case FilterNode::Kind::Constant:
            return plainConstant(node);
        case FilterNode::Kind::Function:
            return function(node);
        case FilterNode::Kind::Operator:
            break;
        }
        switch (node.op) {
        case FilterOp::And:
        case FilterOp::Or:
        case FilterOp::Not: {
            std::vector<std::unique_ptr<EvalNode>> operands;
            for (const auto &operand : node.operands)
                operands.push_back(condition(*operand));
            return std::make_unique<LogicNode>(node.op, std::move(operands));
        }
        case FilterOp::IsNull:
        case FilterOp::IsNotNull:
            return std::make_unique<IsNullNode>(compile(*node.operands[0]), node.op == FilterOp::IsNotNull);
        case FilterOp::Add:
        case FilterOp::Sub:
        case FilterOp::Mul:
        case FilterOp::Div:
            return arithmetic(node);
        case FilterOp::In:
            return inList(node);
        case FilterOp::Like:
            return like(node);
        default:
            return comparison(node);
        }
    }

    // Strips a trailing "*" prefix marker; returns the partial length (0 for none).
    int prefixMarker(QString &text) const
    {
        if ((m_options & foNoPartialCompare) || text.size() <= 1 || !text.endsWith(u'*'))
            return 0;
        text.chop(1);
        return int(text.size());
    }

    std::unique_ptr<EvalNode> comparison(const FilterNode &node)
    {
        const FilterNode *left = node.operands[0].get();
        const FilterNode *right = node.operands[1].get();
        FilterOp op = node.op;
        if (isNullConstant(*left)) {
            std::swap(left, right);
            op = mirrored(op);
        }
        if (isNullConstant(*right)) {
            if (op != FilterOp::Eq && op != FilterOp::Ne)
                filterError(QStringLiteral("NULL only allowed with '=' and '<>'"));
            return std::make_unique<IsNullNode>(compile(*left), op == FilterOp::Ne);
        }
        if (right->kind == FilterNode::Kind::Field && left->kind == FilterNode::Kind::Constant) {
            std::swap(left, right);
            op = mirrored(op);
        }
        if (left->kind == FilterNode::Kind::Field && right->kind == FilterNode::Kind::Constant)
            return fieldWithConstant(*left, op, *right);
        auto a = compile(*left);
        auto b = compile(*right);
        const VType type = unify(a, *left, b, *right);
        return std::make_unique<CompareNode>(op, std::move(a), std::move(b), type);
    }

    std::unique_ptr<EvalNode> fieldWithConstant(
        const FilterNode &field, FilterOp op, const FilterNode &literal)
    {
        const ColumnDesc &desc = column(field);
        const VType type = vtypeOf(desc);
        if (type == VType::Other)
            typeMismatch();
        const ColumnAccess a = access(field);
        Val value = convert(literal, type, &desc);
        if (type != VType::Text)
            return std::make_unique<NumberFieldCompare>(
                a, op, type == VType::Boolean ? value.n : toStoredUnits(type, value.n));
        bool caseInsensitive = false;
        int partial = 0;
        if ((op == FilterOp::Eq || op == FilterOp::Ne) && !value.s.isEmpty()) {
            caseInsensitive = (m_options & foCaseInsensitive) != 0;
            partial = prefixMarker(value.s);
        }
        QByteArray bytes;
        const bool encodable = Cp1252::encode(value.s, bytes);
        return std::make_unique<TextFieldCompare>(a, op, bytes, encodable, value.s, caseInsensitive, partial);
    }

    // Brings two compiled operands to one comparison type, converting constants to the other side's type.
    VType unify(std::unique_ptr<EvalNode> &a, const FilterNode &na, std::unique_ptr<EvalNode> &b,
        const FilterNode &nb)
    {
        if (a->type == VType::Other || b->type == VType::Other)
            typeMismatch();
        if (a->type == b->type || (isNumeric(a->type) && isNumeric(b->type)))
            return a->type == VType::Text ? VType::Text
                                          : (a->type == VType::Boolean ? VType::Boolean : VType::Float);
        if (isLiteral(nb) && (isLiteral(na) ? a->type != VType::Text : true)) {
            b = constant(nb, a->type);
            return a->type == VType::Text ? VType::Text : VType::Float;
        }
        if (isLiteral(na)) {
            a = constant(na, b->type);
            return b->type == VType::Text ? VType::Text : VType::Float;
        }
        if (isTemporal(a->type) && b->type == VType::Text) {
            b = std::make_unique<TextToTemporal>(a->type, std::move(b));
            return VType::Float;
        }
        if (isTemporal(b->type) && a->type == VType::Text) {
            a = std::make_unique<TextToTemporal>(b->type, std::move(a));
            return VType::Float;
        }
        if ((isTemporal(a->type) || isNumeric(a->type)) && (isTemporal(b->type) || isNumeric(b->type)))
            return VType::Float;
        typeMismatch();
    }

    std::unique_ptr<EvalNode> like(const FilterNode &node)
    {
        const FilterNode &left = *node.operands[0];
        const FilterNode &right = *node.operands[1];
        auto text = compile(left);
        if (text->type != VType::Text)
            typeMismatch();
        const bool caseInsensitive = (m_options & foCaseInsensitive) != 0;
        if (isLiteral(right)) {
            QString pattern = right.text.left(kMaxText);
            prefixMarker(pattern);
            return std::make_unique<LikeNode>(
                std::move(text), nullptr, LikePattern(pattern, caseInsensitive), caseInsensitive);
        }
        auto pattern = compile(right);
        if (pattern->type != VType::Text)
            typeMismatch();
        return std::make_unique<LikeNode>(std::move(text), std::move(pattern), std::nullopt, caseInsensitive);
    }

    std::unique_ptr<EvalNode> inList(const FilterNode &node)
    {
        const FilterNode &leftNode = *node.operands[0];
        auto left = compile(leftNode);
        if (left->type == VType::Other)
            typeMismatch();
        const ColumnDesc *desc = leftNode.kind == FilterNode::Kind::Field ? &column(leftNode) : nullptr;
        std::vector<std::unique_ptr<EvalNode>> items;
        VType compareType = left->type == VType::Text ? VType::Text : VType::Float;
        for (size_t i = 1; i < node.operands.size(); ++i) {
            const FilterNode &itemNode = *node.operands[i];
            if (isLiteral(itemNode)) {
                items.push_back(constant(itemNode, left->type, desc));
                continue;
            }
            auto item = compile(itemNode);
            if (item->type == VType::Other)
                typeMismatch();
            const bool textSide = item->type == VType::Text || left->type == VType::Text;
            if (textSide && item->type != left->type) {
                if (isTemporal(left->type))
                    item = std::make_unique<TextToTemporal>(left->type, std::move(item));
                else
                    typeMismatch();
            }
            items.push_back(std::move(item));
        }
        return std::make_unique<InNode>(std::move(left), std::move(items), compareType);
    }

    std::unique_ptr<EvalNode> arithmetic(const FilterNode &node)
    {
        const FilterNode &ln = *node.operands[0];
        const FilterNode &rn = *node.operands[1];
        auto a = compile(ln);
        auto b = compile(rn);
        const VType ta = a->type;
        const VType tb = b->type;
        const FilterOp op = node.op;
        VType result;
        if (isNumeric(ta) && isNumeric(tb)) {
            result = VType::Float;
        } else if (ta == VType::Text && tb == VType::Text && op == FilterOp::Add) {
            result = VType::Text;
        } else if (ta == VType::DateTime && isNumeric(tb) && op == FilterOp::Add) {
            result = VType::DateTime;
        } else if (isTemporal(ta) && isNumeric(tb) && op == FilterOp::Sub) {
            result = ta;
        } else if (isTemporal(ta) && isTemporal(tb) && op == FilterOp::Sub) {
            result = VType::Float;
        } else if (ta == VType::Text && isLiteral(ln) && isTemporal(tb) && op == FilterOp::Sub) {
            a = constant(ln, tb);
            result = VType::Float;
        } else if (ta == VType::Text && isLiteral(ln) && isNumeric(tb)
            && (op == FilterOp::Add || op == FilterOp::Sub)) {
            a = constant(ln, VType::DateTime);
            result = VType::DateTime;
        } else if (tb == VType::Text && isLiteral(rn) && isNumeric(ta) && op == FilterOp::Add) {
            b = constant(rn, VType::DateTime);
            result = VType::DateTime;
        } else {
            typeMismatch();
        }
        return std::make_unique<ArithNode>(result, op, std::move(a), std::move(b));
    }

    std::unique_ptr<EvalNode> function(const FilterNode &node)
    {
        if (node.aggregate)
            filterError(QStringLiteral("Aggregate expressions not allowed in filters"));
        static const std::pair<const char *, Fn> names[] = {
            { "UPPER", Fn::Upper },
            { "LOWER", Fn::Lower },
            { "SUBSTRING", Fn::Substring },
            { "TRIM", Fn::Trim },
            { "TRIMLEFT", Fn::TrimLeft },
            { "TRIMRIGHT", Fn::TrimRight },
            { "YEAR", Fn::Year },
            { "MONTH", Fn::Month },
            { "DAY", Fn::Day },
            { "HOUR", Fn::Hour },
            { "MINUTE", Fn::Minute },
            { "SECOND", Fn::Second },
            { "GETDATE", Fn::GetDate },
            { "DATE", Fn::Date },
            { "TIME", Fn::Time },
        };
        Fn fn = Fn::Upper;
        for (const auto &[name, value] : names)
            if (node.text == QLatin1String(name))
                fn = value;
        if (fn == Fn::GetDate)
            return std::make_unique<FunctionNode>(
                VType::DateTime, fn, std::vector<std::unique_ptr<EvalNode>>());
        if (node.operands.empty())
            typeMismatch();
        std::vector<std::unique_ptr<EvalNode>> args;
        for (const auto &operand : node.operands) {
            auto arg = compile(*operand);
            if (arg->type == VType::Other)
                typeMismatch();
            args.push_back(std::move(arg));
        }
        VType type = VType::Text;
        switch (fn) {
        case Fn::Upper:
        case Fn::Lower:
        case Fn::Substring:
        case Fn::Trim:
        case Fn::TrimLeft:
        case Fn::TrimRight:
            if (fn == Fn::Substring)
                for (size_t i = 1; i < args.size(); ++i)
                    if (!isNumeric(args[i]->type)) {
                        if (!isLiteral(*node.operands[i]))
                            typeMismatch();
                        args[i] = constant(*node.operands[i], VType::Integer);
                    }
            type = VType::Text;
            break;
        default: {
            const bool datePart = fn == Fn::Year || fn == Fn::Month || fn == Fn::Day || fn == Fn::Date;
            if (!isTemporal(args[0]->type)) {
                if (args[0]->type != VType::Text)
                    typeMismatch();
                if (isLiteral(*node.operands[0]))
                    args[0] = constant(*node.operands[0], VType::DateTime);
                else
                    args[0] = std::make_unique<TextToTemporal>(VType::DateTime, std::move(args[0]));
            }
            type = fn == Fn::Date ? VType::Date : fn == Fn::Time ? VType::Time : VType::Integer;
            Q_UNUSED(datePart);
            break;
        }
        }
        return std::make_unique<FunctionNode>(type, fn, std::move(args));
    }

    const IRecordStore &m_store;
    TFilterOptions m_options;
};

} // namespace

TFilterExpr::TFilterExpr(std::unique_ptr<EvalNode> root)
    : m_root(std::move(root))
{ }

TFilterExpr::~TFilterExpr() = default;

bool TFilterExpr::evaluate(const char *record) const
{
    Val result;
    m_root->eval(record, result);
    return !result.null && result.b;
}

std::shared_ptr<const TFilterExpr> TExprParser::parse(
    TCustomMemTable &table, const QString &text, TFilterOptions options, bool extendedSyntax)
{
    if (!table.store())
        filterError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    const std::unique_ptr<FilterNode> tree = parseFilterText(table, text, extendedSyntax);
    Compiler compiler(table, options);
    return std::make_shared<const TFilterExpr>(compiler.condition(*tree));
}

IRecordCursor::RowFilter compileTableFilter(
    TCustomMemTable &table, const QString &text, TFilterOptions options)
{
    std::shared_ptr<const TFilterExpr> expr = TExprParser::parse(table, text, options, true);
    return [expr](const char *record) { return expr->evaluate(record); };
}

QString findRowFilterText(
    TCustomMemTable &table, const QString &fieldNames, const QVariantList &keyValues, TLocateOptions options)
{
    const QStringList names = fieldNames.split(u';', Qt::SkipEmptyParts);
    QStringList conditions;
    const RegionalSettings &regional = RegionalSettings::current();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString name = names[i].trimmed();
        TField *field = table.LookupField(name);
        if (!field)
            filterError(QStringLiteral("Field '%1' not found").arg(name));
        const QVariant value = i < keyValues.size() ? keyValues[i] : QVariant();
        const QString bracketed = QLatin1Char('[') + field->FieldName() + QLatin1Char(']');
        if (value.isNull()) {
            conditions << bracketed + QStringLiteral(" IS NULL");
            continue;
        }
        QString literal;
        switch (field->DataType()) {
        case ftString:
        case ftFixedChar:
        case ftWideString: {
            QString text = value.toString();
            text.replace(QLatin1String("'"), QLatin1String("''"));
            if (i == names.size() - 1 && (options & loPartialKey))
                text += u'*';
            literal = QLatin1Char('\'') + text + QLatin1Char('\'');
            break;
        }
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint: {
            qint64 number = 0;
            bool ok = false;
            if (value.typeId() == QMetaType::QString)
                ok = RegionalSettings::tryStrToInt(value.toString().trimmed(), number);
            else
                number = value.toLongLong(&ok);
            if (!ok)
                throw EConvertError(
                    QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
            literal = QString::number(number);
            break;
        }
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftFMTBcd: {
            double number = 0;
            if (value.typeId() == QMetaType::QString)
                number = regional.strToFloat(value.toString());
            else
                number = value.toDouble();
            if (!std::isfinite(number))
                throw EConvertError(
                    QStringLiteral("'%1' is not a valid floating point value").arg(value.toString()));
            literal = regional.floatToStr(number, 17);
            break;
        }
        case ftDate:
        case ftTime:
        case ftDateTime:
        case ftTimeStamp: {
            TDateTime moment = 0;
            if (value.typeId() == QMetaType::QString)
                moment = regional.strToDateTime(value.toString());
            else if (value.typeId() == QMetaType::QDateTime)
                moment = DateTime::fromQDateTime(value.toDateTime());
            else if (value.typeId() == QMetaType::QDate)
                moment = DateTime::fromQDate(value.toDate());
            else
                moment = value.toDouble();
            const QString text = field->DataType() == ftDate ? regional.dateToStr(moment)
                : field->DataType() == ftTime                ? regional.timeToStr(moment)
                                                             : regional.dateTimeToStr(moment);
            literal = QLatin1Char('\'') + text + QLatin1Char('\'');
            break;
        }
        default:
            filterError(QStringLiteral("Field '%1' is of an unsupported type").arg(field->FieldName()));
        }
        conditions << bracketed + QLatin1Char('=') + literal;
    }
    return conditions.join(QStringLiteral(" and "));
}
