#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes.
namespace FileIO {

// The file's whole content; EFOpenError "Cannot open file %s" when it cannot be read.
QByteArray readAll(const QString &path);

// Replaces the file with `bytes` in one step: the bytes go to a temporary file in the same folder, which is
// flushed to the disk and renamed over the old file. The file on disk is therefore always either the old or
// the new content. On failure the temporary file is removed, the old file stays, and EFCreateError
// "Cannot create file %s" (or an EFileError naming the failed step) is thrown.
void writeAtomically(const QString &path, const QByteArray &bytes);

// The first half of an atomic replacement, for writing several files together: the constructor writes the
// bytes completely to a temporary file beside `path` and flushes it to the disk; commit() renames it over the
// file. Writing every file of a group before committing any means a failure (a full disk) leaves all of them
// untouched. A staged file that is never committed is removed when it goes.
class StagedFile
{
public:
    StagedFile(const QString &path, const QByteArray &bytes);
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

} // namespace FileIO
