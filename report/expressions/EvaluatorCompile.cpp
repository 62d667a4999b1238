// Compilation of report expressions: the text is split recursively at the first top-level operator of each
// level (comparison, then "+" "-" " or ", then "*" "/" " and ") down to factors. The splitting decides how
// unusual expressions read, so it follows the language's rules to the letter: one comparison outside
// parentheses, "a - b + c" as (a - b) + c by flipping signs in the right part, and so on.
#include "report/expressions/Evaluator.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorLibrary.h"

namespace {

// Validating evaluators computing on this thread, counted across nested computations.
thread_local int t_validating = 0;

// Marks the computation as a validation for its duration when the evaluator validates.
class ValidatingScope
{
public:
    explicit ValidatingScope(bool on)
        : m_on(on)
    {
        if (m_on)
            ++t_validating;
    }
    ~ValidatingScope()
    {
        if (m_on)
            --t_validating;
    }
    ValidatingScope(const ValidatingScope &) = delete;
    ValidatingScope &operator=(const ValidatingScope &) = delete;

private:
    bool m_on;
};

enum class Level { Comparison, Sum, Product };

struct Split
{
    qsizetype at = -1; // first character of the operator
    qsizetype rightStart = -1; // first character of the right part
    TRpEvOperator op = opAdd;
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool wordAt(const QString &text, qsizetype i, QLatin1StringView word)
{
    return QStringView(text).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// The operator of a level that starts at position i, if any.
bool operatorAt(const QString &text, qsizetype i, Level level, Split &split)
{
    const QChar c = text[i];
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    split.at = i;
    split.rightStart = i + 1;
    switch (level) {
    case Level::Comparison:
        if (c == QLatin1Char('<')) {
            split.op = next == QLatin1Char('>') ? opNotEqual
                : next == QLatin1Char('=')      ? opLessEqual
                                                : opLess;
            split.rightStart = split.op == opLess ? i + 1 : i + 2;
            return true;
        }
        if (c == QLatin1Char('>')) {
            split.op = next == QLatin1Char('=') ? opGreaterEqual : opGreater;
            split.rightStart = split.op == opGreater ? i + 1 : i + 2;
            return true;
        }
        if (c == QLatin1Char('=')) {
            split.op = opEqual;
            return true;
        }
        return false;
    case Level::Sum:
        if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
            split.op = c == QLatin1Char('+') ? opAdd : opSubtract;
            return true;
        }
        if (c == QLatin1Char(' ') && wordAt(text, i + 1, QLatin1StringView("or "))) {
            split.op = opOr;
            split.rightStart = i + 3;
            return true;
        }
        return false;
    case Level::Product:
        if (c == QLatin1Char('*') || c == QLatin1Char('/')) {
            split.op = c == QLatin1Char('*') ? opMultiply : opDivide;
            return true;
        }
        if (c == QLatin1Char(' ') && wordAt(text, i + 1, QLatin1StringView("and "))) {
            split.op = opAnd;
            split.rightStart = i + 4;
            return true;
        }
        return false;
    }
    return false;
}

// The first operator of the level at top level: outside quoted strings, outside square brackets, at
// parenthesis depth 0, and neither the first nor the last character.
bool findOperator(const QString &text, Level level, Split &split)
{
    bool inString = false;
    bool inBracket = false;
    int depth = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') && !inBracket) {
            inString = !inString;
            continue;
        }
        if (inString)
            continue;
        if (inBracket) {
            if (c == QLatin1Char(']'))
                inBracket = false;
            continue;
        }
        if (c == QLatin1Char('[')) {
            inBracket = true;
            continue;
        }
        if (c == QLatin1Char('(')) {
            ++depth;
            continue;
        }
        if (c == QLatin1Char(')')) {
            --depth;
            continue;
        }
        if (depth == 0 && i >= 1 && i <= n - 2 && operatorAt(text, i, level, split))
            return true;
    }
    return false;
}

// Swaps two characters outside quotes at parenthesis depth 0 (square brackets do not protect), so that the
// right part of "a - b + c" reads as b - c and that of "a / b * c" as b / c.
QString swapTopLevel(const QString &text, QChar a, QChar b)
{
    QString result = text;
    bool inString = false;
    int depth = 0;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result[i];
        if (c == QLatin1Char('\'')) {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && c == a) {
            result[i] = b;
        } else if (depth == 0 && c == b) {
            result[i] = a;
        }
    }
    return result;
}

// Leading and trailing blanks and control characters are removed from a factor.
QString trimFactor(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

// Argument text split at top-level commas (outside quotes, at parenthesis depth 0; the last character is
// never a separator). An empty last piece is dropped, so "F()" has no arguments.
QStringList splitArguments(const QString &text)
{
    QStringList pieces;
    bool inString = false;
    int depth = 0;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'')) {
            inString = !inString;
        } else if (inString) {
            continue;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (c == QLatin1Char(',') && depth == 0 && i < n - 1) {
            pieces.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    const QString last = text.mid(start);
    if (!trimFactor(last).isEmpty())
        pieces.append(last);
    return pieces;
}

std::unique_ptr<TRpEvElement> errorElement(const QString &message)
{
    return std::make_unique<TRpEvElementError>(message);
}

QString missing(const char *what)
{
    return QStringLiteral("Missing %1").arg(QLatin1String(what));
}

} // namespace

