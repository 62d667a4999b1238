#include "StoreTestHelpers.h"
#include "support/TestSupport.h"

#include "store/PacketReader.h"

#include <gtest/gtest.h>

using namespace StoreTest;
using TestSupport::fromHex;

namespace {

const char *const kWorkedExample = R"(
96 19 E0 BD 01 00 00 00 18 00 00 00 03 00 01 00 00 00 03 00 00 00 A9 00
0E 41 63 63 6F 75 6E 74 5F 4E 75 6D 62 65 72 04 00 01 00 02 00 01 00
07 53 55 42 54 59 50 45 02 00 49 00 08 00 41 75 74 6F 69 6E 63 00
0C 41 63 63 6F 75 6E 74 5F 54 79 70 65 01 00 49 00 00 00 01 00
05 57 49 44 54 48 02 00 02 00 32 00
0F 41 63 63 6F 75 6E 74 5F 42 61 6C 61 6E 63 65 08 00 04 00 00 00 01 00
07 53 55 42 54 59 50 45 02 00 49 00 06 00 4D 6F 6E 65 79 00
01 00
0C 41 55 54 4F 49 4E 43 56 41 4C 55 45 04 00 01 00 02 00 00 00
00 00 01 00 00 00 06 42 61 6E 71 75 65 00 00 00 00 00 20 59 40)";

std::unique_ptr<IRecordStore> accountStore()
{
    auto store = IRecordStore::create(QStringLiteral("tblAccount"), accountColumns());
    store->setKeepChangeLog(false);
    return store;
}

void appendAccount(IRecordStore &store, const QByteArray &name, double balance)
{
    auto cursor = store.createCursor();
    cursor->moveToAfterLast();
    cursor->insertRecord(Rec(store).setText(1, name).setDouble(2, balance).data());
}

std::unique_ptr<IRecordStore> load(const QByteArray &packet)
{
    return IRecordStore::fromPacket(packet, QStringLiteral("Account.dat"));
}

TEST(Packet, WorkedExample_IsWrittenByteForByte)
{
    auto store = accountStore();
    appendAccount(*store, "Banque", 100.5);
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    EXPECT_EQ(packet.size(), 190);
    EXPECT_EQ(packet.toHex(' '), fromHex(kWorkedExample).toHex(' '));
}

TEST(Packet, WorkedExample_ReadsBackAndWritesTheSameBytes)
{
    auto store = load(fromHex(kWorkedExample));
    ASSERT_EQ(store->columns().size(), 3u);
    EXPECT_EQ(store->columns()[0].name, "Account_Number");
    EXPECT_EQ(store->columns()[0].subtype, StoreSubtype::Autoinc);
    EXPECT_EQ(store->columns()[0].attributes, StoreAttr::ReadOnly);
    EXPECT_EQ(store->columns()[1].width, 50);
    EXPECT_EQ(store->columns()[2].subtype, StoreSubtype::Money);
    EXPECT_EQ(store->autoIncColumn(), 0);
    EXPECT_EQ(store->nextAutoIncValue(), 2);
    EXPECT_EQ(store->changeCount(), 0);
    auto cursor = store->createCursor();
    ASSERT_EQ(cursor->moveBy(1), 1);
    Rec r(*store);
    ASSERT_TRUE(cursor->getRecord(r.data()));
    EXPECT_EQ(r.intAt(0), 1);
    EXPECT_EQ(r.textAt(1), "Banque");
    store->setKeepChangeLog(false);
    EXPECT_EQ(store->toPacket(PacketForm::Binary), fromHex(kWorkedExample));
}

TEST(Packet, EmptyChangedTable_Is169Bytes)
{
    auto store = accountStore();
    appendAccount(*store, "x", 1);
    auto cursor = store->createCursor();
    cursor->moveBy(1);
    cursor->deleteRecord();
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    EXPECT_EQ(packet.size(), 169);
    EXPECT_EQ(packet.mid(14, 4), fromHex("00 00 00 00"));
    EXPECT_EQ(packet.mid(22, 2), fromHex("A9 00"));
    EXPECT_EQ(packet.right(4), fromHex("02 00 00 00"));
}

TEST(Packet, EmptyText_IsLengthOneAndZeroByte_AndReadsBackNonNull)
{
    auto store = accountStore();
    appendAccount(*store, "", 0);
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    EXPECT_EQ(packet.mid(175, 2), fromHex("01 00"));
    auto back = load(packet);
    auto cursor = back->createCursor();
    cursor->moveBy(1);
    Rec r(*back);
    cursor->getRecord(r.data());
    EXPECT_EQ(r.stateAt(1), FieldState::Value);
    EXPECT_EQ(r.textAt(1), "");
}

