#include "designer/RpDesigner.h"

#include "designer/DataSources.h"
#include "designer/DesignGeometry.h"
#include "designer/DesignItems.h"
#include "report/elements/LabelItems.h"
#include "report/model/NameScope.h"
#include "report/streaming/ReportRegistry.h"
#include "store/DataSet.h"
#include "widgets/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <algorithm>
#include <utility>

namespace {

struct StateKind
{
    int state;
    const char *className;
    const char *nameBase;
};

constexpr StateKind kStateKinds[] = {
    { DesignStates::NewBand, "TRpDesignBand", "BAND" },
    { DesignStates::NewLabel, "TRpDesignLabel", "Reportlabel" },
    { DesignStates::NewDataField, "TRpDesignDBText", "DBText" },
    { DesignStates::NewExpression, "TRpDesignExpr", "Expression" },
    { DesignStates::NewSystemField, "TRpDesignSysdata", "Sysdata" },
    { DesignStates::NewShape, "TRpDesignShape", "Shape" },
    { DesignStates::NewImage, "TRpDesignImage", "Image" },
    { DesignStates::NewImageDataField, "TRpDesignDBImage", "DBImage" },
    { DesignStates::NewMemo, "TRpDesignMemo", "Memo" },
    { DesignStates::NewRichText, "TRpDesignRichtext", "Richtext" },
    { DesignStates::NewRichTextDataField, "TRpDesignDBRichtext", "DBRichtext" },
    { DesignStates::NewSubdetail, "TRpDesignSubdetail", "BAND" },
    { DesignStates::NewGroup, "TRpDesignGroup", "BAND" },
    { DesignStates::NewChildBand, "TRpDesignChildBand", "BAND" },
};

bool isBandState(int state)
{
    return state == DesignStates::NewBand || state == DesignStates::NewSubdetail
        || state == DesignStates::NewGroup || state == DesignStates::NewChildBand;
}

bool isDataState(int state)
{
    return state == DesignStates::NewDataField || state == DesignStates::NewImageDataField
        || state == DesignStates::NewRichTextDataField;
}

// The designer's report file engine: a file of an older format shows its message in the error box.
class DesignerFileEngine : public ReportFileEngine
{
public:
    using ReportFileEngine::ReportFileEngine;

protected:
    void checkFormat(quint16 marker) override
    {
        if (marker > kOldFormatMarker)
            return;
        Dialogs::showError(nullptr, oldFormatMessage());
        throw EReportFileError(oldFormatMessage());
    }
};

bool isPictureField(const TField *field)
{
    return field->DataType() == ftBlob;
}

} // namespace

QString designStateClass(int state)
{
    for (const StateKind &kind : kStateKinds) {
        if (kind.state == state)
            return QString::fromLatin1(kind.className);
    }
    return {};
}

QString designStateNameBase(int state)
{
    for (const StateKind &kind : kStateKinds) {
        if (kind.state == state)
            return QString::fromLatin1(kind.nameBase);
    }
    return {};
}

TRpDesigner::TRpDesigner(QObject *parent)
    : TRuntimeComponentEditor(parent)
    , m_files(std::make_unique<DesignerFileEngine>())
{
    registerDesignClasses();
    setObjectName(QStringLiteral("RpDesigner1"));
    m_files->saveFileName = [this] { return askSaveFileName(); };
    attachReport();
}

TRpDesigner::~TRpDesigner()
{
    setEditing(false);
}

TDesignRpReport *TRpDesigner::designReport() const
{
    return m_files->report();
}

void TRpDesigner::attachReport()
{
    setReport(m_files->report());
    if (m_view)
        m_view->setReport(m_files->report());
    emit reportReplaced();
}

void TRpDesigner::setView(TRpDesignView *view, QWidget *viewport)
{
    m_view = view;
    setSurface(view, viewport);
    view->setEditor(this);
    view->setReport(m_files->report());
    view->look() = m_look;
    updateFrameSettings();
    TRuntimeComponentMover *frame = mover();
    frame->OnControlDoubleClicked = [this](QObject *item) {
        if (!ElementFlag(item, QStringLiteral("BlockEdit")))
            EditSelectionProperties();
    };
    frame->OnEditRequest = [this](QObject *item) { EditProperties(item); };
    frame->OnControlRightClicked
        = [this](QObject *item, QPoint global) { emit contextMenuRequested(item, global); };
    catcher()->OnClick = [this](const TMouseClickCatcher::Click &click) { onClick(click); };
}

void TRpDesigner::onClick(const TMouseClickCatcher::Click &click)
{
    if (m_state != DesignStates::Select && click.button == Qt::LeftButton) {
        InsertAt(click.item, click.pagePoint);
        return;
    }
    if (click.button == Qt::RightButton) {
        emit contextMenuRequested(click.item, click.globalPoint);
        return;
    }
    if (click.item == report() && click.doubleClick)
        EditProperties(report());
}

