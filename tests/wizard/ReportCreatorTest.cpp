// The report builder of the wizard: the bands and elements of every kind, their names and geometry, the
// column shrink of lists, mailing labels with and without a data set, and the reports it makes run.
#include "report/wizard/ReportCreator.h"
#include "report/GenerationTestSupport.h"
#include "report/files/ReportFile.h"
#include "report/scripts/ScriptFunctions.h"

#include <gtest/gtest.h>

namespace {

class Installed : public testing::Environment
{
public:
    void SetUp() override { installReportScripts(); }
};

[[maybe_unused]] testing::Environment *const installed = testing::AddGlobalTestEnvironment(new Installed);

class ReportCreator : public testing::Test
{
protected:
    ReportCreator()
        : engine(QStringLiteral("WizardWindow"))
        , table(*new TMemTable(engine.dataModule()))
    {
        fillTransactions(table, 3);
        table.FieldNamed(QStringLiteral("Transaction_Amount"))
            ->setDisplayLabel(QStringLiteral("Montant_net"));
        answers = TRpDReportCreator::defaultsFor(*engine.report());
        answers.dataSet = &table;
        answers.fields
            = QStringList { QStringLiteral("Transaction_Description"), QStringLiteral("Transaction_Amount") };
    }

    void build()
    {
        TRpDReportCreator creator(*engine.report());
        creator.AfterReportComponentCreated
            = [this](QObject *component) { createdNames << component->objectName(); };
        creator.Build(answers);
    }

    template <typename T> T *named(const char *name) const
    {
        return engine.report()->findChild<T *>(QString::fromLatin1(name));
    }

    QStringList bandNames() const
    {
        QStringList names;
        for (QObject *child : engine.report()->children()) {
            if (qobject_cast<TRpCustomBand *>(child))
                names << child->objectName();
        }
        return names;
    }

    int pixels(long double native) const
    {
        return nativeToPixels(native, engine.report()->resolution(), 100);
    }

    ReportFileEngine engine;
    TMemTable &table;
    TRpWizardAnswers answers;
    QStringList createdNames;
};

TEST_F(ReportCreator, ABlankReportIsLeftAsItIs)
{
    answers.type = TRpWizardReportType::Blank;
    const QByteArray before = [&] {
        QByteArray bytes;
        engine.SaveReportStream(bytes);
        return bytes;
    }();
    build();
    QByteArray after;
    engine.SaveReportStream(after);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(createdNames.isEmpty());
}

TEST_F(ReportCreator, AListHasItsBandsColumnsAndCaptions)
{
    answers.type = TRpWizardReportType::List;
    answers.pageFooter = true;
    answers.summary = true;
    answers.reportTitle = QStringLiteral("Opérations");
    build();
    EXPECT_EQ(engine.report()->dataSet(), &table);
    EXPECT_EQ(bandNames(),
        (QStringList { QStringLiteral("Pageheader"), QStringLiteral("Titleband"),
            QStringLiteral("Pagefooter"), QStringLiteral("Summary"), QStringLiteral("Columnheader"),
            QStringLiteral("Detailband") }));
    auto *detail = named<TRpDesignBand>("Detailband");
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(pixels(detail->size()->nativeLength()), 19);
    EXPECT_EQ(pixels(named<TRpDesignBand>("Pageheader")->size()->nativeLength()), 54);
    EXPECT_EQ(pixels(named<TRpDesignBand>("Titleband")->size()->nativeLength()), 50);

    auto *description = named<TRpDesignDBText>("RpDBText1");
    auto *amount = named<TRpDesignDBText>("RpDBText2");
    ASSERT_TRUE(description && amount);
    EXPECT_EQ(description->dataField(), QStringLiteral("Transaction_Description"));
    EXPECT_EQ(description->dataSet(), &table);
    EXPECT_FALSE(description->autoSize());
    EXPECT_EQ(pixels(description->size()->nativeLeft()), 3);
    EXPECT_EQ(pixels(description->size()->nativeHeight()), 17);
    EXPECT_EQ(pixels(description->size()->nativeTop()), 1);
    // The description (100 characters) is shrunk until the row fits the band.
    const int band = pixels(engine.report()->page()->columnWidth());
    // Widths 1005 and 105 shrink together by tenths: 905 and 95, 815 and 86, 734 and 77, 661 and 69, 595
    // and 62, which fit.
    EXPECT_EQ(pixels(amount->size()->nativeLeft()), 3 + 595);
    EXPECT_EQ(pixels(amount->size()->nativeWidth()), 62 - 5);
    EXPECT_LE(595 + 62, band);

    auto *title = named<TRpDesignLabel>("RpLabel1");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->caption(), QStringLiteral("Opérations"));
    EXPECT_EQ(title->font()->size(), 18);
    EXPECT_EQ(named<TRpDesignLabel>("RpLabel2")->caption(), QStringLiteral("Transaction Description"));
    EXPECT_EQ(named<TRpDesignLabel>("RpLabel3")->caption(), QStringLiteral("Montant net"));
    EXPECT_TRUE(named<TRpDesignLabel>("RpLabel3")->font()->style().testFlag(Rp::fsBold));
    EXPECT_EQ(named<TRpDesignLabel>("RpLabel3")->parent(), named<TRpDesignBand>("Columnheader"));
    // Every band and element went through the hook.
    EXPECT_EQ(createdNames.size(), 6 + 1 + 4);
}

