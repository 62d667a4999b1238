#include "designer/DatafieldList.h"

#include "designer/DataSources.h"
#include "designer/RpDesigner.h"
#include "store/DataSource.h"

#include <QHeaderView>
#include <QMimeData>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

// The tree's field nodes carry "table.field" for the surface to take when they are dropped.
class DatafieldTree : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    QStringList mimeTypes() const override { return { QString::fromLatin1(TRpDatafieldList::kMimeType) }; }
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override
    {
        auto *data = new QMimeData;
        if (!items.isEmpty())
            data->setData(QString::fromLatin1(TRpDatafieldList::kMimeType),
                TRpDatafieldList::entryOfNode(items.first()).toUtf8());
        return data;
    }
};

} // namespace

TRpDatafieldList::TRpDatafieldList(QWidget *owner)
    : QWidget(owner, Qt::Tool)
{
    setObjectName(QStringLiteral("DatafieldListForm"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    DatafieldListbox = new DatafieldTree(this);
    DatafieldListbox->setObjectName(QStringLiteral("DatafieldListbox"));
    DatafieldListbox->setHeaderHidden(true);
    DatafieldListbox->setDragEnabled(true);
    DatafieldListbox->setDragDropMode(QAbstractItemView::DragOnly);
    layout->addWidget(DatafieldListbox);
    resize(180, 260);
}

void TRpDatafieldList::Fill(const TRpDesigner &engine)
{
    DatafieldListbox->clear();
    for (TDataSource *source : rpAvailableDataSources(engine)) {
        const TDataSet &dataSet = *source->DataSet();
        auto *top = new QTreeWidgetItem(DatafieldListbox, { rpDatasetLabel(engine, dataSet).toUpper() });
        // Only fields are dragged.
        top->setFlags(top->flags() & ~Qt::ItemIsDragEnabled);
        for (const TField *field : rpListableFields(engine, dataSet, engine.DatafieldsSorted)) {
            auto *node = new QTreeWidgetItem(top, { field->DisplayName() });
            node->setData(0, kEntryRole, dataSet.objectName() + QLatin1Char('.') + field->FieldName());
        }
    }
    DatafieldListbox->expandAll();
}

bool TRpDatafieldList::isEmpty() const
{
    return DatafieldListbox->topLevelItemCount() == 0;
}

QString TRpDatafieldList::entryOfNode(const QTreeWidgetItem *node)
{
    return node ? node->data(0, kEntryRole).toString() : QString();
}

bool TRpDatafieldList::entryOf(
    const QString &entry, const QList<QObject *> &datasets, QObject *&dataset, QString &field)
{
    const qsizetype dot = entry.indexOf(u'.');
    if (dot <= 0)
        return false;
    const QString name = entry.left(dot);
    for (QObject *candidate : datasets) {
        if (candidate->objectName() == name) {
            dataset = candidate;
            field = entry.mid(dot + 1);
            return true;
        }
    }
    return false;
}
