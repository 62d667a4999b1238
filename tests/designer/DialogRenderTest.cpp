// A report made in the designer with its properties set only through the property dialogs, saved, read
// back and run: the pages show what the dialogs said.
#include "PropertyDialogFixture.h"

#include "designer/BandPropertyForm.h"
#include "designer/ColorCombo.h"
#include "designer/DBTextMapForm.h"
#include "designer/DBTextPropertyForm.h"
#include "designer/DesignItems.h"
#include "designer/LabelPropertyForm.h"
#include "designer/ReportPropertyForm.h"
#include "report/ElementPrintSupport.h"
#include "report/generation/RunReport.h"
#include "support/PdfText.h"
#include "tools/ToolRunner.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

class DialogRender : public PropertyDialogTest
{
protected:
    // Inserts what the design state makes at a point of `on`, answering its dialog with `fill`.
    template <typename Form>
    QObject *insert(int state, QObject *on, QPoint offset, const std::function<void(Form &form)> &fill)
    {
        dialogs.script = [this, fill](QDialog &dialog) {
            auto *form = qobject_cast<Form *>(&dialog);
            if (!form)
                return nested ? nested(dialog) : false;
            fill(*form);
            return true;
        };
        designer->setDesignState(state);
        const QPoint origin = on == report() ? QPoint() : DesignItems::pageRect(on).topLeft();
        QObject *made = designer->InsertAt(on, origin + offset);
        dialogs.script = nullptr;
        nested = nullptr;
        return made;
    }

    void makeThroughDialogs();

    QObject *band = nullptr;
    QObject *label = nullptr;
    QObject *amount = nullptr;
    QObject *field = nullptr;
};

// Makes a report with the mouse, answering the dialogs that open: A5 portrait with margins 20 and 15 mm, a
// detail band framed in red, a right-aligned bold label "Total" in Courier 16, an expression 1234.5 centred
// through the mask "0.00", and a data field of the description whose value map shows "Loyer" as "Rent".
void DialogRender::makeThroughDialogs()
{
    designer->NewReport();
    ASSERT_TRUE(designer->AutoEditAfterInsert);
    edit<TReportPropertyForm>(report(), [](TReportPropertyForm &form) {
        form.ComboPaperSize->setCurrentText(QStringLiteral("A5 148 x 210 mm"));
        form.RPortrait->setChecked(true);
        form.ETopMargin->setText(QStringLiteral("20"));
        form.ELeftMargin->setText(QStringLiteral("15"));
        form.EReportTitle->setText(QStringLiteral("Through dialogs"));
    });
    dialogs.colorAnswer = QColor(255, 0, 0);
    band = insert<TBandPropertyForm>(DesignStates::NewBand, report(), QPoint(50, 50), [](TBandPropertyForm &form) {
        form.ComboType->setCurrentIndex(TBandPropertyForm::PosDetail);
        for (QCheckBox *side : { form.FrameGroup->CheckTop, form.FrameGroup->CheckBottom, form.FrameGroup->CheckLeft,
                 form.FrameGroup->CheckRight })
            side->setChecked(true);
        form.FrameGroup->EFrameWidth->setText(QStringLiteral("2"));
        form.FrameGroup->BFrameColor->click();
    });
    ASSERT_NE(band, nullptr);
    dialogs.fontAnswer = QFont(QStringLiteral("Courier New"), 16);
    dialogs.fontAnswer.setBold(true);
    label = insert<TLabelPropertyForm>(DesignStates::NewLabel, band, QPoint(10, 5), [](TLabelPropertyForm &form) {
        form.LabelCaptionEdit->setText(QStringLiteral("Total"));
        form.CheckAutoSize->setChecked(false);
        form.FontGroup->ComboAlignment->setCurrentIndex(1);
        form.FontGroup->BFont->click();
    });
    ASSERT_NE(label, nullptr);
    // Without AutoSize a box keeps the size it was drawn with: drawn here wide and high enough for its text.
    static_cast<TRpPrintable *>(label)->size()->setNativeBounds(0, 20, 500, 120);
    amount = insert<TExpressionPropertyForm>(
        DesignStates::NewExpression, band, QPoint(250, 5), [](TExpressionPropertyForm &form) {
            form.EExpression->Edit->setText(QStringLiteral("1234.5"));
            form.EFormat->setText(QStringLiteral("0.00"));
            form.CheckAutoSize->setChecked(false);
            form.FontGroup->ComboAlignment->setCurrentIndex(2);
        });
    ASSERT_NE(amount, nullptr);
    static_cast<TRpPrintable *>(amount)->size()->setNativeBounds(550, 20, 400, 60);
    nested = [](QDialog &dialog) {
        auto *map = qobject_cast<TDBTextMapForm *>(&dialog);
        if (!map)
            return false;
        map->GridMap->item(0, 0)->setText(QStringLiteral("Rent"));
        map->GridMap->item(0, 1)->setText(QStringLiteral("Loyer"));
        return true;
    };
    field = insert<TDBTextPropertyForm>(DesignStates::NewDataField, band, QPoint(450, 5), [](TDBTextPropertyForm &form) {
        form.DataField->ComboDataSet->setCurrentIndex(1);
        form.DataField->ComboField->setCurrentIndex(1);
        form.BMap->click();
    });
    ASSERT_NE(field, nullptr);
}

