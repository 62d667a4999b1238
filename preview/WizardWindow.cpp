#include "preview/WizardWindow.h"

#include "platform/Exceptions.h"
#include "preview/RpEnvironmentEditor.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"
#include "report/expressions/EvaluatorTable.h"
#include "report/files/ReportFile.h"
#include "store/DataSet.h"
#include "widgets/Dialogs.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

TWordWrapEdit::TWordWrapEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

namespace {

constexpr int kRowStep = 40;

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *b : buttons)
        row->addWidget(b);
    return row;
}

// Prepares an environment for a scope, optionally with the data sets its expressions may name.
class PreparedScope
{
public:
    PreparedScope(TRpEvEnvironment *environment, const TRpEvDataSetList *dataSets)
        : m_environment(environment)
    {
        if (!m_environment)
            return;
        m_savedDataSets = m_environment->DataSets();
        if (dataSets && !m_environment->Prepared())
            m_environment->SetDataSets(dataSets);
        m_environment->PrepareEnvironment();
    }
    ~PreparedScope()
    {
        if (!m_environment)
            return;
        m_environment->UnprepareEnvironment();
        if (!m_environment->Prepared())
            m_environment->SetDataSets(m_savedDataSets);
    }
    PreparedScope(const PreparedScope &) = delete;
    PreparedScope &operator=(const PreparedScope &) = delete;

private:
    TRpEvEnvironment *m_environment;
    const TRpEvDataSetList *m_savedDataSets = nullptr;
};

// Keeps the selected row of a list by its text across a refill.
void selectText(QListWidget *list, const QString &text)
{
    int row = 0;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text() == text) {
            row = i;
            break;
        }
    }
    if (list->count() > 0)
        list->setCurrentRow(row);
}

} // namespace

