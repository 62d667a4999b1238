#pragma once

#include "platform/Exceptions.h"
#include "report/files/DesignClasses.h"
#include "report/files/ReportFileObjects.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

// Errors of report files that are not errors of the object notation: an old format, a file too large.
class EReportFileError : public Exception
{
public:
    using Exception::Exception;
};

// The windows and data modules of the application, by name: report data modules and the windows that hold
// reports take names no other of them has, and reports find the application's data modules here (in the
// order they were made) when they use the application's data.
namespace RpComponents {
void addDataModule(QObject *module);
void addWindow(QObject *window);
void remove(QObject *component);
QList<QObject *> dataModules();
// True when a window or data module other than `except` has the name (compared ignoring case).
bool nameInUse(const QString &name, const QObject *except = nullptr);
} // namespace RpComponents

// The one replaceable message box of the report designer (error icon, OK). Without one nothing is shown.
namespace RpMessages {
void setMessageBox(std::function<void(const QString &message)> show);
void showMessage(const QString &message);
} // namespace RpMessages

// What the report file side of a designer engine does: a report of the designer's kind with its data
// module, file header and addon list, held by a window object, read from and written to report files.
//
// A report file holds up to four blocks in the object notation: the file header, the report's data module,
// the report with its bands and elements, and the addon list. Loading reads every block before it touches
// the design, so a file that cannot be read leaves everything as it was; then the report's bands and elements
// go and the file's report block is read into the same report object. Errors inside properties or nested
// objects are skipped and the rest loads.
class ReportFileEngine : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;
    static constexpr int kOldFormatMarker = 0x0406;

    // The report lives under an object standing for the window that holds it, named `windowName` (made
    // unique among windows and data modules): element names are unique within it, and element references in
    // the addon list are qualified with its name.
    explicit ReportFileEngine(
        const QString &windowName = QStringLiteral("ReportDesignerForm"), QObject *parent = nullptr);
    ~ReportFileEngine() override;

    QObject *window() const { return m_window.get(); }
    TDesignRpReport *report() const { return m_report; }
    TRuntimeDatamodule *dataModule() const { return m_dataModule.get(); }
    TComponentFileHeader *header() const { return m_header.get(); }
    TPropertyAddons *addons() const { return m_addons.get(); }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    bool modified() const { return m_modified; }
    void setModified(bool value) { m_modified = value; }

    bool saveLoadPrinterSetup() const { return m_saveLoadPrinterSetup; }
    void setSaveLoadPrinterSetup(bool value) { m_saveLoadPrinterSetup = value; }
    bool useDatamodules() const { return m_useDatamodules; }
    void setUseDatamodules(bool value) { m_useDatamodules = value; }
    // The window whose datasets reports may use, written as "DatabaseOwner" in files; none in this program.
    QString databaseOwner() const { return m_databaseOwner; }
    void setDatabaseOwner(const QString &name) { m_databaseOwner = name; }
    bool saveBackupFiles() const { return m_saveBackupFiles; }
    void setSaveBackupFiles(bool value) { m_saveBackupFiles = value; }
    QString backupFileExtension() const { return m_backupFileExtension; }
    void setBackupFileExtension(const QString &value) { m_backupFileExtension = value; }
    QString reportFileExtension() const { return m_reportFileExtension; }
    void setReportFileExtension(const QString &value) { m_reportFileExtension = value; }

    // Loads a report file; raises the reason when it cannot (EFOpenError, EStreamError, EReportFileError).
    void LoadReportFile(const QString &fileName);
    void LoadReportStream(const QByteArray &bytes);
    // Saves to the file (asking for a name through saveFileName when empty); false on any error or when
    // no name is given; the modified flag then stays set.
    bool SaveReportFile(const QString &fileName);
    // The whole file's bytes; false instead of raising.
    bool SaveReportStream(QByteArray &bytes);

    // One block in the text notation, with the write fix-ups applied.
    QByteArray WriteComponentBlock(const StreamObject &block) const;
    // Reads one block (either notation) at `position` into `object`, applying the read fix-ups; returns the
    // position after the block. The object's stored name is made unique among windows and data modules.
    qsizetype ReadComponentBlock(const QByteArray &bytes, qsizetype position, QObject *object);

    // The report block as written (after the report brings its layout up to date).
    StreamObject reportBlock() const;

    // Hooks: the header's user data after a load and before a save, the datasets of a loaded data module,
    // asking for a file name when saving without one.
    std::function<void(const QByteArray &userData)> OnLoadReport;
    std::function<QByteArray()> OnSaveReport;
    std::function<void(QObject *dataset)> BeforeOpenDataset;
    std::function<void(TRuntimeDatamodule *module)> BeforeOpenDatasets;
    std::function<QString()> saveFileName;
    // Finds what a qualified reference names when neither the report's data module nor the application's
    // data modules hold it (a tool converting files makes stand-ins here); null leaves it unset.
    std::function<QObject *(const QString &reference)> resolveUnknown;

protected:
    // Step 2 of loading: refuses files of an older format by their first two bytes. The designer refuses
    // every value up to the old marker with a message box.
    virtual void checkFormat(quint16 marker);

private:
    struct ParsedFile;
    ParsedFile parse(const QByteArray &bytes) const;
    void clearDesign();
    void readBlocks(const ParsedFile &file);
    void renameDataModule();
    void applyReadFixUps(StreamObject &block) const;
    QObject *resolveReference(const QString &reference) const;
    QObject *findElement(const QString &name) const;
    QString moduleNameFor(const QString &stored) const;
    void newDataModule();
    void newReport();

    std::unique_ptr<QObject> m_window;
    QPointer<TDesignRpReport> m_report;
    std::unique_ptr<TRuntimeDatamodule> m_dataModule;
    QString m_storedModuleName; // the data module's name in the file last read
    std::unique_ptr<TComponentFileHeader> m_header;
    std::unique_ptr<TPropertyAddons> m_addons;
    QString m_fileName;
    bool m_modified = false;
    bool m_saveLoadPrinterSetup = false;
    bool m_useDatamodules = true;
    QString m_databaseOwner;
    bool m_saveBackupFiles = false;
    QString m_backupFileExtension = QStringLiteral(".BAK");
    QString m_reportFileExtension = QStringLiteral(".RP2");
};

// The loader-only engine of windows that run reports without designing them. It refuses only the old
// marker itself, without a message.
class TRpDLoader : public ReportFileEngine
{
    Q_OBJECT

public:
    using ReportFileEngine::ReportFileEngine;

protected:
    void checkFormat(quint16 marker) override;
};

// The message for a file of an older format.
QString oldFormatMessage();
