#include "report/files/DesignerSettings.h"

#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "report/files/ReportFile.h"
#include "report/pages/RpPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <limits>

namespace {

const QString kUser = QStringLiteral("User");
const QString kEditor = QStringLiteral("Editor");
const QString kDisplay = QStringLiteral("Display");
const QString kDatafieldList = QStringLiteral("Datafieldlist");
const QString kGeneral = QStringLiteral("General");
const QString kPrinter = QStringLiteral("Printer");
const QString kHistory = QStringLiteral("History");
constexpr int kHistoryCount = 5;
constexpr int kMaxExtensionName = 10;

std::optional<int> readInt(const IniFile &file, const QString &section, const QString &key)
{
    if (!file.valueExists(section, key))
        return std::nullopt;
    bool ok = false;
    const int value = file.readString(section, key).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> readInt(const IniFile &file, const QString &section, const QString &key, int min, int max)
{
    const std::optional<int> value = readInt(file, section, key);
    return value && *value >= min && *value <= max ? value : std::nullopt;
}

std::optional<bool> readBool(const IniFile &file, const QString &section, const QString &key)
{
    const std::optional<int> value = readInt(file, section, key);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

std::optional<QString> readText(const IniFile &file, const QString &section, const QString &key)
{
    if (!file.valueExists(section, key))
        return std::nullopt;
    return file.readString(section, key);
}

// A decimal number with "." or "," as its separator.
std::optional<double> readNumber(const IniFile &file, const QString &section, const QString &key)
{
    if (!file.valueExists(section, key))
        return std::nullopt;
    QString text = file.readString(section, key).trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

QString inFolder(const QString &name, const QString &folder)
{
    if (name.isEmpty() || folder.isEmpty() || QFileInfo(name).fileName() != name)
        return name;
    return QDir(folder).filePath(name);
}

bool isExtension(const QString &text)
{
    if (text.size() < 2 || text.size() > 1 + kMaxExtensionName || text[0] != u'.')
        return false;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!c.isLetterOrNumber() && c != u'_' && c != u'-' && c != u'~' && c != u'$')
            return false;
    }
    return true;
}

} // namespace

QString TRpDesignerSettings::defaultFileName()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("RPDESIGN.INI"));
}

namespace {

std::optional<QString> &chosenFileName()
{
    static std::optional<QString> name;
    return name;
}

} // namespace

QString TRpDesignerSettings::fileName()
{
    return chosenFileName() ? *chosenFileName() : defaultFileName();
}

void TRpDesignerSettings::setFileName(const QString &name)
{
    chosenFileName() = name;
}

TRpDesignerSettings TRpDesignerSettings::readFile(Sections sections)
{
    const QString name = fileName();
    if (name.isEmpty() || !QFileInfo::exists(name))
        return TRpDesignerSettings();
    try {
        const IniFile file(name);
        return read(file, sections);
    } catch (const Exception &) {
        // A settings file that cannot be read leaves every setting as it is.
        return TRpDesignerSettings();
    }
}

