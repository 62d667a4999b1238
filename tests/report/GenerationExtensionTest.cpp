// The work a layer above the engine does around every run: it begins before the run, may refuse it, and
// ends after the run however the run ended.
#include "GenerationTestSupport.h"
#include "report/generation/RunExtension.h"

#include <gtest/gtest.h>

namespace {

class RecordingExtension : public RpRunExtension
{
public:
    explicit RecordingExtension(QStringList &log)
        : m_log(log)
    { }
    ~RecordingExtension() override { m_log << QStringLiteral("end"); }

private:
    QStringList &m_log;
};

class GenerationExtension : public testing::Test
{
protected:
    void TearDown() override { setRunStarter({}); }

    void install(bool refuse)
    {
        setRunStarter([this, refuse](TCustomRpReport &, TRpReportRun &run,
                          bool &refused) -> std::unique_ptr<RpRunExtension> {
            log << QStringLiteral("begin at %1").arg(double(run.CurrentY()));
            refused = refuse;
            return std::make_unique<RecordingExtension>(log);
        });
    }

    QStringList log;
};

TEST_F(GenerationExtension, BeginsBeforeTheRunAndEndsAfterIt)
{
    install(false);
    ExampleReport example;
    auto *probe = new ProbeText(example.detail, QStringLiteral("row"));
    probe->value = [this](RpPrintRun &) {
        log << QStringLiteral("print");
        return QStringLiteral("row");
    };
    const auto store = runToStore(example.report);
    EXPECT_EQ(
        log, (QStringList { QStringLiteral("begin at -1"), QStringLiteral("print"), QStringLiteral("end") }));
    EXPECT_EQ(store->pageCount(), 1);
}

TEST_F(GenerationExtension, ARefusedRunBeginsNothing)
{
    install(true);
    ExampleReport example;
    new ProbeText(example.detail, QStringLiteral("row"));
    TRpPrinter store;
    EXPECT_FALSE(RunReport(example.report, store));
    EXPECT_EQ(store.pageCount(), 0);
    EXPECT_EQ(log, (QStringList { QStringLiteral("begin at -1"), QStringLiteral("end") }));
    EXPECT_FALSE(IsReportRunning(example.report));
}

TEST_F(GenerationExtension, EndsWhenTheRunFails)
{
    install(false);
    ExampleReport example;
    example.report.OnStartPage = [](TCustomRpReport *) { throw Exception(QStringLiteral("broken")); };
    TRpPrinter store;
    EXPECT_THROW(RunReport(example.report, store), Exception);
    EXPECT_EQ(log.last(), QStringLiteral("end"));
}

} // namespace
