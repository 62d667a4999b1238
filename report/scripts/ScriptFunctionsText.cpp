// The designer's text functions: conversions, trimming, padding, spacing, characters, patterns, captions.
#include "platform/Cp1252.h"
#include "platform/RegionalSettings.h"
#include "report/elements/LabelItems.h"
#include "report/scripts/ScriptComponents.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

#include <QMetaProperty>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>

namespace RpScriptDetail {

namespace {

// A count of characters to produce: negative counts act as 0, and no text grows past what a value holds.
qint64 boundedCount(const TRpEvValue &value)
{
    if (value.Kind() == evInteger)
        return std::clamp<qint64>(value.AsInteger(), 0, kRpEvMaxText);
    const double number = value.AsFloat();
    if (std::isnan(number))
        return 0;
    return qint64(qBound(0.0, std::trunc(number), double(kRpEvMaxText)));
}

class TRpEvFunctionStrToInt : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        qint64 number = 0;
        if (!RegionalSettings::tryStrToInt(Text(0), number) || number < std::numeric_limits<qint32>::min()
            || number > std::numeric_limits<qint32>::max())
            return failure(QStringLiteral("'%1' is not a valid integer value").arg(Text(0)));
        return TRpEvValue::Integer(qint32(number));
    }
};

class TRpEvFunctionStrToNum : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        if (Text(0).isEmpty())
            return TRpEvValue::Float(0);
        return TRpEvValue::Float(RegionalSettings::current().strToFloat(Text(0)));
    }
};

class TRpEvFunctionTrim : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        const QString text = Text(0);
        qsizetype first = 0;
        qsizetype last = text.size();
        while (first < last && text[first].unicode() <= 32)
            ++first;
        while (last > first && text[last - 1].unicode() <= 32)
            --last;
        return TRpEvValue::String(text.mid(first, last - first));
    }
};

class TRpEvFunctionStrLen : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override { return TRpEvValue::Integer(qint32(Text(0).size())); }
};

// Each character followed by L blanks, none after the last; the text stops where a value ends.
class TRpEvFunctionStretchStr : public TRpScriptFunction
{
    const char *Signature() const override { return "SN"; }
    TRpEvValue Result() override
    {
        const QString text = Text(0);
        const qint64 blanks = boundedCount(Argument(1));
        QString result;
        for (qsizetype i = 0; i < text.size() && result.size() < kRpEvMaxText; ++i) {
            result += text[i];
            if (i + 1 < text.size())
                result += QString(qMin<qint64>(blanks, kRpEvMaxText - result.size()), QLatin1Char(' '));
        }
        return TRpEvValue::String(result);
    }
};

class TRpEvFunctionChr : public TRpScriptFunction
{
    const char *Signature() const override { return "N"; }
    TRpEvValue Result() override
    {
        qint64 code = 0;
        if (!wholeNumber(Argument(0), 0, 255, code))
            return failure(QStringLiteral("Character code out of range"));
        const char byte = char(quint8(code));
        return TRpEvValue::String(Cp1252::decode(QByteArrayView(&byte, 1)));
    }
};

// PADLEFT, PADRIGHT and PADLEFTZERO: a fill character added on one side up to the length.
template <bool Left, char Fill, char TextKind> class TRpEvFunctionPad : public TRpScriptFunction
{
    const char *Signature() const override { return TextKind == 'T' ? "TN" : "SN"; }
    TRpEvValue Result() override
    {
        const QString text
            = Argument(0).Kind() == evInteger ? QString::number(Argument(0).AsInteger()) : Text(0);
        const qint64 length = boundedCount(Argument(1));
        if (text.size() >= length)
            return TRpEvValue::String(text);
        const QString fill(length - text.size(), QLatin1Char(Fill));
        return TRpEvValue::String(Left ? fill + text : text + fill);
    }
};