void TRpEvaluator::Emit(std::unique_ptr<TRpEvElement> element)
{
    m_list->Add(std::move(element));
}

bool TRpEvaluator::tooDeep(int depth)
{
    if (depth <= kRpEvMaxDepth)
        return false;
    Emit(errorElement(QString::fromLatin1(kRpEvTooDeepMessage)));
    return true;
}

void TRpEvaluator::CompileExpression(const QString &text, int depth)
{
    if (tooDeep(depth))
        return;
    Split split;
    if (!findOperator(text, Level::Comparison, split))
        return compileSimple(text, depth);
    Emit(std::make_unique<TRpEvElementOperator>(split.op));
    compileSimple(text.left(split.at), depth + 1);
    compileSimple(text.mid(split.rightStart), depth + 1);
}

void TRpEvaluator::compileSimple(const QString &text, int depth)
{
    if (tooDeep(depth))
        return;
    Split split;
    if (!findOperator(text, Level::Sum, split))
        return compileTerm(text, depth);
    Emit(std::make_unique<TRpEvElementOperator>(split.op));
    compileTerm(text.left(split.at), depth + 1);
    QString right = text.mid(split.rightStart);
    if (split.op == opSubtract)
        right = swapTopLevel(right, QLatin1Char('+'), QLatin1Char('-'));
    compileSimple(right, depth + 1);
}

void TRpEvaluator::compileTerm(const QString &text, int depth)
{
    if (tooDeep(depth))
        return;
    Split split;
    if (!findOperator(text, Level::Product, split))
        return compileFactor(text, depth);
    Emit(std::make_unique<TRpEvElementOperator>(split.op));
    compileFactor(text.left(split.at), depth + 1);
    QString right = text.mid(split.rightStart);
    if (split.op == opDivide)
        right = swapTopLevel(right, QLatin1Char('*'), QLatin1Char('/'));
    compileTerm(right, depth + 1);
}

void TRpEvaluator::compileFactor(const QString &text, int depth)
{
    if (tooDeep(depth))
        return;
    const QString factor = trimFactor(text);
    if (factor.isEmpty())
        return Emit(errorElement(QStringLiteral("Error in expression : ")));
    const QChar first = factor[0];
    const QChar last = factor[factor.size() - 1];
    if (wordAt(factor, 0, QLatin1StringView("not"))) {
        Emit(std::make_unique<TRpEvElementOperator>(opNot));
        return compileSimple(factor.mid(3), depth + 1);
    }
    if (first == QLatin1Char('\'')) {
        if (factor.size() < 2 || last != QLatin1Char('\''))
            return Emit(errorElement(missing("'")));
        return Emit(std::make_unique<TRpEvElementString>(factor.mid(1, factor.size() - 2)));
    }
    if (first == QLatin1Char('(')) {
        if (factor.size() < 2 || last != QLatin1Char(')'))
            return Emit(errorElement(missing(")")));
        return CompileExpression(factor.mid(1, factor.size() - 2), depth + 1);
    }
    if (first == QLatin1Char('+'))
        return compileFactor(factor.mid(1), depth + 1);
    if (first == QLatin1Char('-'))
        return compileSimple(QStringLiteral("0-") + factor.mid(1), depth + 1);
    if (isDigit(first))
        return compileNumber(factor);
    if (first.isLetter())
        return compileWord(factor, depth);
    if (first == QLatin1Char('[')) {
        if (factor.size() < 2 || last != QLatin1Char(']'))
            return Emit(errorElement(missing("]")));
        return Emit(ResolveName(factor.mid(1, factor.size() - 2)));
    }
    Emit(errorElement(QStringLiteral("Error in expression : %1").arg(factor)));
}

void TRpEvaluator::compileNumber(const QString &text)
{
    auto isFloatChar = [](QChar c) {
        return c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')
            || c == QLatin1Char('E') || c == QLatin1Char('e');
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isDigit(text[i]))
        ++i;
    const bool isFloat = i < n && isFloatChar(text[i]);
    if (isFloat) {
        while (i < n && (isDigit(text[i]) || isFloatChar(text[i])))
            ++i;
    }
    const auto illegal = [&] {
        Emit(errorElement(QStringLiteral("Illegal character in numeric contant \"%1\"").arg(text)));
    };
    if (i != n)
        return illegal();
    const RegionalSettings &settings = RegionalSettings::current();
    if (!isFloat) {
        qint64 integer = 0;
        if (n <= 18 && RegionalSettings::tryStrToInt(text, integer))
            return Emit(std::make_unique<TRpEvElementConstant>(TRpEvValue::Integer64(integer)));
    }
    QString number = text;
    number.replace(QLatin1Char('.'), settings.decimalSeparator());
    double value = 0.0;
    if (!settings.tryStrToFloat(number, value))
        return illegal();
    Emit(std::make_unique<TRpEvElementConstant>(TRpEvValue::Float(value)));
}

