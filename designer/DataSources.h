#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QObject;
class QWidget;
class TDataSet;
class TDataSource;
class TField;
class TRpDesigner;

// Which data a report may use and how the designer lists it. Data sources come, in this order, from the
// report's own data module, from the application's data modules (with UseDatamodules) and from the database
// owner (none in this program). A data source or field whose name begins with "__" is never offered; the
// engine's restricting lists (empty: no restriction) and its OnShowDatafield event narrow them further.

// The available data sources: each once, with a table; a table outside the report's data module only when it
// has a listable field (a closed one of the report's data module is offered all the same).
QList<TDataSource *> rpAvailableDataSources(const TRpDesigner &engine);
// Their tables, in the same order.
QList<TDataSet *> rpAvailableDataSets(const TRpDesigner &engine);
// The first available data source; with none, the error box "No tables available!" and null.
TDataSource *rpFirstDataSource(const TRpDesigner &engine, QWidget *parent);

// A field the designer lists: visible, not named with a leading "__" and not refused by OnShowDatafield.
bool rpListableField(const TRpDesigner &engine, TField &field);
// The listable fields of a table in field order, or sorted by display label.
QList<TField *> rpListableFields(const TRpDesigner &engine, const TDataSet &dataSet, bool sorted);
// The display labels of the listable fields of a table, for a list or combo box (sorted when the engine's
// DatafieldsSorted is set), and the row of the entry whose field name or label equals `selected` ignoring
// case (-1 for none).
QStringList rpFieldListOf(
    const TRpDesigner &engine, const TDataSet *dataSet, const QString &selected, int &row);

// The label a table is listed by: its line in DatasetDisplayLabels, else its name.
QString rpDatasetLabel(const TRpDesigner &engine, const TDataSet &dataSet);
// The label of a field from a FieldDisplayLabels list: the line for "table"."field", else the line for the
// field; empty when there is none.
QString rpFieldDisplayLabel(const QStringList &labels, const QString &tableName, const QString &fieldName);
// Gives every field of the table its label from the engine's FieldDisplayLabels, where it has one.
void rpApplyFieldLabels(const TRpDesigner &engine, TDataSet &dataSet);
// A "name=text" list's text for a name (ignoring case), or empty.
QString rpListValue(const QStringList &lines, const QString &name);

// The text the "Datasets" dialog lists a table by: its name, a tab, the (shortened) database name and table
// name, " (closed)" for a closed table.
QString rpDisplayText(const TDataSet &dataSet);
// A database name longer than 18 characters: its first 3, "..." and its last 12.
QString rpShortDatabaseName(const QString &name);

// The text of a message key of the engine's table, or the designer's own English text when the table has
// no such key.
QString rpMessage(const TRpDesigner &engine, const QString &key, const QString &fallback);

// Opens every closed table of the report's data module (a table that cannot open stays closed and is still
// offered), with its field labels from FieldDisplayLabels: done after every load.
void rpOpenReportTables(const TRpDesigner &engine);

// Whether the table belongs to the designer (its window or the report's data module): only those may be
// deleted and changed.
bool rpOwnedByDesigner(const TRpDesigner &engine, const QObject *dataSet);
