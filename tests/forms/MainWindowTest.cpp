#include "FormsFixture.h"

#include "forms/AccountDetail.h"
#include "forms/AccountTotal.h"
#include "forms/Expences.h"
#include "forms/GridMouseWheel.h"
#include "forms/Income.h"
#include "forms/Main.h"
#include "platform/RegionalSettings.h"
#include "print/PrintGrid.h"
#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QFileInfo>
#include <QLabel>
#include <QWheelEvent>

namespace {

// ---- the total, without a window ----

struct TotalCase
{
    const char *name;
    std::vector<double> balances;
    double shown; // the value the text shows
    TColor color;
};

void PrintTo(const TotalCase &c, std::ostream *os)
{
    *os << c.name;
}

class TotalTest : public ::testing::TestWithParam<TotalCase>
{
};

TEST_P(TotalTest, SignColourAndText_FollowTheSumRoundedToTwoDecimals)
{
    double sum = 0;
    for (double balance : GetParam().balances)
        sum += balance;
    const AccountTotal total = accountTotal(sum);
    EXPECT_EQ(total.color, GetParam().color);
    EXPECT_EQ(total.text, RegionalSettings::current().formatCurrency(GetParam().shown));
    // A minus sign only before an amount that is really negative: never "-0,00".
    EXPECT_EQ(total.text.startsWith('-'), GetParam().shown < 0) << total.text.toStdString();
    EXPECT_FALSE(std::signbit(total.value) && total.value == 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, TotalTest,
    ::testing::Values(TotalCase { "NoAccount", {}, 0, clRed },
        TotalCase { "Balanced", { 100, -100 }, 0, clRed },
        TotalCase { "OneCent", { 100, -99.99 }, 0.01, clBlue },
        TotalCase { "RoundingNoiseAboveZero", { 0.1, 0.2, -0.3 }, 0, clRed },
        TotalCase { "RoundingNoiseBelowZero", { -0.1, -0.2, 0.3 }, 0, clRed },
        TotalCase { "TinyNegative", { -0.004 }, 0, clRed }, TotalCase { "TinyPositive", { 0.004 }, 0, clRed },
        TotalCase { "HalfCentRoundsUp", { 0.006 }, 0.01, clBlue },
        TotalCase { "MoreDecimals", { 10.123, 5.001 }, 15.12, clBlue },
        TotalCase { "Negative", { -250.5 }, -250.5, clRed },
        TotalCase { "Large", { 123456789.5 }, 123456789.5, clBlue }),
    [](const auto &info) { return std::string(info.param.name); });

// ---- the window ----

using MainWindowTest = FormsFixture;

QColor totalColour()
{
    return frmMain->lblTotal->palette().color(QPalette::WindowText);
}

TEST_F(MainWindowTest, Controls_CarryTheirCaptionsAndColumns)
{
    EXPECT_EQ(frmMain->btnAccountDetail->text(), "&Détail du compte");
    EXPECT_EQ(frmMain->btnIncome->text(), "Reve&nus");
    EXPECT_EQ(frmMain->btnExpences->text(), "Dépen&ses");
    EXPECT_EQ(frmMain->btnReports->text(), "&Les états");
    EXPECT_EQ(frmMain->btnPrint->text(), "Im&primer");
    EXPECT_EQ(frmMain->btnExit->text(), "&Quitter");
    EXPECT_EQ(frmMain->lblTotalCaption->text(), "Total:");
    EXPECT_EQ(frmMain->lblTotal->text(), "0.00") << "until first shown";
    EXPECT_EQ(frmMain->Label1->text(), "Ambrel Quillot");
    EXPECT_EQ(frmMain->btnAccountDetail->size(), QSize(180, 60));
    EXPECT_EQ(frmMain->GradPanel3->width(), 232);
    const auto &columns = frmMain->DBGrid1->Columns();
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].Title, "Type de compte");
    EXPECT_EQ(columns[1].Title, "Solde du compte");
    // The planned widths, the balance widened where its title or an amount would be cut, taken from the name.
    EXPECT_GE(columns[1].Width, 105);
    EXPECT_EQ(columns[0].Width + columns[1].Width, 303 + 105);
    EXPECT_EQ(columns[1].Color, TColor(15066597));
}

TEST_F(MainWindowTest, Showing_ComputesTheTotal_AndGoesBackToTheFirstAccount)
{
    addAccount("A", 100);
    addAccount("B", -99.99);
    frmMain->show();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(0.01));
    EXPECT_EQ(totalColour(), toQColor(clBlue));
    EXPECT_EQ(DataModule1->tblAccountAccount_Type->AsString(), "A");
}

TEST_F(MainWindowTest, AnEmptyBalance_CountsAsZero)
{
    DataModule1->tblAccount->AppendRow();
    DataModule1->tblAccountAccount_Type->setAsString("Vide");
    DataModule1->tblAccount->Post();
    addAccount("B", -5);
    frmMain->RefreshTotal();
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(-5));
    EXPECT_EQ(totalColour(), toQColor(clRed));
}

