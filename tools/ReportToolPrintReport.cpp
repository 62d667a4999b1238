#include "ReportTool.h"

namespace ReportTool {

int printReport(const QByteArray &bytes, const PrintOptions &options)
{
    Q_UNUSED(bytes);
    Q_UNUSED(options);
    printError(QStringLiteral("%1: running reports is not available yet").arg(options.input));
    return 1;
}

} // namespace ReportTool
