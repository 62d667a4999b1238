#include "platform/FileIO.h"

#include "platform/Exceptions.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIO {

namespace {

// The disk is given the written bytes in steps of this size while more are produced.
constexpr qint64 kHandToDiskStep = qint64(8) << 20;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

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

MappedFile::MappedFile(const QString &path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        throw EFOpenError(path);
    struct stat info
    {
    };
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(handle);
        throw EFOpenError(path);
    }
    if (info.st_size > 0) {
        // All pages at once: the whole file is read right away.
        void *mapped
            = ::mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, handle, 0);
        if (mapped == MAP_FAILED) {
            ::close(handle);
            throw EFOpenError(path);
        }
        m_data = static_cast<const char *>(mapped);
        m_size = info.st_size;
    }
    ::close(handle);
}

MappedFile::~MappedFile()
{
    if (m_data)
        ::munmap(const_cast<char *>(m_data), size_t(m_size));
}

QByteArray MappedFile::bytes() const
{
    return m_data ? QByteArray::fromRawData(m_data, qsizetype(m_size)) : QByteArray();
}

void writeAtomically(const QString &path, const QByteArray &bytes)
{
    StagedFile(path, bytes).commit();
    syncFolder(QFileInfo(path).absolutePath());
}

void FileOutput::write(const char *bytes, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::write(m_handle, bytes, size_t(std::min<qint64>(length, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(m_path, systemError()));
        bytes += n;
        length -= n;
        m_written += n;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    if (m_written - m_handedToDisk >= kHandToDiskStep) {
        // Starts the disk on what is written without waiting for it; the final flush then has little left.
        ::sync_file_range(m_handle, m_handedToDisk, m_written - m_handedToDisk, SYNC_FILE_RANGE_WRITE);
        m_handedToDisk = m_written;
    }
#endif
}

StagedFile::StagedFile(const QString &path, const QByteArray &bytes)
    : StagedFile(path, [&](FileOutput &out) { out.write(bytes.constData(), bytes.size()); })
{ }

StagedFile::StagedFile(const QString &path, const std::function<void(FileOutput &)> &produce)
    : m_path(path)
{
    const QFileInfo target(path);
    QTemporaryFile temp(
        target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX.tmp"));
    // The temporary file removes itself on every early exit below.
    if (!temp.open())
        throw EFCreateError(path);
    FileOutput out(temp.handle(), path);
    produce(out);
    if (::fsync(temp.handle()) != 0)
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(path, systemError()));
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

void syncFolder(const QString &folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        throw EFileError(QStringLiteral("Cannot flush folder %1: %2").arg(folder, systemError()));
    const bool synced = ::fsync(handle) == 0;
    const QString problem = synced ? QString() : systemError();
    ::close(handle);
    if (!synced)
        throw EFileError(QStringLiteral("Cannot flush folder %1: %2").arg(folder, problem));
}

} // namespace FileIO
