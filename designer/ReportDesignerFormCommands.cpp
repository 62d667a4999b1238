#include "designer/BlockForm.h"
#include "designer/DBSetupForm.h"
#include "designer/DatasetInterfaces.h"
#include "designer/DesignItems.h"
#include "designer/DesignReportExpert.h"
#include "designer/DesignRuler.h"
#include "designer/FramePropertyForm.h"
#include "designer/LanguageFile.h"
#include "designer/OptionsForm.h"
#include "designer/ReportDesignerForm.h"
#include "platform/RegionalSettings.h"
#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/elements/RichTextItems.h"
#include "report/generation/PrintSetup.h"
#include "report/generation/RunReport.h"
#include "store/DataSet.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>

namespace {

constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 1638;

// Positions of the band type list and the types they stand for.
const Rp::TRpBandType kBandTypes[] = { Rp::rbTitle, Rp::rbPageHeader, Rp::rbColumnHeader, Rp::rbDetail,
    Rp::rbGroupHeader, Rp::rbGroupFooter, Rp::rbSummary, Rp::rbPageFooter };
const char *const kBandTypeKeys[] = { "BandTitle", "BandPageheader", "BandColumnheader", "BandDetail",
    "BandGroupheader", "BandGroupfooter", "BandSummary", "BandPagefooter" };
const Rp::TRpShapeType kShapes[] = { Rp::rpsCircle, Rp::rpsHorLine, Rp::rpsRectangle, Rp::rpsRightAndLeft,
    Rp::rpsTopAndBottom, Rp::rpsVertLine };
const char *const kShapeKeys[] = { "ShapeCircle", "ShapeHorizontalLine", "ShapeRectangle",
    "ShapeLeftRightLines", "ShapeTopBottomLines", "ShapeVerticalLine" };
const Rp::TRpSysDataType kSysData[] = { Rp::rpsDate, Rp::rpsTime, Rp::rpsDateTime, Rp::rpsDetailCount,
    Rp::rpsDetailNo, Rp::rpsPageNumber, Rp::rpsReportTitle };
const char *const kSysDataKeys[] = { "SysdataDate", "SysdataTime", "SysdataDateTime", "SysdataDetailcounter",
    "SysdataDetailnumber", "SysdataPagenumber", "SysdataReporttitle" };

ReportFont *fontOf(const QObject *item)
{
    if (!item || item->metaObject()->indexOfProperty("Font") < 0)
        return nullptr;
    return qvariant_cast<ReportFont *>(item->property("Font"));
}

ReportPen *penOf(const QObject *item)
{
    if (!item || item->metaObject()->indexOfProperty("Pen") < 0)
        return nullptr;
    return qvariant_cast<ReportPen *>(item->property("Pen"));
}

// The message key of an item's kind for the type label; kinds derived from others are tested first.
QString kindKey(const QObject *item)
{
    if (!item)
        return QStringLiteral("Report");
    if (qobject_cast<const TRpChildBand *>(item))
        return QStringLiteral("Childband");
    if (qobject_cast<const TRpSubDetail *>(item))
        return QStringLiteral("Subdetailband");
    if (qobject_cast<const TRpGroup *>(item))
        return QStringLiteral("Groupband");
    if (qobject_cast<const TRpCustomBand *>(item))
        return QStringLiteral("Band");
    if (qobject_cast<const TRpExpr *>(item))
        return QStringLiteral("Expression");
    if (qobject_cast<const TRpDBText *>(item))
        return QStringLiteral("Datafield");
    if (qobject_cast<const TRpMemo *>(item))
        return QStringLiteral("Memo");
    if (qobject_cast<const TRpSysData *>(item))
        return QStringLiteral("Systemfield");
    if (qobject_cast<const TRpLabel *>(item))
        return QStringLiteral("Label");
    if (qobject_cast<const TRpDBImage *>(item))
        return QStringLiteral("Image datafield");
    if (qobject_cast<const TRpImage *>(item))
        return QStringLiteral("Image");
    if (qobject_cast<const TRpShape *>(item))
        return QStringLiteral("Shape");
    if (qobject_cast<const TRpDBRichText *>(item))
        return QStringLiteral("Richtext datafield");
    if (qobject_cast<const TRpRichText *>(item))
        return QStringLiteral("Richtext");
    return {};
}

} // namespace

