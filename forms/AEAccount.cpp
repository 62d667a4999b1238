#include "forms/AEAccount.h"

#include "forms/Datamod.h"
#include "forms/FinanceLook.h"
#include "forms/Main.h"
#include "platform/Exceptions.h"
#include "widgets/DBEdit.h"
#include "widgets/Dialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmAEAccount *frmAEAccount = nullptr;

namespace {

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

TfrmAEAccount::TfrmAEAccount(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAEAccount"));
    setWindowTitle(QStringLiteral("Nouveau compte"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(363, 167);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    GradPanel1 = FinanceLook::panel(this, GradPanelScheme::csRose);
    GradPanel1->setObjectName(QStringLiteral("GradPanel1"));
    auto *top = new QVBoxLayout(GradPanel1);
    top->setContentsMargins(12, 0, 12, 8);
    top->setSpacing(4);
    Label10 = new QLabel(QStringLiteral("Informations de compte"), GradPanel1);
    Label10->setObjectName(QStringLiteral("Label10"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label10->setFont(titleFont);
    Label10->setAlignment(Qt::AlignCenter);
    Label10->setFixedHeight(56);
    Label10->setAttribute(Qt::WA_TranslucentBackground);
    top->addWidget(Label10);

    auto *fields = new QHBoxLayout;
    fields->setSpacing(10);
    auto *nameColumn = new QVBoxLayout;
    Label1 = boldLabel(QStringLiteral("Type de compte"), GradPanel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    DBEdit1 = new TDBEdit(GradPanel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setDataSource(DataModule1 ? DataModule1->datAccount : nullptr);
    DBEdit1->setDataField(QStringLiteral("Account_Type"));
    nameColumn->addWidget(Label1);
    nameColumn->addWidget(DBEdit1);
    auto *balanceColumn = new QVBoxLayout;
    Label2 = boldLabel(QStringLiteral("Solde"), GradPanel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    DBEdit2 = new TDBEdit(GradPanel1);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setDataSource(DataModule1 ? DataModule1->datAccount : nullptr);
    DBEdit2->setDataField(QStringLiteral("Account_Balance"));
    DBEdit2->setFixedWidth(110);
    balanceColumn->addWidget(Label2);
    balanceColumn->addWidget(DBEdit2);
    fields->addLayout(nameColumn, 1);
    fields->addLayout(balanceColumn);
    top->addLayout(fields);
    top->addStretch(1);
    outer->addWidget(GradPanel1, 1);

    GradPanel2 = FinanceLook::panel(this, GradPanelScheme::csRose);
    GradPanel2->setObjectName(QStringLiteral("GradPanel2"));
    GradPanel2->setFixedHeight(41);
    auto *bar = new QHBoxLayout(GradPanel2);
    bar->setContentsMargins(12, 8, 12, 8);
    btnSave = FinanceLook::button(GradPanel2, QStringLiteral("&Sauvegarder"), csNeoRose, 90, 25);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnCancel = FinanceLook::button(GradPanel2, QStringLiteral("&Annuler"), csNeoRose, 90, 25);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    bar->addWidget(btnSave);
    bar->addStretch(1);
    bar->addWidget(btnCancel);
    outer->addWidget(GradPanel2);

    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, btnSave);
    setTabOrder(btnSave, btnCancel);

    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
}

void TfrmAEAccount::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the main window, which keeps its place while it is hidden behind the detail window.
    if (frmMain && !event->spontaneous())
        move(frmMain->geometry().center() - rect().center());
    FormShow();
}

void TfrmAEAccount::FormShow()
{
    DBEdit1->setFocus();
}

void TfrmAEAccount::btnSaveClick()
{
    TMemTable *accounts = DataModule1->tblAccount;
    bool saved = false;
    try {
        // An accelerator click leaves the focus in the edit: its typed text goes into the row first.
        accounts->UpdateRecord();
        accounts->Post();
        saved = true;
    } catch (const Exception &error) {
        try {
            accounts->Cancel();
        } catch (const Exception &) {
            // The save's failure is the one to show.
        }
        Dialogs::showException(this, error);
    }
    QDialog::done(saved ? Accepted : Rejected);
}

void TfrmAEAccount::btnCancelClick()
{
    Dialogs::guarded(this, [] { DataModule1->tblAccount->Cancel(); });
    QDialog::done(Rejected);
}

void TfrmAEAccount::reject()
{
    btnCancelClick();
}

void TfrmAEAccount::closeEvent(QCloseEvent *event)
{
    const TDataSetState state = DataModule1 ? DataModule1->tblAccount->State() : dsInactive;
    if (state == dsInsert || state == dsEdit)
        Dialogs::guarded(this, [] { DataModule1->tblAccount->Cancel(); });
    QDialog::closeEvent(event);
}
