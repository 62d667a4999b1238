#include "store/MemTable.h"

#include "platform/Cp1252.h"
#include "platform/FileIO.h"
#include "store/ChangeJournal.h"
#include "store/FilterExpr.h"
#include "store/PacketWriter.h"

#include <QFileInfo>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <exception>
#include <map>

namespace {

TFieldType fieldTypeOfColumn(const ColumnDesc &column)
{
    switch (column.type) {
    case StoreType::Int32:
        return column.subtype == StoreSubtype::Autoinc ? ftAutoInc : ftInteger;
    case StoreType::Int8:
    case StoreType::Int16:
        return ftSmallint;
    case StoreType::UInt8:
    case StoreType::UInt16:
        return ftWord;
    case StoreType::UInt32:
    case StoreType::Int64:
    case StoreType::UInt64:
        return ftLargeint;
    case StoreType::Bool:
        return ftBoolean;
    case StoreType::Float:
        return column.subtype == StoreSubtype::Money ? ftCurrency : ftFloat;
    case StoreType::Float10:
        return ftUnknown;
    case StoreType::Decimal:
        return ftBCD;
    case StoreType::Date:
        return ftDate;
    case StoreType::Time:
        return ftTime;
    case StoreType::DateTimeStamp:
        return ftDateTime;
    case StoreType::Text:
        return ftString;
    case StoreType::WideText:
        return ftWideString;
    case StoreType::Bytes:
        return ftBytes;
    case StoreType::VarBytes:
        return ftVarBytes;
    case StoreType::Blob:
        return ftBlob;
    case StoreType::Struct:
        return ftADT;
    case StoreType::Array:
        return ftArray;
    case StoreType::EmbeddedTable:
        return ftDataSet;
    case StoreType::Reference:
        return ftReference;
    case StoreType::SqlTimeStamp:
        return ftTimeStamp;
    case StoreType::FormattedDecimal:
        return ftFMTBcd;
    }
    return ftUnknown;
}

bool isXmlName(const QString &fileName)
{
    return fileName.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

// Writes a field's value into a record as the given column's value (a range key, or a new detail row).
void encodeInto(
    const RecordLayout &layout, const ColumnDesc &column, int index, const TField &source, char *record)
{
    if (source.IsNullValue()) {
        Record::setState(layout, record, index, FieldState::Null);
        return;
    }
    char bytes[8] = {};
    switch (column.type) {
    case StoreType::Int8:
    case StoreType::UInt8:
        bytes[0] = char(source.AsInteger());
        Record::setValue(layout, record, index, bytes, 1);
        break;
    case StoreType::Int16:
    case StoreType::UInt16:
        qToLittleEndian<quint16>(quint16(source.AsInteger()), bytes);
        Record::setValue(layout, record, index, bytes, 2);
        break;
    case StoreType::Int32:
        qToLittleEndian<qint32>(source.AsInteger(), bytes);
        Record::setValue(layout, record, index, bytes, 4);
        break;
    case StoreType::Float: {
        const double value = qToLittleEndian(source.AsNumber());
        std::memcpy(bytes, &value, sizeof value);
        Record::setValue(layout, record, index, bytes, 8);
        break;
    }
    case StoreType::DateTimeStamp: {
        const double value = qToLittleEndian(DateTime::dateTimeToStamp(source.AsNumber()));
        std::memcpy(bytes, &value, sizeof value);
        Record::setValue(layout, record, index, bytes, 8);
        break;
    }
    case StoreType::Text: {
        QByteArray text;
        if (!Cp1252::encode(source.AsString().left(column.width), text))
            text.clear();
        Record::setValue(layout, record, index, text.constData(), int(text.size()));
        break;
    }
    default:
        Record::setState(layout, record, index, FieldState::Null);
        break;
    }
}

} // namespace

TCustomMemTable::TCustomMemTable(QObject *parent)
    : TDataSet(parent)
    , m_masterLink(this)
{
    m_masterLink.OnMasterChange = [this] { masterChange(); };
    m_masterLink.OnMasterDisable = [this] { masterDisable(); };
}

TCustomMemTable::~TCustomMemTable()
{
    m_masterLink.OnMasterChange = nullptr;
    m_masterLink.OnMasterDisable = nullptr;
    try {
        Close();
    } catch (const Exception &error) {
        qWarning("%s",
            qPrintable(prefixed(
                QStringLiteral("changes not written while the table was destroyed: ") + error.message())));
    }
    m_masterLink.setDataSource(nullptr);
}

const RecordLayout *TCustomMemTable::recordLayout() const
{
    return m_store ? &m_store->layout() : nullptr;
}

const ColumnDesc *TCustomMemTable::columnDesc(int column) const
{
    if (!m_store || column < 0 || column >= int(m_store->columns().size()))
        return nullptr;
    return &m_store->columns()[size_t(column)];
}

bool TCustomMemTable::CanModify() const
{
    return Active() && !m_readOnly && m_store && !m_store->readOnly();
}

bool TCustomMemTable::KeepChangeLog() const
{
    checkActive();
    return m_store->keepChangeLog();
}

void TCustomMemTable::setKeepChangeLog(bool on)
{
    checkActive();
    FinishPendingRow();
    m_store->setKeepChangeLog(on);
}

void TCustomMemTable::storeTrimChanged()
{
    if (m_store)
        m_store->setStringTrim(!DisableStringTrim());
}

// ---- opening and closing ----

void TCustomMemTable::Open()
{
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    try {
        if (!m_store)
            loadStore();
        else
            forgetJournalState();
        m_openedFileName = m_fileName;
        // Changes are noted for the change journal where the table's file can take them.
        m_store->setRecordChanges(!m_fileName.isEmpty() && !isXmlName(m_fileName));
        m_store->setStringTrim(!DisableStringTrim());
        m_cursor = m_store->createCursor();
        bindFields();
        applyIndex();
        applyMasterRange();
        applyFilters();
        fillWindow(0, 0);
        setAtStart(true);
        setAtEnd(m_recordCount == 0);
        setState(dsBrowse);
    } catch (...) {
        // Whatever failed half-way, the table ends up closed with nothing held.
        abandon();
        throw;
    }
    if (AfterOpen)
        AfterOpen(*this);
}

void TCustomMemTable::loadStore()
{
    forgetJournalState();
    if (m_fileName.isEmpty())
        databaseError(QStringLiteral("Missing data provider or data packet"));
    // The table is its file and then its parts of the change journal, in order; a part that holds the whole
    // table replaces everything before it (and stands for a file that was not yet written).
    const QString journalPath = ChangeJournal::pathFor(m_fileName);
    const ChangeJournal::Contents journal = ChangeJournal::read(journalPath);
    const std::vector<const ChangeJournal::Part *> parts
        = ChangeJournal::partsOf(journal, ChangeJournal::tableKey(m_fileName));
    size_t first = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i]->kind == ChangeJournal::PartKind::WholeTable)
            first = i;
    }
    std::unique_ptr<IRecordStore> store;
    if (!parts.empty() && parts[first]->kind == ChangeJournal::PartKind::WholeTable) {
        ChangeJournal::step("applying");
        store = IRecordStore::fromPacket(parts[first]->body, journalPath);
        ++first;
    } else {
        if (!QFileInfo::exists(m_fileName))
            databaseError(QStringLiteral("Missing data provider or data packet"));
        const FileIO::MappedFile file(m_fileName);
        const QByteArray packet = file.bytes();
        if (packet.isEmpty())
            databaseError(QStringLiteral("Missing data provider or data packet"));
        store = IRecordStore::fromPacket(packet, m_fileName);
    }
    QStringList warnings = journal.problems;
    if (first < parts.size()) {
        ChangeJournal::step("applying");
        std::vector<QByteArray> changes;
        for (size_t i = first; i < parts.size(); ++i)
            changes.push_back(parts[i]->body);
        warnings += store->applyChanges(changes, journalPath);
    }
    m_store = std::move(store);
    m_onDisk = true;
    m_journalParts = !parts.empty();
    m_loadWarnings = warnings;
    buildFieldDefsFromStore();
}

