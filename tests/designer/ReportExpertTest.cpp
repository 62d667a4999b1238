// The wizard "New report definition": its pages shown and skipped, the field lists, label formats, and
// reports made by the window exactly as quillot-report wizard makes them with the same answers.
#include "designer/DesignReportExpert.h"
#include "report/files/ReportFile.h"
#include "report/generation/RunReport.h"
#include "report/pages/RpPrinter.h"
#include "store/DataSource.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Expert = TRpDesignReportExpert;

// The program's data module over a data folder: the four tables and a data source for each.
class DataModule
{
public:
    explicit DataModule(const QString &folder)
    {
        m_module.setObjectName(QStringLiteral("DataModule1"));
        for (const QString &base : FinanceTables::baseNames()) {
            auto *table = new TMemTable(&m_module);
            table->setObjectName(QStringLiteral("tbl") + base);
            FinanceTables::defsForBaseName(base, table->FieldDefs());
            const QString file = QDir(folder).filePath(base + QStringLiteral(".dat"));
            if (QFileInfo::exists(file)) {
                table->setFileName(file);
                table->Open();
            } else {
                table->CreateEmpty();
            }
            auto *source = new TDataSource(&m_module);
            source->setObjectName(QStringLiteral("dat") + base);
            source->setDataSet(table);
        }
        RpComponents::addDataModule(&m_module);
    }
    ~DataModule() { RpComponents::remove(&m_module); }

    QObject m_module;
};

// Answers the wizard's modal run with a script played on it.
class WizardScript : public Dialogs::Handler
{
public:
    explicit WizardScript(std::function<void(Expert &)> play)
        : m_play(std::move(play))
        , m_guard(*this)
    { }
    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &) override
    {
        return Dialogs::Answer::Ok;
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &) override { return {}; }
    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }
    bool exec(QDialog &dialog) override
    {
        auto *expert = qobject_cast<Expert *>(&dialog);
        if (!expert)
            return false;
        m_play(*expert);
        return dialog.result() == QDialog::Accepted;
    }

private:
    std::function<void(Expert &)> m_play;
    Dialogs::ScopedHandler m_guard;
};

// Selects the named items of a list (and nothing else) and presses the button.
void pick(QListWidget *list, const QStringList &names, QPushButton *press)
{
    for (const QString &name : names) {
        list->clearSelection();
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        found.front()->setSelected(true);
        press->click();
    }
}