RpWizardWindow::RpWizardWindow(const RpWizardSettings &settings, std::shared_ptr<RpWizardDataSets> dataSets,
    RpVariableList *variables, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_dataSets(std::move(dataSets))
    , m_variables(variables)
{
    setWindowTitle(m_settings.caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);
    m_pages->addWidget(buildMainPage());
    m_pages->addWidget(buildDataFieldPage());
    m_pages->addWidget(buildFunctionPage());
    m_pages->addWidget(buildParametersPage());
    m_pages->addWidget(buildVariablePage());
    m_pages->setCurrentIndex(MainPage);
    resize(m_settings.width, m_settings.height);
    fillFunctions();
}

RpWizardWindow::~RpWizardWindow() = default;

// ---- pages ----

QWidget *RpWizardWindow::buildMainPage()
{
    m_mainPage = new QWidget;
    m_heading = new QLabel(QStringLiteral("Enter expression:"), m_mainPage);
    m_heading->setObjectName(QStringLiteral("LHeading"));
    m_expression = new TWordWrapEdit(m_mainPage);
    m_expression->setObjectName(QStringLiteral("MemoExpression"));
    m_insertGroup = new QGroupBox(QStringLiteral("Insert at cursor position"), m_mainPage);

    QPushButton *field = button(QStringLiteral("&Database field"), m_insertGroup);
    QPushButton *function = button(QStringLiteral("&Function"), m_insertGroup);
    QPushButton *variable = button(QStringLiteral("&Variable"), m_insertGroup);
    connect(field, &QPushButton::clicked, this, [this] { databaseFieldClick(); });
    connect(function, &QPushButton::clicked, this, [this] { functionClick(); });
    connect(variable, &QPushButton::clicked, this, [this] { variableClick(); });
    m_insertButtons = { field, function, variable };

    for (const char *caption : { "+", "-", "*", "/", "=", "<", ">", "<>", "<=", ">=", "Not", "And", "Or" }) {
        const QString text = QString::fromLatin1(caption);
        QPushButton *b = button(text, m_insertGroup);
        connect(
            b, &QPushButton::clicked, this, [this, text] { insertText(rpOperatorText(m_settings, text)); });
        m_operatorButtons.push_back(b);
    }

    QPushButton *validateButton = button(QStringLiteral("Valida&te"), m_mainPage);
    QPushButton *clear = button(QStringLiteral("&Clear"), m_mainPage);
    QPushButton *ok = button(QStringLiteral("OK"), m_mainPage);
    QPushButton *cancel = button(QStringLiteral("Cancel"), m_mainPage);
    connect(validateButton, &QPushButton::clicked, this, [this] { validate(); });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_expression->clear();
        m_expression->setFocus();
    });
    connect(ok, &QPushButton::clicked, this, [this] { setWindowResult(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { setWindowResult(2); });
    m_bottomButtons = { validateButton, clear, ok, cancel };
    m_mainPage->installEventFilter(this);
    return m_mainPage;
}

// The main page keeps the expression field at its designed place, anchored on all four sides: the insert
// group and the buttons stay at the bottom, the field takes what the window grows by.
void RpWizardWindow::layoutMainPage()
{
    const int w = m_mainPage->width();
    const int h = m_mainPage->height();
    m_heading->setGeometry(20, 14, w - 35, 18);
    m_expression->setGeometry(20, 36, w - 35, h - 178);

    const int groupTop = h - 137;
    m_insertGroup->setGeometry(8, groupTop, w - 16, 100);
    const int inner = m_insertGroup->width() - 16;
    const int third = (inner - 8) / 3;
    for (size_t i = 0; i < m_insertButtons.size(); ++i)
        m_insertButtons[i]->setGeometry(8 + int(i) * (third + 4), 18, third, 24);
    // Ten symbol buttons on one row, the three word operators below them.
    const int symbolWidth = (inner - 9 * 2) / 10;
    for (size_t i = 0; i < m_operatorButtons.size(); ++i) {
        if (i < 10)
            m_operatorButtons[i]->setGeometry(8 + int(i) * (symbolWidth + 2), 46, symbolWidth, 24);
        else
            m_operatorButtons[i]->setGeometry(
                8 + int(i - 10) * (symbolWidth * 2 + 2), 72, symbolWidth * 2, 24);
    }
    const int buttonWidth = (w - 16 - 3 * 6) / 4;
    for (size_t i = 0; i < m_bottomButtons.size(); ++i)
        m_bottomButtons[i]->setGeometry(8 + int(i) * (buttonWidth + 6), h - 31, buttonWidth, 25);
}

QWidget *RpWizardWindow::buildDataFieldPage()
{
    auto *page = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Insert database field in expression"), page);
    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Select dataset"), group));
    m_dataSetList = new QListWidget(group);
    m_dataSetList->setObjectName(QStringLiteral("ListDatasets"));
    left->addWidget(m_dataSetList);
    right->addWidget(new QLabel(QStringLiteral("Available fields"), group));
    m_fieldList = new QListWidget(group);
    m_fieldList->setObjectName(QStringLiteral("ListFields"));
    right->addWidget(m_fieldList);
    lists->addLayout(left);
    lists->addLayout(right);
    group->setLayout(lists);
    connect(m_dataSetList, &QListWidget::currentRowChanged, this, [this] { fillFields(); });
    connect(m_fieldList, &QListWidget::itemDoubleClicked, this, [this] { setPageResult(DataFieldPage, 1); });

    QPushButton *ok = button(QStringLiteral("OK"), page);
    QPushButton *cancel = button(QStringLiteral("Cancel"), page);
    connect(ok, &QPushButton::clicked, this, [this] { setPageResult(DataFieldPage, 1); });
    connect(cancel, &QPushButton::clicked, this, [this] { setPageResult(DataFieldPage, 2); });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group, 1);
    layout->addLayout(buttonRow({ ok, cancel }));
    return page;
}

