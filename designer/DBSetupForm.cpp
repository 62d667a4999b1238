#include "designer/DBSetupForm.h"

#include "designer/DataSources.h"
#include "designer/DatasetInterfaces.h"
#include "designer/FieldPropertyForm.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"
#include "store/DataSource.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPushButton *plainButton(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TDBSetupForm::TDBSetupForm(TRpDesigner &engine, QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
{
    setObjectName(QStringLiteral("DBSetupForm"));
    setWindowTitle(QStringLiteral("Datasets"));
    ComboMain = new QComboBox(this);
    ListAvailable = new QListWidget(this);
    ListAvailable->setObjectName(QStringLiteral("ListAvailable"));
    BNew = plainButton(QStringLiteral("&New"), this);
    MenuNew = new QMenu(BNew);
    BDelete = plainButton(QStringLiteral("&Delete"), this);
    BFields = plainButton(QStringLiteral("&Fields"), this);
    BProperties = plainButton(QStringLiteral("&Properties"), this);
    BViewData = plainButton(QStringLiteral("&View data"), this);
    BOK = new QPushButton(QStringLiteral("OK"), this);
    BOK->setDefault(true);
    BCancel = plainButton(QStringLiteral("Cancel"), this);

    auto *mainLabel = new QLabel(QStringLiteral("&Main report table"), this);
    mainLabel->setBuddy(ComboMain);
    auto *availableLabel = new QLabel(QStringLiteral("&Available"), this);
    availableLabel->setBuddy(ListAvailable);
    auto *side = new QVBoxLayout;
    for (QPushButton *b : { BNew, BDelete, BFields, BProperties, BViewData })
        side->addWidget(b);
    side->addStretch(1);
    auto *middle = new QHBoxLayout;
    middle->addWidget(ListAvailable, 1);
    middle->addLayout(side);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mainLabel);
    layout->addWidget(ComboMain);
    layout->addWidget(availableLabel);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(460, 330);

    // Every interface works for this engine, with the engine's lists, and offers its kind of table.
    const QList<TrpbaseDatasetInterface *> interfaces = TrpbaseDatasetInterface::registered();
    for (int i = 0; i < interfaces.size(); ++i) {
        interfaces[i]->setEngine(&m_engine);
        MenuNew->addAction(interfaces[i]->MenuTitle(), this, [this, i] { newDataset(i); });
    }
    BNew->setMenu(MenuNew);
    BNew->setEnabled(!interfaces.isEmpty());
    if (!m_engine.AllowDatasetEdit) {
        for (QPushButton *b : { BNew, BDelete, BFields, BProperties, BViewData })
            b->hide();
        ListAvailable->setFixedHeight(217);
    }

    fill();
    connect(ListAvailable, &QListWidget::currentRowChanged, this, [this] { selectionChanged(); });
    connect(ListAvailable, &QListWidget::itemDoubleClicked, this, [this] {
        if (BProperties->isVisible() && BProperties->isEnabled())
            propertiesClick();
    });
    ListAvailable->viewport()->installEventFilter(this);
    connect(ComboMain, &QComboBox::activated, this, [this] { m_engine.setModified(true); });
    connect(BDelete, &QPushButton::clicked, this, [this] { deleteClick(); });
    connect(BFields, &QPushButton::clicked, this, [this] { fieldsClick(); });
    connect(BProperties, &QPushButton::clicked, this, [this] { propertiesClick(); });
    connect(BViewData, &QPushButton::clicked, this, [this] { viewDataClick(); });
    connect(BOK, &QPushButton::clicked, this, [this] { okClick(); });
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TDBSetupForm::~TDBSetupForm() = default;

void TDBSetupForm::fill()
{
    const TDataSet *selected = selectedSource() ? selectedSource()->DataSet() : nullptr;
    const QObject *main = m_engine.report() ? m_engine.report()->dataSet() : nullptr;
    if (ComboMain->count() > 0 && ComboMain->currentIndex() > 0
        && ComboMain->currentIndex() - 1 < m_sources.size() && m_sources[ComboMain->currentIndex() - 1])
        main = m_sources[ComboMain->currentIndex() - 1]->DataSet();
    m_sources.clear();
    ComboMain->clear();
    ListAvailable->clear();
    ComboMain->addItem(rpMessage(m_engine, QStringLiteral("None"), QStringLiteral("(NONE)")));
    for (TDataSource *source : rpAvailableDataSources(m_engine)) {
        m_sources.append(source);
        TDataSet *dataSet = source->DataSet();
        ComboMain->addItem(dataSet->objectName());
        if (dataSet == main)
            ComboMain->setCurrentIndex(ComboMain->count() - 1);
        const TrpbaseDatasetInterface *face = TrpbaseDatasetInterface::interfaceFor(dataSet);
        ListAvailable->addItem(face ? face->DisplayText(dataSet) : rpDisplayText(*dataSet));
    }
    const int row = rowOf(selected);
    ListAvailable->setCurrentRow(row >= 0 ? row : (ListAvailable->count() > 0 ? 0 : -1));
    selectionChanged();
}

