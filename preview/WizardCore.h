#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class TDataSet;
class TRpEvEnvironment;
class TRpEvValue;
class TRpFunctionLibrary;
struct TRpLibraryEntry;

// What the expression wizards and the variable editor share, apart from their windows: how inserted text is
// written, which functions a category lists, how a validated value reads, and the variable lists they edit.
// The engine's wizard and the designer's wizard differ only in their RpWizardSettings and in where their
// data sets come from.

struct RpWizardSettings
{
    // Joins the arguments of a function call: NAME(a,b) or NAME(a, b).
    QString argumentSeparator;
    // What the "Not", "And" and "Or" buttons insert.
    QString notText;
    QString andText;
    QString orText;
    // The highest category digit listed; entries above it never appear. -1 lists every entry under "All".
    int maxCategory = -1;
    // How "Validate" writes a float: the evaluator's general number format, or the shortest form that reads
    // back as the same number.
    enum class FloatText { General, Shortest };
    FloatText floatText = FloatText::General;
    // Window caption and client size.
    QString caption;
    int width = 376;
    int height = 269;

    static RpWizardSettings engine();
    static RpWizardSettings designer();
};

// The expression text with every line break (CR LF, CR, LF, paragraph separator) removed and nothing else:
// an expression is one line, whatever the edit field broke it into.
QString rpStripLineBreaks(const QString &text);

// The text an operator button inserts: its caption with a blank on each side; "Not", "And" and "Or" as the
// settings write them.
QString rpOperatorText(const RpWizardSettings &settings, const QString &caption);

// A call of a function with its argument texts: NAME(a,b). Without argument letters in its codes a
// function is inserted as its bare name.
QString rpCallText(const RpWizardSettings &settings, const QString &name, const QStringList &arguments);

// The argument letters of a function's codes (after the category digit).
QString rpArgumentLetters(const TRpLibraryEntry &entry);
// "Argument %d - numeric value" and its kin for one argument letter, numbered from 1.
QString rpArgumentCaption(QChar letter, int number);
// The heading of a nested wizard for one argument: "Enter %d. parameter for %s".
QString rpArgumentHeading(int number, const QString &syntax);

// The category list: "All", "Date & time", … "Other", indexed by category digit.
QStringList rpCategoryNames();
// The registry entries a category lists, in registry order: index 0 ("All") every entry within the
// settings' limit, another index those whose category digit equals it.
QList<const TRpLibraryEntry *> rpFunctionsOfCategory(
    const TRpFunctionLibrary &library, int category, const RpWizardSettings &settings);

// The text "Validate" shows for a value: empty for an error value (and for an empty text).
QString rpValueText(const TRpEvValue &value, const RpWizardSettings &settings);
// The whole message: "There are no errors. The result is : " and the value text, or "ERROR: " and the
// error's message.
QString rpValidationMessage(const TRpEvValue &value, const RpWizardSettings &settings);

// The data sets a wizard offers and how it lists their fields.
struct RpWizardField
{
    QString fieldName; // what is inserted after the data set's name and "."
    QString text; // what the list shows
};

class RpWizardDataSets
{
public:
    virtual ~RpWizardDataSets() = default;
    // In list order, each under its component name.
    virtual QList<TDataSet *> dataSets() const = 0;
    virtual QList<RpWizardField> fields(TDataSet &dataSet) const = 0;
};

// Named expressions as the variable editor and the variable page see them: either an environment of the
// expression engine, or a report's Functions. Every change is refused while the variables are prepared (a
// report using them runs); names are upper-cased; a name must be given and unique, and a name that a band
// owns can neither be renamed nor deleted.
class RpVariableList
{
public:
    virtual ~RpVariableList() = default;

    virtual int count() const = 0;
    virtual QString name(int index) const = 0;
    virtual QString expression(int index) const = 0;
    // Index of the name (ignoring case), -1 when missing.
    int indexOf(const QString &name) const;
    QStringList names() const;

    // True while a report that uses these variables runs.
    virtual bool prepared() const = 0;
    // True for a name whose owner finds its variable by that name (a loop or strings band's variable).
    virtual bool owned(const QString &) const { return false; }

    // Why a name cannot be given to the variable at `index` (-1 for a new one); empty when it can.
    QString nameRefusal(const QString &name, int index) const;
    // Why the variable at `index` cannot be deleted; empty when it can.
    QString deleteRefusal(int index) const;

    // Each change checks first and answers whether it was made.
    bool add(const QString &name, const QString &expression);
    bool rename(int index, const QString &name);
    bool setExpression(int index, const QString &expression);
    bool remove(int index);

    // The named expressions as the evaluator reads them. Prepared and unprepared by whoever computes.
    virtual TRpEvEnvironment &environment() = 0;

protected:
    virtual void doAdd(const QString &name, const QString &expression) = 0;
    virtual void doRename(int index, const QString &name) = 0;
    virtual void doSetExpression(int index, const QString &expression) = 0;
    virtual void doRemove(int index) = 0;
};

// An environment of the expression engine (the program-wide one, or one a host keeps).
class RpEnvironmentVariables : public RpVariableList
{
public:
    explicit RpEnvironmentVariables(TRpEvEnvironment &environment)
        : m_environment(environment)
    { }

    int count() const override;
    QString name(int index) const override;
    QString expression(int index) const override;
    bool prepared() const override;
    TRpEvEnvironment &environment() override { return m_environment; }

protected:
    void doAdd(const QString &name, const QString &expression) override;
    void doRename(int index, const QString &name) override;
    void doSetExpression(int index, const QString &expression) override;
    void doRemove(int index) override;

private:
    TRpEvEnvironment &m_environment;
};

// The program-wide environment's variables.
RpEnvironmentVariables &rpGlobalVariables();
