#pragma once

#include "report/expressions/EvaluatorDataSet.h"
#include "report/expressions/EvaluatorValue.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The report expression language: an expression is compiled once into a list of elements in prefix order
// (an operator before its operands, a function before its arguments and their end marker) and computed from
// that list as often as needed. Errors are values: a text that does not compile gives error elements, and
// computing gives an error value in place of the result.

// Expressions nest at most this many levels: operators, parentheses, functions and named expressions
// counted together, both while compiling and while computing through named expressions. Deeper ones give
// kRpEvTooDeepMessage.
constexpr int kRpEvMaxDepth = 256;
extern const char *const kRpEvTooDeepMessage;

class TRpFiFo;
class TRpEvaluator;
class TRpEvEnvironment;
class TRpNamedExpression;

class TRpEvElement
{
public:
    // What the list needs to know about an element without asking it.
    enum class Role { Value, ArgumentEnd };

    TRpEvElement() = default;
    TRpEvElement(const TRpEvElement &) = delete;
    TRpEvElement &operator=(const TRpEvElement &) = delete;
    virtual ~TRpEvElement() = default;

    // Computes this element, taking its operands from `list` after it.
    virtual void ValueOf(TRpFiFo &list, TRpEvValue &value) = 0;
    // Empties aggregate state.
    virtual void ResetState() { }

    bool Aggregate() const { return m_aggregate; }
    Role ElementRole() const { return m_role; }

    // Index in the list just past this element's operands; set when the list is complete.
    int SubtreeEnd() const { return m_subtreeEnd; }
    void SetSubtreeEnd(int end) { m_subtreeEnd = end; }

protected:
    void SetAggregate(bool on) { m_aggregate = on; }
    void SetRole(Role role) { m_role = role; }

private:
    bool m_aggregate = false;
    Role m_role = Role::Value;
    int m_subtreeEnd = 0;
};

// The compiled form: elements in prefix order and a read position.
class TRpFiFo
{
public:
    void Add(std::unique_ptr<TRpEvElement> element) { m_items.push_back(std::move(element)); }
    int Count() const { return int(m_items.size()); }
    TRpEvElement *Item(int index) const { return m_items[size_t(index)].get(); }
    bool Empty() const { return m_items.empty(); }

    int Position() const { return m_position; }
    void SetPosition(int position) { m_position = position; }
    bool AtEnd() const { return m_position >= Count(); }
    // The element at the read position, or null at the end.
    TRpEvElement *Peek() const { return AtEnd() ? nullptr : Item(m_position); }

    // Computes the next element (an operand): the read position moves past it and its operands. At the end
    // of the list (an operand that was never compiled) the value is an error and nothing is read.
    void ComputeNext(TRpEvValue &value);

    // Set during an aggregation pass: every aggregate element adds its current argument once.
    bool AggregateFlag() const { return m_aggregateFlag; }
    void SetAggregateFlag(bool on) { m_aggregateFlag = on; }

    // Works out SubtreeEnd of every element and finds the first compile error; called once the list is
    // complete.
    void Seal();
    // The first error element of the list (an error found while compiling), or null.
    TRpEvElement *CompileError() const { return m_compileError; }

private:
    std::vector<std::unique_ptr<TRpEvElement>> m_items;
    int m_position = 0;
    bool m_aggregateFlag = false;
    TRpEvElement *m_compileError = nullptr;
};

// Operator codes. opNot takes one operand, every other operator two.
enum TRpEvOperator {
    opLess,
    opLessEqual,
    opGreater,
    opGreaterEqual,
    opEqual,
    opNotEqual,
    opAdd,
    opSubtract,
    opMultiply,
    opDivide,
    opOr,
    opAnd,
    opNot,
};

class TRpEvElementOperator : public TRpEvElement
{
public:
    explicit TRpEvElementOperator(TRpEvOperator op)
        : m_operator(op)
    { }
    TRpEvOperator Operator() const { return m_operator; }
    int OperandCount() const { return m_operator == opNot ? 1 : 2; }
    void ValueOf(TRpFiFo &list, TRpEvValue &value) override;

    // The operator applied to two computed values (not opNot).
    static TRpEvValue Apply(TRpEvOperator op, TRpEvValue left, TRpEvValue right);

private:
    TRpEvOperator m_operator;
};

class TRpEvElementConstant : public TRpEvElement
{
public:
    explicit TRpEvElementConstant(const TRpEvValue &value)
        : m_value(value)
    { }
    void ValueOf(TRpFiFo &, TRpEvValue &value) override { value = m_value; }
    const TRpEvValue &Value() const { return m_value; }
    void SetValue(const TRpEvValue &value) { m_value = value; }

private:
    TRpEvValue m_value;
};