// ---------------------------------------------------------------- settings

void TRpDesigner::setGridSize(int x, int y)
{
    if (x >= 1)
        m_gridX = x;
    if (y >= 1)
        m_gridY = y;
    m_look.gridX = m_gridX;
    m_look.gridY = m_gridY;
    updateFrameSettings();
}

void TRpDesigner::setKeyboardMove(int x, int y)
{
    if (x >= 1)
        m_keyX = x;
    if (y >= 1)
        m_keyY = y;
    updateFrameSettings();
}

void TRpDesigner::setMinElementSize(int width, int height)
{
    if (width >= 1)
        m_minWidth = width;
    if (height >= 1)
        m_minHeight = height;
    updateFrameSettings();
}

void TRpDesigner::setLook(const DesignLook &look)
{
    m_look = look;
    m_look.gridX = m_gridX;
    m_look.gridY = m_gridY;
    if (m_view) {
        m_view->look() = m_look;
        m_view->update();
    }
}

void TRpDesigner::setShowScriptIndicator(bool value)
{
    DesignLook changed = m_look;
    changed.showScriptIndicator = value;
    setLook(changed);
}

void TRpDesigner::updateFrameSettings()
{
    if (m_view) {
        m_view->look().gridX = m_gridX;
        m_view->look().gridY = m_gridY;
        m_view->update();
    }
    TRuntimeComponentMover *frame = mover();
    if (!frame)
        return;
    frame->GridSizeX = m_gridX;
    frame->GridSizeY = m_gridY;
    frame->KeyboardMoveX = m_keyX;
    frame->KeyboardMoveY = m_keyY;
    frame->MinElementWidth = m_minWidth;
    frame->MinElementHeight = m_minHeight;
}

// ---------------------------------------------------------------- the file

QString TRpDesigner::fileName() const
{
    return m_files->fileName();
}

void TRpDesigner::setFileName(const QString &name)
{
    m_files->setFileName(name);
    emit fileNameChanged(name);
}

bool TRpDesigner::Modified() const
{
    return m_files->modified();
}

void TRpDesigner::setModified(bool value)
{
    if (m_files->modified() == value)
        return;
    m_files->setModified(value);
    emit modifiedChanged(value);
}

bool TRpDesigner::LoadReportFile(const QString &fileName, QString *error)
{
    ClearSelection();
    const bool wasEditing = editing();
    setEditing(false);
    bool loaded = false;
    try {
        m_files->LoadReportFile(fileName);
        loaded = true;
    } catch (const Exception &failure) {
        if (error)
            *error = failure.message();
    }
    setEditing(wasEditing);
    attachReport();
    if (!loaded) {
        setFileName(QString());
        setModified(true);
        return false;
    }
    // New groups take numbers above every group the file holds.
    int highest = 0;
    for (QObject *element : m_files->addons()->elements())
        highest = std::max(highest, GroupID(element));
    setGroupCounter(highest);
    rpOpenReportTables(*this);
    emit datasetsChanged();
    setModified(false);
    emit fileNameChanged(fileName);
    emit designChanged();
    return true;
}

bool TRpDesigner::SaveReportFile(const QString &fileName)
{
    const bool saved = m_files->SaveReportFile(fileName);
    if (saved) {
        emit fileNameChanged(m_files->fileName());
        emit modifiedChanged(false);
    }
    return saved;
}

QString TRpDesigner::askSaveFileName()
{
    const QString extension = m_files->reportFileExtension();
    QString name = Dialogs::getSaveFileName(surface() ? surface()->window() : nullptr, QString(),
        DefaultSaveDir, QStringLiteral("Reports (*%1)").arg(extension));
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += extension;
    return name;
}

void TRpDesigner::NewReport()
{
    ClearSelection();
    const QString name = fileName();
    // A fresh report: what an empty stream of the designer's own would load.
    auto blank = std::make_unique<DesignerFileEngine>(QStringLiteral("BlankReport"));
    QByteArray bytes;
    blank->SaveReportStream(bytes);
    m_files->LoadReportStream(bytes);
    attachReport();
    m_files->setFileName(name);
    setGroupCounter(0);
    setModified(false);
    emit designChanged();
}

// ---------------------------------------------------------------- design state and inserting

void TRpDesigner::setDesignState(int state, bool keep)
{
    m_state = state;
    m_keepState = keep && state != DesignStates::Select;
    const bool inserting = state != DesignStates::Select;
    if (mover())
        mover()->ForwardMouseEvents = inserting;
    if (catcher())
        catcher()->ForwardMouseEvents = inserting;
    if (m_view) {
        if (inserting)
            m_view->setCursor(AddCursor);
        else
            m_view->unsetCursor();
    }
    emit designStateChanged(state);
}

