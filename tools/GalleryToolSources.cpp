// The report's data windows, the variable editor and both expression wizards over the finance data.
#include "GalleryTool.h"

#include "designer/DBSetupForm.h"
#include "designer/DataSources.h"
#include "designer/DatafieldList.h"
#include "designer/DatasetInterfaces.h"
#include "designer/EngineTable.h"
#include "designer/EngineTableEditForm.h"
#include "designer/FieldPropertyForm.h"
#include "designer/RpDExpressionBuilder.h"
#include "designer/RpDesigner.h"
#include "forms/Datamod.h"
#include "forms/FinanceApp.h"
#include "forms/Reports.h"
#include "platform/DateTime.h"
#include "preview/ReportVariables.h"
#include "preview/RpEnvironmentEditor.h"
#include "preview/RpExpressionBuilder.h"
#include "report/expressions/Evaluator.h"
#include "report/files/ReportFile.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace Gallery {

namespace {

class QuietDialogs : public Dialogs::Handler
{
public:
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &) override
    {
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return {}; }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &) override { return false; }
};

void sampleData()
{
    const auto account = [](const QString &name, double balance) {
        DataModule1->tblAccount->AppendRow();
        DataModule1->tblAccountAccount_Type->setAsString(name);
        DataModule1->tblAccountAccount_Balance->setAsNumber(balance);
        DataModule1->tblAccount->Post();
    };
    account(QStringLiteral("Compte courant"), 1523.40);
    account(QStringLiteral("Livret A"), 8200);
    DataModule1->tblAccount->First();
    const TDateTime day = DateTime::encodeDate(2026, 11, 2);
    const struct
    {
        const char *text;
        int day;
        double amount;
    } rows[] = { { "Salaire", 0, 2350 }, { "Loyer", 1, -780 }, { "Courses", 4, -112.35 },
        { "Essence", 6, -64.90 }, { "Remboursement", 15, 438.10 } };
    for (const auto &row : rows) {
        DataModule1->tblTransaction->AppendRow();
        DataModule1->tblTransactionTransaction_Description->setAsString(QString::fromUtf8(row.text));
        DataModule1->tblTransactionTransaction_Date->setAsDateTime(day + row.day);
        DataModule1->tblTransactionTransaction_Amount->setAsNumber(row.amount);
        DataModule1->tblTransactionAccount_Number->setAsInteger(
            DataModule1->tblAccountAccount_Number->AsInteger());
        DataModule1->tblTransaction->Post();
    }
    DataModule1->tblAccount->First();
    // The files hold the rows, so that the engine's tables can read them.
    TCustomMemTable::SaveChangesTogether({ DataModule1->tblAccount, DataModule1->tblTransaction });
}

bool picture(QWidget &window, const QDir &out, const char *name, int &written)
{
    window.show();
    QApplication::processEvents();
    const bool ok = save(grab(window), out, QString::fromLatin1(name) + QStringLiteral(".png"), written);
    window.hide();
    return ok;
}

bool wizardPages(RpWizardWindow &wizard, const QDir &out, const QString &base, int &written)
{
    const struct
    {
        RpWizardWindow::Page page;
        const char *suffix;
        const char *function;
    } pages[] = { { RpWizardWindow::MainPage, "", "" }, { RpWizardWindow::DataFieldPage, "-datafield", "" },
        { RpWizardWindow::FunctionPage, "-function", "COPY" },
        { RpWizardWindow::ParametersPage, "-parameters", "COPY" },
        { RpWizardWindow::VariablePage, "-variable", "" } };
    bool ok = true;
    for (const auto &p : pages) {
        wizard.show();
        wizard.showPage(p.page, QString::fromLatin1(p.function));
        QApplication::processEvents();
        ok = ok
            && save(
                grab(wizard), out, base + QString::fromLatin1(p.suffix) + QStringLiteral(".png"), written);
    }
    wizard.hide();
    return ok;
}

} // namespace