QWidget *RpWizardWindow::buildFunctionPage()
{
    auto *page = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Select function"), page);
    auto *lists = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Category"), group));
    m_categoryList = new QListWidget(group);
    m_categoryList->setObjectName(QStringLiteral("ListCategory"));
    m_categoryList->addItems(rpCategoryNames());
    m_categoryList->setCurrentRow(0);
    left->addWidget(m_categoryList);
    right->addWidget(new QLabel(QStringLiteral("Available functions"), group));
    m_functionList = new QListWidget(group);
    m_functionList->setObjectName(QStringLiteral("ListFunctions"));
    right->addWidget(m_functionList);
    lists->addLayout(left, 2);
    lists->addLayout(right, 3);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(lists, 1);
    m_syntax = new QLabel(group);
    m_syntax->setObjectName(QStringLiteral("LSyntax"));
    m_explanation = new QLabel(group);
    m_explanation->setObjectName(QStringLiteral("LExplanation"));
    m_explanation->setWordWrap(true);
    groupLayout->addWidget(m_syntax);
    groupLayout->addWidget(m_explanation);
    connect(m_categoryList, &QListWidget::currentRowChanged, this, [this] { fillFunctions(); });
    connect(m_functionList, &QListWidget::currentRowChanged, this, [this] { showFunction(); });
    connect(
        m_functionList, &QListWidget::itemDoubleClicked, this, [this] { setPageResult(FunctionPage, 1); });

    QPushButton *next = button(QStringLiteral("Continue"), page);
    QPushButton *cancel = button(QStringLiteral("Cancel"), page);
    connect(next, &QPushButton::clicked, this, [this] { setPageResult(FunctionPage, 1); });
    connect(cancel, &QPushButton::clicked, this, [this] { setPageResult(FunctionPage, 2); });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group, 1);
    layout->addLayout(buttonRow({ next, cancel }));
    return page;
}

QWidget *RpWizardWindow::buildParametersPage()
{
    auto *page = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Enter parameters for function"), page);
    auto *groupLayout = new QVBoxLayout(group);
    m_parameterSyntax = new QLabel(group);
    m_parameterExplanation = new QLabel(group);
    m_parameterExplanation->setWordWrap(true);
    m_parameterScroll = new QScrollArea(group);
    m_parameterScroll->setObjectName(QStringLiteral("ScrollParams"));
    m_parameterScroll->setWidgetResizable(true);
    m_parameterScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_parameterScroll->verticalScrollBar()->setSingleStep(kRowStep);
    groupLayout->addWidget(m_parameterSyntax);
    groupLayout->addWidget(m_parameterExplanation);
    groupLayout->addWidget(m_parameterScroll, 1);

    QPushButton *ok = button(QStringLiteral("OK"), page);
    QPushButton *cancel = button(QStringLiteral("Cancel"), page);
    connect(ok, &QPushButton::clicked, this, [this] { setPageResult(ParametersPage, 1); });
    connect(cancel, &QPushButton::clicked, this, [this] { setPageResult(ParametersPage, 2); });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group, 1);
    layout->addLayout(buttonRow({ ok, cancel }));
    return page;
}

