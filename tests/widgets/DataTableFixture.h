#pragma once

#include "DialogRecorder.h"

#include "store/DataSource.h"
#include "store/MemTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A small table (Num autoinc, Name text of 10, Amount currency, Day date-time) behind a data source, and a
// shown, active window for the controls under test. Dialogs are answered by the recorder.
class DataTableFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.setObjectName(QStringLiteral("tblTest"));
        table.FieldDefs().Add(QStringLiteral("Num"), ftAutoInc, 0, faReadonly);
        table.FieldDefs().Add(QStringLiteral("Name"), ftString, 10);
        table.FieldDefs().Add(QStringLiteral("Amount"), ftCurrency);
        table.FieldDefs().Add(QStringLiteral("Day"), ftDateTime);
        table.CreateEmpty();
        source.setDataSet(&table);
        window.resize(420, 300);
        other = new QLineEdit(&window);
        other->setObjectName(QStringLiteral("other"));
        other->move(300, 270);
    }

    void showWindow()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void addRows(int count, const QString &prefix = QStringLiteral("Row"))
    {
        for (int i = 0; i < count; ++i)
            addRow(prefix + QString::number(i), i);
        table.First();
    }

    void addRow(const QString &name, double amount)
    {
        table.AppendRow();
        field("Name")->setAsString(name);
        field("Amount")->setAsNumber(amount);
        table.Post();
    }

    TField *field(const char *name) { return table.FieldNamed(QString::fromLatin1(name)); }

    // Types into whatever has the focus, one key at a time, as a user would.
    static void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    TMemTable table;
    TDataSource source;
    QWidget window;
    QLineEdit *other = nullptr;
    DialogRecorder dialogs;
};
