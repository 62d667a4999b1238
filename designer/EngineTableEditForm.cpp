#include "designer/EngineTableEditForm.h"

#include "designer/DataSources.h"
#include "designer/DatasetInterfaces.h"
#include "designer/EngineTable.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "store/DataSource.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace {

const QString kNone = QStringLiteral("(NONE)");

QPushButton *plainButton(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

QWidget *withButton(QWidget *field, QPushButton *button, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field, 1);
    button->setFixedWidth(26);
    row->addWidget(button);
    return box;
}

QString messageOf(const TRpDesignEngineTableInterface &face, const QString &key, const QString &fallback)
{
    return face.engine() ? rpMessage(*face.engine(), key, fallback) : fallback;
}

} // namespace

// ---------------------------------------------------------------- table properties

TEngineTableEditForm::TEngineTableEditForm(
    TRpDesignEngineTableInterface &face, TTable &table, bool viewOnly, QWidget *parent)
    : QDialog(parent)
    , m_face(face)
    , m_table(table)
    , m_viewOnly(viewOnly)
{
    setObjectName(QStringLiteral("EngineTableEditForm"));
    setWindowTitle(table.objectName());
    EName = new QLineEdit(table.objectName(), this);
    ComboDatabase = new QComboBox(this);
    ComboDatabase->setEditable(true);
    ComboTable = new QComboBox(this);
    ComboTable->setEditable(true);
    BTable = plainButton(QStringLiteral("..."), this);
    ComboIndex = new QComboBox(this);
    EFilter = new QLineEdit(this);
    ComboMaster = new QComboBox(this);
    EMasterFields = new QLineEdit(this);
    BMasterFields = plainButton(QStringLiteral("..."), this);
    BOK = new QPushButton(QStringLiteral("OK"), this);
    BOK->setDefault(true);
    BCancel = plainButton(QStringLiteral("Cancel"), this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Name"), EName);
    form->addRow(QStringLiteral("Database"), ComboDatabase);
    form->addRow(QStringLiteral("Table name"), withButton(ComboTable, BTable, this));
    form->addRow(QStringLiteral("&Index"), ComboIndex);
    form->addRow(QStringLiteral("&Filter"), EFilter);
    form->addRow(QStringLiteral("&Master table"), ComboMaster);
    form->addRow(QStringLiteral("&Linked fields"), withButton(EMasterFields, BMasterFields, this));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(420, 280);

    // A closed table is opened first, so that its fields and indexes are known; a failure changes nothing.
    if (!m_table.Active() && !m_table.TableName().isEmpty()) {
        try {
            m_table.Open();
            if (m_face.engine())
                rpApplyFieldLabels(*m_face.engine(), m_table);
        } catch (const Exception &) { }
    }

    const RpEngineSession &session = RpEngineSession::session(m_table.SessionName());
    QStringList databases { m_table.DatabaseName() };
    if (!m_face.DefaultDatabaseOnly()) {
        const QStringList offered = m_face.AvailableDatabaseNames.isEmpty() ? session.databaseNames()
                                                                            : m_face.AvailableDatabaseNames;
        for (const QString &name : offered) {
            if (!databases.contains(name, Qt::CaseInsensitive))
                databases << name;
        }
    }
    ComboDatabase->addItems(databases);
    ComboDatabase->setCurrentIndex(0);
    ComboDatabase->setEnabled(!m_face.DefaultDatabaseOnly());
    databaseChanged();
    ComboTable->setEditText(m_table.TableName());
    tableChanged();
    EFilter->setText(m_table.Filter());

    ComboMaster->addItem(kNone);
    for (TDataSource *source : masters()) {
        m_masters.append(source);
        ComboMaster->addItem(source->DataSet()->objectName());
        if (source == m_table.MasterSource())
            ComboMaster->setCurrentIndex(ComboMaster->count() - 1);
    }
    QStringList linked;
    TDataSet *master = m_table.MasterSource() ? m_table.MasterSource()->DataSet() : nullptr;
    for (const QString &name : splitFieldNames(m_table.MasterFields()))
        linked << fieldLabel(master, name);
    EMasterFields->setText(linked.join(QLatin1Char(';')));

    connect(ComboDatabase, &QComboBox::activated, this, [this] { databaseChanged(); });
    connect(ComboDatabase->lineEdit(), &QLineEdit::editingFinished, this, [this] { databaseChanged(); });
    connect(ComboTable, &QComboBox::activated, this, [this] { tableChanged(); });
    connect(ComboTable->lineEdit(), &QLineEdit::editingFinished, this, [this] { tableChanged(); });
    connect(BTable, &QPushButton::clicked, this, [this] { openTableClick(); });
    connect(BMasterFields, &QPushButton::clicked, this, [this] { linkedFieldsClick(); });
    connect(BOK, &QPushButton::clicked, this, [this] { apply(); });
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);

    if (m_viewOnly) {
        for (QWidget *control : findChildren<QWidget *>()) {
            if (control != BCancel && !control->inherits("QLabel") && control->parent() == this)
                control->setEnabled(false);
        }
        for (QWidget *control : { static_cast<QWidget *>(ComboTable), static_cast<QWidget *>(BTable),
                 static_cast<QWidget *>(EMasterFields), static_cast<QWidget *>(BMasterFields) })
            control->setEnabled(false);
    }
}

