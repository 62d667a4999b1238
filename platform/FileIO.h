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

} // namespace FileIO
