#pragma once

#include "report/expressions/Evaluator.h"
#include "report/files/ReportFile.h"
#include "report/scripts/ScriptFunctions.h"
#include "report/scripts/ScriptMessages.h"

#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// Shared by the tests of the designer's functions and design runs: the program's set-up (installed once per
// binary), one-shot evaluation and a designed report held by an engine.
namespace ScriptTest {

class Installed : public testing::Environment
{
public:
    void SetUp() override { installReportScripts(); }
};

// "kind: value" of an expression, computed once (with the validating switch when asked).
inline QString eval(const QString &text, bool validating = false)
{
    TRpEvaluator evaluator;
    evaluator.SetValidating(validating);
    evaluator.Compile(text);
    const QString result = rpEvDescribe(evaluator.Compute());
    evaluator.Discard();
    return result;
}

// A message box that records what it was asked and answers as told.
struct ScriptedBoxes
{
    explicit ScriptedBoxes(bool answer)
    {
        RpScriptMessages::setMessageBox(
            [this, answer](const QString &text, RpScriptMessages::Buttons buttons) {
                shown << text;
                kinds << buttons;
                return answer;
            });
    }
    ~ScriptedBoxes() { RpScriptMessages::setMessageBox({}); }
    ScriptedBoxes(const ScriptedBoxes &) = delete;
    ScriptedBoxes &operator=(const ScriptedBoxes &) = delete;

    QStringList shown;
    QList<RpScriptMessages::Buttons> kinds;
};

// An application data module with a name, registered while it lives.
class AppDataModule : public QObject
{
public:
    explicit AppDataModule(const QString &name)
    {
        setObjectName(name);
        RpComponents::addDataModule(this);
    }
    ~AppDataModule() override { RpComponents::remove(this); }
};

} // namespace ScriptTest
