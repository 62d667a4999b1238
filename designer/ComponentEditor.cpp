#include "designer/ComponentEditor.h"

#include "designer/DesignItems.h"
#include "report/elements/DrawItems.h"
#include "report/model/NameScope.h"
#include "report/model/Report.h"
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"
#include "widgets/Dialogs.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QtEndian>
#include <algorithm>
#include <memory>

namespace {

// Clipboard text beyond this is not a design; it is refused before any parsing.
constexpr qsizetype kMaxClipboardText = 64 * 1024 * 1024;

bool hasPublished(const QObject *object, const char *name)
{
    return object->metaObject()->indexOfProperty(name) >= 0;
}

} // namespace

TRuntimeComponentEditor::TRuntimeComponentEditor(QObject *parent)
    : QObject(parent)
{ }

TRuntimeComponentEditor::~TRuntimeComponentEditor()
{
    if (m_catcher)
        m_catcher->setEnabled(false);
    // The frame may outlive the editor on its page: it must not call back into it.
    if (m_mover) {
        m_mover->flagOf = nullptr;
        m_mover->groupOf = nullptr;
        m_mover->BeforeResize = nullptr;
        m_mover->OnResize = nullptr;
        m_mover->OnSelectionChanged = nullptr;
        m_mover->OnKeyDown = nullptr;
        m_mover->OnControlDoubleClicked = nullptr;
        m_mover->OnControlRightClicked = nullptr;
        m_mover->OnEditRequest = nullptr;
    }
}

void TRuntimeComponentEditor::setSurface(QWidget *page, QWidget *viewport)
{
    m_page = page;
    m_mover = new TRuntimeComponentMover(page);
    m_mover->setReport(m_report);
    m_mover->flagOf = [this](const QObject *item, const QString &name) { return ElementFlag(item, name); };
    m_mover->groupOf = [this](const QObject *item) { return GroupID(item); };
    m_mover->BeforeResize = [this] { Modify(); };
    m_mover->OnResize = [this] { emit designChanged(); };
    m_mover->OnSelectionChanged = [this](QObject *) { emit selectionChanged(); };
    m_mover->OnKeyDown = [this](QKeyEvent *event) {
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        switch (event->key()) {
        case Qt::Key_Delete:
            Delete();
            return true;
        case Qt::Key_C:
            if (!ctrl)
                return false;
            Copy();
            return true;
        case Qt::Key_X:
            if (!ctrl)
                return false;
            Cut();
            return true;
        case Qt::Key_V:
            if (!ctrl)
                return false;
            Paste();
            return true;
        case Qt::Key_Insert:
            if (ctrl)
                Copy();
            else if (shift)
                Paste();
            else
                return false;
            return true;
        default:
            return false;
        }
    };
    m_catcher = new TMouseClickCatcher(m_mover, this);
    m_catcher->setParentControl(page);
    m_catcher->setBoundsRectControl(viewport);
    m_catcher->setReport(m_report);
    m_catcher->OnMultiSelect = [this](const QList<QObject *> &items) { SelectList(items); };
    m_catcher->setEnabled(m_editing);
}

void TRuntimeComponentEditor::setReport(TCustomRpReport *report)
{
    m_report = report;
    if (m_mover)
        m_mover->setReport(report);
    if (m_catcher)
        m_catcher->setReport(report);
}

void TRuntimeComponentEditor::setEditing(bool value)
{
    m_editing = value;
    if (m_catcher)
        m_catcher->setEnabled(value);
    if (!value && m_mover)
        m_mover->Clear();
}

QList<QObject *> TRuntimeComponentEditor::selection() const
{
    return m_mover ? m_mover->selection() : QList<QObject *>();
}

int TRuntimeComponentEditor::selectedCount() const
{
    return m_mover ? m_mover->count() : 0;
}

QObject *TRuntimeComponentEditor::firstSelected() const
{
    return m_mover ? m_mover->first() : nullptr;
}

void TRuntimeComponentEditor::Select(QObject *item)
{
    if (m_mover)
        m_mover->Add(item);
}

