#include "StoreTestHelpers.h"

#include <gtest/gtest.h>

using namespace StoreTest;

namespace {

struct Table
{
    explicit Table(std::vector<ColumnDesc> columns = keyedColumns())
        : store(IRecordStore::create(QStringLiteral("t"), std::move(columns)))
        , cursor(store->createCursor())
    {
        store->setKeepChangeLog(false);
    }
    int append(qint32 key, const QByteArray &name = "x")
    {
        cursor->moveToAfterLast();
        return cursor->insertRecord(Rec(*store).setInt(1, key).setText(2, name).data());
    }
    Rec current() const
    {
        Rec r(*store);
        cursor->getRecord(r.data());
        return r;
    }
    std::unique_ptr<IRecordStore> store;
    std::unique_ptr<IRecordCursor> cursor;
};

// ---- Sort order: the quicksort and insertion sort leave equal keys in a fixed order.

struct SortCase
{
    const char *name;
    std::vector<int> keys; // key of row 1, 2, …
    std::vector<int> expected; // rows in sorted order
};

class SortOrder : public ::testing::TestWithParam<SortCase>
{
};

TEST_P(SortOrder, EqualKeysComeOutInTheOrderOfTheTwoPasses)
{
    Table t;
    for (int key : GetParam().keys)
        t.append(key);
    t.cursor->setSortColumns({ 1 });
    EXPECT_EQ(viewRows(*t.cursor), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(RecordStore, SortOrder,
    ::testing::Values(SortCase { "TenOrFewerKeepArrivalOrder", { 3, 1, 2, 1, 3 }, { 2, 4, 3, 1, 5 } },
        SortCase {
            "TenEqualKeepArrivalOrder", { 7, 7, 7, 7, 7, 7, 7, 7, 7, 7 }, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 } },
        SortCase { "ElevenEqualArePartitioned", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 },
            { 7, 11, 10, 9, 8, 1, 6, 5, 4, 3, 2 } },
        SortCase { "TwelveEqualArePartitioned", { 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5 },
            { 7, 12, 11, 10, 9, 8, 1, 6, 5, 4, 3, 2 } },
        SortCase {
            "ElevenOfTwoKeys", { 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1 }, { 8, 2, 4, 10, 6, 11, 9, 1, 7, 5, 3 } },
        SortCase { "DistinctKeysSortAscending", { 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, -2 },
            { 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1 } }),
    [](const auto &info) { return std::string(info.param.name); });

// Integer keys are sorted by a faster route than other keys; it must give exactly the order of the two
// passes. A sort on the key column twice goes the general way and gives the order to compare with.
struct KeyMix
{
    const char *name;
    int rows;
    int distinct; // keys drawn from 0 .. distinct - 1; 0: every key its own
    int nullEvery; // every n-th row has no key; 0: none
    bool ascending; // keys laid out in rising runs instead of drawn at random
};

class IntegerKeyOrder : public ::testing::TestWithParam<KeyMix>
{
};

TEST_P(IntegerKeyOrder, IsTheOrderOfTheTwoPasses)
{
    const KeyMix &mix = GetParam();
    Table t;
    quint32 x = 2024;
    for (int i = 0; i < mix.rows; ++i) {
        x = x * 1103515245u + 12345u;
        const int key = mix.ascending ? i / std::max(1, mix.rows / std::max(1, mix.distinct))
            : mix.distinct            ? int((x >> 8) % quint32(mix.distinct)) - mix.distinct / 2
                                      : int(x >> 1) - (1 << 30);
        t.cursor->moveToAfterLast();
        Rec record(*t.store);
        if (mix.nullEvery && i % mix.nullEvery == 0)
            record.setNull(1);
        else
            record.setInt(1, key);
        t.cursor->insertRecord(record.setText(2, "x").data());
    }
    auto general = t.store->createCursor();
    general->setSortColumns({ 1, 1 });
    t.cursor->setSortColumns({ 1 });
    ASSERT_EQ(viewRows(*t.cursor), viewRows(*general));
}

INSTANTIATE_TEST_SUITE_P(RecordStore, IntegerKeyOrder,
    ::testing::Values(KeyMix { "Eleven", 11, 2, 0, false }, KeyMix { "AroundOneBlockPair", 257, 3, 0, false },
        KeyMix { "ManyEqual", 5000, 1, 0, false }, KeyMix { "TwoKeys", 5000, 2, 0, false },
        KeyMix { "AThousandAccounts", 20000, 1000, 0, false }, KeyMix { "AllDistinct", 20000, 0, 0, false },
        KeyMix { "WithNulls", 20000, 50, 7, false }, KeyMix { "AlreadySorted", 20000, 100, 0, true },
        KeyMix { "FewWithNulls", 3000, 3, 2, false }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordStore, SortIndex_IsOrderedForManyRows)
{
    Table t;
    for (int i = 0; i < 5000; ++i)
        t.append((i * 7919) % 1009 - 500);
    t.cursor->setSortColumns({ 1 });
    int previous = INT_MIN;
    Rec r(*t.store);
    for (int i = 0; i < t.cursor->viewRowCount(); ++i) {
        t.cursor->readRow(t.cursor->rowAt(i), r.data());
        ASSERT_LE(previous, r.intAt(1));
        previous = r.intAt(1);
    }
    EXPECT_EQ(t.cursor->viewRowCount(), 5000);
}

TEST(RecordStore, SortOnText_NullsFirstThenCollation)
{
    Table t;
    t.append(1, "b");
    t.cursor->moveToAfterLast();
    t.cursor->insertRecord(Rec(*t.store).setInt(1, 2).setNull(2).data());
    t.append(3, "A");
    t.append(4, "a");
    t.cursor->setSortColumns({ 2 });
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2, 4, 3, 1 }));
}