bool renderReportDataWindows(const QDir &out, int &written)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    QuietDialogs quiet;
    Dialogs::ScopedHandler guard(quiet);
    FinanceApp app(folder.path());
    sampleData();
    TfrmReports::registerDataDatabase();
    QApplication::processEvents();

    // A designer engine over a report with one table of its own, read from the transaction file.
    TRpDesigner designer;
    designer.DatafieldsSorted = true;
    designer.FieldDisplayLabels = QStringList { QStringLiteral("Transaction_Amount=Montant") };
    TRpDesignEngineTableInterface *face = frmReports->RpDesignEngineTableInterface1;
    face->setEngine(&designer);
    TRuntimeDatamodule *module = designer.files()->dataModule();
    auto *sales = qobject_cast<TTable *>(face->CreateDataset(module));
    sales->setObjectName(QStringLiteral("Operations"));
    sales->setDatabaseName(QStringLiteral("Data"));
    sales->setTableName(QStringLiteral("Transaction.dat"));
    face->CreateDatasource(sales)->setObjectName(QStringLiteral("OperationsDatasource"));
    rpOpenReportTables(designer);
    designer.report()->setDataSet(DataModule1->tblTransaction);

    bool ok = true;
    {
        TRpDatafieldList list(nullptr);
        list.setWindowTitle(QStringLiteral("Data field"));
        list.Fill(designer);
        list.resize(220, 360);
        ok = ok && picture(list, out, "TRpDatafieldList", written);
    }
    {
        TDBSetupForm datasets(designer);
        datasets.ListAvailable->setCurrentRow(0);
        ok = ok && picture(datasets, out, "TDBSetupForm", written);
    }
    {
        TEngineTableEditForm properties(*face, *sales, false);
        ok = ok && picture(properties, out, "TEngineTableEditForm", written);
    }
    {
        TDBOpenForm open(RpEngineSession::session().databaseNames(), QStringLiteral("Data"), false, {});
        ok = ok && picture(open, out, "TDBOpenForm", written);
    }
    {
        TDBSetupFieldlistForm linked(QStringLiteral("Operations -> tblAccount"),
            { QStringLiteral("Account_Number") },
            { QStringLiteral("Account_Number"), QStringLiteral("Account_Type"),
                QStringLiteral("Account_Balance") },
            {});
        linked.ListMaster->setCurrentRow(0);
        linked.addClick();
        ok = ok && picture(linked, out, "TDBSetupFieldlistForm", written);
    }
    {
        TFieldPropertyForm fields(designer, *sales, true);
        ok = ok && picture(fields, out, "TFieldPropertyForm", written);
    }
    {
        TRpViewDataForm view(*DataModule1->datTransaction);
        view.resize(640, 300);
        ok = ok && picture(view, out, "TRpViewDataForm", written);
    }

    // The variables of the report, with one of the user's own.
    designer.report()->functions()->addNamedExpression(
        QStringLiteral("Balance"), QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
    RpReportVariables variables(designer.report());
    {
        TRpEnvironmentEditor editor(&variables, true);
        ok = ok && picture(editor, out, "TRpEnvironmentEditor", written);
    }
    {
        TRpExpressionBuilder wizard(nullptr, &variables);
        wizard.expressionEdit()->setPlainText(QStringLiteral("tblTransaction.Transaction_Amount > 0"));
        ok = ok && wizardPages(wizard, out, QStringLiteral("TRpExpressionBuilder"), written);
    }
    {
        TRpDExpressionBuilder wizard(designer, &variables);
        wizard.expressionEdit()->setPlainText(QStringLiteral("SUM(tblTransaction.Transaction_Amount) > 0"));
        ok = ok && wizardPages(wizard, out, QStringLiteral("TRpDExpressionBuilder"), written);
    }
    face->setEngine(nullptr);
    return ok;
}

} // namespace Gallery