std::vector<ColumnDesc> transactionColumns()
{
    std::vector<ColumnDesc> c(5);
    const auto column = [](const char *name, StoreType type, int subtype, int width, quint16 attributes) {
        ColumnDesc d;
        d.name = name;
        d.type = type;
        d.subtype = subtype;
        d.width = width;
        d.attributes = attributes;
        return d;
    };
    c[0] = column("Transaction_Number", StoreType::Int32, StoreSubtype::Autoinc, 0, StoreAttr::ReadOnly);
    c[1] = column("Transaction_Description", StoreType::Text, 0, 100, 0);
    c[2] = column("Transaction_Date", StoreType::DateTimeStamp, 0, 0, 0);
    c[3] = column("Transaction_Amount", StoreType::Float, StoreSubtype::Money, 0, 0);
    c[4] = column("Account_Number", StoreType::Int32, 0, 0, 0);
    return c;
}

struct FlagCase
{
    const char *name;
    FieldState dateState;
    const char *flags;
};

class DateFlags : public ::testing::TestWithParam<FlagCase>
{
};

TEST_P(DateFlags, NullAndUnassignedDatesWriteTheirBitsAndReadBack)
{
    auto store = IRecordStore::create(QStringLiteral("tblTransaction"), transactionColumns());
    store->setKeepChangeLog(false);
    auto cursor = store->createCursor();
    Rec r(*store);
    r.setText(1, "x").setDouble(3, -5).setInt(4, 1);
    if (GetParam().dateState == FieldState::Null)
        r.setNull(2);
    cursor->insertRecord(r.data());
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    const int rowStart = quint8(packet[22]) | (quint8(packet[23]) << 8);
    EXPECT_EQ(packet.mid(rowStart + 1, 2), fromHex(GetParam().flags));
    auto back = IRecordStore::fromPacket(packet, QStringLiteral("Transaction.dat"));
    auto c = back->createCursor();
    c->moveBy(1);
    Rec read(*back);
    c->getRecord(read.data());
    EXPECT_EQ(read.stateAt(2), GetParam().dateState);
}

