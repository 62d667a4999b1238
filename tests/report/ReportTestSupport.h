#pragma once

#include "report/Printable.h"
#include "report/Report.h"
#include "report/ReportRegistry.h"

#include <memory>

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
    return report;
}
