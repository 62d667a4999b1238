#pragma once

#include "platform/DateTime.h"
#include "platform/Exceptions.h"

#include <QByteArray>
#include <QMutex>
#include <QRecursiveMutex>
#include <QString>
#include <atomic>
#include <memory>

class QFile;
class QIODevice;
class QPicture;

// Errors of the page store and of page files.
class ERpError : public Exception
{
public:
    using Exception::Exception;
};

// The bytes of a page list: kept in memory while they stay within the memory limit, then moved once to an
// exclusively created temporary file ("RPP…" in the system's temporary folder) that is removed with the
// stream. A stream opened on a page file reads that file and never removes it. Every read, write and seek
// holds the stream's lock, which the same thread may take again.
class TRpStream
{
public:
    static constexpr qint64 kRecordingMemoryLimit = 100000;

    ~TRpStream();
    TRpStream(const TRpStream &) = delete;
    TRpStream &operator=(const TRpStream &) = delete;

    static std::unique_ptr<TRpStream> forRecording(qint64 memoryLimit = kRecordingMemoryLimit);
    // EFOpenError when the file cannot be opened for reading.
    static std::unique_ptr<TRpStream> onFile(const QString &fileName);

    qint64 size() const;
    qint64 position() const;
    void seek(qint64 position);
    // Reads exactly `size` bytes at the position; ERpError when the stream ends first.
    void readExactly(char *data, qint64 size);
    QByteArray readBytes(qint64 size);
    qint32 readInt32();
    // Writes at the position (overwriting or extending); EFileError when the file refuses the bytes.
    void write(const char *data, qint64 size);
    void writeInt32(qint32 value);

    // Copies the whole stream from position 0 into `out` in 10240-byte chunks, holding the lock throughout.
    void copyTo(QIODevice &out);

    bool isInMemory() const;
    // The temporary file or the page file; empty while the bytes are in memory.
    QString fileName() const;
    bool isPageFile() const { return m_pageFile; }
    QRecursiveMutex &lock() const { return m_lock; }

private:
    TRpStream() = default;
    void spillToFile();

    mutable QRecursiveMutex m_lock;
    qint64 m_memoryLimit = 0;
    QByteArray m_memory;
    qint64 m_position = 0;
    std::unique_ptr<QFile> m_file;
    bool m_pageFile = false;
};

// The header of a page file or recording stream.
struct PageFileHeader
{
    static constexpr int kSize = 128;
    qint32 pageCount = 0;
    TDateTime written = 0;
    bool compressed = false;

    QByteArray toBytes() const;
};

// The recorded pages of a document: a count, a compression flag and the stream holding the page records.
// AddPage, ReadPage and WriteHeader each hold the list's lock for their whole run, so a reader on another
// thread never sees half a record.
class TRpPageList
{
public:
    TRpPageList();
    ~TRpPageList();

    int count() const { return m_count.load(); }
    bool compressed() const { return m_compressed.load(); }
    void setCompressed(bool compressed) { m_compressed = compressed; }

    TRpStream *stream() const { return m_stream.get(); }
    void setStream(std::unique_ptr<TRpStream> stream);
    std::unique_ptr<TRpStream> takeStream();

    // Appends a page record; the first page also writes the header. ERpError when the stream would grow past
    // the reach of the file's 32-bit offsets.
    void AddPage(const QPicture &picture);
    // The same with the picture's bytes, as QPicture::data() holds them.
    void AddPageData(const QByteArray &plain);
    // Page n (1 ≤ n ≤ count) as a picture; none outside that range. ERpError or ECompressError when the
    // record cannot be read or decoded.
    std::unique_ptr<QPicture> ReadPage(int n);
    // The serialized picture bytes of page n, as ReadPage decodes them.
    QByteArray ReadPageData(int n);
    void WriteHeader();
    void Clear();

    // Opens a page file: checks its whole record chain against the file's size (ERpError naming the fault
    // when it does not hold) and only then replaces this list's stream, count and compression flag.
    void LoadFromFile(const QString &fileName);
    // Writes the stream to a file through a temporary file and a rename; nothing when the file is the
    // list's own page file.
    void SaveToFile(const QString &fileName);

    // Checks a page file's header and record chain; returns its header or throws ERpError.
    static PageFileHeader validate(TRpStream &stream);
    // Takes a checked page file's stream with the count and compression flag of its header.
    void adopt(std::unique_ptr<TRpStream> stream, const PageFileHeader &header);

private:
    qint64 positionAtRecord(int n);
    void writeHeaderLocked();

    mutable QMutex m_lock;
    std::atomic<int> m_count { 0 };
    std::atomic<bool> m_compressed { false };
    std::unique_ptr<TRpStream> m_stream;
    // The record after the last one read: where reading page n + 1 starts.
    qint64 m_cursorOffset = 0;
    int m_cursorPage = 0;
};