TEST_F(ReportCreator, ListColumnsShrinkStepByStepButNeverBelowTheirMinimum)
{
    // Sixty fields two characters wide in a 20-point font: 45 pixels each, 25 the least a column may have.
    // They cannot fit a page, so they shrink to 41, 37, 33, 30, 27 and then stop at 25 (not 24).
    TMemTable &narrow = *new TMemTable(engine.dataModule());
    narrow.setObjectName(QStringLiteral("tblNarrow"));
    QStringList names;
    for (int i = 0; i < 60; ++i) {
        names << QStringLiteral("F%1").arg(i);
        narrow.FieldDefs().Add(names.back(), ftString, 2);
    }
    narrow.CreateEmpty();
    answers.type = TRpWizardReportType::List;
    answers.dataSet = &narrow;
    answers.fields = names;
    answers.dataFont.size = 20;
    answers.title = answers.pageHeader = false;
    build();
    for (int i = 1; i <= 60; ++i) {
        auto *text = engine.report()->findChild<TRpDesignDBText *>(QStringLiteral("RpDBText%1").arg(i));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(pixels(text->size()->nativeWidth()), 25 - 5) << i;
        EXPECT_EQ(pixels(text->size()->nativeLeft()), 3 + (i - 1) * 25) << i;
    }
}

TEST_F(ReportCreator, ListLinesGoAcrossAndBetweenTheColumns)
{
    answers.type = TRpWizardReportType::List;
    answers.horizontalLines = answers.verticalLines = answers.boxLines = true;
    build();
    int shapes = 0;
    for (auto *shape : engine.report()->findChildren<TRpDesignShape *>())
        shapes += shape->objectName().startsWith(QLatin1String("RpShape")) ? 1 : 0;
    // Horizontal: 2; box: 2 + 3; vertical: 2 columns, so one line in each of 2 bands.
    EXPECT_EQ(shapes, 2 + 5 + 2);
    EXPECT_NE(named<TRpDesignShape>("RpShape9"), nullptr);
}

TEST_F(ReportCreator, FormsPutOneFieldALineAndAFormStartsAPageARecord)
{
    answers.type = TRpWizardReportType::Form;
    build();
    auto *detail = named<TRpDesignBand>("Detailband");
    ASSERT_NE(detail, nullptr);
    EXPECT_TRUE(detail->forceNewPage());
    EXPECT_EQ(pixels(detail->size()->nativeLength()), 17 * 3 * 2);
    auto *first = named<TRpDesignDBText>("RpDBText1");
    auto *second = named<TRpDesignDBText>("RpDBText2");
    EXPECT_LT(first->size()->nativeTop(), second->size()->nativeTop());
    EXPECT_EQ(first->size()->nativeLeft(), second->size()->nativeLeft());

    answers.type = TRpWizardReportType::Tabular;
    createdNames.clear();
    build();
    EXPECT_FALSE(named<TRpDesignBand>("Detailband")->forceNewPage());
    EXPECT_EQ(named<TRpDesignDBText>("RpDBText1")->dataField(), QStringLiteral("Transaction_Description"));
}

