// quillot-report wizard: new reports of every kind made without a screen, label formats from the settings
// folder, and the exit status of failures and bad usage.
#include "report/files/ReportFile.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ReportToolWizard : public testing::Test
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
        TestSupport::writeFile(m_dir.filePath(QStringLiteral("settings/Avery.rlf")),
            "Avery\r\nL7160_Adresses;1,5;0,7;6,35;3,81;3;7;3,81;6,6;A4\r\n");
    }

    int run(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        process.setProcessEnvironment(environment);
        process.start(m_tool, QStringList { QStringLiteral("wizard") } + arguments);
        process.waitForFinished(30000);
        m_err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QStringList data() const { return { QStringLiteral("--data"), path("data") }; }

    // The names of the report's bands and the data fields of its data field elements.
    QStringList contents(const QString &file)
    {
        ReportFileEngine engine(QStringLiteral("Reader"));
        engine.LoadReportFile(file);
        QStringList list;
        for (QObject *child : engine.report()->children()) {
            if (qobject_cast<TRpCustomBand *>(child))
                list << child->objectName();
        }
        for (auto *text : engine.report()->findChildren<TRpDesignDBText *>())
            list << text->dataField();
        return list;
    }

    QString m_tool;
    QTemporaryDir m_dir;
    QString m_err;
};

TEST_F(ReportToolWizard, MakesAListOverATableOfTheDataFolder)
{
    ASSERT_EQ(run(QStringList { QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--dataset"),
                      QStringLiteral("tblTransaction"), QStringLiteral("--fields"),
                      QStringLiteral("Transaction_Description,transaction_amount") }
                  + data() + QStringList { path("list.rp2") }),
        0)
        << m_err.toStdString();
    EXPECT_EQ(contents(path("list.rp2")),
        (QStringList { QStringLiteral("Pageheader"), QStringLiteral("Titleband"),
            QStringLiteral("Columnheader"), QStringLiteral("Detailband"),
            QStringLiteral("Transaction_Description"), QStringLiteral("Transaction_Amount") }));
    EXPECT_TRUE(TestSupport::readFile(path("list.rp2")).contains("DataSet = DataModule1.tblTransaction"));
}

TEST_F(ReportToolWizard, MakesLabelsFromALabelFormatOfTheSettingsFolder)
{
    ASSERT_EQ(run(QStringList { QStringLiteral("--type"), QStringLiteral("labels"),
                  QStringLiteral("--label-format"), QStringLiteral("L7160 Adresses"),
                  QStringLiteral("--settings"), path("settings"), path("labels.rp2") }),
        0)
        << m_err.toStdString();
    ReportFileEngine engine(QStringLiteral("Reader"));
    engine.LoadReportFile(path("labels.rp2"));
    const TDesignRpReport &report = *engine.report();
    auto *loop = report.findChild<TRpDesignLoopband *>(QStringLiteral("LabelBand"));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->printCount(), 21);
    EXPECT_EQ(report.labelSettings()->labelCount(), 21);
    EXPECT_EQ(report.page()->columns(), 3);
    EXPECT_NEAR(double(report.page()->nativeColumnSpace()), 660 - 635, 1e-6);
    EXPECT_NEAR(double(report.page()->nativeTopMargin()), 150, 1e-6);
    EXPECT_NEAR(double(loop->size()->nativeLength()), 381, 1e-6);
    // Pitch and height are equal: no row space.
    EXPECT_EQ(report.findChild<TRpDesignChildBand *>(QStringLiteral("RowSpace")), nullptr);
}

TEST_F(ReportToolWizard, AFailedStepWritesNothing)
{
    const QStringList cases[] = {
        { QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--dataset"),
            QStringLiteral("tblNone") },
        { QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--dataset"),
            QStringLiteral("tblTransaction"), QStringLiteral("--fields"), QStringLiteral("Nothing") },
        { QStringLiteral("--type"), QStringLiteral("labels"), QStringLiteral("--label-format"),
            QStringLiteral("Unknown"), QStringLiteral("--settings"), path("settings") },
        { QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--fields"), QStringLiteral("A") },
    };
    for (const QStringList &arguments : cases) {
        EXPECT_EQ(run(arguments + data() + QStringList { path("failed.rp2") }), 1)
            << arguments.join(u' ').toStdString();
        EXPECT_TRUE(m_err.startsWith(QLatin1String("quillot-report: "))) << m_err.toStdString();
        EXPECT_FALSE(QFile::exists(path("failed.rp2")));
    }
    EXPECT_EQ(run({ QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--data"), path("none"),
                  path("failed.rp2") }),
        1);
    EXPECT_FALSE(QFile::exists(path("failed.rp2")));
}

TEST_F(ReportToolWizard, RefusesBadUsage)
{
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({ QStringLiteral("--type"), QStringLiteral("poster"), path("x.rp2") }), 2);
    EXPECT_EQ(run({ QStringLiteral("--type"), QStringLiteral("list") }), 2);
    EXPECT_EQ(run({ QStringLiteral("--type"), QStringLiteral("list"), path("a.rp2"), path("b.rp2") }), 2);
    EXPECT_EQ(run({ QStringLiteral("--type"), QStringLiteral("list"), QStringLiteral("--bogus"),
                  QStringLiteral("1"), path("a.rp2") }),
        2);
    EXPECT_EQ(
        run({ QStringLiteral("--type"), QStringLiteral("list"), path("a.rp2"), QStringLiteral("--data") }),
        2);
    EXPECT_FALSE(QFile::exists(path("a.rp2")));
}

TEST_F(ReportToolWizard, ABlankReportIsAnEmptyReportFile)
{
    ASSERT_EQ(run({ QStringLiteral("--type"), QStringLiteral("blank"), path("blank.rp2") }), 0)
        << m_err.toStdString();
    EXPECT_TRUE(contents(path("blank.rp2")).isEmpty());
}

} // namespace