QList<QObject *> TRpDesigner::availableDatasets() const
{
    QList<QObject *> result;
    for (TDataSet *dataSet : rpAvailableDataSets(*this))
        result << dataSet;
    return result;
}

QObject *TRpDesigner::createElement(int state, QObject *container, QPoint point)
{
    QObject *created = reportClasses().create(designStateClass(state), container);
    if (!created)
        return nullptr;
    NameNew(created, designStateNameBase(state));
    if (state == DesignStates::NewLabel)
        created->setProperty("Caption", QStringLiteral("ReportLabel"));
    QRect r = DesignItems::itemRect(created);
    r.moveTopLeft(point);
    const QSize area = DesignItems::parentArea(created);
    const int below = std::max(1, area.height() - point.y());
    switch (state) {
    case DesignStates::NewSystemField:
        r.setSize(QSize(60, 20));
        break;
    case DesignStates::NewImage:
    case DesignStates::NewImageDataField:
        r.setSize(QSize(60, 60));
        break;
    case DesignStates::NewMemo:
        r.setSize(QSize(150, 40));
        created->setProperty("AutoSize", false);
        break;
    case DesignStates::NewShape:
        r.setHeight(std::min(r.height(), below));
        break;
    case DesignStates::NewRichTextDataField:
        r.setHeight(std::min({ r.height(), below, 50 }));
        break;
    default:
        break;
    }
    if (isDataState(state)) {
        const QList<QObject *> datasets = availableDatasets();
        created->setProperty("DataSet", QVariant::fromValue<QObject *>(datasets.value(0)));
    }
    // Labels, expressions and data fields size themselves: they start at the size of their text.
    auto *label = qobject_cast<TRpCustomLabel *>(created);
    if (label && label->autoSize()
        && (state == DesignStates::NewLabel || state == DesignStates::NewExpression
            || state == DesignStates::NewDataField)) {
        const QFontMetrics metrics(TRpDesignView::screenFont(*label->font(), zoom(), label->resolution()));
        r.setSize(QSize(metrics.horizontalAdvance(label->designText()) + 4, metrics.height() + 2));
    }
    DesignItems::setItemRect(created, r);
    return created;
}

QObject *TRpDesigner::InsertAt(QObject *hit, QPoint pagePoint)
{
    const int state = m_state;
    TCustomRpReport *owner = report();
    if (!owner || !hit || designStateClass(state).isEmpty()) {
        if (!m_keepState)
            setDesignState(DesignStates::Select);
        return nullptr;
    }
    QObject *created = nullptr;
    const bool band = isBandState(state);
    if (band) {
        Modify();
        ClearSelection();
        created = reportClasses().create(designStateClass(state), owner);
        if (created) {
            NameNew(created, designStateNameBase(state));
            owner->arrangeBands();
        }
    } else {
        QObject *container = DesignItems::isBand(hit) || hit == owner ? hit : hit->parent();
        if (isDataState(state) && availableDatasets().isEmpty()) {
            Dialogs::showError(surface() ? surface()->window() : nullptr,
                RuntimeMessages.text(QStringLiteral("No databases available")));
            if (!m_keepState)
                setDesignState(DesignStates::Select);
            return nullptr;
        }
        const QPoint origin
            = DesignItems::isBand(container) ? DesignItems::itemRect(container).topLeft() : QPoint();
        Modify();
        ClearSelection();
        created = createElement(state, container, pagePoint - origin);
    }
    if (created) {
        if (AfterReportComponentCreated)
            AfterReportComponentCreated(created);
        if (AutoEditAfterInsert && EditProperties(created) == EditResult::Cancelled) {
            std::unique_ptr<QObject> gone(created);
            created = nullptr;
        } else {
            Select(created);
            if (mover() && mover()->isVisible())
                mover()->setFocus();
        }
    }
    if (!m_keepState)
        setDesignState(DesignStates::Select);
    afterCommand();
    return created;
}

