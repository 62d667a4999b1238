#include "platform/Exceptions.h"

Exception::Exception(QString message) : m_message(std::move(message)), m_what(m_message.toUtf8()) { }

EFOpenError::EFOpenError(const QString &fileName)
    : EFileError(QStringLiteral("Cannot open file %1").arg(fileName))
{
}

EFCreateError::EFCreateError(const QString &fileName)
    : EFileError(QStringLiteral("Cannot create file %1").arg(fileName))
{
}
