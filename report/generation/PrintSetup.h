#pragma once

class TCustomRpReport;

// The print setup dialog of a report, behind the preview's "Printer setup" command: the platform's print
// dialog on the application's printer, filled with the report's printer, orientation, copies and page range
// (pages 1 to the page count once the report's pages are all made, else 0 to 9999). Confirmed, the report
// takes the choices and its Tag becomes 0; cancelled, nothing changes and its Tag becomes 1.
//
// The designer's run-time report (TERpReport) also hands its paper source and two-sided printing to the
// dialog and takes them back.
void AskPrintSetup(TCustomRpReport &report);
