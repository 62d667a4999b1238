// The report's data in the designer: which tables are offered, the data-field list, dropping a field, the
// engine's read-only tables and the dataset interfaces.
#include "DataSourcesFixture.h"

#include "designer/DataSources.h"
#include "designer/DatafieldList.h"
#include "report/files/ReportFile.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>

namespace {

QStringList treeOf(const QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *top = tree->topLevelItem(i);
        QStringList children;
        for (int j = 0; j < top->childCount(); ++j)
            children << top->child(j)->text(0);
        lines << top->text(0) + QStringLiteral(": ") + children.join(QStringLiteral(", "));
    }
    return lines;
}

} // namespace

TEST_F(DataSourcesWindow, OffersTheReportsOwnTablesFirstThenTheDataModules)
{
    TRuntimeDatamodule *own = designer->files()->dataModule();
    auto *closed = new TTable(own);
    closed->setObjectName(QStringLiteral("Closed"));
    auto *closedSource = new TDataSource(own);
    closedSource->setObjectName(QStringLiteral("ClosedDatasource"));
    closedSource->setDataSet(closed);
    // A data source named with a leading "__" is never offered, nor one without a table.
    auto *hidden = new TDataSource(&module);
    hidden->setObjectName(QStringLiteral("__datHidden"));
    hidden->setDataSet(tblAccount);
    new TDataSource(&module);

    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)),
        (QStringList { "Closed", "tblAccount", "tblTransaction" }));
    designer->files()->setUseDatamodules(false);
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)), QStringList { "Closed" });
    designer->files()->setUseDatamodules(true);

    // The restricting list takes a table's name or its owner's name and its name, ignoring case.
    designer->AvailableDatasetNames = QStringList { QStringLiteral("DATAMODULE1.TBLTRANSACTION") };
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)), QStringList { "tblTransaction" });
    designer->AvailableDatasetNames = QStringList { QStringLiteral("closed") };
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)), QStringList { "Closed" });
}

TEST_F(DataSourcesWindow, ATableOfADataModuleWithoutListableFieldsIsNotOffered)
{
    for (const auto &field : tblAccount->Fields())
        field->setVisible(false);
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)), QStringList { "tblTransaction" });
    // A field named with a leading "__" is never listed; OnShowDatafield may hide others.
    tblAccount->FieldNamed(QStringLiteral("Account_Type"))->setVisible(true);
    designer->OnShowDatafield
        = [](TField *field, bool &show) { show = field->FieldName() != QLatin1String("Account_Type"); };
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)), QStringList { "tblTransaction" });
    int row = 0;
    EXPECT_EQ(rpFieldListOf(*designer, tblTransaction, QStringLiteral("montant"), row),
        (QStringList { "Account_Number", "Montant", "Transaction_Date", "Transaction_Description",
            "Transaction_Number" }));
    EXPECT_EQ(row, 1);
}

TEST_F(DataSourcesWindow, TheDataFieldListIsATreeOfTablesAndTheirFieldsSorted)
{
    designer->DatasetDisplayLabels = QStringList { QStringLiteral("tblAccount=Comptes") };
    form->ADatasetsExecute();
    // The "Datasets" dialog was answered; the list was rebuilt after it.
    EXPECT_EQ(treeOf(form->DatafieldList->DatafieldListbox),
        (QStringList { "COMPTES: Account_Balance, Account_Number, Account_Type",
            "TBLTRANSACTION: Account_Number, Montant, Transaction_Date, Transaction_Description, "
            "Transaction_Number" }));
    designer->DatafieldsSorted = false;
    form->DatafieldList->Fill(*designer);
    EXPECT_EQ(treeOf(form->DatafieldList->DatafieldListbox).at(1),
        QStringLiteral(
            "TBLTRANSACTION: Transaction_Number, Transaction_Description, Transaction_Date, Montant, "
            "Account_Number"));
    EXPECT_TRUE(form->DatafieldList->isVisible());
}

TEST_F(DataSourcesWindow, DroppingAFieldNodeOnABandMakesADataField)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    form->DatafieldList->Fill(*designer);
    QTreeWidget *tree = form->DatafieldList->DatafieldListbox;
    QTreeWidgetItem *amount = tree->topLevelItem(1)->child(1);
    ASSERT_EQ(amount->text(0), QStringLiteral("Montant"));
    std::unique_ptr<QMimeData> data(tree->model()->mimeData({ tree->indexFromItem(amount) }));

    const QPoint at = on(band, QPoint(30, 4));
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->DesignView, &enter);
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->DesignView, &drop);

    const auto elements = DesignItems::elementsOn(band);
    ASSERT_EQ(elements.size(), 1);
    QObject *field = elements.first();
    EXPECT_EQ(field->metaObject()->className(), QByteArray("TRpDesignDBText"));
    EXPECT_EQ(field->property("DataSet").value<QObject *>(), tblTransaction);
    EXPECT_EQ(field->property("DataField").toString(), QStringLiteral("Transaction_Amount"));
    EXPECT_EQ(designer->firstSelected(), field);
    // A table node carries nothing to drop.
    EXPECT_TRUE(TRpDatafieldList::entryOfNode(tree->topLevelItem(0)).isEmpty());
}