void TRuntimeComponentEditor::SelectList(const QList<QObject *> &items)
{
    if (m_mover)
        m_mover->SelectList(items);
}

void TRuntimeComponentEditor::ClearSelection()
{
    if (m_mover)
        m_mover->Clear();
}

// ---------------------------------------------------------------- flags and modification

bool TRuntimeComponentEditor::ElementFlag(const QObject *, const QString &) const
{
    return false;
}

void TRuntimeComponentEditor::SetElementFlag(QObject *, const QString &, bool) { }

int TRuntimeComponentEditor::GroupID(const QObject *) const
{
    return 0;
}

void TRuntimeComponentEditor::SetGroupID(QObject *, int) { }

void TRuntimeComponentEditor::setModified(bool value)
{
    if (m_modified == value)
        return;
    m_modified = value;
    emit modifiedChanged(value);
}

void TRuntimeComponentEditor::Modify()
{
    if (UndoEnabled && m_report) {
        m_undo.push_back(TakeSnapshot());
        while (int(m_undo.size()) > std::max(0, UndoLevels))
            m_undo.pop_front();
        m_undone.clear();
    }
    setModified(true);
}

bool TRuntimeComponentEditor::Undo()
{
    if (!m_editing || m_undo.empty() || !m_report)
        return false;
    ClearSelection();
    m_undone.push_back(TakeSnapshot());
    const QByteArray snapshot = m_undo.back();
    m_undo.pop_back();
    RestoreSnapshot(snapshot);
    setModified(true);
    emit designChanged();
    return true;
}

QByteArray TRuntimeComponentEditor::TakeSnapshot() const
{
    return m_report ? writeComponentText(m_report) : QByteArray();
}

void TRuntimeComponentEditor::RestoreSnapshot(const QByteArray &snapshot)
{
    if (!m_report)
        return;
    const QList<QObject *> owned = m_report->children();
    for (QObject *child : owned) {
        if (DesignItems::isDesignItem(child))
            std::unique_ptr<QObject> doomed(child);
    }
    streamToObject(readObjectBlock(snapshot), m_report);
}

void TRuntimeComponentEditor::setPasteEnabled(bool value)
{
    if (m_pasteEnabled == value)
        return;
    m_pasteEnabled = value;
    emit pasteEnabledChanged(value);
}

void TRuntimeComponentEditor::afterCommand()
{
    if (m_mover)
        m_mover->UpdateFrame();
    if (m_page)
        m_page->update();
    emit designChanged();
}

void TRuntimeComponentEditor::showError(const QString &message) const
{
    Dialogs::showError(m_page ? m_page->window() : nullptr, message);
}

// ---------------------------------------------------------------- alignment

void TRuntimeComponentEditor::alignEach(
    const std::function<QPoint(const QRect &first, const QRect &own)> &place)
{
    const QList<QObject *> items = selection();
    if (items.size() < 2)
        return;
    Modify();
    const QRect first = DesignItems::itemRect(items.first());
    for (qsizetype i = 1; i < items.size(); ++i) {
        QObject *item = items.at(i);
        if (ElementFlag(item, QStringLiteral("BlockMove")) || DesignItems::isBand(item))
            continue;
        QRect own = DesignItems::itemRect(item);
        own.moveTopLeft(place(first, own));
        DesignItems::setItemRect(item, own);
    }
    afterCommand();
}

void TRuntimeComponentEditor::AlignLeft()
{
    alignEach([](const QRect &first, const QRect &own) { return QPoint(first.left(), own.top()); });
}

void TRuntimeComponentEditor::AlignRight()
{
    alignEach([](const QRect &first, const QRect &own) {
        return QPoint(first.left() + first.width() - own.width(), own.top());
    });
}

void TRuntimeComponentEditor::AlignTop()
{
    alignEach([](const QRect &first, const QRect &own) { return QPoint(own.left(), first.top()); });
}

