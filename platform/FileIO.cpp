#include "platform/FileIO.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <unistd.h>

namespace FileIO {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
    return bytes;
}

void writeAtomically(const QString &path, const QByteArray &bytes)
{
    StagedFile(path, bytes).commit();
}

StagedFile::StagedFile(const QString &path, const QByteArray &bytes)
    : m_path(path)
{
    const QFileInfo target(path);
    QTemporaryFile temp(
        target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX.tmp"));
    // The temporary file removes itself on every early exit below.
    if (!temp.open())
        throw EFCreateError(path);
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(path, temp.errorString()));
    // Keep the permissions a new file would get rather than the temporary file's private ones.
    if (target.exists())
        temp.setPermissions(QFile(path).permissions());
    else
        temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    temp.setAutoRemove(false);
    m_tempPath = temp.fileName();
}

StagedFile::~StagedFile()
{
    if (!m_committed && !m_tempPath.isEmpty())
        QFile::remove(m_tempPath);
}

void StagedFile::commit()
{
    if (m_committed)
        return;
    if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_path).constData()) != 0)
        throw EFCreateError(m_path);
    m_committed = true;
}

} // namespace FileIO