// ---------------------------------------------------------------- caption, enabling, toolbars

void TReportDesignerForm::updateCaption()
{
    setWindowTitle(RpDesigner1->fileName());
}

void TReportDesignerForm::updateEnabling()
{
    const int count = RpDesigner1->selectedCount();
    for (const char *name : { "ACut", "ACopy", "ADelete", "ASendToBack", "ABringToFront",
             "ACenterBandHorizontal", "ACenterBandVertical" })
        action(QString::fromLatin1(name))->setEnabled(count >= 1);
    for (const char *name :
        { "AAlignLeft", "AAlignRight", "AAlignTop", "AAlignBottom", "ACenterHorizontal", "ACenterVertical" })
        action(QString::fromLatin1(name))->setEnabled(count >= 2);
    for (const char *name : { "AEqualHorizontal", "AEqualVertical" })
        action(QString::fromLatin1(name))->setEnabled(count >= 3);
    action(QStringLiteral("APaste"))->setEnabled(RpDesigner1->pasteEnabled());
    const bool undo = RpDesigner1->UndoEnabled;
    action(QStringLiteral("AUndo"))->setVisible(undo);
    action(QStringLiteral("NUndo"))->setVisible(undo);
    for (QToolButton *button : ToolbarPanel->findChildren<QToolButton *>()) {
        if (auto *target = qobject_cast<QAction *>(button->property("commandAction").value<QObject *>()))
            button->setEnabled(target->isEnabled());
    }
    for (QToolButton *button : { SBAlignLeft, SBAlignCenter, SBAlignRight })
        button->setEnabled(count >= 1);
}

QString TReportDesignerForm::unitSuffix() const
{
    const TCustomRpReport *report = RpDesigner1->report();
    const TRpUnit unit = report ? report->units() : Rp::MM;
    const QString key = unit == Rp::Inches ? QStringLiteral("UnitInches")
        : unit == Rp::Characters           ? QStringLiteral("UnitCharacters")
                                           : QStringLiteral("UnitMM");
    return RpDesigner1->RuntimeMessages.text(key);
}

QList<QObject *> TReportDesignerForm::fontTargets() const
{
    QList<QObject *> targets;
    const QList<QObject *> items = RpDesigner1->selection();
    if (items.isEmpty()) {
        if (RpDesigner1->report())
            targets << RpDesigner1->report();
        return targets;
    }
    for (QObject *item : items) {
        if (!RpDesigner1->ElementFlag(item, QStringLiteral("BlockEdit")))
            targets << item;
    }
    return targets;
}