TEST_F(MainWindowTest, RefreshOnAClosedTable_ShowsTheErrorBox_AndKeepsTheCaption)
{
    addAccount("A", 10);
    frmMain->RefreshTotal();
    const QString before = frmMain->lblTotal->text();
    DataModule1->tblAccount->Close();
    frmMain->RefreshTotal();
    EXPECT_EQ(dialogs.errors().size(), 1);
    EXPECT_EQ(frmMain->lblTotal->text(), before);
}

TEST_F(MainWindowTest, Income_StartsARowOfTheCurrentAccount_HidesTheMainWindow_AndRefreshesTheTotal)
{
    addAccount("A", 10);
    frmMain->show();
    bool hidden = false;
    dialogs.scripts.push_back([&](QDialog &dialog) {
        EXPECT_EQ(&dialog, static_cast<QDialog *>(frmIncome));
        hidden = !frmMain->isVisible();
        EXPECT_EQ(DataModule1->tblTransaction->State(), dsInsert);
        // What the entry window does on save, reduced to the table work.
        DataModule1->tblTransactionTransaction_Amount->setAsNumber(5);
        DataModule1->tblTransactionAccount_Number->setAsInteger(
            DataModule1->tblAccountAccount_Number->AsInteger());
        DataModule1->tblTransaction->Post();
        DataModule1->tblAccount->Edit();
        DataModule1->tblAccountAccount_Balance->setAsNumber(15);
        DataModule1->tblAccount->Post();
        return true;
    });
    frmMain->btnIncome->click();
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(frmMain->isVisible());
    EXPECT_EQ(frmMain->lblTotal->text(), RegionalSettings::current().formatCurrency(15));
}

TEST_F(MainWindowTest, IncomeOrExpense_WithoutAnyAccount_IsRefusedWithAnInformationBox)
{
    for (TGradButton *button : { frmMain->btnIncome, frmMain->btnExpences }) {
        dialogs.messages.clear();
        button->click();
        EXPECT_EQ(dialogs.texts(Dialogs::MessageKind::Information).size(), 1);
        EXPECT_TRUE(dialogs.dialogs.isEmpty());
        EXPECT_EQ(DataModule1->tblTransaction->State(), dsBrowse);
    }
}

TEST_F(MainWindowTest, Expense_FinishesAChangedAccountRowFirst)
{
    addAccount("A", 10);
    DataModule1->tblAccount->Edit();
    DataModule1->tblAccountAccount_Type->setAsString("Renamed");
    dialogs.scripts.push_back([](QDialog &) {
        EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
        DataModule1->tblTransaction->Cancel();
        return false;
    });
    frmMain->btnExpences->click();
    EXPECT_EQ(dialogs.dialogs.size(), 1);
    EXPECT_EQ(DataModule1->tblAccountAccount_Type->AsString(), "Renamed");
}

TEST_F(MainWindowTest, AnEntryThatCannotStart_CancelsItsRow_AndShowsTheErrorBox)
{
    addAccount("A", 10);
    DataModule1->tblTransaction->Close();
    frmMain->btnIncome->click();
    EXPECT_EQ(dialogs.errors().size(), 1);
    EXPECT_TRUE(dialogs.dialogs.isEmpty());
}

TEST_F(MainWindowTest, AccountDetail_RunsInPlaceOfTheMainWindow)
{
    frmMain->show();
    bool hidden = false;
    dialogs.scripts.push_back([&](QDialog &dialog) {
        EXPECT_EQ(&dialog, static_cast<QDialog *>(frmAccountDetail));
        hidden = !frmMain->isVisible();
        return false;
    });
    frmMain->btnAccountDetail->click();
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(frmMain->isVisible());
}

TEST_F(MainWindowTest, Closing_PostsAChangedPendingRow_WritesIt_AndCancelsAnUnchangedOne)
{
    addAccount("A", 10);
    flushSaves();
    frmMain->show();
    DataModule1->tblAccount->Edit();
    DataModule1->tblAccountAccount_Balance->setAsNumber(42);
    DataModule1->tblIncome->Insert();
    frmMain->close();
    EXPECT_EQ(DataModule1->tblAccount->State(), dsBrowse);
    EXPECT_EQ(DataModule1->tblIncome->State(), dsBrowse);
    EXPECT_TRUE(DataModule1->tblIncome->IsEmpty());
    EXPECT_FALSE(DataModule1->tblAccount->HasUnsavedChanges()) << "written at the close";
    restart();
    EXPECT_EQ(DataModule1->tblAccountAccount_Balance->AsNumber(), 42);
}