QWidget *RpWizardWindow::buildVariablePage()
{
    auto *page = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Select variable"), page);
    m_variableListPanel = new QWidget(group);
    auto *panelLayout = new QVBoxLayout(m_variableListPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_variableList = new QListWidget(m_variableListPanel);
    m_variableList->setObjectName(QStringLiteral("ListVariables"));
    panelLayout->addWidget(m_variableList, 1);
    auto *valueRow = new QHBoxLayout;
    valueRow->addWidget(new QLabel(QStringLiteral("Value :"), m_variableListPanel));
    m_variableValue = new QLabel(m_variableListPanel);
    m_variableValue->setObjectName(QStringLiteral("LValue"));
    valueRow->addWidget(m_variableValue, 1);
    panelLayout->addLayout(valueRow);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_variableListPanel);
    connect(m_variableList, &QListWidget::currentRowChanged, this, [this] { showVariable(); });
    connect(
        m_variableList, &QListWidget::itemDoubleClicked, this, [this] { setPageResult(VariablePage, 1); });

    QPushButton *modify = button(QStringLiteral("&Modify variables"), m_variableListPanel);
    QPushButton *ok = button(QStringLiteral("OK"), m_variableListPanel);
    QPushButton *cancel = button(QStringLiteral("Cancel"), m_variableListPanel);
    connect(modify, &QPushButton::clicked, this, [this] { modifyVariablesClick(); });
    connect(ok, &QPushButton::clicked, this, [this] { setPageResult(VariablePage, 1); });
    connect(cancel, &QPushButton::clicked, this, [this] { setPageResult(VariablePage, 2); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(modify);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    panelLayout->addLayout(buttons);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group, 1);
    return page;
}

// ---- running ----

bool RpWizardWindow::execute(const QString &heading, QString &expression, QWidget *parentWindow)
{
    if (!heading.isEmpty())
        m_heading->setText(heading);
    m_expression->setPlainText(expression);
    m_expression->selectAll();
    m_pages->setCurrentIndex(MainPage);
    m_result = 0;
    m_pageResults.fill(0);
    if (parentWindow) {
        m_embedded = true;
        setParent(parentWindow, Qt::Widget);
        setGeometry(parentWindow->rect());
        activate();
        show();
        raise();
        const QPointer<RpWizardWindow> self(this);
        waitUntil([self] { return !self || self->m_result != 0; });
        if (!self) {
            expression.clear();
            return false;
        }
        hide();
    } else {
        m_embedded = false;
        Dialogs::exec(*this);
        if (m_result == 0)
            m_result = 2;
    }
    if (m_result == 1) {
        expression = rpStripLineBreaks(expressionText());
        return true;
    }
    expression.clear();
    return false;
}

RpWizardWindow::Page RpWizardWindow::currentPage() const
{
    return Page(m_pages->currentIndex());
}

QString RpWizardWindow::expressionText() const
{
    return m_expression->toPlainText();
}

void RpWizardWindow::waitUntil(const std::function<bool()> &done)
{
    if (done())
        return;
    QEventLoop loop;
    connect(this, &RpWizardWindow::resultsChanged, &loop, [&] {
        if (done())
            loop.quit();
    });
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RpWizardWindow::runPage(Page page)
{
    setPageResult(page, 0);
    m_mainPage->setEnabled(false);
    m_pages->setCurrentIndex(page);
    const QPointer<RpWizardWindow> self(this);
    waitUntil([self, page] { return !self || self->m_pageResults[size_t(page)] != 0; });
    if (!self)
        return false;
    m_pages->setCurrentIndex(MainPage);
    m_mainPage->setEnabled(true);
    m_expression->setFocus();
    return m_pageResults[size_t(page)] == 1;
}

void RpWizardWindow::showPage(Page page, const QString &function)
{
    fillDataSets(false);
    fillVariables(false);
    if (!function.isEmpty()) {
        const auto found = m_functionList->findItems(function, Qt::MatchFixedString);
        if (!found.isEmpty())
            m_functionList->setCurrentItem(found.first());
    }
    if (page == ParametersPage && m_functionList->currentRow() >= 0) {
        const TRpLibraryEntry &entry = *m_shownFunctions[m_functionList->currentRow()];
        m_parameterSyntax->setText(entry.Syntax());
        m_parameterExplanation->setText(entry.Explanation());
        buildParameterRows(entry);
    }
    m_mainPage->setEnabled(page == MainPage);
    m_pages->setCurrentIndex(page);
}

void RpWizardWindow::setPageResult(Page page, int result)
{
    m_pageResults[size_t(page)] = result;
    emit resultsChanged();
}

void RpWizardWindow::setWindowResult(int result)
{
    m_result = result;
    emit resultsChanged();
    if (!m_embedded && result != 0 && isVisible())
        QDialog::done(result == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void RpWizardWindow::cancelAll()
{
    for (RpWizardWindow *nested : findChildren<RpWizardWindow *>())
        nested->cancelAll();
    for (int &result : m_pageResults) {
        if (result == 0)
            result = 2;
    }
    setWindowResult(m_result == 1 ? 1 : 2);
}

void RpWizardWindow::cancelWizardsIn(QWidget *window)
{
    for (RpWizardWindow *wizard : window->findChildren<RpWizardWindow *>(Qt::FindDirectChildrenOnly))
        wizard->cancelAll();
}

void RpWizardWindow::closeEvent(QCloseEvent *event)
{
    cancelAll();
    event->accept();
}

void RpWizardWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        const Page page = currentPage();
        if (page != MainPage)
            setPageResult(page, 2);
        else
            setWindowResult(2);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RpWizardWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activate();
}

bool RpWizardWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        activate();
    return QDialog::event(event);
}

void RpWizardWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layoutMainPage();
}

bool RpWizardWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The main page places its controls itself, whenever its size changes.
    if (watched == m_mainPage && event->type() == QEvent::Resize)
        layoutMainPage();
    return QDialog::eventFilter(watched, event);
}