TEST(DataSourceTexts, DatabaseNamesAreShortenedPastEighteenCharacters)
{
    EXPECT_EQ(
        rpShortDatabaseName(QStringLiteral("ABCDEFGHIJKLMNOPQRS")), QStringLiteral("ABC...HIJKLMNOPQRS"));
    EXPECT_EQ(
        rpShortDatabaseName(QStringLiteral("ABCDEFGHIJKLMNOPQR")), QStringLiteral("ABCDEFGHIJKLMNOPQR"));

    TTable table;
    table.setObjectName(QStringLiteral("Sales"));
    EXPECT_EQ(rpDisplayText(table), QStringLiteral("Sales (closed)"));
    table.setTableName(QStringLiteral("Transaction.dat"));
    EXPECT_EQ(rpDisplayText(table), QStringLiteral("Sales\tTransaction.dat (closed)"));
    table.setDatabaseName(QStringLiteral("Data"));
    EXPECT_EQ(rpDisplayText(table), QStringLiteral("Sales\tData:Transaction.dat (closed)"));
    table.setDatabaseName(QStringLiteral("/home/someone/Finances/Data"));
    EXPECT_EQ(rpDisplayText(table),
        QStringLiteral("Sales\t/ho...inances/Data") + QDir::separator()
            + QStringLiteral("Transaction.dat (closed)"));
}

TEST(DataSourceTexts, FieldLabelsPreferTheTablesOwnLine)
{
    const QStringList labels { QStringLiteral("Amount=Sum"),
        QStringLiteral("\"Sales.dat\".Amount=Sales amount") };
    EXPECT_EQ(rpFieldDisplayLabel(labels, QStringLiteral("Sales.dat"), QStringLiteral("amount")),
        QStringLiteral("Sales amount"));
    EXPECT_EQ(rpFieldDisplayLabel(labels, QStringLiteral("Other.dat"), QStringLiteral("Amount")),
        QStringLiteral("Sum"));
    EXPECT_EQ(rpFieldDisplayLabel(labels, QString(), QStringLiteral("Date")), QString());
}

// ---- the engine's tables ----

TEST_F(DataSourcesWindow, EngineTablesReadTableFilesAndNeverWriteThem)
{
    const QByteArray before = TestSupport::readFile(dataFile("Transaction.dat"));
    {
        TTable table;
        table.setObjectName(QStringLiteral("Sales"));
        table.setDatabaseName(QStringLiteral("Data"));
        table.setTableName(QStringLiteral("Transaction.dat"));
        table.setReadOnlyProperty(false);
        table.Open();
        EXPECT_EQ(table.ViewRowCount(), 3);
        EXPECT_TRUE(table.ReadOnly());
        EXPECT_FALSE(table.CanModify());
        EXPECT_THROW(table.Edit(), Exception);
        // Even a table made writable behind its back has no file to write to.
        table.setReadOnly(false);
        table.Edit();
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(1000);
        table.Post();
        EXPECT_FALSE(table.HasUnsavedChanges());
        table.Close();
    }
    EXPECT_EQ(TestSupport::readFile(dataFile("Transaction.dat")), before);
}

TEST_F(DataSourcesWindow, EngineTablesListTheirDatabaseAndIndexes)
{
    RpEngineSession &session = RpEngineSession::session();
    EXPECT_TRUE(session.databaseNames().contains(QStringLiteral("Data")));
    EXPECT_EQ(session.tableNames(QStringLiteral("Data")), (QStringList { "Account.dat", "Transaction.dat" }));
    EXPECT_EQ(session.tableNames(dataFolder()), (QStringList { "Account.dat", "Transaction.dat" }));
    EXPECT_TRUE(session.tableNames(QStringLiteral("NoSuchDatabase")).isEmpty());

    TTable table;
    table.setDatabaseName(QStringLiteral("Data"));
    table.setTableName(QStringLiteral("Transaction.dat"));
    const QList<RpIndexDef> indexes = table.indexDefs();
    ASSERT_EQ(indexes.size(), 5);
    EXPECT_EQ(indexes[0].name, QString());
    EXPECT_EQ(indexes[0].fields, QStringLiteral("Transaction_Number"));
    EXPECT_EQ(indexes[4].name, QStringLiteral("Account_Number"));

    table.setIndexName(QStringLiteral("Transaction_Amount"));
    table.Open();
    EXPECT_DOUBLE_EQ(table.FieldNamed(QStringLiteral("Transaction_Amount"))->AsNumber(), -12.5);
    table.Last();
    EXPECT_DOUBLE_EQ(table.FieldNamed(QStringLiteral("Transaction_Amount"))->AsNumber(), 40);

    TTable missing;
    missing.setDatabaseName(QStringLiteral("Data"));
    missing.setTableName(QStringLiteral("Nothing.dat"));
    EXPECT_THROW(missing.Open(), EDatabaseError);
    EXPECT_FALSE(missing.Active());
}

