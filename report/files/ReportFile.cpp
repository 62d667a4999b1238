#include "report/files/ReportFile.h"

#include "platform/FileIO.h"
#include "report/streaming/StreamObjects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaProperty>
#include <QtEndian>

// ---------------------------------------------------------------- windows and data modules

namespace RpComponents {

namespace {

struct Entry
{
    QPointer<QObject> component;
    bool dataModule;
};

std::vector<Entry> &entries()
{
    static std::vector<Entry> list;
    return list;
}

void add(QObject *component, bool dataModule)
{
    if (!component)
        return;
    remove(component);
    entries().push_back({ component, dataModule });
}

} // namespace

void addDataModule(QObject *module)
{
    add(module, true);
}

void addWindow(QObject *window)
{
    add(window, false);
}

void remove(QObject *component)
{
    std::erase_if(
        entries(), [component](const Entry &e) { return !e.component || e.component == component; });
}

QList<QObject *> dataModules()
{
    QList<QObject *> list;
    for (const Entry &e : entries()) {
        if (e.component && e.dataModule)
            list.append(e.component);
    }
    return list;
}

bool nameInUse(const QString &name, const QObject *except)
{
    for (const Entry &e : entries()) {
        if (e.component && e.component != except
            && e.component->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace RpComponents

namespace RpMessages {

namespace {

std::function<void(const QString &)> &messageBox()
{
    static std::function<void(const QString &)> show;
    return show;
}

} // namespace

void setMessageBox(std::function<void(const QString &message)> show)
{
    messageBox() = std::move(show);
}

void showMessage(const QString &message)
{
    if (messageBox())
        messageBox()(message);
}

} // namespace RpMessages

QString oldFormatMessage()
{
    return QStringLiteral(
        "Loading reports from older designer versions not supported with current RPDESIGN.INC settings.");
}

// ---------------------------------------------------------------- fix-ups

namespace {

const QString kDatabaseOwner = QStringLiteral("DatabaseOwner");

// Calls `visit` with every reference value of the block and its nested objects. References are the
// unquoted identifiers; captions, expressions and script lines are strings and never visited.
void forEachReference(StreamObject &block, const std::function<void(QString &)> &visit);

void forEachReference(StreamValue &value, const std::function<void(QString &)> &visit)
{
    if (value.kind == StreamValue::Kind::Identifier)
        visit(value.text);
    for (StreamValue &item : value.items)
        forEachReference(item, visit);
    for (StreamCollectionItem &item : value.collection) {
        for (StreamProperty &property : item.properties)
            forEachReference(property.value, visit);
    }
}

void forEachReference(StreamObject &block, const std::function<void(QString &)> &visit)
{
    for (StreamProperty &property : block.properties)
        forEachReference(property.value, visit);
    for (StreamObject &child : block.children)
        forEachReference(child, visit);
}

// Replaces a leading qualifier `from` (followed by ".") by `to`, ignoring case.
void requalify(QString &reference, const QString &from, const QString &to)
{
    if (from.isEmpty() || reference.size() <= from.size() || reference[from.size()] != u'.')
        return;
    if (QStringView(reference).left(from.size()).compare(from, Qt::CaseInsensitive) == 0)
        reference.replace(0, from.size(), to);
}

void renameClasses(StreamObject &block, const QString &from, const QString &to)
{
    if (block.className.compare(from, Qt::CaseInsensitive) == 0)
        block.className = to;
    for (StreamObject &child : block.children)
        renameClasses(child, from, to);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

qsizetype skipBlanks(const QByteArray &bytes, qsizetype position)
{
    while (position < bytes.size() && isBlank(bytes[position]))
        ++position;
    return position;
}

// One block at `position`, in either notation; EStreamError when it cannot be read.
StreamObject readBlockAt(const QByteArray &bytes, qsizetype &position)
{
    position = skipBlanks(bytes, position);
    if (position >= bytes.size())
        throw EStreamError(QStringLiteral("The report file ends before all of its parts"));
    const QByteArray rest = QByteArray::fromRawData(bytes.constData() + position, bytes.size() - position);
    qsizetype consumed = 0;
    StreamObject block = readObjectBlock(rest, &consumed);
    if (consumed <= 0)
        throw EStreamError(QStringLiteral("The report file holds an empty part"));
    position += consumed;
    return block;
}

} // namespace

// ---------------------------------------------------------------- the engine

struct ReportFileEngine::ParsedFile
{
    StreamObject header;
    StreamObject module;
    StreamObject report;
    StreamObject addons;
    bool hasAddons = false;
};

ReportFileEngine::ReportFileEngine(const QString &windowName, QObject *parent)
    : QObject(parent)
    , m_window(std::make_unique<QObject>())
    , m_header(std::make_unique<TComponentFileHeader>())
    , m_addons(std::make_unique<TPropertyAddons>())
{
    registerDesignClasses();
    QString name = windowName.isEmpty() ? QStringLiteral("ReportDesignerForm") : windowName;
    if (RpComponents::nameInUse(name)) {
        int n = 1;
        while (RpComponents::nameInUse(name + QString::number(n)))
            ++n;
        name += QString::number(n);
    }
    m_window->setObjectName(name);
    RpComponents::addWindow(m_window.get());
    m_header->setObjectName(QStringLiteral("Header"));
    newDataModule();
    newReport();
}

ReportFileEngine::~ReportFileEngine()
{
    m_addons->clear();
    RpComponents::remove(m_dataModule.get());
    RpComponents::remove(m_window.get());
}

void ReportFileEngine::newDataModule()
{
    if (m_dataModule)
        RpComponents::remove(m_dataModule.get());
    m_dataModule = std::make_unique<TRuntimeDatamodule>();
    m_dataModule->setObjectName(QStringLiteral("RuntimeDatamodule"));
    RpComponents::addWindow(m_dataModule.get());
}

void ReportFileEngine::newReport()
{
    // The old report goes first, so that its name is free for the new one.
    delete m_report.data();
    m_report = new TDesignRpReport(m_window.get());
    m_report->setObjectName(QStringLiteral("RpReport"));
}

void ReportFileEngine::checkFormat(quint16 marker)
{
    if (marker > kOldFormatMarker)
        return;
    RpMessages::showMessage(oldFormatMessage());
    throw EReportFileError(oldFormatMessage());
}

void TRpDLoader::checkFormat(quint16 marker)
{
    if (marker == kOldFormatMarker)
        throw EReportFileError(oldFormatMessage());
}

ReportFileEngine::ParsedFile ReportFileEngine::parse(const QByteArray &bytes) const
{
    ParsedFile file;
    qsizetype position = 0;
    file.header = readBlockAt(bytes, position);
    file.module = readBlockAt(bytes, position);
    file.report = readBlockAt(bytes, position);
    // Blanks after the report block end the file as well as its end does.
    position = skipBlanks(bytes, position);
    if (position < bytes.size()) {
        file.addons = readBlockAt(bytes, position);
        file.hasAddons = true;
    }
    return file;
}

void ReportFileEngine::LoadReportFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists() && info.size() > kMaxFileSize)
        throw EReportFileError(QStringLiteral("%1 is too large to be a report file").arg(fileName));
    LoadReportStream(FileIO::readAll(fileName));
    m_fileName = fileName;
}

void ReportFileEngine::LoadReportStream(const QByteArray &bytes)
{
    // 1. What survives the load.
    const bool prepareAutomatically = m_report->prepareAutomatically();
    TRpPrinterSettings printerSettings;
    printerSettings.assign(*m_report->printerSettings());

    // 2. The format marker: the first two bytes.
    if (bytes.size() < 2)
        throw EStreamError(QStringLiteral("The file is too short to be a report file"));
    if (bytes.size() > kMaxFileSize)
        throw EReportFileError(QStringLiteral("The file is too large to be a report file"));
    checkFormat(qFromLittleEndian<quint16>(bytes.constData()));

    // Every block is read before anything changes, so an unreadable file changes nothing.
    ParsedFile file = parse(bytes);

    // 3.–6.
    clearDesign();
    readBlocks(file);
    m_modified = false;

    // 7.–8.
    renameDataModule();
    m_report->setPrepareAutomatically(prepareAutomatically);
    if (!m_saveLoadPrinterSetup)
        m_report->printerSettings()->assign(printerSettings);
}

void ReportFileEngine::clearDesign()
{
    m_addons->clear();
    // The report stays the same object: its bands and elements go, and what a file need not store is reset.
    // What else it holds (its page and printer settings as the settings file left them) stays for the file
    // to override.
    TDesignRpReport &report = *m_report;
    // A band may take others with it as it goes; each is deleted only while it is still there.
    QList<QPointer<QObject>> controls;
    for (QObject *child : report.children()) {
        if (qobject_cast<RpControl *>(child))
            controls.append(child);
    }
    for (const QPointer<QObject> &control : controls)
        delete control.data();
    report.setScript({});
    report.page()->setColumns(1);
    report.labelSettings()->setFirstLabel(0);
    report.setReportTitle(QString());
    report.setDescription({});
    TRpFrame &frame = *report.frame();
    frame.setWidth(1);
    frame.setDrawTop(false);
    frame.setDrawBottom(false);
    frame.setDrawLeft(false);
    frame.setDrawRight(false);
    newDataModule();
    m_storedModuleName.clear();
    m_header = std::make_unique<TComponentFileHeader>();
    m_header->setObjectName(QStringLiteral("Header"));
}

QString ReportFileEngine::moduleNameFor(const QString &stored) const
{
    if (stored.isEmpty() || !isStreamIdentifier(stored)
        || !RpComponents::nameInUse(stored, m_dataModule.get()))
        return stored;
    int n = 1;
    while (RpComponents::nameInUse(stored + u'_' + QString::number(n), m_dataModule.get()))
        ++n;
    return stored + u'_' + QString::number(n);
}

void ReportFileEngine::applyReadFixUps(StreamObject &block) const
{
    // A data module whose stored name was taken got a suffix when it was read: references to its datasets
    // are requalified from the stored name to the one it now has. Only references are touched (never
    // captions, expressions or script lines), and only a whole leading qualifier.
    const QString moduleName = m_dataModule->objectName();
    const bool renamed
        = !m_storedModuleName.isEmpty() && m_storedModuleName.compare(moduleName, Qt::CaseInsensitive) != 0;
    forEachReference(block, [&](QString &reference) {
        if (renamed)
            requalify(reference, m_storedModuleName, moduleName);
        if (!m_databaseOwner.isEmpty())
            requalify(reference, kDatabaseOwner, m_databaseOwner);
    });
}

QObject *ReportFileEngine::findElement(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;
    for (QObject *object : m_window->findChildren<QObject *>()) {
        if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return object;
    }
    return nullptr;
}

QObject *ReportFileEngine::resolveReference(const QString &reference) const
{
    const qsizetype dot = reference.indexOf(u'.');
    if (dot <= 0)
        return nullptr;
    const QString owner = reference.left(dot);
    const QString name = reference.mid(dot + 1);
    auto childOf = [&name](QObject *module) -> QObject * {
        for (QObject *object : module->findChildren<QObject *>()) {
            if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return object;
        }
        return nullptr;
    };
    if (owner.compare(m_dataModule->objectName(), Qt::CaseInsensitive) == 0) {
        if (QObject *found = childOf(m_dataModule.get()))
            return found;
    } else if (m_useDatamodules) {
        for (QObject *module : RpComponents::dataModules()) {
            if (module->objectName().compare(owner, Qt::CaseInsensitive) == 0) {
                if (QObject *found = childOf(module))
                    return found;
            }
        }
    }
    return resolveUnknown ? resolveUnknown(reference) : nullptr;
}

void ReportFileEngine::readBlocks(const ParsedFile &file)
{
    StreamReadOptions options;
    options.resolveExternal = [this](const QString &reference) { return resolveReference(reference); };

    // 4. The header.
    streamToObject(file.header, m_header.get(), options);
    m_header->setObjectName(QStringLiteral("Header"));
    if (OnLoadReport && !m_header->userData().isEmpty())
        OnLoadReport(m_header->userData());

    // 5. The data module, under its stored name made unique among windows and data modules. An error in this
    // block leaves the module as far as it was read; the rest of the file still loads.
    StreamObject module = file.module;
    m_dataModule->setObjectName(QString());
    m_storedModuleName = module.name;
    module.name = moduleNameFor(module.name);
    m_dataModule->setObjectName(module.name);
    try {
        applyReadFixUps(module);
        streamToObject(module, m_dataModule.get(), options);
    } catch (const Exception &) { }
    if (m_dataModule->objectName().isEmpty())
        m_dataModule->setObjectName(module.name);
    for (QObject *child : m_dataModule->children()) {
        // Data sources point at datasets; everything else in the module is a dataset.
        if (child->metaObject()->indexOfProperty("DataSet") >= 0)
            continue;
        if (BeforeOpenDataset)
            BeforeOpenDataset(child);
        const int sqlIndex = child->metaObject()->indexOfProperty("SQL");
        if (sqlIndex < 0 || child->objectName().isEmpty())
            continue;
        QMetaProperty sqlProperty = child->metaObject()->property(sqlIndex);
        QString sql;
        if (m_dataModule->queryText(child->objectName(), sql)) {
            sqlProperty.write(child,
                sqlProperty.metaType() == QMetaType::fromType<QStringList>()
                    ? QVariant(sql.split(QStringLiteral("\r\n")))
                    : QVariant(sql));
        } else {
            const QVariant current = sqlProperty.read(child);
            const QString text = current.metaType() == QMetaType::fromType<QStringList>()
                ? current.toStringList().join(QStringLiteral("\r\n"))
                : current.toString();
            if (text.contains(QStringLiteral("%%")))
                m_dataModule->setQueryText(child->objectName(), text);
        }
    }
    if (BeforeOpenDatasets)
        BeforeOpenDatasets(m_dataModule.get());

    // 6. The report, then the addons of elements that exist.
    StreamObject report = file.report;
    applyReadFixUps(report);
    streamToObject(report, m_report, options);
    m_report->setObjectName(QStringLiteral("RpReport"));
    m_addons->clear();
    if (file.hasAddons) {
        StreamObject addons = file.addons;
        applyReadFixUps(addons);
        m_addons->fromStream(addons, [this](const QString &reference) -> QObject * {
            // Element references written by another window are redirected to this one.
            const qsizetype dot = reference.indexOf(u'.');
            if (dot > 0 && !m_databaseOwner.isEmpty()
                && reference.left(dot).compare(m_databaseOwner, Qt::CaseInsensitive) == 0)
                return nullptr;
            return findElement(dot < 0 ? reference : reference.mid(dot + 1));
        });
    }
}

void ReportFileEngine::renameDataModule()
{
    QString name = m_dataModule->objectName();
    const qsizetype underscore = name.indexOf(u'_');
    if (underscore >= 0)
        name.truncate(underscore);
    while (!name.isEmpty() && name.back().isDigit())
        name.chop(1);
    // A name that loses every character ("_X", "123") takes the module's usual name.
    if (name.isEmpty())
        name = QStringLiteral("RuntimeDatamodule");
    if (RpComponents::nameInUse(name, m_dataModule.get())) {
        int n = 1;
        while (RpComponents::nameInUse(name + QString::number(n), m_dataModule.get()))
            ++n;
        name += QString::number(n);
    }
    m_dataModule->setObjectName(name);
}

qsizetype ReportFileEngine::ReadComponentBlock(const QByteArray &bytes, qsizetype position, QObject *object)
{
    StreamObject block = readBlockAt(bytes, position);
    if (object == m_dataModule.get()) {
        m_storedModuleName = block.name;
        block.name = moduleNameFor(block.name);
        m_dataModule->setObjectName(block.name);
    } else if (!block.name.isEmpty() && RpComponents::nameInUse(block.name, object)) {
        block.name = moduleNameFor(block.name);
    }
    if (object != m_header.get())
        applyReadFixUps(block);
    StreamReadOptions options;
    options.resolveExternal = [this](const QString &reference) { return resolveReference(reference); };
    streamToObject(block, object, options);
    return position;
}

QByteArray ReportFileEngine::WriteComponentBlock(const StreamObject &block) const
{
    StreamObject written = block;
    if (!m_databaseOwner.isEmpty()) {
        forEachReference(
            written, [this](QString &reference) { requalify(reference, m_databaseOwner, kDatabaseOwner); });
    }
    renameClasses(written, QStringLiteral("TRpDWQuery"), QStringLiteral("TQuery"));
    return writeObjectText(written);
}

StreamObject ReportFileEngine::reportBlock() const
{
    return objectToStream(m_report);
}

bool ReportFileEngine::SaveReportStream(QByteArray &bytes)
{
    try {
        m_header->setReportTitle(m_report->reportTitle());
        if (OnSaveReport) {
            m_header->setUserData(QByteArray());
            m_header->setUserData(OnSaveReport());
        }
        QByteArray out = WriteComponentBlock(objectToStream(m_header.get()));
        out += WriteComponentBlock(objectToStream(m_dataModule.get()));
        out += WriteComponentBlock(reportBlock());
        out += WriteComponentBlock(m_addons->toStream(m_window->objectName()));
        bytes = std::move(out);
        m_modified = false;
        return true;
    } catch (const Exception &) {
        return false;
    }
}

bool ReportFileEngine::SaveReportFile(const QString &fileName)
{
    const QString name = fileName.isEmpty() && saveFileName ? saveFileName() : fileName;
    if (name.isEmpty())
        return false;
    const bool wasModified = m_modified;
    QByteArray bytes;
    if (!SaveReportStream(bytes)) {
        m_modified = wasModified;
        return false;
    }
    // The new content goes completely to a temporary file beside the old one, which it replaces only then;
    // the previous version is kept as a backup first when asked for.
    try {
        FileIO::StagedFile staged(name, bytes);
        if (m_saveBackupFiles && QFileInfo::exists(name)) {
            const QFileInfo info(name);
            const QString backup = info.dir().filePath(info.completeBaseName() + m_backupFileExtension);
            if (QFileInfo(backup).absoluteFilePath() != info.absoluteFilePath()) {
                QFile::remove(backup);
                if (!QFile::copy(name, backup))
                    throw EFCreateError(backup);
            }
        }
        staged.commit();
    } catch (const Exception &) {
        m_modified = wasModified;
        return false;
    }
    m_fileName = name;
    m_modified = false;
    return true;
}
