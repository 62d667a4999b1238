#include "report/pages/PageStore.h"

#include "report/pages/Compress.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QPicture>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QtEndian>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kCopyChunk = 10240;
constexpr qint64 kMaxOffset = std::numeric_limits<qint32>::max();
// Page number, next offset and back link around the page data.
constexpr qint64 kRecordOverhead = 12;

QString fileFault(const QString &what)
{
    return QObject::tr("The file is not a valid page file: %1").arg(what);
}

QByteArray serializePicture(const QPicture &picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!const_cast<QPicture &>(picture).save(&buffer))
        throw ERpError(QObject::tr("The page picture cannot be stored"));
    return bytes;
}

} // namespace

// ---- TRpStream ----

TRpStream::~TRpStream() = default;

std::unique_ptr<TRpStream> TRpStream::forRecording(qint64 memoryLimit)
{
    std::unique_ptr<TRpStream> stream(new TRpStream);
    stream->m_memoryLimit = memoryLimit;
    return stream;
}

std::unique_ptr<TRpStream> TRpStream::onFile(const QString &fileName)
{
    std::unique_ptr<TRpStream> stream(new TRpStream);
    stream->m_file = std::make_unique<QFile>(fileName);
    if (!stream->m_file->open(QIODevice::ReadOnly))
        throw EFOpenError(fileName);
    stream->m_pageFile = true;
    return stream;
}

qint64 TRpStream::size() const
{
    QMutexLocker locker(&m_lock);
    return m_file ? m_file->size() : m_memory.size();
}

qint64 TRpStream::position() const
{
    QMutexLocker locker(&m_lock);
    return m_position;
}

void TRpStream::seek(qint64 position)
{
    QMutexLocker locker(&m_lock);
    if (position < 0 || position > size())
        throw ERpError(QObject::tr("Position %1 lies outside the page stream").arg(position));
    m_position = position;
}

void TRpStream::readExactly(char *data, qint64 count)
{
    QMutexLocker locker(&m_lock);
    if (count < 0 || count > size() - m_position)
        throw ERpError(QObject::tr("The page stream ends before %1 bytes at %2").arg(count).arg(m_position));
    if (m_file) {
        if (!m_file->seek(m_position) || m_file->read(data, count) != count)
            throw EFileError(QObject::tr("Cannot read file %1").arg(m_file->fileName()));
    } else if (count > 0) {
        std::memcpy(data, m_memory.constData() + m_position, size_t(count));
    }
    m_position += count;
}

QByteArray TRpStream::readBytes(qint64 count)
{
    QMutexLocker locker(&m_lock);
    if (count < 0 || count > size() - m_position)
        throw ERpError(QObject::tr("The page stream ends before %1 bytes at %2").arg(count).arg(m_position));
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    readExactly(bytes.data(), count);
    return bytes;
}

qint32 TRpStream::readInt32()
{
    char bytes[4];
    readExactly(bytes, 4);
    return qFromLittleEndian<qint32>(bytes);
}

void TRpStream::write(const char *data, qint64 count)
{
    QMutexLocker locker(&m_lock);
    if (m_pageFile)
        throw EFileError(QObject::tr("Cannot write file %1").arg(m_file->fileName()));
    if (m_file) {
        if (!m_file->seek(m_position) || m_file->write(data, count) != count)
            throw EFileError(QObject::tr("Cannot write file %1").arg(m_file->fileName()));
        m_position += count;
        return;
    }
    const qint64 end = m_position + count;
    if (end > m_memory.size())
        m_memory.resize(qsizetype(end));
    std::memcpy(m_memory.data() + m_position, data, size_t(count));
    m_position = end;
    if (m_memory.size() > m_memoryLimit)
        spillToFile();
}

void TRpStream::writeInt32(qint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    write(bytes, 4);
}

void TRpStream::spillToFile()
{
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/RPPXXXXXX"));
    if (!file->open())
        throw EFCreateError(file->fileTemplate());
    if (file->write(m_memory) != m_memory.size())
        throw EFileError(QObject::tr("Cannot write file %1").arg(file->fileName()));
    m_memory = QByteArray();
    m_file = std::move(file);
}

void TRpStream::copyTo(QIODevice &out)
{
    QMutexLocker locker(&m_lock);
    QByteArray chunk;
    for (qint64 at = 0;; at += chunk.size()) {
        m_position = at;
        const qint64 count = qMin(kCopyChunk, size() - at);
        if (count <= 0)
            break;
        chunk = readBytes(count);
        if (out.write(chunk) != chunk.size())
            throw EFileError(QObject::tr("Cannot write file %1").arg(out.objectName()));
    }
}

bool TRpStream::isInMemory() const
{
    QMutexLocker locker(&m_lock);
    return !m_file;
}

QString TRpStream::fileName() const
{
    QMutexLocker locker(&m_lock);
    return m_file ? m_file->fileName() : QString();
}