void RpWizardWindow::activate()
{
    fillDataSets();
    fillVariables();
    if (currentPage() == MainPage)
        m_expression->setFocus();
}

// ---- inserting ----

void RpWizardWindow::insertText(const QString &text)
{
    QTextCursor cursor = m_expression->textCursor();
    cursor.insertText(text);
    cursor.clearSelection();
    m_expression->setTextCursor(cursor);
    if (currentPage() == MainPage)
        m_expression->setFocus();
}

void RpWizardWindow::databaseFieldClick()
{
    fillDataSets(false);
    if (!runPage(DataFieldPage))
        return;
    const int set = m_dataSetList->currentRow();
    const int field = m_fieldList->currentRow();
    if (set < 0 || set >= m_shownDataSets.size() || !m_shownDataSets[set] || field < 0
        || field >= m_shownFields.size())
        return;
    insertText(m_shownDataSets[set]->objectName() + QLatin1Char('.') + m_shownFields[field].fieldName);
}

void RpWizardWindow::functionClick()
{
    if (!runPage(FunctionPage))
        return;
    const int row = m_functionList->currentRow();
    if (row < 0 || row >= m_shownFunctions.size())
        return;
    const TRpLibraryEntry &entry = *m_shownFunctions[row];
    if (rpArgumentLetters(entry).isEmpty()) {
        insertText(entry.Name);
        return;
    }
    // Copied: registering functions meanwhile may move the registry's entries.
    const TRpLibraryEntry chosen = entry;
    QStringList arguments;
    if (runParameters(chosen, arguments))
        insertText(rpCallText(m_settings, chosen.Name, arguments));
}

void RpWizardWindow::variableClick()
{
    fillVariables(false);
    if (!runPage(VariablePage))
        return;
    if (QListWidgetItem *item = m_variableList->currentItem())
        insertText(item->text());
}

// ---- data sets and fields ----

void RpWizardWindow::fillDataSets(bool keepSelection)
{
    const QString previous
        = keepSelection && m_dataSetList->currentItem() ? m_dataSetList->currentItem()->text() : QString();
    const QSignalBlocker blocker(m_dataSetList);
    m_dataSetList->clear();
    m_shownDataSets.clear();
    if (m_dataSets) {
        for (TDataSet *dataSet : m_dataSets->dataSets()) {
            m_shownDataSets.append(dataSet);
            m_dataSetList->addItem(dataSet->objectName());
        }
    }
    selectText(m_dataSetList, previous);
    fillFields();
}