class TRpEvElementString : public TRpEvElement
{
public:
    explicit TRpEvElementString(const QString &text)
        : m_value(TRpEvValue::String(text))
    { }
    void ValueOf(TRpFiFo &, TRpEvValue &value) override { value = m_value; }
    QString Text() const { return m_value.Text(); }
    void SetText(const QString &text) { m_value = TRpEvValue::String(text); }

private:
    TRpEvValue m_value;
};

class TRpEvElementError : public TRpEvElement
{
public:
    explicit TRpEvElementError(const QString &message)
        : m_value(TRpEvValue::Error(message))
    { }
    void ValueOf(TRpFiFo &, TRpEvValue &value) override { value = m_value; }
    QString Message() const { return m_value.Text(); }

private:
    TRpEvValue m_value;
};

class TRpEvElementArgumentEnd : public TRpEvElement
{
public:
    TRpEvElementArgumentEnd() { SetRole(Role::ArgumentEnd); }
    void ValueOf(TRpFiFo &, TRpEvValue &value) override { value = TRpEvValue::Error(QString()); }
};

class TRpEvElementDataField : public TRpEvElement
{
public:
    TRpEvElementDataField(IRpEvDataSet *dataSet, int fieldIndex);
    void ValueOf(TRpFiFo &, TRpEvValue &value) override;
    IRpEvDataSet *DataSet() const { return m_dataSet; }
    int FieldIndex() const { return m_fieldIndex; }

private:
    IRpEvDataSet *m_dataSet;
    int m_fieldIndex;
    RpFieldKind m_kind;
};

// A function call. The base ValueOf computes the arguments up to the end marker into Arguments(), adds to
// the aggregate during an aggregation pass, then computes the result.
class TRpEvElementFunction : public TRpEvElement
{
public:
    void ValueOf(TRpFiFo &list, TRpEvValue &value) override;
    virtual void AddToAggregate() { }
    virtual void ComputeResult(TRpEvValue &value) { value = TRpEvValue::Error(QString()); }

protected:
    // Functions with effects (setting a property, showing a box) do nothing but give their value while this
    // is true: the expression is only being tried out.
    static bool Validating();
    const std::vector<TRpEvValue> &Arguments() const { return m_arguments; }
    int ArgumentCount() const { return int(m_arguments.size()); }
    const TRpEvValue &Argument(int index) const { return m_arguments[size_t(index)]; }
    void MarkAggregate() { SetAggregate(true); }

private:
    std::vector<TRpEvValue> m_arguments;
};

// A reference to a named expression.
class TRpEvElementWrapper : public TRpEvElement
{
public:
    explicit TRpEvElementWrapper(std::shared_ptr<TRpNamedExpression> named)
        : m_named(std::move(named))
    { }
    void ValueOf(TRpFiFo &, TRpEvValue &value) override;
    void ResetState() override;

private:
    std::shared_ptr<TRpNamedExpression> m_named;
};

class TRpEvaluator
{
public:
    // `environment`: the named expressions to search (a report's Functions), or none; the global
    // environment is searched after it. `dataSets`: the tables whose fields may be named, or none.
    explicit TRpEvaluator(
        TRpEvEnvironment *environment = nullptr, const TRpEvDataSetList *dataSets = nullptr);
    TRpEvaluator(const TRpEvaluator &) = delete;
    TRpEvaluator &operator=(const TRpEvaluator &) = delete;
    virtual ~TRpEvaluator();

    TRpEvEnvironment *Environment() const { return m_environment; }
    void SetEnvironment(TRpEvEnvironment *environment) { m_environment = environment; }
    const TRpEvDataSetList *DataSets() const { return m_dataSets; }
    void SetDataSets(const TRpEvDataSetList *dataSets) { m_dataSets = dataSets; }

    // Compiles the text (an empty text as a one-space string); errors become error elements.
    void Compile(const QString &text);
    bool Compiled() const { return m_compiled; }
    // Raises Exception "Evaluator not prepared" when not compiled. A text that did not compile computes to
    // its first compile error.
    void Compute(TRpEvValue &value);
    TRpEvValue Compute();
    // One aggregation pass: every aggregate function adds its current argument once.
    void Accumulate();
    void ResetAggregates();
    bool HasAggregates() const;
    void ComputeOnce(const QString &text, TRpEvValue &value);
    void Discard();

