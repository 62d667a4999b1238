#include "report/pages/RpPrintDialog.h"

namespace {

TRpPrintDialog::Runner &runner()
{
    static TRpPrintDialog::Runner instance;
    return instance;
}

} // namespace

TRpBasePrintDialog::TRpBasePrintDialog(QObject *parent)
    : TRpCommonDialog(parent)
    , m_printer(TRpPrinter::applicationPrinter())
{ }

void TRpPrintDialog::setRunner(Runner runner)
{
    ::runner() = std::move(runner);
}

bool TRpPrintDialog::hasRunner()
{
    return bool(::runner());
}

bool TRpPrintDialog::Execute()
{
    TRpPrintDevice *device = printer();
    if (!device || !::runner())
        return false;
    TRpPrintDialogRequest request;
    request.printers = device->Printers();
    request.printerIndex = device->PrinterIndex();
    request.mode = device->DeviceMode();
    request.options = m_options;
    request.printRange = m_printRange;
    request.collate = m_collate;
    request.printToFile = m_printToFile;
    request.copies = m_copies;
    request.fromPage = m_fromPage;
    request.toPage = m_toPage;
    request.minPage = m_minPage;
    request.maxPage = m_maxPage;
    if (OnShow)
        OnShow(this);
    const bool confirmed = ::runner()(request);
    if (OnClose)
        OnClose(this);
    if (!confirmed)
        return false;
    device->SetPrinterIndex(request.printerIndex);
    device->SetDeviceMode(&request.mode);
    m_collate = request.collate;
    m_printToFile = request.printToFile;
    m_printRange = request.printRange;
    m_fromPage = request.fromPage;
    m_toPage = request.toPage;
    TRpDeviceMode mode = device->DeviceMode();
    m_copies = request.copies == 1 ? mode.copies : request.copies;
    mode.copies = m_copies;
    mode.fields |= TRpDeviceMode::dmCopies;
    device->SetDeviceMode(&mode);
    return true;
}
