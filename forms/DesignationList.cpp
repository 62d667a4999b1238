#include "forms/DesignationList.h"

#include "forms/Datamod.h"
#include "forms/GridMouseWheel.h"
#include "forms/detail/DialogLook.h"
#include "platform/Colors.h"
#include "platform/Exceptions.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"

#include <QLabel>

namespace {

constexpr int kWidth = 529;
constexpr int kHeight = 366;
constexpr int kTitleHeight = 57;
constexpr int kBarHeight = 41;
constexpr TColor kGridColor = 15790320;

} // namespace

DesignationList::DesignationList(const DesignationSide &side, QWidget *parent)
    : QDialog(parent)
    , m_side(side)
{
    setWindowTitle(side.listCaption);
    setFixedSize(kWidth, kHeight);

    GradPanel1
        = DialogLook::panel(this, "GradPanel1", GradPanelScheme::csSilver, QRect(0, 0, kWidth, kTitleHeight));
    Label10 = DialogLook::title(GradPanel1, side.listCaption, QRect(0, 0, kWidth, kTitleHeight));

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(0, kTitleHeight, kWidth, kHeight - kTitleHeight - kBarHeight);
    DBGrid1->setFrameShape(QFrame::NoFrame);
    QPalette palette = DBGrid1->palette();
    palette.setColor(QPalette::Base, toQColor(kGridColor));
    DBGrid1->setPalette(palette);

    GradPanel4 = DialogLook::panel(
        this, "GradPanel4", GradPanelScheme::csSilver, QRect(0, kHeight - kBarHeight, kWidth, kBarHeight));
    btnAdd = DialogLook::button(
        GradPanel4, "btnAdd", QStringLiteral("&Ajouter"), csNeoSilver, QRect(8, 8, 75, 25));
    btnEdit = DialogLook::button(
        GradPanel4, "btnEdit", QStringLiteral("&Edition"), csNeoSilver, QRect(91, 8, 75, 25));
    btnOK = DialogLook::button(
        GradPanel4, "btnOK", QStringLiteral("&OK"), csNeoSilver, QRect(kWidth - 83, 8, 75, 25));
    connect(btnAdd, &QPushButton::clicked, this, &DesignationList::btnAddClick);
    connect(btnEdit, &QPushButton::clicked, this, &DesignationList::btnEditClick);
    connect(btnOK, &QPushButton::clicked, this, &DesignationList::btnOKClick);

    FormCreate();
}

TMemTable *DesignationList::table() const
{
    return DataModule1 ? DataModule1->*m_side.table : nullptr;
}

void DesignationList::FormCreate()
{
    if (DataModule1) {
        TDataModule1 &data = *DataModule1;
        TColumn column;
        column.FieldName = (data.*m_side.descriptionField)->FieldName();
        column.Title = m_side.columnTitle;
        column.Width = m_side.columnWidth;
        DBGrid1->setColumns({ column });
        DBGrid1->setDataSource(data.*m_side.source);
    }
    attachGridMouseWheel(DBGrid1);
}

void DesignationList::openEditor(void (TMemTable::*start)(), const QString &caption)
{
    TMemTable *sideTable = table();
    if (!sideTable)
        return;
    try {
        (sideTable->*start)();
        QDialog *editor = m_side.editor();
        editor->setWindowTitle(caption);
        Dialogs::exec(*editor);
    } catch (const Exception &error) {
        try {
            sideTable->Cancel();
        } catch (const Exception &) {
            // The first error is the one shown.
        }
        Dialogs::showException(this, error);
    }
}

void DesignationList::btnAddClick()
{
    openEditor(&TMemTable::Insert, m_side.addingCaption);
}

void DesignationList::btnEditClick()
{
    openEditor(&TMemTable::Edit, m_side.editingCaption);
}

void DesignationList::btnOKClick()
{
    accept();
}

void DesignationList::finishPendingRow()
{
    TMemTable *sideTable = table();
    if (!sideTable || !sideTable->Active())
        return;
    try {
        sideTable->FinishPendingRow();
    } catch (const Exception &error) {
        Dialogs::showException(this, error);
        try {
            sideTable->Cancel();
        } catch (const Exception &) {
            // Shown already.
        }
    }
}

void DesignationList::done(int result)
{
    finishPendingRow();
    QDialog::done(result);
}

void DesignationList::showEvent(QShowEvent *event)
{
    DialogLook::centreOnMainWindow(*this);
    QDialog::showEvent(event);
}
