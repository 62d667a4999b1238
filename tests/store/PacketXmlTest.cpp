#include "StoreTestHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace StoreTest;

namespace {

std::unique_ptr<IRecordStore> load(const QByteArray &packet)
{
    return IRecordStore::fromPacket(packet, QStringLiteral("Account.xml"));
}

std::unique_ptr<IRecordStore> accounts(const std::vector<std::pair<QByteArray, double>> &rows)
{
    auto store = IRecordStore::create(QStringLiteral("tblAccount"), accountColumns());
    store->setKeepChangeLog(false);
    auto cursor = store->createCursor();
    for (const auto &[name, balance] : rows) {
        cursor->moveToAfterLast();
        cursor->insertRecord(Rec(*store).setText(1, name).setDouble(2, balance).data());
    }
    return store;
}

TEST(PacketXml, WorkedExample_IsWrittenInTheXmlVocabulary)
{
    const QByteArray xml = accounts({ { "Banque", 100.5 } })->toPacket(PacketForm::Xml);
    EXPECT_EQ(QString::fromUtf8(xml),
        QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA>"
                       "<FIELDS><FIELD tagname=\"Account_Number\" fieldtype=\"i4\" readonly=\"true\" "
                       "SUBTYPE=\"Autoinc\"/><FIELD tagname=\"Account_Type\" fieldtype=\"string\" "
                       "WIDTH=\"50\"/><FIELD tagname=\"Account_Balance\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
                       "</FIELDS><PARAMS AUTOINCVALUE=\"2\"/></METADATA><ROWDATA><ROW>"
                       "<Account_Number>1</Account_Number><Account_Type>Banque</Account_Type>"
                       "<Account_Balance>100.5</Account_Balance></ROW></ROWDATA></DATAPACKET>"));
}

TEST(PacketXml, BinaryToXmlToBinary_IsUnchanged)
{
    auto store = accounts(
        { { "Banque", 100.5 }, { "", -0.1 }, { "Caisse d'\xE9pargne <5> & \"co\" \\ 1\x80", 1e300 } });
    auto cursor = store->createCursor();
    cursor->moveToAfterLast();
    cursor->insertRecord(Rec(*store).setNull(1).data()); // balance unassigned, name cleared
    const QByteArray binary = store->toPacket(PacketForm::Binary);
    auto fromXml = load(load(binary)->toPacket(PacketForm::Xml));
    fromXml->setKeepChangeLog(false);
    QByteArray back = fromXml->toPacket(PacketForm::Binary);
    // A cleared value reads back from XML as unassigned: both mean "no value".
    const int flagsAt = int(back.size()) - 4 - 1;
    EXPECT_EQ(back[flagsAt], char(0x28));
    back[flagsAt] = char(0x24);
    EXPECT_EQ(back.toHex(' '), binary.toHex(' '));
}

TEST(PacketXml, Text_IsUtf8WithTheListedEscapes)
{
    const QByteArray xml = accounts({ { "a<b>c&d'e\"f\r\n\tg\\h\x80", 0 } })->toPacket(PacketForm::Xml);
    EXPECT_TRUE(xml.contains("a&lt;b&gt;c&amp;d&apos;e&quot;f&#013;&#010;&#009;g&#092;h\xE2\x82\xAC"))
        << xml.constData();
    auto back = load(xml);
    auto cursor = back->createCursor();
    cursor->moveBy(1);
    Rec r(*back);
    cursor->getRecord(r.data());
    EXPECT_EQ(r.textAt(1), QByteArray("a<b>c&d'e\"f\r\n\tg\\h\x80"));
}

TEST(PacketXml, ControlCharacter_IsRefusedByTheWriter)
{
    auto store = accounts({ { QByteArray("bell\x07"), 0 } });
    try {
        store->toPacket(PacketForm::Xml);
        FAIL() << "written";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), StoreStatus::NotAllowed);
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_NO_THROW(store->toPacket(PacketForm::Binary));
}

struct DateCase
{
    const char *name;
    double stamp;
    const char *text;
};

class XmlDate : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(XmlDate, IsWrittenAndReadBack)
{
    std::vector<ColumnDesc> columns(1);
    columns[0].name = "When";
    columns[0].type = StoreType::DateTimeStamp;
    auto store = IRecordStore::create(QStringLiteral("t"), columns);
    store->setKeepChangeLog(false);
    auto cursor = store->createCursor();
    cursor->insertRecord(Rec(*store).setDouble(0, GetParam().stamp).data());
    const QByteArray xml = store->toPacket(PacketForm::Xml);
    EXPECT_TRUE(xml.contains(QByteArray("<When>") + GetParam().text + "</When>")) << xml.constData();
    auto back = load(xml);
    auto c = back->createCursor();
    c->moveBy(1);
    Rec r(*back);
    c->getRecord(r.data());
    double stamp;
    std::memcpy(&stamp, Record::value(back->layout(), r.data(), 0), 8);
    EXPECT_EQ(stamp, GetParam().stamp);
}