void chooseDataSet(Expert &expert, const QString &label)
{
    const QList<QListWidgetItem *> found = expert.lstDatasets->findItems(label, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << label.toStdString();
    expert.lstDatasets->setCurrentItem(found.front());
}

QList<int> pagesVisited(Expert &expert)
{
    QList<int> pages { expert.currentPage() };
    while (expert.currentPage() != Expert::PageFinish && pages.size() < 20) {
        expert.next();
        pages << expert.currentPage();
    }
    return pages;
}

class ReportExpert : public testing::Test
{
protected:
    ReportExpert()
        : engine(QStringLiteral("ReportDesignerForm"))
    {
        data.emplace(dir.path());
        expert = std::make_unique<Expert>(*engine.report());
        expert->setDataSets(wizardDataSets(engine));
    }

    QTemporaryDir dir;
    ReportFileEngine engine;
    std::optional<DataModule> data;
    std::unique_ptr<Expert> expert;
};

TEST_F(ReportExpert, ANewBlankReportClosesAtOnce)
{
    EXPECT_TRUE(expert->rbBlank->isChecked());
    EXPECT_FALSE(expert->btnBack->isVisibleTo(expert.get()));
    expert->next();
    EXPECT_EQ(expert->result(), QDialog::Accepted);
    EXPECT_EQ(expert->currentPage(), Expert::PageType);
    EXPECT_TRUE(engine.report()->findChildren<TRpCustomBand *>().isEmpty());
}

struct FlowCase
{
    const char *type;
    bool withDataSet;
    QList<int> pages;
};

class ReportExpertFlow : public ReportExpert, public testing::WithParamInterface<FlowCase>
{
};

TEST_P(ReportExpertFlow, SkipsThePagesItsChoicesDoNotNeed)
{
    const FlowCase &c = GetParam();
    expert->findChild<QRadioButton *>()->setChecked(false);
    for (QRadioButton *radio :
        { expert->rbList, expert->rbForm, expert->rbSingle, expert->rbTabular, expert->rbLabels }) {
        if (radio->text() == QLatin1String(c.type))
            radio->setChecked(true);
    }
    expert->next();
    ASSERT_EQ(expert->currentPage(), Expert::PageDataSet);
    EXPECT_TRUE(expert->btnBack->isVisibleTo(expert.get()));
    if (c.withDataSet)
        chooseDataSet(*expert, QStringLiteral("tblTransaction"));
    QList<int> pages { Expert::PageType };
    pages << pagesVisited(*expert);
    EXPECT_EQ(pages, c.pages);
    EXPECT_FALSE(expert->btnNext->isVisibleTo(expert.get()));
    EXPECT_TRUE(expert->btnFinish->isEnabled());
    // Back skips the same pages the other way.
    QList<int> back { expert->currentPage() };
    while (expert->currentPage() != Expert::PageType) {
        expert->back();
        back.prepend(expert->currentPage());
    }
    EXPECT_EQ(back, c.pages);
}

INSTANTIATE_TEST_SUITE_P(Types, ReportExpertFlow,
    testing::Values(FlowCase { "List style", true, { 0, 1, 2, 3, 7, 8, 9 } },
        FlowCase { "List style", false, { 0, 1, 3, 7, 9 } },
        FlowCase { "Form style", true, { 0, 1, 2, 3, 7, 8, 9 } },
        FlowCase { "Single form", true, { 0, 1, 2, 7, 8, 9 } },
        FlowCase { "Tabular", false, { 0, 1, 3, 7, 9 } },
        FlowCase { "Mailing labels", false, { 0, 1, 4, 5, 6, 9 } },
        FlowCase { "Mailing labels", true, { 0, 1, 2, 4, 5, 6, 8, 9 } }));

TEST_F(ReportExpert, NamesTheNoneEntryByTheReportType)
{
    expert->rbLabels->setChecked(true);
    expert->next();
    EXPECT_EQ(expert->lstDatasets->item(0)->text(), QStringLiteral("None"));
    EXPECT_FALSE(expert->edtColumns->isEnabled());
    expert->back();
    expert->rbList->setChecked(true);
    expert->next();
    EXPECT_EQ(expert->lstDatasets->item(0)->text(), QStringLiteral("(None)"));
    EXPECT_TRUE(expert->edtColumns->isEnabled());
    // The program's four tables are offered, and "&New" needs a data set interface, which there is none of.
    EXPECT_EQ(expert->lstDatasets->count(), 5);
    EXPECT_FALSE(expert->btnNewDataset->isEnabled());
}

TEST_F(ReportExpert, AHandedDataSetSkipsItsPage)
{
    auto *table = data->m_module.findChild<TMemTable *>(QStringLiteral("tblAccount"));
    expert->setHandedDataSet(table);
    expert->rbTabular->setChecked(true);
    expert->next();
    EXPECT_EQ(expert->currentPage(), Expert::PageFields);
    EXPECT_EQ(expert->lstAvailable->count(), 3);
    expert->back();
    EXPECT_EQ(expert->currentPage(), Expert::PageType);
}

TEST_F(ReportExpert, FieldsMoveBetweenTheListsAndKeepTheirOrder)
{
    expert->rbList->setChecked(true);
    expert->next();
    chooseDataSet(*expert, QStringLiteral("tblTransaction"));
    expert->next();
    ASSERT_EQ(expert->currentPage(), Expert::PageFields);
    EXPECT_EQ(expert->lstAvailable->count(), 5);
    pick(expert->lstAvailable, { QStringLiteral("Transaction_Amount"), QStringLiteral("Transaction_Date") },
        expert->btnAdd);
    EXPECT_EQ(expert->answers().fields,
        (QStringList { QStringLiteral("Transaction_Amount"), QStringLiteral("Transaction_Date") }));
    expert->lstUsed->setCurrentRow(1);
    expert->btnUp->click();
    EXPECT_EQ(expert->answers().fields,
        (QStringList { QStringLiteral("Transaction_Date"), QStringLiteral("Transaction_Amount") }));
    expert->btnAddAll->click();
    EXPECT_EQ(expert->lstAvailable->count(), 0);
    EXPECT_EQ(expert->answers().fields.size(), 5);
    pick(expert->lstUsed, { QStringLiteral("Account_Number") }, expert->btnRemove);
    EXPECT_EQ(expert->lstAvailable->count(), 1);

    // Another data set keeps the fields it has too and offers the rest.
    expert->back();
    chooseDataSet(*expert, QStringLiteral("tblAccount"));
    expert->next();
    EXPECT_EQ(expert->answers().fields, QStringList {});
    expert->back();
    chooseDataSet(*expert, QStringLiteral("tblAccount"));
    expert->next();
    pick(expert->lstAvailable, { QStringLiteral("Account_Number") }, expert->btnAdd);
    expert->back();
    chooseDataSet(*expert, QStringLiteral("tblTransaction"));
    expert->next();
    EXPECT_EQ(expert->answers().fields, QStringList { QStringLiteral("Account_Number") });
    expert->btnRemoveAll->click();
    EXPECT_TRUE(expert->answers().fields.isEmpty());
    EXPECT_EQ(expert->lstAvailable->count(), 5);
}

TEST_F(ReportExpert, ALabelFormatFillsThePaperAndLabelPages)
{
    engine.report()->setUnits(Rp::MM);
    expert = std::make_unique<Expert>(*engine.report());
    std::vector<TRpLabelFamily> families { RpLabelFormats::parseFamily(
        QStringLiteral("Petites\nUne_petite;1;0,5;7;3,7;3;8;4;7,5;A4Q\n")) };
    expert->setLabelFamilies(families);
    expert->rbLabels->setChecked(true);
    expert->next();
    expert->next();
    ASSERT_EQ(expert->currentPage(), Expert::PageLabelFormat);
    EXPECT_EQ(expert->cmbLabelFamily->itemText(0), QStringLiteral("Custom"));
    expert->cmbLabelFamily->setCurrentIndex(1);
    ASSERT_EQ(expert->lstLabelFormats->count(), 1);
    EXPECT_EQ(expert->lstLabelFormats->item(0)->text(), QStringLiteral("Une petite (70 x 37)"));
    expert->lstLabelFormats->setCurrentRow(0);
    const TRpWizardAnswers answers = expert->answers();
    EXPECT_EQ(answers.paperSize, RpPaper::A4);
    EXPECT_EQ(answers.labelOrientation, RpPaper::poLandscape);
    EXPECT_DOUBLE_EQ(answers.labelWidth, 70);
    EXPECT_DOUBLE_EQ(answers.labelHeight, 37);
    EXPECT_EQ(answers.labelColumns, 3);
    EXPECT_EQ(answers.labelRows, 8);
    EXPECT_NEAR(answers.columnSpace, 5, 1e-9);
    EXPECT_NEAR(answers.rowSpace, 3, 1e-9);
    EXPECT_NEAR(answers.topMargin, 10, 1e-9);
    // Landscape A4: 210 − 10 − 8 × 37 − 3 × 7 is below 0, so the bottom margin is 0.
    EXPECT_DOUBLE_EQ(answers.bottomMargin, 0);
    EXPECT_EQ(expert->edtLabelWidth->text(), QStringLiteral("70"));
    // Text that cannot be read counts as 0.
    expert->edtLabelRows->setText(QStringLiteral("-"));
    expert->edtRowSpace->setText(QStringLiteral("."));
    EXPECT_EQ(expert->answers().labelRows, 0);
    EXPECT_EQ(expert->answers().rowSpace, 0);
    expert->edtLabelWidth->setText(QStringLiteral("62,5"));
    EXPECT_DOUBLE_EQ(expert->answers().labelWidth, 62.5);
}

TEST_F(ReportExpert, ReachingTheLastPageBuildsTheReportAndCancellingTakesItBack)
{
    WizardScript script([](Expert &expert) {
        expert.rbList->setChecked(true);
        expert.next();
        chooseDataSet(expert, QStringLiteral("tblAccount"));
        expert.next();
        expert.btnAddAll->click();
        while (expert.currentPage() != Expert::PageFinish)
            expert.next();
        EXPECT_NE(expert.findChild<QObject *>(), nullptr);
        expert.reject();
    });
    RpReportWizardHost host;
    host.dataSets = wizardDataSets(engine);
    const QByteArray before = [&] {
        QByteArray bytes;
        engine.SaveReportStream(bytes);
        return bytes;
    }();
    EXPECT_FALSE(RunReportWizard(engine, nullptr, host));
    QByteArray after;
    engine.SaveReportStream(after);
    EXPECT_EQ(after, before);
}

// ---------------------------------------------------------------- the same report as the tool makes

class ReportExpertAndTool : public testing::Test
{
protected:
    void SetUp() override
    {
        m_tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quillot-report");
        if (!QFileInfo::exists(m_tool))
            GTEST_SKIP() << "quillot-report is not built";
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkdir(QStringLiteral("data"));
        QDir(m_dir.path()).mkdir(QStringLiteral("settings"));
        TMemTable transactions;
        transactions.FieldDefs() = FinanceTables::transactionDefs();
        transactions.setFileName(m_dir.filePath(QStringLiteral("data/Transaction.dat")));
        transactions.CreateEmpty();
        transactions.AppendRow();
        transactions.FieldNamed(QStringLiteral("Transaction_Description"))
            ->setAsString(QStringLiteral("Loyer"));
        transactions.Post();
        transactions.Close();
        TestSupport::writeFile(m_dir.filePath(QStringLiteral("settings/Avery.rlf")),
            "Avery\r\nL7160;1,5;0,7;6,35;3,81;3;7;3,81;6,6;A4\r\nL7163;1,5;0,4;9,91;3,81;2;7;3,81;10,16;"
            "A4\r\n");
    }

    QByteArray fromTool(const QStringList &arguments)
    {
        const QString out = m_dir.filePath(QStringLiteral("tool.rp2"));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(m_tool,
            QStringList { QStringLiteral("wizard") } + arguments
                + QStringList { QStringLiteral("--data"), m_dir.filePath(QStringLiteral("data")),
                    QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("settings")),
                    QStringLiteral("--locale"), QStringLiteral("fr_FR"), out });
        process.waitForFinished(30000);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return TestSupport::readFile(out);
    }

    QByteArray fromWindow(const std::function<void(Expert &)> &play)
    {
        DataModule data(m_dir.filePath(QStringLiteral("data")));
        ReportFileEngine engine(QStringLiteral("ReportDesignerForm"));
        RpReportWizardHost host;
        host.dataSets = wizardDataSets(engine);
        host.settingsFolder = m_dir.filePath(QStringLiteral("settings"));
        WizardScript script([&play](Expert &expert) {
            play(expert);
            while (expert.currentPage() != Expert::PageFinish)
                expert.next();
            expert.btnFinish->click();
        });
        EXPECT_TRUE(RunReportWizard(engine, nullptr, host));
        EXPECT_TRUE(engine.modified());
        QByteArray bytes;
        EXPECT_TRUE(engine.SaveReportStream(bytes));
        return bytes;
    }

    // The pages a report file makes over the data folder.
    int pagesOf(const QByteArray &bytes)
    {
        DataModule data(m_dir.filePath(QStringLiteral("data")));
        ReportFileEngine engine(QStringLiteral("Runner"));
        engine.LoadReportStream(bytes);
        TRpPrinter store;
        RunReport(*engine.report(), store);
        return store.pageCount();
    }

    QString m_tool;
    QTemporaryDir m_dir;
};

