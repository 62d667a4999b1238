#include "forms/DesignationEditor.h"

#include "forms/Datamod.h"
#include "forms/detail/DialogLook.h"
#include "platform/Exceptions.h"
#include "widgets/DBEdit.h"
#include "widgets/Dialogs.h"

#include <QLabel>

namespace {

constexpr int kWidth = 529;
constexpr int kHeight = 162;
constexpr int kBarHeight = 41;

} // namespace

DesignationEditor::DesignationEditor(const DesignationSide &side, QWidget *parent)
    : QDialog(parent)
    , m_side(side)
{
    setWindowTitle(side.storedCaption);
    setFixedSize(kWidth, kHeight);

    GradPanel1 = DialogLook::panel(
        this, "GradPanel1", GradPanelScheme::csRose, QRect(0, 0, kWidth, kHeight - kBarHeight));
    Label10 = DialogLook::title(GradPanel1, side.editorTitle, QRect(0, 0, kWidth, 55));
    Label1 = DialogLook::label(GradPanel1, "Label1", side.fieldCaption, QRect(16, 62, 300, 18), true);
    DBEdit1 = new TDBEdit(GradPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(16, 82, kWidth - 32, 23);
    if (DataModule1) {
        DBEdit1->setDataSource(DataModule1->*side.source);
        DBEdit1->setDataField((DataModule1->*side.descriptionField)->FieldName());
    }

    GradPanel4 = DialogLook::panel(
        this, "GradPanel4", GradPanelScheme::csRose, QRect(0, kHeight - kBarHeight, kWidth, kBarHeight));
    btnSave = DialogLook::button(
        GradPanel4, "btnSave", QStringLiteral("&Sauvegarder"), csNeoRose, QRect(8, 8, 100, 25));
    btnCancel = DialogLook::button(
        GradPanel4, "btnCancel", QStringLiteral("&Annuler"), csNeoRose, QRect(kWidth - 108, 8, 100, 25));
    connect(btnSave, &QPushButton::clicked, this, &DesignationEditor::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &DesignationEditor::btnCancelClick);
    setTabOrder(DBEdit1, btnSave);
    setTabOrder(btnSave, btnCancel);
}

TMemTable *DesignationEditor::table() const
{
    return DataModule1 ? DataModule1->*m_side.table : nullptr;
}

void DesignationEditor::FormShow()
{
    DBEdit1->setFocus(Qt::OtherFocusReason);
}

void DesignationEditor::btnSaveClick()
{
    TMemTable *sideTable = table();
    try {
        if (sideTable)
            sideTable->Post();
        accept();
    } catch (const Exception &error) {
        if (sideTable) {
            try {
                sideTable->Cancel();
            } catch (const Exception &) {
                // The error of the post is the one shown.
            }
        }
        Dialogs::showException(this, error);
        QDialog::reject();
    }
}

void DesignationEditor::btnCancelClick()
{
    if (TMemTable *sideTable = table())
        Dialogs::guarded(this, [sideTable] { sideTable->Cancel(); });
    QDialog::reject();
}

void DesignationEditor::reject()
{
    btnCancelClick();
}

void DesignationEditor::showEvent(QShowEvent *event)
{
    DialogLook::centreOnMainWindow(*this);
    QDialog::showEvent(event);
    FormShow();
}
