// Reports over the program's data: the designer offers the data module's tables and reads table files
// through the engine's tables, and a designer session never changes a finance file.
#include "FormsFixture.h"

#include "designer/DBSetupForm.h"
#include "designer/DBTextPropertyForm.h"
#include "designer/DataSources.h"
#include "designer/EngineTable.h"
#include "designer/EngineTableEditForm.h"
#include "designer/GroupPropertyForm.h"
#include "designer/LabelPropertyForm.h"
#include "designer/ReportDesignerDialog.h"
#include "designer/ReportDesignerForm.h"
#include "forms/Reports.h"
#include "preview/WizardWindow.h"
#include "report/files/DesignClasses.h"
#include "report/files/DesignerSettings.h"
#include "report/files/ReportFile.h"
#include "support/TestSupport.h"
#include "support/UiScript.h"
#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

QStringList namesOf(const QList<TDataSource *> &sources)
{
    QStringList names;
    for (const TDataSource *s : sources)
        names << s->DataSet()->objectName();
    return names;
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

const char *const kFiles[] = { "Account.dat", "Transaction.dat", "Expence.dat", "Income.dat" };

class ReportData : public FormsFixture
{
protected:
    void SetUp() override
    {
        FormsFixture::SetUp();
        TRpDesignerSettings::setFileName(QDir(folder.path()).filePath(QStringLiteral("RPDESIGN.INI")));
        previousDir = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QDir(folder.path()).mkpath(QStringLiteral("Reports"));
        reportPath = QDir(folder.path()).filePath(QStringLiteral("Reports/tables.rp2"));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        FormsFixture::TearDown();
        TRpDesignerSettings::setFileName(QString());
    }

    void addTransaction(const QString &text, double amount)
    {
        TMemTable *lines = DataModule1->tblTransaction;
        lines->AppendRow();
        DataModule1->tblTransactionTransaction_Description->setAsString(text);
        DataModule1->tblTransactionTransaction_Amount->setAsNumber(amount);
        lines->Post();
    }

    QList<QByteArray> financeFiles() const
    {
        QList<QByteArray> files;
        for (const char *name : kFiles)
            files << TestSupport::readFile(dataFile(name));
        return files;
    }

    // Views the data of every table the "Datasets" dialog lists, moving through each grid.
    void viewEveryTable(TDBSetupForm &dialog)
    {
        for (int row = 0; row < dialog.ListAvailable->count(); ++row) {
            dialog.ListAvailable->setCurrentRow(row);
            dialogs.scripts.push_front([](QDialog &d) {
                auto &view = static_cast<TRpViewDataForm &>(d);
                TDataSet *table = view.Grid->DataSource()->DataSet();
                table->Last();
                table->First();
                viewed << table->objectName();
                return false;
            });
            dialog.BViewData->click();
        }
    }

    // A new engine table on a file of the Data folder.
    void newEngineTable(TDBSetupForm &dialog, const QString &file)
    {
        dialogs.scripts.push_front([file](QDialog &d) {
            auto &properties = static_cast<TEngineTableEditForm &>(d);
            properties.ComboDatabase->setEditText(QStringLiteral("Data"));
            properties.databaseChanged();
            properties.ComboTable->setEditText(file);
            properties.tableChanged();
            properties.apply();
            return true;
        });
        dialog.MenuNew->actions().first()->trigger();
    }

    static QStringList viewed;
    QString previousDir;
    QString reportPath;
};

QStringList ReportData::viewed;

} // namespace

TEST_F(ReportData, TheDataModulesTablesAreOfferedAndBindTheReport)
{
    dialogs.fileAnswer = reportPath;
    dialogs.scripts.push_back([this](QDialog &d) {
        auto *form = qobject_cast<TReportDesignerForm *>(&d);
        if (!form)
            return false;
        EXPECT_EQ(namesOf(rpAvailableDataSources(*form->RpDesigner1)),
            (QStringList { "tblAccount", "tblTransaction", "tblExpence", "tblIncome" }));
        // The reports window's setting: the data-field list sorted.
        EXPECT_TRUE(form->RpDesigner1->DatafieldsSorted);
        dialogs.scripts.push_back([](QDialog &s) {
            auto &dialog = static_cast<TDBSetupForm &>(s);
            dialog.ComboMain->setCurrentIndex(dialog.ComboMain->findText(QStringLiteral("tblTransaction")));
            dialog.BOK->click();
            return true;
        });
        form->menuAction(QStringLiteral("Report/Datasets..."))->trigger();
        EXPECT_EQ(form->RpDesigner1->report()->dataSet(), DataModule1->tblTransaction);
        return form->ASaveExecute();
    });
    frmReports->btnNewReport->click();
    EXPECT_TRUE(TestSupport::readFile(reportPath).contains("DataSet = DataModule1.tblTransaction"));
}

