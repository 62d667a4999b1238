#include "store/ChangeJournal.h"

#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "store/detail/Crc32.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ChangeJournal {

namespace {

constexpr char kMagic[4] = { 'Q', 'C', 'J', '1' };
constexpr qint64 kRecordHead = 12;
// No record of the program comes near this; a larger length is damage.
constexpr quint32 kMaxPayload = quint32(1) << 30;

StepObserver g_observer = nullptr;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

quint32 load32(const char *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    std::memcpy(b, &v, 4);
    out.append(b, 4);
}

QByteArray encodeRecord(const std::vector<Part> &parts)
{
    QByteArray payload;
    const quint16 count = quint16(parts.size());
    payload.append(char(count & 0xFF)).append(char(count >> 8));
    for (const Part &part : parts) {
        payload.append(char(quint8(part.table.size()))).append(part.table);
        payload.append(char(part.kind));
        put32(payload, quint32(part.body.size()));
        payload.append(part.body);
    }
    QByteArray record(kMagic, 4);
    put32(record, quint32(payload.size()));
    put32(record, Crc32::of(payload.constData(), payload.size()));
    return record + payload;
}

// The parts of a payload whose checksum matched; false when its structure does not add up.
bool decodePayload(const char *p, qint64 length, std::vector<Part> &parts)
{
    const char *end = p + length;
    if (length < 2)
        return false;
    const int count = quint8(p[0]) | (quint8(p[1]) << 8);
    p += 2;
    for (int i = 0; i < count; ++i) {
        if (end - p < 1)
            return false;
        const int nameLength = quint8(*p++);
        if (end - p < nameLength + 5)
            return false;
        Part part;
        part.table = QByteArray(p, nameLength);
        p += nameLength;
        const quint8 kind = quint8(*p++);
        if (kind != quint8(PartKind::Changes) && kind != quint8(PartKind::WholeTable))
            return false;
        part.kind = PartKind(kind);
        const quint32 bodyLength = load32(p);
        p += 4;
        if (quint64(end - p) < bodyLength)
            return false;
        part.body = QByteArray(p, qsizetype(bodyLength));
        p += bodyLength;
        parts.push_back(std::move(part));
    }
    return p == end;
}

// The record at `offset` when it is whole: its end, else -1.
qint64 recordAt(const QByteArray &bytes, qint64 offset, std::vector<Part> &parts)
{
    const qint64 size = bytes.size();
    if (size - offset < kRecordHead || std::memcmp(bytes.constData() + offset, kMagic, 4) != 0)
        return -1;
    const quint32 length = load32(bytes.constData() + offset + 4);
    if (length > kMaxPayload || quint64(size - offset - kRecordHead) < length)
        return -1;
    const char *payload = bytes.constData() + offset + kRecordHead;
    if (Crc32::of(payload, length) != load32(bytes.constData() + offset + 8))
        return -1;
    parts.clear();
    if (!decodePayload(payload, length, parts))
        return -1;
    return offset + kRecordHead + length;
}

Contents parse(const QByteArray &bytes, const QString &path)
{
    Contents contents;
    contents.size = bytes.size();
    qint64 at = 0;
    const QByteArray magic(kMagic, 4);
    while (at < bytes.size()) {
        std::vector<Part> parts;
        const qint64 end = recordAt(bytes, at, parts);
        if (end >= 0) {
            contents.records.push_back({ at, std::move(parts) });
            at = end;
            contents.goodEnd = end;
            continue;
        }
        // The next whole record after the bad bytes, if any.
        qint64 next = -1;
        for (qint64 candidate = bytes.indexOf(magic, at + 1); candidate >= 0;
             candidate = bytes.indexOf(magic, candidate + 1)) {
            std::vector<Part> probe;
            if (recordAt(bytes, candidate, probe) >= 0) {
                next = candidate;
                break;
            }
        }
        const QString where = QDir::toNativeSeparators(path);
        if (next < 0) {
            contents.problems << QStringLiteral("%1: the last saved action was not completely written; its "
                                                "%2 bytes (from byte %3) are left out")
                                     .arg(where)
                                     .arg(bytes.size() - at)
                                     .arg(at);
            break;
        }
        contents.problems << QStringLiteral(
            "%1: bytes %2 to %3 are damaged; the action they held is left out")
                                 .arg(where)
                                 .arg(at)
                                 .arg(next - 1);
        at = next;
    }
    return contents;
}

// What this process knows of the journals it appends to: where the last whole record ends, so an append
// need not read the journal again.
struct KnownEnd
{
    dev_t device;
    ino_t inode;
    qint64 end;
};
QMutex g_knownLock;
std::map<QString, KnownEnd> g_known;

// An open journal, locked against other processes, that is still the file the path names (a journal that
// was replaced or removed while this process waited for the lock is opened again).
class LockedJournal
{
public:
    LockedJournal(const QString &path, bool create)
        : m_path(path)
        , m_native(QFile::encodeName(path))
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            m_handle = ::open(m_native.constData(), O_RDWR | O_CLOEXEC);
            if (m_handle < 0 && errno == ENOENT && create) {
                m_handle = ::open(m_native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                m_created = m_handle >= 0;
                if (m_handle < 0 && errno == EEXIST)
                    continue;
            }
            if (m_handle < 0) {
                if (errno == ENOENT && !create)
                    return;
                throw EFCreateError(path);
            }
            while (::flock(m_handle, LOCK_EX) != 0) {
                if (errno != EINTR)
                    throw EFileError(QStringLiteral("Cannot lock file %1: %2").arg(path, systemError()));
            }
            struct stat opened
            {
            };
            struct stat named
            {
            };
            if (::fstat(m_handle, &opened) == 0 && ::stat(m_native.constData(), &named) == 0
                && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
                m_device = opened.st_dev;
                m_inode = opened.st_ino;
                m_size = opened.st_size;
                return;
            }
            ::close(m_handle);
            m_handle = -1;
            m_created = false;
        }
        throw EFileError(QStringLiteral("Cannot open file %1: it keeps being replaced").arg(path));
    }
    ~LockedJournal()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
    LockedJournal(const LockedJournal &) = delete;
    LockedJournal &operator=(const LockedJournal &) = delete;

