#include "widgets/OpenDialog.h"

#include "widgets/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

TOpenDialog::TOpenDialog(QWidget *parent)
    : QObject(parent)
{ }

QString TOpenDialog::dialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        filters << (description.contains(u'(') ? description
                                               : description + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString TOpenDialog::startFolder(const QString &initialDir)
{
    if (initialDir.isEmpty())
        return QString();
    // Folders are written the old way (".\Reports"); the host's separator is used.
    QString folder = initialDir;
    folder.replace(u'\\', u'/');
    const QFileInfo info(QDir::current(), folder);
    return info.isDir() ? QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath())) : QString();
}

bool TOpenDialog::Execute()
{
    QWidget *owner = qobject_cast<QWidget *>(parent());
    const QString directory = startFolder(m_initialDir);
    const QString filter = dialogFilter(m_filter);
    const QString chosen = m_fileMustExist
        ? Dialogs::getOpenFileName(owner, m_title, directory, filter)
        : Dialogs::getOpenOrNewFileName(owner, m_title, directory, filter, m_defaultExt);
    if (chosen.isEmpty())
        return false;
    QString name = chosen;
    if (!m_defaultExt.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += u'.' + m_defaultExt;
    m_fileName = name;
    return true;
}
