#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class TRpEvValue;

// What a data field's design options do to the text of its field before the text prints: the value map,
// the suppression of repeated values and the blanking of zero values. Keeps the text printed last, for the
// suppression, while a report runs.
class RpDataFieldOptions
{
public:
    // Computes a mapped expression.
    using Evaluate = std::function<TRpEvValue(const QString &expression)>;

    // Lines of the displayed text, a tab and the stored value it replaces.
    QStringList mapList;
    bool suppressRepeatedValues = false;
    bool reprintOnNewPage = false;
    bool blankIfZero = false;

    // The displayed value of the first map line whose stored value equals the text, or the text itself when
    // no line matches. Only a displayed value taken from a matching line and longer than four characters
    // that begins and ends with "%%" is an expression: it gives its value when that is a text or a whole
    // number, and the empty text otherwise. The field's own text is never computed, and the map applies
    // once.
    static QString mapValue(const QStringList &mapList, const QString &text, const Evaluate &evaluate);

    // The text of one occurrence after the map, the suppression (a text equal to the one printed last is
    // left out, unless ReprintOnNewPage is set and the page changed) and BlankIfZero (`valueIsZero`: the
    // field read as a number is 0).
    QString apply(const QString &text, bool valueIsZero, int pageNumber, const Evaluate &evaluate);

    // The next occurrence prints whatever the last one was (a new group starts, a new run).
    void forgetLastText();

private:
    bool m_hasLast = false;
    QString m_lastText;
    int m_lastPage = 0;
};
