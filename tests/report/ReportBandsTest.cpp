#include "ReportTestSupport.h"

#include "report/model/NameScope.h"
#include "report/streaming/StreamObjects.h"

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const QList<TRpCustomBand *> &bands)
{
    QStringList names;
    for (const TRpCustomBand *band : bands)
        names.append(band->objectName());
    return names;
}

TEST(BandOrder, FollowsTheDataLoopsOfTheReport)
{
    const auto report = makeFullReport();
    const QStringList expected{
        QStringLiteral("PageHeaderBand1"),   QStringLiteral("TitleBand1"),       QStringLiteral("ColumnHeaderBand1"),
        QStringLiteral("Group1"),            QStringLiteral("GroupHeaderBand1"), QStringLiteral("LoopBand1"),
        QStringLiteral("SubDetail1"),        QStringLiteral("GroupFooterBand2"), QStringLiteral("DetailBand1"),
        QStringLiteral("ChildBand1"),        QStringLiteral("StringsBand1"),     QStringLiteral("GroupFooterBand1"),
        QStringLiteral("SummaryBand1"),      QStringLiteral("PageFooterBand1"),  QStringLiteral("OverlayBand1")};
    EXPECT_EQ(namesOf(report->bandList()), expected);
}

TEST(BandLayout, StacksBandsFromTheTopMarginAtWidthsByKind)
{
    const auto report = makeFullReport(); // A4 landscape, 2 columns of 3 mm space, margins 10/12.5 mm
    const long double printable = 2970 - 200;
    const long double column = std::floor((printable - 30) / 2);
    long double top = 125;
    for (const TRpCustomBand *band : report->bandList()) {
        EXPECT_EQ(band->nativeLeft(), 100) << band->objectName().toStdString();
        EXPECT_EQ(band->nativeTop(), top) << band->objectName().toStdString();
        const bool wide = band->bandType() == Rp::rbTitle || band->bandType() == Rp::rbPageHeader
                          || band->bandType() == Rp::rbPageFooter || band->bandType() == Rp::rbSummary
                          || band->bandType() == Rp::rbOverlay;
        EXPECT_EQ(band->size()->nativeWidth(), wide ? printable : column) << band->objectName().toStdString();
        top += band->size()->nativeLength();
    }
    report->setBandsHidden(true);
    for (const TRpCustomBand *band : report->bandList())
        EXPECT_EQ(band->nativeTop(), 2100);
}

TEST(BandLayout, AChildOfAWideBandIsWideAndRotationMovesTheFirstBandsToTheEnd)
{
    TRpReport report;
    report.bands()->setHasTitle(true);
    report.bands()->setHasDetail(true);
    TRpCustomBand *title = report.firstBandOfType(Rp::rbTitle);
    title->setHasChild(true);
    report.page()->setColumns(2);
    const QList<TRpCustomBand *> bands = report.bandList();
    ASSERT_EQ(bands.size(), 3);
    EXPECT_EQ(bands[1], title->childBand());
    EXPECT_EQ(bands[1]->size()->nativeWidth(), report.page()->printableWidth());
    EXPECT_EQ(bands[2]->size()->nativeWidth(), report.page()->columnWidth());
    report.setBandRotation(1);
    EXPECT_EQ(report.bandList().last(), title);
}

TEST(BandSwitches, CreateNamedBandsAndDestroyThemAgain)
{
    TRpReport report;
    report.bands()->setHasDetail(true);
    TRpCustomBand *detail = report.firstBandOfType(Rp::rbDetail);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->objectName(), QStringLiteral("DetailBand1"));
    EXPECT_EQ(AddBandOfType(&report, Rp::rbDetail)->objectName(), QStringLiteral("DetailBand2"));
    EXPECT_TRUE(report.bands()->hasDetail());

    report.bands()->setHasSummary(true);
    TRpCustomBand *summary = report.firstBandOfType(Rp::rbSummary);
    detail->setLinkBand(summary);
    report.bands()->setHasSummary(false);
    EXPECT_FALSE(report.bands()->hasSummary());
    EXPECT_EQ(detail->linkBand(), nullptr); // the link cleared with its target
    EXPECT_EQ(report.bandList().size(), 2);
}

TEST(BandSwitches, SubDetailHeaderAndFooter)
{
    TRpReport report;
    auto *sub = new TRpSubDetail(&report);
    sub->bands()->setHasHeader(true);
    sub->bands()->setHasFooter(true);
    ASSERT_NE(sub->headerBand(), nullptr);
    EXPECT_EQ(sub->headerBand()->bandType(), Rp::rbGroupHeader);
    EXPECT_EQ(sub->footerBand()->bandType(), Rp::rbGroupFooter);
    EXPECT_EQ(report.bandList().size(), 3);
    sub->bands()->setHasHeader(false);
    EXPECT_EQ(sub->headerBand(), nullptr);
    EXPECT_EQ(report.bandList().size(), 2);
}

TEST(ChildBands, SwitchingOffKeepsTheGrandchild)
{
    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    band->setHasChild(true);
    TRpChildBand *child = band->childBand();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->bandType(), Rp::rbChild);
    child->setHasChild(true);
    TRpChildBand *grandchild = child->childBand();
    band->setHasChild(false);
    EXPECT_EQ(band->childBand(), grandchild);
    EXPECT_EQ(grandchild->parentBand(), band);
    EXPECT_EQ(report.bandList(), (QList<TRpCustomBand *>{band, grandchild}));
}