void TDBSetupForm::refreshTexts(int row)
{
    if (row < 0 || row >= m_sources.size() || !m_sources[row])
        return;
    TDataSet *dataSet = m_sources[row]->DataSet();
    const TrpbaseDatasetInterface *face = TrpbaseDatasetInterface::interfaceFor(dataSet);
    ListAvailable->item(row)->setText(face ? face->DisplayText(dataSet) : rpDisplayText(*dataSet));
    ComboMain->setItemText(row + 1, dataSet->objectName());
}

TDataSource *TDBSetupForm::selectedSource() const
{
    const int row = ListAvailable->currentRow();
    if (row < 0 || row >= m_sources.size())
        return nullptr;
    return m_sources[row];
}

int TDBSetupForm::rowOf(const TDataSet *dataSet) const
{
    for (int i = 0; i < m_sources.size(); ++i) {
        if (dataSet && m_sources[i] && m_sources[i]->DataSet() == dataSet)
            return i;
    }
    return -1;
}

void TDBSetupForm::selectionChanged()
{
    TDataSource *source = selectedSource();
    TDataSet *dataSet = source ? source->DataSet() : nullptr;
    BDelete->setEnabled(dataSet && rpOwnedByDesigner(m_engine, dataSet));
    BProperties->setEnabled(TrpbaseDatasetInterface::interfaceFor(dataSet) != nullptr);
    BFields->setEnabled(dataSet && dataSet->Active());
    BViewData->setEnabled(dataSet && dataSet->Active());
}