void TCustomMemTable::forgetJournalState()
{
    m_onDisk = false;
    m_journalParts = false;
    m_loadWarnings.clear();
}

bool TCustomMemTable::TableExists(const QString &fileName)
{
    if (QFileInfo::exists(fileName))
        return true;
    const ChangeJournal::Contents journal = ChangeJournal::read(ChangeJournal::pathFor(fileName));
    for (const ChangeJournal::Part *part :
        ChangeJournal::partsOf(journal, ChangeJournal::tableKey(fileName))) {
        if (part->kind == ChangeJournal::PartKind::WholeTable)
            return true;
    }
    return false;
}

void TCustomMemTable::buildFieldDefsFromStore()
{
    TFieldDefs defs;
    for (const ColumnDesc &column : m_store->columns()) {
        const QString base = Cp1252::decode(column.name);
        QString name = base;
        for (int suffix = 1; defs.IndexOf(name) >= 0; ++suffix)
            name = base + QLatin1Char('_') + QString::number(suffix);
        const TFieldType type = fieldTypeOfColumn(column);
        defs.Add(name, type, type == ftString ? column.width : 0, column.attributes);
    }
    FieldDefs() = defs;
}

void TCustomMemTable::bindFields()
{
    if (Fields().empty() || hasDefaultFields())
        createDefaultFields();
    // Column i carries definition i: the names of the definitions are the unique ones.
    for (const auto &field : Fields()) {
        const int column = FieldDefs().IndexOf(field->FieldName());
        if (column < 0 || column >= int(m_store->columns().size()))
            databaseError(QStringLiteral("Field '%1' not found").arg(field->FieldName()));
        const TFieldType actual = FieldDefs()[column].DataType;
        if (!fieldTypesCompatible(field->DataType(), actual))
            databaseError(
                QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                    .arg(field->FieldName(), fieldTypeName(field->DataType()), fieldTypeName(actual)));
        bindField(*field, column);
    }
}

void TCustomMemTable::abandon()
{
    if (State() != dsInactive) {
        try {
            setState(dsInactive);
        } catch (const Exception &) {
            // An observer failing while the table shuts down must not keep it half open; the error that
            // brought us here is the one the caller sees.
        }
    }
    m_cursor.reset();
    m_store.reset();
    forgetJournalState();
    m_openedFileName.clear();
    clearWindow();
    unbindFields();
    destroyDefaultFields();
    m_rangeKey.reset();
    m_filterIds.clear();
    m_windowStart = 0;
    setAtEnd(true);
    setAtStart(true);
}

