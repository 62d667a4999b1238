#include "preview/RpEnvironmentEditor.h"

#include "preview/RpExpressionBuilder.h"
#include "widgets/Dialogs.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TRpEnvironmentEditor::TRpEnvironmentEditor(RpVariableList *environment, bool globalAllowed, QWidget *parent)
    : QDialog(parent)
    , m_local(environment)
{
    setWindowTitle(QStringLiteral("User Defined Functions Edtor"));
    setFixedSize(376, 269);

    GAvailable = new QGroupBox(QStringLiteral("Available User Defined Functions"), this);
    GAvailable->setGeometry(8, 4, 360, 224);
    RLocal = new QRadioButton(QStringLiteral("&Local defines"), GAvailable);
    RLocal->setGeometry(10, 20, 140, 20);
    RGlobal = new QRadioButton(QStringLiteral("&Global defines"), GAvailable);
    RGlobal->setGeometry(160, 20, 140, 20);
    GridVars = new QTableWidget(0, 2, GAvailable);
    GridVars->setObjectName(QStringLiteral("GridVars"));
    GridVars->setGeometry(8, 44, 344, 172);
    GridVars->setHorizontalHeaderLabels({ QStringLiteral("Name"), QStringLiteral("Expression") });
    GridVars->setColumnWidth(0, 123);
    GridVars->setColumnWidth(1, 165);
    GridVars->horizontalHeader()->setStretchLastSection(true);
    GridVars->verticalHeader()->hide();
    GridVars->verticalHeader()->setDefaultSectionSize(20);
    GridVars->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    GridVars->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click opens the wizard, so cells are edited by typing or by a click on the current cell.
    GridVars->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
        | QAbstractItemView::SelectedClicked);

    GNewEntry = new QGroupBox(QStringLiteral("New entry"), this);
    GNewEntry->setGeometry(GAvailable->geometry());
    auto *nameLabel = new QLabel(QStringLiteral("Name :"), GNewEntry);
    nameLabel->setGeometry(10, 28, 80, 20);
    ENewName = new QLineEdit(GNewEntry);
    ENewName->setGeometry(96, 26, 252, 22);
    auto *expressionLabel = new QLabel(QStringLiteral("Expression :"), GNewEntry);
    expressionLabel->setGeometry(10, 62, 80, 20);
    ENewExpression = new QLineEdit(GNewEntry);
    ENewExpression->setGeometry(96, 60, 222, 22);
    BNewExpression = button(QStringLiteral("..."), GNewEntry);
    BNewExpression->setGeometry(322, 60, 26, 22);
    BNewOK = button(QStringLiteral("&OK"), GNewEntry);
    BNewOK->setGeometry(188, 186, 78, 26);
    BNewCancel = button(QStringLiteral("&Cancel"), GNewEntry);
    BNewCancel->setGeometry(270, 186, 78, 26);
    GNewEntry->hide();

    BAdd = button(QStringLiteral("&Add"), this);
    BEdit = button(QStringLiteral("&Edit"), this);
    BDelete = button(QStringLiteral("&Delete"), this);
    BClose = new QPushButton(QStringLiteral("Close"), this);
    BClose->setDefault(true);
    int left = 8;
    for (QPushButton *b : { BAdd, BEdit, BDelete, BClose }) {
        b->setGeometry(left, 236, 84, 26);
        left += 92;
    }

    connect(RLocal, &QRadioButton::toggled, this, [this] { fillGrid(); });
    connect(GridVars, &QTableWidget::cellChanged, this, &TRpEnvironmentEditor::cellChanged);
    connect(GridVars, &QTableWidget::cellDoubleClicked, this, [this] { editCurrent(); });
    connect(BAdd, &QPushButton::clicked, this, [this] { addEntry(); });
    connect(BEdit, &QPushButton::clicked, this, [this] { editCurrent(); });
    connect(BDelete, &QPushButton::clicked, this, [this] { deleteCurrent(); });
    connect(BClose, &QPushButton::clicked, this, [this] { close(); });
    connect(BNewOK, &QPushButton::clicked, this, [this] { newEntryOk(); });
    connect(BNewCancel, &QPushButton::clicked, this, [this] {
        m_newEntryResult = 2;
        emit newEntryEnded();
    });
    connect(BNewExpression, &QPushButton::clicked, this, [this] { newExpressionWizard(); });

    RGlobal->setEnabled(globalAllowed);
    if (m_local) {
        RLocal->setChecked(true);
    } else {
        RLocal->setEnabled(false);
        RGlobal->setChecked(true);
    }
    fillGrid();
}

TRpEnvironmentEditor::~TRpEnvironmentEditor() = default;

RpVariableList *TRpEnvironmentEditor::shownVariables() const
{
    if (m_local && RLocal->isChecked())
        return m_local;
    return &rpGlobalVariables();
}

