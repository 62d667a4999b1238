#pragma once

#include <QString>
#include <QtGlobal>

// The kinds of a report expression value.
enum TRpEvKind { evInteger, evFloat, evString, evBoolean, evError };

// Texts and error messages of expression values hold at most this many characters; longer ones are cut.
constexpr int kRpEvMaxText = 255;

// The value of a report expression: a 32-bit integer, a float, a text, a Boolean, or an error with its
// message. A default value is the integer 0.
class TRpEvValue
{
public:
    TRpEvValue() = default;

    static TRpEvValue Integer(qint32 value);
    // An integer when the value fits 32 bits, otherwise the same number as a float.
    static TRpEvValue Integer64(qint64 value);
    static TRpEvValue Float(double value);
    static TRpEvValue String(const QString &text);
    static TRpEvValue Boolean(bool value);
    static TRpEvValue Error(const QString &message);

    TRpEvKind Kind() const { return m_kind; }
    bool IsNumeric() const { return m_kind == evInteger || m_kind == evFloat; }
    bool IsError() const { return m_kind == evError; }

    qint32 AsInteger() const { return m_integer; }
    // The number of an integer or a float value.
    double AsFloat() const { return m_kind == evInteger ? double(m_integer) : m_float; }
    bool AsBoolean() const { return m_boolean; }
    // The text of a string value, or the message of an error value.
    const QString &Text() const { return m_text; }

    // The value as text: integers in decimal, floats in the general number format, strings unchanged,
    // Booleans as "True" or "False". An error value raises Exception "Error in expression : %s".
    QString ValueToText() const;

    // Name of a kind as TYPEOF gives it: "INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR".
    static QString KindName(TRpEvKind kind);

private:
    TRpEvKind m_kind = evInteger;
    qint32 m_integer = 0;
    bool m_boolean = false;
    double m_float = 0.0;
    QString m_text;
};

// "kind: text" on one line, as the command-line tool prints a result: "integer: 7", "float: 3,5",
// "string: abc", "boolean: True", "error: Cannot divide by 0".
QString rpEvDescribe(const TRpEvValue &value);

// Cuts a text to the length an expression value may hold.
QString rpEvCutText(const QString &text);

// Ordinal, case-sensitive comparison of two texts by their single-byte character codes: < 0, 0, > 0.
int rpEvCompareOrdinal(const QString &a, const QString &b);
