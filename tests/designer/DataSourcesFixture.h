#pragma once

#include "DesignerFixture.h"
#include "designer/DatasetInterfaces.h"
#include "designer/EngineTable.h"
#include "store/DataSource.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QDialog>
#include <QDir>
#include <deque>
#include <functional>
#include <memory>

// The names of the tables of data sources.
inline QStringList namesOf(const QList<TDataSource *> &sources)
{
    QStringList names;
    for (const TDataSource *s : sources)
        names << s->DataSet()->objectName();
    return names;
}

// Answers message boxes like DialogRecorder; a modal window runs the next queued script, shown, and the
// script's answer is the window's result. Without a script the window is answered with execAnswer.
class ScriptedRecorder : public DialogRecorder
{
public:
    using Script = std::function<bool(QDialog &)>;

    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        if (scripts.empty())
            return execAnswer;
        Script script = std::move(scripts.front());
        scripts.pop_front();
        dialog.show();
        const bool accepted = script(dialog);
        dialog.hide();
        return accepted;
    }

    std::deque<Script> scripts;
};

// A designer window beside an application data module that holds the finance tables (account and
// transaction, written to a Data folder and opened from there), registered as the program registers its
// data module, with the Data folder known to the engine as the database "Data".
class DataSourcesWindow : public DesignerWindow
{
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        module.setObjectName(QStringLiteral("DataModule1"));
        tblAccount = table("tblAccount", "Account.dat", FinanceTables::accountDefs());
        tblTransaction = table("tblTransaction", "Transaction.dat", FinanceTables::transactionDefs());
        datAccount = source("datAccount", tblAccount);
        datTransaction = source("datTransaction", tblTransaction);
        fillRows();
        tblTransaction->FieldNamed(QStringLiteral("Transaction_Amount"))
            ->setDisplayLabel(QStringLiteral("Montant"));
        RpComponents::addDataModule(&module);
        RpEngineSession::session().addDatabase(QStringLiteral("Data"), dataFolder());
        DesignerWindow::SetUp();
        designer->DatafieldsSorted = true;
    }

    void TearDown() override
    {
        form.reset();
        RpComponents::remove(&module);
        RpEngineSession::session().removeDatabase(QStringLiteral("Data"));
    }

    QString dataFolder() const { return dir.filePath(QStringLiteral("Data")); }
    QString dataFile(const char *name) const
    {
        return QDir(dataFolder()).filePath(QString::fromLatin1(name));
    }

    TMemTable *table(const char *name, const char *file, const TFieldDefs &defs)
    {
        auto *t = new TMemTable(&module);
        t->setObjectName(QString::fromLatin1(name));
        t->setFileName(dataFile(file));
        t->FieldDefs() = defs;
        t->CreateEmpty();
        return t;
    }

    TDataSource *source(const char *name, TDataSet *dataSet)
    {
        auto *s = new TDataSource(&module);
        s->setObjectName(QString::fromLatin1(name));
        s->setDataSet(dataSet);
        return s;
    }

    void fillRows()
    {
        for (const char *name : { "Banque", "Caisse" }) {
            tblAccount->AppendRow();
            tblAccount->FieldNamed(QStringLiteral("Account_Type"))->setAsString(QString::fromLatin1(name));
            tblAccount->Post();
        }
        const double amounts[] = { -12.5, 40, -7.25 };
        for (double amount : amounts) {
            tblTransaction->AppendRow();
            tblTransaction->FieldNamed(QStringLiteral("Transaction_Description"))
                ->setAsString(QStringLiteral("Courses"));
            tblTransaction->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(amount);
            tblTransaction->FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
            tblTransaction->Post();
        }
        // The files hold the rows, as the program writes them after each action.
        tblAccount->SaveChanges();
        tblTransaction->SaveChanges();
        tblAccount->First();
        tblTransaction->First();
    }

    // Installed after the base fixture's recorder, so that it answers.
    ScriptedRecorder boxes;
    QObject module;
    TMemTable *tblAccount = nullptr;
    TMemTable *tblTransaction = nullptr;
    TDataSource *datAccount = nullptr;
    TDataSource *datTransaction = nullptr;
};
