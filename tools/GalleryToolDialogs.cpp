// The property dialogs of the report designer, each filled from an item of a sample report whose values
// differ from the defaults.
#include "GalleryTool.h"

#include "designer/BandPropertyForm.h"
#include "designer/DBTextMapForm.h"
#include "designer/DBTextPropertyForm.h"
#include "designer/GroupPropertyForm.h"
#include "designer/ImagePropertyForm.h"
#include "designer/LabelPropertyForm.h"
#include "designer/MemoPropertyForm.h"
#include "designer/ReportPropertyForm.h"
#include "designer/RichtextPropertyForm.h"
#include "designer/RpDesigner.h"
#include "designer/ShapePropertyForm.h"
#include "designer/SysDataPropertyForm.h"
#include "report/files/DesignClasses.h"
#include "report/files/ReportFile.h"
#include "store/DataSource.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QPainter>

namespace Gallery {

namespace {

// A report of every band and element kind, set to values other than their defaults.
struct SampleReport
{
    SampleReport()
    {
        module.setObjectName(QStringLiteral("DataModule1"));
        accounts = table(QStringLiteral("tblAccount"), FinanceTables::accountDefs());
        transactions = table(QStringLiteral("tblTransaction"), FinanceTables::transactionDefs());
        RpComponents::addDataModule(&module);
        TDesignRpReport &r = *designer.designReport();
        r.setReportTitle(QStringLiteral("Relevé des comptes"));
        r.setDescription(
            { QStringLiteral("Every account with its transactions"), QStringLiteral("by month") });
        r.page()->setPaperSize(RpPaper::A5);
        r.page()->setOrientation(RpPaper::poLandscape);
        r.page()->setTopMargin(15);
        r.page()->setLeftMargin(12.5);
        r.page()->setColumns(2);
        r.page()->setColumnSpace(5);
        r.labelSettings()->setFirstLabel(2);

        header = band<TRpDesignBand>(QStringLiteral("PageHeader1"));
        header->setBandType(Rp::rbPageHeader);
        detail = band<TRpDesignBand>(QStringLiteral("Detail1"));
        detail->setBandType(Rp::rbDetail);
        detail->setColor(clYellow);
        detail->setPrintCondition(QStringLiteral("tblTransaction.Transaction_Amount<>0"));
        detail->setNotOnFirstPage(true);
        detail->frame()->setDrawTop(true);
        detail->frame()->setDrawBottom(true);
        detail->frame()->setWidth(2);
        detail->frame()->setColor(clNavy);
        detail->frame()->setStyle(Rp::psDash);
        footer = band<TRpDesignBand>(QStringLiteral("GroupFooter1"));
        footer->setBandType(Rp::rbGroupFooter);
        group = band<TRpDesignGroup>(QStringLiteral("Group1"));
        group->setExpression(QStringLiteral("tblTransaction.Account_Number"));
        group->setPrintCondition(QStringLiteral("tblTransaction.Account_Number>0"));
        group->setFooterBand(footer);
        group->setReprintOnNewPage(true);
        group->setLinkBand(detail);
        group->setForceNewPage(true);
        child = band<TRpDesignChildBand>(QStringLiteral("Child1"));
        child->setParentBand(detail);
        child->setStartPageNum(2);
        child->setPageStep(2);
        child->setAlignToBottom(true);
        subdetail = band<TRpDesignSubdetail>(QStringLiteral("Sub1"));
        subdetail->setDataSet(accounts);
        subdetail->setPrintBefore(true);
        subdetail->setPrintIfEmpty(false);
        loop = band<TRpDesignLoopband>(QStringLiteral("LabelBand"));
        loop->setPrintCount(4);
        loop->setMaster(subdetail);
        loop->setPrintBefore(true);
        strings = band<TRpDesignStringsband>(QStringLiteral("Strings1"));
        strings->setItems({ QStringLiteral("Janvier"), QStringLiteral("Février"), QStringLiteral("Mars") });
        r.arrangeBands();

        label = element<TRpDesignLabel>(QStringLiteral("Label1"));
        label->setCaption(QStringLiteral("Solde au"));
        label->setDegree(450);
        label->setAlignment(Rp::taRightJustify);
        label->setAutoSize(false);
        label->setTransparent(true);
        label->setColor(clAqua);
        label->font()->setName(QStringLiteral("Courier New"));
        label->font()->setSize(14);
        label->font()->setStyle(Rp::fsBold);
        expression = element<TRpDesignExpr>(QStringLiteral("Expr1"));
        expression->setExpression(QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
        expression->setMask(QStringLiteral("#,##0.00 'EUR'"));
        expression->setMaster(subdetail);
        expression->setResetAfterPrint(true);
        expression->setAlignment(Rp::taCenter);
        dataField = element<TRpDesignDBText>(QStringLiteral("DBText1"));
        dataField->setDataSet(transactions);
        dataField->setDataField(QStringLiteral("Transaction_Amount"));
        dataField->setMask(QStringLiteral("0.00"));
        dataField->setMapList({ QStringLiteral("nothing\t0"), QStringLiteral("%%'large'%%\t1000000") });
        dataField->setSuppressRepeatedValues(true);
        dataField->setReprintOnNewPage(true);
        dataField->setBlankIfZero(true);
        memo = element<TRpDesignMemo>(QStringLiteral("Memo1"));
        memo->setLines({ QStringLiteral("Compte : %%tblAccount.Account_Type%%"),
            QStringLiteral("%DELNote : %%tblTransaction.Transaction_Description%%") });
        memo->setAlignment(Rp::taCenter);
        system = element<TRpDesignSysdata>(QStringLiteral("SysData1"));
        system->setData(Rp::rpsPageNumber);
        system->setText(QStringLiteral("Page "));
        shape = element<TRpDesignShape>(QStringLiteral("Shape1"));
        shape->setShape(Rp::rpsCircle);
        shape->pen()->setWidth(3);
        shape->pen()->setStyle(Rp::psDot);
        shape->brush()->setStyle(Rp::bsCross);
        shape->brush()->setColor(clSilver);
        image = element<TRpDesignImage>(QStringLiteral("Image1"));
        image->setFilename(QStringLiteral("/srv/reports/logo.bmp"));
        image->setStretch(true);
        image->setCenter(true);
        dbImage = element<TRpDesignDBImage>(QStringLiteral("DBImage1"));
        dbImage->setDataSet(accounts);
        dbImage->setDataField(QStringLiteral("Account_Type"));
        dbImage->setStretch(true);
        richText = element<TRpDesignRichtext>(QStringLiteral("Rich1"));
        richText->setLines({ QStringLiteral("<p style=\"text-align:center\"><b>Relevé</b> de "
                                            "<i>%%tblAccount.Account_Type%%</i></p>"),
            QStringLiteral("<ul><li>%DEL%%tblTransaction.Transaction_Description%%</li></ul>") });
        richText->setAutoStretch(true);
        richText->setColor(clSilver);
        dbRichText = element<TRpDesignDBRichtext>(QStringLiteral("DBRich1"));
        dbRichText->setDataSet(transactions);
        dbRichText->setDataField(QStringLiteral("Transaction_Description"));
        dbRichText->setAutoStretch(true);
        dbRichText->setAlignment(Rp::taRightJustify);
    }

    ~SampleReport() { RpComponents::remove(&module); }

    TMemTable *table(const QString &name, const TFieldDefs &defs)
    {
        auto *result = new TMemTable(&module);
        result->setObjectName(name);
        result->FieldDefs() = defs;
        result->CreateEmpty();
        // Reports reach a table of a data module through a data source, as the program's data module has
        // them.
        auto *source = new TDataSource(&module);
        source->setObjectName(QStringLiteral("dat") + name.mid(3));
        source->setDataSet(result);
        return result;
    }

    template <typename T> T *band(const QString &name)
    {
        auto *made = new T(designer.designReport());
        made->setObjectName(name);
        return made;
    }

    template <typename T> T *element(const QString &name)
    {
        auto *made = new T(detail);
        made->setObjectName(name);
        made->size()->setNativeBounds(100, 50, 400, 80);
        return made;
    }

    QObject module;
    TMemTable *accounts;
    TMemTable *transactions;
    TRpDesigner designer;
    TRpDesignBand *header;
    TRpDesignBand *detail;
    TRpDesignBand *footer;
    TRpDesignGroup *group;
    TRpDesignChildBand *child;
    TRpDesignSubdetail *subdetail;
    TRpDesignLoopband *loop;
    TRpDesignStringsband *strings;
    TRpDesignLabel *label;
    TRpDesignExpr *expression;
    TRpDesignDBText *dataField;
    TRpDesignMemo *memo;
    TRpDesignSysdata *system;
    TRpDesignShape *shape;
    TRpDesignImage *image;
    TRpDesignDBImage *dbImage;
    TRpDesignRichtext *richText;
    TRpDesignDBRichtext *dbRichText;
};

template <typename Form, typename Item>
bool saveForm(
    SampleReport &sample, Item *item, const QDir &out, int &written, const QString &suffix = QString())
{
    Form form(nullptr, &sample.designer);
    form.load(*item);
    form.adjustSize();
    return save(grab(form), out, QStringLiteral("dialog-%1%2.png").arg(form.section(), suffix), written);
}

} // namespace

bool renderPropertyDialogs(const QDir &out, int &written)
{
    SampleReport sample;
    bool ok = saveForm<TReportPropertyForm>(sample, sample.designer.designReport(), out, written)
        && saveForm<TBandPropertyForm>(sample, sample.detail, out, written)
        && saveForm<TBandPropertyForm>(sample, sample.loop, out, written, QStringLiteral("-Loop"))
        && saveForm<TBandPropertyForm>(sample, sample.strings, out, written, QStringLiteral("-Strings"))
        && saveForm<TGroupPropertyForm>(sample, sample.group, out, written)
        && saveForm<TSubdetailPropertyForm>(sample, sample.subdetail, out, written)
        && saveForm<TChildPropertyForm>(sample, sample.child, out, written)
        && saveForm<TLabelPropertyForm>(sample, sample.label, out, written)
        && saveForm<TExpressionPropertyForm>(sample, sample.expression, out, written)
        && saveForm<TDBTextPropertyForm>(sample, sample.dataField, out, written)
        && saveForm<TMemoPropertyForm>(sample, sample.memo, out, written)
        && saveForm<TSysDataPropertyForm>(sample, sample.system, out, written)
        && saveForm<TShapePropertyForm>(sample, sample.shape, out, written)
        && saveForm<TImagePropertyForm>(sample, sample.image, out, written)
        && saveForm<TDBImagePropertyForm>(sample, sample.dbImage, out, written)
        && saveForm<TRichtextPropertyForm>(sample, sample.richText, out, written)
        && saveForm<TDBRichtextPropertyForm>(sample, sample.dbRichText, out, written);
    if (!ok)
        return false;
    // The several-elements form, the value map and the strings band items.
    TDBTextPropertyForm several(nullptr, &sample.designer);
    several.loadSeveral();
    TDBTextMapForm map(nullptr, &sample.designer);
    map.setMapList(sample.dataField->mapList());
    TStringbandItemsForm items(nullptr, &sample.designer);
    items.setItems(sample.strings->items());
    return save(grab(several), out, QStringLiteral("dialog-DBTextPropertyForm-Several.png"), written)
        && save(grab(map), out, QStringLiteral("dialog-DBTextMapForm.png"), written)
        && save(grab(items), out, QStringLiteral("dialog-StringbandItemsForm.png"), written);
}

} // namespace Gallery
