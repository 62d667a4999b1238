#include "forms/AccountDetail.h"

#include "forms/AEAccount.h"
#include "forms/Datamod.h"
#include "forms/FinanceLook.h"
#include "forms/GridMouseWheel.h"
#include "forms/InterAccount.h"
#include "forms/Main.h"
#include "forms/TransactionFilter.h"
#include "forms/TransactionRemoval.h"
#include "print/PrintGrid.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QComboBox>
#include <QDebug>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

TfrmAccountDetail *frmAccountDetail = nullptr;

const QString TfrmAccountDetail::kFilterOn = QStringLiteral("Filtre ON");
const QString TfrmAccountDetail::kFilterOff = QStringLiteral("Filtre OFF");
const QString TfrmAccountDetail::kNoField = QStringLiteral("Champ pas trouvé.");
const QString TfrmAccountDetail::kPrintError = QStringLiteral("Erreur pendant l'impression.");

namespace {

constexpr int kWidth = 750;
constexpr int kBarHeight = 41;

TGradButton *silverButton(QWidget *parent, const QString &caption, const QRect &geometry)
{
    auto *button = new TGradButton(parent);
    button->setText(caption);
    button->setColorScheme(csNeoSilver);
    button->setGradient(true);
    button->setHotTrack(true);
    button->setCtl3D(false);
    button->setGeometry(geometry);
    return button;
}

TGradPanel *silverPanel(QWidget *parent, const QRect &geometry)
{
    auto *panel = new TGradPanel(parent);
    panel->setColorScheme(GradPanelScheme::csSilver);
    panel->setFillDirection(fdVertical);
    panel->setGeometry(geometry);
    return panel;
}

QFont boldFont(const QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    return font;
}

TColumn column(
    const QWidget *grid, const char *field, const QString &title, int width, bool centred, bool bold)
{
    TColumn result;
    result.FieldName = QString::fromLatin1(field);
    result.Title = title;
    result.Width = width;
    result.TitleFont = boldFont(grid);
    if (centred) {
        result.Alignment = Qt::AlignHCenter | Qt::AlignVCenter;
        result.TitleAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    }
    if (bold)
        result.Font = boldFont(grid);
    return result;
}

TDBGrid *readOnlyGrid(QWidget *parent, TDataSource *source, const QRect &geometry)
{
    auto *grid = new TDBGrid(parent);
    grid->setReadOnly(true);
    grid->setFrameShape(QFrame::NoFrame);
    grid->setDataSource(source);
    grid->setGeometry(geometry);
    return grid;
}

QComboBox *filterBox(QWidget *parent, const QStringList &items, const QRect &geometry)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setGeometry(geometry);
    return box;
}

void clearSelection(QComboBox &box)
{
    box.setCurrentIndex(-1);
    box.clearEditText();
}

// Finishes a pending row of the table; a failed post is shown and the row cancelled.
void finishPendingRow(QWidget *parent, TMemTable &table)
{
    if (table.State() != dsEdit && table.State() != dsInsert)
        return;
    try {
        table.FinishPendingRow();
    } catch (const Exception &error) {
        Dialogs::showException(parent, error);
        table.Cancel();
    }
}

} // namespace