void TRpEnvironmentEditor::fillGrid()
{
    RpVariableList *variables = shownVariables();
    m_filling = true;
    GridVars->setRowCount(variables->count());
    for (int i = 0; i < variables->count(); ++i) {
        GridVars->setItem(i, 0, new QTableWidgetItem(variables->name(i)));
        GridVars->setItem(i, 1, new QTableWidgetItem(variables->expression(i)));
    }
    m_filling = false;
}

void TRpEnvironmentEditor::setCell(int row, int column, const QString &text)
{
    m_filling = true;
    if (QTableWidgetItem *item = GridVars->item(row, column))
        item->setText(text);
    m_filling = false;
}

void TRpEnvironmentEditor::cellChanged(int row, int column)
{
    if (m_filling)
        return;
    RpVariableList *variables = shownVariables();
    QTableWidgetItem *item = GridVars->item(row, column);
    if (!item || row >= variables->count())
        return;
    const QString text = item->text();
    if (column == 0) {
        QString refusal;
        if (!variables->prepared())
            refusal = variables->nameRefusal(text, row);
        variables->rename(row, text);
        setCell(row, 0, variables->name(row));
        // Told once the grid has finished with the edit, so that the box does not cut into it.
        if (!refusal.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, refusal] { Dialogs::showError(this, refusal); }, Qt::QueuedConnection);
    } else {
        variables->setExpression(row, text);
        setCell(row, 1, variables->expression(row));
    }
}

void TRpEnvironmentEditor::editCurrent()
{
    RpVariableList *variables = shownVariables();
    const int row = GridVars->currentRow();
    if (row < 0 || row >= variables->count())
        return;
    const QString name = variables->name(row);
    QString text = variables->expression(row);
    const QPointer<TRpEnvironmentEditor> self(this);
    if (!OpenExpressionWizard(name, text, this, m_local, this) || !self)
        return;
    // The row may have moved while the wizard was open; the name finds it again.
    const int index = variables->indexOf(name);
    if (variables->setExpression(index, text))
        fillGrid();
}

void TRpEnvironmentEditor::showNewEntry(bool on)
{
    for (QPushButton *b : { BAdd, BEdit, BDelete, BClose })
        b->setVisible(!on);
    GAvailable->setVisible(!on);
    GNewEntry->setVisible(on);
    if (on) {
        GNewEntry->raise();
        ENewName->clear();
        ENewExpression->clear();
        ENewName->setFocus();
    }
}

void TRpEnvironmentEditor::addEntry()
{
    if (GNewEntry->isVisible())
        return;
    m_newEntryResult = 0;
    showNewEntry(true);
    const QPointer<TRpEnvironmentEditor> self(this);
    QEventLoop loop;
    connect(this, &TRpEnvironmentEditor::newEntryEnded, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    if (!self)
        return;
    showNewEntry(false);
    fillGrid();
}

void TRpEnvironmentEditor::newEntryOk()
{
    RpVariableList *variables = shownVariables();
    if (!variables->prepared()) {
        const QString refusal = variables->nameRefusal(ENewName->text(), -1);
        if (!refusal.isEmpty()) {
            Dialogs::showError(this, refusal);
            ENewName->setFocus();
            return;
        }
    }
    variables->add(ENewName->text(), ENewExpression->text());
    m_newEntryResult = 1;
    emit newEntryEnded();
}

void TRpEnvironmentEditor::newExpressionWizard()
{
    QString text = ENewExpression->text();
    const QPointer<TRpEnvironmentEditor> self(this);
    if (OpenExpressionWizard(ENewName->text(), text, this, m_local, this) && self)
        ENewExpression->setText(text);
}

void TRpEnvironmentEditor::deleteCurrent()
{
    RpVariableList *variables = shownVariables();
    const int row = GridVars->currentRow();
    if (row < 0 || row >= variables->count() || variables->prepared())
        return;
    const QString refusal = variables->deleteRefusal(row);
    if (!refusal.isEmpty()) {
        Dialogs::showError(this, refusal);
        return;
    }
    variables->remove(row);
    fillGrid();
    GridVars->setCurrentCell(std::min(row, GridVars->rowCount() - 1), 0);
}

void TRpEnvironmentEditor::closeEvent(QCloseEvent *event)
{
    m_closeFlag = true;
    RpWizardWindow::cancelWizardsIn(this);
    if (GNewEntry->isVisible()) {
        m_newEntryResult = 2;
        emit newEntryEnded();
    }
    QDialog::closeEvent(event);
}

void OpenVariableEditor(RpVariableList *environment, bool globalAllowed)
{
    const QPointer<TRpEnvironmentEditor> editor = new TRpEnvironmentEditor(environment, globalAllowed);
    Dialogs::exec(*editor);
    delete editor.data();
}

void OpenVariableEditor(TRpEvEnvironment *environment, bool globalAllowed)
{
    if (!environment) {
        OpenVariableEditor(static_cast<RpVariableList *>(nullptr), globalAllowed);
        return;
    }
    RpEnvironmentVariables variables(*environment);
    OpenVariableEditor(&variables, globalAllowed);
}
