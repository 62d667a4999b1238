#pragma once

#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"

#include <QString>
#include <vector>

// What the designer's functions share: the argument check every one of them makes, the conversions of
// their arguments and the table they are registered from.
namespace RpScriptDetail {

// One function of the designer's registry: its name, argument codes, description and element class.
struct ScriptFunction
{
    QString name;
    QString codes;
    QString description;
    TRpEvElementClass elementClass;
};

template <typename T>
ScriptFunction scriptFunction(const char *name, const char *codes, const QString &description)
{
    const QString upper = QLatin1String(name);
    return { upper, QLatin1String(codes), description, [upper] {
                auto element = std::make_unique<T>();
                element->SetName(upper);
                return element;
            } };
}

// A description: the syntax, "|", the explanation.
inline QString describe(const char *syntax, const char *explanation)
{
    return QString::fromUtf8(syntax) + QLatin1Char('|') + QString::fromUtf8(explanation);
}

// The families, each in the order of its table.
void appendReportFunctions(std::vector<ScriptFunction> &list);
void appendTextFunctions(std::vector<ScriptFunction> &list);
void appendDateFunctions(std::vector<ScriptFunction> &list);
void appendDataSetFunctions(std::vector<ScriptFunction> &list);
void appendElementFunctions(std::vector<ScriptFunction> &list);
void appendMessageFunctions(std::vector<ScriptFunction> &list);
void appendColorFunctions(std::vector<ScriptFunction> &list);

TRpEvValue failure(const QString &message = {});

// Whole numbers from a numeric argument: integers as they are, floats truncated toward zero; false for a
// value that is not finite or lies outside [min, max].
bool wholeNumber(const TRpEvValue &value, qint64 min, qint64 max, qint64 &number);

// A designer function. Its signature gives one letter per argument: S text, N number, B truth value,
// V any value, T text or whole number, U text or number. A wrong count or kind gives an error value (an
// argument that is an error gives that error), and so does an exception of the program's family thrown by
// Result(): no function ever raises.
class TRpScriptFunction : public TRpEvElementFunction
{
public:
    void ComputeResult(TRpEvValue &value) final;
    // The registered name, for messages.
    const QString &Name() const { return m_name; }
    void SetName(const QString &name) { m_name = name; }

protected:
    virtual const char *Signature() const = 0;
    virtual TRpEvValue Result() = 0;

    QString Text(int index) const { return Argument(index).Text(); }
    double Number(int index) const { return Argument(index).AsFloat(); }
    bool Truth(int index) const { return Argument(index).AsBoolean(); }

private:
    QString m_name;
};

} // namespace RpScriptDetail