void TReportDesignerForm::updateToolbars()
{
    m_updating = true;
    const QList<QObject *> items = RpDesigner1->selection();
    QObject *single = items.size() == 1 ? items.first() : nullptr;
    const RpMessageTable &messages = RpDesigner1->RuntimeMessages;
    LType->setText(items.size() > 1 ? QString() : messages.text(kindKey(single)));
    EElementText->hide();
    CElementType->hide();
    CElementType->clear();
    if (single) {
        const bool locked = RpDesigner1->ElementFlag(single, QStringLiteral("BlockChange"))
            || RpDesigner1->ElementFlag(single, QStringLiteral("BlockEdit"));
        if (auto *expression = qobject_cast<TRpExpr *>(single)) {
            EElementText->setText(expression->expression());
            EElementText->show();
        } else if (auto *label = qobject_cast<TRpLabel *>(single);
                   label && !qobject_cast<TRpSysData *>(single)) {
            EElementText->setText(label->caption());
            EElementText->show();
        } else if (auto *band = qobject_cast<TRpBand *>(single)) {
            for (const char *key : kBandTypeKeys)
                CElementType->addItem(messages.text(QString::fromLatin1(key)));
            const auto *found = std::find(std::begin(kBandTypes), std::end(kBandTypes), band->bandType());
            CElementType->setCurrentIndex(
                found == std::end(kBandTypes) ? -1 : int(found - std::begin(kBandTypes)));
            CElementType->show();
        } else if (auto *field = qobject_cast<TRpDBText *>(single)) {
            if (const auto *table = qobject_cast<const TDataSet *>(field->dataSet())) {
                for (const auto &column : table->Fields())
                    CElementType->addItem(column->FieldName());
            }
            CElementType->setCurrentIndex(CElementType->findText(field->dataField()));
            CElementType->show();
        } else if (auto *shape = qobject_cast<TRpShape *>(single)) {
            for (const char *key : kShapeKeys)
                CElementType->addItem(messages.text(QString::fromLatin1(key)));
            const auto *found = std::find(std::begin(kShapes), std::end(kShapes), shape->shape());
            CElementType->setCurrentIndex(int(found - std::begin(kShapes)));
            CElementType->show();
        } else if (auto *system = qobject_cast<TRpSysData *>(single)) {
            for (const char *key : kSysDataKeys)
                CElementType->addItem(messages.text(QString::fromLatin1(key)));
            const auto *found = std::find(std::begin(kSysData), std::end(kSysData), system->data());
            CElementType->setCurrentIndex(int(found - std::begin(kSysData)));
            CElementType->show();
        }
        EElementText->setEnabled(!locked);
        CElementType->setEnabled(!locked);
    }
    // The font of the first target; with several, a value shows only when all agree with the first.
    const QList<QObject *> targets = fontTargets();
    const ReportFont *first = targets.isEmpty() ? nullptr : fontOf(targets.first());
    bool sameName = first != nullptr;
    bool sameSize = first != nullptr;
    for (const QObject *target : targets) {
        const ReportFont *font = fontOf(target);
        if (!font || !first)
            continue;
        sameName = sameName && font->name() == first->name();
        sameSize = sameSize && font->size() == first->size();
    }
    int fontIndex = sameName ? ComboFontName->findText(first->name()) : -1;
    // A font the report names but this machine lacks is still shown by its name, in its sorted place.
    if (sameName && fontIndex < 0 && !first->name().isEmpty()) {
        fontIndex = 0;
        while (fontIndex < ComboFontName->count()
            && ComboFontName->itemText(fontIndex).compare(first->name(), Qt::CaseInsensitive) < 0)
            ++fontIndex;
        ComboFontName->insertItem(fontIndex, first->name());
    }
    ComboFontName->setCurrentIndex(fontIndex);
    ComboFontSize->setEditText(sameSize ? QString::number(first->size()) : QString());
    SBBold->setChecked(first && (first->style() & Rp::fsBold));
    SBItalic->setChecked(first && (first->style() & Rp::fsItalic));
    SBUnderline->setChecked(first && (first->style() & Rp::fsUnderline));
    const QVariant alignment = single ? single->property("Alignment") : QVariant();
    const int align = alignment.isValid() ? alignment.toInt() : -1;
    SBAlignLeft->setChecked(align == Rp::taLeftJustify);
    SBAlignCenter->setChecked(align == Rp::taCenter);
    SBAlignRight->setChecked(align == Rp::taRightJustify);
    // The status line: the selector and the position of a single element.
    ComboSelection->setCurrentIndex(single ? ComboSelection->findText(DesignItems::displayName(single)) : -1);
    if (auto *element = qobject_cast<TRpPrintable *>(single)) {
        const QString suffix = unitSuffix();
        const RegionalSettings &regional = RegionalSettings::current();
        LPosition->setText(QStringLiteral("%1 (%2%3)  %4 (%5%6)")
                               .arg(element->left())
                               .arg(regional.formatFixed(element->size()->left(), 2), suffix)
                               .arg(element->top())
                               .arg(regional.formatFixed(element->size()->top(), 2), suffix));
    } else {
        LPosition->clear();
    }
    m_updating = false;
}

void TReportDesignerForm::refillSelector()
{
    m_updating = true;
    ComboSelection->clear();
    for (QObject *item : DesignItems::allItems(RpDesigner1->report()))
        ComboSelection->addItem(DesignItems::displayName(item));
    ComboSelection->setCurrentIndex(-1);
    m_updating = false;
}

void TReportDesignerForm::refillDatafields()
{
    if (!DatafieldList)
        return;
    DatafieldList->Fill(*RpDesigner1);
    // The list is shown only while it has something to drag.
    if (isVisible())
        DatafieldList->setVisible(RpDesigner1->ShowDatafieldListbox && !DatafieldList->isEmpty());
}

