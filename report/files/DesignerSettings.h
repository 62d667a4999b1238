#pragma once

#include "report/model/PaperSize.h"

#include <QString>
#include <QStringList>
#include <optional>

class IniFile;
class ReportFileEngine;
class TDesignRpReport;

// What the report designer's settings file ("RPDESIGN.INI" beside the program) holds. Every value is
// optional: a key that is missing keeps the current setting, and so does a value out of its range (a paper
// size, orientation or bin that is no ordinal of its list, copies below 1, a custom paper size of 0 or less,
// a negative unit, a backup extension that is not "." and up to 10 name characters, a number that is none).
// The designer window reads every section; the print window only "General" and "Printer".
struct TRpDesignerSettings
{
    enum class Sections { All, PrintWindow };

    // "User"
    std::optional<bool> allowBlockEdit;
    std::optional<bool> allowNewCalcFields;
    std::optional<bool> allowSQLEdit;
    // "Editor"
    std::optional<int> gridSizeX;
    std::optional<int> gridSizeY;
    std::optional<int> keyboardMoveX;
    std::optional<int> keyboardMoveY;
    // "Display"
    std::optional<int> componentFrameColor;
    std::optional<int> componentFrameStyle; // 0 solid, 1 dashed, 2 dotted
    std::optional<bool> showComponentFrames;
    std::optional<bool> showBandNames;
    std::optional<int> bandNameFontColor;
    std::optional<bool> reportPageRuler;
    std::optional<int> units; // a report unit ordinal; above 4 reads as 0
    // "Datafieldlist"
    std::optional<int> datafieldListTop;
    std::optional<int> datafieldListLeft;
    std::optional<int> datafieldListHeight;
    std::optional<int> datafieldListWidth;
    // "General"
    std::optional<bool> saveLoadPrinterSetup;
    std::optional<bool> useDatamodules;
    std::optional<QString> languageFile; // a name without a folder is in the program's folder
    std::optional<bool> undoEnabled;
    std::optional<bool> saveBackupFiles;
    std::optional<QString> helpFile; // likewise
    std::optional<QString> backupFileExtension;
    std::optional<QString> reportFileExtension;
    // "Printer"
    std::optional<QString> printerName;
    std::optional<bool> duplex;
    std::optional<int> printerCopies;
    std::optional<TRpBin> printerBin;
    std::optional<TPrinterOrientation> pageOrientation;
    std::optional<TRpPaperSize> paperSize;
    std::optional<double> customPaperWidth; // in the report's unit, read only for the paper size Custom
    std::optional<double> customPaperLength;
    // "History": newest first, at most five.
    QStringList history;

    static TRpDesignerSettings read(
        const IniFile &file, Sections sections = Sections::All, const QString &programFolder = QString());
    // "RPDESIGN.INI" in the program's folder.
    static QString defaultFileName();
    // The settings file the designer's windows read: the default one unless the program names another; an
    // empty name reads no file at all.
    static QString fileName();
    static void setFileName(const QString &name);
    // The file of fileName() read for the sections; nothing when there is no file.
    static TRpDesignerSettings readFile(Sections sections);

    // The "General" settings of a report file engine.
    void applyGeneral(ReportFileEngine &engine) const;
    // The "Printer" settings of a report: printer, duplex, copies, bin, orientation, paper size.
    void applyPrinter(TDesignRpReport &report) const;
};
