#include "report/generation/PrintSetup.h"

#include "report/generation/RunReport.h"
#include "report/model/Report.h"
#include "report/pages/RpPrintDialog.h"
#include "report/pages/RpPrinter.h"

namespace {

// The designer's run-time report asks for its paper source and two-sided printing too.
bool asksSourceAndDuplex(const TCustomRpReport &report)
{
    return report.inherits("TERpReport");
}

} // namespace

void AskPrintSetup(TCustomRpReport &report)
{
    TRpReportPrinterSettings &settings = *report.printerSettings();
    TRpPrintDialog dialog;
    TRpPrintDevice *printer = dialog.printer();
    if (!printer) {
        report.setTag(1);
        return;
    }
    // 1. The application's printer with its driver's settings, on the report's printer.
    printer->SetDeviceMode(nullptr);
    printer->SetPrinterIndex(settings.printerIndex());
    if (asksSourceAndDuplex(report)) {
        TRpDeviceMode mode = printer->DeviceMode();
        mode.defaultSource = RpDeviceCodes::binCode(settings.outputBin());
        mode.duplex = settings.duplex() ? TRpDeviceMode::kDuplexHorizontal : TRpDeviceMode::kSimplex;
        mode.fields |= TRpDeviceMode::dmDefaultSource | TRpDeviceMode::dmDuplex;
        printer->SetDeviceMode(&mode);
        printer->SetPrinterIndex(settings.printerIndex());
    }
    // 2. The pages that can be chosen.
    dialog.setMinPage(0);
    dialog.setMaxPage(9999);
    const TRpPrinter *store = ReportPageStore(report);
    if (store && store->status() == TRpPrinter::Status::Finished) {
        dialog.setMinPage(1);
        dialog.setMaxPage(store->pageCount());
        dialog.setFromPage(1);
        dialog.setToPage(dialog.maxPage());
    }
    // 3. Options, orientation and copies.
    dialog.setOptions(RpPrintDialogTypes::poPageNums | RpPrintDialogTypes::poWarning);
    TRpDeviceMode mode = printer->DeviceMode();
    mode.orientation = report.page()->orientation() == RpPaper::poLandscape ? TRpDeviceMode::kLandscape
                                                                            : TRpDeviceMode::kPortrait;
    mode.fields |= TRpDeviceMode::dmOrientation;
    printer->SetDeviceMode(&mode);
    dialog.setCopies(settings.copies());
    dialog.setCollate(settings.collate());

    // 4. Cancelled: nothing changes.
    if (!dialog.Execute()) {
        report.setTag(1);
        return;
    }
    // 5. Confirmed: the report takes the choices.
    const TRpDeviceMode chosen = printer->DeviceMode();
    if (asksSourceAndDuplex(report)) {
        TRpBin bin = RpPaper::Auto;
        settings.setOutputBin(RpDeviceCodes::binFromCode(chosen.defaultSource, bin) ? bin : RpPaper::Auto);
        settings.setDuplex(chosen.duplex == TRpDeviceMode::kDuplexHorizontal);
    }
    settings.setCopies(dialog.copies());
    settings.setCollate(dialog.collate());
    settings.setPrinterIndex(printer->PrinterIndex());
    report.page()->setOrientation(
        chosen.orientation == TRpDeviceMode::kLandscape ? RpPaper::poLandscape : RpPaper::poPortrait);
    if (dialog.printRange() == RpPrintDialogTypes::prPageNums) {
        settings.setFirstPage(dialog.fromPage());
        settings.setLastPage(dialog.toPage());
    } else {
        settings.setFirstPage(0);
        settings.setLastPage(0);
    }
    report.setTag(0);
}