void TReportDesignerForm::syncRuler()
{
    const TCustomRpReport *report = RpDesigner1->report();
    if (!report)
        return;
    Ruler->setUnit(report->units());
    Ruler->setZoom(report->zoom());
    Ruler->setResolution(report->resolution());
    Ruler->setFontPoints(report->font()->size());
    Ruler->setPageWidth(DesignItems::pageSize(report).width());
    Ruler->setOffset(DesignView->mapTo(RpDPanel, QPoint(0, 0)).x() - Ruler->x());
}

void TReportDesignerForm::rebuildHistoryMenu()
{
    for (QAction *entry : std::as_const(m_historyActions)) {
        m_fileMenu->removeAction(entry);
        m_actions.remove(entry->objectName());
        entry->deleteLater();
    }
    m_historyActions.clear();
    for (int i = 0; i < m_history.count(); ++i) {
        auto *entry = new QAction(m_history.caption(i), this);
        entry->setObjectName(QStringLiteral("AHistory%1").arg(i + 1));
        connect(entry, &QAction::triggered, this, [this, i] { OpenHistoryEntry(i); });
        m_fileMenu->addAction(entry);
        m_actions.insert(entry->objectName(), entry);
        m_historyActions << entry;
    }
    m_historySeparator->setVisible(!m_historyActions.isEmpty());
}

// ---------------------------------------------------------------- the font and text toolbar

void TReportDesignerForm::fontChanged()
{
    RpDesigner1->refreshSurface();
    updateToolbars();
}

void TReportDesignerForm::ApplyFontName(const QString &name)
{
    if (m_updating || name.isEmpty())
        return;
    RpDesigner1->Modify();
    for (QObject *target : fontTargets()) {
        if (ReportFont *font = fontOf(target))
            font->setName(name);
    }
    fontChanged();
}

bool TReportDesignerForm::ApplyFontSize(const QString &text)
{
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size < kMinFontSize || size > kMaxFontSize) {
        updateToolbars();
        return false;
    }
    RpDesigner1->Modify();
    for (QObject *target : fontTargets()) {
        if (ReportFont *font = fontOf(target))
            font->setSize(size);
    }
    fontChanged();
    return true;
}

void TReportDesignerForm::ApplyFontStyle(int style, bool on)
{
    RpDesigner1->Modify();
    for (QObject *target : fontTargets()) {
        if (ReportFont *font = fontOf(target)) {
            Rp::TFontStyles styles = font->style();
            styles.setFlag(Rp::TFontStyle(style), on);
            font->setStyle(styles);
        }
    }
    fontChanged();
}

void TReportDesignerForm::ApplyFontColor(TColor color)
{
    RpDesigner1->Modify();
    for (QObject *target : fontTargets()) {
        if (ReportFont *font = fontOf(target))
            font->setColor(color);
        else if (ReportPen *pen = penOf(target))
            pen->setColor(color);
    }
    fontChanged();
}

void TReportDesignerForm::ApplyAlignment(int alignment)
{
    const QList<QObject *> items = RpDesigner1->selection();
    if (items.isEmpty())
        return;
    RpDesigner1->Modify();
    for (QObject *item : items) {
        if (!RpDesigner1->ElementFlag(item, QStringLiteral("BlockEdit"))
            && item->metaObject()->indexOfProperty("Alignment") >= 0)
            item->setProperty("Alignment", QVariant::fromValue(Rp::TAlignment(alignment)));
    }
    fontChanged();
}

void TReportDesignerForm::ApplyElementText(const QString &text)
{
    const QList<QObject *> items = RpDesigner1->selection();
    if (m_updating || items.size() != 1)
        return;
    QObject *item = items.first();
    RpDesigner1->Modify();
    if (auto *expression = qobject_cast<TRpExpr *>(item))
        expression->setExpression(text);
    else if (auto *label = qobject_cast<TRpLabel *>(item))
        label->setCaption(text);
    RpDesigner1->refreshSurface();
}

