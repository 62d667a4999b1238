// Feeds arbitrary bytes to the report file loader. A file either fails to load, leaving the engine's report
// as it was, or loads; what loaded saves, and the saved file loads and saves again to the same bytes.
#include "report/files/ReportFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray saved(ReportFileEngine &engine)
{
    QByteArray bytes;
    if (!engine.SaveReportStream(bytes))
        std::abort();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray first;
    {
        TRpDLoader loader;
        loader.setSaveLoadPrinterSetup(true);
        const QByteArray before = saved(loader);
        try {
            loader.LoadReportStream(bytes);
        } catch (const Exception &) {
            // Nothing of an unreadable file reaches the report.
            if (saved(loader) != before)
                std::abort();
            return 0;
        }
        first = saved(loader);
    }
    ReportFileEngine again;
    again.setSaveLoadPrinterSetup(true);
    again.LoadReportStream(first);
    if (saved(again) != first)
        std::abort();
    return 0;
}