// ---- PageFileHeader ----

QByteArray PageFileHeader::toBytes() const
{
    QByteArray bytes(kSize, '\0');
    char *d = bytes.data();
    qToLittleEndian<quint16>(3, d);
    qToLittleEndian<quint16>(350, d + 2);
    qToLittleEndian<qint32>(pageCount, d + 8);
    qToLittleEndian<double>(written, d + 16);
    d[25] = compressed ? 1 : 0;
    return bytes;
}

// ---- TRpPageList ----

TRpPageList::TRpPageList() = default;
TRpPageList::~TRpPageList() = default;

void TRpPageList::setStream(std::unique_ptr<TRpStream> stream)
{
    QMutexLocker locker(&m_lock);
    m_stream = std::move(stream);
    m_cursorOffset = 0;
    m_cursorPage = 0;
}

std::unique_ptr<TRpStream> TRpPageList::takeStream()
{
    QMutexLocker locker(&m_lock);
    m_cursorPage = 0;
    return std::move(m_stream);
}

void TRpPageList::Clear()
{
    QMutexLocker locker(&m_lock);
    m_count = 0;
    m_cursorPage = 0;
}

void TRpPageList::WriteHeader()
{
    QMutexLocker locker(&m_lock);
    writeHeaderLocked();
}

void TRpPageList::writeHeaderLocked()
{
    if (!m_stream)
        throw ERpError(QObject::tr("The page list has no stream"));
    PageFileHeader header;
    header.pageCount = m_count;
    header.written = DateTime::now();
    header.compressed = m_compressed;
    QMutexLocker streamLocker(&m_stream->lock());
    const qint64 back = m_stream->position();
    const QByteArray bytes = header.toBytes();
    m_stream->seek(0);
    m_stream->write(bytes.constData(), bytes.size());
    m_stream->seek(qMax<qint64>(back, PageFileHeader::kSize));
}

void TRpPageList::AddPage(const QPicture &picture)
{
    AddPageData(serializePicture(picture));
}

void TRpPageList::AddPageData(const QByteArray &plain)
{
    const QByteArray data = m_compressed ? TRpCompress::compress(plain) : plain;
    const qint64 dataSize = data.size() + (m_compressed ? 4 : 0);

    QMutexLocker locker(&m_lock);
    if (!m_stream)
        throw ERpError(QObject::tr("The page list has no stream"));
    QMutexLocker streamLocker(&m_stream->lock());
    const qint64 start = qMax<qint64>(m_stream->size(), PageFileHeader::kSize);
    if (start + kRecordOverhead + dataSize > kMaxOffset)
        throw ERpError(QObject::tr("The pages exceed the 2 GB a page file can hold"));
    const int number = m_count + 1;
    m_count = number;
    if (number == 1)
        writeHeaderLocked();
    m_stream->seek(start);
    m_stream->writeInt32(number);
    m_stream->writeInt32(0);
    if (m_compressed)
        m_stream->writeInt32(qint32(plain.size()));
    m_stream->write(data.constData(), data.size());
    m_stream->writeInt32(qint32(start));
    const qint64 end = m_stream->position();
    m_stream->seek(start + 4);
    m_stream->writeInt32(qint32(end));
    m_stream->seek(end);
}

qint64 TRpPageList::positionAtRecord(int n)
{
    TRpStream &s = *m_stream;
    const qint64 size = s.size();
    auto recordAt = [&](qint64 offset) {
        if (offset < PageFileHeader::kSize || offset > size - kRecordOverhead)
            throw ERpError(fileFault(QObject::tr("a page record lies outside the file")));
        return offset;
    };
    auto lastRecord = [&] {
        s.seek(size - 4);
        return recordAt(s.readInt32());
    };
    if (n == 1)
        return recordAt(PageFileHeader::kSize);
    if (n == m_count)
        return lastRecord();
    qint64 at = (m_cursorPage >= 1 && m_cursorOffset < size) ? m_cursorOffset : lastRecord();
    // Each step moves one record; a chain that does not lead to page n within the page count is damaged.
    for (int steps = 0; steps <= m_count; ++steps) {
        s.seek(recordAt(at));
        const qint32 k = s.readInt32();
        if (k == n)
            return at;
        if (k < n) {
            at = s.readInt32();
        } else {
            s.seek(recordAt(at) - 4);
            at = s.readInt32();
        }
    }
    throw ERpError(fileFault(QObject::tr("page %1 cannot be found").arg(n)));
}