    // A validating evaluator tries an expression out against an open design (a wizard's "Validate"):
    // everything computed under it, named expressions included, runs with IsValidating() true, so that
    // functions with effects beyond their value leave the design alone (setters change nothing) and show no
    // message box. Computing under an ordinary evaluator inside a validating one stays validating.
    bool Validating() const { return m_validating; }
    void SetValidating(bool on) { m_validating = on; }
    // True while a validating evaluator computes on this thread.
    static bool IsValidating();

    // The compiled list (null when not compiled); for the generator's in-place constants and for tests.
    TRpFiFo *List() const { return m_list.get(); }

protected:
    // Emits a function call with its arguments, or resolves a bare word as a name.
    virtual void ResolveFunction(const QString &name, const QString &argumentText, int depth);
    // A field element, a wrapper for a named expression, or an error element.
    virtual std::unique_ptr<TRpEvElement> ResolveName(const QString &name);

    void Emit(std::unique_ptr<TRpEvElement> element);
    void CompileExpression(const QString &text, int depth);

private:
    void compileSimple(const QString &text, int depth);
    void compileTerm(const QString &text, int depth);
    void compileFactor(const QString &text, int depth);
    void compileNumber(const QString &text);
    void compileWord(const QString &text, int depth);
    bool tooDeep(int depth);

    TRpEvEnvironment *m_environment;
    const TRpEvDataSetList *m_dataSets;
    std::unique_ptr<TRpFiFo> m_list;
    bool m_compiled = false;
    bool m_validating = false;
};

// A named expression of an environment: its text and, while the environment is prepared, its compiled
// evaluator.
class TRpNamedExpression
{
public:
    TRpNamedExpression(const QString &name, const QString &text)
        : m_name(name)
        , m_text(text)
    { }
    const QString &Name() const { return m_name; }
    const QString &Text() const { return m_text; }
    void SetText(const QString &text) { m_text = text; }
    TRpEvaluator *Evaluator() const { return m_evaluator.get(); }

    void Compile(TRpEvEnvironment *environment, const TRpEvDataSetList *dataSets);
    void Discard();
    // Computing and resetting refuse to enter an expression that is already being computed or reset.
    void Compute(TRpEvValue &value);
    void Reset();

private:
    QString m_name;
    QString m_text;
    std::unique_ptr<TRpEvaluator> m_evaluator;
    bool m_busy = false;
};

// Named expressions: a list of upper-cased names, each with its expression. The global environment holds
// AppStartTime, AppStartDate and AppName; a report's `Functions` holds PAGENUMBER, COLUMNNUMBER,
// REPORTTITLE, loop variables and the user's own variables.
class TRpEvEnvironment
{
public:
    TRpEvEnvironment();
    TRpEvEnvironment(const TRpEvEnvironment &) = delete;
    TRpEvEnvironment &operator=(const TRpEvEnvironment &) = delete;
    ~TRpEvEnvironment();

    static TRpEvEnvironment &GlobalEnvironment();

    int Count() const { return int(m_items.size()); }
    QString Name(int index) const { return m_items[size_t(index)]->Name(); }
    QString ExpressionText(int index) const { return m_items[size_t(index)]->Text(); }
    QStringList Names() const;
    int IndexOf(const QString &name) const;

    // Adds the name (upper-cased) when missing, or gives an existing one the new text; compiles it at once
    // when the environment is prepared.
    void AddNamedExpression(const QString &name, const QString &text);
    void RemoveNamedExpression(const QString &name);
    void Clear();

    const TRpEvDataSetList *DataSets() const { return m_dataSets; }
    void SetDataSets(const TRpEvDataSetList *dataSets) { m_dataSets = dataSets; }

    void PrepareEnvironment();
    void UnprepareEnvironment();
    bool Prepared() const { return m_prepareCount > 0; }

    // A wrapper for the named expression, or the error element "Unknown function : %s".
    std::unique_ptr<TRpEvElement> NamedElement(const QString &name);
    // The first compiled element of the named expression, or null.
    TRpEvElement *ConstantElement(const QString &name) const;
    void ValueByName(const QString &name, TRpEvValue &value);

    // In-place changes of a constant element (see ConstantElement).
    static void SetIntegerValue(TRpEvElement *element, qint32 value);
    static void SetTextValue(TRpEvElement *element, const QString &text);
    static void StoreValue(TRpEvElement *element, const TRpEvValue &value);

private:
    friend class TRpEvaluator;
    static void unprepareGlobal();

    std::vector<std::shared_ptr<TRpNamedExpression>> m_items;
    const TRpEvDataSetList *m_dataSets = nullptr;
    int m_prepareCount = 0;
    bool m_unpreparing = false;
};
