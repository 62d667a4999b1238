#include "DesignerFixture.h"

#include "designer/BlockForm.h"
#include "designer/DesignReportExpert.h"
#include "designer/DesignRuler.h"
#include "designer/FramePropertyForm.h"
#include "designer/LanguageFile.h"
#include "designer/OptionsForm.h"
#include "platform/IniFile.h"
#include "report/elements/DrawItems.h"
#include "report/files/ReportFile.h"
#include "report/generation/RunReport.h"
#include "report/pages/RpPrinter.h"
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

namespace {

TEST_F(DesignerWindow, InsertsABandAndThreeLabelsWithShiftHeld)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    ASSERT_NE(band, nullptr);
    EXPECT_STREQ(band->metaObject()->className(), "TRpDesignBand");
    EXPECT_EQ(band->objectName(), QStringLiteral("BAND1"));
    EXPECT_EQ(designer->designState(), DesignStates::Select);
    // Shift on the palette button keeps the state for every click.
    form->choosePaletteState(DesignStates::NewLabel, true);
    for (int i = 0; i < 3; ++i)
        driver->click(on(band, QPoint(10 + 60 * i, 5)));
    EXPECT_EQ(designer->designState(), DesignStates::NewLabel);
    const QList<TRpPrintable *> labels = DesignItems::elementsOn(band);
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0]->objectName(), QStringLiteral("Reportlabel1"));
    EXPECT_EQ(labels[2]->objectName(), QStringLiteral("Reportlabel3"));
    EXPECT_EQ(labels[1]->property("Caption").toString(), QStringLiteral("ReportLabel"));
    EXPECT_EQ(DesignItems::itemRect(labels[1]).topLeft(), QPoint(70, 5));
    EXPECT_TRUE(designer->Modified());
}

TEST_F(DesignerWindow, NewElementsTakeTheirKindsSizes)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    ASSERT_NE(band, nullptr);
    QObject *system = insert(DesignStates::NewSystemField, on(band));
    EXPECT_EQ(DesignItems::itemRect(system).size(), QSize(60, 20));
    QObject *image = insert(DesignStates::NewImage, on(band, QPoint(100, 2)));
    EXPECT_EQ(DesignItems::itemRect(image).size(), QSize(60, 60));
    QObject *memo = insert(DesignStates::NewMemo, on(band, QPoint(200, 2)));
    EXPECT_EQ(DesignItems::itemRect(memo).size(), QSize(150, 40));
    EXPECT_FALSE(memo->property("AutoSize").toBool());
    // A shape is no higher than the room left below the click.
    QObject *shape = insert(DesignStates::NewShape, on(band, QPoint(300, 30)));
    EXPECT_EQ(DesignItems::itemRect(shape).height(), 40 - 30);
    EXPECT_EQ(shape->objectName(), QStringLiteral("Shape1"));
}

TEST_F(DesignerWindow, DataFieldsNeedADataSource)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    EXPECT_EQ(insert(DesignStates::NewDataField, on(band)), nullptr);
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors().first(), QStringLiteral("No tables available!"));
    EXPECT_TRUE(DesignItems::elementsOn(band).isEmpty());

    QObject module;
    module.setObjectName(QStringLiteral("DataModule1"));
    auto *table = new TMemTable(&module);
    table->setObjectName(QStringLiteral("tblAccount"));
    table->FieldDefs().Add(QStringLiteral("Account_Type"), ftString, 50);
    table->CreateEmpty();
    auto *source = new TDataSource(&module);
    source->setObjectName(QStringLiteral("datAccount"));
    source->setDataSet(table);
    RpComponents::addDataModule(&module);
    QObject *field = insert(DesignStates::NewDataField, on(band));
    RpComponents::remove(&module);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->property("DataSet").value<QObject *>(), table);
    EXPECT_EQ(field->objectName(), QStringLiteral("DBText1"));
}

TEST_F(DesignerWindow, ACancelledPropertyDialogRemovesTheNewElement)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    EditResult answer = EditResult::Cancelled;
    designer->OnEditProperties = [&answer](TRpDesigner *, QObject *) { return answer; };
    EXPECT_EQ(insert(DesignStates::NewLabel, on(band)), nullptr);
    EXPECT_TRUE(DesignItems::elementsOn(band).isEmpty());
    answer = EditResult::NoDialog;
    EXPECT_NE(insert(DesignStates::NewLabel, on(band)), nullptr);
    EXPECT_EQ(DesignItems::elementsOn(band).size(), 1);
}

TEST_F(DesignerWindow, ZoomStepsThroughEveryValue)
{
    QList<int> zooms;
    for (int i = 0; i < 4; ++i) {
        form->action(QStringLiteral("AZoomDecrease"))->trigger();
        zooms << designer->zoom();
    }
    for (int i = 0; i < 6; ++i) {
        form->action(QStringLiteral("AZoomIncrease"))->trigger();
        zooms << designer->zoom();
    }
    EXPECT_EQ(zooms, (QList<int> { 50, 25, 12, 12, 24, 48, 96, 192, 300, 300 }));
    EXPECT_EQ(form->Ruler->zoom(), 300);
    EXPECT_EQ(form->DesignView->size(), DesignItems::pageSize(designer->report()));
    form->action(QStringLiteral("AZoomDefault"))->trigger();
    EXPECT_EQ(designer->zoom(), 100);
}

TEST_F(DesignerWindow, MenuEntriesFollowTheSelection)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QList<QObject *> labels;
    for (int i = 0; i < 3; ++i)
        labels << insert(DesignStates::NewLabel, on(band, QPoint(10 + 60 * i, 5)));
    auto enabled = [this](const char *name) { return form->action(QString::fromLatin1(name))->isEnabled(); };
    designer->ClearSelection();
    EXPECT_FALSE(enabled("ACopy"));
    EXPECT_FALSE(enabled("ACenterBandHorizontal"));
    designer->Select(labels[0]);
    EXPECT_TRUE(enabled("ACopy"));
    EXPECT_TRUE(enabled("ACenterBandHorizontal"));
    EXPECT_FALSE(enabled("AAlignLeft"));
    designer->SelectList({ labels[0], labels[1] });
    EXPECT_TRUE(enabled("AAlignLeft"));
    EXPECT_FALSE(enabled("AEqualHorizontal"));
    designer->SelectList(labels);
    EXPECT_TRUE(enabled("AEqualHorizontal"));
    EXPECT_TRUE(form->findChild<QToolButton *>(QStringLiteral("SBSpaceH"))->isEnabled());
    EXPECT_EQ(form->action(QStringLiteral("AUndo"))->isVisible(), designer->UndoEnabled);
    EXPECT_EQ(
        form->menuAction(QStringLiteral("Edit/Align/Left")), form->action(QStringLiteral("AAlignLeft")));
    EXPECT_EQ(form->menuAction(QStringLiteral("&Edit/&Equal space/&Vertical")),
        form->action(QStringLiteral("AEqualVertical")));
}