// ---- Insert positions

TEST(RecordStore, Insert_GoesBeforeCurrentRowInArrivalOrder)
{
    Table t;
    t.append(1, "A");
    const int b = t.append(2, "B");
    t.append(3, "C");
    ASSERT_TRUE(t.cursor->moveToRow(b));
    const int d = t.cursor->insertRecord(Rec(*t.store).setInt(1, 4).setText(2, "D").data());
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 1, 4, 2, 3 }));
    EXPECT_EQ(t.cursor->currentRow(), d);
    EXPECT_EQ(t.cursor->viewIndex(), 1);
}

TEST(RecordStore, Insert_WhileSorted_GoesAfterLastEqualKeyAndAtEndOfArrivalOrder)
{
    Table t;
    t.append(2);
    t.append(1);
    t.append(2);
    t.append(3);
    t.cursor->setSortColumns({ 1 });
    ASSERT_TRUE(t.cursor->moveToRow(1));
    const int row = t.cursor->insertRecord(Rec(*t.store).setInt(1, 2).data());
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2, 1, 3, row, 4 }));
    t.cursor->setSortColumns({});
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 1, 2, 3, 4, row }));
}

TEST(RecordStore, Modify_ChangedKeyMovesAfterLastEqualKey)
{
    Table t;
    for (int key : { 1, 2, 2, 3 })
        t.append(key);
    t.cursor->setSortColumns({ 1 });
    ASSERT_TRUE(t.cursor->moveToRow(4));
    Rec r = t.current();
    r.setInt(1, 2);
    t.cursor->modifyRecord(r.data());
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 1, 2, 3, 4 }));
    ASSERT_TRUE(t.cursor->moveToRow(1));
    r = t.current();
    r.setInt(1, 2);
    t.cursor->modifyRecord(r.data());
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2, 3, 4, 1 }));
    EXPECT_EQ(t.cursor->currentRow(), 1);
}

// ---- Navigation