INSTANTIATE_TEST_SUITE_P(PacketXml, XmlDate,
    ::testing::Values(DateCase { "NewYear2024", 63839750400000.0, "20240101" },
        DateCase {
            "WithTime", 63839750400000.0 + 13 * 3600000.0 + 5 * 60000.0 + 7250, "20240101T13:05:07250" },
        DateCase { "FirstDay", 86400000.0, "00010101" },
        DateCase { "LastDay", 3652059.0 * 86400000.0, "99991231" }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Hostile and damaged XML

QByteArray packetWith(const char *fields, const char *rows)
{
    return QByteArray("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>") + fields
        + "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

const char *const kFields
    = "<FIELD tagname=\"N\" fieldtype=\"i4\"/><FIELD tagname=\"T\" fieldtype=\"string\" "
      "WIDTH=\"5\"/><FIELD tagname=\"R\" fieldtype=\"r8\"/><FIELD tagname=\"D\" "
      "fieldtype=\"dateTime\"/><FIELD tagname=\"S\" fieldtype=\"i2\"/>";

struct BadXmlCase
{
    const char *name;
    QByteArray packet;
    int status;
};

class BadXml : public ::testing::TestWithParam<BadXmlCase>
{
};

TEST_P(BadXml, IsRefused)
{
    try {
        load(GetParam().packet);
        FAIL() << "loaded";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), GetParam().status);
        EXPECT_TRUE(e.message().contains(QStringLiteral("Account.xml"))) << e.message().toStdString();
    }
}

constexpr int kInvalid = StoreStatus::InvalidPacket;

INSTANTIATE_TEST_SUITE_P(PacketXml, BadXml,
    ::testing::Values(
        BadXmlCase { "EntityDeclaration",
            "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
            "<DATAPACKET><METADATA><FIELDS><FIELD tagname=\"T\" fieldtype=\"string\" WIDTH=\"5\"/></FIELDS>"
            "</METADATA><ROWDATA><ROW><T>&b;</T></ROW></ROWDATA></DATAPACKET>",
            kInvalid },
        BadXmlCase { "UndeclaredEntity", packetWith(kFields, "<ROW><T>&x;</T></ROW>"), kInvalid },
        BadXmlCase { "NotWellFormed", packetWith(kFields, "<ROW><T>a</ROW>"), kInvalid },
        BadXmlCase { "OtherRoot", "<?xml version=\"1.0\"?><TABLE/>", kInvalid },
        BadXmlCase {
            "RowDataWithoutMetadata", "<DATAPACKET><ROWDATA/></DATAPACKET>", StoreStatus::NoMetadata },
        BadXmlCase { "NoFields", "<DATAPACKET><METADATA><FIELDS/></METADATA></DATAPACKET>", kInvalid },
        BadXmlCase {
            "UnknownFieldType", packetWith("<FIELD tagname=\"X\" fieldtype=\"blob\"/>", ""), kInvalid },
        BadXmlCase {
            "TextWithoutWidth", packetWith("<FIELD tagname=\"X\" fieldtype=\"string\"/>", ""), kInvalid },
        BadXmlCase { "TextTooLong", packetWith(kFields, "<ROW><T>abcdef</T></ROW>"), kInvalid },
        BadXmlCase {
            "CharacterOutsideCp1252", packetWith(kFields, "<ROW><T>\xE2\x82\xBD</T></ROW>"), kInvalid },
        BadXmlCase { "IntegerOutOfRange", packetWith(kFields, "<ROW><N>2147483648</N></ROW>"), kInvalid },
        BadXmlCase { "SmallIntegerOutOfRange", packetWith(kFields, "<ROW><S>40000</S></ROW>"), kInvalid },
        BadXmlCase { "IntegerNotANumber", packetWith(kFields, "<ROW><N>12a</N></ROW>"), kInvalid },
        BadXmlCase { "Infinity", packetWith(kFields, "<ROW><R>inf</R></ROW>"), kInvalid },
        BadXmlCase { "NotANumber", packetWith(kFields, "<ROW><R>nan</R></ROW>"), kInvalid },
        BadXmlCase { "Overflow", packetWith(kFields, "<ROW><R>1E400</R></ROW>"), kInvalid },
        BadXmlCase { "InvalidDate", packetWith(kFields, "<ROW><D>20230230</D></ROW>"), kInvalid },
        BadXmlCase { "YearZero", packetWith(kFields, "<ROW><D>00001231</D></ROW>"), kInvalid },
        BadXmlCase { "InvalidTime", packetWith(kFields, "<ROW><D>20230101T24:00:00000</D></ROW>"), kInvalid },
        BadXmlCase { "UnknownField", packetWith(kFields, "<ROW><Q>1</Q></ROW>"), kInvalid },
        BadXmlCase { "FieldTwice", packetWith(kFields, "<ROW><N>1</N><N>2</N></ROW>"), kInvalid },
        BadXmlCase { "NestedValue", packetWith(kFields, "<ROW><T><b>x</b></T></ROW>"), kInvalid },
        BadXmlCase { "AutoIncOutOfRange",
            "<DATAPACKET><METADATA><FIELDS><FIELD tagname=\"N\" fieldtype=\"i4\" SUBTYPE=\"Autoinc\"/>"
            "</FIELDS><PARAMS AUTOINCVALUE=\"9999999999\"/></METADATA><ROWDATA/></DATAPACKET>",
            kInvalid },
        BadXmlCase { "OrderPastColumns",
            "<DATAPACKET><METADATA><FIELDS><FIELD tagname=\"N\" fieldtype=\"i4\"/></FIELDS>"
            "<PARAMS DEFAULT_ORDER=\"2\"/></METADATA><ROWDATA/></DATAPACKET>",
            kInvalid }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PacketXml, AbsentValues_ReadAsUnassigned_AndVariantsAreTolerated)
{
    const QByteArray xml = packetWith(kFields, "\n  <ROW N=\"7\"><T>ab</T></ROW>\n  <ROW RowState=\"4\"/>\n");
    auto store = load(xml);
    ASSERT_EQ(store->rowCount(), 2);
    EXPECT_EQ(store->rowStatus(2), RowStatus::Inserted);
    auto cursor = store->createCursor();
    Rec r(*store);
    cursor->readRow(1, r.data());
    EXPECT_EQ(r.intAt(0), 7);
    EXPECT_EQ(r.textAt(1), "ab");
    EXPECT_EQ(r.stateAt(2), FieldState::Unassigned);
    EXPECT_EQ(r.stateAt(4), FieldState::Unassigned);
}

TEST(PacketXml, FieldNamesThatAreNoXmlNames_AreMappedAndRestored)
{
    std::vector<ColumnDesc> columns(3);
    columns[0].name = "Montant (TTC)";
    columns[1].name = "1st";
    columns[2].name = "Ann\xE9"
                      "e";
    auto store = IRecordStore::create(QStringLiteral("t"), columns);
    store->setKeepChangeLog(false);
    store->createCursor()->insertRecord(Rec(*store).setInt(0, 1).setInt(1, 2).setInt(2, 3).data());
    const QByteArray xml = store->toPacket(PacketForm::Xml);
    EXPECT_TRUE(xml.contains("fieldname=\"Montant (TTC)\" tagname=\"Montant__TTC_\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("fieldname=\"1st\" tagname=\"xF2\"")) << xml.constData();
    auto back = load(xml);
    EXPECT_EQ(back->columns()[0].name, "Montant (TTC)");
    EXPECT_EQ(back->columns()[1].name, "1st");
    EXPECT_EQ(back->columns()[2].name,
        QByteArray("Ann\xE9"
                   "e"));
    back->setKeepChangeLog(false);
    EXPECT_EQ(back->toPacket(PacketForm::Binary), store->toPacket(PacketForm::Binary));
}

TEST(PacketXml, UnknownParamsAndSubtypes_AreKept)
{
    const QByteArray xml
        = "<DATAPACKET><METADATA><FIELDS><FIELD tagname=\"N\" fieldtype=\"i4\" SUBTYPE=\"Dosh\"/>"
          "</FIELDS><PARAMS LCID=\"1036\"><PARAM Name=\"COUNT\" Value=\"-3\" Type=\"i4\" "
          "Roundtrip=\"True\"/></PARAMS></METADATA><ROWDATA/></DATAPACKET>";
    auto store = load(xml);
    EXPECT_EQ(store->columns()[0].subtype, StoreSubtype::None);
    const QByteArray again = store->toPacket(PacketForm::Xml);
    EXPECT_TRUE(again.contains("SUBTYPE=\"Dosh\"")) << again.constData();
    EXPECT_TRUE(again.contains(
        "<PARAMS LCID=\"1036\"><PARAM Name=\"COUNT\" Value=\"-3\" Type=\"i4\" Roundtrip=\"True\"/>"))
        << again.constData();
    EXPECT_EQ(load(store->toPacket(PacketForm::Binary))->toPacket(PacketForm::Xml), again);
}

} // namespace