TEST_F(ReportData, ThePropertyDialogsAndTheirWizardListTheDataModulesTables)
{
    const QStringList tables { "tblAccount", "tblTransaction", "tblExpence", "tblIncome" };
    QStringList fieldSets;
    QStringList subdetailSets;
    QStringList wizardSets;
    TRpDesignDBText *field = nullptr;
    TRpDesignSubdetail *subdetail = nullptr;
    TRpDesignExpr *sum = nullptr;
    dialogs.fileAnswer = reportPath;
    dialogs.scripts.push_back([&](QDialog &d) {
        auto *form = qobject_cast<TReportDesignerForm *>(&d);
        if (!form)
            return false;
        TRpDesigner *designer = form->RpDesigner1;
        auto *band = new TRpDesignBand(designer->designReport());
        band->setObjectName(QStringLiteral("Detail1"));
        subdetail = new TRpDesignSubdetail(designer->designReport());
        subdetail->setObjectName(QStringLiteral("Sub1"));
        field = new TRpDesignDBText(band);
        field->setObjectName(QStringLiteral("DBText1"));
        sum = new TRpDesignExpr(band);
        sum->setObjectName(QStringLiteral("Expr1"));

        dialogs.scripts.push_back([&](QDialog &s) {
            auto &dialog = static_cast<TDBTextPropertyForm &>(s);
            fieldSets = itemTexts(dialog.DataField->ComboDataSet);
            dialog.DataField->ComboDataSet->setCurrentText(QStringLiteral("tblTransaction"));
            dialog.DataField->ComboField->setCurrentText(QStringLiteral("Transaction_Amount"));
            return true;
        });
        EXPECT_EQ(designer->EditProperties(field), EditResult::Accepted);

        dialogs.scripts.push_back([&](QDialog &s) {
            auto &dialog = static_cast<TSubdetailPropertyForm &>(s);
            subdetailSets = itemTexts(dialog.ComboDataSet);
            dialog.ComboDataSet->setCurrentText(QStringLiteral("tblIncome"));
            return true;
        });
        EXPECT_EQ(designer->EditProperties(subdetail), EditResult::Accepted);

        dialogs.scripts.push_back([](QDialog &s) {
            static_cast<TExpressionPropertyForm &>(s).EExpression->BWizard->click();
            return true;
        });
        dialogs.scripts.push_back([&](QDialog &s) {
            auto &wizard = static_cast<RpWizardWindow &>(s);
            const QListWidget *sets = wizard.findChild<QListWidget *>(QStringLiteral("ListDatasets"));
            for (int i = 0; sets && i < sets->count(); ++i)
                wizardSets << sets->item(i)->text();
            wizard.expressionEdit()->setPlainText(QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
            UiFind::click(&wizard, QStringLiteral("OK"));
            return true;
        });
        EXPECT_EQ(designer->EditProperties(sum), EditResult::Accepted);
        EXPECT_EQ(field->dataSet(), DataModule1->tblTransaction);
        EXPECT_EQ(field->dataField(), QStringLiteral("Transaction_Amount"));
        EXPECT_EQ(subdetail->dataSet(), DataModule1->tblIncome);
        EXPECT_EQ(sum->expression(), QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
        designer->setModified(false);
        return false;
    });
    frmReports->btnNewReport->click();
    EXPECT_EQ(fieldSets, tables);
    EXPECT_EQ(subdetailSets, QStringList { "(NONE)" } + tables);
    EXPECT_EQ(wizardSets, tables);
    EXPECT_TRUE(dialogs.scripts.empty());
}

TEST_F(ReportData, FinanceFilesAreByteIdenticalAfterADesignerSessionThatViewedEveryTable)
{
    addAccount(QStringLiteral("Banque"), 100);
    addTransaction(QStringLiteral("Courses"), -12.5);
    addTransaction(QStringLiteral("Salaire"), 1500);
    for (auto [table, field] :
        { std::pair { DataModule1->tblExpence, DataModule1->tblExpenceExpence_Description },
            std::pair { DataModule1->tblIncome, DataModule1->tblIncomeIncome_Description } }) {
        table->AppendRow();
        field->setAsString(QStringLiteral("Divers"));
        table->Post();
    }
    flushSaves();
    const QList<QByteArray> before = financeFiles();
    const QStringList folderBefore = QDir(dataFolder()).entryList(QDir::Files);
    viewed.clear();

    dialogs.fileAnswer = reportPath;
    dialogs.scripts.push_back([this](QDialog &d) {
        auto *form = qobject_cast<TReportDesignerForm *>(&d);
        if (!form)
            return false;
        dialogs.scripts.push_back([this](QDialog &s) {
            auto &dialog = static_cast<TDBSetupForm &>(s);
            for (const char *name : kFiles)
                newEngineTable(dialog, QString::fromLatin1(name));
            viewEveryTable(dialog);
            dialog.BOK->click();
            return true;
        });
        form->ADatasetsExecute();
        return form->ASaveExecute();
    });
    frmReports->btnNewReport->click();
    EXPECT_EQ(viewed.size(), 8);
    EXPECT_TRUE(viewed.contains(QStringLiteral("tblIncome")));
    EXPECT_TRUE(viewed.contains(QStringLiteral("Dataset4")));

    // Opened again, the report opens its own tables from the files once more.
    dialogs.scripts.push_back([](QDialog &d) {
        auto *form = qobject_cast<TReportDesignerForm *>(&d);
        if (!form)
            return false;
        const QList<TTable *> tables = form->RpDesigner1->files()->dataModule()->findChildren<TTable *>();
        EXPECT_EQ(tables.size(), 4);
        for (TTable *table : tables)
            EXPECT_TRUE(table->Active()) << table->objectName().toStdString();
        return false;
    });
    frmReports->btnEditReport->click();

    stop();
    EXPECT_EQ(financeFiles(), before);
    EXPECT_EQ(QDir(dataFolder()).entryList(QDir::Files), folderBefore);
}