TEST(RecordStore, MoveBy_StopsAtTheEndsAndCountsRowsMoved)
{
    Table t;
    for (int i = 0; i < 4; ++i)
        t.append(i);
    t.cursor->moveToBeforeFirst();
    EXPECT_EQ(t.cursor->moveBy(2), 2);
    EXPECT_EQ(t.cursor->currentRow(), 2);
    EXPECT_EQ(t.cursor->moveBy(-3), -1);
    EXPECT_EQ(t.cursor->currentRow(), 1);
    EXPECT_EQ(t.cursor->moveBy(-1), 0);
    EXPECT_EQ(t.cursor->moveBy(10), 3);
    EXPECT_EQ(t.cursor->currentRow(), 4);
    EXPECT_EQ(t.cursor->moveBy(1), 0);
    t.cursor->moveToAfterLast();
    EXPECT_EQ(t.cursor->moveBy(-1), -1);
    EXPECT_EQ(t.cursor->currentRow(), 4);
}

TEST(RecordStore, MoveToViewIndex_PositionsWithinTheView)
{
    Table t;
    for (int key : { 3, 1, 2 })
        t.append(key);
    t.cursor->setSortColumns({ 1 });
    EXPECT_TRUE(t.cursor->moveToViewIndex(2));
    EXPECT_EQ(t.cursor->currentRow(), 1);
    EXPECT_EQ(t.cursor->moveBy(-1), -1);
    EXPECT_EQ(t.cursor->currentRow(), 3);
    EXPECT_FALSE(t.cursor->moveToViewIndex(3));
    EXPECT_FALSE(t.cursor->moveToViewIndex(-1));
    EXPECT_EQ(t.cursor->currentRow(), 3);
}

TEST(RecordStore, Delete_LeavesCursorBetweenRows)
{
    Table t;
    for (int i = 0; i < 3; ++i)
        t.append(i);
    ASSERT_TRUE(t.cursor->moveToRow(2));
    t.cursor->deleteRecord();
    EXPECT_EQ(t.cursor->position(), CursorPosition::Between);
    EXPECT_EQ(t.cursor->moveBy(1), 1);
    EXPECT_EQ(t.cursor->currentRow(), 3);
    t.cursor->deleteRecord();
    EXPECT_EQ(t.cursor->moveBy(1), 0);
    EXPECT_EQ(t.cursor->moveBy(-1), -1);
    EXPECT_EQ(t.cursor->currentRow(), 1);
    EXPECT_EQ(t.store->liveRowCount(), 1);
    EXPECT_EQ(t.store->rowStatus(2), RowStatus::Deleted);
}

TEST(RecordStore, EmptyView_HasNoRowsToMoveTo)
{
    Table t;
    t.cursor->moveToBeforeFirst();
    EXPECT_EQ(t.cursor->moveBy(1), 0);
    EXPECT_EQ(t.cursor->moveBy(-1), 0);
    EXPECT_FALSE(t.cursor->getRecord(Rec(*t.store).data()));
    EXPECT_THROW(t.cursor->deleteRecord(), EStoreError);
}

// ---- Ranges and filters

struct RangeCase
{
    const char *name;
    int low;
    int high;
    std::vector<int> expected;
};

class Range : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(Range, BothEndsAreInclusive)
{
    Table t;
    for (int key : { 5, 1, 3, 3, 7, 1 })
        t.append(key);
    t.cursor->setSortColumns({ 1 });
    t.cursor->setRange(
        Rec(*t.store).setInt(1, GetParam().low).bytes(), Rec(*t.store).setInt(1, GetParam().high).bytes(), 1);
    EXPECT_EQ(viewRows(*t.cursor), GetParam().expected);
    t.cursor->dropRange();
    EXPECT_EQ(t.cursor->viewRowCount(), 6);
}