void TRpEvaluator::compileWord(const QString &text, int depth)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open < 0)
        return ResolveFunction(text, QString(), depth);
    QString arguments = text.mid(open + 1);
    if (!text.endsWith(QLatin1Char(')')))
        return ResolveFunction(QString(), arguments.isNull() ? QStringLiteral("") : arguments, depth);
    arguments.chop(1);
    ResolveFunction(text.left(open), arguments.isNull() ? QStringLiteral("") : arguments, depth);
}

// `argumentText` is null for a bare word and not null (possibly empty) for a call with parentheses.
void TRpEvaluator::ResolveFunction(const QString &name, const QString &argumentText, int depth)
{
    const TRpLibraryEntry *entry = TRpFunctionLibrary::Global().Find(name);
    if (!entry) {
        if (!argumentText.isNull() || name.isEmpty())
            return Emit(errorElement(QStringLiteral("Unknown function : %1").arg(name)));
        return Emit(ResolveName(name));
    }
    Emit(entry->ElementClass());
    for (const QString &piece : splitArguments(argumentText))
        CompileExpression(piece, depth + 1);
    Emit(std::make_unique<TRpEvElementArgumentEnd>());
}

std::unique_ptr<TRpEvElement> TRpEvaluator::ResolveName(const QString &name)
{
    if (m_dataSets) {
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        const QString dataSetName = dot < 0 ? QString() : name.left(dot).toUpper();
        const QString fieldName = (dot < 0 ? name : name.mid(dot + 1)).toUpper();
        for (IRpEvDataSet *dataSet : *m_dataSets) {
            if (!dataSet)
                continue;
            if (!dataSetName.isEmpty() && dataSet->Name().compare(dataSetName, Qt::CaseInsensitive) != 0)
                continue;
            const int index = dataSet->FindField(fieldName);
            if (index >= 0)
                return std::make_unique<TRpEvElementDataField>(dataSet, index);
            if (!dataSetName.isEmpty())
                break;
        }
    }
    if (m_environment && m_environment->IndexOf(name) >= 0)
        return m_environment->NamedElement(name);
    return TRpEvEnvironment::GlobalEnvironment().NamedElement(name);
}

// ---- the evaluator ----

TRpEvaluator::TRpEvaluator(TRpEvEnvironment *environment, const TRpEvDataSetList *dataSets)
    : m_environment(environment)
    , m_dataSets(dataSets)
{ }

TRpEvaluator::~TRpEvaluator()
{
    Discard();
}

void TRpEvaluator::Compile(const QString &text)
{
    Discard();
    TRpEvEnvironment::GlobalEnvironment().PrepareEnvironment();
    m_list = std::make_unique<TRpFiFo>();
    m_compiled = true;
    CompileExpression(text.isEmpty() ? QStringLiteral("' '") : text, 0);
    m_list->Seal();
}

void TRpEvaluator::Compute(TRpEvValue &value)
{
    if (!m_compiled)
        throw Exception(QStringLiteral("Evaluator not prepared"));
    if (m_list->Empty()) {
        value = TRpEvValue::Error(QString());
        return;
    }
    if (TRpEvElement *error = m_list->CompileError()) {
        error->ValueOf(*m_list, value);
        return;
    }
    ValidatingScope validating(m_validating);
    m_list->SetPosition(0);
    m_list->ComputeNext(value);
}

bool TRpEvaluator::IsValidating()
{
    return t_validating > 0;
}

TRpEvValue TRpEvaluator::Compute()
{
    TRpEvValue value;
    Compute(value);
    return value;
}

void TRpEvaluator::Accumulate()
{
    if (!m_compiled)
        throw Exception(QStringLiteral("Evaluator not prepared"));
    struct FlagGuard
    {
        TRpFiFo &list;
        explicit FlagGuard(TRpFiFo &l)
            : list(l)
        {
            list.SetAggregateFlag(true);
        }
        ~FlagGuard() { list.SetAggregateFlag(false); }
    } guard(*m_list);
    TRpEvValue ignored;
    Compute(ignored);
}

void TRpEvaluator::ResetAggregates()
{
    if (!m_list)
        return;
    for (int i = 0; i < m_list->Count(); ++i)
        m_list->Item(i)->ResetState();
}

bool TRpEvaluator::HasAggregates() const
{
    if (!m_list)
        return false;
    for (int i = 0; i < m_list->Count(); ++i) {
        if (m_list->Item(i)->Aggregate())
            return true;
    }
    return false;
}

void TRpEvaluator::ComputeOnce(const QString &text, TRpEvValue &value)
{
    Compile(text);
    try {
        Compute(value);
    } catch (...) {
        Discard();
        throw;
    }
    Discard();
}

void TRpEvaluator::Discard()
{
    if (!m_compiled)
        return;
    m_list.reset();
    m_compiled = false;
    TRpEvEnvironment::unprepareGlobal();
}