TfrmAccountDetail::TfrmAccountDetail(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAccountDetail"));
    setWindowTitle(QStringLiteral("Détail du compte"));
    setFixedSize(kWidth, 550);

    GradPanel2 = silverPanel(this, QRect(0, 0, kWidth, kBarHeight));
    Label1 = new QLabel(QStringLiteral("Détail du compte"), GradPanel2);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(0, 0, kWidth, kBarHeight);

    DBGrid1 = readOnlyGrid(this, DataModule1->datAccount, QRect(0, 41, kWidth, 143));
    FinanceLook::setFittingColumns(*DBGrid1,
        { column(DBGrid1, "Account_Type", QStringLiteral("Type de compte"), -1, false, false),
            column(DBGrid1, "Account_Balance", QStringLiteral("Solde du compte"), 119, true, true) },
        0, { {}, FinanceLook::amountSamples() });

    GradPanel4 = silverPanel(this, QRect(0, 184, kWidth, kBarHeight));
    btnNewAccount = silverButton(GradPanel4, QStringLiteral("&Nouveau"), QRect(8, 8, 75, 25));
    btnEdit = silverButton(GradPanel4, QStringLiteral("&Edition"), QRect(88, 8, 75, 25));
    btnDeleteAccount = silverButton(GradPanel4, QStringLiteral("&Supprimer"), QRect(168, 8, 75, 25));
    btnInterAccount = silverButton(
        GradPanel4, QStringLiteral("Tr&ansferts entre comptes"), QRect(kWidth - 8 - 170, 8, 170, 25));

    DBGrid2 = readOnlyGrid(this, DataModule1->datTransaction, QRect(0, 225, kWidth, 550 - 225 - kBarHeight));
    FinanceLook::setFittingColumns(*DBGrid2,
        { column(DBGrid2, "Transaction_Description", QStringLiteral("Désignation de la transaction"), 427, false,
              false),
            column(DBGrid2, "Transaction_Date", QStringLiteral("Date de la transaction"), 137, true, false),
            column(DBGrid2, "Transaction_Amount", QStringLiteral("Montant de la transaction"), 154, true, true) },
        0, { {}, FinanceLook::dateSamples(), FinanceLook::amountSamples() });

    GradPanel1 = silverPanel(this, QRect(0, 550 - kBarHeight, kWidth, kBarHeight));
    btnDeleteTransaction = silverButton(GradPanel1, QStringLiteral("S&upprimer"), QRect(8, 8, 75, 25));
    Label2 = new QLabel(QStringLiteral("Filtrer"), GradPanel1);
    Label2->move(92, 13);
    Label2->adjustSize();
    cmbField = filterBox(GradPanel1, TransactionFilter::fieldItems(), QRect(134, 9, 180, 22));
    cmbOperator = filterBox(GradPanel1, TransactionFilter::operatorItems(), QRect(318, 9, 48, 22));
    edtFilter = new QLineEdit(GradPanel1);
    edtFilter->setGeometry(370, 9, 120, 22);
    btnFilter = silverButton(GradPanel1, kFilterOn, QRect(494, 8, 80, 25));
    btnPrint = silverButton(GradPanel1, QStringLiteral("Im&primer"), QRect(580, 8, 75, 25));
    btnClose = silverButton(GradPanel1, QStringLiteral("&Fermer"), QRect(kWidth - 8 - 75, 8, 75, 25));

    PrintGrid1 = new TPrintGrid(this);
    PrintGrid1->setDBGrid(DBGrid2);
    PrintGrid1->setPrintDialog(true);
    PrintGrid1->setPrintOrientation(QPageLayout::Landscape);
    PrintGrid1->setPageNumFontName(QStringLiteral("Times New Roman"));
    PrintGrid1->setPageNumFontSize(8);
    PrintGrid1->setLeftMargin(240);
    PrintGrid1->setRightMargin(60);
    PrintGrid1->setTopMargin(0);
    PrintGrid1->setBottomMargin(160);

    QWidget *order[] = { DBGrid1, btnNewAccount, btnEdit, btnDeleteAccount, btnInterAccount, DBGrid2,
        btnDeleteTransaction, cmbField, cmbOperator, edtFilter, btnFilter, btnPrint, btnClose };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(btnNewAccount, &QPushButton::clicked, this, &TfrmAccountDetail::btnNewAccountClick);
    connect(btnEdit, &QPushButton::clicked, this, &TfrmAccountDetail::btnEditClick);
    connect(btnDeleteAccount, &QPushButton::clicked, this, &TfrmAccountDetail::btnDeleteAccountClick);
    connect(btnInterAccount, &QPushButton::clicked, this, &TfrmAccountDetail::btnInterAccountClick);
    connect(btnDeleteTransaction, &QPushButton::clicked, this, &TfrmAccountDetail::btnDeleteTransactionClick);
    connect(btnFilter, &QPushButton::clicked, this, &TfrmAccountDetail::btnFilterClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmAccountDetail::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmAccountDetail::btnCloseClick);
    connect(cmbOperator, &QComboBox::activated, this, &TfrmAccountDetail::cmbOperatorClick);
    DBGrid1->viewport()->installEventFilter(this);
    edtFilter->installEventFilter(this);

    FormCreate();
}

void TfrmAccountDetail::FormCreate()
{
    attachGridMouseWheel(DBGrid1);
    attachGridMouseWheel(DBGrid2);
}

void TfrmAccountDetail::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (frmMain && !event->spontaneous())
        move(frmMain->geometry().center() - QPoint(width() / 2, height() / 2));
}

