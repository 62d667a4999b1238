#pragma once

#include "report/model/PaperSize.h"
#include "report/notation/StreamHooks.h"

// The printer choices a report or a composite report carries into its page store. The printer index (−1: the
// system's default printer), the title and the collate choice are run-time settings, never streamed; the
// subclasses publish what their files store.
class TRpPrinterSettings : public RpPersistent
{
    Q_OBJECT

public:
    explicit TRpPrinterSettings(QObject *parent = nullptr)
        : RpPersistent(parent)
    { }

    int copies() const { return m_copies; }
    void setCopies(int value)
    {
        m_copies = value;
        emit changed();
    }
    bool duplex() const { return m_duplex; }
    void setDuplex(bool value)
    {
        m_duplex = value;
        emit changed();
    }
    int firstPage() const { return m_firstPage; }
    void setFirstPage(int value)
    {
        m_firstPage = value;
        emit changed();
    }
    int lastPage() const { return m_lastPage; }
    void setLastPage(int value)
    {
        m_lastPage = value;
        emit changed();
    }
    TRpBin outputBin() const { return m_outputBin; }
    void setOutputBin(TRpBin value)
    {
        m_outputBin = value;
        emit changed();
    }
    TPrinterOrientation orientation() const { return m_orientation; }
    void setOrientation(TPrinterOrientation value)
    {
        m_orientation = value;
        emit changed();
    }
    TRpPaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(TRpPaperSize value)
    {
        m_paperSize = value;
        emit changed();
    }
    QString title() const { return m_title; }
    void setTitle(const QString &value) { m_title = value; }
    int printerIndex() const { return m_printerIndex; }
    void setPrinterIndex(int value) { m_printerIndex = value; }
    // Whether copies are printed as whole sets (1..n, 1..n) or page by page (each page n times).
    bool collate() const { return m_collate; }
    void setCollate(bool value) { m_collate = value; }

    // Every setting, the run-time ones included.
    void assign(const TRpPrinterSettings &other);

private:
    int m_copies = 1;
    bool m_duplex = false;
    int m_firstPage = 0;
    int m_lastPage = 0;
    TRpBin m_outputBin = RpPaper::Auto;
    TPrinterOrientation m_orientation = RpPaper::poPortrait;
    TRpPaperSize m_paperSize = RpPaper::Letter;
    QString m_title;
    int m_printerIndex = -1;
    bool m_collate = true;
};

// The printer settings a report file stores.
class TRpReportPrinterSettings : public TRpPrinterSettings
{
    Q_OBJECT
    Q_PROPERTY(int Copies READ copies WRITE setCopies)
    Q_PROPERTY(bool Duplex READ duplex WRITE setDuplex)
    Q_PROPERTY(int FirstPage READ firstPage WRITE setFirstPage)
    Q_PROPERTY(int LastPage READ lastPage WRITE setLastPage)
    Q_PROPERTY(RpPaper::TRpBin OutputBin READ outputBin WRITE setOutputBin)

public:
    using TRpPrinterSettings::TRpPrinterSettings;
};

// The printer settings of a composite report also store the orientation and paper size.
class TRpCompositePrinterSettings : public TRpReportPrinterSettings
{
    Q_OBJECT
    Q_PROPERTY(RpPaper::TPrinterOrientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(RpPaper::TRpPaperSize PaperSize READ paperSize WRITE setPaperSize)

public:
    explicit TRpCompositePrinterSettings(QObject *parent = nullptr)
        : TRpReportPrinterSettings(parent)
    {
        // A composite report takes its paper from the printer unless it names one.
        setPaperSize(RpPaper::Default);
    }
};