// Source is a pattern: "%%" stands for "%", the first "%s" for the inserted text; anything else after a "%"
// is not a pattern this function fills.
class TRpEvFunctionInsertStr : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override
    {
        const QString pattern = Text(0);
        QString result;
        bool inserted = false;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != u'%') {
                result += pattern[i];
                continue;
            }
            const QChar next = i + 1 < pattern.size() ? pattern[i + 1] : QChar();
            if (next == u'%') {
                result += u'%';
            } else if ((next == u's' || next == u'S') && !inserted) {
                result += Text(1);
                inserted = true;
            } else {
                return failure(
                    QStringLiteral("Format '%1' invalid or incompatible with argument").arg(pattern));
            }
            ++i;
        }
        return TRpEvValue::String(result);
    }
};

// Expression elements whose caption is being computed on this thread: an expression that asks for its own
// caption (directly or through others) gets an error instead of computing itself again.
thread_local QSet<const QObject *> t_captioning;

class TRpEvFunctionGetCaption : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        const QList<QObject *> windows = RpComponentSearch::windows();
        for (auto window = windows.crbegin(); window != windows.crend(); ++window) {
            QObject *component = RpComponentSearch::componentOf(*window, Text(0));
            if (!component)
                continue;
            if (auto *expression = qobject_cast<TRpExpr *>(component))
                return captionOf(expression);
            const int index = component->metaObject()->indexOfProperty("Caption");
            if (index >= 0)
                return TRpEvValue::String(
                    component->metaObject()->property(index).read(component).toString());
        }
        return failure(QStringLiteral("Component not found: %1").arg(Text(0)));
    }

    static TRpEvValue captionOf(TRpExpr *expression)
    {
        if (t_captioning.contains(expression))
            return failure(QStringLiteral("Recursive calls not allowed"));
        t_captioning.insert(expression);
        struct Done
        {
            TRpExpr *expression;
            ~Done() { t_captioning.remove(expression); }
        } done { expression };
        return TRpEvValue::String(expression->TextFromCaption());
    }
};

} // namespace

void appendTextFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(scriptFunction<TRpEvFunctionStrToInt>(
        "STRTOINT", "7S", describe("STRTOINT(<X>)", "Converts String to Integer")));
    list.push_back(scriptFunction<TRpEvFunctionStrToNum>(
        "STRTONUM", "7S", describe("STRTONUM(<X>)", "Converts String to number")));
    list.push_back(scriptFunction<TRpEvFunctionTrim>(
        "TRIM", "7S", describe("TRIM(<S>)", "Removes leading and trailing blanks from a string")));
    list.push_back(scriptFunction<TRpEvFunctionStrLen>(
        "STRLEN", "7S", describe("STRLEN(<S>)", "Returns length of S in characters")));
    list.push_back(scriptFunction<TRpEvFunctionStretchStr>("STRETCHSTR", "7SN",
        describe("STRETCHSTR(<S>,<L>)", "Inserts L blanks between each character of S")));
    list.push_back(scriptFunction<TRpEvFunctionChr>(
        "CHR", "7N", describe("CHR(<I>)", "Converts the ordinal ASCII value to a character")));
    list.push_back(scriptFunction<TRpEvFunctionPad<true, ' ', 'S'>>(
        "PADLEFT", "7SN", describe("PADLEFT(<S>,<Len>)", "Fills up the string S to Len characters.")));
    list.push_back(scriptFunction<TRpEvFunctionPad<false, ' ', 'S'>>(
        "PADRIGHT", "7SN", describe("PADRIGHT(<S>,<Len>)", "Fills up the string S to Len characters")));
    list.push_back(scriptFunction<TRpEvFunctionPad<true, '0', 'T'>>("PADLEFTZERO", "7SN",
        describe("PADLEFTZERO(<S>,<Len>)", "Fills up the string S to Len characters with 0.")));
    list.push_back(scriptFunction<TRpEvFunctionInsertStr>("INSERTSTR", "7SS",
        describe("INSERTSTR(<Source>,<Insert>)", "Insert string into Source at position %s")));
    list.push_back(scriptFunction<TRpEvFunctionGetCaption>(
        "GETCAPTION", "7S", describe("GETCAPTION(<S>)", "Returns a component's caption")));
}

} // namespace RpScriptDetail