TRpDesignerSettings TRpDesignerSettings::read(
    const IniFile &file, Sections sections, const QString &programFolder)
{
    TRpDesignerSettings s;
    const QString folder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;

    s.saveLoadPrinterSetup = readBool(file, kGeneral, QStringLiteral("SaveLoadPrinterSetup"));
    s.useDatamodules = readBool(file, kGeneral, QStringLiteral("UseDatamodules"));
    if (const auto name = readText(file, kGeneral, QStringLiteral("Languagefile")))
        s.languageFile = inFolder(*name, folder);
    s.undoEnabled = readBool(file, kGeneral, QStringLiteral("UndoEnabled"));
    s.saveBackupFiles = readBool(file, kGeneral, QStringLiteral("SaveBackupFiles"));
    if (const auto name = readText(file, kGeneral, QStringLiteral("Helpfile")))
        s.helpFile = inFolder(*name, folder);
    if (const auto ext = readText(file, kGeneral, QStringLiteral("BackupFileExtension"));
        ext && isExtension(*ext))
        s.backupFileExtension = ext;
    s.reportFileExtension = readText(file, kGeneral, QStringLiteral("ReportFileExtension"));

    s.printerName = readText(file, kPrinter, QStringLiteral("PrinterName"));
    s.duplex = readBool(file, kPrinter, QStringLiteral("Duplex"));
    s.printerCopies
        = readInt(file, kPrinter, QStringLiteral("PrinterCopies"), 1, std::numeric_limits<int>::max());
    if (const auto bin = readInt(file, kPrinter, QStringLiteral("PrinterBin"), 0, int(RpPaper::Last)))
        s.printerBin = TRpBin(*bin);
    if (const auto orientation
        = readInt(file, kPrinter, QStringLiteral("PageOrientation"), 0, int(RpPaper::poLandscape)))
        s.pageOrientation = TPrinterOrientation(*orientation);
    if (const auto size = readInt(file, kPrinter, QStringLiteral("PaperSize"), 0, int(RpPaper::Custom)))
        s.paperSize = TRpPaperSize(*size);
    if (s.paperSize == RpPaper::Custom) {
        // Reading stops at the first number that cannot be read.
        const auto width = readNumber(file, kPrinter, QStringLiteral("CustomPaperWidth"));
        const auto length
            = width ? readNumber(file, kPrinter, QStringLiteral("CustomPaperLength")) : std::nullopt;
        if (width && *width > 0)
            s.customPaperWidth = width;
        if (length && *length > 0)
            s.customPaperLength = length;
    }
    if (sections == Sections::PrintWindow)
        return s;

    s.allowBlockEdit = readBool(file, kUser, QStringLiteral("AllowBlockEdit"));
    s.allowNewCalcFields = readBool(file, kUser, QStringLiteral("AllowNewCalcFields"));
    s.allowSQLEdit = readBool(file, kUser, QStringLiteral("AllowSQLEdit"));
    s.gridSizeX = readInt(file, kEditor, QStringLiteral("GridSizeX"));
    s.gridSizeY = readInt(file, kEditor, QStringLiteral("GridSizeY"));
    s.keyboardMoveX = readInt(file, kEditor, QStringLiteral("KeyboardMoveX"));
    s.keyboardMoveY = readInt(file, kEditor, QStringLiteral("KeyboardMoveY"));
    s.componentFrameColor = readInt(file, kDisplay, QStringLiteral("ComponentFrameColor"));
    s.componentFrameStyle = readInt(file, kDisplay, QStringLiteral("ComponentFrameStyle"), 0, 2);
    s.showComponentFrames = readBool(file, kDisplay, QStringLiteral("ShowComponentFrames"));
    s.showBandNames = readBool(file, kDisplay, QStringLiteral("ShowBandNames"));
    s.bandNameFontColor = readInt(file, kDisplay, QStringLiteral("BandNameFont.Color"));
    s.reportPageRuler = readBool(file, kDisplay, QStringLiteral("Report.Page.Ruler"));
    if (const auto units
        = readInt(file, kDisplay, QStringLiteral("Units"), 0, std::numeric_limits<int>::max()))
        s.units = *units > int(Rp::Native) ? 0 : *units;
    s.datafieldListTop = readInt(file, kDatafieldList, QStringLiteral("Top"));
    s.datafieldListLeft = readInt(file, kDatafieldList, QStringLiteral("Left"));
    s.datafieldListHeight = readInt(file, kDatafieldList, QStringLiteral("Height"));
    s.datafieldListWidth = readInt(file, kDatafieldList, QStringLiteral("Width"));
    for (int i = 1; i <= kHistoryCount; ++i) {
        const QString key = kHistory + QString::number(i);
        if (!file.valueExists(kHistory, key))
            break;
        s.history.append(file.readString(kHistory, key));
    }
    return s;
}

void TRpDesignerSettings::applyGeneral(ReportFileEngine &engine) const
{
    if (saveLoadPrinterSetup)
        engine.setSaveLoadPrinterSetup(*saveLoadPrinterSetup);
    if (useDatamodules)
        engine.setUseDatamodules(*useDatamodules);
    if (saveBackupFiles)
        engine.setSaveBackupFiles(*saveBackupFiles);
    if (backupFileExtension)
        engine.setBackupFileExtension(*backupFileExtension);
    if (reportFileExtension)
        engine.setReportFileExtension(*reportFileExtension);
}

void TRpDesignerSettings::applyPrinter(TDesignRpReport &report) const
{
    if (printerName)
        report.setPrinterName(*printerName);
    TRpReportPrinterSettings &printer = *report.printerSettings();
    if (duplex)
        printer.setDuplex(*duplex);
    if (printerCopies)
        printer.setCopies(*printerCopies);
    if (printerBin)
        printer.setOutputBin(*printerBin);
    TRpPage &page = *report.page();
    if (pageOrientation)
        page.setOrientation(*pageOrientation);
    if (paperSize)
        page.setPaperSize(*paperSize);
    if (page.paperSize() == RpPaper::Custom) {
        if (customPaperWidth)
            page.setWidth(*customPaperWidth);
        if (customPaperLength)
            page.setLength(*customPaperLength);
    }
}
