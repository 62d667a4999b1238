#include "report/model/PrinterSettings.h"

void TRpPrinterSettings::assign(const TRpPrinterSettings &other)
{
    m_copies = other.m_copies;
    m_duplex = other.m_duplex;
    m_firstPage = other.m_firstPage;
    m_lastPage = other.m_lastPage;
    m_outputBin = other.m_outputBin;
    m_orientation = other.m_orientation;
    m_paperSize = other.m_paperSize;
    m_title = other.m_title;
    m_printerIndex = other.m_printerIndex;
    m_collate = other.m_collate;
    emit changed();
}
