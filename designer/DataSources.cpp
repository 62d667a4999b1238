#include "designer/DataSources.h"

#include "designer/EngineTable.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"
#include "store/DataSource.h"
#include "widgets/Dialogs.h"

#include <QDir>
#include <algorithm>

namespace {

const QLatin1String kHidden("__");

bool hiddenName(const QString &name)
{
    return name.startsWith(kHidden);
}

bool inReportModule(const TRpDesigner &engine, const QObject *dataSet)
{
    const QObject *module = engine.files()->dataModule();
    return module && dataSet && dataSet->parent() == module;
}

bool allowedByName(const TRpDesigner &engine, const TDataSet &dataSet)
{
    if (engine.AvailableDatasetNames.isEmpty())
        return true;
    const QString name = dataSet.objectName();
    const QString owner = dataSet.parent() ? dataSet.parent()->objectName() : QString();
    return engine.AvailableDatasetNames.contains(name, Qt::CaseInsensitive)
        || engine.AvailableDatasetNames.contains(owner + QLatin1Char('.') + name, Qt::CaseInsensitive);
}

bool hasListableField(const TRpDesigner &engine, const TDataSet &dataSet)
{
    for (const auto &field : dataSet.Fields()) {
        if (rpListableField(engine, *field))
            return true;
    }
    return false;
}

} // namespace

QList<TDataSource *> rpAvailableDataSources(const TRpDesigner &engine)
{
    QList<TDataSource *> sources;
    const auto collect = [&sources](const QObject *module) {
        if (!module)
            return;
        for (TDataSource *source : module->findChildren<TDataSource *>()) {
            if (!hiddenName(source->objectName()) && source->DataSet() && !sources.contains(source))
                sources.append(source);
        }
    };
    collect(engine.files()->dataModule());
    if (engine.files()->useDatamodules()) {
        for (const QObject *module : RpComponents::dataModules())
            collect(module);
    }
    // Filtered from the last to the first, as the list is narrowed in place.
    for (qsizetype i = sources.size() - 1; i >= 0; --i) {
        const TDataSet &dataSet = *sources[i]->DataSet();
        bool keep = allowedByName(engine, dataSet);
        if (keep && !(inReportModule(engine, &dataSet) && !dataSet.Active()))
            keep = hasListableField(engine, dataSet);
        if (!keep)
            sources.removeAt(i);
    }
    return sources;
}

QList<TDataSet *> rpAvailableDataSets(const TRpDesigner &engine)
{
    QList<TDataSet *> sets;
    for (TDataSource *source : rpAvailableDataSources(engine)) {
        if (!sets.contains(source->DataSet()))
            sets.append(source->DataSet());
    }
    return sets;
}

TDataSource *rpFirstDataSource(const TRpDesigner &engine, QWidget *parent)
{
    const QList<TDataSource *> sources = rpAvailableDataSources(engine);
    if (sources.isEmpty()) {
        Dialogs::showError(parent,
            rpMessage(
                engine, QStringLiteral("No Databases Available"), QStringLiteral("No tables available!")));
        return nullptr;
    }
    return sources.first();
}

bool rpListableField(const TRpDesigner &engine, TField &field)
{
    // A field has no component name of its own here: its field name stands for it.
    if (!field.Visible() || hiddenName(field.FieldName()))
        return false;
    bool show = true;
    if (engine.OnShowDatafield)
        engine.OnShowDatafield(&field, show);
    return show;
}

QList<TField *> rpListableFields(const TRpDesigner &engine, const TDataSet &dataSet, bool sorted)
{
    QList<TField *> fields;
    for (const auto &field : dataSet.Fields()) {
        if (rpListableField(engine, *field))
            fields.append(field.get());
    }
    if (sorted) {
        std::stable_sort(fields.begin(), fields.end(), [](const TField *a, const TField *b) {
            return a->DisplayName().compare(b->DisplayName(), Qt::CaseInsensitive) < 0;
        });
    }
    return fields;
}