bool TEngineTableEditForm::run()
{
    return Dialogs::exec(*this);
}

QList<TDataSource *> TEngineTableEditForm::masters() const
{
    QList<TDataSource *> list;
    if (!m_face.engine())
        return list;
    for (TDataSource *source : rpAvailableDataSources(*m_face.engine())) {
        if (source->DataSet() != &m_table)
            list << source;
    }
    return list;
}

TDataSet *TEngineTableEditForm::chosenMaster() const
{
    const int index = ComboMaster->currentIndex() - 1;
    if (index < 0 || index >= m_masters.size() || !m_masters[index])
        return nullptr;
    return m_masters[index]->DataSet();
}

QString TEngineTableEditForm::fieldLabel(TDataSet *dataSet, const QString &fieldName) const
{
    if (dataSet) {
        if (const TField *field = dataSet->LookupField(fieldName))
            return field->DisplayName();
    }
    const QString label
        = rpFieldDisplayLabel(m_face.FieldDisplayLabels, ComboTable->currentText(), fieldName);
    return label.isEmpty() ? fieldName : label;
}

QString TEngineTableEditForm::fieldNameOfLabel(TDataSet *dataSet, const QString &label) const
{
    if (dataSet) {
        for (const auto &field : dataSet->Fields()) {
            if (field->DisplayName() == label)
                return field->FieldName();
        }
    }
    return label;
}

void TEngineTableEditForm::databaseChanged()
{
    const QString typed = ComboDatabase->currentText();
    const int listed = ComboDatabase->findText(typed, Qt::MatchFixedString);
    if (listed >= 0 && ComboDatabase->itemText(listed) != typed)
        ComboDatabase->setCurrentIndex(listed);
    const QString database = ComboDatabase->currentText();
    const QString tableText = ComboTable->currentText();
    ComboTable->clear();
    if (database.isEmpty()) {
        ComboIndex->clear();
        m_indexes.clear();
        ComboTable->setEditText(tableText);
        return;
    }
    QStringList tables = RpEngineSession::session(m_table.SessionName()).tableNames(database);
    if (!m_face.AvailableTableNames.isEmpty()) {
        tables.removeIf([this](const QString &name) {
            return !m_face.AvailableTableNames.contains(name, Qt::CaseInsensitive);
        });
    }
    ComboTable->addItems(tables);
    ComboTable->setEditText(tableText);
    tableChanged();
}

QString TEngineTableEditForm::indexLabel(const IndexEntry &index) const
{
    const QString label = rpListValue(m_face.IndexDisplayLabels, index.name);
    if (!label.isEmpty())
        return label;
    if (index.name.isEmpty())
        return messageOf(m_face, QStringLiteral("PRIMARY INDEX"), QStringLiteral("PRIMARY INDEX"));
    return index.name;
}

