// Moving fields in a table's field order, and a data source's table set as a property (as report files do).
#include "store/DataSource.h"
#include "store/MemTable.h"

#include <QVariant>
#include <gtest/gtest.h>

namespace {

QStringList fieldOrder(const TDataSet &table)
{
    QStringList names;
    for (const auto &field : table.Fields())
        names << field->FieldName();
    return names;
}

class FieldOrder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.FieldDefs().Add(QStringLiteral("A"), ftInteger);
        table.FieldDefs().Add(QStringLiteral("B"), ftString, 10);
        table.FieldDefs().Add(QStringLiteral("C"), ftInteger);
        table.CreateEmpty();
        table.AppendRow();
        table.FieldNamed(QStringLiteral("A"))->setAsInteger(1);
        table.FieldNamed(QStringLiteral("B"))->setAsString(QStringLiteral("b"));
        table.FieldNamed(QStringLiteral("C"))->setAsInteger(3);
        table.Post();
    }

    TMemTable table;
};

} // namespace

TEST_F(FieldOrder, MoveFieldChangesTheOrderButNotTheValues)
{
    table.MoveField(2, 0);
    EXPECT_EQ(fieldOrder(table), (QStringList { "C", "A", "B" }));
    EXPECT_EQ(table.Fields()[0]->AsInteger(), 3);
    table.MoveField(0, 2);
    EXPECT_EQ(fieldOrder(table), (QStringList { "A", "B", "C" }));
    EXPECT_EQ(table.FieldNamed(QStringLiteral("B"))->AsString(), QStringLiteral("b"));
    // Places outside the list change nothing.
    table.MoveField(-1, 1);
    table.MoveField(1, 3);
    EXPECT_EQ(fieldOrder(table), (QStringList { "A", "B", "C" }));
}

TEST_F(FieldOrder, DataSetPropertyLeavesOutACircularLink)
{
    TDataSource source;
    ASSERT_TRUE(source.setProperty("DataSet", QVariant::fromValue(static_cast<TDataSet *>(&table))));
    EXPECT_EQ(source.DataSet(), &table);
    EXPECT_EQ(source.property("DataSet").value<TDataSet *>(), &table);

    // A table that follows this very source cannot be its table: the property leaves the source as it was.
    TMemTable detail;
    detail.FieldDefs().Add(QStringLiteral("A"), ftInteger);
    detail.setIndexFieldNames(QStringLiteral("A"));
    detail.setMasterSource(&source);
    detail.setMasterFields(QStringLiteral("A"));
    source.setProperty("DataSet", QVariant::fromValue(static_cast<TDataSet *>(&detail)));
    EXPECT_EQ(source.DataSet(), &table);
}
