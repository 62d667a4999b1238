#include "DesignerFixture.h"

#include "designer/BlockForm.h"
#include "designer/DesignRuler.h"
#include "designer/FramePropertyForm.h"
#include "designer/LanguageFile.h"
#include "designer/OptionsForm.h"
#include "platform/IniFile.h"
#include "report/files/ReportFile.h"
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
#include <QSpinBox>
#include <QToolButton>

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
    form->ANewExecute();
    EXPECT_TRUE(DesignItems::bands(designer->report()).isEmpty());
    EXPECT_TRUE(designer->fileName().isEmpty());
    EXPECT_FALSE(designer->Modified());
    EXPECT_EQ(form->history().names().first(), path(QStringLiteral("kept.RP2")));
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
