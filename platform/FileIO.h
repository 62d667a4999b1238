#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Whole-file reads and writes.
namespace FileIO {

// The file's whole content; EFOpenError "Cannot open file %s" when it cannot be read.
QByteArray readAll(const QString &path);

// A file's whole content mapped into memory, read-only, for reading it once from start to end without a
// copy. EFOpenError "Cannot open file %s" when it cannot be opened or mapped. The bytes are valid while the
// object lives; the program never changes a file in place (it replaces it), so they do not change under it.
class MappedFile
{
public:
    explicit MappedFile(const QString &path);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // The content, without a copy (empty for an empty file).
    QByteArray bytes() const;

private:
    const char *m_data = nullptr;
    qint64 m_size = 0;
};

// Replaces the file with `bytes` in one step: the bytes go to a temporary file in the same folder, which is
// flushed to the disk and renamed over the old file, and the folder is flushed so that the rename lasts. The
// file on disk is therefore always either the old or the new content. On failure the temporary file is
// removed, the old file stays, and EFCreateError "Cannot create file %s" (or an EFileError naming the failed
// step) is thrown.
void writeAtomically(const QString &path, const QByteArray &bytes);

// The bytes of a staged file as they are produced: written to the temporary file at once, and handed to the
// disk in the background while the next ones are produced, so that the final flush waits only for the last
// part.
class FileOutput
{
public:
    void write(const char *bytes, qint64 length);

private:
    friend class StagedFile;
    FileOutput(int handle, QString path)
        : m_handle(handle)
        , m_path(std::move(path))
    { }
    int m_handle;
    QString m_path;
    qint64 m_written = 0;
    qint64 m_handedToDisk = 0;
};

// The first half of an atomic replacement, for writing several files together: the constructor writes the
// bytes completely to a temporary file beside `path` and flushes it to the disk; commit() renames it over the
// file. Writing every file of a group before committing any means a failure (a full disk) leaves all of them
// untouched. A staged file that is never committed is removed when it goes. After the commits, syncFolder()
// makes the renames last.
class StagedFile
{
public:
    StagedFile(const QString &path, const QByteArray &bytes);
    // The bytes come from `produce`, which writes them to the output it is given; what it throws passes on
    // and leaves no temporary file.
    StagedFile(const QString &path, const std::function<void(FileOutput &)> &produce);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    void commit();
    QString path() const { return m_path; }

private:
    QString m_path;
    QString m_tempPath;
    bool m_committed = false;
};

// Flushes a folder's entries (created, renamed and removed files) to the disk. EFileError on failure.
void syncFolder(const QString &folder);

} // namespace FileIO
