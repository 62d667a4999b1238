#pragma once

#include <QList>
#include <QWidget>

class QTreeWidget;
class TRpDesigner;

// The floating list of data fields beside the designer window: one top node per available data source (its
// table's label in upper case) with its listable fields under it (by display label, in field order or
// sorted). A field node is dragged onto a band to make a data field there.
class TRpDatafieldList : public QWidget
{
    Q_OBJECT

public:
    // What a dragged field carries: "table.field" (the table's component name and the field name).
    static constexpr const char *kMimeType = "application/x-quillot-datafield";

    explicit TRpDatafieldList(QWidget *owner);

    QTreeWidget *DatafieldListbox;

    // Builds the tree again from the engine's available data sources.
    void Fill(const TRpDesigner &engine);
    // True when the tree has no node at all (the list is then not shown).
    bool isEmpty() const;
    // The table and field an entry ("table.field") names among the tables.
    static bool entryOf(
        const QString &entry, const QList<QObject *> &datasets, QObject *&dataset, QString &field);
    // The entry a field node carries; empty for a table node.
    static QString entryOfNode(const class QTreeWidgetItem *node);
};
