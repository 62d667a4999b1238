#include "forms/Main.h"

#include "forms/AccountDetail.h"
#include "forms/AccountTotal.h"
#include "forms/Datamod.h"
#include "forms/Expences.h"
#include "forms/FinanceApp.h"
#include "forms/FinanceLook.h"
#include "forms/GridMouseWheel.h"
#include "forms/Income.h"
#include "forms/Reports.h"
#include "forms/TableSaver.h"
#include "forms/TableSetup.h"
#include "forms/TransactionEntry.h"
#include "platform/Exceptions.h"
#include "print/PrintGrid.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TfrmMain *frmMain = nullptr;

const char *const TfrmMain::kWebAddress = "https://www.example.com/quillot";
const QString TfrmMain::kPrintError = QStringLiteral("Erreur pendant l'impression.");

namespace {

constexpr TColor kGridColor = 15790320;
constexpr TColor kBalanceCellColor = 15066597;

QFont boldFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

QImage glyph(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which).pixmap(32, 32).toImage();
}

// Shows a window again when the scope ends, however the scope is left.
class HiddenWhile
{
public:
    explicit HiddenWhile(QWidget &window)
        : m_window(window)
    {
        m_window.hide();
    }
    ~HiddenWhile() { m_window.show(); }
    HiddenWhile(const HiddenWhile &) = delete;
    HiddenWhile &operator=(const HiddenWhile &) = delete;

private:
    QWidget &m_window;
};

} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QWidget(parent)
    , PrintGrid1(nullptr)
    , openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillot Portable"));
    buildControls();
    resize(750, 480);
    if (QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::buildControls()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    outer->addLayout(body, 1);

    GradPanel3 = FinanceLook::panel(this, GradPanelScheme::csRose);
    GradPanel3->setObjectName(QStringLiteral("GradPanel3"));
    GradPanel3->setFixedWidth(232);
    auto *navigation = new QVBoxLayout(GradPanel3);
    navigation->setContentsMargins(26, 40, 26, 20);
    navigation->setSpacing(24);
    auto navButton = [&](const char *name, const QString &caption, QStyle::StandardPixmap picture) {
        TGradButton *button = FinanceLook::button(GradPanel3, caption, csNeoSilver, 180, 60);
        button->setObjectName(QString::fromLatin1(name));
        button->setLayout(blGlyphLeft);
        button->setGlyph(glyph(picture));
        navigation->addWidget(button);
        return button;
    };
    btnAccountDetail = navButton(
        "btnAccountDetail", QStringLiteral("&Détail du compte"), QStyle::SP_FileDialogDetailedView);
    btnIncome = navButton("btnIncome", QStringLiteral("Reve&nus"), QStyle::SP_ArrowUp);
    btnExpences = navButton("btnExpences", QStringLiteral("Dépen&ses"), QStyle::SP_ArrowDown);
    btnReports = navButton("btnReports", QStringLiteral("&Les états"), QStyle::SP_FileDialogContentsView);
    navigation->addStretch(1);
    body->addWidget(GradPanel3);

    GradPanel1 = FinanceLook::panel(this, GradPanelScheme::csSilver);
    GradPanel1->setObjectName(QStringLiteral("GradPanel1"));
    auto *content = new QVBoxLayout(GradPanel1);
    content->setContentsMargins(24, 12, 24, 12);
    content->setSpacing(8);
    Label1 = new QLabel(QStringLiteral("Ambrel Quillot"), GradPanel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(32);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    content->addWidget(Label1);

    DBGrid1 = new TDBGrid(GradPanel1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setFrameShape(QFrame::NoFrame);
    QPalette gridPalette = DBGrid1->palette();
    gridPalette.setColor(QPalette::Base, toQColor(kGridColor));
    DBGrid1->setPalette(gridPalette);
    DBGrid1->setDataSource(DataModule1 ? DataModule1->datAccount : nullptr);
    const QFont bold = boldFont(font());
    TColumn name;
    name.FieldName = QStringLiteral("Account_Type");
    name.Title = QStringLiteral("Type de compte");
    name.Width = 303;
    name.Alignment = Qt::AlignLeft;
    name.TitleFont = bold;
    TColumn balance;
    balance.FieldName = QStringLiteral("Account_Balance");
    balance.Title = QStringLiteral("Solde du compte");
    balance.Width = 105;
    balance.Alignment = Qt::AlignHCenter;
    balance.TitleAlignment = Qt::AlignHCenter;
    balance.TitleFont = bold;
    balance.Font = bold;
    balance.Color = kBalanceCellColor;
    FinanceLook::setFittingColumns(*DBGrid1, { name, balance }, 0, { {}, FinanceLook::amountSamples() });
    content->addWidget(DBGrid1, 1);

    auto *totalRow = new QHBoxLayout;
    lblTotalCaption = new QLabel(QStringLiteral("Total:"), GradPanel1);
    lblTotalCaption->setObjectName(QStringLiteral("lblTotalCaption"));
    lblTotalCaption->setFont(bold);
    lblTotal = new QLabel(QStringLiteral("0.00"), GradPanel1);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    QFont totalFont = bold;
    totalFont.setUnderline(true);
    lblTotal->setFont(totalFont);
    lblTotal->setAlignment(Qt::AlignCenter);
    lblTotal->setMinimumWidth(105);
    btnPrint = FinanceLook::button(GradPanel1, QStringLiteral("Im&primer"), csNeoSilver);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    totalRow->addStretch(1);
    totalRow->addWidget(lblTotalCaption);
    totalRow->addWidget(lblTotal);
    totalRow->addSpacing(16);
    totalRow->addWidget(btnPrint);
    content->addLayout(totalRow);
    body->addWidget(GradPanel1, 1);

    GradPanel4 = FinanceLook::panel(this, GradPanelScheme::csSilver);
    GradPanel4->setObjectName(QStringLiteral("GradPanel4"));
    GradPanel4->setFixedHeight(41);
    auto *footer = new QHBoxLayout(GradPanel4);
    footer->setContentsMargins(12, 8, 12, 8);
    Label2 = new QLabel(QStringLiteral("www.example.com/quillot"), GradPanel4);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setAttribute(Qt::WA_TranslucentBackground);
    Label2->setAttribute(Qt::WA_Hover);
    Label2->installEventFilter(this);
    btnExit = FinanceLook::button(GradPanel4, QStringLiteral("&Quitter"), csNeoSilver);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    footer->addWidget(Label2);
    footer->addStretch(1);
    footer->addWidget(btnExit);
    outer->addWidget(GradPanel4);

    PrintGrid1 = new TPrintGrid(this);
    PrintGrid1->setObjectName(QStringLiteral("PrintGrid1"));
    PrintGrid1->setDBGrid(DBGrid1);
    PrintGrid1->setPrintDialog(true);
    PrintGrid1->setHeaderColor(clBlack);
    PrintGrid1->setPageNumFontName(QStringLiteral("Times New Roman"));
    PrintGrid1->setPageNumFontSize(8);
    PrintGrid1->setLeftMargin(240);
    PrintGrid1->setRightMargin(60);
    PrintGrid1->setTopMargin(0);
    PrintGrid1->setBottomMargin(160);
    PrintGrid1->setPrintOrientation(QPageLayout::Portrait);

    connect(btnAccountDetail, &QPushButton::clicked, this, [this] { btnAccountDetailClick(); });
    connect(btnIncome, &QPushButton::clicked, this, [this] { btnIncomeClick(); });
    connect(btnExpences, &QPushButton::clicked, this, [this] { btnExpencesClick(); });
    connect(btnReports, &QPushButton::clicked, this, [this] { btnReportsClick(); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(); });
    connect(btnExit, &QPushButton::clicked, this, [this] { btnExitClick(); });
}

void TfrmMain::FormCreate()
{
    attachGridMouseWheel(DBGrid1);
    if (DataModule1)
        setupFinanceTables(*DataModule1, FinanceApp::dataFolder(), this);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TfrmMain::FormShow()
{
    RefreshTotal();
}

void TfrmMain::RefreshTotal()
{
    Dialogs::guarded(this, [&] { updateTotal(); });
}

void TfrmMain::updateTotal()
{
    if (!DataModule1)
        return;
    const AccountTotal total = accountTotal(sumBalances(*DataModule1->tblAccount));
    QPalette palette = lblTotal->palette();
    palette.setColor(QPalette::WindowText, toQColor(total.color));
    lblTotal->setPalette(palette);
    lblTotal->setText(total.text);
}

void TfrmMain::showInstead(QDialog *window)
{
    if (!window)
        return;
    HiddenWhile hidden(*this);
    Dialogs::exec(*window);
}

void TfrmMain::btnAccountDetailClick()
{
    Dialogs::guarded(this, [&] { showInstead(frmAccountDetail); });
}

void TfrmMain::btnReportsClick()
{
    Dialogs::guarded(this, [&] { showInstead(frmReports); });
}

void TfrmMain::startEntry(QDialog *window)
{
    if (!TransactionEntry::beginTransactionEntry(this))
        return;
    try {
        showInstead(window);
    } catch (const Exception &error) {
        try {
            DataModule1->tblTransaction->Cancel();
        } catch (const Exception &) {
            // The first failure is the one to show.
        }
        Dialogs::showException(this, error);
    }
}

void TfrmMain::btnIncomeClick()
{
    startEntry(frmIncome);
}

void TfrmMain::btnExpencesClick()
{
    startEntry(frmExpences);
}

void TfrmMain::btnPrintClick()
{
    try {
        PrintGrid1->setDBGrid(DBGrid1);
        PrintGrid1->FinishLoading();
        // The total may have changed since the window was shown (an edit in the grid): print the current one.
        updateTotal();
        const QString text = lblTotalCaption->text() + QLatin1Char(' ') + lblTotal->text();
        PrintGrid1->HeaderBounds().Clear();
        PrintGrid1->HeaderBounds().AddBound(250, text, 10, Rp::fsBold, Qt::AlignHCenter);
        // False: the user cancelled the print dialog, which needs no message.
        PrintGrid1->Print();
    } catch (const Exception &error) {
        qWarning("Printing the account list failed: %s", error.what());
        Dialogs::showError(this, kPrintError);
    }
}

void TfrmMain::btnExitClick()
{
    close();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfrmMain::FormClose()
{
    if (TableSaver *saver = FinanceApp::saver())
        saver->finishAndSave(this);
    QCoreApplication::quit();
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label2) {
        switch (event->type()) {
        case QEvent::Enter:
            Label2MouseEnter();
            break;
        case QEvent::Leave:
            Label2MouseLeave();
            break;
        case QEvent::MouseButtonRelease:
            Label2Click();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::Label2MouseEnter()
{
    QFont font = Label2->font();
    font.setUnderline(true);
    Label2->setFont(font);
}

void TfrmMain::Label2MouseLeave()
{
    QFont font = Label2->font();
    font.setUnderline(false);
    Label2->setFont(font);
}

void TfrmMain::Label2Click()
{
    if (openUrl)
        openUrl(QUrl(QString::fromLatin1(kWebAddress)));
}