void TReportDesignerForm::ApplyElementType(int index)
{
    const QList<QObject *> items = RpDesigner1->selection();
    if (m_updating || items.size() != 1 || index < 0)
        return;
    QObject *item = items.first();
    RpDesigner1->Modify();
    if (auto *band = qobject_cast<TRpBand *>(item); band && index < int(std::size(kBandTypes)))
        band->setBandType(kBandTypes[index]);
    else if (auto *field = qobject_cast<TRpDBText *>(item))
        field->setDataField(CElementType->itemText(index));
    else if (auto *shape = qobject_cast<TRpShape *>(item); shape && index < int(std::size(kShapes)))
        shape->setShape(kShapes[index]);
    else if (auto *system = qobject_cast<TRpSysData *>(item); system && index < int(std::size(kSysData)))
        system->setData(kSysData[index]);
    RpDesigner1->refreshSurface();
    updateToolbars();
}

// ---------------------------------------------------------------- file commands

bool TReportDesignerForm::AskUnsaved()
{
    if (!RpDesigner1->Modified())
        return true;
    return Dialogs::confirmOkCancel(
        this, RpDesigner1->RuntimeMessages.text(QStringLiteral("Report not saved")));
}

void TReportDesignerForm::ANewExecute()
{
    if (!AskUnsaved())
        return;
    const QString name = RpDesigner1->fileName();
    m_history.add(name);
    rebuildHistoryMenu();
    RpDesigner1->NewReport();
    if (!newWithWizard)
        RpDesigner1->setFileName(QString());
    updateCaption();
    RunWizard();
}

bool TReportDesignerForm::RunWizard()
{
    TRpDesigner *d = RpDesigner1;
    RpReportWizardHost host;
    host.dataSets = wizardDataSets(*d->files(), d->DatasetDisplayLabels);
    host.handedDataSet = newReportDataSet;
    // The label format files lie beside the settings file.
    host.settingsFolder = QFileInfo(m_settingsFile).absolutePath();
    host.languageFile = d->LanguageFile.isEmpty() ? nullptr : LanguageFiles::use(d->LanguageFile, this);
    host.dataSetsEditable = d->AllowDatasetEdit;
    host.interfaceRegistered = !TrpbaseDatasetInterface::registered().isEmpty();
    host.AfterReportComponentCreated = d->AfterReportComponentCreated;
    d->ClearSelection();
    if (!RunReportWizard(*d->files(), this, host))
        return false;
    // The wizard marks the engine itself; the window learns of it through the designer.
    d->files()->setModified(false);
    d->setModified(true);
    d->refreshSurface();
    refillDatafields();
    updateToolbars();
    return true;
}

bool TReportDesignerForm::OpenReportFile(const QString &fileName)
{
    QString error;
    const bool loaded = RpDesigner1->LoadReportFile(fileName, &error);
    updateCaption();
    if (!loaded && !error.isEmpty() && error != oldFormatMessage())
        Dialogs::showError(this, error);
    return loaded;
}

void TReportDesignerForm::AOpenExecute()
{
    if (!AskUnsaved())
        return;
    const QString extension = RpDesigner1->files()->reportFileExtension();
    const QString name = Dialogs::getOpenFileName(
        this, QString(), RpDesigner1->DefaultOpenDir, QStringLiteral("Reports (*%1)").arg(extension));
    if (!name.isEmpty())
        OpenReportFile(name);
}

void TReportDesignerForm::OpenHistoryEntry(int index)
{
    if (index < 0 || index >= m_history.count() || !AskUnsaved())
        return;
    const QString chosen = m_history.names().at(index);
    const QString previous = RpDesigner1->fileName();
    const bool loaded = OpenReportFile(chosen);
    m_history.add(previous);
    // A file that did not load keeps its entry.
    if (loaded)
        m_history.remove(chosen);
    rebuildHistoryMenu();
}

void TReportDesignerForm::reportSaveFailure(const QString &name)
{
    Dialogs::showError(this, QStringLiteral("The report could not be saved to %1.").arg(name));
}

bool TReportDesignerForm::saveAs(const QString &name)
{
    if (!RpDesigner1->SaveReportFile(name)) {
        reportSaveFailure(name);
        return false;
    }
    updateCaption();
    return true;
}

bool TReportDesignerForm::ASaveExecute()
{
    if (RpDesigner1->fileName().isEmpty())
        return ASaveAsExecute();
    return saveAs(RpDesigner1->fileName());
}

