#include "report/expressions/Evaluator.h"

#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorLibrary.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

const char *const kRpEvTooDeepMessage = "Expression nested more than 256 levels deep";

namespace {

// Nesting of elements being computed on this thread, across named expressions.
thread_local int t_computeDepth = 0;

class ComputeDepthGuard
{
public:
    ComputeDepthGuard() { ++t_computeDepth; }
    ~ComputeDepthGuard() { --t_computeDepth; }
    ComputeDepthGuard(const ComputeDepthGuard &) = delete;
    ComputeDepthGuard &operator=(const ComputeDepthGuard &) = delete;
    bool tooDeep() const { return t_computeDepth > kRpEvMaxDepth; }
};

// Leaves the element's operands unread and gives the nesting error.
void refuseTooDeep(TRpFiFo &list, const TRpEvElement &element, TRpEvValue &value)
{
    list.SetPosition(element.SubtreeEnd());
    value = TRpEvValue::Error(QString::fromLatin1(kRpEvTooDeepMessage));
}

QString operatorText(TRpEvOperator op)
{
    switch (op) {
    case opLess:
        return QStringLiteral("<");
    case opLessEqual:
        return QStringLiteral("<=");
    case opGreater:
        return QStringLiteral(">");
    case opGreaterEqual:
        return QStringLiteral(">=");
    case opEqual:
        return QStringLiteral("=");
    case opNotEqual:
        return QStringLiteral("<>");
    case opAdd:
        return QStringLiteral("+");
    case opSubtract:
        return QStringLiteral("-");
    case opMultiply:
        return QStringLiteral("*");
    case opDivide:
        return QStringLiteral("/");
    case opOr:
        return QStringLiteral("OR");
    case opAnd:
        return QStringLiteral("AND");
    case opNot:
        return QStringLiteral("NOT");
    }
    return QString();
}

TRpEvValue incompatible(TRpEvOperator op, const char *kind)
{
    return TRpEvValue::Error(QStringLiteral("Operator %1 is not compatible with %2 expressions")
                                 .arg(operatorText(op), QLatin1String(kind)));
}

TRpEvValue cannot(TRpEvOperator op, const char *kind)
{
    const char *verb = op == opAdd ? "add"
        : op == opSubtract         ? "subtract"
        : op == opMultiply         ? "multiply"
                                   : "divide";
    return TRpEvValue::Error(
        QStringLiteral("Cannot %1 %2 expressions").arg(QLatin1String(verb), QLatin1String(kind)));
}

template <typename T> TRpEvValue compareValues(TRpEvOperator op, const T &a, const T &b)
{
    switch (op) {
    case opLess:
        return TRpEvValue::Boolean(a < b);
    case opLessEqual:
        return TRpEvValue::Boolean(a <= b);
    case opGreater:
        return TRpEvValue::Boolean(a > b);
    case opGreaterEqual:
        return TRpEvValue::Boolean(a >= b);
    case opEqual:
        return TRpEvValue::Boolean(a == b);
    default:
        return TRpEvValue::Boolean(a != b);
    }
}

bool isComparison(TRpEvOperator op)
{
    return op <= opNotEqual;
}

TRpEvValue applyInteger(TRpEvOperator op, qint32 a, qint32 b)
{
    if (isComparison(op))
        return compareValues(op, a, b);
    const qint64 x = a;
    const qint64 y = b;
    switch (op) {
    case opAdd:
        return TRpEvValue::Integer64(x + y);
    case opSubtract:
        return TRpEvValue::Integer64(x - y);
    case opMultiply:
        return TRpEvValue::Integer64(x * y);
    case opDivide:
        if (b == 0)
            return TRpEvValue::Error(QStringLiteral("Cannot divide by 0"));
        return TRpEvValue::Float(double(a) / double(b));
    case opOr:
        return TRpEvValue::Integer(a | b);
    case opAnd:
        return TRpEvValue::Integer(a & b);
    default:
        return TRpEvValue::Error(QString());
    }
}

TRpEvValue applyFloat(TRpEvOperator op, double a, double b)
{
    if (isComparison(op))
        return compareValues(op, a, b);
    switch (op) {
    case opAdd:
        return TRpEvValue::Float(a + b);
    case opSubtract:
        return TRpEvValue::Float(a - b);
    case opMultiply:
        return TRpEvValue::Float(a * b);
    case opDivide:
        if (b == 0.0)
            return TRpEvValue::Error(QStringLiteral("Cannot divide by 0"));
        return TRpEvValue::Float(a / b);
    case opOr:
    case opAnd:
        return incompatible(op, "numeric");
    default:
        return TRpEvValue::Error(QString());
    }
}

TRpEvValue applyString(TRpEvOperator op, const QString &a, const QString &b)
{
    if (op == opEqual || op == opNotEqual)
        return TRpEvValue::Boolean((a == b) == (op == opEqual));
    if (isComparison(op))
        return compareValues(op, rpEvCompareOrdinal(a, b), 0);
    switch (op) {
    case opAdd:
        return TRpEvValue::String(a + b);
    case opOr:
    case opAnd:
        return incompatible(op, "string");
    default:
        return cannot(op, "string");
    }
}

TRpEvValue applyBoolean(TRpEvOperator op, bool a, bool b)
{
    switch (op) {
    case opEqual:
        return TRpEvValue::Boolean(a == b);
    case opNotEqual:
        return TRpEvValue::Boolean(a != b);
    case opOr:
        return TRpEvValue::Boolean(a || b);
    case opAnd:
        return TRpEvValue::Boolean(a && b);
    default:
        if (isComparison(op))
            return incompatible(op, "boolean");
        return cannot(op, "boolean");
    }
}

} // namespace

