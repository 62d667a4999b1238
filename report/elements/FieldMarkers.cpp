#include "report/elements/FieldMarkers.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/Evaluator.h"
#include "report/model/PrintRun.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace FieldMarkers {

namespace {

// Where the next field of `text` lies from `from`: the position of its opening mark and the length of the
// whole field with both marks; false when there is none.
bool nextField(const QString &text, qsizetype from, qsizetype &start, qsizetype &length)
{
    start = text.indexOf(kFieldMark, from);
    if (start < 0)
        return false;
    const qsizetype close = text.indexOf(kFieldMark, start + kFieldMark.size());
    if (close < 0)
        return false;
    length = close + kFieldMark.size() - start;
    return true;
}

QString expressionOf(const QString &text, qsizetype start, qsizetype length)
{
    return text.mid(start + kFieldMark.size(), length - 2 * kFieldMark.size());
}

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

bool hasMarkers(const QString &text)
{
    return text.contains(kFieldMark) || text.contains(kRemoveMark);
}

QString fillFields(const QString &text, const Evaluate &evaluate)
{
    QString result;
    qsizetype done = 0;
    qsizetype start = 0;
    qsizetype length = 0;
    while (nextField(text, done, start, length)) {
        result += QStringView(text).mid(done, start - done);
        result += evaluate(expressionOf(text, start, length));
        done = start + length;
    }
    result += QStringView(text).mid(done);
    return result;
}

QStringList fillLines(const QStringList &lines, const Evaluate &evaluate)
{
    QStringList result;
    result.reserve(lines.size());
    for (const QString &line : lines) {
        const bool removable = line.startsWith(kRemoveMark);
        const QString filled = fillFields(removable ? line.mid(kRemoveMark.size()) : line, evaluate);
        if (!removable || !blank(filled))
            result << filled;
    }
    return result;
}

void fillDocument(QTextDocument &document, const Evaluate &evaluate)
{
    QTextBlock block = document.begin();
    while (block.isValid()) {
        const QTextBlock next = block.next();
        QTextCursor cursor(block);
        const bool removable = block.text().startsWith(kRemoveMark);
        if (removable) {
            cursor.setPosition(block.position() + int(kRemoveMark.size()), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        // The block's text is read again after each value: values change the positions after them.
        qsizetype from = 0;
        qsizetype start = 0;
        qsizetype length = 0;
        while (nextField(block.text(), from, start, length)) {
            QString value = evaluate(expressionOf(block.text(), start, length));
            value.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
            value.replace(u'\n', QChar::LineSeparator);
            value.replace(u'\r', QChar::LineSeparator);
            value.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
            cursor.setPosition(block.position() + int(start));
            cursor.setPosition(block.position() + int(start + length), QTextCursor::KeepAnchor);
            const QTextCharFormat format = cursor.charFormat();
            cursor.insertText(value, format);
            from = start + value.size();
        }
        if (removable && blank(block.text())) {
            if (next.isValid()) {
                cursor.setPosition(block.position());
                cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
            } else if (block.previous().isValid()) {
                cursor.setPosition(block.position() - 1);
                cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            } else {
                cursor.setPosition(block.position());
                cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
            }
            cursor.removeSelectedText();
        }
        block = next;
    }
}

QString valueText(const TRpEvValue &value)
{
    switch (value.Kind()) {
    case evInteger:
        return QString::number(value.AsInteger());
    case evFloat:
        return RegionalSettings::current().floatToStr(value.AsFloat());
    case evBoolean:
        return value.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case evString:
    case evError:
        return value.Text();
    }
    return QString();
}

} // namespace FieldMarkers

RpFieldFiller::RpFieldFiller(RpPrintRun &run)
    : m_run(run)
{ }

RpFieldFiller::~RpFieldFiller() = default;

QString RpFieldFiller::value(const QString &expression)
{
    std::unique_ptr<TRpEvaluator> &compiled = m_compiled[expression];
    if (!compiled) {
        compiled = std::make_unique<TRpEvaluator>(m_run.Functions(), &m_run.DataSets());
        compiled->Compile(expression);
    }
    try {
        return FieldMarkers::valueText(compiled->Compute());
    } catch (const Exception &error) {
        return error.message();
    }
}
