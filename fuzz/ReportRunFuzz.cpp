// Reads arbitrary bytes as a report block (text notation or resource form) and runs the report over a small
// table into a page store, with a page limit and a time limit: whatever a report file says, a run ends, and
// ends without a fault.
#include "report/generation/RunReport.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QGuiApplication>
#include <QPicture>
#include <chrono>
#include <cstdint>
#include <memory>

namespace {

// Fonts and pictures need the graphical application; no window is ever shown. It lives until the process
// ends: destroying it among the static objects at exit would outlive the parts it needs.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ReportRunFuzz";
    static char *argv[] = { name, nullptr };
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
}

// "DataModule1" with the four finance tables, tblTransaction holding a few rows of two accounts.
QObject &dataModule()
{
    static QObject *module = [] {
        auto *made = new QObject;
        made->setObjectName(QStringLiteral("DataModule1"));
        for (const QString &base : FinanceTables::baseNames()) {
            auto *table = new TMemTable(made);
            table->setObjectName(QStringLiteral("tbl") + base);
            FinanceTables::defsForBaseName(base, table->FieldDefs());
            table->CreateEmpty();
            table->setKeepChangeLog(false);
        }
        auto *transactions = made->findChild<TMemTable *>(QStringLiteral("tblTransaction"));
        for (int i = 1; i <= 24; ++i) {
            transactions->AppendRow();
            transactions->FieldNamed(QStringLiteral("Transaction_Description"))
                ->setAsString(QStringLiteral("Row %1 with a description long enough to wrap").arg(i));
            transactions->FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(i * 1.5);
            transactions->FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(i <= 10 ? 1 : 2);
            transactions->Post();
        }
        transactions->First();
        return made;
    }();
    return *module;
}

QObject *resolve(const QString &reference)
{
    const QStringList parts = reference.split(u'.');
    if (parts.size() != 2 || parts[0].compare(u"DataModule1", Qt::CaseInsensitive) != 0)
        return nullptr;
    for (QObject *child : dataModule().children()) {
        if (child->objectName().compare(parts[1], Qt::CaseInsensitive) == 0)
            return child;
    }
    return nullptr;
}

} // namespace

// Fontconfig keeps what it learns about each font in caches the leak checker cannot see; they are the
// system's, not the program's.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    registerAll();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    StreamReadOptions options;
    options.resolveExternal = resolve;
    std::unique_ptr<QObject> root;
    try {
        root = readComponent(bytes, options);
    } catch (const Exception &) {
        return 0;
    }
    auto *report = qobject_cast<TCustomRpReport *>(root.get());
    if (!report)
        return 0;
    TRpPrinter store;
    RpRunOptions run;
    run.pageLimit = 20;
    run.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    try {
        RunReport(*report, store, run);
    } catch (const Exception &) {
        // A run may fail (a page store error); it must not crash or hang.
    }
    // Whatever pages were made read back.
    for (int n = 1; n <= store.pageCount(); ++n)
        store.CopyPage(n);
    return 0;
}