// ---- the list ----

void TRpFiFo::ComputeNext(TRpEvValue &value)
{
    TRpEvElement *element = Peek();
    if (!element || element->ElementRole() == TRpEvElement::Role::ArgumentEnd) {
        value = TRpEvValue::Error(QStringLiteral("Error in expression : "));
        return;
    }
    ++m_position;
    element->ValueOf(*this, value);
}

void TRpFiFo::Seal()
{
    // Walk backwards keeping the starts of the subtrees that follow; an operator takes the next one or two
    // of them, a function takes them up to its end marker.
    m_compileError = nullptr;
    for (const auto &item : m_items) {
        if (dynamic_cast<TRpEvElementError *>(item.get())) {
            m_compileError = item.get();
            break;
        }
    }
    std::vector<int> starts;
    const int count = Count();
    const int endMarker = -1;
    for (int i = count - 1; i >= 0; --i) {
        TRpEvElement *element = Item(i);
        int end = i + 1;
        if (element->ElementRole() == TRpEvElement::Role::ArgumentEnd) {
            element->SetSubtreeEnd(end);
            starts.push_back(endMarker - i);
            continue;
        }
        if (auto *op = dynamic_cast<TRpEvElementOperator *>(element)) {
            for (int k = 0; k < op->OperandCount() && !starts.empty() && starts.back() >= 0; ++k) {
                end = Item(starts.back())->SubtreeEnd();
                starts.pop_back();
            }
        } else if (dynamic_cast<TRpEvElementFunction *>(element)) {
            while (!starts.empty() && starts.back() >= 0)
                starts.pop_back();
            if (!starts.empty()) {
                end = endMarker - starts.back() + 1;
                starts.pop_back();
            } else {
                end = count;
            }
        }
        element->SetSubtreeEnd(end);
        starts.push_back(i);
    }
}

// ---- elements ----

void TRpEvElementOperator::ValueOf(TRpFiFo &list, TRpEvValue &value)
{
    ComputeDepthGuard depth;
    if (depth.tooDeep())
        return refuseTooDeep(list, *this, value);
    if (m_operator == opNot) {
        TRpEvValue operand;
        list.ComputeNext(operand);
        if (operand.Kind() == evBoolean)
            value = TRpEvValue::Boolean(!operand.AsBoolean());
        else if (operand.IsError())
            value = std::move(operand);
        else
            value = TRpEvValue::Error(QStringLiteral("Invalid use of NOT"));
        return;
    }
    TRpEvValue left;
    TRpEvValue right;
    list.ComputeNext(left);
    list.ComputeNext(right);
    value = Apply(m_operator, std::move(left), std::move(right));
}

TRpEvValue TRpEvElementOperator::Apply(TRpEvOperator op, TRpEvValue left, TRpEvValue right)
{
    if (left.IsError())
        return left;
    if (right.IsError())
        return right;
    if (left.Kind() != right.Kind()) {
        if (left.IsNumeric() && right.IsNumeric()) {
            left = TRpEvValue::Float(left.AsFloat());
            right = TRpEvValue::Float(right.AsFloat());
        } else {
            left = TRpEvValue::String(left.ValueToText());
            right = TRpEvValue::String(right.ValueToText());
        }
    }
    switch (left.Kind()) {
    case evInteger:
        return applyInteger(op, left.AsInteger(), right.AsInteger());
    case evFloat:
        return applyFloat(op, left.AsFloat(), right.AsFloat());
    case evString:
        return applyString(op, left.Text(), right.Text());
    case evBoolean:
        return applyBoolean(op, left.AsBoolean(), right.AsBoolean());
    case evError:
        break;
    }
    return left;
}

