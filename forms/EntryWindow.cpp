#include "forms/EntryWindow.h"

#include "forms/Datamod.h"
#include "forms/detail/DialogLook.h"
#include "platform/Exceptions.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/Dialogs.h"

#include <QLabel>

namespace {

constexpr int kWidth = 529;
constexpr int kBarHeight = 41;
constexpr int kCaptionLeft = 16;
constexpr int kEditLeft = 210;

} // namespace

const EntrySide &incomeEntry()
{
    static const EntrySide side {
        TransactionEntry::Kind::Income,
        QStringLiteral("Revenu"),
        209,
        QStringLiteral("Désignation du revenu"),
        QStringLiteral("Date du revenu"),
        QStringLiteral("Montant du revenu"),
        incomeDesignations(),
        false,
    };
    return side;
}

const EntrySide &expenceEntry()
{
    static const EntrySide side {
        TransactionEntry::Kind::Expense,
        QStringLiteral("Dépenses"),
        208,
        QStringLiteral("Description de la dépense"),
        QStringLiteral("Date de la dépense"),
        QStringLiteral("Montant de la dépense"),
        expenceDesignations(),
        true,
    };
    return side;
}

EntryWindow::EntryWindow(const EntrySide &side, QWidget *parent)
    : QDialog(parent)
    , m_side(side)
{
    setWindowTitle(side.caption);
    const int height = side.clientHeight;
    setFixedSize(kWidth, height);

    GradPanel1 = DialogLook::panel(
        this, "GradPanel1", GradPanelScheme::csSilver, QRect(0, 0, kWidth, height - kBarHeight));
    Label10 = DialogLook::title(GradPanel1, side.caption, QRect(0, 0, kWidth, 56));

    DBText1 = new TDBText(GradPanel1);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setGeometry(kCaptionLeft, 56, kWidth - 2 * kCaptionLeft, 18);
    DBText1->setAlignment(Qt::AlignCenter);

    Label2 = DialogLook::label(GradPanel1, "Label2", side.designationCaption,
        QRect(kCaptionLeft, 80, kEditLeft - kCaptionLeft, 21), true);
    DBEdit1 = new TDBEdit(GradPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(kEditLeft, 80, 270, 21);
    btnExpences = DialogLook::button(
        GradPanel1, "btnExpences", QStringLiteral("..."), csNeoSilver, QRect(kEditLeft + 274, 81, 21, 19));

    Label3 = DialogLook::label(
        GradPanel1, "Label3", side.dateCaption, QRect(kCaptionLeft, 107, kEditLeft - kCaptionLeft, 21), true);
    DBDateEdit1 = new TDBDateEdit(GradPanel1);
    DBDateEdit1->setObjectName(QStringLiteral("DBDateEdit1"));
    DBDateEdit1->setGeometry(kEditLeft, 107, 120, 21);

    Label4 = DialogLook::label(GradPanel1, "Label4", side.amountCaption,
        QRect(kCaptionLeft, 134, kEditLeft - kCaptionLeft, 21), true);
    DBEdit2 = new TDBEdit(GradPanel1);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setGeometry(kEditLeft, 134, 120, 21);

    if (DataModule1) {
        DBText1->setDataSource(DataModule1->datAccount);
        DBText1->setDataField(QStringLiteral("Account_Type"));
        DBEdit1->setDataSource(DataModule1->datTransaction);
        DBEdit1->setDataField(QStringLiteral("Transaction_Description"));
        DBDateEdit1->setDataSource(DataModule1->datTransaction);
        DBDateEdit1->setDataField(QStringLiteral("Transaction_Date"));
        DBEdit2->setDataSource(DataModule1->datTransaction);
        DBEdit2->setDataField(QStringLiteral("Transaction_Amount"));
    }

    GradPanel4 = DialogLook::panel(
        this, "GradPanel4", GradPanelScheme::csSilver, QRect(0, height - kBarHeight, kWidth, kBarHeight));
    btnSave = DialogLook::button(
        GradPanel4, "btnSave", QStringLiteral("&Sauvegarder"), csNeoSilver, QRect(8, 8, 100, 25));
    btnCancel = DialogLook::button(
        GradPanel4, "btnCancel", QStringLiteral("&Annuler"), csNeoSilver, QRect(kWidth - 108, 8, 100, 25));

    connect(btnSave, &QPushButton::clicked, this, &EntryWindow::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &EntryWindow::btnCancelClick);
    connect(btnExpences, &QPushButton::clicked, this, &EntryWindow::btnExpencesClick);

    setTabOrder(DBEdit1, btnExpences);
    setTabOrder(btnExpences, DBDateEdit1);
    setTabOrder(DBDateEdit1, DBEdit2);
    setTabOrder(DBEdit2, btnSave);
    setTabOrder(btnSave, btnCancel);
    DBEdit1->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::FormShow()
{
    if (m_side.focusOnShow)
        DBEdit1->setFocus(Qt::OtherFocusReason);
}

void EntryWindow::cancelTransaction()
{
    if (DataModule1)
        DataModule1->tblTransaction->Cancel();
}

void EntryWindow::btnSaveClick()
{
    try {
        if (!DataModule1)
            return;
        TransactionEntry::recordTransaction(*DataModule1, m_side.kind);
        accept();
    } catch (const Exception &error) {
        try {
            cancelTransaction();
        } catch (const Exception &) {
            // The error of the save is the one shown.
        }
        Dialogs::showException(this, error);
        QDialog::reject();
    }
}

void EntryWindow::btnCancelClick()
{
    Dialogs::guarded(this, [this] { cancelTransaction(); });
    QDialog::reject();
}

void EntryWindow::reject()
{
    btnCancelClick();
}

void EntryWindow::btnExpencesClick()
{
    Dialogs::guarded(this, [this] {
        QDialog *list = m_side.designations.list();
        if (!DataModule1 || !list)
            return;
        Dialogs::exec(*list);
        // Whatever the user did in the list, its current row gives the designation.
        const QString designation = (DataModule1->*m_side.designations.descriptionField)->AsString();
        DataModule1->tblTransactionTransaction_Description->setAsString(designation);
    });
}

void EntryWindow::showEvent(QShowEvent *event)
{
    DialogLook::centreOnMainWindow(*this);
    QDialog::showEvent(event);
    FormShow();
}
