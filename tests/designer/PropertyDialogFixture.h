#pragma once

#include "designer/PropertyDialogs.h"
#include "designer/PropertyFields.h"
#include "designer/ReportDesignerForm.h"
#include "report/files/DesignClasses.h"
#include "report/files/ReportFile.h"
#include "store/DataSource.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "widgets/DialogRecorder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Answers every dialog through a script that may fill it in and decides between OK and Cancel; without a
// script the recorder's answer holds. Nested dialogs (value map, items, wizard) come through here too.
class ScriptedDialogs : public DialogRecorder
{
public:
    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        shown.push_back(dialog.objectName());
        if (script)
            return script(dialog);
        return execAnswer;
    }

    std::function<bool(QDialog &dialog)> script;
    QStringList shown;
};

// A designer engine over a report of every band and element kind, each set to values other than its
// defaults, with the application's data module offering two tables.
class PropertyDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        module.setObjectName(QStringLiteral("DataModule1"));
        accounts = table(QStringLiteral("tblAccount"), FinanceTables::accountDefs());
        transactions = table(QStringLiteral("tblTransaction"), FinanceTables::transactionDefs());
        RpComponents::addDataModule(&module);
        form = std::make_unique<TReportDesignerForm>(nullptr, dir.filePath(QStringLiteral("RPDESIGN.INI")));
        form->resize(1000, 800);
        form->show();
        designer = form->RpDesigner1;
        ExpressionWizard::install([this](QWidget *, TRpDesigner *, QString &text) {
            wizardInputs << text;
            if (wizardAnswer.isNull())
                return false;
            text = wizardAnswer;
            return true;
        });
        buildReport();
        designer->refreshSurface();
    }

    void TearDown() override
    {
        form.reset();
        RpComponents::remove(&module);
        ExpressionWizard::install([](QWidget *, TRpDesigner *, QString &) { return false; });
    }

    TMemTable *table(const QString &name, const TFieldDefs &defs)
    {
        auto *result = new TMemTable(&module);
        result->setObjectName(name);
        result->FieldDefs() = defs;
        result->CreateEmpty();
        // Reports offer a table through a data source of the module, as the program's data module has them.
        auto *source = new TDataSource(&module);
        source->setObjectName(QStringLiteral("dat") + name.mid(3));
        source->setDataSet(result);
        return result;
    }

    TDesignRpReport *report() const { return designer->designReport(); }

    template <typename T> T *band(const QString &name)
    {
        auto *made = new T(report());
        made->setObjectName(name);
        return made;
    }

    template <typename T> T *element(QObject *parent, const QString &name)
    {
        auto *made = new T(parent);
        made->setObjectName(name);
        made->size()->setNativeBounds(100, 50, 400, 80);
        return made;
    }

    void buildReport()
    {
        TDesignRpReport &r = *report();
        r.setReportTitle(QStringLiteral("Monthly accounts"));
        r.setDescription({ QStringLiteral("Every account"), QStringLiteral("with its balance") });
        r.page()->setOrientation(RpPaper::poLandscape);
        r.page()->setPaperSize(RpPaper::A5);
        r.page()->setTopMargin(12.5);
        r.page()->setLeftMargin(7);
        r.page()->setColumns(2);
        r.page()->setColumnSpace(4);

        pageHeader = band<TRpDesignBand>(QStringLiteral("PageHeader1"));
        pageHeader->setBandType(Rp::rbPageHeader);
        detail = band<TRpDesignBand>(QStringLiteral("Detail1"));
        detail->setBandType(Rp::rbDetail);
        detail->setColor(clYellow);
        detail->setPrintCondition(QStringLiteral("1=1"));
        detail->frame()->setDrawTop(true);
        detail->frame()->setWidth(3);
        detail->frame()->setColor(clRed);
        detail->size()->setNativeLength(300);
        groupFooter = band<TRpDesignBand>(QStringLiteral("GroupFooter1"));
        group = band<TRpDesignGroup>(QStringLiteral("Group1"));
        group->setExpression(QStringLiteral("tblTransaction.Account_Number"));
        group->setReprintOnNewPage(true);
        group->setFooterBand(groupFooter);
        child = band<TRpDesignChildBand>(QStringLiteral("Child1"));
        child->setParentBand(detail);
        child->setStartPageNum(1);
        child->setPageStep(2);
        subdetail = band<TRpDesignSubdetail>(QStringLiteral("Sub1"));
        subdetail->setDataSet(accounts);
        subdetail->setPrintBefore(true);
        loop = band<TRpDesignLoopband>(QStringLiteral("Loop1"));
        loop->setPrintCount(3);
        loop->setMaster(subdetail);
        strings = band<TRpDesignStringsband>(QStringLiteral("Strings1"));
        strings->setItems({ QStringLiteral("one"), QStringLiteral("two") });
        r.arrangeBands();

        label = element<TRpDesignLabel>(detail, QStringLiteral("Label1"));
        label->setCaption(QStringLiteral("Balance"));
        label->setDegree(450);
        label->setAlignment(Rp::taRightJustify);
        label->setAutoSize(false);
        label->setTransparent(true);
        label->setColor(clAqua);
        label->font()->setName(QStringLiteral("Courier New"));
        label->font()->setSize(12);
        expression = element<TRpDesignExpr>(detail, QStringLiteral("Expr1"));
        expression->setExpression(QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
        expression->setMask(QStringLiteral("#,##0.00"));
        expression->setMaster(subdetail);
        expression->setResetAfterPrint(true);
        dataField = element<TRpDesignDBText>(detail, QStringLiteral("DBText1"));
        dataField->setDataSet(transactions);
        dataField->setDataField(QStringLiteral("Transaction_Amount"));
        dataField->setMask(QStringLiteral("0.00"));
        dataField->setMapList({ QStringLiteral("nothing\t0") });
        dataField->setSuppressRepeatedValues(true);
        dataField->setReprintOnNewGroup(true);
        memo = element<TRpDesignMemo>(detail, QStringLiteral("Memo1"));
        memo->setLines({ QStringLiteral("first"), QStringLiteral("%DELsecond") });
        memo->setWordWrap(false);
        system = element<TRpDesignSysdata>(detail, QStringLiteral("SysData1"));
        system->setData(Rp::rpsPageNumber);
        system->setText(QStringLiteral("Page "));
        shape = element<TRpDesignShape>(detail, QStringLiteral("Shape1"));
        shape->setShape(Rp::rpsCircle);
        shape->pen()->setWidth(3);
        shape->brush()->setStyle(Rp::bsCross);
        image = element<TRpDesignImage>(detail, QStringLiteral("Image1"));
        image->setStretch(true);
        dbImage = element<TRpDesignDBImage>(detail, QStringLiteral("DBImage1"));
        dbImage->setDataSet(accounts);
        dbImage->setDataField(QStringLiteral("Account_Type"));
        dbImage->setCenter(false);
        richText = element<TRpDesignRichtext>(detail, QStringLiteral("Rich1"));
        richText->setLines({ QStringLiteral("<p>Rich <b>text</b></p>") });
        richText->setAutoStretch(true);
        dbRichText = element<TRpDesignDBRichtext>(detail, QStringLiteral("DBRich1"));
        dbRichText->setDataSet(transactions);
        dbRichText->setDataField(QStringLiteral("Transaction_Description"));
        designer->setModified(false);
    }

    // The report as a saved file.
    QByteArray saved() const
    {
        QByteArray bytes;
        EXPECT_TRUE(designer->files()->SaveReportStream(bytes));
        return bytes;
    }

    // Opens the item's dialog; `fill` changes it and the dialog is answered OK or Cancel.
    template <typename Form>
    EditResult edit(QObject *item, const std::function<void(Form &form)> &fill, bool ok = true)
    {
        dialogs.script = [this, fill, ok](QDialog &dialog) {
            auto *form = qobject_cast<Form *>(&dialog);
            if (!form)
                return nested ? nested(dialog) : false;
            fill(*form);
            return ok;
        };
        const EditResult result = designer->EditProperties(item);
        dialogs.script = nullptr;
        nested = nullptr;
        return result;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    // The expression wizard's answer (a null text: cancelled) and the texts it was opened on.
    QString wizardAnswer;
    // Answers the dialogs a dialog opens in turn (value map, items).
    std::function<bool(QDialog &dialog)> nested;
    QStringList wizardInputs;
    QObject module;
    TMemTable *accounts = nullptr;
    TMemTable *transactions = nullptr;
    std::unique_ptr<TReportDesignerForm> form;
    TRpDesigner *designer = nullptr;
    TRpDesignBand *pageHeader = nullptr;
    TRpDesignBand *detail = nullptr;
    TRpDesignBand *groupFooter = nullptr;
    TRpDesignGroup *group = nullptr;
    TRpDesignChildBand *child = nullptr;
    TRpDesignSubdetail *subdetail = nullptr;
    TRpDesignLoopband *loop = nullptr;
    TRpDesignStringsband *strings = nullptr;
    TRpDesignLabel *label = nullptr;
    TRpDesignExpr *expression = nullptr;
    TRpDesignDBText *dataField = nullptr;
    TRpDesignMemo *memo = nullptr;
    TRpDesignSysdata *system = nullptr;
    TRpDesignShape *shape = nullptr;
    TRpDesignImage *image = nullptr;
    TRpDesignDBImage *dbImage = nullptr;
    TRpDesignRichtext *richText = nullptr;
    TRpDesignDBRichtext *dbRichText = nullptr;
};