TRpEvElementDataField::TRpEvElementDataField(IRpEvDataSet *dataSet, int fieldIndex)
    : m_dataSet(dataSet)
    , m_fieldIndex(fieldIndex)
    , m_kind(dataSet->FieldKind(fieldIndex))
{ }

void TRpEvElementDataField::ValueOf(TRpFiFo &, TRpEvValue &value)
{
    switch (m_kind) {
    case RpFieldKind::String:
    case RpFieldKind::DateTime:
        value = TRpEvValue::String(m_dataSet->AsString(m_fieldIndex));
        return;
    case RpFieldKind::Integer:
        value = TRpEvValue::Integer64(m_dataSet->AsInteger(m_fieldIndex));
        return;
    case RpFieldKind::Float:
        value = TRpEvValue::Float(m_dataSet->AsFloat(m_fieldIndex));
        return;
    case RpFieldKind::Boolean:
        value = TRpEvValue::Boolean(m_dataSet->AsBoolean(m_fieldIndex));
        return;
    case RpFieldKind::Unknown:
        break;
    }
    value = TRpEvValue::Error(
        QStringLiteral("Field %1 is of unknown type").arg(m_dataSet->FieldName(m_fieldIndex)));
}

void TRpEvElementFunction::ValueOf(TRpFiFo &list, TRpEvValue &value)
{
    ComputeDepthGuard depth;
    if (depth.tooDeep())
        return refuseTooDeep(list, *this, value);
    m_arguments.clear();
    while (TRpEvElement *next = list.Peek()) {
        if (next->ElementRole() == TRpEvElement::Role::ArgumentEnd) {
            list.SetPosition(list.Position() + 1);
            break;
        }
        TRpEvValue argument;
        list.ComputeNext(argument);
        m_arguments.push_back(std::move(argument));
    }
    if (list.AggregateFlag())
        AddToAggregate();
    ComputeResult(value);
    m_arguments.clear();
}

bool TRpEvElementFunction::Validating()
{
    return TRpEvaluator::IsValidating();
}

void TRpEvElementWrapper::ValueOf(TRpFiFo &list, TRpEvValue &value)
{
    ComputeDepthGuard depth;
    if (depth.tooDeep())
        return refuseTooDeep(list, *this, value);
    m_named->Compute(value);
}

void TRpEvElementWrapper::ResetState()
{
    m_named->Reset();
}

// ---- named expressions ----

namespace {

class BusyGuard
{
public:
    explicit BusyGuard(bool &flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~BusyGuard() { m_flag = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &m_flag;
};

} // namespace

void TRpNamedExpression::Compile(TRpEvEnvironment *environment, const TRpEvDataSetList *dataSets)
{
    auto evaluator = std::make_unique<TRpEvaluator>(environment, dataSets);
    evaluator->Compile(m_text);
    m_evaluator = std::move(evaluator);
}

void TRpNamedExpression::Discard()
{
    // Release before destroying: discarding may reach this expression again through the global environment.
    std::unique_ptr<TRpEvaluator> evaluator = std::move(m_evaluator);
    evaluator.reset();
}

void TRpNamedExpression::Compute(TRpEvValue &value)
{
    if (m_busy) {
        value = TRpEvValue::Error(QStringLiteral("Recursive calls not allowed"));
        return;
    }
    if (!m_evaluator)
        throw Exception(QStringLiteral("Evaluator not prepared"));
    BusyGuard busy(m_busy);
    m_evaluator->Compute(value);
}

void TRpNamedExpression::Reset()
{
    if (m_busy || !m_evaluator)
        return;
    BusyGuard busy(m_busy);
    m_evaluator->ResetAggregates();
}

// ---- environment ----

namespace {

TRpEvEnvironment *s_global = nullptr;

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// Owns the global environment and tells the evaluators when it is gone, so that evaluators discarded at
// program end do not reach back into it.
struct GlobalEnvironmentHolder
{
    GlobalEnvironmentHolder()
    {
        const TDateTime now = DateTime::now();
        const RegionalSettings &settings = RegionalSettings::current();
        QString title = QCoreApplication::applicationName();
        title.remove(QLatin1Char('\''));
        environment.AddNamedExpression(QStringLiteral("AppStartTime"), quoted(settings.timeToStr(now)));
        environment.AddNamedExpression(QStringLiteral("AppStartDate"), quoted(settings.dateToStr(now)));
        environment.AddNamedExpression(QStringLiteral("AppName"), quoted(title));
        s_global = &environment;
    }
    ~GlobalEnvironmentHolder() { s_global = nullptr; }

