#include "forms/FinanceApp.h"

#include "forms/AEAccount.h"
#include "forms/AEExpence.h"
#include "forms/AEIncome.h"
#include "forms/AccountDetail.h"
#include "forms/Datamod.h"
#include "forms/DefineExpences.h"
#include "forms/DefineIncome.h"
#include "forms/Expences.h"
#include "forms/Income.h"
#include "forms/InterAccount.h"
#include "forms/Main.h"
#include "forms/Reports.h"
#include "forms/TableSaver.h"
#include "platform/AppPaths.h"

#include <QApplication>

namespace {

QString g_dataFolder;
TableSaver *g_saver = nullptr;

// Creates a window into its global and keeps it for the teardown.
template <class Window> std::unique_ptr<Window> create(Window *&global)
{
    auto window = std::make_unique<Window>();
    window->hide();
    global = window.get();
    return window;
}

template <class Window> void destroy(std::unique_ptr<Window> &window, Window *&global)
{
    global = nullptr;
    window.reset();
}

} // namespace

struct FinanceApp::Windows
{
    std::unique_ptr<TDataModule1> module;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmAccountDetail> accountDetail;
    std::unique_ptr<TfrmAEAccount> aeAccount;
    std::unique_ptr<TfrmInterAccount> interAccount;
    std::unique_ptr<TfrmExpences> expences;
    std::unique_ptr<TfrmDefineExpences> defineExpences;
    std::unique_ptr<TfrmAEExpence> aeExpence;
    std::unique_ptr<TfrmIncome> income;
    std::unique_ptr<TfrmDefineIncome> defineIncome;
    std::unique_ptr<TfrmAEIncome> aeIncome;
    std::unique_ptr<TfrmReports> reports;
};

FinanceApp::FinanceApp(const QString &dataFolder)
    : m_windows(std::make_unique<Windows>())
{
    AppPaths::ensureFolder(dataFolder);
    g_dataFolder = dataFolder;
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Ambrel Quillot"));

    Windows &w = *m_windows;
    w.module = std::make_unique<TDataModule1>();
    DataModule1 = w.module.get();
    m_saver = std::make_unique<TableSaver>(*DataModule1);
    g_saver = m_saver.get();

    w.main = create(frmMain);
    w.accountDetail = create(frmAccountDetail);
    w.aeAccount = create(frmAEAccount);
    w.interAccount = create(frmInterAccount);
    w.expences = create(frmExpences);
    w.defineExpences = create(frmDefineExpences);
    w.aeExpence = create(frmAEExpence);
    w.income = create(frmIncome);
    w.defineIncome = create(frmDefineIncome);
    w.aeIncome = create(frmAEIncome);
    w.reports = create(frmReports);
}

FinanceApp::~FinanceApp()
{
    Windows &w = *m_windows;
    m_saver->finishAndSave(nullptr);

    destroy(w.reports, frmReports);
    destroy(w.aeIncome, frmAEIncome);
    destroy(w.defineIncome, frmDefineIncome);
    destroy(w.income, frmIncome);
    destroy(w.aeExpence, frmAEExpence);
    destroy(w.defineExpences, frmDefineExpences);
    destroy(w.expences, frmExpences);
    destroy(w.interAccount, frmInterAccount);
    destroy(w.aeAccount, frmAEAccount);
    destroy(w.accountDetail, frmAccountDetail);
    destroy(w.main, frmMain);

    g_saver = nullptr;
    m_saver.reset();
    // A table whose last write failed tries once more as it closes; a damaged file that never opened is
    // never written, since its table stayed closed.
    DataModule1 = nullptr;
    w.module.reset();
    g_dataFolder.clear();
}

int FinanceApp::run()
{
    frmMain->show();
    return QApplication::exec();
}

QString FinanceApp::dataFolder()
{
    return g_dataFolder;
}

QString FinanceApp::dataFolderFor(const QStringList &arguments, const QString &executableDir)
{
    return AppPaths::dataFolder(arguments, executableDir);
}

TableSaver *FinanceApp::saver()
{
    return g_saver;
}
