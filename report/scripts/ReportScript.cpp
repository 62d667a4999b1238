#include "report/scripts/ReportScript.h"

namespace RpReportScript {

namespace {

constexpr qsizetype kMaxLine = 255;

} // namespace

int renameSections(QStringList &script, const QString &oldName, const QString &newName)
{
    if (oldName.isEmpty() || oldName == newName)
        return 0;
    const QString from = u'[' + oldName + u'.';
    const QString to = u'[' + newName + u'.';
    int renamed = 0;
    for (QString &line : script) {
        if (!line.startsWith(from, Qt::CaseSensitive))
            continue;
        line = (to + line.mid(from.size())).left(kMaxLine);
        ++renamed;
    }
    return renamed;
}

bool hasSection(const QStringList &script, const QString &name)
{
    if (name.isEmpty())
        return false;
    const QString marker = u'[' + name.toUpper() + u'.';
    return script.join(QStringLiteral("\r\n")).toUpper().contains(marker);
}

bool keepsScriptOnRename(const QString &name)
{
    return name.compare(QLatin1String("RowSpace"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("LabelBand"), Qt::CaseInsensitive) == 0;
}

} // namespace RpReportScript