TEST_F(DesignerWindow, TheTypeLabelAndThePositionShowTheSelectedElement)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *label = insert(DesignStates::NewLabel, on(band, QPoint(16, 8)));
    EXPECT_EQ(form->LType->text(), QStringLiteral("Label"));
    EXPECT_TRUE(form->EElementText->isVisibleTo(form.get()));
    EXPECT_EQ(form->EElementText->text(), QStringLiteral("ReportLabel"));
    EXPECT_TRUE(form->LPosition->text().startsWith(QStringLiteral("16 (4,23 mm)")));
    form->ApplyElementText(QStringLiteral("Total"));
    EXPECT_EQ(label->property("Caption").toString(), QStringLiteral("Total"));
    designer->ClearSelection();
    designer->Select(band);
    EXPECT_EQ(form->LType->text(), QStringLiteral("Band"));
    EXPECT_TRUE(form->CElementType->isVisibleTo(form.get()));
    form->ApplyElementType(3);
    EXPECT_EQ(qobject_cast<TRpBand *>(band)->bandType(), Rp::rbDetail);
    designer->ClearSelection();
    EXPECT_EQ(form->LType->text(), QStringLiteral("Report"));
}

TEST_F(DesignerWindow, FontSizesOutsideOneTo1638AreIgnored)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *label = insert(DesignStates::NewLabel, on(band));
    auto size = [label] { return qvariant_cast<ReportFont *>(label->property("Font"))->size(); };
    for (const char *bad : { "0", "-3", "1639", "99999999999", "x", "" })
        EXPECT_FALSE(form->ApplyFontSize(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(size(), 10);
    EXPECT_TRUE(form->ApplyFontSize(QStringLiteral("1638")));
    EXPECT_EQ(size(), 1638);
    EXPECT_TRUE(form->ApplyFontSize(QStringLiteral("1")));
    EXPECT_EQ(size(), 1);
}

TEST_F(DesignerWindow, FontChangesGoToTheSelectionOrTheReport)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *label = insert(DesignStates::NewLabel, on(band));
    QObject *locked = insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    designer->SetElementFlag(locked, QStringLiteral("BlockEdit"), true);
    designer->SelectList({ label, locked });
    form->ApplyFontStyle(Rp::fsBold, true);
    auto font = [](QObject *o) { return qvariant_cast<ReportFont *>(o->property("Font")); };
    EXPECT_TRUE(font(label)->style() & Rp::fsBold);
    EXPECT_FALSE(font(locked)->style() & Rp::fsBold);
    form->ApplyAlignment(Rp::taCenter);
    EXPECT_EQ(label->property("Alignment").toInt(), int(Rp::taCenter));
    EXPECT_EQ(locked->property("Alignment").toInt(), int(Rp::taLeftJustify));
    designer->ClearSelection();
    form->ApplyFontName(QStringLiteral("Courier New"));
    EXPECT_EQ(designer->report()->font()->name(), QStringLiteral("Courier New"));
}

TEST_F(DesignerWindow, AFontThisMachineLacksIsShownByItsName)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *label = insert(DesignStates::NewLabel, on(band));
    auto *font = qvariant_cast<ReportFont *>(label->property("Font"));
    font->setName(QStringLiteral("Zz No Such Family"));
    designer->ClearSelection();
    designer->Select(label);
    form->updateToolbars();
    EXPECT_EQ(form->ComboFontName->currentText(), QStringLiteral("Zz No Such Family"));
    const int at = form->ComboFontName->currentIndex();
    if (at > 0) {
        EXPECT_LT(form->ComboFontName->itemText(at - 1).compare(
                      QStringLiteral("Zz No Such Family"), Qt::CaseInsensitive),
            0);
    }
    // Shown again, it is not listed twice.
    designer->ClearSelection();
    designer->Select(label);
    form->updateToolbars();
    int listed = 0;
    for (int i = 0; i < form->ComboFontName->count(); ++i)
        listed += form->ComboFontName->itemText(i) == QStringLiteral("Zz No Such Family");
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(form->ComboFontName->currentIndex(), at);
}

TEST_F(DesignerWindow, GroupsTakeNumbersAboveTheOnesLoaded)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *a = insert(DesignStates::NewLabel, on(band, QPoint(5, 5)));
    QObject *b = insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    insert(DesignStates::NewLabel, on(band, QPoint(200, 5)));
    insert(DesignStates::NewLabel, on(band, QPoint(300, 5)));
    designer->SelectList({ a, b });
    designer->Group();
    EXPECT_EQ(designer->GroupID(a), 1);
    const QString file = path(QStringLiteral("groups.RP2"));
    ASSERT_TRUE(designer->SaveReportFile(file));
    ASSERT_TRUE(designer->LoadReportFile(file));
    QObject *loadedA = find(QStringLiteral("Reportlabel1"));
    ASSERT_NE(loadedA, nullptr);
    EXPECT_EQ(designer->GroupID(loadedA), 1);
    designer->SelectList({ find(QStringLiteral("Reportlabel3")), find(QStringLiteral("Reportlabel4")) });
    designer->Group();
    EXPECT_EQ(designer->GroupID(find(QStringLiteral("Reportlabel3"))), 2);
    EXPECT_EQ(designer->GroupID(loadedA), 1);
}

