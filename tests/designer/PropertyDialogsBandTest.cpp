// The dialogs of the report, its bands and the graphic elements, driven through their widgets.
#include "PropertyDialogFixture.h"

#include "designer/BandPropertyForm.h"
#include "designer/ColorCombo.h"
#include "designer/DesignItems.h"
#include "designer/GroupPropertyForm.h"
#include "designer/ImagePropertyForm.h"
#include "designer/ReportPropertyForm.h"
#include "designer/RichtextPropertyForm.h"
#include "designer/ShapePropertyForm.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>

namespace {

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// ---------------------------------------------------------------- report

TEST_F(PropertyDialogTest, ReportDialogShowsThePageInTheReportsUnitAndWritesIt)
{
    edit<TReportPropertyForm>(report(), [](TReportPropertyForm &form) {
        const QStringList sizes = itemTexts(form.ComboPaperSize);
        ASSERT_EQ(sizes.size(), 28);
        QStringList sorted = sizes;
        std::sort(sorted.begin(), sorted.end(),
            [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        EXPECT_EQ(sizes, sorted);
        EXPECT_EQ(form.ComboPaperSize->currentText(), QStringLiteral("A5 148 x 210 mm"));
        EXPECT_FALSE(form.EPageWidth->isVisibleTo(&form));
        EXPECT_EQ(form.ComboPaperSize->width(), TReportPropertyForm::kListWidth);
        EXPECT_TRUE(form.RLandscape->isChecked());
        EXPECT_EQ(form.ETopMargin->text(), QStringLiteral("12,5"));
        EXPECT_EQ(form.EColumns->text(), QStringLiteral("2"));
        EXPECT_EQ(form.UnitLabel[0]->text(), QStringLiteral("mm"));
        EXPECT_EQ(form.EReportTitle->text(), QStringLiteral("Monthly accounts"));
        // Typing a width chooses the custom size, whose fields show.
        form.EPageWidth->setText(QStringLiteral("100"));
        EXPECT_EQ(form.ComboPaperSize->currentText(), QStringLiteral("Custom Size"));
        EXPECT_TRUE(form.EPageWidth->isVisibleTo(&form));
        EXPECT_EQ(form.ComboPaperSize->width(), TReportPropertyForm::kCustomListWidth);
        form.EPageLength->setText(QStringLiteral("150,5"));
        form.RPortrait->setChecked(true);
        form.EBottomMargin->setText(QStringLiteral("20"));
        form.ELeftMargin->setText(QStringLiteral("not a number"));
        form.EColumns->stepBy(1);
        form.EColumnSpace->setText(QStringLiteral("3,25"));
        form.EReportTitle->setText(QStringLiteral("Yearly"));
        form.MemoDescription->setPlainText(QStringLiteral("one\ntwo\nthree"));
        EXPECT_FALSE(form.GroupLabels->isEnabled());
        EXPECT_EQ(form.EFirstLabel->text(), QStringLiteral("1"));
        EXPECT_EQ(form.ELabelCount->text(), QStringLiteral("1"));
    });
    const TRpPage &page = *report()->page();
    EXPECT_EQ(page.paperSize(), RpPaper::Custom);
    EXPECT_NEAR(page.width(), 100, 1e-9);
    EXPECT_NEAR(page.length(), 150.5, 1e-9);
    EXPECT_EQ(page.orientation(), RpPaper::poPortrait);
    EXPECT_NEAR(page.bottomMargin(), 20, 1e-9);
    EXPECT_NEAR(page.leftMargin(), 7, 1e-9); // did not convert
    EXPECT_NEAR(page.columnSpace(), 3.25, 1e-9);
    EXPECT_EQ(page.columns(), 3);
    EXPECT_EQ(report()->reportTitle(), QStringLiteral("Yearly"));
    EXPECT_EQ(report()->description().size(), 3);
    EXPECT_EQ(report()->labelSettings()->firstLabel(), 0);
    EXPECT_EQ(report()->labelSettings()->labelCount(), 0);
}

TEST_F(PropertyDialogTest, WidthAndLengthOfAnotherSizeAreNotStored)
{
    edit<TReportPropertyForm>(report(), [](TReportPropertyForm &form) {
        form.EPageWidth->setText(QStringLiteral("100"));
        form.ComboPaperSize->setCurrentText(QStringLiteral("A4 210 x 297 mm"));
        form.EPageLength->setText(QStringLiteral("99"));
        form.RPortrait->setChecked(true);
    });
    EXPECT_EQ(report()->page()->paperSize(), RpPaper::A4);
    EXPECT_NEAR(report()->page()->width(), 210, 1e-9);
    EXPECT_NEAR(report()->page()->length(), 297, 1e-9);
}

TEST_F(PropertyDialogTest, LabelSettingsFollowTheLabelBand)
{
    report()->labelSettings()->setFirstLabel(3);
    loop->setObjectName(QStringLiteral("LabelBand"));
    loop->setPrintCount(4);
    edit<TReportPropertyForm>(report(), [](TReportPropertyForm &form) {
        EXPECT_TRUE(form.GroupLabels->isEnabled());
        EXPECT_FALSE(form.CheckAskFirstLabel->isVisibleTo(&form));
        EXPECT_EQ(form.EFirstLabel->text(), QStringLiteral("3"));
        EXPECT_EQ(form.ELabelCount->text(), QStringLiteral("4"));
        form.EFirstLabel->setText(QStringLiteral("0"));
        form.ELabelCount->setText(QStringLiteral("12"));
    });
    EXPECT_EQ(report()->labelSettings()->firstLabel(), 1);
    EXPECT_EQ(loop->printCount(), 12);
    EXPECT_EQ(report()->labelSettings()->labelCount(), 12);

    // Asking before printing stays as it is.
    report()->labelSettings()->setFirstLabel(-1);
    loop->setPrintCount(0);
    edit<TReportPropertyForm>(report(), [](TReportPropertyForm &form) {
        EXPECT_FALSE(form.EFirstLabel->isEnabled());
        EXPECT_FALSE(form.ELabelCount->isEnabled());
    });
    EXPECT_EQ(report()->labelSettings()->firstLabel(), -1);
    EXPECT_EQ(loop->printCount(), 0);
    EXPECT_EQ(report()->labelSettings()->labelCount(), 0);
}

// ---------------------------------------------------------------- bands

TEST_F(PropertyDialogTest, BandDialogFollowsTheTypeRulesAndWritesThePageRules)
{
    dialogs.colorAnswer = QColor(1, 2, 3);
    edit<TBandPropertyForm>(detail, [](TBandPropertyForm &form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Detail1"));
        EXPECT_EQ(form.ComboType->currentIndex(), TBandPropertyForm::PosDetail);
        EXPECT_EQ(form.ComboType->currentText(), QStringLiteral("Detail"));
        EXPECT_FALSE(form.GroupLink->isVisibleTo(&form));
        EXPECT_EQ(form.ECondition->text(), QStringLiteral("1=1"));
        EXPECT_FALSE(form.CheckOddPages->isEnabled()); // a detail band prints on every page
        EXPECT_FALSE(form.CheckNotOnLastPage->isEnabled());
        EXPECT_TRUE(form.FrameGroup->CheckTop->isChecked());
        EXPECT_EQ(form.FrameGroup->EFrameWidth->text(), QStringLiteral("3"));
        EXPECT_EQ(form.ComboColor->color(), clYellow);
        form.CheckForceNewPage->setChecked(true);
        form.ComboType->setCurrentIndex(TBandPropertyForm::PosPageFooter);
        EXPECT_FALSE(form.CheckForceNewPage->isChecked());
        EXPECT_FALSE(form.CheckForceNewPage->isEnabled());
        EXPECT_FALSE(form.CheckAtBottom->isEnabled());
        EXPECT_TRUE(form.CheckNotOnLastPage->isEnabled());
        EXPECT_TRUE(form.CheckOddPages->isEnabled());
        form.CheckNotOnLastPage->setChecked(true);
        form.CheckOddPages->setChecked(true);
        form.CheckEvenPages->setChecked(true);
        form.ECondition->setText(QStringLiteral("PAGENUMBER>1"));
        form.FrameGroup->CheckBottom->setChecked(true);
        form.FrameGroup->EFrameWidth->stepBy(2);
        form.FrameGroup->ComboFrameStyle->setCurrentIndex(2);
        form.FrameGroup->BFrameColor->click();
        form.ComboColor->setCurrentIndex(13);
    });
    EXPECT_EQ(detail->bandType(), Rp::rbPageFooter);
    EXPECT_TRUE(detail->notOnLastPage());
    EXPECT_EQ(detail->startPageNum(), 1); // odd and even both checked: the odd rule
    EXPECT_EQ(detail->pageStep(), 2);
    EXPECT_EQ(detail->printCondition(), QStringLiteral("PAGENUMBER>1"));
    EXPECT_TRUE(detail->frame()->drawBottom());
    EXPECT_EQ(detail->frame()->width(), 5);
    EXPECT_EQ(detail->frame()->style(), Rp::psDot);
    EXPECT_EQ(detail->frame()->color(), rgbColor(1, 2, 3));
    EXPECT_EQ(detail->color(), clRed);
    EXPECT_FALSE(detail->forceNewPage());

    // Neither page rule: start and step 0.
    edit<TBandPropertyForm>(detail, [](TBandPropertyForm &form) {
        EXPECT_TRUE(form.CheckOddPages->isChecked());
        form.CheckOddPages->setChecked(false);
        form.ComboType->setCurrentIndex(TBandPropertyForm::PosTitle);
        EXPECT_FALSE(form.CheckNotOnLastPage->isChecked());
    });
    EXPECT_EQ(detail->startPageNum(), 0);
    EXPECT_EQ(detail->pageStep(), 0);
    EXPECT_EQ(detail->bandType(), Rp::rbTitle);
    EXPECT_FALSE(detail->notOnLastPage());
}

TEST_F(PropertyDialogTest, ABandTurnsIntoALoopBandAndBackKeepingWhatItHad)
{
    designer->SetElementFlag(detail, QStringLiteral("BlockMove"), true);
    designer->SetElementFlag(detail, QStringLiteral("BlockDelete"), true);
    detail->font()->setName(QStringLiteral("Courier New"));
    pageHeader->setLinkBand(detail);
    designer->Select(detail);
    const QList<TRpPrintable *> elements = DesignItems::elementsOn(detail);
    ASSERT_EQ(elements.size(), 10);
    edit<TBandPropertyForm>(detail, [](TBandPropertyForm &form) {
        form.ComboType->setCurrentIndex(TBandPropertyForm::PosLoop);
        EXPECT_EQ(form.KindPages->currentIndex(), 1);
        EXPECT_EQ(itemTexts(form.ComboLoopMaster).first(), QStringLiteral("Report"));
        EXPECT_TRUE(itemTexts(form.ComboLoopMaster).contains(QStringLiteral("Loop1")));
        form.EPrintCount->setText(QStringLiteral("5"));
        form.CheckLoopBefore->setChecked(true);
    });
    auto *turned = report()->findChild<TRpDesignLoopband *>(QStringLiteral("Detail1"));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(report()->findChildren<TRpCustomBand *>(QStringLiteral("Detail1")).size(), 1);
    EXPECT_EQ(turned->printCount(), 5);
    EXPECT_TRUE(turned->printBefore());
    EXPECT_EQ(DesignItems::elementsOn(turned), elements);
    EXPECT_EQ(turned->size()->nativeLength(), 300);
    EXPECT_EQ(turned->font()->name(), QStringLiteral("Courier New"));
    EXPECT_TRUE(turned->frame()->drawTop());
    EXPECT_EQ(turned->frame()->width(), 3);
    EXPECT_EQ(turned->frame()->color(), clRed);
    EXPECT_TRUE(designer->ElementFlag(turned, QStringLiteral("BlockMove")));
    EXPECT_TRUE(designer->ElementFlag(turned, QStringLiteral("BlockDelete")));
    EXPECT_FALSE(designer->ElementFlag(turned, QStringLiteral("BlockEdit")));
    EXPECT_EQ(child->parentBand(), turned);
    EXPECT_EQ(pageHeader->linkBand(), turned);
    EXPECT_EQ(designer->selection(), QList<QObject *> { turned });
    // The design reads back as it was set.
    const QByteArray file = saved();
    EXPECT_TRUE(file.contains("object Detail1: TRpDesignLoopband"));

    edit<TBandPropertyForm>(turned, [](TBandPropertyForm &form) {
        EXPECT_EQ(form.ComboType->currentIndex(), TBandPropertyForm::PosLoop);
        form.ComboType->setCurrentIndex(TBandPropertyForm::PosDetail);
    });
    auto *plain = report()->findChild<TRpDesignBand *>(QStringLiteral("Detail1"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->bandType(), Rp::rbDetail);
    EXPECT_EQ(DesignItems::elementsOn(plain), elements);
    EXPECT_EQ(child->parentBand(), plain);
    EXPECT_TRUE(designer->ElementFlag(plain, QStringLiteral("BlockMove")));
}

TEST_F(PropertyDialogTest, StringsBandItemsAreEditedOnACopy)
{
    nested = [](QDialog &dialog) {
        auto *items = qobject_cast<TStringbandItemsForm *>(&dialog);
        if (!items)
            return false;
        EXPECT_EQ(items->items(), (QStringList { QStringLiteral("one"), QStringLiteral("two") }));
        items->MemoItems->setPlainText(QStringLiteral("three"));
        return true;
    };
    edit<TBandPropertyForm>(strings, [this](TBandPropertyForm &form) {
        EXPECT_EQ(form.KindPages->currentIndex(), 2);
        form.BItems->click();
        EXPECT_EQ(strings->items().size(), 2); // not before OK
        form.CheckStringsForceNewPage->setChecked(true);
    });
    EXPECT_EQ(strings->items(), QStringList { QStringLiteral("three") });
    EXPECT_TRUE(strings->forceNewPage());
}

TEST_F(PropertyDialogTest, GroupDialogMakesAFooterAtOnceThatStaysOnCancel)
{
    edit<TGroupPropertyForm>(
        group,
        [](TGroupPropertyForm &form) {
            EXPECT_EQ(form.EGroupExpression->text(), QStringLiteral("tblTransaction.Account_Number"));
            EXPECT_EQ(form.ComboFooter->currentText(), QStringLiteral("GroupFooter1"));
            EXPECT_EQ(form.ComboFooter->itemText(0), QStringLiteral("(NONE)"));
            EXPECT_FALSE(itemTexts(form.ComboFooter).contains(QStringLiteral("Loop1"))); // plain bands only
            EXPECT_TRUE(itemTexts(form.ComboLink).contains(QStringLiteral("Loop1")));
            EXPECT_TRUE(form.CheckReprint->isChecked());
            form.BNewFooter->click();
            EXPECT_EQ(form.ComboFooter->currentText(), QStringLiteral("Footer1"));
        },
        false);
    auto *made = report()->findChild<TRpDesignBand *>(QStringLiteral("Footer1"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->bandType(), Rp::rbGroupFooter);
    EXPECT_EQ(group->footerBand(), groupFooter);

    edit<TGroupPropertyForm>(group, [](TGroupPropertyForm &form) {
        form.BNewFooter->click();
        EXPECT_EQ(form.ComboFooter->currentText(), QStringLiteral("Footer2"));
        form.EGroupExpression->setText(QStringLiteral("tblAccount.Account_Type"));
        form.ECondition->setText(QStringLiteral("2>1"));
        form.CheckReprint->setChecked(false);
        form.ComboMaster->setCurrentText(QStringLiteral("Sub1"));
        form.ComboLink->setCurrentText(QStringLiteral("Loop1"));
        form.CheckAtBottom->setChecked(true);
        form.CheckForceNewColumn->setChecked(true);
    });
    EXPECT_EQ(group->footerBand()->objectName(), QStringLiteral("Footer2"));
    EXPECT_EQ(group->expression(), QStringLiteral("tblAccount.Account_Type"));
    EXPECT_EQ(group->printCondition(), QStringLiteral("2>1"));
    EXPECT_FALSE(group->reprintOnNewPage());
    EXPECT_EQ(group->master(), subdetail);
    EXPECT_EQ(group->linkBand(), loop);
    EXPECT_TRUE(group->alignToBottom());
    EXPECT_TRUE(group->forceNewColumn());
}

TEST_F(PropertyDialogTest, ACircularLinkIsSkippedAndTheRestApplied)
{
    loop->setLinkBand(group);
    edit<TGroupPropertyForm>(group, [](TGroupPropertyForm &form) {
        form.ComboLink->setCurrentText(QStringLiteral("Loop1"));
        form.CheckForceNewPage->setChecked(true);
    });
    EXPECT_EQ(group->linkBand(), nullptr);
    EXPECT_TRUE(group->forceNewPage());
}

TEST_F(PropertyDialogTest, SubdetailDialogWritesItsDataLoop)
{
    edit<TSubdetailPropertyForm>(subdetail, [](TSubdetailPropertyForm &form) {
        EXPECT_EQ(itemTexts(form.ComboDataSet),
            (QStringList {
                QStringLiteral("(NONE)"), QStringLiteral("tblAccount"), QStringLiteral("tblTransaction") }));
        EXPECT_EQ(form.ComboDataSet->currentText(), QStringLiteral("tblAccount"));
        EXPECT_TRUE(form.CheckPrintBefore->isChecked());
        EXPECT_FALSE(itemTexts(form.ComboMaster).contains(QStringLiteral("Sub1")));
        form.ComboDataSet->setCurrentIndex(2);
        form.BNewHeader->click();
        form.BNewFooter->click();
        form.CheckPrintBefore->setChecked(false);
        form.CheckPrintIfEmpty->setChecked(false);
        form.ComboMaster->setCurrentIndex(0);
    });
    EXPECT_EQ(subdetail->dataSet(), transactions);
    EXPECT_EQ(subdetail->headerBand()->objectName(), QStringLiteral("Header1"));
    EXPECT_EQ(subdetail->headerBand()->bandType(), Rp::rbGroupHeader);
    EXPECT_EQ(subdetail->footerBand()->objectName(), QStringLiteral("Footer1"));
    EXPECT_FALSE(subdetail->printBefore());
    EXPECT_FALSE(subdetail->printIfEmpty());
    EXPECT_EQ(subdetail->master(), nullptr);
}

TEST_F(PropertyDialogTest, ChildDialogWritesItsParentAndPageRules)
{
    edit<TChildPropertyForm>(child, [](TChildPropertyForm &form) {
        EXPECT_EQ(form.ComboParent->currentText(), QStringLiteral("Detail1"));
        EXPECT_TRUE(form.CheckOddPages->isChecked());
        EXPECT_FALSE(form.CheckEvenPages->isChecked());
        form.CheckOddPages->setChecked(false);
        form.CheckEvenPages->setChecked(true);
        form.CheckNotOnFirstPage->setChecked(true);
        form.ComboParent->setCurrentText(QStringLiteral("PageHeader1"));
    });
    EXPECT_EQ(child->parentBand(), pageHeader);
    EXPECT_EQ(child->startPageNum(), 2);
    EXPECT_EQ(child->pageStep(), 2);
    EXPECT_TRUE(child->notOnFirstPage());
}

// ---------------------------------------------------------------- graphic elements

TEST_F(PropertyDialogTest, ShapeDialogWritesPenAndBrush)
{
    dialogs.colorAnswer = QColor(0, 0, 255);
    edit<TShapePropertyForm>(shape, [](TShapePropertyForm &form) {
        EXPECT_EQ(form.ComboShape->currentText(), QStringLiteral("Circle"));
        EXPECT_EQ(form.ComboBrushStyle->currentText(), QStringLiteral("cross"));
        EXPECT_EQ(form.EPenWidth->text(), QStringLiteral("3"));
        EXPECT_EQ(form.ComboPenMode->count(), 16);
        form.ComboShape->setCurrentIndex(3);
        form.ComboBrushStyle->setCurrentIndex(4);
        form.ComboPenMode->setCurrentIndex(14);
        form.ComboPenStyle->setCurrentIndex(1);
        form.EPenWidth->setText(QStringLiteral("7"));
        form.BPenColor->click();
        form.ComboRoundFactor->setCurrentIndex(5);
    });
    EXPECT_EQ(shape->shape(), Rp::rpsRightAndLeft);
    EXPECT_EQ(shape->brush()->style(), Rp::bsFDiagonal);
    EXPECT_EQ(shape->pen()->mode(), Rp::pmXor);
    EXPECT_EQ(shape->pen()->style(), Rp::psDash);
    EXPECT_EQ(shape->pen()->width(), 7);
    EXPECT_EQ(shape->pen()->color(), clBlue);
    EXPECT_EQ(shape->brush()->color(), clWhite);
}

TEST_F(PropertyDialogTest, ImageDialogLoadsThePictureOrSaysWhyNot)
{
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString file = dir.filePath(QStringLiteral("logo.png"));
    ASSERT_TRUE(picture.save(file));
    edit<TImagePropertyForm>(image, [&file](TImagePropertyForm &form) {
        EXPECT_TRUE(form.CheckStretch->isChecked());
        form.EFileName->setText(file);
        form.CheckAutoSize->setChecked(true);
        form.CheckCenter->setChecked(true);
        form.CheckStretch->setChecked(false);
    });
    EXPECT_EQ(image->filename(), file);
    EXPECT_TRUE(image->autoSize());
    EXPECT_TRUE(image->center());
    EXPECT_FALSE(image->stretch());
    EXPECT_EQ(image->picture()->image().size(), QSize(30, 20));
    EXPECT_EQ(DesignItems::itemRect(image).size(), QSize(30, 20));
    EXPECT_TRUE(dialogs.errors().isEmpty());

    const QString broken = dir.filePath(QStringLiteral("broken.bmp"));
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("not a picture");
    out.close();
    edit<TImagePropertyForm>(image, [&broken](TImagePropertyForm &form) { form.EFileName->setText(broken); });
    EXPECT_EQ(image->filename(), QString());
    EXPECT_FALSE(image->autoSize());
    EXPECT_EQ(dialogs.errors().size(), 1);

    // The file dialog starts in the folder of the name shown.
    dialogs.fileAnswer = file;
    edit<TImagePropertyForm>(image, [&file, this](TImagePropertyForm &form) {
        form.EFileName->setText(dir.filePath(QStringLiteral("x.bmp")));
        form.BFileName->click();
        EXPECT_EQ(form.EFileName->text(), file);
    });
    ASSERT_FALSE(dialogs.files.empty());
    EXPECT_EQ(dialogs.files.back().directory, dir.path());
    EXPECT_TRUE(dialogs.files.back().filter.startsWith(QStringLiteral("All (*.bmp, *.wmf, *.emf, *.ico)")));
}

TEST_F(PropertyDialogTest, DatabasePictureDialogWritesItsFieldAndPlacement)
{
    edit<TDBImagePropertyForm>(dbImage, [](TDBImagePropertyForm &form) {
        EXPECT_EQ(form.DataField->fieldName(), QStringLiteral("Account_Type"));
        EXPECT_FALSE(form.CheckCenter->isChecked());
        form.DataField->ComboField->setCurrentIndex(0);
        form.CheckCenter->setChecked(true);
        form.CheckStretch->setChecked(true);
    });
    EXPECT_EQ(dbImage->dataField(), QStringLiteral("Account_Number"));
    EXPECT_TRUE(dbImage->center());
    EXPECT_TRUE(dbImage->stretch());
}

TEST_F(PropertyDialogTest, RichTextDialogEditsTheDocument)
{
    wizardAnswer = QStringLiteral("'x'");
    edit<TRichtextPropertyForm>(richText, [](TRichtextPropertyForm &form) {
        EXPECT_EQ(form.RichEdit->Editor->toPlainText(), QStringLiteral("Rich text"));
        EXPECT_TRUE(form.CheckAutoStretch->isChecked());
        form.RichEdit->Editor->moveCursor(QTextCursor::End);
        form.RichEdit->BExpression->click();
        form.RichEdit->BRemoveLine->click();
        form.CheckAutoStretch->setChecked(false);
        form.ComboColor->setCurrentIndex(17);
    });
    EXPECT_FALSE(richText->autoStretch());
    EXPECT_EQ(richText->color(), clYellow);
    QTextDocument document;
    document.setHtml(richText->lines().join(u'\n'));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("%DELRich text%%'x'%%"));

    // Untouched text keeps its form.
    richText->setLines({ QStringLiteral("plain words") });
    edit<TRichtextPropertyForm>(
        richText, [](TRichtextPropertyForm &form) { form.CheckAutoStretch->setChecked(true); });
    EXPECT_EQ(richText->lines(), QStringList { QStringLiteral("plain words") });
}

TEST_F(PropertyDialogTest, RichTextEditorFormatsSavesAndOpensTheText)
{
    const QString file = dir.filePath(QStringLiteral("kept.htm"));
    dialogs.fileAnswer = file;
    richText->setLines({ QStringLiteral("<p>first words</p><p>second</p>") });
    edit<TRichtextPropertyForm>(richText, [](TRichtextPropertyForm &form) {
        TRpRichTextEditor &editor = *form.RichEdit;
        QTextCursor cursor(editor.Editor->document());
        cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        editor.Editor->setTextCursor(cursor);
        editor.BBold->click();
        EXPECT_TRUE(editor.BBold->isChecked());
        editor.BAlignCenter->click();
        EXPECT_TRUE(editor.BAlignCenter->isChecked());
        editor.BIndentMore->click();
        editor.Editor->moveCursor(QTextCursor::End);
        editor.BBullets->click();
        // Saved, emptied and opened again: the same document.
        editor.BSaveAs->click();
        editor.BNew->click();
        EXPECT_TRUE(editor.Editor->toPlainText().isEmpty());
        editor.BOpen->click();
        EXPECT_EQ(editor.Editor->toPlainText(), QStringLiteral("first words\nsecond"));
    });
    EXPECT_TRUE(QFileInfo::exists(file));
    QTextDocument document;
    document.setHtml(richText->lines().join(u'\n'));
    ASSERT_EQ(document.blockCount(), 2);
    const QTextBlock first = document.firstBlock();
    EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_GT(first.blockFormat().leftMargin(), 0);
    EXPECT_EQ(first.begin().fragment().text(), QStringLiteral("first"));
    EXPECT_EQ(first.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_NE(document.lastBlock().textList(), nullptr);
    EXPECT_EQ(first.textList(), nullptr);
}

TEST_F(PropertyDialogTest, RichTextDataFieldDialogWritesFieldAndFont)
{
    dialogs.fontAnswer = QFont(QStringLiteral("Arial"), 9);
    edit<TDBRichtextPropertyForm>(dbRichText, [](TDBRichtextPropertyForm &form) {
        EXPECT_EQ(form.DataField->fieldName(), QStringLiteral("Transaction_Description"));
        form.CheckAutoStretch->setChecked(true);
        form.FontGroup->BFont->click();
        form.FontGroup->ComboAlignment->setCurrentIndex(1);
    });
    EXPECT_TRUE(dbRichText->autoStretch());
    EXPECT_EQ(dbRichText->font()->size(), 9);
    EXPECT_EQ(dbRichText->alignment(), Rp::taRightJustify);
}

// ---------------------------------------------------------------- the colour selector

TEST(ColorCombo, ShowsTheFirstEqualEntryOrTheCustomColour)
{
    TrpdColorCombo combo;
    EXPECT_EQ(combo.count(), 19);
    EXPECT_FALSE(combo.hasColor());
    EXPECT_EQ(combo.color(clNone), clNone);
    combo.setColor(clSilver);
    EXPECT_EQ(combo.currentIndex(), 5);
    combo.setColor(0x123456);
    EXPECT_EQ(combo.currentIndex(), TrpdColorCombo::kCustomEntry);
    EXPECT_EQ(combo.color(), 0x123456);
    combo.setCurrentIndex(2);
    EXPECT_EQ(combo.color(), clBlue);
    DialogRecorder answers;
    answers.colorAnswer = QColor(10, 20, 30);
    combo.setCurrentIndex(TrpdColorCombo::kCustomEntry);
    emit combo.activated(TrpdColorCombo::kCustomEntry);
    EXPECT_EQ(combo.color(), rgbColor(10, 20, 30));
}

} // namespace