INSTANTIATE_TEST_SUITE_P(Packet, DateFlags,
    ::testing::Values(FlagCase { "Unassigned", FieldState::Unassigned, "20 00" },
        FlagCase { "Cleared", FieldState::Null, "10 00" }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Auto-increment after loading: the stored value, but never a number already in use.

QByteArray withAutoInc(qint32 stored, qint32 number)
{
    QByteArray packet = fromHex(kWorkedExample);
    std::memcpy(packet.data() + 165, &stored, 4);
    std::memcpy(packet.data() + 171, &number, 4);
    return packet;
}

struct AutoIncCase
{
    const char *name;
    qint32 stored;
    qint32 highest;
    qint32 expected;
};

class AutoIncLoad : public ::testing::TestWithParam<AutoIncCase>
{
};

TEST_P(AutoIncLoad, NextValueIsAboveEveryLoadedKey)
{
    auto store = load(withAutoInc(GetParam().stored, GetParam().highest));
    EXPECT_EQ(store->nextAutoIncValue(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Packet, AutoIncLoad,
    ::testing::Values(AutoIncCase { "StoredHigher", 57, 1, 57 }, AutoIncCase { "KeyHigher", 57, 80, 81 },
        AutoIncCase { "StoredZero", 0, -5, 1 }, AutoIncCase { "StoredNegative", -9, -20, 1 },
        AutoIncCase { "KeyAtMaximum", 3, 2147483647, 2147483647 },
        AutoIncCase { "StoredMaximum", 2147483647, 1, 2147483647 }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Packet, AutoIncAtMaximum_RefusesInsertAndKeepsTableUnchanged)
{
    auto store = load(withAutoInc(2147483646, 1));
    store->setKeepChangeLog(false);
    appendAccount(*store, "last", 0);
    EXPECT_EQ(store->nextAutoIncValue(), 2147483647);
    const QByteArray before = store->toPacket(PacketForm::Binary);
    try {
        appendAccount(*store, "more", 0);
        FAIL() << "insert accepted";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), StoreStatus::NotAllowed);
    }
    EXPECT_EQ(store->liveRowCount(), 2);
    EXPECT_EQ(store->toPacket(PacketForm::Binary), before);
}

TEST(Packet, WithoutAutoIncValue_StartsAboveHighestKey)
{
    auto store = accountStore();
    appendAccount(*store, "a", 0);
    appendAccount(*store, "b", 0);
    QByteArray packet = store->toPacket(PacketForm::Binary);
    // Drop the table attribute: count 0 and the 21 bytes of AUTOINCVALUE gone.
    packet[146] = 0;
    packet.remove(148, 21);
    packet[22] = char(148);
    EXPECT_EQ(load(packet)->nextAutoIncValue(), 3);
}

TEST(Packet, UnknownAttributesAndSubtypes_SurviveReadAndWrite)
{
    auto store = accountStore();
    appendAccount(*store, "a", 0);
    QByteArray packet = store->toPacket(PacketForm::Binary);
    // Column 3: subtype "Money" becomes the unknown "Dosh"; add an unknown column attribute and a table one.
    const QByteArray money = fromHex("07") + "SUBTYPE" + fromHex("02 00 49 00 06 00") + "Money" + '\0';
    const QByteArray dosh = fromHex("07") + "SUBTYPE" + fromHex("02 00 49 00 05 00") + "Dosh" + '\0';
    const QByteArray colour = fromHex("06") + "COLOUR" + fromHex("04 00 01 00 FF 00 00 00");
    const int at = int(packet.indexOf(money));
    ASSERT_GT(at, 0);
    packet.replace(at, money.size(), dosh + colour);
    packet[124] = 2; // column 3 now has two attributes
    const QByteArray note = fromHex("04") + "NOTE" + fromHex("01 00 49 00 03") + "abc";
    const int tableCount = int(packet.indexOf(QByteArray(fromHex("0C")) + "AUTOINCVALUE")) - 2;
    packet[tableCount] = 2;
    const int rows = quint8(packet[22]) | (quint8(packet[23]) << 8);
    packet.insert(rows + colour.size() - 1, note);
    packet[22] = char(rows + colour.size() - 1 + note.size());
    auto back = load(packet);
    EXPECT_EQ(back->columns()[2].subtype, StoreSubtype::None);
    back->setKeepChangeLog(false);
    EXPECT_EQ(back->toPacket(PacketForm::Binary).toHex(' '), packet.toHex(' '));
}

// ---- Damaged and hostile packets are refused with a status and a message naming the file.

struct DamageCase
{
    const char *name;
    std::function<QByteArray(QByteArray)> damage;
    int status;
};

class Damaged : public ::testing::TestWithParam<DamageCase>
{
};

TEST_P(Damaged, IsRefusedWithStatusAndFileName)
{
    const QByteArray packet = GetParam().damage(fromHex(kWorkedExample));
    try {
        load(packet);
        FAIL() << "damaged packet loaded";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), GetParam().status);
        EXPECT_TRUE(e.message().contains(QStringLiteral("Account.dat"))) << e.message().toStdString();
    }
}

QByteArray setByte(QByteArray p, int at, int value)
{
    p[at] = char(value);
    return p;
}

constexpr int kInvalid = StoreStatus::InvalidPacket;

INSTANTIATE_TEST_SUITE_P(Packet, Damaged,
    ::testing::Values(
        DamageCase { "Empty", [](QByteArray) { return QByteArray(); }, StoreStatus::NoMetadata },
        DamageCase { "NotAPacket", [](QByteArray) { return QByteArray("hello world"); }, kInvalid },
        DamageCase { "HeaderOnly", [](QByteArray p) { return p.left(24); }, kInvalid },
        DamageCase { "CutInHeader", [](QByteArray p) { return p.left(12); }, kInvalid },
        DamageCase { "HeaderSizeNot24", [](QByteArray p) { return setByte(p, 8, 25); }, kInvalid },
        DamageCase {
            "NoMetadataFlag", [](QByteArray p) { return setByte(p, 18, 2); }, StoreStatus::NoMetadata },
        DamageCase { "NoColumns", [](QByteArray p) { return setByte(p, 12, 0); }, kInvalid },
        DamageCase { "MoreColumnsThanPresent", [](QByteArray p) { return setByte(p, 12, 200); }, kInvalid },
        DamageCase { "RowCountTooHigh", [](QByteArray p) { return setByte(p, 14, 2); }, kInvalid },
        DamageCase { "RowCountHuge", [](QByteArray p) { return setByte(p, 17, 0x7F); }, kInvalid },
        DamageCase { "RowCountTooLow", [](QByteArray p) { return setByte(p, 14, 0); }, kInvalid },
        DamageCase { "CutInRow", [](QByteArray p) { return p.left(185); }, kInvalid },
        DamageCase { "CutAtRowBoundary", [](QByteArray p) { return p.left(169); }, kInvalid },
        DamageCase { "UnknownTypeClass", [](QByteArray p) { return setByte(p, 41, 0x13); }, kInvalid },
        DamageCase { "WrongIntegerSize", [](QByteArray p) { return setByte(p, 39, 3); }, kInvalid },
        DamageCase { "ArrayColumn", [](QByteArray p) { return setByte(p, 41, 0x81); }, kInvalid },
        DamageCase { "TextPrefixOfFour", [](QByteArray p) { return setByte(p, 82, 4); }, kInvalid },
        DamageCase {
            "TextWithoutWidth", [](QByteArray p) { return setByte(setByte(p, 100, 0), 101, 0); }, kInvalid },
        DamageCase { "TextLongerThanWidth", [](QByteArray p) { return setByte(setByte(p, 100, 5), 101, 0); },
            kInvalid },
        DamageCase { "TextLengthPastEnd", [](QByteArray p) { return setByte(p, 175, 0xFF); }, kInvalid },
        DamageCase { "WidthNotInteger", [](QByteArray p) { return setByte(p, 98, 0x08); }, kInvalid },
        DamageCase { "SubtypeNotText", [](QByteArray p) { return setByte(p, 57, 0x01); }, kInvalid },
        DamageCase { "AutoIncNot32Bit", [](QByteArray p) { return setByte(p, 161, 0x02); }, kInvalid },
        DamageCase { "AttributeCountPastEnd", [](QByteArray p) { return setByte(p, 146, 9); }, kInvalid },
        DamageCase {
            "NameLengthPastEnd", [](QByteArray p) { return setByte(p.left(30), 24, 0xFF); }, kInvalid },
        DamageCase { "UnknownRowStatus", [](QByteArray p) { return setByte(p, 169, 0x40); }, kInvalid },
        DamageCase { "TrailingBytes", [](QByteArray p) { return p + "xx"; }, kInvalid }),
    [](const auto &info) { return std::string(info.param.name); });

QByteArray tableAttribute(const QByteArray &attribute)
{
    QByteArray p = fromHex(kWorkedExample);
    p[146] = 2;
    p.insert(169, attribute);
    p[22] = char(169 + attribute.size());
    return p;
}

struct AttributeCase
{
    const char *name;
    QByteArray attribute;
};

class DamagedTableAttribute : public ::testing::TestWithParam<AttributeCase>
{
};

TEST_P(DamagedTableAttribute, IsRefused)
{
    EXPECT_THROW(load(tableAttribute(GetParam().attribute)), EStoreError);
}

INSTANTIATE_TEST_SUITE_P(Packet, DamagedTableAttribute,
    ::testing::Values(AttributeCase { "OrderFieldZero",
                          fromHex("0D") + "DEFAULT_ORDER" + fromHex("02 00 82 00 01 00 00 00 00 00") },
        AttributeCase { "OrderFieldPastColumns",
            fromHex("0B") + "PRIMARY_KEY" + fromHex("02 00 82 00 01 00 00 00 04 00") },
        AttributeCase {
            "OrderCountPastEnd", fromHex("0A") + "UNIQUE_KEY" + fromHex("02 00 82 00 FF FF FF 7F 01 00") },
        AttributeCase { "ChangeLogRowPastRows",
            fromHex("0A") + "CHANGE_LOG"
                + fromHex("04 00 82 00 03 00 00 00 02 00 00 00 00 00 00 00 04 00 00 00") },
        AttributeCase { "ChangeLogNotTriples",
            fromHex("0A") + "CHANGE_LOG" + fromHex("04 00 82 00 02 00 00 00 01 00 00 00 00 00 00 00") },
        AttributeCase { "ArrayOfText", fromHex("01") + "X" + fromHex("01 00 C9 00 01 00 00 00 00") },
        AttributeCase { "BadTypeWord", fromHex("01") + "X" + fromHex("04 00 3F 00 00 00 00 00") }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Packet, ValidOrderAndChangeLog_AreAccepted)
{
    auto store
        = load(tableAttribute(fromHex("0D") + "DEFAULT_ORDER" + fromHex("02 00 82 00 01 00 00 00 01 00")));
    EXPECT_EQ(store->liveRowCount(), 1);
    store->setKeepChangeLog(false);
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    EXPECT_EQ(packet.size(), 190 + 24);
    EXPECT_EQ(packet.mid(149, 13), "DEFAULT_ORDER"); // written before AUTOINCVALUE
}

TEST(Packet, DuplicateColumnNames_AreRenamedOnLoad)
{
    QByteArray packet = fromHex(kWorkedExample);
    packet.replace(25, 14, "account_type__");
    packet.replace(70, 12, "ACCOUNT_TYPE");
    packet[69] = 14;
    packet.insert(82, "__");
    packet[22] = char(171);
    auto store = load(packet);
    EXPECT_EQ(store->columns()[0].name, "account_type__");
    EXPECT_EQ(store->columns()[1].name, "ACCOUNT_TYPE___1");
    std::vector<ColumnDesc> columns = accountColumns();
    columns[1].name = "Account_Number";
    auto same = IRecordStore::create(QStringLiteral("t"), columns);
    same->setKeepChangeLog(false);
    auto back = load(same->toPacket(PacketForm::Binary));
    EXPECT_EQ(back->columns()[1].name, "Account_Number_1");
}

TEST(Packet, MetadataPast64K_ClearsTheRowOffsetFlag_AndStillReads)
{
    std::vector<ColumnDesc> columns(2000);
    for (size_t i = 0; i < columns.size(); ++i)
        columns[i].name = QByteArray("Column_with_a_long_name_") + QByteArray::number(qulonglong(i));
    auto store = IRecordStore::create(QStringLiteral("wide"), columns);
    store->setKeepChangeLog(false);
    Rec r(*store);
    r.setInt(1999, 42);
    store->createCursor()->insertRecord(r.data());
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    ASSERT_GT(packet.size(), 65536);
    EXPECT_EQ(packet.mid(18, 6), fromHex("01 00 00 00 00 00"));
    auto back = load(packet);
    Rec read(*back);
    back->createCursor()->readRow(1, read.data());
    EXPECT_EQ(read.intAt(1999), 42);
    EXPECT_EQ(read.stateAt(0), FieldState::Unassigned);
}

TEST(Packet, ChangeLog_IsWrittenAndRestored)
{
    auto store = IRecordStore::create(QStringLiteral("t"), accountColumns());
    appendAccount(*store, "a", 1);
    appendAccount(*store, "b", 2);
    auto cursor = store->createCursor();
    cursor->moveBy(1);
    cursor->deleteRecord();
    const QByteArray packet = store->toPacket(PacketForm::Binary);
    EXPECT_TRUE(packet.contains("CHANGE_LOG"));
    auto back = load(packet);
    EXPECT_EQ(back->rowCount(), 2);
    EXPECT_EQ(back->liveRowCount(), 1);
    EXPECT_EQ(back->rowStatus(1), RowStatus::Deleted);
    EXPECT_EQ(back->changeLog().size(), 3u);
    EXPECT_EQ(back->toPacket(PacketForm::Binary), packet);
}

TEST(Packet, RowsAreWrittenInDefaultOrderWithoutDeletedRows)
{
    auto store = accountStore();
    appendAccount(*store, "A", 0);
    appendAccount(*store, "B", 0);
    appendAccount(*store, "C", 0);
    auto cursor = store->createCursor();
    cursor->moveToRow(2);
    cursor->insertRecord(Rec(*store).setText(1, "D").setDouble(2, 0).data());
    cursor->moveToRow(3);
    cursor->deleteRecord();
    auto back = load(store->toPacket(PacketForm::Binary));
    auto c = back->createCursor();
    QByteArray names;
    Rec r(*back);
    while (c->moveBy(1) == 1) {
        c->getRecord(r.data());
        names += r.textAt(1);
    }
    EXPECT_EQ(names, "ADB");
    EXPECT_EQ(back->nextAutoIncValue(), 5);
}

} // namespace

namespace {

TEST(Packet, FromFile_LoadsAndReportsUnreadableOrEmptyFiles)
{
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("Account.dat"));
    TestSupport::writeFile(good, fromHex(kWorkedExample));
    EXPECT_EQ(IRecordStore::fromFile(good)->liveRowCount(), 1);

    const QString empty = folder.filePath(QStringLiteral("Empty.dat"));
    TestSupport::writeFile(empty, QByteArray());
    try {
        IRecordStore::fromFile(empty);
        FAIL() << "empty file loaded";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), StoreStatus::NoMetadata);
    }
    EXPECT_THROW(IRecordStore::fromFile(folder.filePath(QStringLiteral("Missing.dat"))), EFOpenError);
}

} // namespace
