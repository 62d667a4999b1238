#include "forms/InterAccount.h"

#include "forms/Datamod.h"
#include "forms/Main.h"
#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "widgets/Dialogs.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

TfrmInterAccount *frmInterAccount = nullptr;

namespace {

TGradButton *roseButton(QWidget *parent, const QString &caption, const QRect &geometry)
{
    auto *button = new TGradButton(parent);
    button->setText(caption);
    button->setColorScheme(csNeoRose);
    button->setGradient(true);
    button->setHotTrack(true);
    button->setCtl3D(false);
    button->setGeometry(geometry);
    return button;
}

TGradPanel *rosePanel(QWidget *parent, const QRect &geometry)
{
    auto *panel = new TGradPanel(parent);
    panel->setColorScheme(GradPanelScheme::csRose);
    panel->setFillDirection(fdVertical);
    panel->setGeometry(geometry);
    return panel;
}

QLabel *boldLabel(QWidget *parent, const QString &caption, const QPoint &position)
{
    auto *label = new QLabel(caption, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->move(position);
    label->adjustSize();
    return label;
}

QComboBox *accountBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    // Typed text never becomes an item; a text that differs from the selected item selects nothing.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setGeometry(geometry);
    return box;
}

} // namespace

TfrmInterAccount::TfrmInterAccount(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInterAccount"));
    setWindowTitle(QStringLiteral("Transferts entre comptes"));
    setFixedSize(363, 195);

    GradPanel1 = rosePanel(this, QRect(0, 0, 363, 154));
    Label10 = new QLabel(QStringLiteral("Transferts entre comptes"), GradPanel1);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label10->setFont(titleFont);
    Label10->setAlignment(Qt::AlignCenter);
    Label10->setGeometry(0, 0, 363, 56);

    Label1 = boldLabel(GradPanel1, QStringLiteral("Du compte"), QPoint(24, 64));
    cmbFromAccount = accountBox(GradPanel1, QRect(112, 60, 225, 22));
    Label2 = boldLabel(GradPanel1, QStringLiteral("Au compte"), QPoint(24, 92));
    cmbToAccount = accountBox(GradPanel1, QRect(112, 88, 225, 22));
    Label3 = boldLabel(GradPanel1, QStringLiteral("Montant"), QPoint(24, 120));
    edtAmount = new QLineEdit(zeroAmount(), GradPanel1);
    edtAmount->setGeometry(112, 116, 121, 22);

    GradPanel2 = rosePanel(this, QRect(0, 154, 363, 41));
    btnSave = roseButton(GradPanel2, QStringLiteral("&Sauvegarder"), QRect(8, 8, 90, 25));
    btnCancel = roseButton(GradPanel2, QStringLiteral("&Annuler"), QRect(265, 8, 90, 25));

    setTabOrder(cmbFromAccount, cmbToAccount);
    setTabOrder(cmbToAccount, edtAmount);
    setTabOrder(edtAmount, btnSave);
    setTabOrder(btnSave, btnCancel);

    connect(btnSave, &QPushButton::clicked, this, &TfrmInterAccount::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmInterAccount::btnCancelClick);
}

QString TfrmInterAccount::zeroAmount()
{
    // Plain digits: the conversion of the amount refuses a currency sign.
    return RegionalSettings::current().formatFixed(0, 2);
}

std::optional<Transfer::Account> TfrmInterAccount::selectedAccount(const QComboBox &box)
{
    const int index = box.currentIndex();
    if (index < 0 || box.currentText() != box.itemText(index))
        return std::nullopt;
    bool ok = false;
    const int number = box.itemData(index).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return Transfer::Account { number, box.itemText(index) };
}

void TfrmInterAccount::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (frmMain)
        move(frmMain->geometry().center() - QPoint(width() / 2, height() / 2));
    FormShow();
}

void TfrmInterAccount::FormShow()
{
    cmbFromAccount->clear();
    cmbToAccount->clear();
    cmbFromAccount->clearEditText();
    cmbToAccount->clearEditText();
    Dialogs::guarded(this, [this] {
        TMemTable &accounts = *DataModule1->tblAccount;
        for (accounts.First(); !accounts.AtEnd(); accounts.Next()) {
            const QString name = DataModule1->tblAccountAccount_Type->AsString();
            const int number = DataModule1->tblAccountAccount_Number->AsInteger();
            cmbFromAccount->addItem(name, number);
            cmbToAccount->addItem(name, number);
        }
        cmbFromAccount->setCurrentIndex(-1);
        cmbToAccount->setCurrentIndex(-1);
    });
}

void TfrmInterAccount::btnSaveClick()
{
    const auto from = selectedAccount(*cmbFromAccount);
    const auto to = selectedAccount(*cmbToAccount);
    const QString refusal = Transfer::refusal(from, to);
    if (!refusal.isEmpty()) {
        Dialogs::showInformation(this, refusal);
        return;
    }
    // On a failure nothing is stored and the dialog stays open with its selections and amount.
    Dialogs::guarded(this, [&] {
        const double amount = Transfer::amountOf(edtAmount->text());
        Transfer::run(*DataModule1, *from, *to, amount, DateTime::today());
        btnCancelClick();
    });
}

void TfrmInterAccount::btnCancelClick()
{
    reset();
    close();
}

void TfrmInterAccount::reset()
{
    cmbFromAccount->setCurrentIndex(-1);
    cmbToAccount->setCurrentIndex(-1);
    cmbFromAccount->clearEditText();
    cmbToAccount->clearEditText();
    edtAmount->setText(zeroAmount());
}