void TRuntimeComponentEditor::AlignBottom()
{
    alignEach([](const QRect &first, const QRect &own) {
        return QPoint(own.left(), first.top() + first.height() - own.height());
    });
}

void TRuntimeComponentEditor::CenterHorizontally()
{
    alignEach([](const QRect &first, const QRect &own) {
        return QPoint(first.left() + first.width() / 2 - own.width() / 2, own.top());
    });
}

void TRuntimeComponentEditor::CenterVertically()
{
    alignEach([](const QRect &first, const QRect &own) {
        return QPoint(own.left(), first.top() + first.height() / 2 - own.height() / 2);
    });
}

void TRuntimeComponentEditor::CenterOnBandHorizontally()
{
    if (selectedCount() < 1)
        return;
    Modify();
    m_mover->UpdateFrame();
    QRect frame = m_mover->frameRect();
    const QSize area = DesignItems::parentArea(firstSelected());
    frame.moveLeft(qRound((area.width() - frame.width()) / 2.0));
    m_mover->ApplyFrameRect(frame);
    afterCommand();
}

void TRuntimeComponentEditor::CenterOnBandVertically()
{
    if (selectedCount() < 1)
        return;
    Modify();
    m_mover->UpdateFrame();
    QRect frame = m_mover->frameRect();
    const QSize area = DesignItems::parentArea(firstSelected());
    frame.moveTop(area.height() / 2 - frame.height() / 2);
    m_mover->ApplyFrameRect(frame);
    afterCommand();
}

void TRuntimeComponentEditor::EqualSpaceHorizontally()
{
    equalSpace(Qt::Horizontal);
}

void TRuntimeComponentEditor::EqualSpaceVertically()
{
    equalSpace(Qt::Vertical);
}

void TRuntimeComponentEditor::equalSpace(Qt::Orientation direction)
{
    const QList<QObject *> items = selection();
    if (items.size() < 3)
        return;
    Modify();
    const bool across = direction == Qt::Horizontal;
    QList<int> edges;
    for (const QObject *item : items) {
        const QRect r = DesignItems::itemRect(item);
        edges << (across ? r.left() : r.top());
    }
    const QList<int> placed = DesignGeometry::equalSpacing(edges);
    for (qsizetype i = 0; i < items.size(); ++i) {
        QObject *item = items.at(i);
        if (ElementFlag(item, QStringLiteral("BlockMove")) || DesignItems::isBand(item))
            continue;
        QRect r = DesignItems::itemRect(item);
        if (across)
            r.moveLeft(placed.at(i));
        else
            r.moveTop(placed.at(i));
        DesignItems::setItemRect(item, r);
    }
    afterCommand();
}

// ---------------------------------------------------------------- z-order and groups

void TRuntimeComponentEditor::zOrder(bool front)
{
    const QList<QObject *> items = selection();
    if (items.isEmpty() || !m_mover || m_mover->Locked)
        return;
    Modify();
    for (QObject *item : items) {
        // Bands keep their place: their order on the page comes from the band layout.
        QObject *parent = item->parent();
        if (!DesignItems::isElement(item) || !parent)
            continue;
        // An object becomes the last child of its parent when it is given that parent again.
        QList<QObject *> order;
        if (front) {
            order << item;
        } else {
            for (QObject *sibling : DesignItems::elementsOn(parent)) {
                if (sibling != item)
                    order << sibling;
            }
        }
        for (QObject *moved : std::as_const(order)) {
            moved->setParent(nullptr);
            moved->setParent(parent);
        }
    }
    afterCommand();
    m_mover->raise();
    m_mover->setFocus();
}

void TRuntimeComponentEditor::BringToFront()
{
    zOrder(true);
}

void TRuntimeComponentEditor::SendToBack()
{
    zOrder(false);
}

void TRuntimeComponentEditor::Group()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    Modify();
    ++m_groupCounter;
    for (QObject *item : items)
        SetGroupID(item, m_groupCounter);
    afterCommand();
}

