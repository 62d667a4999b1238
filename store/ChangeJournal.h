#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// The change journal of a folder of table files, "Changes.journal" beside them. Saving an action appends one
// record to it that holds what the action changed in each table, and flushes it to the disk: from then on the
// action survives anything that happens to the process. The record is one unit, guarded by its length and a
// checksum, so an action that changed several tables is read back whole or not at all. A table file stays
// as it was written last and in its own format; opening a table reads its file and then applies its parts of
// the journal in order. Folding writes the tables whole again (each through a temporary file and a rename)
// and then drops their parts.
//
// Record: "QCJ1", the payload's length (32 bits), its CRC-32, the payload. Payload: the number of parts
// (16 bits), then per part the table's file name (a length byte and the bytes), the kind (1 changes, 2 the
// whole table as a binary packet), the body's length (32 bits) and the body. All integers little-endian.
//
// Changes are kept by the key of each row (its auto-increment number, which is never given twice) and hold
// whole rows, so applying a part again to a table that already holds it changes nothing: a process that
// dies after a table file was renamed but before the journal was cleared loses and doubles nothing.
namespace ChangeJournal {

inline constexpr const char *kFileName = "Changes.journal";

// The journal of the folder of a table file.
QString pathFor(const QString &tableFile);
// The name under which a table's parts are kept: its file name without the folder.
QByteArray tableKey(const QString &tableFile);

enum class PartKind : quint8 { Changes = 1, WholeTable = 2 };

struct Part
{
    QByteArray table;
    PartKind kind = PartKind::Changes;
    QByteArray body;
};

struct Record
{
    qint64 offset = 0;
    std::vector<Part> parts;
};

struct Contents
{
    std::vector<Record> records; // the whole records, in file order
    qint64 goodEnd = 0; // the end of the last whole record
    qint64 size = 0; // the file's size
    QStringList problems; // bytes that are left out, each with where they are and why
};

// Reads a journal; a missing file is an empty journal. Damaged or partly written bytes are skipped up to
// the next whole record and named in `problems`. EFileError when the file exists but cannot be read.
Contents read(const QString &path);
// The parts of one table, in order.
std::vector<const Part *> partsOf(const Contents &contents, const QByteArray &table);

// Appends one record and flushes it (and, for a new journal, its folder) to the disk. Bytes after the last
// whole record (left by a write that was cut short) are cut off first. On failure the journal is as it was
// (a journal this call created is removed again) and EFileError is thrown.
void append(const QString &path, const std::vector<Part> &parts);
// Drops the parts of these tables: the journal is removed when nothing else is left in it, and otherwise
// rewritten through a temporary file and a rename. Nothing happens when there is no journal.
void dropParts(const QString &path, const QSet<QByteArray> &tables);
// The journal's size in bytes, 0 when there is none.
qint64 size(const QString &path);

// Called at each step of saving and of applying the journal ("appended", "staged", "renamed", "folded",
// "applying"), so that a test can end the process at that point. None by default.
using StepObserver = void (*)(const char *step);
void setStepObserver(StepObserver observer);
void step(const char *name);

} // namespace ChangeJournal