TEST_F(DesignerWindow, UndoKeepsLockFlagsAndGroups)
{
    designer->UndoEnabled = true;
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *a = insert(DesignStates::NewLabel, on(band, QPoint(5, 5)));
    QObject *b = insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    designer->SetElementFlag(a, QStringLiteral("BlockResize"), true);
    designer->SelectList({ a, b });
    designer->Group();
    designer->ClearSelection();
    designer->Select(b);
    designer->mover()->MoveBy(8, 0);
    ASSERT_GE(designer->undoCount(), 1);
    ASSERT_TRUE(designer->Undo());
    QObject *restoredA = find(QStringLiteral("Reportlabel1"));
    QObject *restoredB = find(QStringLiteral("Reportlabel2"));
    ASSERT_NE(restoredA, nullptr);
    ASSERT_NE(restoredB, nullptr);
    EXPECT_EQ(DesignItems::itemRect(restoredB).left(), 100);
    EXPECT_TRUE(designer->ElementFlag(restoredA, QStringLiteral("BlockResize")));
    EXPECT_EQ(designer->GroupID(restoredA), 1);
    EXPECT_EQ(designer->GroupID(restoredB), 1);
    EXPECT_TRUE(designer->Modified());
    // Saving after the undo keeps them in the file.
    const QString file = path(QStringLiteral("undo.RP2"));
    ASSERT_TRUE(designer->SaveReportFile(file));
    const QByteArray text = TestSupport::readFile(file);
    EXPECT_TRUE(text.contains("BlockResize=True"));
    EXPECT_TRUE(text.contains("GroupID=1"));
}

TEST_F(DesignerWindow, UndoListHoldsAtMostUndoLevels)
{
    designer->UndoEnabled = true;
    designer->UndoLevels = 3;
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    designer->Select(band);
    for (int i = 0; i < 5; ++i)
        designer->mover()->ResizeBy(0, 4);
    EXPECT_EQ(designer->undoCount(), 3);
    designer->setEditing(false);
    EXPECT_FALSE(designer->Undo());
}

TEST_F(DesignerWindow, AFailedLoadForgetsTheFileName)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    insert(DesignStates::NewLabel, on(band));
    const QString good = path(QStringLiteral("good.RP2"));
    ASSERT_TRUE(designer->SaveReportFile(good));
    const QByteArray saved = TestSupport::readFile(good);
    const QString broken = path(QStringLiteral("broken.RP2"));
    TestSupport::writeFile(
        broken, QByteArrayLiteral("object Header: TComponentFileHeader\r\n  ReportTitle = 'x"));
    EXPECT_FALSE(form->OpenReportFile(broken));
    EXPECT_TRUE(designer->fileName().isEmpty());
    EXPECT_TRUE(form->windowTitle().isEmpty());
    EXPECT_TRUE(designer->Modified());
    EXPECT_EQ(dialogs.errors().size(), 1);
    // "Save" now asks for a name instead of writing over a file.
    dialogs.fileAnswer.clear();
    EXPECT_FALSE(form->ASaveExecute());
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(TestSupport::readFile(good), saved);
}

TEST_F(DesignerWindow, AFailedSaveIsShownWithTheFileName)
{
    const QString unreachable = path(QStringLiteral("no/such/folder/report.RP2"));
    designer->setFileName(unreachable);
    designer->Modify();
    EXPECT_FALSE(form->ASaveExecute());
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.errors().first().contains(unreachable));
    EXPECT_TRUE(designer->Modified());
}

TEST_F(DesignerWindow, ClosingAskedToSaveButCancelledStaysOpen)
{
    designer->Modify();
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    dialogs.fileAnswer.clear();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, Dialogs::MessageKind::YesNoCancel);
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    EXPECT_FALSE(form->close());
    dialogs.answers.push_back(Dialogs::Answer::No);
    EXPECT_TRUE(form->close());
}

TEST_F(DesignerWindow, SaveAsKeepsTheLastFiveNamesAndClosingWritesThem)
{
    for (int i = 1; i <= 6; ++i) {
        dialogs.fileAnswer = path(QStringLiteral("report%1.RP2").arg(i));
        ASSERT_TRUE(form->ASaveAsExecute());
    }
    // Each "Save as" put the name before it on the history; the current file is not on it.
    EXPECT_EQ(form->history().count(), 5);
    EXPECT_EQ(form->history().names().first(), path(QStringLiteral("report5.RP2")));
    EXPECT_EQ(form->history().names().last(), path(QStringLiteral("report1.RP2")));
    EXPECT_TRUE(form->close());
    IniFile ini(settingsPath());
    EXPECT_EQ(ini.readString(QStringLiteral("History"), QStringLiteral("History1")),
        path(QStringLiteral("report6.RP2")));
    EXPECT_EQ(ini.keys(QStringLiteral("History")).size(), 5);
    // The file menu shows them, shortened, after a separator.
    reopen();
    EXPECT_EQ(form->action(QStringLiteral("AHistory1"))->text(),
        TRpFileHistory::shortened(path(QStringLiteral("report6.RP2"))).prepend(QStringLiteral("&1 ")));
}

TEST_F(DesignerWindow, WritingAShortHistoryDeletesTheKeysAbove)
{
    TestSupport::writeFile(settingsPath(),
        "[History]\r\nHistory1=a.RP2\r\nHistory2=b.RP2\r\nHistory3=c.RP2\r\n"
        "History4=d.RP2\r\nHistory5=e.RP2\r\n");
    reopen();
    form->history().setNames({ QStringLiteral("x.RP2"), QStringLiteral("y.RP2"), QStringLiteral("z.RP2") });
    form->writeSettings();
    IniFile ini(settingsPath());
    EXPECT_EQ(ini.keys(QStringLiteral("History")),
        (QStringList { QStringLiteral("History1"), QStringLiteral("History2"), QStringLiteral("History3") }));
}

TEST_F(DesignerWindow, OpeningFromTheHistoryMovesTheCurrentFileOnIt)
{
    const QString first = path(QStringLiteral("first.RP2"));
    const QString second = path(QStringLiteral("second.RP2"));
    ASSERT_TRUE(designer->SaveReportFile(first));
    ASSERT_TRUE(designer->SaveReportFile(second));
    form->history().setNames({ first });
    form->OpenHistoryEntry(0);
    EXPECT_EQ(designer->fileName(), first);
    EXPECT_EQ(form->windowTitle(), first);
    EXPECT_EQ(form->history().names(), QStringList { second });
    // A file that cannot be read keeps its entry.
    TestSupport::writeFile(second, "garbage");
    form->OpenHistoryEntry(0);
    EXPECT_TRUE(form->history().names().contains(second));
    EXPECT_TRUE(designer->fileName().isEmpty());
}