bool TReportDesignerForm::ASaveAsExecute()
{
    const QString current = RpDesigner1->fileName();
    const QString folder
        = current.isEmpty() ? RpDesigner1->DefaultSaveDir : QFileInfo(current).absolutePath();
    const QString extension = RpDesigner1->files()->reportFileExtension();
    QString name = Dialogs::getSaveFileName(this, QString(), current.isEmpty() ? folder : current,
        QStringLiteral("Reports (*%1)").arg(extension));
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += extension;
    if (!saveAs(name))
        return false;
    if (current != name) {
        m_history.add(current);
        rebuildHistoryMenu();
    }
    return true;
}

void TReportDesignerForm::APreviewExecute()
{
    // A run that fails ends its output; the user is told why.
    try {
        QString error;
        if (OnPreview) {
            if (!OnPreview(RpDesigner1, error) && !error.isEmpty())
                Dialogs::showError(this, error);
        } else if (TDesignRpReport *report = RpDesigner1->designReport()) {
            ShowPreviewModal(*report);
        }
    } catch (const Exception &failure) {
        Dialogs::showError(this, failure.message());
    }
}

void TReportDesignerForm::APrintExecute()
{
    try {
        QString error;
        if (OnPrint) {
            if (!OnPrint(RpDesigner1, error) && !error.isEmpty())
                Dialogs::showError(this, error);
        } else if (TDesignRpReport *report = RpDesigner1->designReport()) {
            PrintReport(*report);
        }
    } catch (const Exception &failure) {
        Dialogs::showError(this, failure.message());
    }
}

void TReportDesignerForm::APrinterSetupExecute()
{
    if (OnPrinterSetup)
        OnPrinterSetup(RpDesigner1);
    else if (TDesignRpReport *report = RpDesigner1->designReport())
        AskPrintSetup(*report);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    ComboFontName->clear();
    ComboFontName->addItems(families);
    updateToolbars();
}

void TReportDesignerForm::AUndoExecute()
{
    RpDesigner1->Undo();
}

void TReportDesignerForm::AViewOptionsExecute()
{
    if (ShowDesignerOptions(this, RpDesigner1)) {
        syncRuler();
        updateToolbars();
        update();
    }
}

void TReportDesignerForm::AReportOptionsExecute()
{
    RpDesigner1->EditProperties(RpDesigner1->report());
}

void TReportDesignerForm::ADatasetsExecute()
{
    if (OnDatasets)
        OnDatasets(RpDesigner1);
    else
        rpShowDatasetsDialog(*RpDesigner1, this);
    refillDatafields();
}

void TReportDesignerForm::AHelpExecute()
{
    // The window's help file, else the designer's own beside the program; help topics are shown by name.
    QString file = helpFile;
    const QString own = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("RPDUSER.HLP"));
    if (file.isEmpty() && QFileInfo::exists(own))
        file = own;
    Dialogs::showInformation(this,
        file.isEmpty() ? QStringLiteral("Help topic 90001 (no help file)")
                       : QStringLiteral("Help topic 90001 of %1").arg(file));
}

void TReportDesignerForm::AAboutExecute()
{
    Dialogs::showInformation(this, RpDesigner1->RuntimeMessages.text(QStringLiteral("About")));
}

void TReportDesignerForm::ARotateBandsExecute()
{
    if (TCustomRpReport *report = RpDesigner1->report())
        report->setBandRotation(++m_bandRotation);
    RpDesigner1->refreshSurface();
}

void TReportDesignerForm::AHideBandsExecute()
{
    m_bandsHidden = !m_bandsHidden;
    action(QStringLiteral("AHideBands"))->setChecked(m_bandsHidden);
    if (TCustomRpReport *report = RpDesigner1->report())
        report->setBandsHidden(m_bandsHidden);
    RpDesigner1->refreshSurface();
}

void TReportDesignerForm::AResetBandsExecute()
{
    m_bandRotation = 0;
    m_bandsHidden = false;
    action(QStringLiteral("AHideBands"))->setChecked(false);
    if (TCustomRpReport *report = RpDesigner1->report()) {
        report->setBandRotation(0);
        report->setBandsHidden(false);
    }
    RpDesigner1->refreshSurface();
}

void TReportDesignerForm::SetFrameExecute()
{
    ShowFrameDialog(this, RpDesigner1);
}

void TReportDesignerForm::OptionsExecute()
{
    if (ShowBlockOptions(this, RpDesigner1)) {
        refillSelector();
        updateToolbars();
    }
}

