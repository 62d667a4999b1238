#include "report/model/PrinterSettings.h"

void TRpReportPrinterSettings::assign(const TRpReportPrinterSettings &other)
{
    m_copies = other.m_copies;
    m_duplex = other.m_duplex;
    m_firstPage = other.m_firstPage;
    m_lastPage = other.m_lastPage;
    m_outputBin = other.m_outputBin;
    m_printerIndex = other.m_printerIndex;
    emit changed();
}