TEST_F(DesignerWindow, SettingsOutOfRangeKeepTheirDefaultsAndOtherSectionsSurvive)
{
    TestSupport::writeFile(settingsPath(),
        "[Editor]\r\nGridSizeX=0\r\nGridSizeY=8\r\nKeyboardMoveX=-2\r\n"
        "[Display]\r\nComponentFrameStyle=9\r\nShowBandNames=0\r\n"
        "[Printer]\r\nPaperSize=99\r\nCopies=abc\r\n[Other]\r\nKeep=me\r\n");
    reopen();
    EXPECT_EQ(designer->gridSizeX(), 4);
    EXPECT_EQ(designer->gridSizeY(), 8);
    EXPECT_EQ(designer->keyboardMoveX(), 1);
    EXPECT_EQ(designer->look().componentFrameStyle, Rp::psDot);
    EXPECT_FALSE(designer->look().showBandNames);
    EXPECT_EQ(designer->mover()->GridSizeX, 4);
    EXPECT_TRUE(form->close());
    IniFile ini(settingsPath());
    EXPECT_EQ(ini.readString(QStringLiteral("Other"), QStringLiteral("Keep")), QStringLiteral("me"));
    EXPECT_EQ(ini.readString(QStringLiteral("Printer"), QStringLiteral("PaperSize")), QStringLiteral("99"));
    EXPECT_EQ(ini.readString(QStringLiteral("Editor"), QStringLiteral("GridSizeX")), QStringLiteral("4"));
    EXPECT_EQ(ini.readString(QStringLiteral("Display"), QStringLiteral("ComponentFrameStyle")),
        QStringLiteral("2"));
    EXPECT_EQ(
        ini.readString(QStringLiteral("Display"), QStringLiteral("ShowBandNames")), QStringLiteral("0"));
}

TEST_F(DesignerWindow, ALanguageFileTranslatesTheWindowAndTheMessages)
{
    const QString language = path(QStringLiteral("fr.lng"));
    TestSupport::writeFile(language,
        "[RepFormDB]\r\nRepFormDB.Caption=Concepteur\r\nMFile.Caption=&Fichier\r\n"
        "SBSave.Hint=enregistrer\r\nRpDesigner1.Item3=Delete band=Supprimer la bande ?\r\n");
    TestSupport::writeFile(
        settingsPath(), QByteArray("[General]\r\nLanguagefile=") + language.toUtf8() + "\r\n");
    LanguageFiles::reset();
    reopen();
    EXPECT_EQ(
        form->findChild<QToolButton *>(QStringLiteral("SBSave"))->toolTip(), QStringLiteral("enregistrer"));
    EXPECT_NE(form->menuAction(QStringLiteral("Fichier/Exit")), nullptr);
    EXPECT_EQ(designer->RuntimeMessages.text(QStringLiteral("Delete band")),
        QStringLiteral("Supprimer la bande ?"));
    LanguageFiles::reset();
}

TEST_F(DesignerWindow, ThePaletteGoesToTheTopOfALowWindow)
{
    form->resize(1000, 500);
    form->arrangePalette();
    EXPECT_TRUE(form->paletteAtTop());
    EXPECT_EQ(form->paletteButton(DesignStates::NewBand)->pos(), QPoint(8 + 29, 6));
    form->resize(1000, 900);
    form->arrangePalette();
    EXPECT_FALSE(form->paletteAtTop());
    EXPECT_EQ(form->paletteButton(DesignStates::NewBand)->pos(), QPoint(6, 8 + 28));
    EXPECT_TRUE(form->paletteButton(DesignStates::NewChart)->isHidden());
    EXPECT_TRUE(form->paletteButton(DesignStates::NewBarcode)->isHidden());
}

TEST_F(DesignerWindow, TheUnsavedQuestionGuardsNew)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    ASSERT_NE(band, nullptr);
    designer->setFileName(path(QStringLiteral("kept.RP2")));
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    form->ANewExecute();
    EXPECT_EQ(
        dialogs.messages.back().text, QStringLiteral("The report has not been saved. Continue anyway?"));
    EXPECT_EQ(DesignItems::bands(designer->report()).size(), 1);
    // The report wizard that follows is cancelled: the report stays empty and unmodified.
    dialogs.execAnswer = false;
    form->ANewExecute();
    EXPECT_TRUE(DesignItems::bands(designer->report()).isEmpty());
    EXPECT_TRUE(designer->fileName().isEmpty());
    EXPECT_FALSE(designer->Modified());
    EXPECT_EQ(form->history().names().first(), path(QStringLiteral("kept.RP2")));
}

// Plays the report wizard when "&New..." opens it; other dialogs are left to the window's recorder.
class WizardPlayer : public DialogRecorder
{
public:
    explicit WizardPlayer(std::function<void(TRpDesignReportExpert &)> play)
        : m_play(std::move(play))
    { }
    bool exec(QDialog &dialog) override
    {
        auto *wizard = qobject_cast<TRpDesignReportExpert *>(&dialog);
        if (!wizard)
            return DialogRecorder::exec(dialog);
        ++shown;
        m_play(*wizard);
        return wizard->result() == QDialog::Accepted;
    }
    int shown = 0;

private:
    std::function<void(TRpDesignReportExpert &)> m_play;
};

// A data module of the program with one account table and its data source.
class AccountModule
{
public:
    AccountModule()
    {
        m_module.setObjectName(QStringLiteral("DataModule1"));
        table = new TMemTable(&m_module);
        table->setObjectName(QStringLiteral("tblAccount"));
        table->FieldDefs().Add(QStringLiteral("Account_Type"), ftString, 50);
        table->FieldDefs().Add(QStringLiteral("Balance"), ftFloat, 0);
        table->CreateEmpty();
        auto *source = new TDataSource(&m_module);
        source->setObjectName(QStringLiteral("datAccount"));
        source->setDataSet(table);
        RpComponents::addDataModule(&m_module);
    }
    ~AccountModule() { RpComponents::remove(&m_module); }
    TMemTable *table;

private:
    QObject m_module;
};

