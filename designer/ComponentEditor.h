#pragma once

#include "designer/ClickCatcher.h"
#include "designer/ComponentMover.h"
#include "designer/RuntimeMessages.h"
#include "report/notation/StreamTree.h"

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>

class QImage;
class QWidget;
#include "report/model/Report.h"

// The editing engine under the designer: it owns the selection frame and the click catcher, and provides
// selection access, alignment and spacing, z-order, element groups, the clipboard, deletion, the modified
// flag and the undo snapshots. What a report file adds (lock flags, groups, snapshots of the whole design)
// comes from the derived designer through the virtual functions below.
class TRuntimeComponentEditor : public QObject
{
    Q_OBJECT

public:
    explicit TRuntimeComponentEditor(QObject *parent = nullptr);
    ~TRuntimeComponentEditor() override;

    // The page widget the report is drawn on and the viewport of the scroll box around it.
    void setSurface(QWidget *page, QWidget *viewport);
    QWidget *surface() const { return m_page; }
    TRuntimeComponentMover *mover() const { return m_mover; }
    TMouseClickCatcher *catcher() const { return m_catcher; }

    TCustomRpReport *report() const { return m_report; }
    void setReport(TCustomRpReport *report);

    // Editing on: the click catcher watches presses and the frame is attached to the report.
    bool editing() const { return m_editing; }
    void setEditing(bool value);

    RpMessageTable RuntimeMessages = RpMessageTable::designerDefaults();

    // Selection.
    QList<QObject *> selection() const;
    int selectedCount() const;
    QObject *firstSelected() const;
    void Select(QObject *item);
    void SelectList(const QList<QObject *> &items);
    void ClearSelection();

    // Commands on the selection (each first sets the modified flag).
    void AlignLeft();
    void AlignRight();
    void AlignTop();
    void AlignBottom();
    void CenterHorizontally();
    void CenterVertically();
    void CenterOnBandHorizontally();
    void CenterOnBandVertically();
    void EqualSpaceHorizontally();
    void EqualSpaceVertically();
    void BringToFront();
    void SendToBack();
    void Group();
    void Ungroup(QObject *item);
    void UngroupAll();
    void Copy();
    void Cut();
    void Paste();
    void Delete();

    // Element flags and groups; the plain editor has none.
    virtual bool ElementFlag(const QObject *item, const QString &name) const;
    virtual void SetElementFlag(QObject *item, const QString &name, bool value);
    virtual int GroupID(const QObject *item) const;
    virtual void SetGroupID(QObject *item, int group);
    int groupCounter() const { return m_groupCounter; }
    void setGroupCounter(int value) { m_groupCounter = value; }

    // The modified flag. Modify() sets it, taking an undo snapshot first while undo is on.
    virtual bool Modified() const { return m_modified; }
    virtual void setModified(bool value);
    void Modify();

    bool UndoEnabled = true;
    int UndoLevels = 3;
    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_undone.size()); }
    // Restores the newest snapshot; false when there is none or editing is off.
    bool Undo();
    bool pasteEnabled() const { return m_pasteEnabled; }
    void setPasteEnabled(bool value);

    // Hooks: may refuse deleting one item, or copying; told of every element the user creates.
    std::function<bool(QObject *item)> OnDeleteElement;
    std::function<bool()> OnBeforeCopyToClipboard;
    std::function<void(QObject *element)> AfterReportComponentCreated;

signals:
    void selectionChanged();
    void modifiedChanged(bool modified);
    void designChanged();
    void pasteEnabledChanged(bool enabled);

protected:
    // The whole design as it is now, and back; the plain editor keeps the report block.
    virtual QByteArray TakeSnapshot() const;
    virtual void RestoreSnapshot(const QByteArray &snapshot);
    // Reads the clipboard block at `position` into the design, moving `position` past it: creates an object
    // of the block's kind in `target` (a band always on the report); throws EStreamError for a block it
    // cannot read or take.
    QObject *PasteBlock(const QByteArray &text, qsizetype &position, QObject *target);
    // Reads a block whose object was made into that object; the plain editor resolves no references that
    // lead outside the block.
    virtual void ReadPastedBlock(const QByteArray &text, qsizetype &position, const StreamObject &block,
        qsizetype length, QObject *object);
    // Gives a new element a name made of a base and the first free number.
    void NameNew(QObject *item, const QString &base) const;
    // The band or report the clipboard goes to.
    QObject *pasteTarget() const;
    void afterCommand();
    void showError(const QString &message) const;

private:
    void pasteObjects(const QByteArray &text, QObject *target);
    void pasteText(const QString &text, QObject *target);
    void pasteImage(const QImage &image, QObject *target);
    void alignEach(const std::function<QPoint(const QRect &first, const QRect &own)> &place);
    // Spaces the selected elements' left (or top) edges evenly between the outermost ones.
    void equalSpace(Qt::Orientation direction);
    void zOrder(bool front);
    void deleteItems(const QList<QObject *> &items);

    QPointer<QWidget> m_page;
    QPointer<TCustomRpReport> m_report;
    QPointer<TRuntimeComponentMover> m_mover;
    TMouseClickCatcher *m_catcher = nullptr;
    bool m_editing = false;
    bool m_modified = false;
    bool m_pasteEnabled = false;
    int m_groupCounter = 0;
    std::deque<QByteArray> m_undo;
    std::deque<QByteArray> m_undone;
};

// A picture as a report stores it: a bitmap ("TBitmap") whose bytes start with their 32-bit length.
QByteArray bitmapGraphicData(const QImage &image);
