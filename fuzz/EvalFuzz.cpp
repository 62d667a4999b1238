// Compiles arbitrary text as a report expression and computes it, with aggregation passes and resets, over a
// small table and a set of named expressions that refer to each other. Errors must come back as values: the
// only exception allowed is converting an error value to text, which nothing here does.
#include "report/expressions/Evaluator.h"

#include <cstdint>

namespace {

// Two rows of every field kind, switched between the passes.
class FuzzTable : public IRpEvDataSet
{
public:
    int row = 0;
    QString Name() const override { return QStringLiteral("tblFuzz"); }
    int FindField(const QString &name) const override
    {
        static const char *const names[] = { "S", "I", "F", "B", "D", "U" };
        for (int i = 0; i < 6; ++i) {
            if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    QString FieldName(int index) const override { return QString::number(index); }
    RpFieldKind FieldKind(int index) const override
    {
        static const RpFieldKind kinds[] = { RpFieldKind::String, RpFieldKind::Integer, RpFieldKind::Float,
            RpFieldKind::Boolean, RpFieldKind::DateTime, RpFieldKind::Unknown };
        return kinds[index];
    }
    qint64 AsInteger(int) const override { return row ? 2147483647 : -2147483648LL; }
    double AsFloat(int) const override { return row ? 1e308 : -0.5; }
    bool AsBoolean(int) const override { return row != 0; }
    QString AsString(int) const override { return row ? QStringLiteral("zz'[(") : QString(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static FuzzTable table;
    static const TRpEvDataSetList dataSets { &table };

    TRpEvEnvironment environment;
    environment.SetDataSets(&dataSets);
    environment.AddNamedExpression(QStringLiteral("A"), QStringLiteral("B + 1"));
    environment.AddNamedExpression(QStringLiteral("B"), QStringLiteral("A * SUM(I)"));
    environment.AddNamedExpression(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    environment.PrepareEnvironment();
    // The input also becomes a named expression, so that it can be reached through another one.
    environment.AddNamedExpression(QStringLiteral("X"), text);

    TRpEvaluator evaluator(&environment, &dataSets);
    evaluator.Compile(text);
    TRpEvValue value;
    for (table.row = 0; table.row < 2; ++table.row) {
        evaluator.Accumulate();
        evaluator.Compute(value);
    }
    evaluator.ResetAggregates();
    evaluator.Compute(value);
    (void)evaluator.HasAggregates();
    if (!value.IsError())
        (void)value.ValueToText();
    evaluator.Discard();
    environment.UnprepareEnvironment();
    return 0;
}
