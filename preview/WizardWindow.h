#pragma once

#include "preview/WizardCore.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <array>
#include <memory>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QStackedWidget;

// A multi-line edit field that wraps words and never scrolls sideways.
class TWordWrapEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TWordWrapEdit(QWidget *parent = nullptr);
};

// The expression wizard: five pages of which the one in front is used (the main page with the expression
// field, the data field, function, parameters and variable pages), each with a result of 0 (open), 1 (OK)
// or 2 (cancel), and a result of its own. A sub-page runs a local event loop until its result leaves 0, so
// opening it reads like a function call; the parameters page opens a nested wizard inside this window for
// an argument, to any depth. Closing the window cancels every open page.
//
// The engine's wizard and the designer's wizard are this window with other settings and data sets.
class RpWizardWindow : public QDialog
{
    Q_OBJECT

public:
    enum Page { MainPage, DataFieldPage, FunctionPage, ParametersPage, VariablePage, PageCount };

    // `variables`: the given environment (or none); the program-wide variables are listed after it.
    RpWizardWindow(const RpWizardSettings &settings, std::shared_ptr<RpWizardDataSets> dataSets,
        RpVariableList *variables, QWidget *parent = nullptr);
    ~RpWizardWindow() override;

    const RpWizardSettings &settings() const { return m_settings; }
    RpVariableList *variables() const { return m_variables; }
    const std::shared_ptr<RpWizardDataSets> &dataSets() const { return m_dataSets; }

    // Shows the heading (or the designed "Enter expression:") and the expression, all of it selected, and
    // runs the wizard: inside `parentWindow` at its top left, filling it, with a local event loop; without
    // one as a modal dialog. True with the edited expression in one line; false with it emptied.
    bool execute(const QString &heading, QString &expression, QWidget *parentWindow);

    int wizardResult() const { return m_result; }
    int pageResult(Page page) const { return m_pageResults[size_t(page)]; }
    Page currentPage() const;
    QString expressionText() const;
    TWordWrapEdit *expressionEdit() const { return m_expression; }

    // Replaces the field's selection by the text, puts the caret right after it and focuses the field.
    void insertText(const QString &text);
    // "Valida&te": computes the field's text once and tells the value or the error in a plain box.
    void validate();
    // The message "Validate" shows, without showing it.
    QString validationMessage() const;
    // Sets every open page's result and the window's to cancel (not the window's when it is OK already),
    // in nested wizards too.
    void cancelAll();
    // Cancels every wizard running inside `window`.
    static void cancelWizardsIn(QWidget *window);
    // Brings a page to the front without waiting for it, with its lists filled (the function page for the
    // named function, whose parameters page shows its rows): for pictures of the pages.
    void showPage(Page page, const QString &function = QString());

protected:
    // The wizard opened for an argument: one of the same kind, settings, data sets and variables.
    virtual RpWizardWindow *createNested();
    // "&Modify variables": the variable editor for the given variables, global editing allowed.
    virtual void modifyVariables();

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

signals:
    void resultsChanged();

private:
    QWidget *buildMainPage();
    QWidget *buildDataFieldPage();
    QWidget *buildFunctionPage();
    QWidget *buildParametersPage();
    QWidget *buildVariablePage();
    void layoutMainPage();

    // Activation: refills the data set and variable lists and focuses the field.
    void activate();
    // Refills the list; the first entry is chosen unless the chosen one is kept and still there.
    void fillDataSets(bool keepSelection = true);
    void fillFields();
    void fillFunctions();
    void showFunction();
    void fillVariables(bool keepSelection = true);
    void showVariable();

    // Brings the page to the front with the main page disabled and waits for its result; true for OK.
    bool runPage(Page page);
    void setPageResult(Page page, int result);
    void setWindowResult(int result);
    void waitUntil(const std::function<bool()> &done);

    void databaseFieldClick();
    void functionClick();
    void variableClick();
    bool runParameters(const TRpLibraryEntry &entry, QStringList &arguments);
    void buildParameterRows(const TRpLibraryEntry &entry);
    void clearParameterRows();
    void argumentWizard(int row);
    void modifyVariablesClick();

    RpWizardSettings m_settings;
    std::shared_ptr<RpWizardDataSets> m_dataSets;
    RpVariableList *m_variables;

    int m_result = 0;
    std::array<int, PageCount> m_pageResults {};
    bool m_embedded = false;

    QStackedWidget *m_pages = nullptr;
    QWidget *m_mainPage = nullptr;
    QLabel *m_heading = nullptr;
    TWordWrapEdit *m_expression = nullptr;
    QGroupBox *m_insertGroup = nullptr;
    std::vector<QPushButton *> m_insertButtons;
    std::vector<QPushButton *> m_operatorButtons;
    std::vector<QPushButton *> m_bottomButtons;

    QListWidget *m_dataSetList = nullptr;
    QListWidget *m_fieldList = nullptr;
    QList<QPointer<TDataSet>> m_shownDataSets;
    QList<RpWizardField> m_shownFields;

    QListWidget *m_categoryList = nullptr;
    QListWidget *m_functionList = nullptr;
    QLabel *m_syntax = nullptr;
    QLabel *m_explanation = nullptr;
    QList<const TRpLibraryEntry *> m_shownFunctions;

    QLabel *m_parameterSyntax = nullptr;
    QLabel *m_parameterExplanation = nullptr;
    QScrollArea *m_parameterScroll = nullptr;
    QWidget *m_parameterRows = nullptr;
    std::vector<QLineEdit *> m_argumentEdits;
    QString m_parameterHeadingSyntax;

    QWidget *m_variableListPanel = nullptr;
    QListWidget *m_variableList = nullptr;
    QLabel *m_variableValue = nullptr;
};

// The data sets of a form and of the application's data modules, each field listed by its name: the
// engine wizard's view of the data.
class RpFormDataSets : public RpWizardDataSets
{
public:
    explicit RpFormDataSets(QWidget *form)
        : m_form(form)
    { }
    QList<TDataSet *> dataSets() const override;
    QList<RpWizardField> fields(TDataSet &dataSet) const override;

private:
    QPointer<QWidget> m_form;
};