INSTANTIATE_TEST_SUITE_P(RecordStore, Range,
    ::testing::Values(RangeCase { "OneKey", 3, 3, { 3, 4 } }, RangeCase { "Span", 1, 3, { 2, 6, 3, 4 } },
        RangeCase { "Missing", 4, 4, {} }, RangeCase { "Above", 8, 9, {} },
        RangeCase { "All", -100, 100, { 2, 6, 3, 4, 1, 5 } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordStore, Range_NullKeySelectsNullRows)
{
    Table t;
    t.append(1);
    t.cursor->moveToAfterLast();
    t.cursor->insertRecord(Rec(*t.store).setNull(1).data());
    t.cursor->setSortColumns({ 1 });
    const QByteArray nullKey = Rec(*t.store).setNull(1).bytes();
    t.cursor->setRange(nullKey, nullKey, 1);
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2 }));
}

TEST(RecordStore, Range_FollowsInsertsIntoIt)
{
    Table t;
    for (int key : { 1, 2, 3 })
        t.append(key);
    t.cursor->setSortColumns({ 1 });
    const QByteArray key = Rec(*t.store).setInt(1, 2).bytes();
    t.cursor->setRange(key, key, 1);
    t.cursor->moveToAfterLast();
    const int row = t.cursor->insertRecord(Rec(*t.store).setInt(1, 2).data());
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2, row }));
    EXPECT_EQ(t.cursor->currentRow(), row);
    const int outside = t.cursor->insertRecord(Rec(*t.store).setInt(1, 9).data());
    EXPECT_EQ(t.cursor->position(), CursorPosition::Between);
    EXPECT_EQ(t.store->rowStatus(outside), RowStatus::Current);
}

TEST(RecordStore, Filters_AllMustAccept)
{
    Table t;
    for (int key : { 1, 2, 3, 4, 5, 6 })
        t.append(key);
    const RecordLayout &layout = t.store->layout();
    auto keyOf = [&](const char *r) {
        qint32 v;
        std::memcpy(&v, Record::value(layout, r, 1), 4);
        return v;
    };
    const int even = t.cursor->addFilter([&](const char *r) { return keyOf(r) % 2 == 0; });
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 2, 4, 6 }));
    const int big = t.cursor->addFilter([&](const char *r) { return keyOf(r) > 3; });
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 4, 6 }));
    t.cursor->dropFilter(even);
    EXPECT_EQ(viewRows(*t.cursor), (std::vector<int> { 4, 5, 6 }));
    t.cursor->dropFilter(big);
    EXPECT_EQ(t.cursor->viewRowCount(), 6);
}

// ---- Rejections leave the store unchanged

struct RejectCase
{
    const char *name;
    int status;
    std::function<void(Table &)> prepare;
    std::function<void(Table &)> act;
};

class Rejection : public ::testing::TestWithParam<RejectCase>
{
};

TEST_P(Rejection, ThrowsStatusAndChangesNothing)
{
    std::vector<ColumnDesc> columns = keyedColumns();
    columns[2].attributes = StoreAttr::Required;
    Table t(columns);
    t.append(1, "a");
    t.append(2, "b");
    GetParam().prepare(t);
    const qint64 changes = t.store->changeCount();
    const qint32 next = t.store->nextAutoIncValue();
    const int rows = t.store->rowCount();
    Rec before(*t.store);
    t.cursor->readRow(1, before.data());
    try {
        GetParam().act(t);
        FAIL() << "no rejection";
    } catch (const EStoreError &e) {
        EXPECT_EQ(e.StatusCode(), GetParam().status);
    }
    Rec after(*t.store);
    t.cursor->readRow(1, after.data());
    EXPECT_EQ(after.bytes(), before.bytes());
    EXPECT_EQ(t.store->changeCount(), changes);
    EXPECT_EQ(t.store->nextAutoIncValue(), next);
    EXPECT_EQ(t.store->rowCount(), rows);
    EXPECT_EQ(t.store->liveRowCount(), 2);
}