void TEngineTableEditForm::tableChanged()
{
    const QString database = ComboDatabase->currentText();
    const QString tableName = ComboTable->currentText();
    QList<RpIndexDef> defs;
    if (database == m_table.DatabaseName() && tableName == m_table.TableName()) {
        defs = m_table.indexDefs();
    } else if (!tableName.isEmpty()) {
        TTable probe;
        probe.setSessionName(m_table.SessionName());
        probe.setDatabaseName(database);
        probe.setTableName(tableName);
        defs = probe.indexDefs();
    }
    const QString current = ComboIndex->currentIndex() >= 0 && ComboIndex->currentIndex() < m_indexes.size()
        ? m_indexes[ComboIndex->currentIndex()].name
        : m_table.IndexName();
    ComboIndex->clear();
    m_indexes.clear();
    int selected = 0;
    for (const RpIndexDef &def : defs) {
        if (def.name.compare(current, Qt::CaseInsensitive) == 0)
            selected = int(m_indexes.size());
        m_indexes.append({ def.name, def.fields });
        ComboIndex->addItem(indexLabel(m_indexes.back()));
    }
    if (!m_indexes.isEmpty())
        ComboIndex->setCurrentIndex(selected);
}

void TEngineTableEditForm::openTableClick()
{
    const RpEngineSession &session = RpEngineSession::session(m_table.SessionName());
    const QStringList databases
        = m_face.AvailableDatabaseNames.isEmpty() ? session.databaseNames() : m_face.AvailableDatabaseNames;
    TDBOpenForm open(databases, ComboDatabase->currentText(), m_face.DefaultDatabaseOnly(),
        m_face.AvailableTableNames, this);
    if (!open.run())
        return;
    ComboDatabase->setEditText(open.database());
    databaseChanged();
    ComboTable->setEditText(open.table());
    tableChanged();
}

void TEngineTableEditForm::linkedFieldsClick()
{
    TDataSet *master = chosenMaster();
    const int index = ComboIndex->currentIndex();
    if (!master || index < 0 || index >= m_indexes.size())
        return;
    QStringList detail;
    for (const QString &name : splitFieldNames(m_indexes[index].fields))
        detail << fieldLabel(&m_table, name);
    QStringList masterLabels;
    for (const auto &field : master->Fields())
        masterLabels << field->DisplayName();
    TDBSetupFieldlistForm dialog(m_table.objectName() + QStringLiteral(" -> ") + master->objectName(), detail,
        masterLabels, splitFieldNames(EMasterFields->text()), this);
    if (Dialogs::exec(dialog))
        EMasterFields->setText(dialog.result());
}

void TEngineTableEditForm::apply()
{
    if (m_viewOnly) {
        accept();
        return;
    }
    try {
        const QString database = ComboDatabase->currentText();
        const QString tableName = ComboTable->currentText();
        if (database != m_table.DatabaseName() || tableName != m_table.TableName()) {
            m_table.Close();
            if (ComboDatabase->isEnabled())
                m_table.setDatabaseName(database);
            if (!tableName.isEmpty())
                m_table.setTableName(tableName);
        }
        m_table.setFilterProperty(EFilter->text());
        m_table.setFilteredProperty(!EFilter->text().isEmpty());
        m_face.RenameDataset(&m_table, EName->text(), this);
        const int index = ComboIndex->currentIndex();
        if (index >= 0 && index < m_indexes.size())
            m_table.setIndexName(m_indexes[index].name);
        m_table.setMasterSourceProperty(nullptr);
        m_table.setMasterFieldsProperty(QString());
        if (TDataSet *master = chosenMaster()) {
            m_table.setMasterSourceProperty(m_masters[ComboMaster->currentIndex() - 1]);
            QStringList names;
            for (const QString &label : splitFieldNames(EMasterFields->text()))
                names << fieldNameOfLabel(master, label);
            m_table.setMasterFieldsProperty(names.join(QLatin1Char(';')));
        }
        m_table.Open();
    } catch (const EDatabaseError &error) {
        Dialogs::showError(this, error.message());
    } catch (const Exception &error) {
        Dialogs::showError(this, error.message());
        Dialogs::showError(this,
            messageOf(
                m_face, QStringLiteral("Error activating query"), QStringLiteral("Error activating query!")));
    }
    accept();
}

