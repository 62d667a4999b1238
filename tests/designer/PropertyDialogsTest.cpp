// The property dialogs driven through their widgets: each opens over an item with values other than the
// defaults, takes changes, and writes them on OK; Cancel leaves the report as it was saved.
#include "PropertyDialogFixture.h"

#include "designer/DBTextMapForm.h"
#include "designer/DBTextPropertyForm.h"
#include "designer/LabelPropertyForm.h"
#include "designer/MemoPropertyForm.h"
#include "designer/RpDExpressionBuilder.h"
#include "designer/SysDataPropertyForm.h"
#include "platform/RegionalSettings.h"
#include "preview/ReportVariables.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolButton>

#include "support/UiScript.h"

namespace {

// Every field of a dialog changed: boxes toggled, texts replaced, lists moved on. Buttons are not pressed.
void scramble(QDialog &dialog)
{
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        box->setChecked(!box->isChecked());
    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        edit->setText(QStringLiteral("7"));
    for (QComboBox *combo : dialog.findChildren<QComboBox *>()) {
        if (combo->count() > 1)
            combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
    }
    for (QPlainTextEdit *text : dialog.findChildren<QPlainTextEdit *>())
        text->appendPlainText(QStringLiteral("more"));
}

struct KindCase
{
    const char *item;
    const char *section;
    int helpContext;
};

void PrintTo(const KindCase &c, std::ostream *os)
{
    *os << c.item;
}

class EachDialog : public PropertyDialogTest, public ::testing::WithParamInterface<KindCase>
{
protected:
    QObject *item() const
    {
        const QString name = QString::fromUtf8(GetParam().item);
        if (name == u"RpReport")
            return report();
        return report()->findChild<QObject *>(name);
    }
};

TEST_P(EachDialog, OpensTheDialogOfItsKind)
{
    QObject *target = item();
    ASSERT_NE(target, nullptr);
    QString section;
    int help = -1;
    dialogs.script = [&](QDialog &dialog) {
        auto *form = qobject_cast<TRpPropertyForm *>(&dialog);
        section = form ? form->section() : QString();
        help = form ? form->helpContext() : -1;
        return false;
    };
    EXPECT_EQ(designer->EditProperties(target), EditResult::Cancelled);
    EXPECT_EQ(section, QString::fromUtf8(GetParam().section));
    EXPECT_EQ(help, GetParam().helpContext);
}

TEST_P(EachDialog, CancelLeavesTheSavedReportAsItWas)
{
    const QByteArray before = saved();
    dialogs.script = [](QDialog &dialog) {
        scramble(dialog);
        return false;
    };
    EXPECT_EQ(designer->EditProperties(item()), EditResult::Cancelled);
    EXPECT_EQ(saved(), before);
    EXPECT_FALSE(designer->Modified());
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachDialog,
    ::testing::Values(KindCase { "RpReport", "ReportPropertyForm", 90044 },
        KindCase { "DBText1", "DBTextPropertyForm", 90028 },
        KindCase { "Shape1", "ShapePropertyForm", 90035 },
        KindCase { "Expr1", "ExpressionPropertyForm", 90033 },
        KindCase { "Child1", "ChildPropertyForm", 90027 }, KindCase { "Group1", "GroupPropertyForm", 90025 },
        KindCase { "Sub1", "SubdetailPropertyForm", 90024 },
        KindCase { "Rich1", "RichtextPropertyForm", 90037 },
        KindCase { "DBRich1", "DBRichtextPropertyForm", 90038 },
        KindCase { "SysData1", "SysDataPropertyForm", 90036 }, KindCase { "Image1", "ImagePropertyForm", 0 },
        KindCase { "DBImage1", "DBImagePropertyForm", 90032 },
        KindCase { "Label1", "LabelPropertyForm", 90029 }, KindCase { "Memo1", "MemoPropertyForm", 90030 },
        KindCase { "Detail1", "BandPropertyForm", 90023 }, KindCase { "Loop1", "BandPropertyForm", 90023 },
        KindCase { "Strings1", "BandPropertyForm", 90023 }));

TEST_F(PropertyDialogTest, KindsWithoutADialogAndCancelledDialogsChangeNothing)
{
    QObject stranger;
    EXPECT_EQ(designer->EditProperties(&stranger), EditResult::NoDialog);
    EXPECT_EQ(designer->EditProperties(nullptr), EditResult::NoDialog);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(designer->Modified());
}

// ---------------------------------------------------------------- callers

TEST_F(PropertyDialogTest, EditOpensTheSelectionsDialogAndLeavesTheClickedElementSelectedAlone)
{
    designer->SelectList({ label, shape });
    std::unique_ptr<QMenu> menu(form->buildContextMenu(label));
    QAction *editEntry = menu->actions().at(1);
    ASSERT_EQ(editEntry->text(), QStringLiteral("Edit"));
    dialogs.execAnswer = false;
    editEntry->trigger();
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("DBTextPropertyForm") });
    EXPECT_TRUE(designer->Modified()); // set before the dialog opens
    EXPECT_EQ(designer->selection(), QList<QObject *> { label });

    // One element: its own dialog; "BlockEdit" keeps it shut.
    dialogs.shown.clear();
    std::unique_ptr<QMenu> single(form->buildContextMenu(label));
    single->actions().at(1)->trigger();
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("LabelPropertyForm") });
    designer->SetElementFlag(label, QStringLiteral("BlockEdit"), true);
    std::unique_ptr<QMenu> locked(form->buildContextMenu(label));
    locked->actions().at(1)->trigger();
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(PropertyDialogTest, ADoubleClickSkipsLockedElementsButTheSelectorDoesNot)
{
    dialogs.execAnswer = false;
    designer->ClearSelection();
    designer->Select(shape);
    designer->SetElementFlag(shape, QStringLiteral("BlockEdit"), true);
    ASSERT_TRUE(designer->mover()->OnControlDoubleClicked);
    designer->mover()->OnControlDoubleClicked(shape);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ComboSelection, &click);
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("ShapePropertyForm") });
    designer->SetElementFlag(shape, QStringLiteral("BlockEdit"), false);
    designer->mover()->OnControlDoubleClicked(shape);
    EXPECT_EQ(dialogs.shown.size(), 2);
}