void finishList(TRpDesignReportExpert &wizard)
{
    wizard.rbList->setChecked(true);
    wizard.next();
    const QList<QListWidgetItem *> found
        = wizard.lstDatasets->findItems(QStringLiteral("tblAccount"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    wizard.lstDatasets->setCurrentItem(found.front());
    wizard.next();
    wizard.btnAddAll->click();
    while (wizard.currentPage() != TRpDesignReportExpert::PageFinish)
        wizard.next();
    wizard.btnFinish->click();
}

TEST_F(DesignerWindow, NewRunsTheReportWizardOnTheClearedReport)
{
    AccountModule data;
    insert(DesignStates::NewBand, QPoint(100, 100));
    designer->setFileName(path(QStringLiteral("old.RP2")));
    designer->setModified(false);
    WizardPlayer player(finishList);
    form->ANewExecute();
    EXPECT_EQ(player.shown, 1);
    EXPECT_TRUE(designer->fileName().isEmpty());
    EXPECT_TRUE(designer->Modified()) << "a finished wizard leaves a modified report";
    EXPECT_EQ(designer->designReport()->dataSet(), data.table);
    EXPECT_FALSE(find(QStringLiteral("BAND1"))) << "the old design is gone";
    const auto bands = DesignItems::bands(designer->report());
    EXPECT_GE(bands.size(), 2) << "a list has a column header and a detail band at least";
    int labels = 0;
    for (QObject *band : bands)
        labels += int(DesignItems::elementsOn(band).size());
    EXPECT_GE(labels, 4) << "a column title and a field for each of the two fields";
    EXPECT_FALSE(form->DatafieldList->isEmpty()) << "the data-field list shows the chosen table's fields";
}

TEST_F(DesignerWindow, NewTakesTheHostsDataSetAndSkipsItsPage)
{
    AccountModule data;
    form->newReportDataSet = data.table;
    QList<int> pages;
    WizardPlayer player([&pages](TRpDesignReportExpert &wizard) {
        wizard.rbList->setChecked(true);
        wizard.next();
        pages << wizard.currentPage();
        wizard.reject();
    });
    form->ANewExecute();
    EXPECT_EQ(pages, QList<int>({ TRpDesignReportExpert::PageFields }));
    EXPECT_TRUE(DesignItems::bands(designer->report()).isEmpty())
        << "a cancelled wizard leaves the empty report";
    EXPECT_FALSE(designer->Modified());
}

TEST_F(DesignerWindow, TheContextMenuFollowsTheSelectionAndGroups)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *a = insert(DesignStates::NewLabel, on(band, QPoint(5, 5)));
    QObject *b = insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    auto captions = [](QMenu *menu) {
        QStringList list;
        for (QAction *entry : menu->actions()) {
            if (!entry->isSeparator())
                list << entry->text();
        }
        return list;
    };
    designer->ClearSelection();
    designer->Select(a);
    std::unique_ptr<QMenu> one(form->buildContextMenu(a));
    EXPECT_EQ(captions(one.get()),
        (QStringList { QStringLiteral("Enabled"), QStringLiteral("Edit"), QStringLiteral("Options"),
            QStringLiteral("Bring to front"), QStringLiteral("Send to back") }));
    EXPECT_TRUE(one->actions().first()->isChecked());
    designer->SelectList({ a, b });
    std::unique_ptr<QMenu> two(form->buildContextMenu(a));
    EXPECT_EQ(captions(two.get()).last(), QStringLiteral("Group elements"));
    EXPECT_FALSE(two->actions().first()->isEnabled());
    two->actions().last()->trigger();
    std::unique_ptr<QMenu> grouped(form->buildContextMenu(a));
    EXPECT_EQ(captions(grouped.get()).mid(5),
        (QStringList { QStringLiteral("Group elements"), QStringLiteral("Ungroup element"),
            QStringLiteral("Ungroup all elements") }));
    // "Enabled" switches a single element off and on.
    QObject *c = insert(DesignStates::NewLabel, on(band, QPoint(200, 5)));
    std::unique_ptr<QMenu> enable(form->buildContextMenu(c));
    enable->actions().first()->trigger();
    EXPECT_FALSE(c->property("Enabled").toBool());
    std::unique_ptr<QMenu> again(form->buildContextMenu(c));
    EXPECT_FALSE(again->actions().first()->isChecked());
}

TEST_F(DesignerWindow, TheRightButtonOnTheEmptyPageOpensTheReportsDialog)
{
    QObject *asked = nullptr;
    designer->OnEditProperties = [&asked](TRpDesigner *, QObject *item) {
        asked = item;
        return EditResult::NoDialog;
    };
    driver->click(QPoint(20, 20), Qt::RightButton);
    EXPECT_EQ(asked, designer->report());
}

TEST_F(DesignerWindow, OptionsDialogAppliesGridsAndUnits)
{
    struct Answer : DialogRecorder
    {
        bool exec(QDialog &dialog) override
        {
            auto *form = qobject_cast<TOptionsForm *>(&dialog);
            if (!form)
                return false;
            form->EGridX->setText(QStringLiteral("10"));
            form->EGridY->setText(QStringLiteral("0"));
            form->ComboUnits->setCurrentIndex(1);
            form->CheckShowBandNames->setChecked(false);
            return true;
        }
    } answer;
    form->AViewOptionsExecute();
    EXPECT_EQ(designer->gridSizeX(), 10);
    EXPECT_EQ(designer->gridSizeY(), 4);
    EXPECT_EQ(designer->report()->units(), Rp::Inches);
    EXPECT_FALSE(designer->look().showBandNames);
    EXPECT_EQ(form->Ruler->unit(), Rp::Inches);
}

TEST_F(DesignerWindow, FrameDialogWritesEverySelectedFrame)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *a = insert(DesignStates::NewLabel, on(band, QPoint(5, 5)));
    QObject *b = insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    struct Answer : DialogRecorder
    {
        bool exec(QDialog &dialog) override
        {
            auto *form = qobject_cast<TFramePropertyForm *>(&dialog);
            if (!form)
                return false;
            form->CheckTop->setChecked(true);
            form->CheckLeft->setChecked(true);
            form->EWidth->setValue(3);
            form->ComboStyle->setCurrentIndex(2);
            return true;
        }
    } answer;
    designer->SelectList({ a, b });
    form->SetFrameExecute();
    for (QObject *item : { a, b }) {
        const TRpFrame *frame = qvariant_cast<TRpFrame *>(item->property("Frame"));
        EXPECT_TRUE(frame->drawTop());
        EXPECT_TRUE(frame->drawLeft());
        EXPECT_FALSE(frame->drawBottom());
        EXPECT_EQ(frame->width(), 3);
        EXPECT_EQ(frame->style(), Rp::psDot);
    }
    designer->ClearSelection();
    form->SetFrameExecute();
    EXPECT_TRUE(designer->report()->frame()->drawTop());
}

} // namespace

