#include "ReportTestSupport.h"

#include "report/streaming/StreamObjects.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportStreamRoundTrip, TextWrittenReadAndWrittenAgainIsIdentical)
{
    const auto report = makeFullReport();
    const QByteArray first = writeComponentText(report.get());
    const std::unique_ptr<QObject> copy = readComponent(first, fullReportReadOptions());
    const QByteArray second = writeComponentText(copy.get());
    EXPECT_EQ(first.toStdString(), second.toStdString());
    if (qEnvironmentVariableIsSet("SHOW_REPORT_TEXT"))
        printf("%s", first.constData());
}

} // namespace