QObject *TRpDesigner::DropDataField(QPoint pagePoint, QObject *dataset, const QString &field)
{
    TCustomRpReport *owner = report();
    if (!owner || !dataset)
        return nullptr;
    QObject *hit = DesignItems::hitTest(owner, pagePoint);
    if (!hit)
        return nullptr;
    QObject *container = DesignItems::isBand(hit) ? hit
        : DesignItems::isElement(hit)             ? hit->parent()
                                                  : nullptr;
    if (!container) {
        // Dropped on the page itself: the place is taken relative to the first selected band or element.
        QObject *first = firstSelected();
        container = DesignItems::isBand(first) ? first
            : first                            ? first->parent()
                                               : static_cast<QObject *>(owner);
    }
    const QPoint origin
        = DesignItems::isBand(container) ? DesignItems::itemRect(container).topLeft() : QPoint();
    bool picture = false;
    QString caption = field;
    if (auto *table = qobject_cast<TDataSet *>(dataset)) {
        if (const TField *found = table->LookupField(field)) {
            picture = isPictureField(found);
            caption = found->DisplayName();
        }
    }
    Modify();
    QObject *created = reportClasses().create(
        picture ? QStringLiteral("TRpDesignDBImage") : QStringLiteral("TRpDesignDBText"), container);
    if (!created)
        return nullptr;
    NameNew(created, picture ? QStringLiteral("DBImage") : QStringLiteral("DBText"));
    created->setProperty("DataSet", QVariant::fromValue<QObject *>(dataset));
    created->setProperty("DataField", field);
    if (created->metaObject()->indexOfProperty("Caption") >= 0)
        created->setProperty("Caption", caption);
    if (created->metaObject()->indexOfProperty("AutoSize") >= 0)
        created->setProperty("AutoSize", true);
    DesignItems::setItemRect(created, QRect(pagePoint - origin, QSize(60, 20)));
    if (AfterReportComponentCreated)
        AfterReportComponentCreated(created);
    ClearSelection();
    Select(created);
    afterCommand();
    return created;
}

EditResult TRpDesigner::EditProperties(QObject *item)
{
    if (!item || !OnEditProperties)
        return EditResult::NoDialog;
    const EditResult result = OnEditProperties(this, item);
    if (result == EditResult::Accepted) {
        Modify();
        afterCommand();
    }
    return result;
}

EditResult TRpDesigner::EditSelectionProperties()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return EditResult::NoDialog;
    if (items.size() == 1)
        return EditProperties(items.first());
    if (OnEditSeveral && OnEditSeveral(this)) {
        Modify();
        afterCommand();
    }
    return EditResult::Accepted;
}

// ---------------------------------------------------------------- zoom

int TRpDesigner::zoom() const
{
    return report() ? report()->zoom() : 100;
}

void TRpDesigner::refreshSurface()
{
    if (TCustomRpReport *owner = report())
        owner->arrangeBands();
    if (m_view)
        m_view->updateSize();
    afterCommand();
}

void TRpDesigner::ZoomDefault()
{
    if (report())
        report()->setZoom(100);
    refreshSurface();
}

void TRpDesigner::ZoomIncrease()
{
    if (report())
        report()->setZoom(DesignGeometry::zoomIncreased(zoom()));
    refreshSurface();
}

void TRpDesigner::ZoomDecrease()
{
    if (report())
        report()->setZoom(DesignGeometry::zoomDecreased(zoom()));
    refreshSurface();
}

// ---------------------------------------------------------------- flags, groups, snapshots, paste

bool TRpDesigner::ElementFlag(const QObject *item, const QString &name) const
{
    return item && m_files->addons()->flag(item, name);
}

void TRpDesigner::SetElementFlag(QObject *item, const QString &name, bool value)
{
    if (item)
        m_files->addons()->setFlag(item, name, value);
}

int TRpDesigner::GroupID(const QObject *item) const
{
    return item ? m_files->addons()->number(item, QStringLiteral("GroupID")) : 0;
}

void TRpDesigner::SetGroupID(QObject *item, int group)
{
    if (item)
        m_files->addons()->setNumber(item, QStringLiteral("GroupID"), group);
}

QByteArray TRpDesigner::TakeSnapshot() const
{
    // The whole design: report, data module and addon list with every lock flag and group.
    const auto hook = std::exchange(m_files->OnSaveReport, nullptr);
    const bool modified = m_files->modified();
    QByteArray bytes;
    m_files->SaveReportStream(bytes);
    m_files->setModified(modified);
    m_files->OnSaveReport = hook;
    return bytes;
}

void TRpDesigner::RestoreSnapshot(const QByteArray &snapshot)
{
    const QString name = m_files->fileName();
    const int counter = groupCounter();
    try {
        m_files->LoadReportStream(snapshot);
    } catch (const Exception &error) {
        showError(error.message());
    }
    attachReport();
    m_files->setFileName(name);
    setGroupCounter(counter);
}

void TRpDesigner::ReadPastedBlock(
    const QByteArray &text, qsizetype &position, const StreamObject &, qsizetype, QObject *object)
{
    // Through the report file's reader, so that references to datasets resolve as they do in a file.
    position = m_files->ReadComponentBlock(text, position, object);
}