void TRuntimeComponentEditor::Ungroup(QObject *item)
{
    if (!item)
        return;
    Modify();
    SetGroupID(item, 0);
    if (m_mover)
        m_mover->Remove(item);
    afterCommand();
}

void TRuntimeComponentEditor::UngroupAll()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    Modify();
    for (QObject *item : items)
        SetGroupID(item, 0);
    ClearSelection();
    afterCommand();
}

// ---------------------------------------------------------------- delete

void TRuntimeComponentEditor::Delete()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    if (!OnDeleteElement && DesignItems::isBand(items.first())) {
        QWidget *window = m_page ? m_page->window() : nullptr;
        if (items.size() == 1) {
            if (ElementFlag(items.first(), QStringLiteral("BlockDelete")))
                return;
            if (!Dialogs::confirmOkCancel(window, RuntimeMessages.text(QStringLiteral("Delete band"))))
                return;
        } else if (!Dialogs::confirmOkCancel(
                       window, RuntimeMessages.text(QStringLiteral("Delete selected bands")))) {
            return;
        }
    }
    Modify();
    deleteItems(items);
    ClearSelection();
    afterCommand();
}

void TRuntimeComponentEditor::deleteItems(const QList<QObject *> &items)
{
    QList<QPointer<QObject>> doomed;
    for (QObject *item : items)
        doomed << item;
    for (const QPointer<QObject> &item : doomed) {
        // An item may already be gone with a band deleted before it.
        if (!item || ElementFlag(item, QStringLiteral("BlockDelete")))
            continue;
        if (OnDeleteElement && !OnDeleteElement(item))
            continue;
        // Every link to a band or element lives in a guarded pointer: destroying it clears them all.
        std::unique_ptr<QObject> gone(item.data());
    }
}

// ---------------------------------------------------------------- clipboard

void TRuntimeComponentEditor::Copy()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    if (OnBeforeCopyToClipboard && !OnBeforeCopyToClipboard())
        return;
    QByteArray text;
    for (const QObject *item : items)
        text += writeObjectText(objectToStream(item));
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
    setPasteEnabled(true);
}

void TRuntimeComponentEditor::Cut()
{
    const QList<QObject *> items = selection();
    if (items.isEmpty())
        return;
    if (OnBeforeCopyToClipboard && !OnBeforeCopyToClipboard())
        return;
    Copy();
    Modify();
    deleteItems(items);
    ClearSelection();
    afterCommand();
}

QObject *TRuntimeComponentEditor::pasteTarget() const
{
    QObject *first = firstSelected();
    if (DesignItems::isBand(first))
        return first;
    if (first && DesignItems::isBand(first->parent()))
        return first->parent();
    return m_report;
}

void TRuntimeComponentEditor::Paste()
{
    if (!m_report)
        return;
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    QObject *target = pasteTarget();
    if (data && data->hasText()) {
        const QString text = clipboard->text();
        if (text.startsWith(QLatin1String("object"), Qt::CaseInsensitive)) {
            Modify();
            ClearSelection();
            try {
                pasteObjects(text.toLatin1(), target);
            } catch (const Exception &error) {
                showError(error.message());
            }
        } else if (!text.isEmpty()) {
            pasteText(text, target);
        }
        afterCommand();
        return;
    }
    if (data && data->hasImage()) {
        pasteImage(qvariant_cast<QImage>(data->imageData()), target);
        afterCommand();
    }
}

void TRuntimeComponentEditor::pasteObjects(const QByteArray &text, QObject *target)
{
    if (text.size() > kMaxClipboardText)
        throw EStreamError(QStringLiteral("The clipboard holds more than a design can hold"));
    qsizetype position = 0;
    while (position < text.size()) {
        // Blank lines between blocks, and after the last one, are no blocks.
        while (position < text.size() && QChar::isSpace(uchar(text.at(position))))
            ++position;
        if (position >= text.size())
            break;
        QObject *pasted = PasteBlock(text, position, target);
        if (pasted && m_mover)
            m_mover->Add(pasted);
    }
}

