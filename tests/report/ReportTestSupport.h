#pragma once

#include "report/model/Controllers.h"
#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"
#include "report/streaming/ReportRegistry.h"
#include "report/elements/RichTextItems.h"
#include "report/streaming/StreamObjects.h"

#include <QtEndian>
#include <memory>

// The data module the full report's data elements point into: "RuntimeDatamodule" with "Table1" and
// "DataSource1".
inline QObject *fullReportDataModule()
{
    static QObject *module = [] {
        auto *made = new QObject;
        made->setObjectName(QStringLiteral("RuntimeDatamodule"));
        auto *table = new QObject(made);
        table->setObjectName(QStringLiteral("Table1"));
        auto *source = new QObject(made);
        source->setObjectName(QStringLiteral("DataSource1"));
        return made;
    }();
    return module;
}

// Reading options that resolve the full report's references into its data module.
inline StreamReadOptions fullReportReadOptions()
{
    StreamReadOptions options;
    options.resolveExternal = [](const QString &reference) -> QObject * {
        const QStringList parts = reference.split(u'.');
        if (parts.size() != 2 || parts[0].compare(u"RuntimeDatamodule", Qt::CaseInsensitive) != 0)
            return nullptr;
        return fullReportDataModule()->findChild<QObject *>(parts[1]);
    };
    return options;
}

// Non-default values in every family the printable elements share: the control properties, the frame,
// the position and size.
inline void setCommonElementValues(TRpPrintable *element, int seed)
{
    element->setTag(seed);
    element->setHint(QStringLiteral("hint %1").arg(seed));
    element->setCursor(Rp::crHandPoint);
    element->setHelpType(Rp::htKeyword);
    element->setHelpKeyword(QStringLiteral("key%1").arg(seed));
    element->setHelpContext(100 + seed);
    element->setEnabled(false);
    element->frame()->setDrawTop(true);
    element->frame()->setDrawBottom(true);
    element->frame()->setDrawLeft(true);
    element->frame()->setDrawRight(true);
    element->frame()->setWidth(2 + seed);
    element->frame()->setColor(clMaroon);
    element->frame()->setStyle(Rp::psDot);
    element->size()->setLeft(1.5 * seed);
    element->size()->setTop(0.25 * seed);
    element->size()->setWidth(30 + seed);
    element->size()->setHeight(4.75);
}

// Non-default values in every family of the text elements (own font included).
inline void setTextElementValues(TRpCustomLabel *element, int seed)
{
    setCommonElementValues(element, seed);
    element->setAlignment(seed % 2 ? Rp::taCenter : Rp::taRightJustify);
    element->setAlignToBand(true);
    element->setAutoSize(false);
    element->setAutoStretch(true);
    element->setWordWrap(false);
    element->setBiDiMode(Rp::bdRightToLeft);
    element->setParentBiDiMode(false);
    element->setColor(clAqua);
    element->setTransparent(true);
    element->font()->setName(QStringLiteral("Verdana"));
    element->font()->setSize(8 + seed);
    element->font()->setCharset(Rp::EASTEUROPE_CHARSET);
    element->font()->setPitch(Rp::fpFixed);
    element->font()->setStyle(Rp::fsUnderline | Rp::fsStrikeOut);
    element->font()->setColor(clRed);
}

// A small bitmap as a picture stores it: its own 32-bit length, then the bytes.
inline QByteArray sampleBitmapData()
{
    QByteArray bmp("BM");
    bmp.append(QByteArray(40, '\x01'));
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(quint32(bmp.size()), data.data());
    return data + bmp;
}