TEST_F(MainWindowTest, WebLink_UnderlinesUnderThePointer_AndOpensTheAddressOnClick)
{
    QList<QUrl> opened;
    frmMain->openUrl = [&](const QUrl &url) { opened << url; };
    frmMain->Label2MouseEnter();
    EXPECT_TRUE(frmMain->Label2->font().underline());
    frmMain->Label2MouseLeave();
    EXPECT_FALSE(frmMain->Label2->font().underline());
    frmMain->Label2Click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front(), QUrl(QString::fromLatin1(TfrmMain::kWebAddress)));
}

// ---- the grid wheel handler ----

class WheelTest : public FormsFixture
{
protected:
    void SetUp() override
    {
        FormsFixture::SetUp();
        for (int i = 1; i <= 10; ++i)
            addAccount(QStringLiteral("Compte %1").arg(i), i);
        DataModule1->tblAccount->First();
        m_savedLines = QApplication::wheelScrollLines();
        QApplication::setWheelScrollLines(3);
    }
    void TearDown() override
    {
        QApplication::setWheelScrollLines(m_savedLines);
        FormsFixture::TearDown();
    }
    static int current() { return DataModule1->tblAccountAccount_Number->AsInteger(); }

    int m_savedLines = 3;
};

TEST_F(WheelTest, EachEventMovesByTheWheelSetting_StoppingAtTheEdges)
{
    TDBGrid &grid = *frmMain->DBGrid1;
    GridMouseWheelHandler(grid, -120);
    EXPECT_EQ(current(), 4);
    GridMouseWheelHandler(grid, -1);
    EXPECT_EQ(current(), 7) << "the whole setting, whatever the distance";
    GridMouseWheelHandler(grid, -960);
    EXPECT_EQ(current(), 10);
    GridMouseWheelHandler(grid, -120);
    EXPECT_EQ(current(), 10);
    GridMouseWheelHandler(grid, 120);
    EXPECT_EQ(current(), 7);
    GridMouseWheelHandler(grid, 0);
    EXPECT_EQ(current(), 7);
}

TEST_F(WheelTest, ARealWheelNotch_AddsTheGridsOwnStep)
{
    frmMain->show();
    QWidget *viewport = frmMain->DBGrid1->viewport();
    const QPointF at(10, 10);
    QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
    EXPECT_EQ(current(), 5);
}

TEST_F(WheelTest, AClosedTable_IsSkippedWithoutAnError)
{
    DataModule1->tblAccount->Close();
    GridMouseWheelHandler(*frmMain->DBGrid1, -120);
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace

namespace {

// ---- printing ----

class PrintTest : public FormsFixture
{
protected:
    QString pdf() const { return folder.filePath("accounts.pdf"); }
};

TEST_F(PrintTest, ACancelledPrintDialog_PrintsAndShowsNothing)
{
    addAccount("A", 1);
    dialogs.printAnswer = false;
    frmMain->btnPrint->click();
    EXPECT_EQ(dialogs.printDialogs, 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintTest, EachPrint_CarriesOneTotalLine_TheCurrentOne)
{
    addAccount("A", 100);
    frmMain->show();
    dialogs.printFileAnswer = pdf();
    frmMain->btnPrint->click();
    // An edit in the grid does not refresh the shown total; the print still carries the current one.
    DataModule1->tblAccount->Edit();
    DataModule1->tblAccountAccount_Balance->setAsNumber(75);
    DataModule1->tblAccount->Post();
    frmMain->btnPrint->click();
    EXPECT_TRUE(dialogs.messages.empty());
    const auto &header = frmMain->PrintGrid1->HeaderBounds().Records();
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header.front().Text, "Total: " + RegionalSettings::current().formatCurrency(75));
    EXPECT_EQ(header.front().Line, 250);
    EXPECT_EQ(header.front().FontSize, 10);
    EXPECT_TRUE(QFileInfo(pdf()).size() > 0);
}

TEST_F(PrintTest, AFailedPrint_ShowsThePrintError)
{
    addAccount("A", 1);
    DataModule1->tblAccount->Close();
    frmMain->btnPrint->click();
    EXPECT_EQ(dialogs.errors(), QStringList({ TfrmMain::kPrintError }));
}

} // namespace

#include "forms/GuardedApplication.h"
#include "platform/Exceptions.h"

namespace {

TEST(LastResortGuard, ShowsAnEscapingErrorInTheErrorBox_AndCountsTheEventAsNotHandled)
{
    DialogRecorder dialogs;
    EXPECT_FALSE(GuardedApplication::deliverGuarded([]() -> bool { throw EConvertError("escaped"); }));
    EXPECT_FALSE(GuardedApplication::deliverGuarded([]() -> bool { throw std::runtime_error("not ours"); }));
    EXPECT_TRUE(GuardedApplication::deliverGuarded([] { return true; }));
    EXPECT_EQ(dialogs.errors(), QStringList({ "escaped", "not ours" }));
}

} // namespace
