#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The program's exception family. Every failure a user can cause or meet is one of these; the error box of
// the windows catches exactly this family and shows message().
class Exception : public std::exception
{
public:
    explicit Exception(QString message);

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

// A text that does not convert to a number, date or time.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// A file that cannot be opened, created, read or written.
class EFileError : public Exception
{
public:
    using Exception::Exception;
};

class EFOpenError : public EFileError
{
public:
    explicit EFOpenError(const QString &fileName);
};

class EFCreateError : public EFileError
{
public:
    explicit EFCreateError(const QString &fileName);
};