namespace {

// Shows nothing and counts the previews opened.
class CountingPreview : public TRpPreviewInterface
{
public:
    explicit CountingPreview(int &opened)
        : m_opened(opened)
    { }
    QObject *OpenPreview(TRpPrinter *) override
    {
        ++m_opened;
        return nullptr;
    }

private:
    int &m_opened;
};

class DesignerPreview : public DesignerWindow
{
protected:
    void SetUp() override
    {
        DesignerWindow::SetUp();
        TRpPrinter::setPreviewFactory([this] { return std::make_unique<CountingPreview>(opened); });
    }
    void TearDown() override { TRpPrinter::setPreviewFactory({}); }

    int opened = 0;
};

TEST_F(DesignerPreview, PreviewRunsWhatWasDrawn)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    insert(DesignStates::NewLabel, on(band));
    form->APreviewExecute();
    EXPECT_EQ(opened, 1);
    const TRpPrinter *pages = ReportPageStore(*designer->designReport());
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->pageCount(), 1);
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

TEST_F(DesignerPreview, APreviewThatFailsSaysWhy)
{
    designer->designReport()->BeforePrint
        = [](TCustomRpReport *, bool &) { throw Exception(QStringLiteral("the data is not there")); };
    form->APreviewExecute();
    ASSERT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(dialogs.errors().first(), QStringLiteral("the data is not there"));
}

TEST(RenamedScript, RewritesOnlyWholeNamesInTheirCase)
{
    const QString long256 = QString(300, u'x');
    const QStringList script { QStringLiteral("[Label1.BeforePrint]"),
        QStringLiteral("[Label10.BeforePrint]"), QStringLiteral("[label1.AfterPrint]"),
        QStringLiteral("x = [Label1.Caption]"), QStringLiteral("[Label1.") + long256 };
    const QStringList renamed = renamedScript(script, QStringLiteral("Label1"), QStringLiteral("Total"));
    EXPECT_EQ(renamed,
        (QStringList { QStringLiteral("[Total.BeforePrint]"), QStringLiteral("[Label10.BeforePrint]"),
            QStringLiteral("[label1.AfterPrint]"), QStringLiteral("x = [Label1.Caption]"),
            QStringLiteral("[Total.") + long256 }));
    EXPECT_EQ(renamedScript(script, QString(), QStringLiteral("X")), script);
}

TEST_F(DesignerWindow, ARefusedNameLeavesTheScriptAlone)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *a = insert(DesignStates::NewLabel, on(band, QPoint(5, 5)));
    insert(DesignStates::NewLabel, on(band, QPoint(100, 5)));
    const QStringList script { QStringLiteral("[Reportlabel1.BeforePrint]"), QStringLiteral("  x := 1") };
    designer->designReport()->setScript(script);
    for (const char *refused : { "Reportlabel2", "REPORTLABEL2", "1abc", "with space", "" }) {
        EXPECT_FALSE(RenameDesignItem(designer, a, QString::fromLatin1(refused))) << refused;
        EXPECT_EQ(a->objectName(), QStringLiteral("Reportlabel1"));
        EXPECT_EQ(designer->designReport()->script(), script);
    }
    EXPECT_TRUE(RenameDesignItem(designer, a, QStringLiteral("Total")));
    EXPECT_EQ(a->objectName(), QStringLiteral("Total"));
    EXPECT_EQ(designer->designReport()->script().first(), QStringLiteral("[Total.BeforePrint]"));
}

// Fills the element options dialog when it shows.
class BlockAnswer : public DialogRecorder
{
public:
    std::function<void(TBlockForm &)> fill;
    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        auto *form = qobject_cast<TBlockForm *>(&dialog);
        if (!form)
            return false;
        if (fill)
            fill(*form);
        return true;
    }
};

TEST_F(DesignerWindow, TheOptionsDialogSetsNameLocksAidsAndPosition)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *memo = insert(DesignStates::NewMemo, on(band, QPoint(5, 5)));
    BlockAnswer answer;
    answer.fill = [](TBlockForm &f) {
        EXPECT_EQ(f.EName->text(), QStringLiteral("Memo1"));
        EXPECT_TRUE(f.ELeft->isEnabled());
        f.EName->setText(QStringLiteral("Notes"));
        f.CheckMove->setChecked(true);
        f.CheckFixBottom->setChecked(true);
        f.CheckStretch->setChecked(true); // excludes the other
        f.EWidth->setText(QStringLiteral("50,5"));
    };
    form->OptionsExecute();
    EXPECT_EQ(memo->objectName(), QStringLiteral("Notes"));
    EXPECT_TRUE(designer->ElementFlag(memo, QStringLiteral("BlockMove")));
    EXPECT_FALSE(memo->property("FixBottomPosition").toBool());
    EXPECT_TRUE(memo->property("StretchHeightWithBand").toBool());
    EXPECT_DOUBLE_EQ(qobject_cast<TRpPrintable *>(memo)->size()->width(), 50.5);
    EXPECT_EQ(designer->selection(), QList<QObject *> { memo });
}

