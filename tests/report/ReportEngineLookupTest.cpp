// What leads from a report object back to its engine, and the windows in the order they were made.
#include "report/files/ReportFile.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(ReportEngineLookup, AReportItsBandsAndTheWindowLeadToTheirEngine)
{
    ReportFileEngine first(QStringLiteral("LookupFirst"));
    ReportFileEngine second(QStringLiteral("LookupSecond"));
    TRpBand *band = AddBandOfType(second.report(), Rp::rbDetail);
    EXPECT_EQ(ReportFileEngine::engineOf(second.window()), &second);
    EXPECT_EQ(ReportFileEngine::engineOf(band), &second);
    EXPECT_EQ(ReportFileEngine::engineOf(first.report()), &first);
    QObject stray;
    EXPECT_EQ(ReportFileEngine::engineOf(&stray), nullptr);
    EXPECT_EQ(ReportFileEngine::engineOf(nullptr), nullptr);
}

TEST(ReportEngineLookup, ADestroyedEngineIsForgotten)
{
    ReportFileEngine kept(QStringLiteral("LookupKept"));
    auto gone = std::make_unique<ReportFileEngine>(QStringLiteral("LookupGone"));
    gone.reset();
    // The lookup goes over every engine there is: the one destroyed is no longer among them.
    QObject stray;
    EXPECT_EQ(ReportFileEngine::engineOf(&stray), nullptr);
    EXPECT_EQ(ReportFileEngine::engineOf(kept.report()), &kept);
}

TEST(ReportEngineLookup, WindowsAreListedInTheOrderTheyWereMadeWithoutTheDataModules)
{
    QObject module;
    module.setObjectName(QStringLiteral("LookupModule"));
    RpComponents::addDataModule(&module);
    ReportFileEngine first(QStringLiteral("LookupA"));
    ReportFileEngine second(QStringLiteral("LookupB"));
    const QList<QObject *> windows = RpComponents::windows();
    EXPECT_FALSE(windows.contains(&module));
    const qsizetype a = windows.indexOf(first.window());
    const qsizetype b = windows.indexOf(second.window());
    ASSERT_GE(a, 0);
    EXPECT_GT(b, a);
    RpComponents::remove(&module);
}

} // namespace
