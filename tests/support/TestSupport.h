#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <sys/resource.h>

// Helpers shared by the test binaries. Every binary runs with a QApplication on the offscreen platform and
// with the regional settings pinned to French (France): "," decimals, dd/MM/yyyy dates, "€" amounts.
namespace TestSupport {

// Pins the regional settings to a locale for the rest of the test binary (the default pin is fr_FR).
void pinLocale(const char *name);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);
// "96 19 E0 BD" → bytes; blanks and line breaks are ignored.
QByteArray fromHex(const char *hex);

// While alive, no file of this process can grow past `bytes`: writes beyond fail with EFBIG instead of
// raising SIGXFSZ, so a table write fails half-way, as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
};

} // namespace TestSupport