// ---------------------------------------------------------------- context menu

QMenu *TReportDesignerForm::buildContextMenu(QObject *item)
{
    TRpDesigner *d = RpDesigner1;
    const RpMessageTable &messages = d->RuntimeMessages;
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const int count = d->selectedCount();
    QPointer<QObject> clicked = item;
    QAction *enabled = menu->addAction(messages.text(QStringLiteral("PopupMenuEnabled")));
    enabled->setCheckable(true);
    const char *switchName = item && item->metaObject()->indexOfProperty("EditorEnabled") >= 0
        ? "EditorEnabled"
        : item && item->metaObject()->indexOfProperty("Enabled") >= 0 ? "Enabled"
                                                                      : nullptr;
    if (count > 1) {
        enabled->setChecked(true);
        enabled->setEnabled(false);
    } else {
        enabled->setChecked(switchName && item->property(switchName).toBool());
        enabled->setEnabled(switchName != nullptr);
    }
    connect(enabled, &QAction::triggered, this, [this, d, clicked, switchName] {
        if (!clicked || !switchName || d->ElementFlag(clicked, QStringLiteral("BlockEdit")))
            return;
        d->Modify();
        clicked->setProperty(switchName, !clicked->property(switchName).toBool());
        d->refreshSurface();
    });
    connect(menu->addAction(messages.text(QStringLiteral("PopupMenuProperties"))), &QAction::triggered, this,
        [this, d, clicked] {
            if (!clicked || d->ElementFlag(clicked, QStringLiteral("BlockEdit")))
                return;
            d->Modify();
            d->EditSelectionProperties();
            if (clicked) {
                d->ClearSelection();
                d->Select(clicked);
            }
        });
    connect(menu->addAction(messages.text(QStringLiteral("PopupMenuOptions"))), &QAction::triggered, this,
        [this] { OptionsExecute(); });
    menu->addSeparator();
    connect(menu->addAction(messages.text(QStringLiteral("PopupMenuBringToFront"))), &QAction::triggered, d,
        [d] { d->BringToFront(); });
    connect(menu->addAction(messages.text(QStringLiteral("PopupMenuSendToBack"))), &QAction::triggered, d,
        [d] { d->SendToBack(); });
    const bool grouped = d->GroupID(item) != 0;
    if (count > 1 || grouped)
        connect(menu->addAction(messages.text(QStringLiteral("PopupMenuGroup"))), &QAction::triggered, d,
            [d] { d->Group(); });
    if (grouped) {
        connect(menu->addAction(messages.text(QStringLiteral("PopupMenuUngroup"))), &QAction::triggered, d,
            [d, clicked] { d->Ungroup(clicked); });
        connect(menu->addAction(messages.text(QStringLiteral("PopupMenuUngroupAll"))), &QAction::triggered, d,
            [d] { d->UngroupAll(); });
    }
    return menu;
}

void TReportDesignerForm::showContextMenu(QObject *item, QPoint globalPos)
{
    // With nothing selected the report's own dialog opens at once.
    if (RpDesigner1->selectedCount() == 0 || item == RpDesigner1->report()) {
        RpDesigner1->EditProperties(RpDesigner1->report());
        return;
    }
    if (m_contextMenu)
        m_contextMenu->close();
    m_contextMenu = buildContextMenu(item);
    m_contextMenu->popup(globalPos);
}

// ---------------------------------------------------------------- closing

void TReportDesignerForm::reject()
{
    close();
}

void TReportDesignerForm::closeEvent(QCloseEvent *event)
{
    if (RpDesigner1->Modified()) {
        const QString question
            = RpDesigner1->RuntimeMessages.format(QStringLiteral("Save report"), RpDesigner1->fileName());
        switch (Dialogs::askYesNoCancel(this, question)) {
        case Dialogs::Answer::Yes:
            ASaveExecute();
            if (RpDesigner1->Modified()) {
                event->ignore();
                return;
            }
            break;
        case Dialogs::Answer::No:
            break;
        default:
            event->ignore();
            return;
        }
    }
    m_history.add(RpDesigner1->fileName());
    rebuildHistoryMenu();
    writeSettings();
    if (DatafieldList)
        DatafieldList->hide();
    event->accept();
    QDialog::done(QDialog::Rejected);
}