void RpWizardWindow::fillFields()
{
    // An activation refills the lists: the chosen field stays chosen when it is still there.
    const QString previous = m_fieldList->currentItem() ? m_fieldList->currentItem()->text() : QString();
    m_fieldList->clear();
    m_shownFields.clear();
    const int row = m_dataSetList->currentRow();
    if (!m_dataSets || row < 0 || row >= m_shownDataSets.size() || !m_shownDataSets[row])
        return;
    m_shownFields = m_dataSets->fields(*m_shownDataSets[row]);
    for (const RpWizardField &field : std::as_const(m_shownFields))
        m_fieldList->addItem(field.text);
    const auto same = m_fieldList->findItems(previous, Qt::MatchExactly);
    if (!previous.isEmpty() && !same.isEmpty())
        m_fieldList->setCurrentItem(same.first());
}

// ---- functions ----

void RpWizardWindow::fillFunctions()
{
    const int category = std::max(0, m_categoryList->currentRow());
    const QString previous
        = m_functionList->currentItem() ? m_functionList->currentItem()->text() : QString();
    m_shownFunctions = rpFunctionsOfCategory(TRpFunctionLibrary::Global(), category, m_settings);
    const QSignalBlocker blocker(m_functionList);
    m_functionList->clear();
    for (const TRpLibraryEntry *entry : std::as_const(m_shownFunctions))
        m_functionList->addItem(entry->Name);
    const auto same = m_functionList->findItems(previous, Qt::MatchExactly);
    if (!previous.isEmpty() && !same.isEmpty())
        m_functionList->setCurrentItem(same.first());
    showFunction();
}

void RpWizardWindow::showFunction()
{
    const int row = m_functionList->currentRow();
    const bool chosen = row >= 0 && row < m_shownFunctions.size();
    m_syntax->setText(chosen ? m_shownFunctions[row]->Syntax() : QString());
    m_explanation->setText(chosen ? m_shownFunctions[row]->Explanation() : QString());
}

bool RpWizardWindow::runParameters(const TRpLibraryEntry &entry, QStringList &arguments)
{
    m_parameterSyntax->setText(entry.Syntax());
    m_parameterExplanation->setText(entry.Explanation());
    m_parameterHeadingSyntax = entry.Syntax();
    buildParameterRows(entry);
    const bool ok = runPage(ParametersPage);
    for (QLineEdit *edit : m_argumentEdits)
        arguments.append(edit->text());
    clearParameterRows();
    return ok;
}

void RpWizardWindow::buildParameterRows(const TRpLibraryEntry &entry)
{
    clearParameterRows();
    m_parameterRows = new QWidget;
    auto *rows = new QVBoxLayout(m_parameterRows);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    const QString letters = rpArgumentLetters(entry);
    for (int i = 0; i < letters.size(); ++i) {
        auto *row = new QWidget(m_parameterRows);
        row->setFixedHeight(kRowStep);
        auto *rowLayout = new QVBoxLayout(row);
        rowLayout->setContentsMargins(4, 0, 0, 0);
        rowLayout->setSpacing(0);
        rowLayout->addWidget(new QLabel(rpArgumentCaption(letters[i], i + 1), row));
        auto *fieldRow = new QHBoxLayout;
        // The edit field is 60 pixels narrower than the scroll box; the "..." button sits beside it.
        fieldRow->setContentsMargins(0, 0, 28, 0);
        fieldRow->setSpacing(4);
        auto *edit = new QLineEdit(row);
        edit->setObjectName(QStringLiteral("EArgument%1").arg(i + 1));
        QPushButton *more = button(QStringLiteral("..."), row);
        more->setFixedWidth(24);
        connect(more, &QPushButton::clicked, this, [this, i] { argumentWizard(i); });
        fieldRow->addWidget(edit, 1);
        fieldRow->addWidget(more);
        rowLayout->addLayout(fieldRow);
        rows->addWidget(row);
        m_argumentEdits.push_back(edit);
    }
    rows->addStretch(1);
    m_parameterScroll->setWidget(m_parameterRows);
}

void RpWizardWindow::clearParameterRows()
{
    m_argumentEdits.clear();
    if (m_parameterRows) {
        delete m_parameterScroll->takeWidget();
        m_parameterRows = nullptr;
    }
}

