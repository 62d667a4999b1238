#pragma once

#include "report/pages/RpPrinter.h"

#include <QObject>
#include <functional>

namespace RpPrintDialogTypes {
Q_NAMESPACE

enum TPrintDialogOption {
    poPrintToFile = 1,
    poPageNums = 2,
    poSelection = 4,
    poWarning = 8,
    poHelp = 16,
    poDisablePrintToFile = 32
};
Q_DECLARE_FLAGS(TPrintDialogOptions, TPrintDialogOption)
Q_FLAG_NS(TPrintDialogOptions)

enum TPrintRange { prAllPages, prSelection, prPageNums };
Q_ENUM_NS(TPrintRange)

} // namespace RpPrintDialogTypes

Q_DECLARE_OPERATORS_FOR_FLAGS(RpPrintDialogTypes::TPrintDialogOptions)

using RpPrintDialogTypes::TPrintDialogOptions;
using RpPrintDialogTypes::TPrintRange;

// What the platform's print dialog is filled with and answers: the printers and the chosen one with its
// device settings record, and the dialog's own fields.
struct TRpPrintDialogRequest
{
    QStringList printers;
    int printerIndex = -1;
    TRpDeviceMode mode;
    TPrintDialogOptions options;
    TPrintRange printRange = RpPrintDialogTypes::prAllPages;
    bool collate = false;
    bool printToFile = false;
    int copies = 0;
    int fromPage = 0;
    int toPage = 0;
    int minPage = 0;
    int maxPage = 0;
};

// Base of the engine's dialog components.
class TRpCommonDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Ctl3D READ ctl3D WRITE setCtl3D)
    Q_PROPERTY(int HelpContext READ helpContext WRITE setHelpContext)

public:
    explicit TRpCommonDialog(QObject *parent = nullptr)
        : QObject(parent)
    { }

    bool ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool value) { m_ctl3D = value; }
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int value) { m_helpContext = value; }

    std::function<void(QObject *sender)> OnShow;
    std::function<void(QObject *sender)> OnClose;

private:
    bool m_ctl3D = true;
    int m_helpContext = 0;
};

// A dialog working on a printer object: the application's printer unless another is given.
class TRpBasePrintDialog : public TRpCommonDialog
{
    Q_OBJECT

public:
    explicit TRpBasePrintDialog(QObject *parent = nullptr);

    TRpPrintDevice *printer() const { return m_printer; }
    void setPrinter(TRpPrintDevice *printer) { m_printer = printer; }

private:
    TRpPrintDevice *m_printer;
};

// The platform's standard print dialog around a printer object.
class TRpPrintDialog : public TRpBasePrintDialog
{
    Q_OBJECT
    Q_PROPERTY(bool Collate READ collate WRITE setCollate)
    Q_PROPERTY(int Copies READ copies WRITE setCopies)
    Q_PROPERTY(int FromPage READ fromPage WRITE setFromPage)
    Q_PROPERTY(int MinPage READ minPage WRITE setMinPage)
    Q_PROPERTY(int MaxPage READ maxPage WRITE setMaxPage)
    Q_PROPERTY(RpPrintDialogTypes::TPrintDialogOptions Options READ options WRITE setOptions)
    Q_PROPERTY(bool PrintToFile READ printToFile WRITE setPrintToFile)
    Q_PROPERTY(RpPrintDialogTypes::TPrintRange PrintRange READ printRange WRITE setPrintRange)
    Q_PROPERTY(int ToPage READ toPage WRITE setToPage)

public:
    using TRpBasePrintDialog::TRpBasePrintDialog;

    bool collate() const { return m_collate; }
    void setCollate(bool value) { m_collate = value; }
    int copies() const { return m_copies; }
    void setCopies(int value) { m_copies = value; }
    int fromPage() const { return m_fromPage; }
    void setFromPage(int value) { m_fromPage = value; }
    int minPage() const { return m_minPage; }
    void setMinPage(int value) { m_minPage = value; }
    int maxPage() const { return m_maxPage; }
    void setMaxPage(int value) { m_maxPage = value; }
    TPrintDialogOptions options() const { return m_options; }
    void setOptions(TPrintDialogOptions value) { m_options = value; }
    bool printToFile() const { return m_printToFile; }
    void setPrintToFile(bool value) { m_printToFile = value; }
    TPrintRange printRange() const { return m_printRange; }
    void setPrintRange(TPrintRange value) { m_printRange = value; }
    int toPage() const { return m_toPage; }
    void setToPage(int value) { m_toPage = value; }

    // Shows the dialog; true when the user confirmed. Confirmed, the printer takes the chosen printer and
    // device settings and the fields are read back; the copies are the dialog's count or, when that is 1,
    // the printer's own count (a driver that keeps copies itself reports 1), and the printer is given the
    // result. Cancelled, nothing changes. False without a printer or without a platform dialog.
    bool Execute();

    // Program-wide: the platform's dialog (the printing layer installs it); true when confirmed.
    using Runner = std::function<bool(TRpPrintDialogRequest &request)>;
    static void setRunner(Runner runner);
    static bool hasRunner();

private:
    bool m_collate = false;
    int m_copies = 0;
    int m_fromPage = 0;
    int m_minPage = 0;
    int m_maxPage = 0;
    TPrintDialogOptions m_options;
    bool m_printToFile = false;
    TPrintRange m_printRange = RpPrintDialogTypes::prAllPages;
    int m_toPage = 0;
};
