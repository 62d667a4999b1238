#include "support/TestSupport.h"

#include "platform/RegionalSettings.h"

#include <QFile>
#include <QLocale>
#include <csignal>
#include <stdexcept>

namespace TestSupport {

void pinLocale(const char *name)
{
    RegionalSettings::setCurrent(RegionalSettings::fromLocale(QLocale(QString::fromLatin1(name))));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray fromHex(const char *hex)
{
    QByteArray compact(hex);
    compact.replace(' ', "").replace('\n', "");
    return QByteArray::fromHex(compact);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_handler);
}

} // namespace TestSupport