TEST_F(ReportCreator, ASingleFormIsATitleAsHighAsThePage)
{
    answers.type = TRpWizardReportType::Single;
    build();
    EXPECT_EQ(bandNames(), QStringList { QStringLiteral("Titleband") });
    const TRpPage &page = *engine.report()->page();
    EXPECT_NEAR(double(named<TRpDesignBand>("Titleband")->size()->nativeLength()),
        double(page.nativeLength() - page.nativeTopMargin() - page.nativeBottomMargin()), 3);
}

TEST_F(ReportCreator, LabelsWithoutADataSetRepeatALoopBandForEveryLabel)
{
    engine.report()->setUnits(Rp::MM);
    answers.type = TRpWizardReportType::Labels;
    answers.dataSet = nullptr;
    answers.fields.clear();
    build();
    TDesignRpReport &report = *engine.report();
    auto *loop = named<TRpDesignLoopband>("LabelBand");
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->printCount(), 30);
    EXPECT_EQ(report.labelSettings()->labelCount(), 30);
    EXPECT_EQ(report.labelSettings()->firstLabel(), 1);
    EXPECT_NEAR(double(loop->size()->nativeLength()), 200, 1e-6);
    auto *space = named<TRpDesignChildBand>("RowSpace");
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->parentBand(), loop);
    EXPECT_NEAR(double(space->size()->nativeLength()), 50, 1e-6);
    EXPECT_EQ(report.page()->columns(), 3);
    EXPECT_NEAR(report.page()->columnSpace(), 5, 1e-9);
    EXPECT_NEAR(report.page()->topMargin(), answers.topMargin, 1e-9);
    EXPECT_NEAR(report.page()->bottomMargin(), answers.bottomMargin - 3, 1e-9);
    EXPECT_EQ(report.dataSet(), nullptr);
}

TEST_F(ReportCreator, LabelsWithADataSetPrintItsFieldsOnADetailOfTheLabelHeight)
{
    engine.report()->setUnits(Rp::MM);
    answers.type = TRpWizardReportType::Labels;
    answers.rowSpace = 0;
    answers.labelHeight = 37;
    answers.bottomMargin = 1;
    build();
    auto *detail = named<TRpDesignBand>("Detailband");
    ASSERT_NE(detail, nullptr);
    EXPECT_NEAR(double(detail->size()->nativeLength()), 370, 1e-6);
    EXPECT_EQ(named<TRpDesignChildBand>("RowSpace"), nullptr);
    EXPECT_NE(named<TRpDesignDBText>("RpDBText2"), nullptr);
    // A bottom margin smaller than the 3 mm taken off stops at 0.
    EXPECT_EQ(engine.report()->page()->bottomMargin(), 0);
}

TEST_F(ReportCreator, BuildingAgainReplacesEverything)
{
    answers.type = TRpWizardReportType::List;
    build();
    answers.type = TRpWizardReportType::Tabular;
    answers.title = answers.pageHeader = false;
    build();
    EXPECT_EQ(bandNames(), QStringList { QStringLiteral("Detailband") });
    EXPECT_NE(named<TRpDesignLabel>("RpLabel1"), nullptr);
    EXPECT_EQ(named<TRpDesignLabel>("RpLabel3"), nullptr);
}

TEST_F(ReportCreator, ListsAndLabelsRun)
{
    answers.type = TRpWizardReportType::List;
    build();
    auto store = runToStore(*engine.report());
    std::vector<PageLog> pages = logPages(*store);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("Row 1")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("Row 3")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("Report")), 1);

    engine.report()->setUnits(Rp::MM);
    answers = TRpDReportCreator::defaultsFor(*engine.report());
    answers.type = TRpWizardReportType::Labels;
    answers.dataSet = &table;
    answers.fields = QStringList { QStringLiteral("Transaction_Description") };
    build();
    store = runToStore(*engine.report());
    pages = logPages(*store);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("Row 2")), 1);
    EXPECT_EQ(pages[0].count(QStringLiteral("Transaction Description")), 3);
}

} // namespace
