#include "report/notation/StreamTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

StreamObject oneProperty(const QString &name, const StreamValue &value)
{
    StreamObject object;
    object.className = QStringLiteral("TThing");
    object.name = QStringLiteral("Thing1");
    object.properties.push_back({name, value});
    return object;
}

// The line of the property, without the object's own lines.
QByteArray propertyText(const StreamValue &value)
{
    QByteArray text = writeObjectText(oneProperty(QStringLiteral("P"), value));
    text = text.mid(text.indexOf("\r\n") + 2);
    text.chop(int(qstrlen("end\r\n")));
    return text;
}

StreamValue real(long double v, StreamValue::Kind kind = StreamValue::Kind::Extended)
{
    StreamValue value = StreamValue::fromExtended(v);
    value.kind = kind;
    return value;
}

StreamValue currency(qint64 scaled)
{
    StreamValue value;
    value.kind = StreamValue::Kind::Currency;
    value.integer = scaled;
    return value;
}

StreamValue binary(const QByteArray &bytes)
{
    StreamValue value;
    value.kind = StreamValue::Kind::Binary;
    value.bytes = bytes;
    return value;
}

StreamValue set(const QStringList &names)
{
    StreamValue value;
    value.kind = StreamValue::Kind::Set;
    value.names = names;
    return value;
}

struct WriteCase
{
    const char *label;
    StreamValue value;
    const char *text;
};

class StreamTextWriting : public testing::TestWithParam<WriteCase>
{
};

TEST_P(StreamTextWriting, WritesTheValueAsTheNotationSays)
{
    EXPECT_EQ(propertyText(GetParam().value).toStdString(), std::string(GetParam().text));
}

// Every case must also read back to the same value.
TEST_P(StreamTextWriting, ReadsBackToTheSameValue)
{
    const StreamObject written = oneProperty(QStringLiteral("P"), GetParam().value);
    const StreamObject read = readObjectText(writeObjectText(written));
    ASSERT_EQ(read.properties.size(), 1u);
    const StreamValue &back = read.properties[0].value;
    const StreamValue &expected = GetParam().value;
    // A whole float is written without a point and reads back as an integer of the same value; readers
    // accept integers wherever floats are wanted.
    if (expected.kind == StreamValue::Kind::Extended && back.kind == StreamValue::Kind::Integer)
        EXPECT_EQ(static_cast<long double>(back.integer), expected.real) << GetParam().label;
    else
        EXPECT_TRUE(back == expected) << GetParam().label;
}

const QString kSeventy = QString(64, u'a') + QString(6, u'b');