TEST_F(DesignerWindow, TheOptionsDialogRefusesBadNamesAndNumbersButAppliesTheRest)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *memo = insert(DesignStates::NewMemo, on(band, QPoint(5, 5)));
    const QRect before = DesignItems::itemRect(memo);
    BlockAnswer answer;
    answer.fill = [](TBlockForm &f) {
        f.EName->setText(QStringLiteral("BAND1"));
        f.ELeft->setText(QStringLiteral("1.2.3"));
        f.CheckDelete->setChecked(true);
    };
    form->OptionsExecute();
    EXPECT_EQ(answer.errors(),
        (QStringList { QStringLiteral("Invalid component name!"),
            QStringLiteral("Invalid top, left, width or height value!") }));
    EXPECT_EQ(memo->objectName(), QStringLiteral("Memo1"));
    EXPECT_EQ(DesignItems::itemRect(memo), before);
    EXPECT_TRUE(designer->ElementFlag(memo, QStringLiteral("BlockDelete")));
    // A band offers its height only.
    designer->ClearSelection();
    designer->Select(band);
    answer.fill = [](TBlockForm &f) {
        EXPECT_FALSE(f.ELeft->isEnabled());
        EXPECT_FALSE(f.EWidth->isEnabled());
        EXPECT_TRUE(f.EHeight->isEnabled());
        EXPECT_FALSE(f.CheckFixBottom->isEnabled());
        f.EHeight->setText(QStringLiteral("20"));
    };
    form->OptionsExecute();
    EXPECT_DOUBLE_EQ(qobject_cast<TRpCustomBand *>(band)->size()->height(), 20);
}

TEST_F(DesignerWindow, ADroppedFieldBecomesADataFieldOnTheBand)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject module;
    module.setObjectName(QStringLiteral("DataModule1"));
    auto *table = new TMemTable(&module);
    table->setObjectName(QStringLiteral("tblAccount"));
    table->AddField(std::make_unique<TStringField>(QStringLiteral("Account_Type"), 50));
    auto *source = new TDataSource(&module);
    source->setObjectName(QStringLiteral("datAccount"));
    source->setDataSet(table);
    RpComponents::addDataModule(&module);
    form->ADatasetsExecute();
    QTreeWidget *tree = form->DatafieldList->DatafieldListbox;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("TBLACCOUNT"));
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(TRpDatafieldList::entryOfNode(tree->topLevelItem(0)->child(0)),
        QStringLiteral("tblAccount.Account_Type"));
    QObject *field = designer->DropDataField(on(band, QPoint(30, 10)), table, QStringLiteral("Account_Type"));
    RpComponents::remove(&module);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->parent(), band);
    EXPECT_EQ(field->property("DataField").toString(), QStringLiteral("Account_Type"));
    EXPECT_EQ(DesignItems::itemRect(field), QRect(30, 10, 60, 20));
    EXPECT_EQ(designer->selection(), QList<QObject *> { field });
}

TEST_F(DesignerWindow, PasteRefusesABlockNestedBeyondTheReadersBound)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QByteArray text;
    constexpr int kDepth = 300;
    for (int i = 0; i < kDepth; ++i)
        text += "object B" + QByteArray::number(i) + ": TRpDesignBand\r\n";
    for (int i = 0; i < kDepth; ++i)
        text += "end\r\n";
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
    designer->Select(band);
    designer->Paste();
    EXPECT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(DesignItems::bands(designer->report()).size(), 1);
}

} // namespace

namespace {

TEST_F(DesignerWindow, BandsRotateHideAndReset)
{
    QObject *first = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *second = insert(DesignStates::NewBand, QPoint(100, 200));
    qobject_cast<TRpBand *>(second)->setBandType(Rp::rbDetail);
    designer->refreshSurface();
    ASSERT_EQ(DesignItems::bands(designer->report()),
        (QList<TRpCustomBand *> {
            qobject_cast<TRpCustomBand *>(first), qobject_cast<TRpCustomBand *>(second) }));
    form->action(QStringLiteral("ARotateBands"))->trigger();
    EXPECT_EQ(DesignItems::bands(designer->report()).first(), second);
    form->action(QStringLiteral("AHideBands"))->trigger();
    EXPECT_TRUE(form->action(QStringLiteral("AHideBands"))->isChecked());
    EXPECT_GE(DesignItems::pageRect(first).top(), DesignItems::pageSize(designer->report()).height() - 1);
    form->action(QStringLiteral("AResetBands"))->trigger();
    EXPECT_FALSE(form->action(QStringLiteral("AHideBands"))->isChecked());
    EXPECT_EQ(DesignItems::bands(designer->report()).first(), first);
    EXPECT_EQ(DesignItems::pageRect(first).top(), 38);
}

TEST_F(DesignerWindow, TheSelectorOnTheStatusLineSelects)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QObject *label = insert(DesignStates::NewLabel, on(band));
    designer->ClearSelection();
    const int index = form->ComboSelection->findText(QStringLiteral("Reportlabel1"));
    ASSERT_GE(index, 0);
    emit form->ComboSelection->activated(index);
    EXPECT_EQ(designer->selection(), QList<QObject *> { label });
    EXPECT_EQ(form->ComboSelection->currentText(), QStringLiteral("Reportlabel1"));
}

TEST_F(DesignerWindow, APressWithoutMovingLeavesTheElementWhereItIs)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    // Left 10 is off the grid: a press that did not move must not snap it.
    QObject *memo = insert(DesignStates::NewMemo, on(band, QPoint(10, 5)));
    ASSERT_EQ(DesignItems::itemRect(memo).left(), 10);
    driver->click(on(memo, QPoint(5, 5)));
    driver->drag(on(memo, QPoint(5, 5)), on(memo, QPoint(5, 5)));
    EXPECT_EQ(DesignItems::itemRect(memo).left(), 10);
}

TEST(Ruler, TicksFollowTheUnitAndTheZoom)
{
    TRpRuler ruler;
    ruler.setResolution(96);
    ruler.setPageWidth(200);
    auto count = [&ruler](int length) {
        int n = 0;
        for (const TRpRuler::Tick &tick : ruler.ticks())
            n += tick.length == length ? 1 : 0;
        return n;
    };
    ruler.setZoom(100); // 200 pixels: 52 mm
    EXPECT_EQ(count(TRpRuler::kHeight), 6); // 0, 10, … 50 mm
    EXPECT_EQ(count(TRpRuler::kHeight / 2), 5); // 5, 15, … 45 mm
    EXPECT_GE(count(TRpRuler::kHeight / 4), 42); // the other millimetres
    EXPECT_EQ(ruler.ticks().at(1).x, 4); // 1 mm at 96 dpi
    ruler.setZoom(30);
    EXPECT_EQ(count(TRpRuler::kHeight / 2), 0); // short 5 mm ticks, no millimetres
    ruler.setUnit(Rp::Inches);
    ruler.setZoom(100);
    EXPECT_EQ(count(TRpRuler::kHeight), 3); // 0, 1, 2 inches
    EXPECT_EQ(ruler.ticks().at(1).x, 24);
    ruler.setZoom(25);
    EXPECT_EQ(ruler.ticks().size(), 9); // whole inches only up to 8
    ruler.setUnit(Rp::Characters);
    ruler.setZoom(100);
    ruler.setFontPoints(10);
    ASSERT_GE(ruler.ticks().size(), 2);
    EXPECT_TRUE(ruler.ticks().at(1).dotted);
    EXPECT_EQ(ruler.ticks().at(1).label, QStringLiteral("10"));
}