TEST(BandLinks, CyclesAreRefusedAndTheOldValueStays)
{
    TRpReport report;
    TRpBand *a = AddBandOfType(&report, Rp::rbDetail);
    TRpBand *b = AddBandOfType(&report, Rp::rbDetail);
    EXPECT_TRUE(a->setLinkBand(b));
    EXPECT_FALSE(b->setLinkBand(a));
    EXPECT_FALSE(a->setLinkBand(a));
    EXPECT_EQ(b->linkBand(), nullptr);
    EXPECT_EQ(a->linkBand(), b);

    auto *child = new TRpChildBand(&report);
    auto *grandchild = new TRpChildBand(&report);
    EXPECT_TRUE(child->setParentBand(a));
    EXPECT_TRUE(grandchild->setParentBand(child));
    EXPECT_FALSE(child->setParentBand(grandchild));
    EXPECT_FALSE(child->setParentBand(child));
    EXPECT_EQ(child->parentBand(), a);

    auto *outer = new TRpSubDetail(&report);
    auto *inner = new TRpLoopBand(&report);
    EXPECT_TRUE(inner->setMaster(outer));
    EXPECT_FALSE(outer->setMaster(inner));
    EXPECT_FALSE(outer->setMaster(outer));
    EXPECT_FALSE(outer->setMaster(a)); // not a data loop
    EXPECT_EQ(outer->master(), nullptr);
}

TEST(BandLinks, DestroyedTargetsClearTheLinkAndLeaveTheOrder)
{
    TRpReport report;
    auto *group = new TRpGroup(&report);
    TRpBand *footer = AddBandOfType(&report, Rp::rbGroupFooter);
    group->setFooterBand(footer);
    auto *sub = new TRpSubDetail(&report);
    auto *loop = new TRpLoopBand(&report);
    loop->setMaster(sub);
    EXPECT_EQ(report.bandList().size(), 4);

    std::unique_ptr<TRpBand>{footer}.reset();
    EXPECT_EQ(group->footerBand(), nullptr);
    std::unique_ptr<TRpSubDetail>{sub}.reset();
    EXPECT_EQ(loop->master(), nullptr);
    EXPECT_EQ(loop->effectiveMaster(), &report);
    EXPECT_EQ(report.bandList(), (QList<TRpCustomBand *>{group, loop}));
}

TEST(BandOrder, ABandNamedTwiceIsPlacedOnce)
{
    TRpReport report;
    auto *first = new TRpGroup(&report);
    auto *second = new TRpGroup(&report);
    TRpBand *footer = AddBandOfType(&report, Rp::rbGroupFooter);
    first->setFooterBand(footer);
    second->setFooterBand(footer);
    auto *sub = new TRpSubDetail(&report);
    sub->setHeaderBand(footer);
    const QList<TRpCustomBand *> bands = report.bandList();
    EXPECT_EQ(bands.size(), 4);
    EXPECT_EQ(bands.count(footer), 1);
}

TEST(LoopVariables, FollowTheBandsName)
{
    TRpReport report;
    auto *loop = new TRpLoopBand(&report);
    loop->setObjectName(QStringLiteral("Repeat"));
    EXPECT_EQ(report.functions()->expression(QStringLiteral("REPEAT")), QStringLiteral("0"));
    loop->setObjectName(QStringLiteral("Again"));
    EXPECT_EQ(report.functions()->indexOf(QStringLiteral("REPEAT")), -1);
    EXPECT_EQ(report.functions()->expression(QStringLiteral("AGAIN")), QStringLiteral("0"));
    auto *strings = new TRpStringsBand(&report);
    strings->setObjectName(QStringLiteral("Lines"));
    EXPECT_EQ(report.functions()->expression(QStringLiteral("LINES")), QStringLiteral("''"));
    std::unique_ptr<TRpLoopBand>{loop}.reset();
    EXPECT_EQ(report.functions()->indexOf(QStringLiteral("AGAIN")), -1);
}

TEST(BandOrder, ALongChainOfMastersIsArrangedInnermostFirst)
{
    TRpReport report;
    constexpr int kChain = 50000;
    std::vector<TRpSubDetail *> chain;
    for (int i = 0; i < kChain; ++i)
        chain.push_back(new TRpSubDetail(&report));
    // Masters set from the inner end, so that each cycle check walks a short chain.
    for (int i = kChain - 1; i > 0; --i)
        ASSERT_TRUE(chain[i]->setMaster(chain[i - 1]));
    const QList<TRpCustomBand *> order = report.bandList();
    ASSERT_EQ(order.size(), kChain);
    EXPECT_EQ(order.first(), chain.back());
    EXPECT_EQ(order.last(), chain.front());
}

TEST(UniqueNames, StripTrailingDigitsAndStayLinear)
{
    QObject root;
    root.setObjectName(QStringLiteral("Root"));
    NameScope scope(&root);
    EXPECT_EQ(scope.unique(QStringLiteral("Band")), QStringLiteral("Band"));
    EXPECT_EQ(scope.unique(QStringLiteral("band")), QStringLiteral("band1"));
    EXPECT_EQ(scope.unique(QStringLiteral("Band12")), QStringLiteral("Band12"));
    EXPECT_EQ(scope.unique(QStringLiteral("Band12")), QStringLiteral("Band2"));
    EXPECT_EQ(scope.unique(QStringLiteral("Root")), QStringLiteral("Root1"));
    // Many objects with one base name: each call continues where the last stopped.
    for (int i = 0; i < 100000; ++i)
        scope.unique(QStringLiteral("Label"));
    EXPECT_EQ(scope.unique(QStringLiteral("Label")), QStringLiteral("Label100000"));
}

} // namespace