void RpWizardWindow::argumentWizard(int row)
{
    if (row < 0 || row >= int(m_argumentEdits.size()))
        return;
    const QPointer<RpWizardWindow> self(this);
    const QPointer<QLineEdit> edit = m_argumentEdits[size_t(row)];
    QString text = edit->text();
    const QPointer<RpWizardWindow> nested = createNested();
    const bool ok = nested->execute(rpArgumentHeading(row + 1, m_parameterHeadingSyntax), text, this);
    delete nested.data();
    if (ok && self && edit) {
        edit->setText(text);
        edit->setCursorPosition(int(text.size()));
        edit->setFocus();
    }
}

RpWizardWindow *RpWizardWindow::createNested()
{
    return new RpWizardWindow(m_settings, m_dataSets, m_variables);
}

// ---- variables ----

void RpWizardWindow::fillVariables(bool keepSelection)
{
    const QString previous
        = keepSelection && m_variableList->currentItem() ? m_variableList->currentItem()->text() : QString();
    const QSignalBlocker blocker(m_variableList);
    m_variableList->clear();
    if (m_variables)
        m_variableList->addItems(m_variables->names());
    m_variableList->addItems(rpGlobalVariables().names());
    selectText(m_variableList, previous);
    showVariable();
}

void RpWizardWindow::showVariable()
{
    QListWidgetItem *item = m_variableList->currentItem();
    if (!item) {
        m_variableValue->clear();
        return;
    }
    const QString name = item->text();
    RpVariableList &global = rpGlobalVariables();
    if (m_variables && m_variables->indexOf(name) >= 0)
        m_variableValue->setText(m_variables->expression(m_variables->indexOf(name)));
    else if (global.indexOf(name) >= 0)
        m_variableValue->setText(global.expression(global.indexOf(name)));
    else
        m_variableValue->clear();
}

void RpWizardWindow::modifyVariablesClick()
{
    m_variableListPanel->hide();
    modifyVariables();
    m_variableListPanel->show();
    fillVariables();
}

void RpWizardWindow::modifyVariables()
{
    OpenVariableEditor(m_variables, true);
}

// ---- validating ----

QString RpWizardWindow::validationMessage() const
{
    TRpEvDataSetList list;
    std::vector<std::unique_ptr<RpEvTableDataSet>> tables;
    if (m_dataSets) {
        for (TDataSet *dataSet : m_dataSets->dataSets()) {
            tables.push_back(std::make_unique<RpEvTableDataSet>(dataSet));
            list.push_back(tables.back().get());
        }
    }
    TRpEvEnvironment *environment = m_variables ? &m_variables->environment() : nullptr;
    const PreparedScope global(&TRpEvEnvironment::GlobalEnvironment(), nullptr);
    const PreparedScope local(environment, &list);
    TRpEvaluator evaluator(environment, &list);
    evaluator.SetValidating(true);
    TRpEvValue value;
    evaluator.ComputeOnce(rpStripLineBreaks(expressionText()), value);
    return rpValidationMessage(value, m_settings);
}

void RpWizardWindow::validate()
{
    Dialogs::guarded(this, [this] { Dialogs::showPlain(this, validationMessage()); });
}

// ---- the engine wizard's data ----

QList<TDataSet *> RpFormDataSets::dataSets() const
{
    QList<TDataSet *> list;
    const auto addFrom = [&list](const QObject *owner) {
        for (TDataSet *dataSet : owner->findChildren<TDataSet *>()) {
            if (!list.contains(dataSet))
                list.append(dataSet);
        }
    };
    if (m_form)
        addFrom(m_form);
    for (const QObject *module : RpComponents::dataModules())
        addFrom(module);
    return list;
}

QList<RpWizardField> RpFormDataSets::fields(TDataSet &dataSet) const
{
    QList<RpWizardField> list;
    for (const auto &field : dataSet.Fields())
        list.append({ field->FieldName(), field->FieldName() });
    return list;
}