TEST_F(DesignerWindow, TheScriptIndicatorFollowsTheScript)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    designer->setShowScriptIndicator(true);
    designer->designReport()->setScript({ QStringLiteral("[BAND1.BeforePrint]") });
    EXPECT_TRUE(designer->look().showScriptIndicator);
    EXPECT_TRUE(form->DesignView->look().showScriptIndicator);
    const QImage picture = form->DesignView->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    Q_UNUSED(band);
}

// The darkest grey the script mark added on white in the top right corner of an area of the design view,
// against a picture without it: 0xC0 for the silver mark (anti-aliased text is lighter only at its edges),
// -1 when nothing was added.
int markAdded(const QImage &without, const QImage &with, const QRect &area)
{
    int darkest = -1;
    const QRect corner(area.right() - 20, area.top(), 21, 20);
    for (int y = corner.top(); y <= corner.bottom(); ++y) {
        for (int x = corner.left(); x <= corner.right(); ++x) {
            const QColor c = with.pixelColor(x, y);
            // Only where the mark is drawn on the band's white, not over grid dots.
            if (c == without.pixelColor(x, y) || without.pixelColor(x, y) != QColor(Qt::white))
                continue;
            EXPECT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x << "," << y;
            darkest = darkest < 0 ? c.red() : std::min(darkest, c.red());
        }
    }
    return darkest;
}

TEST_F(DesignerWindow, TheScriptIndicatorMarksTheBandsAndTheReportWithASectionInAnyLetterCase)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    ASSERT_NE(band, nullptr);
    designer->ClearSelection();
    const QRect bandArea = DesignItems::itemRect(band);
    const QRect pageArea(QPoint(0, 0), DesignItems::pageSize(designer->report()));
    auto picture = [&] {
        form->DesignView->update();
        return form->DesignView->grab().toImage();
    };
    designer->setShowScriptIndicator(true);
    const QImage plain = picture();
    designer->designReport()->setScript({ QStringLiteral("  x := 1"),
        u'[' + band->objectName().toUpper() + QStringLiteral(".BeforePrint]") });
    QImage marked = picture();
    EXPECT_NEAR(markAdded(plain, marked, bandArea), 0xC0, 4);
    EXPECT_EQ(markAdded(plain, marked, pageArea), -1);
    designer->designReport()->setScript({ u'[' + designer->report()->objectName().toLower() + u'.' });
    marked = picture();
    EXPECT_EQ(markAdded(plain, marked, bandArea), -1);
    EXPECT_NEAR(markAdded(plain, marked, pageArea), 0xC0, 4);
    designer->setShowScriptIndicator(false);
    EXPECT_EQ(markAdded(plain, picture(), pageArea), -1);
}

TEST_F(DesignerWindow, RenamingTheWizardsLabelBandsKeepsTheirScriptSections)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    ASSERT_NE(band, nullptr);
    const QStringList script { QStringLiteral("[LabelBand.BeforePrint]"),
        QStringLiteral("[RowSpace.BeforePrint]") };
    designer->designReport()->setScript(script);
    ASSERT_TRUE(RenameDesignItem(designer, band, QStringLiteral("LabelBand")));
    ASSERT_TRUE(RenameDesignItem(designer, band, QStringLiteral("Etiquettes")));
    EXPECT_EQ(designer->designReport()->script(), script);
    ASSERT_TRUE(RenameDesignItem(designer, band, QStringLiteral("RowSpace")));
    ASSERT_TRUE(RenameDesignItem(designer, band, QStringLiteral("Espace")));
    EXPECT_EQ(designer->designReport()->script(), script);
}

} // namespace

namespace {

TEST_F(DesignerWindow, PastedTextBecomesALabelOrAMemoInTheTarget)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    designer->ClearSelection();
    designer->Select(band);
    QGuiApplication::clipboard()->setText(QStringLiteral("Total des comptes"));
    designer->Paste();
    ASSERT_EQ(designer->selectedCount(), 1);
    QObject *label = designer->firstSelected();
    EXPECT_STREQ(label->metaObject()->className(), "TRpDesignLabel");
    EXPECT_EQ(label->parent(), band);
    EXPECT_EQ(label->property("Caption").toString(), QStringLiteral("Total des comptes"));
    EXPECT_TRUE(label->property("AutoSize").toBool());
    EXPECT_EQ(DesignItems::itemRect(label).topLeft(), QPoint(0, 0));
    QGuiApplication::clipboard()->setText(QStringLiteral("Ligne 1\r\nLigne 2"));
    designer->Paste();
    QObject *memo = designer->firstSelected();
    EXPECT_STREQ(memo->metaObject()->className(), "TRpDesignMemo");
    EXPECT_EQ(memo->property("Lines").toStringList(),
        (QStringList { QStringLiteral("Ligne 1"), QStringLiteral("Ligne 2") }));
    EXPECT_EQ(memo->parent(), band);
}

TEST_F(DesignerWindow, APastedPictureFitsItsBand)
{
    QObject *band = insert(DesignStates::NewBand, QPoint(100, 100));
    QImage picture(2000, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(picture);
    designer->ClearSelection();
    designer->Select(band);
    designer->Paste();
    ASSERT_EQ(designer->selectedCount(), 1);
    auto *image = qobject_cast<TRpImage *>(designer->firstSelected());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->parent(), band);
    EXPECT_EQ(image->picture()->kind(), QStringLiteral("TBitmap"));
    EXPECT_EQ(DesignItems::itemRect(image).size(), QSize(DesignItems::itemRect(band).width(), 30));
}

} // namespace