// ---------------------------------------------------------------- open table

TDBOpenForm::TDBOpenForm(const QStringList &databases, const QString &currentDatabase,
    bool defaultDatabaseOnly, const QStringList &restrictingTables, QWidget *parent)
    : QDialog(parent)
    , m_restricting(restrictingTables)
{
    setObjectName(QStringLiteral("DBOpenForm"));
    setWindowTitle(QStringLiteral("Open table"));
    ComboAlias = new QComboBox(this);
    ComboAlias->addItem(QString());
    ComboAlias->addItems(databases);
    const int current = ComboAlias->findText(currentDatabase, Qt::MatchFixedString);
    ComboAlias->setCurrentIndex(std::max(0, current));
    ComboDrive = new QComboBox(this);
    for (const QFileInfo &drive : QDir::drives())
        ComboDrive->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
    EDirectory = new QLineEdit(this);
    if (current < 0 && !currentDatabase.isEmpty())
        EDirectory->setText(currentDatabase);
    else
        EDirectory->setText(QDir::currentPath());
    ComboType = new QComboBox(this);
    ComboType->addItems(RpEngineSession::tablePatterns());
    EFileName = new QLineEdit(this);
    ListFiles = new QListWidget(this);
    BOpen = new QPushButton(QStringLiteral("Open"), this);
    BOpen->setDefault(true);
    BCancel = plainButton(QStringLiteral("Cancel"), this);

    auto *form = new QFormLayout;
    QLabel *labels[4];
    labels[0] = new QLabel(QStringLiteral("&Alias:"), this);
    labels[1] = new QLabel(QStringLiteral("D&rive:"), this);
    labels[2] = new QLabel(QStringLiteral("&Directory"), this);
    labels[3] = new QLabel(QStringLiteral("File&name:"), this);
    form->addRow(labels[0], ComboAlias);
    form->addRow(labels[1], ComboDrive);
    form->addRow(labels[2], EDirectory);
    form->addRow(QStringLiteral("&Type:"), ComboType);
    form->addRow(labels[3], EFileName);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BOpen);
    buttons->addWidget(BCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ListFiles, 1);
    layout->addLayout(buttons);
    resize(380, 360);

    if (defaultDatabaseOnly) {
        for (QWidget *control : { static_cast<QWidget *>(ComboAlias), static_cast<QWidget *>(ComboDrive),
                 static_cast<QWidget *>(EDirectory), static_cast<QWidget *>(EFileName) })
            control->setEnabled(false);
        for (QLabel *label : labels)
            label->setEnabled(false);
    }
    connect(ComboAlias, &QComboBox::currentIndexChanged, this, [this] { fillFiles(); });
    connect(ComboDrive, &QComboBox::activated, this, [this] {
        EDirectory->setText(ComboDrive->currentText());
        fillFiles();
    });
    connect(EDirectory, &QLineEdit::editingFinished, this, [this] { fillFiles(); });
    connect(ComboType, &QComboBox::currentIndexChanged, this, [this] { fillFiles(); });
    connect(EFileName, &QLineEdit::returnPressed, this, [this] { fileNameEntered(); });
    connect(ListFiles, &QListWidget::currentTextChanged, EFileName, &QLineEdit::setText);
    connect(ListFiles, &QListWidget::itemDoubleClicked, this, [this] { openClick(); });
    connect(BOpen, &QPushButton::clicked, this, [this] { openClick(); });
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    fillFiles();
}

bool TDBOpenForm::run()
{
    return Dialogs::exec(*this);
}

QString TDBOpenForm::currentFolder() const
{
    return EDirectory->text().trimmed();
}