INSTANTIATE_TEST_SUITE_P(
    Values, StreamTextWriting,
    testing::Values(
        WriteCase{"int", StreamValue::fromInteger(-42), "  P = -42\r\n"},
        WriteCase{"int64", StreamValue::fromInteger(std::numeric_limits<qint64>::min()),
                  "  P = -9223372036854775808\r\n"},
        WriteCase{"float", real(1.5), "  P = 1.5\r\n"},
        WriteCase{"whole float", real(12), "  P = 12\r\n"},
        WriteCase{"hundred", real(100), "  P = 100\r\n"},
        WriteCase{"large float", real(1e20L), "  P = 1E20\r\n"},
        WriteCase{"small float", real(0.0001L), "  P = 0.0001\r\n"},
        WriteCase{"tiny float", real(-1.5e-5L), "  P = -1.5E-5\r\n"},
        WriteCase{"single", real(0.25, StreamValue::Kind::Single), "  P = 0.25s\r\n"},
        WriteCase{"date", real(45000.5, StreamValue::Kind::Date), "  P = 45000.5d\r\n"},
        WriteCase{"currency", currency(-123456), "  P = -12.3456c\r\n"},
        WriteCase{"whole currency", currency(70000), "  P = 7c\r\n"},
        WriteCase{"identifier", StreamValue::fromIdentifier(QStringLiteral("poLandscape")), "  P = poLandscape\r\n"},
        WriteCase{"reference", StreamValue::fromIdentifier(QStringLiteral("Module.Table1")), "  P = Module.Table1\r\n"},
        WriteCase{"true", StreamValue::fromBool(true), "  P = True\r\n"},
        WriteCase{"nil", StreamValue::nil(), "  P = nil\r\n"},
        WriteCase{"empty string", StreamValue::fromString(QString()), "  P = ''\r\n"},
        WriteCase{"apostrophe", StreamValue::fromString(QStringLiteral("l'eau")), "  P = 'l'#39'eau'\r\n"},
        WriteCase{"line break", StreamValue::fromString(QStringLiteral("a\r\nb")), "  P = 'a'#13#10'b'\r\n"},
        WriteCase{"windows-1252", StreamValue::fromString(QStringLiteral("d\u00e9j\u00e0 \u20ac")),
                  "  P = 'd\xe9j\xe0 \x80'\r\n"},
        WriteCase{"wide", StreamValue::fromString(QStringLiteral("\u00e9\u0101")), "  P = #233#257\r\n"},
        WriteCase{"seventy characters", StreamValue::fromString(kSeventy),
                  "  P = \r\n    'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa' +\r\n    'bbbbbb'\r\n"},
        WriteCase{"set", set({QStringLiteral("fsBold"), QStringLiteral("fsItalic")}), "  P = [fsBold, fsItalic]\r\n"},
        WriteCase{"empty set", set({}), "  P = []\r\n"},
        WriteCase{"short binary", binary(QByteArray::fromHex("00ff10")), "  P = {00FF10}\r\n"},
        WriteCase{"empty binary", binary(QByteArray()), "  P = {}\r\n"},
        WriteCase{"long binary", binary(QByteArray(33, '\x0b')),
                  "  P = {\r\n    0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B\r\n    0B}\r\n"}),
    [](const testing::TestParamInfo<WriteCase> &info) {
        std::string name;
        for (const char *c = info.param.label; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(StreamTextWriting, ListsAndCollectionsNestOneLevelDeeper)
{
    StreamValue list;
    list.kind = StreamValue::Kind::List;
    list.items = {StreamValue::fromString(QStringLiteral("a")), StreamValue::fromInteger(2)};
    EXPECT_EQ(propertyText(list).toStdString(), "  P = (\r\n    'a'\r\n    2)\r\n");

    StreamValue collection;
    collection.kind = StreamValue::Kind::Collection;
    StreamCollectionItem item;
    item.properties.push_back({QStringLiteral("Width"), StreamValue::fromInteger(3)});
    StreamCollectionItem indexed;
    indexed.hasIndex = true;
    indexed.index = 4;
    collection.collection = {item, indexed};
    EXPECT_EQ(propertyText(collection).toStdString(),
              "  P = <\r\n    item\r\n      Width = 3\r\n    end\r\n    item [4]\r\n    end>\r\n");
}

TEST(StreamTextWriting, RefusesNamesThatWouldNotReadBack)
{
    StreamObject object = oneProperty(QStringLiteral("P"), StreamValue::fromInteger(1));
    object.name = QStringLiteral("two words");
    EXPECT_THROW(writeObjectText(object), EStreamError);
    EXPECT_THROW(writeObjectText(oneProperty(QStringLiteral("end"), StreamValue::fromInteger(1))), EStreamError);
    EXPECT_THROW(writeObjectText(oneProperty(QStringLiteral("A..B"), StreamValue::fromInteger(1))), EStreamError);
    EXPECT_THROW(writeObjectText(oneProperty(QStringLiteral("P"), StreamValue::fromIdentifier(QStringLiteral("1x")))),
                 EStreamError);
    EXPECT_THROW(writeObjectText(oneProperty(QStringLiteral("P"), real(std::numeric_limits<double>::infinity()))),
                 EStreamError);
}

// ---------------------------------------------------------------- reading

TEST(StreamTextReading, AcceptsTheKeywordVariantsAndJoinedPieces)
{
    const StreamObject object = readObjectText("INHERITED Form1: TForm [3]\r\n"
                                               "  Caption = 'a' +\r\n   'b'#33 + #$41\r\n"
                                               "  inline Frame1: TFrame\r\n  END\r\n"
                                               "eNd\r\n");
    EXPECT_EQ(object.flags, StreamObject::Inherited | StreamObject::ChildPosition);
    EXPECT_EQ(object.position, 3);
    ASSERT_EQ(object.properties.size(), 1u);
    EXPECT_EQ(object.properties[0].value.text, QStringLiteral("ab!A"));
    ASSERT_EQ(object.children.size(), 1u);
    EXPECT_EQ(object.children[0].flags, StreamObject::Inline);
}

struct BadValueCase
{
    const char *label;
    const char *value;
};

class StreamTextBadValues : public testing::TestWithParam<BadValueCase>
{
};

// A bad value skips its property; the properties around it are still read.
TEST_P(StreamTextBadValues, SkipsThePropertyAndReadsOn)
{
    const QByteArray text = QByteArray("object A: TThing\r\n  Before = 1\r\n  P = ") + GetParam().value
                            + "\r\n  After = 2\r\nend\r\n";
    const StreamObject object = readObjectText(text);
    ASSERT_EQ(object.properties.size(), 2u);
    EXPECT_EQ(object.properties[0].name, QStringLiteral("Before"));
    EXPECT_EQ(object.properties[1].name, QStringLiteral("After"));
}

INSTANTIATE_TEST_SUITE_P(Values, StreamTextBadValues,
                         testing::Values(BadValueCase{"code", "'a'#65536"}, BadValueCase{"hugecode", "#99999999999999999999"},
                                         BadValueCase{"overflow", "1E5000"}, BadValueCase{"singleoverflow", "1E300s"},
                                         BadValueCase{"integer", "99999999999999999999"},
                                         BadValueCase{"inlist", "(\r\n 1\r\n #70000)"}),
                         [](const auto &info) { return std::string(info.param.label); });

class StreamTextBroken : public testing::TestWithParam<const char *>
{
};

TEST_P(StreamTextBroken, FailsWithAStreamError)
{
    EXPECT_THROW(readObjectText(QByteArray(GetParam())), EStreamError);
}

INSTANTIATE_TEST_SUITE_P(Blocks, StreamTextBroken,
                         testing::Values("", "object", "object A: TThing\r\n", "object A: TThing\r\n  P = 1\r\n",
                                         "object A: TThing\r\n  P = 'open\r\nend\r\n", "object A: TThing\r\n  P =\r\nend",
                                         "object A: TThing\r\n  P = (1\r\n", "object A: TThing\r\n  P = {0A1}\r\nend",
                                         "object A: TThing\r\n  P = [a b]\r\nend", "thing A: TThing\r\nend",
                                         "object A: TThing\r\n  P = <\r\n item\r\n  end\r\nend",
                                         "object A: TThing\r\n  P = 'a' +\r\nend", "object A: TThing\r\n  P = -\r\nend"));

TEST(StreamTextReading, RefusesNestingBeyondTheBound)
{
    QByteArray deep;
    for (int i = 0; i < kMaxStreamNesting + 5; ++i)
        deep += "object A: T\r\n";
    for (int i = 0; i < kMaxStreamNesting + 5; ++i)
        deep += "end\r\n";
    EXPECT_THROW(readObjectText(deep), EStreamError);

    QByteArray lists = "object A: T\r\n P = " + QByteArray(kMaxStreamNesting + 5, '(')
                       + QByteArray(kMaxStreamNesting + 5, ')') + "\r\nend\r\n";
    EXPECT_THROW(readObjectText(lists), EStreamError);
}

TEST(StreamTextReading, ACollectionIndexSizesNothing)
{
    const StreamObject object = readObjectText("object A: T\r\n  P = <\r\n    item [2147483647]\r\n    end>\r\nend\r\n");
    ASSERT_EQ(object.properties.size(), 1u);
    EXPECT_EQ(object.properties[0].value.collection.size(), 1u);
    EXPECT_EQ(object.properties[0].value.collection[0].index, 2147483647);
}

// ---------------------------------------------------------------- resource form and floats

StreamObject richObject()
{
    StreamObject object = oneProperty(QStringLiteral("Text"), StreamValue::fromString(QString(300, u'x')));
    object.properties.push_back({QStringLiteral("Wide"), StreamValue::fromString(QStringLiteral("\u0101b"))});
    object.properties.push_back({QStringLiteral("Small"), StreamValue::fromInteger(-5)});
    object.properties.push_back({QStringLiteral("Mid"), StreamValue::fromInteger(40000)});
    object.properties.push_back({QStringLiteral("Big"), StreamValue::fromInteger(1LL << 40)});
    object.properties.push_back({QStringLiteral("Real"), real(0.1L)});
    object.properties.push_back({QStringLiteral("Single"), real(0.5, StreamValue::Kind::Single)});
    object.properties.push_back({QStringLiteral("Money"), currency(12345)});
    object.properties.push_back({QStringLiteral("Day"), real(3.25, StreamValue::Kind::Date)});
    object.properties.push_back({QStringLiteral("Flags"), set({QStringLiteral("a"), QStringLiteral("b")})});
    object.properties.push_back({QStringLiteral("Data"), binary(QByteArray("\0\1\2", 3))});
    object.properties.push_back({QStringLiteral("Link"), StreamValue::nil()});
    StreamValue collection;
    collection.kind = StreamValue::Kind::Collection;
    StreamCollectionItem item;
    item.hasIndex = true;
    item.index = 7;
    item.properties.push_back({QStringLiteral("Tag"), StreamValue::fromInteger(3)});
    collection.collection = {item, StreamCollectionItem{}};
    object.properties.push_back({QStringLiteral("Items"), collection});
    StreamObject child;
    child.className = QStringLiteral("TChild");
    child.flags = StreamObject::ChildPosition;
    child.position = 2;
    object.children.push_back(child);
    return object;
}

TEST(StreamResource, RoundTripsEveryValueKind)
{
    const StreamObject object = richObject();
    const QByteArray resource = writeObjectResource(object);
    ASSERT_EQ(quint8(resource[0]), 0xFF);
    qsizetype consumed = 0;
    EXPECT_TRUE(readObjectBlock(resource, &consumed) == object);
    EXPECT_EQ(consumed, resource.size());
    EXPECT_TRUE(readObjectText(writeObjectText(object)) == object);
}

TEST(StreamResource, EveryTruncationFailsCleanly)
{
    const QByteArray resource = writeObjectResource(richObject());
    for (qsizetype size = 0; size < resource.size(); ++size)
        EXPECT_THROW(readObjectResource(resource.left(size)), EStreamError) << size;
}

TEST(StreamResource, ALengthPastTheEndFails)
{
    QByteArray resource = writeObjectResource(oneProperty(QStringLiteral("Data"), binary(QByteArray(8, 'z'))));
    const qsizetype at = resource.indexOf(QByteArray("\x0a\x08\0\0\0", 5));
    ASSERT_GT(at, 0);
    resource[at + 4] = '\x7f'; // a binary length far past the end
    EXPECT_THROW(readObjectResource(resource), EStreamError);
}

class ExtendedFloat : public testing::TestWithParam<long double>
{
};

TEST_P(ExtendedFloat, ConvertsExactlyBothWays)
{
    const long double value = GetParam();
    long double back = 0;
    ASSERT_TRUE(extendedFromBytes(extendedToBytes(value).constData(), back));
    EXPECT_EQ(back, value);
    EXPECT_EQ(std::signbit(back), std::signbit(value));
    EXPECT_EQ(std::strtold(formatStreamFloat(value).toLatin1().constData(), nullptr), value);
}

INSTANTIATE_TEST_SUITE_P(Values, ExtendedFloat,
                         testing::Values(0.0L, -0.0L, 1.0L, -2.5L, 0.1L, 105.83333333333333333L, 1e20L, 1e-300L,
                                         std::numeric_limits<long double>::max(),
                                         std::numeric_limits<long double>::min(),
                                         std::numeric_limits<long double>::denorm_min()));

TEST(ExtendedFloatBytes, KnownEncodingAndNonFiniteValues)
{
    EXPECT_EQ(extendedToBytes(1.0L).toHex().toStdString(), "0000000000000080ff3f");
    long double value = 0;
    EXPECT_FALSE(extendedFromBytes(QByteArray::fromHex("0000000000000080ff7f").constData(), value)); // infinity
    EXPECT_FALSE(extendedFromBytes(QByteArray::fromHex("00000000000000c0ff7f").constData(), value)); // NaN
    EXPECT_FALSE(extendedFromBytes(QByteArray::fromHex("0000000000000000ff3f").constData(), value)); // unnormal
}

} // namespace
