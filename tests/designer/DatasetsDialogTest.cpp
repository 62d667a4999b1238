// The "Datasets" dialog and the dialogs it opens: main table, new engine tables with their properties,
// delete, fields, linked fields and view data.
#include "DataSourcesFixture.h"

#include "designer/DBSetupForm.h"
#include "designer/DataSources.h"
#include "designer/EngineTableEditForm.h"
#include "designer/FieldPropertyForm.h"
#include "report/files/ReportFile.h"
#include "widgets/DBGrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace {

QStringList itemsOf(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList itemsOf(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

class DatasetsDialog : public DataSourcesWindow
{
protected:
    void SetUp() override
    {
        DataSourcesWindow::SetUp();
        engineTables.setObjectName(QStringLiteral("RpDesignEngineTableInterface1"));
    }

    // Runs "&Datasets..." with the script acting in the dialog.
    void datasets(std::function<bool(TDBSetupForm &)> script)
    {
        boxes.scripts.push_back(
            [script](QDialog &dialog) { return script(static_cast<TDBSetupForm &>(dialog)); });
        form->ADatasetsExecute();
    }

    // Makes a new engine table in the dialog with the properties dialog choosing the table file.
    void newTable(TDBSetupForm &dialog, const QString &tableName, const QString &name = QString())
    {
        boxes.scripts.push_front([tableName, name](QDialog &d) {
            auto &properties = static_cast<TEngineTableEditForm &>(d);
            properties.ComboDatabase->setEditText(QStringLiteral("Data"));
            properties.databaseChanged();
            EXPECT_EQ(itemsOf(properties.ComboTable), (QStringList { "Account.dat", "Transaction.dat" }));
            properties.ComboTable->setEditText(tableName);
            properties.tableChanged();
            if (!name.isEmpty())
                properties.EName->setText(name);
            properties.apply();
            return true;
        });
        dialog.MenuNew->actions().first()->trigger();
    }

    TRpDesignEngineTableInterface engineTables;
};

} // namespace

TEST_F(DatasetsDialog, BindsTheReportToTheChosenMainTable)
{
    designer->setModified(false);
    datasets([](TDBSetupForm &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Datasets"));
        EXPECT_EQ(itemsOf(dialog.ComboMain), (QStringList { "(NONE)", "tblAccount", "tblTransaction" }));
        EXPECT_EQ(dialog.ComboMain->currentIndex(), 0);
        EXPECT_EQ(itemsOf(dialog.ListAvailable), (QStringList { "tblAccount", "tblTransaction" }));
        EXPECT_EQ(dialog.ListAvailable->currentRow(), 0);
        // The program's own tables can be seen but not deleted here.
        EXPECT_FALSE(dialog.BDelete->isEnabled());
        EXPECT_FALSE(dialog.BProperties->isEnabled());
        EXPECT_TRUE(dialog.BViewData->isEnabled());
        dialog.ComboMain->setCurrentIndex(2);
        dialog.BOK->click();
        return true;
    });
    EXPECT_EQ(designer->report()->dataSet(), tblTransaction);
    EXPECT_TRUE(designer->Modified());

    // Opened again, the main table is the report's.
    datasets([](TDBSetupForm &dialog) {
        EXPECT_EQ(dialog.ComboMain->currentText(), QStringLiteral("tblTransaction"));
        dialog.ComboMain->setCurrentIndex(0);
        dialog.BOK->click();
        return true;
    });
    EXPECT_EQ(designer->report()->dataSet(), nullptr);
}

TEST_F(DatasetsDialog, WithoutDatasetEditOnlyTheMainTableCanBeChosen)
{
    designer->AllowDatasetEdit = false;
    datasets([](TDBSetupForm &dialog) {
        for (QPushButton *b :
            { dialog.BNew, dialog.BDelete, dialog.BFields, dialog.BProperties, dialog.BViewData })
            EXPECT_FALSE(b->isVisible()) << b->text().toStdString();
        EXPECT_EQ(dialog.ListAvailable->height(), 217);
        dialog.BCancel->click();
        return false;
    });
}

TEST_F(DatasetsDialog, NewEngineTableIsReadFromTheDataFolderAndNamedWithItsDataSource)
{
    datasets([this](TDBSetupForm &dialog) {
        EXPECT_TRUE(dialog.BNew->isEnabled());
        EXPECT_EQ(dialog.MenuNew->actions().last()->text(), QStringLiteral("Table"));
        newTable(dialog, QStringLiteral("Transaction.dat"), QStringLiteral("Sales"));
        EXPECT_EQ(dialog.ListAvailable->currentItem()->text(), QStringLiteral("Sales\tData:Transaction.dat"));
        EXPECT_TRUE(dialog.BDelete->isEnabled());
        EXPECT_TRUE(dialog.BProperties->isEnabled());
        dialog.BOK->click();
        return true;
    });
    TRuntimeDatamodule *own = designer->files()->dataModule();
    auto *sales = own->findChild<TTable *>(QStringLiteral("Sales"));
    ASSERT_NE(sales, nullptr);
    EXPECT_TRUE(sales->Active());
    EXPECT_EQ(sales->ViewRowCount(), 3);
    auto *source = own->findChild<TDataSource *>(QStringLiteral("SalesDatasource"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->DataSet(), sales);
    EXPECT_EQ(namesOf(rpAvailableDataSources(*designer)).first(), QStringLiteral("Sales"));
}

TEST_F(DatasetsDialog, OpenTableChoosesADatabasesTableOrAnExistingFileOfAFolder)
{
    const QString folder = dataFolder();
    datasets([this, folder](TDBSetupForm &dialog) {
        boxes.scripts.push_front([this, folder](QDialog &d) {
            auto &properties = static_cast<TEngineTableEditForm &>(d);
            properties.ComboDatabase->setEditText(QStringLiteral("Data"));
            properties.databaseChanged();
            boxes.scripts.push_front([folder](QDialog &o) {
                auto &open = static_cast<TDBOpenForm &>(o);
                EXPECT_EQ(open.windowTitle(), QStringLiteral("Open table"));
                EXPECT_EQ(open.ComboAlias->itemText(0), QString());
                EXPECT_EQ(open.ComboAlias->currentText(), QStringLiteral("Data"));
                EXPECT_EQ(itemsOf(open.ListFiles), (QStringList { "Account.dat", "Transaction.dat" }));
                // A folder instead of a database: its files of the chosen type.
                open.ComboAlias->setCurrentIndex(0);
                open.EDirectory->setText(folder);
                open.fillFiles();
                EXPECT_EQ(itemsOf(open.ListFiles), (QStringList { "Account.dat", "Transaction.dat" }));
                for (const char *refused : { "", "*.dat", "Acc?unt.dat", "Missing.dat" }) {
                    open.EFileName->setText(QString::fromLatin1(refused));
                    EXPECT_FALSE(open.openClick()) << refused;
                }
                // A typed path opens its folder and selects the file.
                open.EFileName->setText(QDir(folder).filePath(QStringLiteral("Transaction.dat")));
                open.fileNameEntered();
                EXPECT_EQ(open.ListFiles->currentItem()->text(), QStringLiteral("Transaction.dat"));
                EXPECT_TRUE(open.openClick());
                EXPECT_EQ(open.database(), folder);
                EXPECT_EQ(open.table(), QStringLiteral("Transaction.dat"));
                return true;
            });
            properties.BTable->click();
            EXPECT_EQ(properties.ComboDatabase->currentText(), folder);
            EXPECT_EQ(properties.ComboTable->currentText(), QStringLiteral("Transaction.dat"));
            properties.EName->setText(QStringLiteral("Moves"));
            properties.apply();
            return true;
        });
        dialog.MenuNew->actions().first()->trigger();
        dialog.BOK->click();
        return true;
    });
    auto *moves = designer->files()->dataModule()->findChild<TTable *>(QStringLiteral("Moves"));
    ASSERT_NE(moves, nullptr);
    EXPECT_EQ(moves->DatabaseName(), folder);
    EXPECT_TRUE(moves->Active());
    EXPECT_EQ(moves->ViewRowCount(), 3);
    EXPECT_TRUE(boxes.errors().isEmpty());
}

TEST_F(DatasetsDialog, CancelledNewTableLeavesNothing)
{
    datasets([this](TDBSetupForm &dialog) {
        boxes.scripts.push_front([](QDialog &properties) {
            static_cast<TEngineTableEditForm &>(properties).BCancel->click();
            return false;
        });
        dialog.MenuNew->actions().first()->trigger();
        EXPECT_EQ(dialog.ListAvailable->count(), 2);
        return false;
    });
    EXPECT_TRUE(designer->files()->dataModule()->children().isEmpty());
}

TEST_F(DatasetsDialog, TheMainTableCannotBeDeletedAndOthersAreDeletedAfterAsking)
{
    datasets([this](TDBSetupForm &dialog) {
        newTable(dialog, QStringLiteral("Account.dat"), QStringLiteral("Accounts"));
        dialog.ComboMain->setCurrentIndex(dialog.ComboMain->findText(QStringLiteral("Accounts")));
        dialog.BDelete->click();
        EXPECT_EQ(boxes.errors().last(),
            QStringLiteral(
                "The main report table can not be deleted. Please select another main table for the "
                "report first."));
        EXPECT_EQ(dialog.rowOf(designer->files()->dataModule()->findChild<TTable *>()),
            dialog.ListAvailable->currentRow());

        dialog.ComboMain->setCurrentIndex(0);
        boxes.answers.push_back(Dialogs::Answer::No);
        dialog.BDelete->click();
        EXPECT_NE(designer->files()->dataModule()->findChild<TTable *>(), nullptr);
        dialog.BDelete->click();
        EXPECT_EQ(boxes.texts(Dialogs::MessageKind::Confirmation).last(),
            QStringLiteral(
                "If you delete this table, all report elements using it will become invalid. Continue?"));
        EXPECT_EQ(designer->files()->dataModule()->findChild<TTable *>(), nullptr);
        EXPECT_EQ(itemsOf(dialog.ListAvailable), (QStringList { "tblAccount", "tblTransaction" }));
        dialog.BOK->click();
        return true;
    });
}

TEST_F(DatasetsDialog, PropertiesLinkATableToAMasterThroughItsIndex)
{
    datasets([this](TDBSetupForm &dialog) {
        newTable(dialog, QStringLiteral("Transaction.dat"), QStringLiteral("Lines"));
        boxes.scripts.push_back([this](QDialog &d) {
            auto &properties = static_cast<TEngineTableEditForm &>(d);
            EXPECT_EQ(properties.windowTitle(), QStringLiteral("Lines"));
            EXPECT_EQ(itemsOf(properties.ComboIndex).first(), QStringLiteral("PRIMARY INDEX"));
            properties.ComboIndex->setCurrentIndex(
                properties.ComboIndex->findText(QStringLiteral("Account_Number")));
            properties.ComboMaster->setCurrentIndex(
                properties.ComboMaster->findText(QStringLiteral("tblAccount")));
            boxes.scripts.push_front([](QDialog &l) {
                auto &linked = static_cast<TDBSetupFieldlistForm &>(l);
                EXPECT_EQ(linked.windowTitle(), QStringLiteral("Lines -> tblAccount"));
                EXPECT_EQ(itemsOf(linked.ListDetail), QStringList { "Account_Number" });
                linked.ListMaster->setCurrentRow(linked.ListMaster->row(
                    linked.ListMaster->findItems(QStringLiteral("Account_Number"), Qt::MatchExactly)
                        .first()));
                linked.addClick();
                EXPECT_EQ(itemsOf(linked.ListJoined), QStringList { "Account_Number -> Account_Number" });
                EXPECT_EQ(linked.result(), QStringLiteral("Account_Number"));
                return true;
            });
            properties.BMasterFields->click();
            EXPECT_EQ(properties.EMasterFields->text(), QStringLiteral("Account_Number"));
            properties.EFilter->setText(QStringLiteral("Transaction_Amount < 0"));
            properties.apply();
            return true;
        });
        dialog.BProperties->click();
        dialog.BOK->click();
        return true;
    });
    auto *lines = designer->files()->dataModule()->findChild<TTable *>(QStringLiteral("Lines"));
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->MasterSource(), datAccount);
    EXPECT_EQ(lines->MasterFields(), QStringLiteral("Account_Number"));
    EXPECT_EQ(lines->IndexName(), QStringLiteral("Account_Number"));
    EXPECT_TRUE(lines->Filtered());
    // Account 1 has two expenses.
    EXPECT_EQ(lines->ViewRowCount(), 2);
    EXPECT_TRUE(boxes.errors().isEmpty());
}

TEST_F(DatasetsDialog, ViewDataShowsTheRowsReadOnlyAndKeepsTheCurrentRow)
{
    tblTransaction->Last();
    const int row = tblTransaction->CurrentRowNumber();
    datasets([this](TDBSetupForm &dialog) {
        dialog.ListAvailable->setCurrentRow(1);
        boxes.scripts.push_back([](QDialog &d) {
            auto &view = static_cast<TRpViewDataForm &>(d);
            EXPECT_TRUE(view.Grid->ReadOnly());
            EXPECT_EQ(view.Grid->model()->rowCount(), 3);
            // Browsing the grid moves the table.
            view.Grid->DataSource()->DataSet()->First();
            return false;
        });
        dialog.BViewData->click();
        dialog.BCancel->click();
        return false;
    });
    EXPECT_EQ(tblTransaction->CurrentRowNumber(), row);
    EXPECT_FALSE(tblTransaction->HasUnsavedChanges());
}

TEST_F(DatasetsDialog, FieldsDialogHidesShowsAndReordersFields)
{
    datasets([this](TDBSetupForm &dialog) {
        newTable(dialog, QStringLiteral("Account.dat"), QStringLiteral("Accounts"));
        boxes.scripts.push_back([](QDialog &d) {
            auto &fields = static_cast<TFieldPropertyForm &>(d);
            EXPECT_EQ(fields.windowTitle(), QStringLiteral("Accounts"));
            EXPECT_EQ(itemsOf(fields.ListFields),
                (QStringList { "Account_Number", "Account_Type", "Account_Balance" }));
            EXPECT_FALSE(fields.BAddCalculated->isVisible());
            EXPECT_FALSE(fields.BAdd->isEnabled());
            fields.ListFields->setCurrentRow(0);
            fields.deleteClick();
            EXPECT_EQ(itemsOf(fields.ListFields), (QStringList { "Account_Type", "Account_Balance" }));
            EXPECT_EQ(fields.hiddenFields(), QStringList { "Account_Number" });
            fields.ListFields->setCurrentRow(1);
            fields.moveClick(-1);
            EXPECT_EQ(itemsOf(fields.ListFields), (QStringList { "Account_Balance", "Account_Type" }));
            // Shown again, a field keeps its place in the field order.
            fields.showField(QStringLiteral("Account_Number"));
            EXPECT_EQ(itemsOf(fields.ListFields),
                (QStringList { "Account_Number", "Account_Balance", "Account_Type" }));
            return true;
        });
        dialog.BFields->click();
        dialog.BOK->click();
        return true;
    });
    auto *accounts = designer->files()->dataModule()->findChild<TTable *>(QStringLiteral("Accounts"));
    ASSERT_NE(accounts, nullptr);
    EXPECT_EQ(accounts->Fields()[1]->FieldName(), QStringLiteral("Account_Balance"));
}

TEST_F(DatasetsDialog, FieldsDialogAddsAHiddenFieldAndEditsALabelAndFormat)
{
    datasets([this](TDBSetupForm &dialog) {
        newTable(dialog, QStringLiteral("Account.dat"), QStringLiteral("Accounts"));
        boxes.scripts.push_back([this](QDialog &d) {
            auto &fields = static_cast<TFieldPropertyForm &>(d);
            fields.ListFields->setCurrentRow(0);
            fields.deleteClick();
            EXPECT_TRUE(fields.BAdd->isEnabled());
            // "&Add" offers the hidden fields.
            boxes.scripts.push_front([](QDialog &s) {
                auto &select = static_cast<QInputDialog &>(s);
                EXPECT_EQ(select.windowTitle(), QStringLiteral("Select a field"));
                EXPECT_EQ(select.comboBoxItems(), QStringList { "Account_Number" });
                select.setTextValue(QStringLiteral("Account_Number"));
                return true;
            });
            fields.BAdd->click();
            EXPECT_EQ(itemsOf(fields.ListFields),
                (QStringList { "Account_Number", "Account_Type", "Account_Balance" }));
            // "&Edit": the label, and the format of a field that has one.
            boxes.scripts.push_front([](QDialog &s) {
                auto &edit = static_cast<TFieldLabelForm &>(s);
                EXPECT_EQ(edit.windowTitle(), QStringLiteral("Account_Balance"));
                EXPECT_FALSE(edit.EFormat->isHidden());
                EXPECT_FALSE(edit.EPrecision->isHidden());
                EXPECT_EQ(edit.EPrecision->text(), QStringLiteral("15"));
                edit.ELabel->setText(QStringLiteral("Solde"));
                edit.EFormat->setText(QStringLiteral("0.00"));
                // Digits only.
                edit.EPrecision->clear();
                for (const QChar c : QStringLiteral("-4x")) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    QCoreApplication::sendEvent(edit.EPrecision, &press);
                }
                EXPECT_EQ(edit.EPrecision->text(), QStringLiteral("4"));
                return true;
            });
            fields.ListFields->setCurrentRow(2);
            fields.BEdit->click();
            boxes.scripts.push_front([](QDialog &s) {
                auto &edit = static_cast<TFieldLabelForm &>(s); // a text field
                EXPECT_TRUE(edit.EFormat->isHidden());
                EXPECT_TRUE(edit.EPrecision->isHidden());
                return false;
            });
            fields.ListFields->setCurrentRow(1);
            fields.BEdit->click();
            return true;
        });
        dialog.BFields->click();
        dialog.BOK->click();
        return true;
    });
    auto *accounts = designer->files()->dataModule()->findChild<TTable *>(QStringLiteral("Accounts"));
    ASSERT_NE(accounts, nullptr);
    const TField *field = accounts->LookupField(QStringLiteral("Account_Balance"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->DisplayLabel(), QStringLiteral("Solde"));
    EXPECT_EQ(field->DisplayFormat(), QStringLiteral("0.00"));
    EXPECT_EQ(static_cast<const TFloatField *>(field)->Precision(), 4);
    EXPECT_TRUE(accounts->LookupField(QStringLiteral("Account_Number"))->Visible());
    EXPECT_TRUE(boxes.scripts.empty());
}