QStringList rpFieldListOf(
    const TRpDesigner &engine, const TDataSet *dataSet, const QString &selected, int &row)
{
    row = -1;
    QStringList labels;
    if (!dataSet)
        return labels;
    const QList<TField *> fields = rpListableFields(engine, *dataSet, engine.DatafieldsSorted);
    for (const TField *field : fields) {
        if (row < 0
            && (field->FieldName().compare(selected, Qt::CaseInsensitive) == 0
                || field->DisplayName().compare(selected, Qt::CaseInsensitive) == 0))
            row = int(labels.size());
        labels << field->DisplayName();
    }
    return labels;
}

QString rpListValue(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0 && line.left(equals).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return QString();
}

QString rpDatasetLabel(const TRpDesigner &engine, const TDataSet &dataSet)
{
    const QString label = rpListValue(engine.DatasetDisplayLabels, dataSet.objectName());
    return label.isEmpty() ? dataSet.objectName() : label;
}

QString rpFieldDisplayLabel(const QStringList &labels, const QString &tableName, const QString &fieldName)
{
    if (!tableName.isEmpty()) {
        const QString qualified
            = rpListValue(labels, QLatin1Char('"') + tableName + QStringLiteral("\".") + fieldName);
        if (!qualified.isEmpty())
            return qualified;
    }
    return rpListValue(labels, fieldName);
}

void rpApplyFieldLabels(const TRpDesigner &engine, TDataSet &dataSet)
{
    if (engine.FieldDisplayLabels.isEmpty())
        return;
    const auto *table = qobject_cast<const TTable *>(&dataSet);
    const QString tableName = table ? table->TableName() : QString();
    for (const auto &field : dataSet.Fields()) {
        const QString label = rpFieldDisplayLabel(engine.FieldDisplayLabels, tableName, field->FieldName());
        if (!label.isEmpty())
            field->setDisplayLabel(label);
    }
}

QString rpShortDatabaseName(const QString &name)
{
    if (name.size() <= 18)
        return name;
    return name.left(3) + QStringLiteral("...") + name.right(12);
}

QString rpDisplayText(const TDataSet &dataSet)
{
    QString text = dataSet.objectName();
    const auto *table = qobject_cast<const TTable *>(&dataSet);
    if (table && !table->TableName().isEmpty()) {
        text += QLatin1Char('\t');
        const QString database = table->DatabaseName();
        if (!database.isEmpty()) {
            // A folder is followed by the folder separator, a database name by ":".
            const bool folder = database.contains(QLatin1Char('\\')) || database.contains(QLatin1Char('/'));
            text += rpShortDatabaseName(database)
                + (folder ? QString(QDir::separator()) : QStringLiteral(":"));
        }
        text += table->TableName();
    }
    if (!dataSet.Active())
        text += QStringLiteral(" (closed)");
    return text;
}

void rpOpenReportTables(const TRpDesigner &engine)
{
    const QObject *module = engine.files()->dataModule();
    if (!module)
        return;
    for (TDataSet *dataSet : module->findChildren<TDataSet *>(Qt::FindDirectChildrenOnly)) {
        if (!dataSet->Active()) {
            try {
                dataSet->Open();
            } catch (const Exception &) {
                continue;
            }
        }
        rpApplyFieldLabels(engine, *dataSet);
    }
}

QString rpMessage(const TRpDesigner &engine, const QString &key, const QString &fallback)
{
    return engine.RuntimeMessages.contains(key) ? engine.RuntimeMessages.text(key) : fallback;
}

bool rpOwnedByDesigner(const TRpDesigner &engine, const QObject *dataSet)
{
    if (!dataSet)
        return false;
    const QObject *owner = dataSet->parent();
    return owner && (owner == engine.files()->dataModule() || owner == engine.files()->window());
}