void TCustomMemTable::Close()
{
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(*this);
    std::exception_ptr failure;
    try {
        setState(dsInactive);
    } catch (const Exception &) {
        failure = std::current_exception();
    }
    try {
        writeFile();
    } catch (const Exception &) {
        if (!failure)
            failure = std::current_exception();
    }
    abandon();
    if (AfterClose) {
        if (!failure) {
            AfterClose(*this);
        } else {
            try {
                AfterClose(*this);
            } catch (const Exception &) {
                // The failed write is the error the caller must see.
            }
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TCustomMemTable::writeFile()
{
    if (HasUnsavedChanges())
        saveTables({ this }, FoldMode::Always);
}

void TCustomMemTable::SaveChanges()
{
    checkActive();
    writeFile();
}

bool TCustomMemTable::HasUnsavedChanges() const
{
    return m_store && m_store->changeCount() != 0 && !m_fileName.isEmpty();
}

void TCustomMemTable::SaveChangesTogether(const std::vector<TCustomMemTable *> &tables)
{
    saveTables(tables, FoldMode::WhenLarge);
}

void TCustomMemTable::FoldChangesTogether(const std::vector<TCustomMemTable *> &tables)
{
    saveTables(tables, FoldMode::Always);
}

namespace {

// The journal is folded into the table files when it outgrows this share of them, and never below the
// floor: a small journal costs little to apply, a fold costs a whole write of the tables.
constexpr qint64 kFoldShare = 8;
constexpr qint64 kFoldFloor = qint64(1) << 20;

} // namespace

std::unique_ptr<FileIO::StagedFile> TCustomMemTable::stageWholeTable() const
{
    if (isXmlName(m_fileName))
        return std::make_unique<FileIO::StagedFile>(m_fileName, m_store->toPacket(PacketForm::Xml));
    return std::make_unique<FileIO::StagedFile>(m_fileName, [this](FileIO::FileOutput &out) {
        PacketWriter::writeBinary(
            *m_store, [&](const char *bytes, qint64 length) { out.write(bytes, length); });
    });
}

bool TCustomMemTable::usesJournal() const
{
    return !isXmlName(m_fileName) && m_fileName == m_openedFileName;
}

void TCustomMemTable::markSaved()
{
    m_store->resetChangeCount();
    m_store->forgetRecordedChanges();
}

void TCustomMemTable::writeWhole(const std::vector<TCustomMemTable *> &tables)
{
    // Every file is written completely before the first rename, so a failure changes none of them.
    std::vector<std::unique_ptr<FileIO::StagedFile>> staged;
    for (TCustomMemTable *table : tables)
        staged.push_back(table->stageWholeTable());
    ChangeJournal::step("staged");
    QSet<QString> folders;
    for (size_t i = 0; i < tables.size(); ++i) {
        staged[i]->commit();
        folders.insert(QFileInfo(tables[i]->m_fileName).absolutePath());
        ChangeJournal::step("renamed");
    }
    for (const QString &folder : folders)
        FileIO::syncFolder(folder);
    for (TCustomMemTable *table : tables) {
        table->markSaved();
        table->m_onDisk = true;
    }
}

void TCustomMemTable::fold(const QString &journal, const std::vector<TCustomMemTable *> &tables)
{
    if (tables.empty())
        return;
    // Every change of these tables is in the journal, so a process that dies between the renames and the
    // dropping of the parts applies them again over files that already hold them, which changes nothing.
    writeWhole(tables);
    ChangeJournal::step("folded");
    QSet<QByteArray> keys;
    for (TCustomMemTable *table : tables)
        keys.insert(ChangeJournal::tableKey(table->m_fileName));
    ChangeJournal::dropParts(journal, keys);
    for (TCustomMemTable *table : tables)
        table->m_journalParts = false;
}

void TCustomMemTable::saveTables(const std::vector<TCustomMemTable *> &tables, FoldMode mode)
{
    // Tables that share a folder share a journal and are saved as one unit; the others are written whole.
    std::map<QString, std::vector<TCustomMemTable *>> groups;
    std::vector<TCustomMemTable *> direct;
    QSet<TCustomMemTable *> seen;
    for (TCustomMemTable *table : tables) {
        if (!table || !table->m_store || table->m_fileName.isEmpty() || seen.contains(table))
            continue;
        seen.insert(table);
        if (!table->usesJournal()) {
            if (table->HasUnsavedChanges())
                direct.push_back(table);
            continue;
        }
        if (table->HasUnsavedChanges() || table->m_journalParts)
            groups[ChangeJournal::pathFor(table->m_fileName)].push_back(table);
    }
    if (!direct.empty())
        writeWhole(direct);
    for (const auto &[journal, group] : groups)
        saveGroup(journal, group, mode);
}

void TCustomMemTable::saveGroup(
    const QString &journal, const std::vector<TCustomMemTable *> &group, FoldMode mode)
{
    std::vector<TCustomMemTable *> changed;
    bool anyParts = false;
    for (TCustomMemTable *table : group) {
        if (table->HasUnsavedChanges())
            changed.push_back(table);
        anyParts = anyParts || table->m_journalParts;
    }
    std::vector<ChangeJournal::Part> parts;
    bool whole = false;
    for (TCustomMemTable *table : changed) {
        ChangeJournal::Part part;
        part.table = ChangeJournal::tableKey(table->m_fileName);
        if (!table->m_onDisk || !table->m_store->recordedChanges(part.body)) {
            part.kind = ChangeJournal::PartKind::WholeTable;
            whole = true;
        }
        parts.push_back(std::move(part));
    }
    // One table whose file alone holds it: replacing the file is one step already.
    if (changed.size() == 1 && !anyParts && (whole || mode == FoldMode::Always)) {
        writeWhole(changed);
        return;
    }
    if (!parts.empty()) {
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts[i].kind == ChangeJournal::PartKind::WholeTable)
                parts[i].body = changed[i]->m_store->toPacket(PacketForm::Binary);
        }
        ChangeJournal::append(journal, parts);
        for (TCustomMemTable *table : changed) {
            table->markSaved();
            table->m_onDisk = true;
            table->m_journalParts = true;
        }
    }
    qint64 tableBytes = 0;
    for (TCustomMemTable *table : group)
        tableBytes += QFileInfo(table->m_fileName).size();
    const qint64 journalBytes = ChangeJournal::size(journal);
    const bool large = journalBytes > std::max(kFoldFloor, tableBytes / kFoldShare);
    if (mode == FoldMode::WhenLarge && !whole && !large)
        return;
    std::vector<TCustomMemTable *> folding;
    for (TCustomMemTable *table : group) {
        if (table->m_journalParts)
            folding.push_back(table);
    }
    try {
        fold(journal, folding);
    } catch (const Exception &error) {
        // Every change is safe in the journal; the next save folds again.
        qWarning("%s", qPrintable(QStringLiteral("The tables were not folded: ") + error.message()));
    }
}

std::vector<ColumnDesc> TCustomMemTable::columnsFromDefs()
{
    if (FieldDefs().isEmpty()) {
        for (const auto &field : Fields()) {
            TFieldAttributes attributes = field->Required() ? faRequired : 0;
            if (field->DataType() == ftAutoInc)
                attributes |= faReadonly;
            FieldDefs().Add(field->FieldName(), field->DataType(), field->Size(), attributes);
        }
    }
    if (FieldDefs().isEmpty())
        throw EDatabaseError(QStringLiteral("No fields defined.  Cannot create dataset"));
    std::vector<ColumnDesc> columns;
    for (int i = 0; i < FieldDefs().Count(); ++i) {
        const TFieldDef &def = FieldDefs()[i];
        if (def.Name.size() >= 32)
            throw EDatabaseError(QStringLiteral("Fieldname %1 exceeds %2 chars").arg(def.Name).arg(31));
        if (def.Name.isEmpty() || !Cp1252::canEncode(def.Name))
            databaseError(QStringLiteral("Field name '%1' cannot be stored in a table file").arg(def.Name));
        if (FieldDefs().IndexOf(def.Name) != i)
            databaseError(QStringLiteral("Duplicate field name '%1'").arg(def.Name));
        ColumnDesc column;
        Cp1252::encode(def.Name, column.name);
        column.attributes = def.Attributes;
        switch (def.DataType) {
        case ftAutoInc:
            column.type = StoreType::Int32;
            column.subtype = StoreSubtype::Autoinc;
            break;
        case ftInteger:
            column.type = StoreType::Int32;
            break;
        case ftSmallint:
            column.type = StoreType::Int16;
            break;
        case ftWord:
            column.type = StoreType::UInt16;
            break;
        case ftString:
        case ftFixedChar:
            if (def.Size <= 0 || def.Size > 32767)
                databaseError(
                    QStringLiteral("Invalid field size %1 for field '%2'").arg(def.Size).arg(def.Name));
            column.type = StoreType::Text;
            column.width = def.Size;
            break;
        case ftCurrency:
            column.type = StoreType::Float;
            column.subtype = StoreSubtype::Money;
            break;
        case ftFloat:
            column.type = StoreType::Float;
            break;
        case ftDateTime:
            column.type = StoreType::DateTimeStamp;
            break;
        default:
            databaseError(QStringLiteral("Field '%1' is of an unsupported type").arg(def.Name));
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

void TCustomMemTable::CreateEmpty()
{
    if (Active())
        databaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    std::vector<ColumnDesc> columns = columnsFromDefs();
    m_store = IRecordStore::create(objectName(), std::move(columns));
    Open();
}

// ---- order, range and filters ----

QList<int> TCustomMemTable::indexColumns() const
{
    QList<int> columns;
    for (const QString &name : splitFieldNames(m_indexFieldNames)) {
        const TField *field = FieldNamed(name);
        if (columnOf(*field) < 0)
            databaseError(QStringLiteral("Field '%1' not found").arg(name));
        columns << columnOf(*field);
    }
    return columns;
}

void TCustomMemTable::applyIndex()
{
    m_cursor->setSortColumns(indexColumns());
}

void TCustomMemTable::setIndexFieldNames(const QString &names)
{
    if (!Active()) {
        m_indexFieldNames = names;
        return;
    }
    FinishPendingRow();
    if (MasterSource())
        checkKeyFieldCounts(MasterFields(), names);
    const QString previous = m_indexFieldNames;
    m_indexFieldNames = names;
    QList<int> columns;
    try {
        columns = indexColumns();
    } catch (const Exception &) {
        m_indexFieldNames = previous;
        throw;
    }
    m_cursor->setSortColumns(columns);
    // The range was on the old key fields.
    m_cursor->dropRange();
    m_rangeKey.reset();
    applyMasterRange();
    refreshKeepingRow();
}

void TCustomMemTable::applyFilters()
{
    // The new text is parsed and typed before anything is dropped, so a text that fails leaves the view as
    // it was.
    IRecordCursor::RowFilter expression;
    if (m_filtered && !m_filter.trimmed().isEmpty()) {
        expression = compileTableFilter(*this, m_filter, m_filterOptions);
    }
    for (int id : m_filterIds)
        m_cursor->dropFilter(id);
    m_filterIds.clear();
    if (!m_filtered)
        return;
    if (expression)
        m_filterIds.push_back(m_cursor->addFilter(std::move(expression)));
    if (OnFilterRecord) {
        m_filterIds.push_back(m_cursor->addFilter([this](const char *record) {
            // The callback reads the row through the field objects, in the filter state.
            struct Showing
            {
                TCustomMemTable &table;
                const char *savedBuffer;
                Showing(TCustomMemTable &t, const char *record)
                    : table(t)
                    , savedBuffer(t.m_tempBuffer)
                {
                    table.m_tempBuffer = record;
                }
                ~Showing() { table.m_tempBuffer = savedBuffer; }
            } showing(*this, record);
            bool accept = true;
            if (OnFilterRecord)
                OnFilterRecord(*this, accept);
            return accept;
        }));
    }
}

void TCustomMemTable::setFilter(const QString &filter)
{
    if (filter == m_filter)
        return;
    const QString previous = m_filter;
    m_filter = filter;
    if (Active() && m_filtered) {
        try {
            FinishPendingRow();
            applyFilters();
        } catch (const Exception &) {
            // Nothing was dropped: the filter is parsed before the swap.
            m_filter = previous;
            throw;
        }
        First();
    }
}

void TCustomMemTable::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    if (Active()) {
        try {
            FinishPendingRow();
            applyFilters();
        } catch (const Exception &) {
            // Nothing was dropped: the filter is parsed before the swap.
            m_filtered = !on;
            throw;
        }
        First();
    }
}

void TCustomMemTable::setFilterOptions(TFilterOptions options)
{
    if (options == m_filterOptions)
        return;
    const TFilterOptions previous = m_filterOptions;
    m_filterOptions = options;
    if (Active() && m_filtered) {
        try {
            FinishPendingRow();
            applyFilters();
        } catch (const Exception &) {
            // Nothing was dropped: the filter is parsed before the swap.
            m_filterOptions = previous;
            throw;
        }
        First();
    }
}

void TCustomMemTable::RefreshFilter()
{
    if (!Active())
        return;
    FinishPendingRow();
    applyFilters();
    First();
}

// ---- master-detail ----

void TCustomMemTable::setMasterSource(TDataSource *source)
{
    if (source == MasterSource())
        return;
    // A master chain that comes back to this table would make it follow itself.
    for (const TDataSource *s = source; s;) {
        const TDataSet *table = s->DataSet();
        if (table == this)
            databaseError(QStringLiteral("Circular datalinks are not allowed"));
        s = table ? table->masterSource() : nullptr;
        if (s == source)
            break;
    }
    if (Active() && source)
        checkKeyFieldCounts(MasterFields(), m_indexFieldNames);
    m_masterLink.setDataSource(source);
    if (!source)
        masterDisable();
}

void TCustomMemTable::checkKeyFieldCounts(const QString &masterFields, const QString &indexFieldNames) const
{
    const qsizetype masters = splitFieldNames(masterFields).size();
    const qsizetype keys = splitFieldNames(indexFieldNames).size();
    if (masters > keys)
        databaseError(QStringLiteral("MasterFields names %1 fields but IndexFieldNames only %2")
                          .arg(masters)
                          .arg(keys));
}

void TCustomMemTable::setMasterFields(const QString &names)
{
    if (Active() && MasterSource())
        checkKeyFieldCounts(names, m_indexFieldNames);
    m_masterLink.setFieldNames(names);
}

QByteArray TCustomMemTable::masterKey(const QList<int> &columns) const
{
    const RecordLayout &layout = m_store->layout();
    QByteArray key(layout.recordSize(), '\0');
    m_cursor->initRecord(key.data());
    const auto &masterFields = m_masterLink.Fields();
    for (size_t i = 0; i < masterFields.size(); ++i) {
        const int column = columns[qsizetype(i)];
        encodeInto(layout, m_store->columns()[size_t(column)], column, *masterFields[i], key.data());
    }
    return key;
}

void TCustomMemTable::applyMasterRange()
{
    if (!m_masterLink.Active() || m_masterLink.Fields().empty()) {
        if (m_rangeKey) {
            m_cursor->dropRange();
            m_rangeKey.reset();
        }
        return;
    }
    checkKeyFieldCounts(MasterFields(), m_indexFieldNames);
    const QList<int> columns = indexColumns();
    const qsizetype wanted = qsizetype(m_masterLink.Fields().size());
    const QByteArray key = masterKey(columns);
    if (m_rangeKey && *m_rangeKey == key && m_rangeColumns == int(wanted))
        return;
    m_cursor->setRange(key, key, int(wanted));
    m_rangeKey = key;
    m_rangeColumns = int(wanted);
}

void TCustomMemTable::masterChange()
{
    if (!Active())
        return;
    FinishPendingRow();
    const std::optional<QByteArray> before = m_rangeKey;
    applyMasterRange();
    if (m_rangeKey != before)
        First();
}

void TCustomMemTable::masterDisable()
{
    if (!Active() || !m_cursor)
        return;
    FinishPendingRow();
    m_cursor->dropRange();
    const bool hadRange = m_rangeKey.has_value();
    m_rangeKey.reset();
    if (hadRange)
        First();
}

void TCustomMemTable::fillFromMaster()
{
    if (!m_masterLink.Active() || m_masterLink.Fields().empty())
        return;
    const QList<int> columns = indexColumns();
    const auto &masterFields = m_masterLink.Fields();
    for (size_t i = 0; i < masterFields.size() && qsizetype(i) < columns.size(); ++i) {
        const int column = columns[qsizetype(i)];
        encodeInto(
            m_store->layout(), m_store->columns()[size_t(column)], column, *masterFields[i], pendingBuffer());
        TField *detailField = nullptr;
        for (const auto &field : Fields())
            if (columnOf(*field) == column)
                detailField = field.get();
        DataEvent(deFieldChange, { detailField, 0, nullptr });
    }
}

// ---- the row window ----

void TCustomMemTable::fillWindow(int viewIndex, int activePos)
{
    const int count = m_cursor->viewRowCount();
    if (count == 0 || viewIndex < 0) {
        clearWindow();
        m_windowStart = 0;
        m_cursor->moveToBeforeFirst();
        return;
    }
    viewIndex = std::min(viewIndex, count - 1);
    const int size = BufferCount();
    activePos = std::clamp(activePos, 0, size - 1);
    int start = viewIndex - std::min(activePos, viewIndex);
    // Rows before the current one fill the window when the view ends early.
    start = std::max(0, std::min(start, count - size));
    m_windowStart = start;
    m_recordCount = std::min(size, count - start);
    m_activeRecord = viewIndex - start;
    const int recordSize = m_store->layout().recordSize();
    m_buffers.resize(size_t(m_recordCount));
    m_bufferRows.resize(size_t(m_recordCount));
    for (int i = 0; i < m_recordCount; ++i) {
        const int row = m_cursor->rowAt(start + i);
        m_buffers[size_t(i)].resize(recordSize);
        m_cursor->readRow(row, m_buffers[size_t(i)].data());
        m_bufferRows[size_t(i)] = row;
    }
    positionCursor(viewIndex);
}

// Moves the cursor by steps, which cost nothing, rather than by row number, which means a search.
void TCustomMemTable::positionCursor(int viewIndex)
{
    const int current = m_cursor->viewIndex();
    if (current == viewIndex)
        return;
    if (current >= 0) {
        m_cursor->moveBy(viewIndex - current);
    } else {
        m_cursor->moveToBeforeFirst();
        m_cursor->moveBy(viewIndex + 1);
    }
}

bool TCustomMemTable::cursorOnRow(int row)
{
    return row > 0 && (m_cursor->currentRow() == row || m_cursor->moveToRow(row));
}

int TCustomMemTable::currentViewIndex() const
{
    return m_recordCount == 0 ? -1 : m_windowStart + m_activeRecord;
}

// After a post, a cancel or a delete: the cursor's row, or the next row when it stands between rows, or the
// previous one; the current row keeps its place in the window.
void TCustomMemTable::resyncAfterChange(int activePos)
{
    int viewIndex = -1;
    if (m_cursor->position() == CursorPosition::OnRow) {
        viewIndex = m_cursor->viewIndex();
    } else if (m_cursor->viewRowCount() > 0) {
        if (m_cursor->position() == CursorPosition::AfterLast)
            viewIndex = m_cursor->viewRowCount() - 1;
        else if (m_cursor->moveBy(1) == 1 || m_cursor->moveBy(-1) == -1)
            viewIndex = m_cursor->viewIndex();
        else
            viewIndex = 0;
    }
    fillWindow(viewIndex, activePos);
    setAtEnd(m_recordCount == 0);
    setAtStart(m_recordCount == 0);
    DataEvent(deDataSetChange);
}

void TCustomMemTable::refreshKeepingRow()
{
    const int row = m_recordCount > 0 ? m_bufferRows[size_t(m_activeRecord)] : 0;
    if (cursorOnRow(row))
        fillWindow(m_cursor->viewIndex(), m_activeRecord);
    else
        fillWindow(0, 0);
    setAtEnd(m_recordCount == 0);
    setAtStart(m_recordCount == 0);
    DataEvent(deDataSetChange);
}

void TCustomMemTable::bufferCountChanged()
{
    if (State() != dsBrowse || !m_cursor)
        return;
    fillWindow(currentViewIndex(), m_activeRecord);
    DataEvent(deDataSetChange);
}

// ---- navigation ----

int TCustomMemTable::ViewRowCount() const
{
    checkActive();
    return m_cursor->viewRowCount();
}

int TCustomMemTable::CurrentRowNumber() const
{
    if (!Active() || m_recordCount == 0)
        return 0;
    return m_bufferRows[size_t(m_activeRecord)];
}

bool TCustomMemTable::FindRow(
    const QString &fieldNames, const QVariantList &keyValues, TLocateOptions options)
{
    checkActive();
    FinishPendingRow();
    if (BeforeScroll)
        BeforeScroll(*this);
    TFilterOptions filterOptions = (options & loCaseInsensitive) ? foCaseInsensitive : 0;
    if (!(options & loPartialKey))
        filterOptions |= foNoPartialCompare;
    const auto condition = TExprParser::parse(
        *this, findRowFilterText(*this, fieldNames, keyValues, options), filterOptions, false);
    QByteArray record(m_store->layout().recordSize(), '\0');
    const int count = m_cursor->viewRowCount();
    for (int index = 0; index < count; ++index) {
        const int row = m_cursor->rowAt(index);
        m_cursor->readRow(row, record.data());
        if (!condition->evaluate(record.constData()))
            continue;
        if (!m_cursor->moveToViewIndex(index))
            return false;
        fillWindow(index, m_activeRecord);
        setAtEnd(false);
        setAtStart(false);
        DataEvent(deDataSetChange);
        if (AfterScroll)
            AfterScroll(*this);
        return true;
    }
    return false;
}

bool TCustomMemTable::MoveToRow(int rowNumber)
{
    checkActive();
    FinishPendingRow();
    if (rowNumber > 0 && rowNumber == CurrentRowNumber())
        return true;
    if (BeforeScroll)
        BeforeScroll(*this);
    if (!cursorOnRow(rowNumber)) {
        if (m_recordCount > 0)
            positionCursor(currentViewIndex());
        return false;
    }
    fillWindow(m_cursor->viewIndex(), m_activeRecord);
    setAtEnd(false);
    setAtStart(false);
    DataEvent(deDataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
    return true;
}

void TCustomMemTable::First()
{
    checkActive();
    FinishPendingRow();
    if (BeforeScroll)
        BeforeScroll(*this);
    fillWindow(0, 0);
    setAtStart(true);
    setAtEnd(m_recordCount == 0);
    DataEvent(deDataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
}

void TCustomMemTable::Last()
{
    checkActive();
    FinishPendingRow();
    if (BeforeScroll)
        BeforeScroll(*this);
    fillWindow(m_cursor->viewRowCount() - 1, BufferCount() - 1);
    setAtEnd(true);
    setAtStart(m_recordCount == 0);
    DataEvent(deDataSetChange);
    if (AfterScroll)
        AfterScroll(*this);
}

int TCustomMemTable::MoveRows(int n)
{
    checkActive();
    FinishPendingRow();
    if (BeforeScroll)
        BeforeScroll(*this);
    if ((n > 0 && AtEnd()) || (n < 0 && AtStart()))
        return 0;
    setAtEnd(false);
    setAtStart(false);
    const int count = m_cursor->viewRowCount();
    if (count == 0) {
        setAtEnd(n >= 0);
        setAtStart(n <= 0);
        return 0;
    }
    const int current = currentViewIndex() < 0 ? 0 : currentViewIndex();
    qint64 target = qint64(current) + n;
    if (target >= count) {
        target = count - 1;
        setAtEnd(true);
    } else if (target < 0) {
        target = 0;
        setAtStart(true);
    }
    const int moved = int(target - current);
    const int oldCount = m_recordCount;
    const int oldStart = m_windowStart;
    const int size = BufferCount();
    int start = oldStart;
    if (target < start)
        start = int(target);
    else if (target >= start + size)
        start = int(target) - size + 1;
    // A window that is not full takes the rows it can hold around the current one.
    start = std::max(0, std::min(start, count - size));
    fillWindow(int(target), int(target) - start);
    if (m_recordCount != oldCount)
        DataEvent(deDataSetChange);
    else
        DataEvent(deDataSetScroll, { nullptr, oldStart - m_windowStart, nullptr });
    if (AfterScroll)
        AfterScroll(*this);
    return moved;
}

// ---- editing ----

void TCustomMemTable::Insert()
{
    checkActive();
    FinishPendingRow();
    if (!CanModify())
        databaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeInsert)
        BeforeInsert(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    const int recordSize = m_store->layout().recordSize();
    QByteArray fresh(recordSize, '\0');
    m_cursor->initRecord(fresh.data());
    m_appending = m_recordCount == 0;
    m_insertBeforeRow = m_recordCount == 0 ? 0 : m_bufferRows[size_t(m_activeRecord)];
    // The new row takes the current row's place in the window; the last row drops out when it is full.
    if (m_recordCount == 0)
        m_activeRecord = 0;
    m_buffers.insert(m_buffers.begin() + m_activeRecord, fresh);
    m_bufferRows.insert(m_bufferRows.begin() + m_activeRecord, 0);
    ++m_recordCount;
    if (m_recordCount > BufferCount() && m_activeRecord < m_recordCount - 1) {
        m_buffers.pop_back();
        m_bufferRows.pop_back();
        --m_recordCount;
    }
    setAtEnd(false);
    setAtStart(false);
    setState(dsInsert);
    try {
        fillFromMaster();
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        setState(dsBrowse);
        refreshKeepingRow();
        throw;
    }
    // Values put in by the link and by OnNewRecord are defaults: an untouched new row is still cancelled.
    setRowChanged(false);
    DataEvent(deDataSetChange);
    if (AfterInsert)
        AfterInsert(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void TCustomMemTable::AppendRow()
{
    checkActive();
    FinishPendingRow();
    if (!CanModify())
        databaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeInsert)
        BeforeInsert(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    // The window shows the last rows of the view with the new row after them.
    const int count = m_cursor->viewRowCount();
    const int size = BufferCount();
    if (size > 1 && count > 0)
        fillWindow(count - 1, size - 2);
    else
        clearWindow();
    QByteArray fresh(m_store->layout().recordSize(), '\0');
    m_cursor->initRecord(fresh.data());
    m_buffers.push_back(fresh);
    m_bufferRows.push_back(0);
    ++m_recordCount;
    m_activeRecord = m_recordCount - 1;
    m_appending = true;
    m_insertBeforeRow = 0;
    setAtEnd(true);
    setAtStart(false);
    setState(dsInsert);
    try {
        fillFromMaster();
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        setState(dsBrowse);
        fillWindow(m_cursor->viewRowCount() - 1, BufferCount() - 1);
        DataEvent(deDataSetChange);
        throw;
    }
    setRowChanged(false);
    DataEvent(deDataSetChange);
    if (AfterInsert)
        AfterInsert(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void TCustomMemTable::Edit()
{
    checkActive();
    if (State() == dsEdit || State() == dsInsert)
        return;
    if (m_cursor->viewRowCount() == 0 || m_recordCount == 0) {
        Insert();
        return;
    }
    FinishPendingRow();
    if (!CanModify())
        databaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeEdit)
        BeforeEdit(*this);
    const int row = m_bufferRows[size_t(m_activeRecord)];
    for (;;) {
        try {
            // Edit the row as it is in the store now.
            m_cursor->readRow(row, pendingBuffer());
            break;
        } catch (const EDatabaseError &error) {
            TDataAction action = TDataAction::daFail;
            if (OnEditError)
                OnEditError(*this, error, action);
            if (action != TDataAction::daRetry)
                throw;
        }
    }
    setState(dsEdit);
    DataEvent(deRecordChange);
    if (AfterEdit)
        AfterEdit(*this);
}

void TCustomMemTable::Post()
{
    checkActive();
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    if (State() != dsEdit && State() != dsInsert)
        return;
    if (BeforePost)
        BeforePost(*this);
    for (const auto &field : Fields())
        if (field->Required() && field->IsNullValue())
            throw EDatabaseError(QStringLiteral("Field '%1' must have a value").arg(field->DisplayName()));
    const QByteArray record = m_buffers[size_t(m_activeRecord)];
    for (;;) {
        try {
            if (State() == dsInsert) {
                if (m_appending || !cursorOnRow(m_insertBeforeRow))
                    m_cursor->moveToAfterLast();
                m_cursor->insertRecord(record.constData());
            } else {
                const int row = m_bufferRows[size_t(m_activeRecord)];
                if (!cursorOnRow(row))
                    throw EStoreError(StoreStatus::NotAllowed);
                m_cursor->modifyRecord(record.constData());
            }
            break;
        } catch (const EDatabaseError &error) {
            TDataAction action = TDataAction::daFail;
            if (OnPostError)
                OnPostError(*this, error, action);
            if (action != TDataAction::daRetry) {
                // The row stays pending; the cursor goes back to the row the window shows.
                const int shown = m_recordCount > 0 ? m_bufferRows[size_t(m_activeRecord)] : 0;
                if (!cursorOnRow(shown)) {
                    if (!cursorOnRow(m_insertBeforeRow))
                        m_cursor->moveToBeforeFirst();
                }
                throw;
            }
        }
    }
    const int activePos = m_activeRecord;
    m_appending = false;
    m_insertBeforeRow = 0;
    setState(dsBrowse);
    resyncAfterChange(activePos);
    if (AfterPost)
        AfterPost(*this);
}

void TCustomMemTable::Cancel()
{
    if (State() != dsEdit && State() != dsInsert)
        return;
    DataEvent(deCheckBrowseMode);
    if (BeforeCancel)
        BeforeCancel(*this);
    const bool inserting = State() == dsInsert;
    const int activePos = m_activeRecord;
    setState(dsBrowse);
    if (inserting) {
        // The cursor never left the row that was current when the insert started.
        int viewIndex = -1;
        if (!m_appending && cursorOnRow(m_insertBeforeRow))
            viewIndex = m_cursor->viewIndex();
        else if (m_cursor->viewRowCount() > 0)
            viewIndex = m_cursor->viewRowCount() - 1;
        fillWindow(viewIndex, activePos);
    } else {
        fillWindow(currentViewIndex(), activePos);
    }
    m_appending = false;
    m_insertBeforeRow = 0;
    setAtEnd(m_recordCount == 0);
    setAtStart(m_recordCount == 0);
    DataEvent(deDataSetChange);
    if (AfterCancel)
        AfterCancel(*this);
}

void TCustomMemTable::Delete()
{
    checkActive();
    if (State() == dsInsert) {
        Cancel();
        return;
    }
    FinishPendingRow();
    if (m_cursor->viewRowCount() == 0 || m_recordCount == 0)
        databaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!CanModify())
        databaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (BeforeDelete)
        BeforeDelete(*this);
    if (BeforeScroll)
        BeforeScroll(*this);
    const int row = m_bufferRows[size_t(m_activeRecord)];
    for (;;) {
        try {
            if (!cursorOnRow(row))
                throw EStoreError(StoreStatus::NotAllowed);
            m_cursor->deleteRecord();
            break;
        } catch (const EDatabaseError &error) {
            TDataAction action = TDataAction::daFail;
            if (OnDeleteError)
                OnDeleteError(*this, error, action);
            if (action != TDataAction::daRetry)
                throw;
        }
    }
    resyncAfterChange(m_activeRecord);
    if (AfterDelete)
        AfterDelete(*this);
    if (AfterScroll)
        AfterScroll(*this);
}