bool TDBSetupForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListAvailable->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton && selectedSource() && BViewData->isVisible()
            && BViewData->isEnabled()) {
            viewDataClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TDBSetupForm::newDataset(int index)
{
    const QList<TrpbaseDatasetInterface *> interfaces = TrpbaseDatasetInterface::registered();
    if (index < 0 || index >= interfaces.size())
        return;
    TrpbaseDatasetInterface *face = interfaces[index];
    QObject *module = m_engine.files()->dataModule();
    Dialogs::guarded(this, [&] {
        TDataSet *dataSet = face->CreateDataset(module);
        TDataSource *source = face->CreateDatasource(dataSet);
        if (!face->EditWithHooks(this, dataSet, false)) {
            delete source;
            delete dataSet;
            return;
        }
        const QString base = dataSet->objectName() + QStringLiteral("Datasource");
        bool taken = false;
        for (const QObject *child : module->children())
            taken = taken || (child != source && child->objectName().compare(base, Qt::CaseInsensitive) == 0);
        source->setObjectName(taken ? rpUniqueName(module, base, source) : base);
        m_engine.setModified(true);
        fill();
        int row = rowOf(dataSet);
        if (row < 0) {
            // A table that cannot be offered yet (no file chosen) is listed all the same while the dialog is
            // open, so that it can be chosen and mended.
            m_sources.append(source);
            ComboMain->addItem(dataSet->objectName());
            ListAvailable->addItem(face->DisplayText(dataSet));
            row = int(m_sources.size()) - 1;
        }
        ListAvailable->setCurrentRow(row);
    });
}

void TDBSetupForm::deleteClick()
{
    TDataSource *source = selectedSource();
    if (!source)
        return;
    TDataSet *dataSet = source->DataSet();
    const int main = ComboMain->currentIndex() - 1;
    if (main >= 0 && main < m_sources.size() && m_sources[main] && m_sources[main]->DataSet() == dataSet) {
        Dialogs::showError(this,
            rpMessage(m_engine, QStringLiteral("ErrorDeleteMainDatabase"),
                QStringLiteral(
                    "The main report table can not be deleted. Please select another main table for "
                    "the report first.")));
        return;
    }
    if (!Dialogs::confirm(this,
            rpMessage(m_engine, QStringLiteral("DeleteDatabaseConfirmation"),
                QStringLiteral("If you delete this table, all report elements using it will become invalid. "
                               "Continue?"))))
        return;
    m_engine.setModified(true);
    delete source;
    delete dataSet;
    fill();
}

void TDBSetupForm::propertiesClick()
{
    TDataSource *source = selectedSource();
    TDataSet *dataSet = source ? source->DataSet() : nullptr;
    TrpbaseDatasetInterface *face = TrpbaseDatasetInterface::interfaceFor(dataSet);
    if (!face)
        return;
    const int row = ListAvailable->currentRow();
    const bool viewOnly = !rpOwnedByDesigner(m_engine, dataSet);
    if (face->EditWithHooks(this, dataSet, viewOnly)) {
        m_engine.setModified(true);
        refreshTexts(row);
        selectionChanged();
    }
}

void TDBSetupForm::fieldsClick()
{
    TDataSource *source = selectedSource();
    TDataSet *dataSet = source ? source->DataSet() : nullptr;
    if (!dataSet)
        return;
    if (!dataSet->Active()) {
        try {
            dataSet->Open();
        } catch (const Exception &) { }
    }
    rpApplyFieldLabels(m_engine, *dataSet);
    const QObject *owner = dataSet->parent();
    const bool changeable = rpOwnedByDesigner(m_engine, dataSet)
        || (owner && RpComponents::dataModules().contains(const_cast<QObject *>(owner)));
    TFieldPropertyForm form(m_engine, *dataSet, changeable, this);
    Dialogs::exec(form);
    m_engine.setModified(true);
    refreshTexts(ListAvailable->currentRow());
}

void TDBSetupForm::viewDataClick()
{
    TDataSource *source = selectedSource();
    if (!source || !source->DataSet() || !source->DataSet()->Active())
        return;
    TDataSet *dataSet = source->DataSet();
    const int bookmark = dataSet->CurrentRowNumber();
    {
        TRpViewDataForm view(*source, this);
        Dialogs::exec(view);
    }
    if (dataSet->Active() && bookmark > 0)
        dataSet->MoveToRow(bookmark);
}

void TDBSetupForm::okClick()
{
    const int main = ComboMain->currentIndex() - 1;
    QObject *dataSet
        = main >= 0 && main < m_sources.size() && m_sources[main] ? m_sources[main]->DataSet() : nullptr;
    if (TCustomRpReport *report = m_engine.report()) {
        if (report->dataSet() != dataSet)
            m_engine.setModified(true);
        report->setDataSet(dataSet);
    }
    accept();
}

void TDBSetupForm::done(int result)
{
    rpRefreshDataFieldCaptions(m_engine);
    QDialog::done(result);
}

// ---- view data ----

TRpViewDataForm::TRpViewDataForm(TDataSource &source, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ViewDataForm"));
    setWindowTitle(source.DataSet() ? source.DataSet()->objectName() : QString());
    Grid = new TDBGrid(this);
    Grid->setObjectName(QStringLiteral("DBGrid1"));
    Grid->setReadOnly(true);
    Grid->setOptions(Grid->Options() & ~dgEditing);
    Grid->setDataSource(&source);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid);
    // Two thirds of the screen, in its middle.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize size((area.width() * 2 + 1) / 3, (area.height() * 2 + 1) / 3);
        setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
}

// ---- entry ----

bool rpShowDatasetsDialog(TRpDesigner &engine, QWidget *parent)
{
    TDBSetupForm form(engine, parent);
    return Dialogs::exec(form);
}

void rpRefreshDataFieldCaptions(TRpDesigner &engine)
{
    TCustomRpReport *report = engine.report();
    if (!report)
        return;
    for (QObject *element : report->findChildren<QObject *>()) {
        const QMetaObject *meta = element->metaObject();
        if (meta->indexOfProperty("DataField") < 0 || meta->indexOfProperty("Caption") < 0
            || meta->indexOfProperty("DataSet") < 0)
            continue;
        auto *dataSet = qobject_cast<TDataSet *>(element->property("DataSet").value<QObject *>());
        if (!dataSet)
            continue;
        if (const TField *field = dataSet->LookupField(element->property("DataField").toString()))
            element->setProperty("Caption", field->DisplayName());
    }
}