TEST_F(PropertyDialogTest, TheLanguageFileTranslatesADialogUnderItsSection)
{
    const QString file = dir.filePath(QStringLiteral("lang.txt"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(
        "[LabelPropertyForm]\nLabelPropertyForm.Caption=Etiquette\nCheckTransparent.Caption=Transparente\n");
    out.close();
    designer->LanguageFile = file;
    QString caption;
    QString box;
    edit<TLabelPropertyForm>(label, [&](TLabelPropertyForm &form) {
        caption = form.windowTitle();
        box = form.CheckTransparent->text();
    });
    EXPECT_EQ(caption, QStringLiteral("Etiquette"));
    EXPECT_EQ(box, QStringLiteral("Transparente"));
}

// ---------------------------------------------------------------- label and expression

TEST_F(PropertyDialogTest, LabelDialogShowsAndWritesEveryField)
{
    dialogs.fontAnswer = QFont(QStringLiteral("Arial"), 15);
    dialogs.fontAnswer.setItalic(true);
    dialogs.colorAnswer = QColor(0, 128, 0);
    const EditResult result = edit<TLabelPropertyForm>(label, [](TLabelPropertyForm &form) {
        EXPECT_EQ(form.LabelCaptionEdit->text(), QStringLiteral("Balance"));
        EXPECT_EQ(form.ERotation->text(), QStringLiteral("45"));
        EXPECT_EQ(form.FontGroup->ComboAlignment->currentText(), QStringLiteral("Right"));
        EXPECT_TRUE(form.CheckTransparent->isChecked());
        EXPECT_FALSE(form.CheckAutoSize->isChecked());
        form.LabelCaptionEdit->setText(QStringLiteral("Total"));
        form.ERotation->setText(QStringLiteral("90,25"));
        form.FontGroup->ComboAlignment->setCurrentIndex(2);
        form.CheckTransparent->setChecked(false);
        form.CheckAutoSize->setChecked(true);
        form.CheckAutoStretch->setChecked(true);
        form.CheckWordWrap->setChecked(false);
        form.FontGroup->BFont->click();
        form.FontGroup->BColor->click();
    });
    EXPECT_EQ(result, EditResult::Accepted);
    EXPECT_EQ(label->caption(), QStringLiteral("Total"));
    EXPECT_EQ(label->degree(), 902); // 902.5 tenths: a half goes to the even neighbour
    EXPECT_EQ(label->alignment(), Rp::taCenter);
    EXPECT_FALSE(label->transparent());
    EXPECT_TRUE(label->autoSize());
    EXPECT_TRUE(label->autoStretch());
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->font()->name(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font()->size(), 15);
    EXPECT_TRUE(label->font()->style().testFlag(Rp::fsItalic));
    EXPECT_EQ(label->color(), rgbColor(0, 128, 0));
    EXPECT_TRUE(designer->Modified());
}

struct TypingCase
{
    TRpNumberEdit::Typing typing;
    int maxTyped;
    const char *keys;
    const char *shown; // "," stands for the regional decimal separator
};

void PrintTo(const TypingCase &c, std::ostream *os)
{
    *os << '"' << c.keys << '"';
}

class NumberTyping : public ::testing::TestWithParam<TypingCase>
{
};

TEST_P(NumberTyping, KeepsOnlyTheKeysTheFieldTakes)
{
    TRpNumberEdit edit(GetParam().typing);
    edit.setMaxTypedLength(GetParam().maxTyped);
    for (const QChar c : QString::fromLatin1(GetParam().keys)) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&edit, &press);
    }
    QString expected = QString::fromLatin1(GetParam().shown);
    expected.replace(u',', RegionalSettings::current().decimalSeparator());
    EXPECT_EQ(edit.text(), expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, NumberTyping,
    ::testing::Values(
        // Lengths and degrees: digits and either separator, typed as the regional one.
        TypingCase { TRpNumberEdit::Typing::Decimal, 0, "12.5", "12,5" },
        TypingCase { TRpNumberEdit::Typing::Decimal, 0, "7,25", "7,25" },
        TypingCase { TRpNumberEdit::Typing::Decimal, 0, "-3e2 x", "32" },
        // Widths: digits only, and at most two of them in the frame dialog.
        TypingCase { TRpNumberEdit::Typing::Digits, 0, "1.0,5a", "105" },
        TypingCase { TRpNumberEdit::Typing::Digits, 2, "1234", "12" },
        // The number of columns: the digits 1 to 9.
        TypingCase { TRpNumberEdit::Typing::NonZeroDigits, 0, "102", "12" }));

TEST(NumberSteps, UpAndDownStayWithinTheirRange)
{
    TRpNumberEdit width(TRpNumberEdit::Typing::Digits);
    width.setStepRange(1, 32000);
    width.setText(QStringLiteral("1"));
    width.stepBy(-1);
    EXPECT_EQ(width.text(), QStringLiteral("1"));
    width.setText(QStringLiteral("31999"));
    width.stepBy(1);
    width.stepBy(1);
    EXPECT_EQ(width.text(), QStringLiteral("32000"));
    // A field that does not convert steps from 0.
    width.setText(QStringLiteral("x"));
    width.stepBy(1);
    EXPECT_EQ(width.text(), QStringLiteral("1"));
}

struct DegreeCase
{
    const char *typed;
    int stored; // -1: Degree keeps its value
};

void PrintTo(const DegreeCase &c, std::ostream *os)
{
    *os << '"' << c.typed << '"';
}

class RotationField : public ::testing::TestWithParam<DegreeCase>
{
};

TEST_P(RotationField, StoresTenthsOfADegreeWithinSixteenBits)
{
    ushort tenths = 4321;
    const bool converted = TRpRotationEdit::degreeFromText(QString::fromUtf8(GetParam().typed), tenths);
    if (GetParam().stored < 0) {
        EXPECT_FALSE(converted);
        EXPECT_EQ(tenths, 4321);
    } else {
        EXPECT_TRUE(converted);
        EXPECT_EQ(tenths, GetParam().stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, RotationField,
    ::testing::Values(DegreeCase { "0", 0 }, DegreeCase { "45", 450 }, DegreeCase { "12,25", 122 },
        DegreeCase { "12,35", 124 }, DegreeCase { "0,05", 0 }, DegreeCase { "720", 7200 },
        DegreeCase { "6553,5", 65535 }, DegreeCase { "6553,6", -1 }, DegreeCase { "100000", -1 },
        DegreeCase { "-1", -1 }, DegreeCase { "", -1 }, DegreeCase { "abc", -1 }));

TEST_F(PropertyDialogTest, ARotationBeyondSixteenBitsLeavesDegreeAlone)
{
    edit<TLabelPropertyForm>(
        label, [](TLabelPropertyForm &form) { form.ERotation->setText(QStringLiteral("6553,6")); });
    EXPECT_EQ(label->degree(), 450);
}

TEST_F(PropertyDialogTest, RotationStepsByOneDegreeFromZeroToThreeHundredSixty)
{
    edit<TLabelPropertyForm>(label, [](TLabelPropertyForm &form) {
        form.ERotation->setText(QStringLiteral("359,5"));
        form.ERotation->stepBy(1);
        EXPECT_EQ(form.ERotation->text(), QStringLiteral("360"));
        form.ERotation->stepBy(1);
        EXPECT_EQ(form.ERotation->text(), QStringLiteral("360"));
        form.ERotation->setText(QStringLiteral("0,5"));
        form.ERotation->stepBy(-1);
        EXPECT_EQ(form.ERotation->text(), QStringLiteral("0"));
    });
    EXPECT_EQ(label->degree(), 0);
}

TEST_F(PropertyDialogTest, ExpressionDialogTakesTheWizardsAnswerAndTheMasterList)
{
    wizardAnswer = QStringLiteral("COUNT(tblAccount.Account_Number)");
    edit<TExpressionPropertyForm>(expression, [](TExpressionPropertyForm &form) {
        EXPECT_EQ(form.EFormat->text(), QStringLiteral("#,##0.00"));
        QStringList masters;
        for (int i = 0; i < form.ComboMaster->count(); ++i)
            masters << form.ComboMaster->itemText(i);
        EXPECT_EQ(masters,
            (QStringList { QStringLiteral("(NONE)"), QStringLiteral("Report"), QStringLiteral("Sub1") }));
        EXPECT_EQ(form.ComboMaster->currentText(), QStringLiteral("Sub1"));
        form.EExpression->BWizard->click();
        form.EFormat->setText(QStringLiteral("0"));
        form.ComboMaster->setCurrentIndex(1);
        form.CheckResetAfterPrint->setChecked(false);
        form.ERotation->setText(QStringLiteral("180"));
    });
    EXPECT_EQ(wizardInputs, QStringList { QStringLiteral("SUM(tblTransaction.Transaction_Amount)") });
    EXPECT_EQ(expression->expression(), QStringLiteral("COUNT(tblAccount.Account_Number)"));
    EXPECT_EQ(expression->mask(), QStringLiteral("0"));
    EXPECT_EQ(expression->master(), report());
    EXPECT_FALSE(expression->resetAfterPrint());
    EXPECT_EQ(expression->degree(), 1800);

    // A cancelled wizard leaves the field; the first master entry clears the master.
    wizardAnswer = QString();
    edit<TExpressionPropertyForm>(expression, [](TExpressionPropertyForm &form) {
        form.EExpression->BWizard->click();
        form.ComboMaster->setCurrentIndex(0);
    });
    EXPECT_EQ(expression->expression(), QStringLiteral("COUNT(tblAccount.Account_Number)"));
    EXPECT_EQ(expression->master(), nullptr);
}

TEST_F(PropertyDialogTest, TheDotsButtonOpensTheDesignersWizardOverTheReportsTables)
{
    ExpressionWizard::install(PropertyDialogs::OpenWizard);
    QStringList listed;
    nested = [&listed](QDialog &dialog) {
        auto *wizard = qobject_cast<TRpDExpressionBuilder *>(&dialog);
        if (!wizard)
            return false;
        wizard->show(); // fills its lists as it becomes active
        const QListWidget *sets = wizard->findChild<QListWidget *>(QStringLiteral("ListDatasets"));
        for (int i = 0; sets && i < sets->count(); ++i)
            listed << sets->item(i)->text();
        EXPECT_EQ(wizard->expressionText(), QStringLiteral("SUM(tblTransaction.Transaction_Amount)"));
        wizard->expressionEdit()->moveCursor(QTextCursor::End);
        UiFind::click(wizard, QStringLiteral(">"));
        wizard->expressionEdit()->insertPlainText(QStringLiteral("\n0"));
        UiFind::click(wizard, QStringLiteral("Not"));
        UiFind::click(wizard, QStringLiteral("OK"));
        wizard->hide();
        return true;
    };
    edit<TExpressionPropertyForm>(
        expression, [](TExpressionPropertyForm &form) { form.EExpression->BWizard->click(); });
    EXPECT_EQ(listed, (QStringList { QStringLiteral("tblAccount"), QStringLiteral("tblTransaction") }));
    // The designer's way of writing operators, in one line.
    EXPECT_EQ(expression->expression(), QStringLiteral("SUM(tblTransaction.Transaction_Amount) > 0 not "));
}

TEST_F(PropertyDialogTest, SystemFieldDialogWritesTheDatumAndItsText)
{
    edit<TSysDataPropertyForm>(system, [](TSysDataPropertyForm &form) {
        EXPECT_EQ(form.ComboData->currentText(), QStringLiteral("Page Number"));
        EXPECT_TRUE(form.ComboData->isEnabled());
        EXPECT_FALSE(form.CheckWordWrap->isVisibleTo(&form));
        form.ComboData->setCurrentIndex(6);
        form.EText->setText(QStringLiteral("Title: "));
        form.CheckAutoSize->setChecked(false);
        form.CheckTransparent->setChecked(true);
        form.FontGroup->ComboAlignment->setCurrentIndex(1);
    });
    EXPECT_EQ(system->data(), Rp::rpsReportTitle);
    EXPECT_EQ(system->text(), QStringLiteral("Title: "));
    EXPECT_FALSE(system->autoSize());
    EXPECT_TRUE(system->transparent());
    EXPECT_EQ(system->alignment(), Rp::taRightJustify);

    designer->SetElementFlag(system, QStringLiteral("BlockChange"), true);
    edit<TSysDataPropertyForm>(
        system, [](TSysDataPropertyForm &form) { EXPECT_FALSE(form.ComboData->isEnabled()); });
}

// ---------------------------------------------------------------- data fields

TEST_F(PropertyDialogTest, DataFieldDialogFollowsTheDataSetAndWritesItsOptions)
{
    dialogs.colorAnswer = QColor(255, 0, 0);
    nested = [](QDialog &dialog) {
        auto *map = qobject_cast<TDBTextMapForm *>(&dialog);
        if (!map)
            return false;
        EXPECT_EQ(map->mapList(), QStringList { QStringLiteral("nothing\t0") });
        map->GridMap->item(0, 0)->setText(QStringLiteral("empty"));
        return true;
    };
    edit<TDBTextPropertyForm>(dataField, [](TDBTextPropertyForm &form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Data field tblTransaction"));
        EXPECT_TRUE(form.DataField->ComboDataSet->isVisibleTo(&form));
        EXPECT_EQ(form.DataField->fieldName(), QStringLiteral("Transaction_Amount"));
        EXPECT_TRUE(form.EFormat->isEnabled());
        EXPECT_TRUE(form.CheckSuppress->isChecked());
        EXPECT_TRUE(form.CheckReprintGroup->isChecked());
        EXPECT_TRUE(form.CheckReprintPage->isEnabled());
        form.DataField->ComboDataSet->setCurrentIndex(0); // tblAccount
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Data field tblAccount"));
        EXPECT_EQ(form.DataField->ComboField->count(), 3);
        form.DataField->ComboField->setCurrentIndex(1); // Account_Type, a text field
        EXPECT_FALSE(form.EFormat->isEnabled());
        form.DataField->ComboField->setCurrentIndex(2);
        EXPECT_TRUE(form.EFormat->isEnabled());
        form.EFormat->setText(QStringLiteral("#,##0.00"));
        form.CheckSuppress->setChecked(false);
        EXPECT_FALSE(form.CheckReprintPage->isEnabled());
        EXPECT_FALSE(form.CheckReprintGroup->isEnabled());
        form.CheckBlankIfZero->setChecked(true);
        form.CheckAutoSize->setChecked(false);
        form.FontGroup->BColor->click();
        form.BMap->click();
    });
    EXPECT_EQ(dataField->dataSet(), accounts);
    EXPECT_EQ(dataField->dataField(), QStringLiteral("Account_Balance"));
    EXPECT_EQ(dataField->mask(), QStringLiteral("#,##0.00"));
    EXPECT_FALSE(dataField->suppressRepeatedValues());
    EXPECT_FALSE(dataField->reprintOnNewGroup());
    EXPECT_TRUE(dataField->blankIfZero());
    EXPECT_FALSE(dataField->autoSize());
    EXPECT_EQ(dataField->color(), clRed);
    EXPECT_EQ(dataField->mapList(), QStringList { QStringLiteral("empty\t0") });
}

TEST_F(PropertyDialogTest, WithOneDataSetTheListHidesAndAFieldWithoutOneTakesIt)
{
    delete accounts;
    accounts = nullptr;
    dataField->setDataSet(nullptr);
    edit<TDBTextPropertyForm>(dataField, [](TDBTextPropertyForm &form) {
        EXPECT_FALSE(form.DataField->ComboDataSet->isVisibleTo(&form));
        EXPECT_GE(form.DataField->ComboField->minimumWidth(), 433);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Data field tblTransaction"));
    });
    EXPECT_EQ(dataField->dataSet(), transactions);
}

TEST_F(PropertyDialogTest, SeveralElementsTakeOnlyTheDecidedSettingsTheyHave)
{
    designer->SetElementFlag(memo, QStringLiteral("BlockEdit"), true);
    designer->SelectList({ label, shape, dataField, memo });
    const bool memoWrap = memo->wordWrap();
    dialogs.script = [](QDialog &dialog) {
        auto *form = qobject_cast<TDBTextPropertyForm *>(&dialog);
        if (!form)
            return false;
        EXPECT_EQ(form->windowTitle(), QString());
        EXPECT_FALSE(form->DataField->isVisibleTo(form));
        EXPECT_FALSE(form->FontGroup->BFont->isEnabled());
        EXPECT_FALSE(form->BMap->isEnabled());
        EXPECT_EQ(form->CheckAutoSize->checkState(), Qt::PartiallyChecked);
        EXPECT_EQ(form->FontGroup->ComboAlignment->currentIndex(), -1);
        form->CheckWordWrap->setCheckState(Qt::Unchecked);
        form->CheckBlankIfZero->setCheckState(Qt::Checked);
        form->FontGroup->ComboAlignment->setCurrentIndex(2);
        return true;
    };
    EXPECT_EQ(designer->EditSelectionProperties(), EditResult::Accepted);
    EXPECT_EQ(dialogs.shown, QStringList { QStringLiteral("DBTextPropertyForm") });
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->alignment(), Rp::taCenter);
    EXPECT_TRUE(label->transparent()); // undecided: left alone
    EXPECT_FALSE(dataField->wordWrap());
    EXPECT_TRUE(dataField->blankIfZero());
    EXPECT_TRUE(dataField->suppressRepeatedValues());
    EXPECT_EQ(dataField->alignment(), Rp::taCenter);
    EXPECT_EQ(memo->wordWrap(), memoWrap); // "BlockEdit"
    EXPECT_EQ(shape->shape(), Rp::rpsCircle);
    EXPECT_TRUE(designer->Modified());
}

TEST_F(PropertyDialogTest, ValueMapRowsGrowAndShrinkWithTheArrowKeys)
{
    TDBTextMapForm form(nullptr, designer);
    form.setMapList({ QStringLiteral("Yes\t1"), QStringLiteral("no tab") });
    ASSERT_EQ(form.GridMap->rowCount(), 2);
    EXPECT_EQ(form.GridMap->item(1, 0)->text(), QString());
    auto press = [&form](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(form.GridMap, &event);
    };
    // The empty second row goes with Down; Up on the last filled row moves as usual.
    form.GridMap->setCurrentCell(1, 0);
    press(Qt::Key_Down);
    EXPECT_EQ(form.GridMap->rowCount(), 1);
    // Down on a last row that holds something adds one.
    form.GridMap->setCurrentCell(0, 1);
    press(Qt::Key_Down);
    ASSERT_EQ(form.GridMap->rowCount(), 2);
    EXPECT_EQ(form.GridMap->currentRow(), 1);
    // Up on that empty row removes it and moves up; one row always stays.
    press(Qt::Key_Up);
    EXPECT_EQ(form.GridMap->rowCount(), 1);
    EXPECT_EQ(form.GridMap->currentRow(), 0);
    press(Qt::Key_Up);
    EXPECT_EQ(form.GridMap->rowCount(), 1);

    wizardAnswer = QStringLiteral("UPPER('yes')");
    form.GridMap->setCurrentCell(0, 0);
    form.GridMap->item(0, 0)->setText(QStringLiteral("%%'yes'%%"));
    form.BExpression->click();
    EXPECT_EQ(wizardInputs, QStringList { QStringLiteral("'yes'") });
    EXPECT_EQ(form.mapList(), QStringList { QStringLiteral("%%UPPER('yes')%%\t1") });
}

// ---------------------------------------------------------------- memo

TEST_F(PropertyDialogTest, MemoDialogWritesItsLinesSwitchesFontAndColour)
{
    dialogs.fontAnswer = QFont(QStringLiteral("Courier New"), 14);
    dialogs.fontAnswer.setBold(true);
    dialogs.colorAnswer = QColor(0, 0, 255);
    memo->setAlignment(Rp::taRightJustify);
    memo->setAutoSize(true);
    edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
        EXPECT_EQ(form.lines(), (QStringList { QStringLiteral("first"), QStringLiteral("%DELsecond") }));
        EXPECT_FALSE(form.CheckWordWrap->isChecked());
        EXPECT_TRUE(form.CheckAutoSize->isChecked());
        EXPECT_TRUE(form.CheckAutoStretch->isEnabled());
        EXPECT_EQ(form.FontGroup->ComboAlignment->currentText(), QStringLiteral("Right"));
        form.MemoLines->setPlainText(QStringLiteral("one\n\nthree"));
        form.FontGroup->ComboAlignment->setCurrentIndex(2);
        form.CheckWordWrap->setChecked(true);
        form.CheckAutoSize->setChecked(false);
        form.CheckAutoStretch->setChecked(true);
        form.FontGroup->BFont->click();
        form.FontGroup->BColor->click();
    });
    EXPECT_EQ(memo->lines(), (QStringList { QStringLiteral("one"), QString(), QStringLiteral("three") }));
    EXPECT_EQ(memo->alignment(), Rp::taCenter);
    EXPECT_TRUE(memo->wordWrap());
    EXPECT_FALSE(memo->autoSize());
    EXPECT_TRUE(memo->autoStretch());
    EXPECT_EQ(memo->font()->name(), QStringLiteral("Courier New"));
    EXPECT_EQ(memo->font()->size(), 14);
    EXPECT_TRUE(memo->font()->style().testFlag(Rp::fsBold));
    EXPECT_EQ(memo->color(), rgbColor(0, 0, 255));
    EXPECT_TRUE(designer->Modified());
}