bool TfrmAccountDetail::eventFilter(QObject *watched, QEvent *event)
{
    // The first click of a double click has already made its row current.
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        DBGrid1DblClick();
        return true;
    }
    if (watched == edtFilter && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            edtFilterKeyPress(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- accounts ----

void TfrmAccountDetail::editAccount(const QString &caption, bool inserting)
{
    TMemTable &accounts = *DataModule1->tblAccount;
    try {
        if (inserting)
            accounts.Insert();
        else
            accounts.Edit();
        frmAEAccount->setWindowTitle(caption);
        Dialogs::exec(*frmAEAccount);
    } catch (const Exception &error) {
        accounts.Cancel();
        Dialogs::showException(this, error);
    }
}

void TfrmAccountDetail::btnNewAccountClick()
{
    editAccount(QStringLiteral("Ajouter un nouveau compte"), true);
}

void TfrmAccountDetail::btnEditClick()
{
    editAccount(QStringLiteral("Editer un compte"), false);
}

void TfrmAccountDetail::DBGrid1DblClick()
{
    btnEditClick();
}

void TfrmAccountDetail::btnDeleteAccountClick()
{
    if (!Dialogs::confirm(this, QStringLiteral("Supprimer le compte sélectionné?")))
        return;
    Dialogs::guarded(this, [] { DataModule1->tblAccount->Delete(); });
}

// ---- transactions ----

void TfrmAccountDetail::btnDeleteTransactionClick()
{
    if (!Dialogs::confirm(this, TransactionRemoval::kConfirmation))
        return;
    Dialogs::guarded(this, [this] {
        TransactionRemoval::run(
            *DataModule1, [this] { Dialogs::showInformation(this, TransactionRemoval::kTransferReminder); });
    });
}

void TfrmAccountDetail::btnInterAccountClick()
{
    Dialogs::guarded(this, [] { Dialogs::exec(*frmInterAccount); });
}

void TfrmAccountDetail::btnPrintClick()
{
    try {
        PrintGrid1->FinishLoading();
        // False: the user cancelled the print dialog, which needs no message.
        PrintGrid1->Print();
    } catch (const Exception &error) {
        qWarning("Printing the transaction list failed: %s", error.what());
        Dialogs::showError(this, kPrintError);
    }
}

void TfrmAccountDetail::btnCloseClick()
{
    edtFilter->clear();
    if (filterInForce()) {
        btnFilter->setText(kFilterOn);
        ApplyTransactionFilter(QString(), false);
    }
    clearSelection(*cmbField);
    clearSelection(*cmbOperator);
    close();
}

void TfrmAccountDetail::finishPendingRows()
{
    if (!DataModule1)
        return;
    finishPendingRow(this, *DataModule1->tblTransaction);
    finishPendingRow(this, *DataModule1->tblAccount);
}

void TfrmAccountDetail::done(int result)
{
    finishPendingRows();
    QDialog::done(result);
}

// ---- the filter bar ----

bool TfrmAccountDetail::filterInForce() const
{
    return btnFilter->text() == kFilterOff;
}

int TfrmAccountDetail::selectedItem(const QComboBox &box)
{
    const int index = box.currentIndex();
    return index >= 0 && box.currentText() == box.itemText(index) ? index : -1;
}

QString TfrmAccountDetail::BuildFilterExpression()
{
    const auto expression
        = ::BuildFilterExpression(selectedItem(*cmbField), selectedItem(*cmbOperator), edtFilter->text());
    if (expression.options)
        DataModule1->tblTransaction->setFilterOptions(*expression.options);
    return expression.text;
}

bool TfrmAccountDetail::ApplyTransactionFilter(const QString &expression, bool on)
{
    return Dialogs::guarded(this, [&] {
        DataModule1->tblTransaction->setFilter(expression);
        DataModule1->tblTransaction->setFiltered(on);
    });
}

void TfrmAccountDetail::btnFilterClick()
{
    if (filterInForce()) {
        btnFilter->setText(kFilterOn);
        edtFilter->clear();
        edtFilter->setFocus();
        ApplyTransactionFilter(QString(), false);
        return;
    }
    if (selectedItem(*cmbField) < 0) {
        Dialogs::showInformation(this, kNoField);
        return;
    }
    if (edtFilter->text().isEmpty()) {
        edtFilter->setFocus();
        return;
    }
    // A refused filter leaves the list unfiltered, so the caption keeps offering to switch it on.
    if (ApplyTransactionFilter(BuildFilterExpression(), true))
        btnFilter->setText(kFilterOff);
}

void TfrmAccountDetail::edtFilterKeyPress(QKeyEvent *)
{
    btnFilterClick();
}

void TfrmAccountDetail::cmbOperatorClick()
{
    edtFilter->setFocus();
}

void TfrmAccountDetail::setTransactionFilter(int fieldIndex, int operatorIndex, const QString &value)
{
    if (filterInForce())
        btnFilterClick();
    cmbField->setCurrentIndex(fieldIndex);
    cmbOperator->setCurrentIndex(operatorIndex);
    edtFilter->setText(value);
    btnFilterClick();
}
