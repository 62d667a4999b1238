#include "ReportTestSupport.h"

#include "report/streaming/StreamObjects.h"
#include "report/model/Units.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TRpReport> readReport(const QByteArray &text, const StreamReadOptions &options = {})
{
    registerAll();
    std::unique_ptr<QObject> object = readComponent(text, options);
    auto *report = qobject_cast<TRpReport *>(object.get());
    if (!report)
        return nullptr;
    object.release();
    return std::unique_ptr<TRpReport>(report);
}

QStringList namesOf(const QList<TRpCustomBand *> &bands)
{
    QStringList names;
    for (const TRpCustomBand *b : bands)
        names.append(b->objectName());
    return names;
}

TRpCustomBand *band(const TRpReport &report, const char *name)
{
    return report.findChild<TRpCustomBand *>(QLatin1String(name));
}

TEST(StreamObjects, ResourceFormRoundTripsByteForByteAndMatchesTheText)
{
    const auto report = makeFullReport();
    const QByteArray text = writeComponentText(report.get());
    const QByteArray resource = writeComponentResource(report.get());
    const std::unique_ptr<QObject> copy = readComponent(resource, fullReportReadOptions());
    EXPECT_EQ(writeComponentResource(copy.get()), resource);
    EXPECT_EQ(writeComponentText(copy.get()).toStdString(), text.toStdString());
}

TEST(StreamObjects, ReadingRestoresValuesAndLinks)
{
    const auto original = makeFullReport();
    const auto report = readReport(writeComponentText(original.get()));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->objectName(), QStringLiteral("RpReport"));
    EXPECT_EQ(report->reportTitle(), original->reportTitle());
    EXPECT_EQ(report->description(), original->description());
    EXPECT_EQ(report->page()->orientation(), RpPaper::poLandscape);
    EXPECT_EQ(report->page()->nativeWidth(), 2970);
    EXPECT_EQ(report->page()->columns(), 2);
    EXPECT_EQ(report->printerSettings()->outputBin(), RpPaper::Manual);
    EXPECT_EQ(report->font()->style(), Rp::fsBold | Rp::fsItalic);
    EXPECT_EQ(report->functions()->expression(QStringLiteral("TOTAL")), QStringLiteral("1+2"));
    EXPECT_EQ(namesOf(report->bandList()), namesOf(original->bandList()));

    TRpCustomBand *detail = band(*report, "DetailBand1");
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->linkBand(), band(*report, "SummaryBand1"));
    EXPECT_EQ(detail->childBand(), band(*report, "ChildBand1"));
    EXPECT_FALSE(detail->parentFont());
    EXPECT_EQ(detail->font()->name(), QStringLiteral("Courier New"));
    EXPECT_EQ(band(*report, "TitleBand1")->font()->name(), QStringLiteral("Times New Roman"));
    auto *group = qobject_cast<TRpGroup *>(band(*report, "Group1"));
    EXPECT_EQ(group->footerBand(), band(*report, "GroupFooterBand1"));
    auto *loop = qobject_cast<TRpLoopBand *>(band(*report, "LoopBand1"));
    EXPECT_EQ(loop->master(), band(*report, "SubDetail1"));
    auto *element = detail->findChild<TRpPrintable *>(QStringLiteral("Element1"));
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->size()->nativeWidth(), 400);
    EXPECT_EQ(element->hint(), QStringLiteral("Ω hint"));
}

// ---------------------------------------------------------------- what reading refuses or repairs

const char *const kHeader = "object RpReport: TRpReport\r\n";

QByteArray reportText(const QByteArray &body)
{
    return kHeader + body + "end\r\n";
}

