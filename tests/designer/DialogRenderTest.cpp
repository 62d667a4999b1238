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

#include <QCheckBox>
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
};

TEST_F(DialogRender, AReportSetThroughTheDialogsPrintsAsTheySaid)
{
    transactions->AppendRow();
    transactions->FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QStringLiteral("Loyer"));
    transactions->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(0);
    transactions->Post();
    transactions->First();

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
    QObject *band = insert<TBandPropertyForm>(
        DesignStates::NewBand, report(), QPoint(50, 50), [](TBandPropertyForm &form) {
            form.ComboType->setCurrentIndex(TBandPropertyForm::PosDetail);
            for (QCheckBox *side : { form.FrameGroup->CheckTop, form.FrameGroup->CheckBottom,
                     form.FrameGroup->CheckLeft, form.FrameGroup->CheckRight })
                side->setChecked(true);
            form.FrameGroup->EFrameWidth->setText(QStringLiteral("2"));
            form.FrameGroup->BFrameColor->click();
            form.ComboColor->setCurrentIndex(16);
        });
    ASSERT_NE(band, nullptr);

    dialogs.fontAnswer = QFont(QStringLiteral("Courier New"), 16);
    dialogs.fontAnswer.setBold(true);
    QObject *label = insert<TLabelPropertyForm>(
        DesignStates::NewLabel, band, QPoint(10, 5), [](TLabelPropertyForm &form) {
            form.LabelCaptionEdit->setText(QStringLiteral("Total"));
            form.FontGroup->BFont->click();
        });
    ASSERT_NE(label, nullptr);
    QObject *amount = insert<TExpressionPropertyForm>(
        DesignStates::NewExpression, band, QPoint(200, 5), [](TExpressionPropertyForm &form) {
            form.EExpression->Edit->setText(QStringLiteral("1234.5"));
            form.EFormat->setText(QStringLiteral("0.00"));
        });
    ASSERT_NE(amount, nullptr);
    nested = [](QDialog &dialog) {
        auto *map = qobject_cast<TDBTextMapForm *>(&dialog);
        if (!map)
            return false;
        map->GridMap->item(0, 0)->setText(QStringLiteral("Rent"));
        map->GridMap->item(0, 1)->setText(QStringLiteral("Loyer"));
        return true;
    };
    QObject *field = insert<TDBTextPropertyForm>(
        DesignStates::NewDataField, band, QPoint(400, 5), [](TDBTextPropertyForm &form) {
            form.DataField->ComboDataSet->setCurrentIndex(1);
            form.DataField->ComboField->setCurrentIndex(1);
            form.BMap->click();
        });
    ASSERT_NE(field, nullptr);

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

} // namespace
