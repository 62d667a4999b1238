#pragma once

#include <QDir>
#include <QImage>
#include <QString>

class QWidget;

// The pictures of quillot-gallery, one group per function. Each returns false when a file cannot be written.
namespace Gallery {

bool save(const QImage &image, const QDir &out, const QString &name, int &written);
// A widget (and its children) as it would appear on screen.
QImage grab(QWidget &widget);

bool renderButtons(const QDir &out, int &written);
bool renderPanels(const QDir &out, int &written);
bool renderDataControls(const QDir &out, int &written);
// The finance program's windows filled with a sample data set (frm<Name>.png).
bool renderFinanceWindows(const QDir &out, int &written);
// The report's data windows, the variable editor and both expression wizards over the finance data.
bool renderReportDataWindows(const QDir &out, int &written);
// The first page of each ready report of the Reports folder beside the tool, run over the sample data set
// (report-<Name>.png), and the designer window over the statement of accounts (designer-Releve.png).
bool renderReadyReports(const QDir &out, int &written);
// Account and transaction lists printed to PDF through the grid printer.
bool renderPrintedLists(const QDir &out, int &written);
// The report designer's window over an empty report and over a statement of accounts, with its options,
// frame and element options dialogs (designer-*.png).
bool renderDesigner(const QDir &out, int &written);
// The report designer's property dialogs over a sample report (dialog-<Form>.png).
bool renderPropertyDialogs(const QDir &out, int &written);
// Every page of the report wizard "New report definition" (wizard-<n>-<page>.png).
bool renderWizardPages(const QDir &out, int &written);

} // namespace Gallery