// ---- interfaces ----

TEST_F(DataSourcesWindow, InterfacesRegisterInOrderAndCreateTablesForTheEngine)
{
    const int before = int(TrpbaseDatasetInterface::registered().size());
    TrpbaseQueryInterface query;
    TRpDesignEngineTableInterface engineTables;
    engineTables.setDatabaseName(QStringLiteral("Data"));
    engineTables.setReadOnly(false);
    EXPECT_EQ(TrpbaseDatasetInterface::registered().size(), before + 2);
    EXPECT_EQ(query.MenuTitle(), QStringLiteral("Query"));
    EXPECT_EQ(engineTables.MenuTitle(), QStringLiteral("Table"));

    TRuntimeDatamodule *own = designer->files()->dataModule();
    try {
        engineTables.CreateDataset(own);
        ADD_FAILURE() << "created without an engine";
    } catch (const Exception &error) {
        EXPECT_EQ(error.message(), QStringLiteral("RuntimeEditor not assigned!"));
    }
    engineTables.setEngine(designer);
    TDataSet *created = engineTables.CreateDataset(own);
    auto *table = qobject_cast<TTable *>(created);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->DatabaseName(), QStringLiteral("Data"));
    EXPECT_TRUE(table->ReadOnly());
    EXPECT_EQ(TrpbaseDatasetInterface::interfaceFor(table), &engineTables);
    EXPECT_EQ(TrpbaseDatasetInterface::interfaceFor(tblAccount), nullptr);

    table->setTableName(QStringLiteral("My transactions.dat"));
    EXPECT_EQ(engineTables.DefaultName(table), QStringLiteral("My_transactions"));
    table->setTableName(QString());
    EXPECT_EQ(engineTables.DefaultName(table), QStringLiteral("Table"));

    // Renaming: empty gives the default base with a number, leading "_" go, a bad name is refused.
    EXPECT_TRUE(engineTables.RenameDataset(table, QStringLiteral("  "), nullptr));
    EXPECT_EQ(table->objectName(), QStringLiteral("Table1"));
    EXPECT_TRUE(engineTables.RenameDataset(table, QStringLiteral("__Sales"), nullptr));
    EXPECT_EQ(table->objectName(), QStringLiteral("Sales"));
    EXPECT_TRUE(engineTables.RenameDataset(table, QStringLiteral("___"), nullptr));
    EXPECT_EQ(table->objectName(), QStringLiteral("Sales"));
    EXPECT_FALSE(engineTables.RenameDataset(table, QStringLiteral("2 much"), nullptr));
    EXPECT_EQ(table->objectName(), QStringLiteral("Sales"));
    EXPECT_EQ(boxes.errors().last(), QStringLiteral("Error: Can not rename to 2 much!"));
    delete table;
}

TEST_F(DataSourcesWindow, EditWithHooksNamesTheTableAndCarriesANewNameIntoTheQueryTexts)
{
    TRpDesignEngineTableInterface engineTables;
    engineTables.setEngine(designer);
    TRuntimeDatamodule *own = designer->files()->dataModule();
    TDataSet *table = engineTables.CreateDataset(own);
    own->setQueryText(QStringLiteral("Dataset1"), QStringLiteral("select %%"));
    engineTables.OnDatasetEdit = [](QWidget *, TDataSet *dataSet, bool viewOnly) {
        EXPECT_FALSE(viewOnly);
        EXPECT_EQ(dataSet->objectName(), QStringLiteral("Dataset1"));
        dataSet->setObjectName(QStringLiteral("Renamed"));
        return true;
    };
    designer->setModified(false);
    EXPECT_TRUE(engineTables.EditWithHooks(nullptr, table, false));
    EXPECT_TRUE(designer->Modified());
    QString sql;
    EXPECT_TRUE(own->queryText(QStringLiteral("Renamed"), sql));
    EXPECT_EQ(sql, QStringLiteral("select %%"));
    EXPECT_FALSE(own->queryText(QStringLiteral("Dataset1"), sql));
}

TEST_F(DataSourcesWindow, TheFirstDataSourceOrTheMessageThatThereIsNone)
{
    EXPECT_EQ(rpFirstDataSource(*designer, form.get()), datAccount);
    designer->files()->setUseDatamodules(false);
    EXPECT_EQ(rpFirstDataSource(*designer, form.get()), nullptr);
    EXPECT_EQ(boxes.errors(), QStringList { QStringLiteral("No tables available!") });
}