    bool isOpen() const { return m_handle >= 0; }
    int handle() const { return m_handle; }
    bool created() const { return m_created; }
    qint64 size() const { return m_size; }
    dev_t device() const { return m_device; }
    ino_t inode() const { return m_inode; }

    QByteArray readAll() const
    {
        QByteArray bytes(m_size, Qt::Uninitialized);
        qint64 done = 0;
        while (done < m_size) {
            const ssize_t n = ::pread(m_handle, bytes.data() + done, size_t(m_size - done), done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw EFileError(QStringLiteral("Cannot read file %1: %2").arg(m_path, systemError()));
            done += n;
        }
        return bytes;
    }

private:
    QString m_path;
    QByteArray m_native;
    int m_handle = -1;
    bool m_created = false;
    qint64 m_size = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

void forget(const QString &path)
{
    QMutexLocker locker(&g_knownLock);
    g_known.erase(path);
}

} // namespace

QString pathFor(const QString &tableFile)
{
    return QFileInfo(tableFile).absoluteDir().filePath(QString::fromLatin1(kFileName));
}

QByteArray tableKey(const QString &tableFile)
{
    return QFileInfo(tableFile).fileName().toUtf8();
}

Contents read(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Cannot read file %1: %2").arg(path, file.errorString()));
    return parse(bytes, path);
}

std::vector<const Part *> partsOf(const Contents &contents, const QByteArray &table)
{
    std::vector<const Part *> parts;
    for (const Record &record : contents.records) {
        for (const Part &part : record.parts) {
            if (part.table == table)
                parts.push_back(&part);
        }
    }
    return parts;
}

void append(const QString &path, const std::vector<Part> &parts)
{
    for (const Part &part : parts) {
        if (part.table.isEmpty() || part.table.size() > 255 || part.body.size() > qsizetype(kMaxPayload))
            throw EFileError(QStringLiteral("Cannot write file %1: a change is too large").arg(path));
    }
    const QByteArray record = encodeRecord(parts);
    LockedJournal journal(path, true);

    qint64 goodEnd = -1;
    {
        QMutexLocker locker(&g_knownLock);
        const auto known = g_known.find(path);
        if (known != g_known.end() && known->second.device == journal.device()
            && known->second.inode == journal.inode() && known->second.end == journal.size())
            goodEnd = journal.size();
    }
    if (goodEnd < 0)
        goodEnd = parse(journal.readAll(), path).goodEnd;

    const int handle = journal.handle();
    auto undo = [&] {
        // Best effort: what is left after a failed undo is cut off by the next append, and a reader stops
        // before it.
        if (journal.created() && goodEnd == 0)
            ::unlink(QFile::encodeName(path).constData());
        else if (::ftruncate(handle, goodEnd) == 0)
            ::fdatasync(handle);
        forget(path);
    };
    if (goodEnd < journal.size() && ::ftruncate(handle, goodEnd) != 0) {
        const QString problem = systemError();
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(path, problem));
    }
    qint64 done = 0;
    while (done < record.size()) {
        const ssize_t n
            = ::pwrite(handle, record.constData() + done, size_t(record.size() - done), goodEnd + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString problem = systemError();
            undo();
            throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(path, problem));
        }
        done += n;
    }
    step("written");
    if (::fdatasync(handle) != 0) {
        const QString problem = systemError();
        undo();
        throw EFileError(QStringLiteral("Cannot write file %1: %2").arg(path, problem));
    }
    if (journal.created()) {
        try {
            FileIO::syncFolder(QFileInfo(path).absolutePath());
        } catch (const EFileError &) {
            undo();
            throw;
        }
    }
    {
        QMutexLocker locker(&g_knownLock);
        g_known[path] = { journal.device(), journal.inode(), goodEnd + record.size() };
    }
    step("appended");
}

void dropParts(const QString &path, const QSet<QByteArray> &tables)
{
    LockedJournal journal(path, false);
    if (!journal.isOpen())
        return;
    const Contents contents = parse(journal.readAll(), path);
    std::vector<std::vector<Part>> kept;
    for (const Record &record : contents.records) {
        std::vector<Part> parts;
        for (const Part &part : record.parts) {
            if (!tables.contains(part.table))
                parts.push_back(part);
        }
        if (!parts.empty())
            kept.push_back(std::move(parts));
    }
    forget(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (kept.empty()) {
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
            throw EFileError(QStringLiteral("Cannot remove file %1: %2").arg(path, systemError()));
    } else {
        FileIO::StagedFile rewritten(path, [&](FileIO::FileOutput &out) {
            for (const std::vector<Part> &parts : kept) {
                const QByteArray record = encodeRecord(parts);
                out.write(record.constData(), record.size());
            }
        });
        rewritten.commit();
    }
    FileIO::syncFolder(folder);
}

qint64 size(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_size;
}

void setStepObserver(StepObserver observer)
{
    g_observer = observer;
}

void step(const char *name)
{
    if (g_observer)
        g_observer(name);
}

} // namespace ChangeJournal
