#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// One object block as a tree of values, independent of its notation: the text notation and the resource form
// are both read into it and written from it, and the object layer (StreamObjects.h) maps it onto report
// objects. Every reader of either notation fails with EStreamError on a structurally broken block.

class EStreamError : public Exception
{
public:
    using Exception::Exception;
};

// Deeper nesting of objects, lists or collections than this is refused as broken.
constexpr int kMaxStreamNesting = 256;

struct StreamProperty;

struct StreamCollectionItem
{
    bool hasIndex = false;
    qint64 index = 0;
    std::vector<StreamProperty> properties;
};

struct StreamValue
{
    enum class Kind {
        Null,
        List,
        Integer,
        Extended,
        Single,
        Currency,
        Date,
        Identifier,
        String,
        Set,
        False,
        True,
        Nil,
        Binary,
        Collection
    };

    Kind kind = Kind::Null;
    qint64 integer = 0; // Integer; Currency holds the value times 10000
    long double real = 0; // Extended, Single, Date
    QString text; // String (any character), Identifier (an ASCII name, dots allowed)
    QStringList names; // Set
    QByteArray bytes; // Binary
    std::vector<StreamValue> items; // List
    std::vector<StreamCollectionItem> collection; // Collection

    static StreamValue fromInteger(qint64 v);
    static StreamValue fromExtended(long double v);
    static StreamValue fromBool(bool v);
    static StreamValue fromString(const QString &v);
    static StreamValue fromIdentifier(const QString &v);
    static StreamValue nil();

    bool operator==(const StreamValue &other) const;
};

struct StreamProperty
{
    QString name; // may be a dotted path into a sub-object ("Font.Name")
    StreamValue value;

    bool operator==(const StreamProperty &other) const = default;
};

inline bool operator==(const StreamCollectionItem &a, const StreamCollectionItem &b)
{
    return a.hasIndex == b.hasIndex && a.index == b.index && a.properties == b.properties;
}

struct StreamObject
{
    enum Flag { Inherited = 1, ChildPosition = 2, Inline = 4 };

    QString className;
    QString name; // may be empty
    int flags = 0;
    qint64 position = 0; // meaningful with ChildPosition
    std::vector<StreamProperty> properties;
    std::vector<StreamObject> children;

    bool operator==(const StreamObject &other) const = default;
};

// Names of classes, objects and properties must be plain identifiers (letters, digits, "_", not starting
// with a digit); property paths and references may join such identifiers with dots.
bool isStreamIdentifier(QStringView name);
bool isStreamPath(QStringView name);

// Text notation. Lines end with CR LF, characters are Windows-1252 bytes; a character outside it is written as
// a "#" code. Writing checks every name and fails with EStreamError on one that would not read back.
QByteArray writeObjectText(const StreamObject &object);
// Reads one object block; `consumed` receives the number of bytes up to and including the final "end" line.
StreamObject readObjectText(const QByteArray &text, qsizetype *consumed = nullptr);

// Resource form: the 0xFF header, then "TPF0" and the binary notation.
QByteArray writeObjectResource(const StreamObject &object);
StreamObject readObjectResource(const QByteArray &bytes, qsizetype *consumed = nullptr);
// The binary notation alone, starting with "TPF0".
QByteArray writeObjectBinary(const StreamObject &object);
StreamObject readObjectBinary(const QByteArray &bytes, qsizetype *consumed = nullptr);

// Reads a block in either form: the resource form when the first byte is 0xFF, else the text notation.
StreamObject readObjectBlock(const QByteArray &bytes, qsizetype *consumed = nullptr);

// The 10-byte extended float of the resource form, converted exactly to and from long double.
QByteArray extendedToBytes(long double value);
// False for a not-a-number or infinite value (and for non-canonical encodings), which are bad values.
bool extendedFromBytes(const char *bytes, long double &value);
// The shortest text that reads back to the same value ("1.5", "12", "1E20"); `value` must be finite.
QString formatStreamFloat(long double value);