void TDBOpenForm::fillFiles()
{
    ListFiles->clear();
    const QString alias = ComboAlias->currentText();
    QStringList files;
    if (!alias.isEmpty()) {
        files = RpEngineSession::session().tableNames(alias);
    } else {
        const QDir dir(currentFolder());
        if (dir.exists())
            files = dir.entryList({ ComboType->currentText() }, QDir::Files, QDir::Name | QDir::IgnoreCase);
    }
    if (!m_restricting.isEmpty())
        files.removeIf(
            [this](const QString &name) { return !m_restricting.contains(name, Qt::CaseInsensitive); });
    ListFiles->addItems(files);
}

void TDBOpenForm::fileNameEntered()
{
    const QFileInfo typed(EFileName->text().trimmed());
    if (typed.isAbsolute() && typed.dir().exists()) {
        ComboAlias->setCurrentIndex(0);
        EDirectory->setText(typed.dir().path());
        fillFiles();
        EFileName->setText(typed.fileName());
    }
    const auto found = ListFiles->findItems(EFileName->text().trimmed(), Qt::MatchFixedString);
    if (!found.isEmpty())
        ListFiles->setCurrentItem(found.first());
}

bool TDBOpenForm::openClick()
{
    const QString name = EFileName->text().trimmed();
    if (name.isEmpty())
        return false;
    const QString alias = ComboAlias->currentText();
    if (!alias.isEmpty()) {
        m_database = alias;
        m_table = name;
        accept();
        return true;
    }
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return false;
    if (!QFileInfo::exists(QDir(currentFolder()).filePath(name)))
        return false;
    m_database = currentFolder();
    m_table = name;
    accept();
    return true;
}

// ---------------------------------------------------------------- linked fields

TDBSetupFieldlistForm::TDBSetupFieldlistForm(const QString &title, const QStringList &detailFields,
    const QStringList &masterFields, const QStringList &joined, QWidget *parent)
    : QDialog(parent)
    , m_detail(detailFields)
    , m_master(masterFields)
{
    setObjectName(QStringLiteral("DBSetupFieldlistForm"));
    setWindowTitle(title);
    ListDetail = new QListWidget(this);
    ListMaster = new QListWidget(this);
    ListJoined = new QListWidget(this);
    BAdd = plainButton(QStringLiteral("Add"), this);
    BClear = plainButton(QStringLiteral("Clear"), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    QPushButton *cancel = plainButton(QStringLiteral("Cancel"), this);

    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Detail Fields"), this));
    left->addWidget(ListDetail);
    auto *middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(BAdd);
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Master Fields"), this));
    right->addWidget(ListMaster);
    lists->addLayout(left);
    lists->addLayout(middle);
    lists->addLayout(right);
    auto *joinedRow = new QHBoxLayout;
    joinedRow->addWidget(ListJoined, 1);
    joinedRow->addWidget(BClear);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(new QLabel(QStringLiteral("Joined Fields"), this));
    layout->addLayout(joinedRow);
    layout->addLayout(buttons);
    resize(400, 320);

    ListDetail->addItems(m_detail);
    ListMaster->addItems(m_master);
    // The master fields linked already are paired at once, as far as they are found.
    for (const QString &label : joined) {
        const auto found = ListMaster->findItems(label, Qt::MatchExactly);
        if (found.isEmpty() || m_paired.size() >= m_detail.size())
            break;
        ListMaster->setCurrentItem(found.first());
        addClick();
    }
    connect(BAdd, &QPushButton::clicked, this, [this] { addClick(); });
    connect(BClear, &QPushButton::clicked, this, [this] { clearClick(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDBSetupFieldlistForm::addClick()
{
    QListWidgetItem *master = ListMaster->currentItem();
    if (!master || m_paired.size() >= m_detail.size())
        return;
    const QString detail = m_detail[m_paired.size()];
    m_paired << master->text();
    ListJoined->addItem(detail + QStringLiteral(" -> ") + master->text());
    delete ListMaster->takeItem(ListMaster->row(master));
}

void TDBSetupFieldlistForm::clearClick()
{
    m_paired.clear();
    ListJoined->clear();
    ListMaster->clear();
    ListMaster->addItems(m_master);
}

QString TDBSetupFieldlistForm::result() const
{
    return m_paired.join(QLatin1Char(';'));
}