TEST_F(ReportExpertAndTool, MakeTheSameList)
{
    const QByteArray tool = fromTool({ QStringLiteral("--type"), QStringLiteral("list"),
        QStringLiteral("--dataset"), QStringLiteral("tblTransaction"), QStringLiteral("--fields"),
        QStringLiteral("Transaction_Description,Transaction_Date,Transaction_Amount") });
    const QByteArray window = fromWindow([](Expert &expert) {
        expert.rbList->setChecked(true);
        expert.next();
        chooseDataSet(expert, QStringLiteral("tblTransaction"));
        expert.next();
        pick(expert.lstAvailable,
            { QStringLiteral("Transaction_Description"), QStringLiteral("Transaction_Date"),
                QStringLiteral("Transaction_Amount") },
            expert.btnAdd);
    });
    ASSERT_FALSE(tool.isEmpty());
    EXPECT_TRUE(window.contains("object RpDBText3: TRpDesignDBText"));
    EXPECT_EQ(window, tool);
    EXPECT_EQ(pagesOf(tool), 1);
}

TEST_F(ReportExpertAndTool, MakeTheSameLabels)
{
    const QByteArray tool = fromTool({ QStringLiteral("--type"), QStringLiteral("labels"),
        QStringLiteral("--label-format"), QStringLiteral("L7163") });
    const QByteArray window = fromWindow([](Expert &expert) {
        expert.rbLabels->setChecked(true);
        expert.next();
        expert.next();
        expert.cmbLabelFamily->setCurrentIndex(1);
        expert.lstLabelFormats->setCurrentRow(1);
    });
    ASSERT_FALSE(tool.isEmpty());
    EXPECT_TRUE(window.contains("object LabelBand: TRpDesignLoopband"));
    EXPECT_EQ(window, tool);
    // 2 columns of 7 labels: one sheet.
    EXPECT_EQ(pagesOf(tool), 1);
}

} // namespace