    TRpEvEnvironment environment;
};

} // namespace

TRpEvEnvironment::TRpEvEnvironment() = default;

TRpEvEnvironment::~TRpEvEnvironment()
{
    m_unpreparing = true;
    Clear();
}

TRpEvEnvironment &TRpEvEnvironment::GlobalEnvironment()
{
    static GlobalEnvironmentHolder holder;
    return holder.environment;
}

void TRpEvEnvironment::unprepareGlobal()
{
    if (s_global)
        s_global->UnprepareEnvironment();
}

QStringList TRpEvEnvironment::Names() const
{
    QStringList names;
    for (const auto &item : m_items)
        names.append(item->Name());
    return names;
}

int TRpEvEnvironment::IndexOf(const QString &name) const
{
    const QString key = name.toUpper();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->Name() == key)
            return int(i);
    }
    return -1;
}

void TRpEvEnvironment::AddNamedExpression(const QString &name, const QString &text)
{
    const int index = IndexOf(name);
    std::shared_ptr<TRpNamedExpression> item;
    if (index >= 0) {
        item = m_items[size_t(index)];
        item->SetText(text);
    } else {
        item = std::make_shared<TRpNamedExpression>(name.toUpper(), text);
        m_items.push_back(item);
    }
    if (Prepared())
        item->Compile(this, m_dataSets);
}

void TRpEvEnvironment::RemoveNamedExpression(const QString &name)
{
    const int index = IndexOf(name);
    if (index < 0)
        return;
    std::shared_ptr<TRpNamedExpression> item = m_items[size_t(index)];
    m_items.erase(m_items.begin() + index);
    item->Discard();
}

void TRpEvEnvironment::Clear()
{
    std::vector<std::shared_ptr<TRpNamedExpression>> items;
    items.swap(m_items);
    for (const auto &item : items)
        item->Discard();
}

void TRpEvEnvironment::PrepareEnvironment()
{
    if (++m_prepareCount != 1)
        return;
    // Compiling may add to the list through nothing, but iterate over a copy in case a compile reaches back.
    const auto items = m_items;
    for (const auto &item : items)
        item->Compile(this, m_dataSets);
}

void TRpEvEnvironment::UnprepareEnvironment()
{
    if (m_unpreparing || m_prepareCount <= 0)
        return;
    if (--m_prepareCount != 0)
        return;
    BusyGuard unpreparing(m_unpreparing);
    const auto items = m_items;
    for (const auto &item : items)
        item->Discard();
}

std::unique_ptr<TRpEvElement> TRpEvEnvironment::NamedElement(const QString &name)
{
    const int index = IndexOf(name);
    if (index < 0)
        return std::make_unique<TRpEvElementError>(QStringLiteral("Unknown function : %1").arg(name));
    return std::make_unique<TRpEvElementWrapper>(m_items[size_t(index)]);
}

TRpEvElement *TRpEvEnvironment::ConstantElement(const QString &name) const
{
    const int index = IndexOf(name);
    if (index < 0)
        return nullptr;
    TRpEvaluator *evaluator = m_items[size_t(index)]->Evaluator();
    if (!evaluator || !evaluator->List() || evaluator->List()->Empty())
        return nullptr;
    return evaluator->List()->Item(0);
}

void TRpEvEnvironment::ValueByName(const QString &name, TRpEvValue &value)
{
    const int index = IndexOf(name);
    if (index < 0) {
        value = TRpEvValue::Error(QStringLiteral("Unknown function : %1").arg(name));
        return;
    }
    m_items[size_t(index)]->Compute(value);
}

void TRpEvEnvironment::SetIntegerValue(TRpEvElement *element, qint32 value)
{
    if (auto *constant = dynamic_cast<TRpEvElementConstant *>(element))
        constant->SetValue(TRpEvValue::Integer(value));
}

void TRpEvEnvironment::SetTextValue(TRpEvElement *element, const QString &text)
{
    if (auto *string = dynamic_cast<TRpEvElementString *>(element))
        string->SetText(text);
}

void TRpEvEnvironment::StoreValue(TRpEvElement *element, const TRpEvValue &value)
{
    if (auto *constant = dynamic_cast<TRpEvElementConstant *>(element))
        constant->SetValue(value);
    else if (auto *string = dynamic_cast<TRpEvElementString *>(element); string && value.Kind() == evString)
        string->SetText(value.Text());
}