QByteArray TRpPageList::ReadPageData(int n)
{
    QMutexLocker locker(&m_lock);
    if (n < 1 || n > m_count || !m_stream)
        return QByteArray();
    TRpStream &s = *m_stream;
    QMutexLocker streamLocker(&s.lock());
    const qint64 start = positionAtRecord(n);
    s.seek(start);
    if (s.readInt32() != n)
        throw ERpError(fileFault(QObject::tr("page %1 is not where its links lead").arg(n)));
    const qint64 next = s.readInt32();
    const qint64 dataSize = next - start - kRecordOverhead;
    if (dataSize < 0 || next > s.size())
        throw ERpError(fileFault(QObject::tr("the record of page %1 is damaged").arg(n)));
    QByteArray plain;
    if (m_compressed) {
        if (dataSize < 4)
            throw ERpError(fileFault(QObject::tr("the record of page %1 is damaged").arg(n)));
        const qint32 count = s.readInt32();
        const QByteArray code = s.readBytes(dataSize - 4);
        plain = TRpCompress::decompress(code.constData(), code.size(), count);
    } else {
        plain = s.readBytes(dataSize);
    }
    if (s.readInt32() != start)
        throw ERpError(fileFault(QObject::tr("the record of page %1 is damaged").arg(n)));
    m_cursorOffset = next;
    m_cursorPage = n + 1;
    return plain;
}

std::unique_ptr<QPicture> TRpPageList::ReadPage(int n)
{
    const QByteArray plain = ReadPageData(n);
    if (plain.isEmpty())
        return nullptr;
    auto picture = std::make_unique<QPicture>();
    QBuffer buffer(const_cast<QByteArray *>(&plain));
    buffer.open(QIODevice::ReadOnly);
    if (!picture->load(&buffer))
        throw ERpError(fileFault(QObject::tr("page %1 holds no picture").arg(n)));
    return picture;
}

PageFileHeader TRpPageList::validate(TRpStream &s)
{
    QMutexLocker streamLocker(&s.lock());
    const qint64 size = s.size();
    if (size < PageFileHeader::kSize)
        throw ERpError(fileFault(QObject::tr("it is shorter than its 128-byte header")));
    if (size > kMaxOffset)
        throw ERpError(fileFault(QObject::tr("it is larger than 2 GB")));
    const QByteArray head = (s.seek(0), s.readBytes(PageFileHeader::kSize));
    PageFileHeader header;
    header.pageCount = qFromLittleEndian<qint32>(head.constData() + 8);
    header.written = qFromLittleEndian<double>(head.constData() + 16);
    header.compressed = head.at(25) != 0;
    if (header.pageCount < 0)
        throw ERpError(fileFault(QObject::tr("its page count is negative")));

    qint64 start = PageFileHeader::kSize;
    for (qint32 k = 1; k <= header.pageCount; ++k) {
        if (start > size - kRecordOverhead)
            throw ERpError(fileFault(QObject::tr("it ends before page %1").arg(k)));
        s.seek(start);
        if (s.readInt32() != k)
            throw ERpError(fileFault(QObject::tr("page %1 is out of order").arg(k)));
        const qint64 next = s.readInt32();
        if (next < start + kRecordOverhead || next > size)
            throw ERpError(fileFault(QObject::tr("the link after page %1 is wrong").arg(k)));
        if (header.compressed) {
            const qint64 codeBytes = next - start - kRecordOverhead - 4;
            if (codeBytes < 0)
                throw ERpError(fileFault(QObject::tr("page %1 is too short").arg(k)));
            const qint64 count = s.readInt32();
            if (count < 0 || count > codeBytes * 8)
                throw ERpError(
                    fileFault(QObject::tr("page %1 declares more bytes than its code holds").arg(k)));
        }
        s.seek(next - 4);
        if (s.readInt32() != start)
            throw ERpError(fileFault(QObject::tr("the back link of page %1 is wrong").arg(k)));
        start = next;
    }
    // The last record ends at the end of the file, so its back link is the file's last four bytes.
    if (start != size)
        throw ERpError(fileFault(QObject::tr("it holds more than its %1 pages").arg(header.pageCount)));
    return header;
}

void TRpPageList::LoadFromFile(const QString &fileName)
{
    auto stream = TRpStream::onFile(fileName);
    const PageFileHeader header = validate(*stream);
    adopt(std::move(stream), header);
}

void TRpPageList::adopt(std::unique_ptr<TRpStream> stream, const PageFileHeader &header)
{
    QMutexLocker locker(&m_lock);
    m_stream = std::move(stream);
    m_count = header.pageCount;
    m_compressed = header.compressed;
    m_cursorPage = 0;
}

void TRpPageList::SaveToFile(const QString &fileName)
{
    QMutexLocker locker(&m_lock);
    if (!m_stream)
        return;
    if (m_stream->isPageFile()) {
        const QString own = QFileInfo(m_stream->fileName()).canonicalFilePath();
        if (!own.isEmpty() && own == QFileInfo(fileName).canonicalFilePath())
            return;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EFCreateError(fileName);
    file.setObjectName(fileName);
    m_stream->copyTo(file);
    if (!file.commit())
        throw EFCreateError(fileName);
}