QObject *TRuntimeComponentEditor::PasteBlock(const QByteArray &text, qsizetype &position, QObject *target)
{
    qsizetype length = 0;
    const StreamObject block = readObjectBlock(
        QByteArray::fromRawData(text.constData() + position, text.size() - position), &length);
    if (length <= 0)
        throw EStreamError(QStringLiteral("The clipboard holds an empty block"));
    std::unique_ptr<QObject> probe(reportClasses().create(block.className, nullptr));
    const bool band = DesignItems::isBand(probe.get());
    const bool element = DesignItems::isElement(probe.get());
    probe.reset();
    // Bands belong on the report and elements in a band; any other kind (a report, a data module, a
    // dataset) has no place in the design.
    QObject *parent = band            ? static_cast<QObject *>(m_report.data())
        : DesignItems::isBand(target) ? target
                                      : nullptr;
    if ((!band && !element) || !parent)
        throw EStreamError(
            QStringLiteral("An object of class %1 cannot be pasted here").arg(block.className));
    // Made in place, so that it takes the report's unit, zoom and fonts like any new object.
    QObject *created = reportClasses().create(block.className, parent);
    const NameScope scope(nameScopeRoot(parent));
    std::unique_ptr<QObject> guard(created);
    ReadPastedBlock(text, position, block, length, created);
    created = guard.release();
    if (!created->objectName().isEmpty() && !scope.isFree(created->objectName()))
        created->setObjectName(QString());
    if (element) {
        const QSize area = DesignItems::itemRect(parent).size();
        QRect r = DesignItems::itemRect(created);
        if (r.top() > area.height() + 3) {
            r.moveTop(std::max(0, area.height() - r.height()));
            DesignItems::setItemRect(created, r);
        }
    }
    return created;
}

void TRuntimeComponentEditor::ReadPastedBlock(
    const QByteArray &, qsizetype &position, const StreamObject &block, qsizetype length, QObject *object)
{
    streamToObject(block, object);
    position += length;
}

void TRuntimeComponentEditor::NameNew(QObject *item, const QString &base) const
{
    NameScope scope(nameScopeRoot(item));
    item->setObjectName(scope.numbered(base));
}

void TRuntimeComponentEditor::pasteText(const QString &text, QObject *target)
{
    Modify();
    ClearSelection();
    const bool lines = text.contains(u'\n') || text.contains(u'\r');
    QObject *created = reportClasses().create(
        lines ? QStringLiteral("TRpDesignMemo") : QStringLiteral("TRpDesignLabel"), target);
    if (!created)
        return;
    NameNew(created, lines ? QStringLiteral("Memo") : QStringLiteral("Reportlabel"));
    if (lines) {
        QString unified = text;
        unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        created->setProperty("Lines", unified.split(u'\n'));
    } else {
        created->setProperty("Caption", text);
        if (hasPublished(created, "AutoSize"))
            created->setProperty("AutoSize", true);
    }
    if (AfterReportComponentCreated)
        AfterReportComponentCreated(created);
    Select(created);
}

void TRuntimeComponentEditor::pasteImage(const QImage &image, QObject *target)
{
    if (image.isNull())
        return;
    auto *created
        = qobject_cast<TRpImage *>(reportClasses().create(QStringLiteral("TRpDesignImage"), target));
    if (!created)
        return;
    Modify();
    ClearSelection();
    NameNew(created, QStringLiteral("Image"));
    created->picture()->setGraphic(QStringLiteral("TBitmap"), bitmapGraphicData(image));
    const QSize area
        = target == m_report ? DesignItems::pageSize(m_report) : DesignItems::itemRect(target).size();
    const QSize size(std::min(image.width(), area.width()), std::min(image.height(), area.height()));
    DesignItems::setItemRect(created, QRect(QPoint(0, 0), size));
    if (AfterReportComponentCreated)
        AfterReportComponentCreated(created);
    Select(created);
}

QByteArray bitmapGraphicData(const QImage &image)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(quint32(bmp.size()), data.data());
    return data + bmp;
}
