#pragma once

#include "report/model/PaperSize.h"
#include "report/notation/StreamHooks.h"

// The printer choices stored with a report. The printer index (−1: the system's default printer) is not
// streamed.
class TRpReportPrinterSettings : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(int Copies READ copies WRITE setCopies)
    Q_PROPERTY(bool Duplex READ duplex WRITE setDuplex)
    Q_PROPERTY(int FirstPage READ firstPage WRITE setFirstPage)
    Q_PROPERTY(int LastPage READ lastPage WRITE setLastPage)
    Q_PROPERTY(RpPaper::TRpBin OutputBin READ outputBin WRITE setOutputBin)

public:
    explicit TRpReportPrinterSettings(QObject *parent = nullptr) : RpPersistent(parent) {}

    int copies() const { return m_copies; }
    void setCopies(int value) { m_copies = value; emit changed(); }
    bool duplex() const { return m_duplex; }
    void setDuplex(bool value) { m_duplex = value; emit changed(); }
    int firstPage() const { return m_firstPage; }
    void setFirstPage(int value) { m_firstPage = value; emit changed(); }
    int lastPage() const { return m_lastPage; }
    void setLastPage(int value) { m_lastPage = value; emit changed(); }
    TRpBin outputBin() const { return m_outputBin; }
    void setOutputBin(TRpBin value) { m_outputBin = value; emit changed(); }
    int printerIndex() const { return m_printerIndex; }
    void setPrinterIndex(int value) { m_printerIndex = value; }

    void assign(const TRpReportPrinterSettings &other);

private:
    int m_copies = 1;
    bool m_duplex = false;
    int m_firstPage = 0;
    int m_lastPage = 0;
    TRpBin m_outputBin = RpPaper::Auto;
    int m_printerIndex = -1;
};

// The printer settings of a composite report also carry the orientation and paper size.
class TRpCompositePrinterSettings : public TRpReportPrinterSettings
{
    Q_OBJECT
    Q_PROPERTY(RpPaper::TPrinterOrientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(RpPaper::TRpPaperSize PaperSize READ paperSize WRITE setPaperSize)

public:
    using TRpReportPrinterSettings::TRpReportPrinterSettings;

    TPrinterOrientation orientation() const { return m_orientation; }
    void setOrientation(TPrinterOrientation value) { m_orientation = value; emit changed(); }
    TRpPaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(TRpPaperSize value) { m_paperSize = value; emit changed(); }

private:
    TPrinterOrientation m_orientation = RpPaper::poPortrait;
    TRpPaperSize m_paperSize = RpPaper::Default;
};