// A report with a band of every kind and non-default values in every property family.
inline std::unique_ptr<TRpReport> makeFullReport()
{
    registerAll();
    auto report = std::make_unique<TRpReport>();
    report->setObjectName(QStringLiteral("RpReport"));
    report->setReportTitle(QStringLiteral("Relevé l'été: \"comptes\"\r\nsuite"));
    report->setDescription({QStringLiteral("first line"), QString(), QString(70, u'x')});
    report->setOptions(Rp::FirstPageHeader | Rp::Compression);
    report->setPrintIfEmpty(false);
    report->setShowProgress(false);
    report->setSnapToGrid(false);
    report->font()->setName(QStringLiteral("Times New Roman"));
    report->font()->setSize(12);
    report->font()->setStyle(Rp::fsBold | Rp::fsItalic);
    report->font()->setColor(clNavy);
    report->frame()->setDrawTop(true);
    report->frame()->setWidth(-1);
    report->frame()->setStyle(Rp::psDash);
    report->page()->setOrientation(RpPaper::poLandscape);
    report->page()->setTopMargin(12.5);
    report->page()->setColumnSpace(3);
    report->page()->setColumns(2);
    report->page()->setRuler(false);
    report->printerSettings()->setCopies(3);
    report->printerSettings()->setDuplex(true);
    report->printerSettings()->setFirstPage(2);
    report->printerSettings()->setLastPage(9);
    report->printerSettings()->setOutputBin(RpPaper::Manual);
    report->functions()->addNamedExpression(QStringLiteral("total"), QStringLiteral("1+2"));

    report->bands()->setHasPageHeader(true);
    report->bands()->setHasTitle(true);
    report->bands()->setHasColumnHeader(true);
    report->bands()->setHasDetail(true);
    report->bands()->setHasPageFooter(true);
    report->bands()->setHasSummary(true);

    auto *group = new TRpGroup(report.get());
    group->setObjectName(QStringLiteral("Group1"));
    group->setExpression(QStringLiteral("Account_Number"));
    group->setReprintOnNewPage(true);
    group->setFooterBand(AddBandOfType(report.get(), Rp::rbGroupFooter));

    auto *sub = new TRpSubDetail(report.get());
    sub->setObjectName(QStringLiteral("SubDetail1"));
    sub->setPrintBefore(true);
    sub->setPrintIfEmpty(false);
    sub->bands()->setHasHeader(true);
    sub->bands()->setHasFooter(true);

    auto *loop = new TRpLoopBand(report.get());
    loop->setObjectName(QStringLiteral("LoopBand1"));
    loop->setPrintCount(4);
    loop->setMaster(sub);

    auto *strings = new TRpStringsBand(report.get());
    strings->setObjectName(QStringLiteral("StringsBand1"));
    strings->setItems({QStringLiteral("un"), QStringLiteral("deux")});

    TRpCustomBand *detail = report->firstBandOfType(Rp::rbDetail);
    detail->setColor(clYellow);
    detail->setForceNewPage(true);
    detail->setAlignToBottom(true);
    detail->setForceNewColumn(true);
    detail->setEnabled(false);
    detail->size()->setHeight(25.4);
    detail->font()->setName(QStringLiteral("Courier New"));
    detail->frame()->setDrawBottom(true);
    detail->frame()->setColor(0x123456);
    detail->setLinkBand(report->firstBandOfType(Rp::rbSummary));
    detail->setHasChild(true);
    detail->childBand()->setObjectName(QStringLiteral("ChildBand1"));

    auto *overlay = AddBandOfType(report.get(), Rp::rbOverlay);
    Q_UNUSED(overlay);

    auto *element = new TRpPrintable(detail);
    element->setObjectName(QStringLiteral("Element1"));
    element->size()->setLeft(10);
    element->size()->setTop(2.5);
    element->size()->setWidth(40);
    element->size()->setHeight(5);
    element->frame()->setDrawLeft(true);
    element->setEnabled(false);
    element->setHint(QStringLiteral("Ω hint"));
    element->setTag(-7);

    auto *label = new TRpLabel(report->firstBandOfType(Rp::rbTitle));
    label->setObjectName(QStringLiteral("Label1"));
    setTextElementValues(label, 1);
    label->setCaption(QStringLiteral("Un libellé assez long pour être coupé en morceaux de soixante-quatre caractères 'quoted'"));

    auto *pageLabel = new TRpLabel(report.get()); // on the report itself: printed on every page
    pageLabel->setObjectName(QStringLiteral("PageLabel1"));
    pageLabel->setCaption(QStringLiteral("Confidentiel"));

    auto *sysData = new TRpSysData(report->firstBandOfType(Rp::rbPageHeader));
    sysData->setObjectName(QStringLiteral("SysData1"));
    setTextElementValues(sysData, 2);
    sysData->setData(Rp::rpsPageNumber);
    sysData->setText(QStringLiteral("Page "));

    auto *memo = new TRpMemo(detail);
    memo->setObjectName(QStringLiteral("Memo1"));
    setTextElementValues(memo, 3);
    memo->setLines({QStringLiteral("A"), QString(), QStringLiteral("dernière ligne")});

    auto *dbText = new TRpDBText(detail);
    dbText->setObjectName(QStringLiteral("DBText1"));
    setTextElementValues(dbText, 4);
    dbText->setDataSet(fullReportDataModule()->findChild<QObject *>(QStringLiteral("Table1")));
    dbText->setDataField(QStringLiteral("Transaction_Amount"));
    dbText->setMask(QStringLiteral("#,##0.00;-#,##0.00;'zéro'"));

    auto *expr = new TRpExpr(group->footerBand());
    expr->setObjectName(QStringLiteral("Expr1"));
    setTextElementValues(expr, 5);
    expr->setExpression(QStringLiteral("Sum(Transaction_Amount)"));
    expr->setMask(QStringLiteral("0.00"));
    expr->setMaster(sub);
    expr->setResetAfterPrint(true);

    auto *calc = new TRpDBCalc(report->firstBandOfType(Rp::rbSummary));
    calc->setObjectName(QStringLiteral("DBCalc1"));
    setTextElementValues(calc, 6);
    calc->setDataField(QStringLiteral("Account_Balance"));
    calc->setOperation(Rp::rpcAverage);
    calc->setMask(QStringLiteral("0.0"));
    calc->setDataSource(fullReportDataModule()->findChild<QObject *>(QStringLiteral("DataSource1")));
    calc->setResetBand(group);
    calc->setMaster(report.get());

    auto *shape = new TRpShape(report->firstBandOfType(Rp::rbPageFooter));
    shape->setObjectName(QStringLiteral("Shape1"));
    setCommonElementValues(shape, 7);
    shape->setShape(Rp::rpsCircle);
    shape->pen()->setColor(clGreen);
    shape->pen()->setMode(Rp::pmXor);
    shape->pen()->setStyle(Rp::psDashDot);
    shape->pen()->setWidth(3);
    shape->brush()->setColor(0x00C0FFEE);
    shape->brush()->setStyle(Rp::bsDiagCross);

    auto *image = new TRpImage(report->firstBandOfType(Rp::rbColumnHeader));
    image->setObjectName(QStringLiteral("Image1"));
    setCommonElementValues(image, 8);
    image->picture()->setGraphic(QStringLiteral("TBitmap"), sampleBitmapData());
    image->setAutoSize(true);
    image->setCenter(true);
    image->setStretch(true);

    auto *dbImage = new TRpDBImage(sub);
    dbImage->setObjectName(QStringLiteral("DBImage1"));
    setCommonElementValues(dbImage, 9);
    dbImage->setDataSet(fullReportDataModule()->findChild<QObject *>(QStringLiteral("Table1")));
    dbImage->setDataField(QStringLiteral("Photo"));
    dbImage->setCenter(false);
    dbImage->setStretch(true);

    auto *rich = new TRpRichText(strings);
    rich->setObjectName(QStringLiteral("RichText1"));
    setCommonElementValues(rich, 10);
    rich->setLines({QStringLiteral("{\\rtf1 Gras \\b oui\\b0}"), QStringLiteral("<p>fin</p>")});
    rich->setAlignment(Rp::taRightJustify);
    rich->setAutoStretch(true);
    rich->setColor(clSilver);
    rich->font()->setName(QStringLiteral("Georgia"));
    rich->font()->setSize(9);

    auto *dbRich = new TRpDBRichText(loop);
    dbRich->setObjectName(QStringLiteral("DBRichText1"));
    setCommonElementValues(dbRich, 11);
    dbRich->setDataSet(fullReportDataModule()->findChild<QObject *>(QStringLiteral("Table1")));
    dbRich->setDataField(QStringLiteral("Transaction_Description"));
    dbRich->setAlignment(Rp::taCenter);
    dbRich->setAutoStretch(true);
    dbRich->setColor(clYellow);
    dbRich->font()->setStyle(Rp::fsItalic);
    return report;
}