TEST(StreamObjects, PerPropertyErrorsAreSkipped)
{
    const auto report = readReport(reportText("  NoSuchProperty = 5\r\n"
                                              "  Zoom = 'text'\r\n"
                                              "  Tag = 4294967296\r\n"
                                              "  Units = Furlongs\r\n"
                                              "  Options = [FirstPageHeader, Sideways]\r\n"
                                              "  Page.Values = (\r\n    1\r\n    2)\r\n"
                                              "  Page.Columns = 0\r\n"
                                              "  ReportTitle = 'kept'\r\n"
                                              "  object Strange1: TNoSuchClass\r\n"
                                              "    object Inner1: TRpBand\r\n    end\r\n"
                                              "  end\r\n"
                                              "  object Band1: TRpBand\r\n"
                                              "    BandType = rbDetail\r\n"
                                              "  end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->zoom(), 100);
    EXPECT_EQ(report->tag(), 0);
    EXPECT_EQ(report->units(), Rp::MM);
    EXPECT_EQ(report->options(), Rp::FirstPageHeader | Rp::LastPageFooter);
    EXPECT_EQ(report->page()->nativeWidth(), 2100); // a "Values" list of the wrong length is skipped
    EXPECT_EQ(report->page()->columns(), 1);
    EXPECT_EQ(report->reportTitle(), QStringLiteral("kept"));
    EXPECT_EQ(report->findChild<QObject *>(QStringLiteral("Inner1")), nullptr);
    EXPECT_EQ(report->bandList().size(), 1);
}

TEST(StreamObjects, DottedPathsOnlyEnterOwnedValueObjects)
{
    const auto report = readReport(reportText("  object A: TRpBand\r\n"
                                              "  end\r\n"
                                              "  object B: TRpBand\r\n"
                                              "    LinkBand = A\r\n"
                                              "    LinkBand.Color = clRed\r\n"
                                              "    LinkBand.Name = 'Hijacked'\r\n"
                                              "    Owner.ReportTitle = 'x'\r\n"
                                              "    Frame.DrawTop = True\r\n"
                                              "  end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(band(*report, "A")->color(), clWhite);
    EXPECT_EQ(band(*report, "B")->linkBand(), band(*report, "A"));
    EXPECT_TRUE(band(*report, "B")->frame()->drawTop());
    EXPECT_TRUE(report->reportTitle().isEmpty());
}

TEST(StreamObjects, ReferencesResolveAfterTheBlockThroughTheCheckingSetters)
{
    const auto report = readReport(reportText("  object Early: TRpBand\r\n"
                                              "    LinkBand = Late\r\n" // defined further down
                                              "  end\r\n"
                                              "  object Late: TRpBand\r\n"
                                              "    LinkBand = Early\r\n" // would close a cycle
                                              "  end\r\n"
                                              "  object G: TRpGroup\r\n"
                                              "    FooterBand = G\r\n" // wrong class: a group is no TRpBand
                                              "    Master = Nowhere\r\n" // unresolved
                                              "  end\r\n"
                                              "  object S: TRpSubDetail\r\n"
                                              "    Master = Owner\r\n"
                                              "    DataSet = Module.Table1\r\n"
                                              "  end\r\n"),
                                   StreamReadOptions{nullptr, [](const QString &) -> QObject * { return nullptr; }});
    ASSERT_TRUE(report);
    EXPECT_EQ(band(*report, "Early")->linkBand(), band(*report, "Late"));
    EXPECT_EQ(band(*report, "Late")->linkBand(), nullptr);
    auto *group = qobject_cast<TRpGroup *>(band(*report, "G"));
    EXPECT_EQ(group->footerBand(), nullptr);
    EXPECT_EQ(group->master(), nullptr);
    auto *sub = qobject_cast<TRpSubDetail *>(band(*report, "S"));
    EXPECT_EQ(sub->master(), report.get());
    EXPECT_EQ(sub->dataSet(), nullptr);
}

TEST(StreamObjects, ExternalReferencesGoThroughTheResolver)
{
    QObject module;
    module.setObjectName(QStringLiteral("Module"));
    QObject table(&module);
    table.setObjectName(QStringLiteral("Table1"));
    const auto report = readReport(reportText("  DataSet = Module.Table1\r\n"),
                                   StreamReadOptions{nullptr, [&table](const QString &reference) -> QObject * {
                                                         return reference == QStringLiteral("Module.Table1") ? &table
                                                                                                             : nullptr;
                                                     }});
    ASSERT_TRUE(report);
    EXPECT_EQ(report->dataSet(), &table);
    EXPECT_EQ(referenceText(&table, report.get()), QStringLiteral("Module.Table1"));
    EXPECT_EQ(referenceText(report.get(), report.get()), QStringLiteral("Owner"));
    QObject orphan;
    orphan.setObjectName(QStringLiteral("Lonely"));
    EXPECT_EQ(referenceText(&orphan, report.get()), QStringLiteral("Lonely.Owner"));
}

TEST(StreamObjects, NamesReadFromAFileAreMadeUnique)
{
    const auto report = readReport(reportText("  object Band1: TRpBand\r\n  end\r\n"
                                              "  object Band1: TRpBand\r\n  end\r\n"
                                              "  object RpReport: TRpBand\r\n  end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(namesOf(report->bandList()),
              (QStringList{QStringLiteral("Band1"), QStringLiteral("Band2"), QStringLiteral("RpReport1")}));
}

TEST(StreamObjects, FunctionsArePairedByIndexAfterBothListsAreRead)
{
    const auto report = readReport(reportText("  Functions.DATA = (\r\n    '1'\r\n    '2'\r\n    '3')\r\n"
                                              "  Functions.Strings = (\r\n    'one'\r\n    'two')\r\n"));
    ASSERT_TRUE(report);
    const QList<ReportFunctions::Entry> expected{{QStringLiteral("ONE"), QStringLiteral("1")},
                                                 {QStringLiteral("TWO"), QStringLiteral("2")}};
    EXPECT_EQ(report->functions()->entries(), expected);
}

TEST(StreamObjects, StoredPixelBoundsFillMissingNativeValues)
{
    const auto report = readReport(reportText("  object Band1: TRpBand\r\n"
                                              "    Height = 80\r\n"
                                              "    object E1: TRpPrintable\r\n"
                                              "      Left = 96\r\n"
                                              "      Size.Values = (\r\n        20\r\n        0\r\n        0\r\n"
                                              "        30)\r\n"
                                              "    end\r\n"
                                              "  end\r\n"));
    ASSERT_TRUE(report);
    TRpCustomBand *b = band(*report, "Band1");
    EXPECT_NEAR(double(b->size()->nativeLength()), 80 * 254.0 / 96, 1e-9);
    auto *element = b->findChild<TRpPrintable *>();
    EXPECT_NEAR(double(element->size()->nativeLeft()), 254, 1e-9);
    EXPECT_EQ(element->size()->nativeWidth(), 30);
}

TEST(StreamObjects, ExtremeNumbersAreBadValuesOrClamped)
{
    const auto report = readReport(reportText("  Font.Height = -2147483648\r\n"
                                              "  Frame.Width = 2147483647\r\n"
                                              "  Page.Values = (\r\n    1\r\n    1E4000\r\n    1\r\n    1\r\n"
                                              "    1\r\n    1\r\n    1)\r\n"
                                              "  object Band1: TRpBand\r\n"
                                              "    Size.Values = (\r\n      1E300\r\n      5)\r\n"
                                              "  end\r\n"
                                              "  object Band2: TRpBand\r\n"
                                              "    Size.Values = (\r\n      1E4000\r\n      5)\r\n"
                                              "  end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_GT(report->font()->size(), 0);
    EXPECT_LT(report->font()->height(), 0);
    EXPECT_EQ(report->page()->nativeLength(), 2970); // a value beyond a double skips the list
    EXPECT_EQ(band(*report, "Band1")->size()->nativeLength(), 1e7L); // huge sizes are cut to a kilometre
    EXPECT_EQ(band(*report, "Band1")->height(), nativeToPixels(1e7L, screenResolution(), 100));
    EXPECT_NEAR(double(band(*report, "Band2")->size()->nativeLength()), 40 * 254.0 / 96, 1e-9);
    EXPECT_EQ(frameStripThickness(report->frame()->width(), 1), 1000000000);
}

TEST(StreamObjects, APageWithoutWidthOrLengthKeepsItsSize)
{
    const auto report = readReport(reportText("  Page.Values = (\r\n    1\r\n    0\r\n    1\r\n    1000\r\n"
                                              "    1\r\n    1\r\n    1)\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->page()->nativeLength(), 2970);
    EXPECT_EQ(report->page()->nativeWidth(), 2100);
}

TEST(StreamObjects, WritingRefusesNamesThatWouldNotReadBack)
{
    registerAll(); // bands are written only as registered classes
    TRpReport report;
    report.setObjectName(QStringLiteral("Bad name"));
    EXPECT_THROW(writeComponentText(&report), EStreamError);
    report.setObjectName(QStringLiteral("Good"));
    AddBandOfType(&report, Rp::rbDetail)->setObjectName(QStringLiteral("Dé"));
    EXPECT_THROW(writeComponentText(&report), EStreamError);
}

TEST(StreamObjects, AnUnknownRootClassFails)
{
    registerAll();
    EXPECT_THROW(readComponent("object X: TNothing\r\nend\r\n"), EStreamError);
    EXPECT_THROW(readComponent("object X: TRpReport\r\n"), EStreamError);
}

} // namespace