const auto noPrep = [](Table &) {};
const auto readOnlyStore = [](Table &t) { t.store->setReadOnly(true); };
const auto onFirst = [](Table &t) { t.cursor->moveToRow(1); };

INSTANTIATE_TEST_SUITE_P(RecordStore, Rejection,
    ::testing::Values(RejectCase { "InsertIntoReadOnlyStore", StoreStatus::ReadOnlyStore, readOnlyStore,
                          [](Table &t) { t.append(3, "c"); } },
        RejectCase { "DeleteFromReadOnlyStore", StoreStatus::ReadOnlyStore,
            [](Table &t) {
                t.cursor->moveToRow(1);
                t.store->setReadOnly(true);
            },
            [](Table &t) { t.cursor->deleteRecord(); } },
        RejectCase { "ModifyReadOnlyStore", StoreStatus::ReadOnlyStore,
            [](Table &t) {
                t.cursor->moveToRow(1);
                t.store->setReadOnly(true);
            },
            [](Table &t) { t.cursor->modifyRecord(t.current().setInt(1, 9).data()); } },
        RejectCase { "RequiredNull", StoreStatus::RequiredFieldNull, noPrep,
            [](Table &t) { t.cursor->insertRecord(Rec(*t.store).setInt(1, 3).setNull(2).data()); } },
        RejectCase { "RequiredUnassigned", StoreStatus::RequiredFieldNull, noPrep,
            [](Table &t) { t.cursor->insertRecord(Rec(*t.store).setInt(1, 3).data()); } },
        RejectCase {
            "RequiredEmptyText", StoreStatus::RequiredFieldNull, noPrep, [](Table &t) { t.append(3, ""); } },
        RejectCase { "RequiredBlanksTrimmedToEmpty", StoreStatus::RequiredFieldNull, noPrep,
            [](Table &t) { t.append(3, "   "); } },
        RejectCase { "ModifyRequiredToNull", StoreStatus::RequiredFieldNull, onFirst,
            [](Table &t) { t.cursor->modifyRecord(t.current().setNull(2).data()); } },
        RejectCase { "ReadOnlyFieldChanged", StoreStatus::ReadOnlyField, onFirst,
            [](Table &t) { t.cursor->modifyRecord(t.current().setInt(0, 77).data()); } },
        RejectCase { "ReadOnlyFieldCleared", StoreStatus::ReadOnlyField, onFirst,
            [](Table &t) { t.cursor->modifyRecord(t.current().setNull(0).data()); } },
        RejectCase { "ModifyWithoutCurrentRow", StoreStatus::NotAllowed,
            [](Table &t) { t.cursor->moveToAfterLast(); },
            [](Table &t) { t.cursor->modifyRecord(Rec(*t.store).setInt(1, 1).setText(2, "z").data()); } }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- Values

TEST(RecordStore, AutoInc_OverwritesGivenValueAndNeverReuses)
{
    Table t;
    t.cursor->insertRecord(Rec(*t.store).setInt(0, 50).setInt(1, 1).data());
    t.append(2);
    t.append(3);
    EXPECT_EQ(t.current().intAt(0), 3);
    t.cursor->deleteRecord();
    t.append(4);
    EXPECT_EQ(t.current().intAt(0), 4);
    Rec first(*t.store);
    t.cursor->readRow(1, first.data());
    EXPECT_EQ(first.intAt(0), 1);
    EXPECT_EQ(t.store->nextAutoIncValue(), 5);
}

struct TextCase
{
    const char *name;
    bool trim;
    QByteArray given;
    QByteArray stored;
};

class TextValue : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(TextValue, IsCutAtWidthAndTrimmedWhenAsked)
{
    Table t;
    t.store->setStringTrim(GetParam().trim);
    // A buffer whose text slot is overfilled, as a careless caller might leave it.
    Rec r(*t.store);
    r.setInt(1, 1);
    char *slot = r.data() + t.store->layout().valueOffset(2);
    r.data()[t.store->layout().stateOffset(2)] = 0;
    std::memset(slot, 0, 11);
    std::memcpy(slot, GetParam().given.constData(), size_t(std::min<qsizetype>(11, GetParam().given.size())));
    t.cursor->insertRecord(r.data());
    const Rec stored = t.current();
    EXPECT_EQ(stored.stateAt(2), FieldState::Value);
    EXPECT_EQ(stored.textAt(2), GetParam().stored);
    EXPECT_EQ(slot[-1], 0);
    const char *storedSlot = stored.data() + t.store->layout().valueOffset(2);
    EXPECT_EQ(storedSlot[10], 0);
}

INSTANTIATE_TEST_SUITE_P(RecordStore, TextValue,
    ::testing::Values(TextCase { "Plain", true, "abc", "abc" },
        TextCase { "TrailingBlanks", true, "abc  ", "abc" },
        TextCase { "KeptBlanks", false, "abc  ", "abc  " }, TextCase { "OnlyBlanks", true, "   ", "" },
        TextCase { "Full", true, "0123456789", "0123456789" },
        TextCase { "Overfull", true, "0123456789AB", "0123456789" },
        TextCase { "LeadingBlanksKept", true, "  a", "  a" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordStore, SetValue_NeverWritesPastTheSlot)
{
    Table t;
    const RecordLayout &layout = t.store->layout();
    QByteArray record(layout.recordSize() + 8, '\x55');
    const QByteArray longText(200, 'z');
    Record::setValue(layout, record.data(), 2, longText.constData(), int(longText.size()));
    EXPECT_EQ(record.mid(layout.recordSize()), QByteArray(8, '\x55'));
    EXPECT_EQ(QByteArray(Record::value(layout, record.constData(), 2)), QByteArray(10, 'z'));
}

// ---- Change log and change counter

TEST(RecordStore, ChangeLog_RecordsStatusesAndEntries)
{
    auto store = IRecordStore::create(QStringLiteral("t"), keyedColumns());
    auto cursor = store->createCursor();
    ASSERT_TRUE(store->keepChangeLog());
    cursor->moveToAfterLast();
    const int a = cursor->insertRecord(Rec(*store).setInt(1, 1).setText(2, "a").data());
    Rec r(*store);
    cursor->getRecord(r.data());
    cursor->modifyRecord(r.setText(2, "b").data());
    const int b = cursor->currentRow();
    cursor->deleteRecord();
    EXPECT_NE(a, b);
    EXPECT_EQ(store->rowStatus(a), RowStatus::Original);
    EXPECT_EQ(store->rowStatus(b), RowStatus::Deleted);
    ASSERT_EQ(store->changeLog().size(), 3u);
    EXPECT_EQ(store->changeLog()[0].kind, RowStatus::Inserted);
    EXPECT_EQ(store->changeLog()[1].row, b);
    EXPECT_EQ(store->changeLog()[1].replaces, a);
    EXPECT_EQ(store->changeLog()[2].kind, RowStatus::Deleted);
    EXPECT_EQ(store->changeCount(), 3);
    EXPECT_EQ(store->liveRowCount(), 0);
    store->resetChangeCount();
    EXPECT_EQ(store->changeCount(), 0);
}

TEST(RecordStore, ChangeLogOff_ModifiesInPlace)
{
    Table t;
    t.append(1, "a");
    Rec r = t.current();
    t.cursor->modifyRecord(r.setText(2, "b").data());
    EXPECT_EQ(t.store->rowCount(), 1);
    EXPECT_EQ(t.current().textAt(2), "b");
    EXPECT_TRUE(t.store->changeLog().empty());
    EXPECT_EQ(t.store->changeCount(), 2);
}

TEST(RecordStore, Create_RefusesColumnsItCannotHold)
{
    std::vector<ColumnDesc> columns = keyedColumns();
    columns[2].width = 0;
    EXPECT_THROW(IRecordStore::create(QStringLiteral("t"), columns), EStoreError);
    columns[2].width = 10;
    columns[1].type = StoreType::Blob;
    EXPECT_THROW(IRecordStore::create(QStringLiteral("t"), columns), EStoreError);
}

TEST(RecordStore, DuplicateColumnNames_GetNumberedSuffixes)
{
    std::vector<ColumnDesc> columns(4);
    columns[0].name = "A";
    columns[1].name = "a";
    columns[2].name = "A_1";
    columns[3].name = "A";
    makeColumnNamesUnique(columns);
    EXPECT_EQ(columns[1].name, "a_1");
    EXPECT_EQ(columns[2].name, "A_1_1");
    EXPECT_EQ(columns[3].name, "A_2");
}

TEST(RecordStore, RowData_IsTheStoredRow_AndRefusesRowsOutOfRange)
{
    Table t;
    t.append(5, "five");
    t.append(6, "six");
    t.cursor->deleteRecord();
    for (int row : { 1, 2 }) {
        Rec copy(*t.store);
        t.cursor->readRow(row, copy.data());
        EXPECT_EQ(QByteArray(t.cursor->rowData(row), t.store->layout().recordSize()),
            QByteArray(copy.data(), t.store->layout().recordSize()))
            << row;
    }
    EXPECT_THROW(t.cursor->rowData(0), EStoreError);
    EXPECT_THROW(t.cursor->rowData(3), EStoreError);
}

// ---- Noting changes by number: rows are found again by their auto-increment number, so a loaded table
// whose numbers are empty or given twice has its changes written whole instead.

struct LoadedNumbersCase
{
    const char *name;
    std::vector<int> numbers; // of the rows in file order; 0 for an empty one
    bool noted;
};

class LoadedNumbers : public ::testing::TestWithParam<LoadedNumbersCase>
{
};

TEST_P(LoadedNumbers, AChangeIsNotedOnlyWhenEveryRowHasANumberOfItsOwn)
{
    std::vector<ColumnDesc> columns = keyedColumns();
    columns[0].attributes = 0; // the numbers are set by hand below
    Table t(columns);
    for (size_t i = 0; i < GetParam().numbers.size(); ++i)
        t.append(qint32(i));
    for (size_t i = 0; i < GetParam().numbers.size(); ++i) {
        ASSERT_TRUE(t.cursor->moveToRow(int(i) + 1));
        Rec r = t.current();
        if (GetParam().numbers[i] == 0)
            r.setNull(0);
        else
            r.setInt(0, GetParam().numbers[i]);
        t.cursor->modifyRecord(r.data());
    }
    auto loaded = IRecordStore::fromPacket(t.store->toPacket(PacketForm::Binary), QStringLiteral("t.dat"));
    loaded->setKeepChangeLog(false);
    loaded->setRecordChanges(true);
    auto cursor = loaded->createCursor();
    cursor->moveToAfterLast();
    cursor->insertRecord(Rec(*loaded).setInt(1, 7).setText(2, "new").data());
    QByteArray body;
    EXPECT_EQ(loaded->recordedChanges(body), GetParam().noted);
}

INSTANTIATE_TEST_SUITE_P(RecordStore, LoadedNumbers,
    ::testing::Values(LoadedNumbersCase { "Empty", {}, true },
        LoadedNumbersCase { "Rising", { 1, 2, 5 }, true },
        LoadedNumbersCase { "UniqueOutOfOrder", { 3, 1, 2 }, true },
        LoadedNumbersCase { "GivenTwiceInOrder", { 1, 2, 2 }, false },
        LoadedNumbersCase { "GivenTwiceApart", { 2, 1, 2 }, false },
        LoadedNumbersCase { "EmptyNumber", { 1, 0, 3 }, false },
        LoadedNumbersCase { "NegativeThenRising", { -5, -1, 4 }, true }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