TEST_F(DialogRender, AReportSetThroughTheDialogsPrintsAsTheySaid)
{
    transactions->AppendRow();
    transactions->FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QStringLiteral("Loyer"));
    transactions->Post();
    transactions->First();
    makeThroughDialogs();

    // Saved and read back as a report file, then run.
    QByteArray file;
    ASSERT_TRUE(designer->files()->SaveReportStream(file));
    ReportFileEngine engine(QStringLiteral("RenderWindow"));
    engine.LoadReportStream(file);
    TDesignRpReport &loaded = *engine.report();
    EXPECT_EQ(loaded.reportTitle(), QStringLiteral("Through dialogs"));
    TRpPrinter store;
    ASSERT_TRUE(RunReport(loaded, store));
    ASSERT_EQ(store.pageCount(), 1);
    EXPECT_NEAR(store.PaperWidthNative(), 1480, 1);
    EXPECT_NEAR(store.PaperLengthNative(), 2100, 1);

    const std::unique_ptr<QPicture> picture = store.CopyPage(1);
    ASSERT_NE(picture, nullptr);
    const PageRecording page(*picture);
    const PageRecording::Text *total = page.find(QStringLiteral("Total"));
    ASSERT_NE(total, nullptr) << page.texts().join(u'|').toStdString();
    EXPECT_EQ(total->font.family(), QStringLiteral("Courier New"));
    EXPECT_TRUE(total->font.bold());
    // Inside the margins the dialog gave.
    EXPECT_GE(total->at.x(), store.DeviceX(150));
    EXPECT_GE(total->at.y(), store.DeviceY(200));
    EXPECT_NE(page.find(QStringLiteral("1234,50")), nullptr) << page.texts().join(u'|').toStdString();
    EXPECT_NE(page.find(QStringLiteral("Rent")), nullptr);
    EXPECT_EQ(page.find(QStringLiteral("Loyer")), nullptr);
    // The frame's four sides are red strips.
    EXPECT_GE(page.fillsOf(QColor(255, 0, 0)).size(), 4u);
}

TEST_F(DialogRender, TheRenderCommandPrintsTheDialogsReport)
{
    if (!QFileInfo::exists(toolPath("quillot-report")) || !PdfText::available())
        GTEST_SKIP() << "quillot-report or pdftotext is missing";
    makeThroughDialogs();
    const QString reportFile = dir.filePath(QStringLiteral("dialogs.rp2"));
    ASSERT_TRUE(designer->SaveReportFile(reportFile));
    const QString data = dir.filePath(QStringLiteral("Data"));
    ASSERT_TRUE(QDir().mkpath(data));
    {
        // The transactions follow the current account, as in the program: account 1 holds the one row.
        TMemTable accounts;
        accounts.FieldDefs() = FinanceTables::accountDefs();
        accounts.setFileName(data + QStringLiteral("/Account.dat"));
        accounts.CreateEmpty();
        accounts.AppendRow();
        accounts.FieldNamed(QStringLiteral("Account_Type"))->setAsString(QStringLiteral("Courant"));
        accounts.Post();
        accounts.Close();
    }
    {
        TMemTable table;
        table.FieldDefs() = FinanceTables::transactionDefs();
        table.setFileName(data + QStringLiteral("/Transaction.dat"));
        table.CreateEmpty();
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QStringLiteral("Loyer"));
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(1);
        table.Post();
        table.Close();
    }

    const QString pdfFile = dir.filePath(QStringLiteral("dialogs.pdf"));
    const ToolRun run = runTool("quillot-report",
        { QStringLiteral("render"), reportFile, QStringLiteral("--data"), data, QStringLiteral("--pdf"), pdfFile,
            QStringLiteral("--locale"), QStringLiteral("fr_FR") },
        dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QByteArray("1 pages"));
    const PdfText pdf = PdfText::of(pdfFile);
    ASSERT_TRUE(pdf.read);
    ASSERT_EQ(pdf.pages.size(), 1u);
    // A5 portrait, in points.
    EXPECT_NEAR(pdf.pages[0].width(), 148 / 25.4 * 72, 1);
    EXPECT_NEAR(pdf.pages[0].height(), 210 / 25.4 * 72, 1);
    const PdfText::Word *total = pdf.find(QStringLiteral("Total"));
    const PdfText::Word *value = pdf.find(QStringLiteral("1234,50"));
    const PdfText::Word *rent = pdf.find(QStringLiteral("Rent"));
    ASSERT_TRUE(total && value && rent) << pdf.pageText(1).toStdString();
    EXPECT_EQ(pdf.find(QStringLiteral("Loyer")), nullptr);
    // Positions in points from the page's corner: the margins, then the alignments in their elements.
    const auto points = [](double native) { return native / 254 * 72; };
    const auto elementRight = [&](QObject *element) {
        const auto *size = static_cast<TRpPrintable *>(element)->size();
        return points(150 + size->nativeLeft() + size->nativeWidth());
    };
    const auto elementCentre = [&](QObject *element) {
        const auto *size = static_cast<TRpPrintable *>(element)->size();
        return points(150 + size->nativeLeft() + size->nativeWidth() / 2);
    };
    EXPECT_GE(total->xMin, points(150));
    EXPECT_GE(total->yMin, points(200) - 1);
    EXPECT_NEAR(total->xMax, elementRight(label), 3);
    EXPECT_NEAR((value->xMin + value->xMax) / 2, elementCentre(amount), 3);
    // The label's 16-point font is larger than the data field's.
    EXPECT_GT(total->yMax - total->yMin, rent->yMax - rent->yMin);
}

} // namespace