TEST_F(PropertyDialogTest, RemoveLineIfEmptyTogglesOnlyTheMarker)
{
    const QString longLine = QStringLiteral("%DEL") + QString(300, u'x') + QStringLiteral("%%END%%");
    memo->setLines({ QStringLiteral("head"), longLine });
    edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
        QTextCursor cursor(form.MemoLines->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::EndOfBlock);
        form.MemoLines->setTextCursor(cursor);
        form.BRemoveLine->click();
        EXPECT_EQ(form.lines().at(1), QString(300, u'x') + QStringLiteral("%%END%%"));
        form.BRemoveLine->click();
        form.BRemoveLine->click();
        form.BRemoveLine->click();
    });
    EXPECT_EQ(memo->lines(), (QStringList { QStringLiteral("head"), longLine }));
}

TEST_F(PropertyDialogTest, MemoExpressionGoesThroughTheClipboardAsAField)
{
    wizardAnswer = QStringLiteral("1+1");
    edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
        form.MemoLines->setPlainText(QStringLiteral("Sum: X"));
        QTextCursor cursor = form.MemoLines->textCursor();
        cursor.setPosition(5);
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        form.MemoLines->setTextCursor(cursor);
        form.BExpression->click();
        form.CheckWordWrap->setChecked(true);
    });
    EXPECT_EQ(wizardInputs, QStringList { QStringLiteral("X") });
    EXPECT_EQ(memo->lines(), QStringList { QStringLiteral("Sum: %%STR(1+1)%%") });
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("%%STR(1+1)%%"));
    EXPECT_TRUE(memo->wordWrap());

    // A text expression is not turned into one.
    wizardAnswer = QStringLiteral("'a'+'b'");
    edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
        form.MemoLines->moveCursor(QTextCursor::End);
        form.BExpression->click();
    });
    EXPECT_EQ(memo->lines(), QStringList { QStringLiteral("Sum: %%STR(1+1)%%%%'a'+'b'%%") });
}

TEST_F(PropertyDialogTest, AMemoFieldOfATextVariableIsNotTurnedIntoText)
{
    RpReportVariables variables(report());
    ASSERT_TRUE(variables.add(QStringLiteral("greeting"), QStringLiteral("'Bonjour'")));
    ASSERT_TRUE(variables.add(QStringLiteral("twice"), QStringLiteral("1+1")));
    memo->setLines({});
    for (const char *answer : { "GREETING", "TWICE" }) {
        wizardAnswer = QString::fromLatin1(answer);
        edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
            form.MemoLines->moveCursor(QTextCursor::End);
            form.BExpression->click();
        });
    }
    EXPECT_EQ(memo->lines(), QStringList { QStringLiteral("%%GREETING%%%%STR(TWICE)%%") });
}

TEST_F(PropertyDialogTest, AMemoOnThePageItselfDoesNotStretch)
{
    memo->setParent(report());
    memo->setAutoStretch(true);
    edit<TMemoPropertyForm>(memo, [](TMemoPropertyForm &form) {
        EXPECT_FALSE(form.CheckAutoStretch->isEnabled());
        EXPECT_FALSE(form.CheckAutoStretch->isChecked());
    });
    EXPECT_FALSE(memo->autoStretch());
}

} // namespace
