#include "preview/WizardCore.h"

#include "platform/RegionalSettings.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorLibrary.h"

RpWizardSettings RpWizardSettings::engine()
{
    RpWizardSettings s;
    s.argumentSeparator = QStringLiteral(",");
    s.notText = QStringLiteral(" Not ");
    s.andText = QStringLiteral(" And ");
    s.orText = QStringLiteral(" Or ");
    s.maxCategory = -1;
    s.floatText = FloatText::General;
    s.caption = QStringLiteral("Expression Wizard");
    return s;
}

RpWizardSettings RpWizardSettings::designer()
{
    RpWizardSettings s;
    s.argumentSeparator = QStringLiteral(", ");
    s.notText = QStringLiteral(" not ");
    s.andText = QStringLiteral(" and ");
    s.orText = QStringLiteral(" or ");
    s.maxCategory = 7;
    s.floatText = FloatText::Shortest;
    s.caption = QStringLiteral("Expression Wizard");
    // Room for the larger expression field of the designer's wizard.
    s.width = 405;
    s.height = 329;
    return s;
}

QString rpStripLineBreaks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QChar::ParagraphSeparator)
            result.append(c);
    }
    return result;
}

QString rpOperatorText(const RpWizardSettings &settings, const QString &caption)
{
    if (caption == QLatin1String("Not"))
        return settings.notText;
    if (caption == QLatin1String("And"))
        return settings.andText;
    if (caption == QLatin1String("Or"))
        return settings.orText;
    return QLatin1Char(' ') + caption + QLatin1Char(' ');
}

QString rpCallText(const RpWizardSettings &settings, const QString &name, const QStringList &arguments)
{
    return name + QLatin1Char('(') + arguments.join(settings.argumentSeparator) + QLatin1Char(')');
}

QString rpArgumentLetters(const TRpLibraryEntry &entry)
{
    return entry.Codes.mid(1);
}

QString rpArgumentCaption(QChar letter, int number)
{
    const char *kind = "value";
    switch (letter.toUpper().unicode()) {
    case 'B':
        kind = "logical value";
        break;
    case 'N':
        kind = "numeric value";
        break;
    case 'S':
        kind = "text Value";
        break;
    default:
        break;
    }
    return QStringLiteral("Argument %1 - %2").arg(number).arg(QLatin1String(kind));
}

QString rpArgumentHeading(int number, const QString &syntax)
{
    return QStringLiteral("Enter %1. parameter for %2").arg(number).arg(syntax);
}

QStringList rpCategoryNames()
{
    return { QStringLiteral("All"), QStringLiteral("Date & time"), QStringLiteral("Math & trig"),
        QStringLiteral("Statistical"), QStringLiteral("Database"), QStringLiteral("Logical"),
        QStringLiteral("Information"), QStringLiteral("Other") };
}

QList<const TRpLibraryEntry *> rpFunctionsOfCategory(
    const TRpFunctionLibrary &library, int category, const RpWizardSettings &settings)
{
    QList<const TRpLibraryEntry *> entries;
    for (int i = 0; i < library.Count(); ++i) {
        const TRpLibraryEntry &entry = library.Entry(i);
        const int digit = entry.Category();
        if (settings.maxCategory >= 0 && digit > settings.maxCategory)
            continue;
        if (category == 0 || digit == category)
            entries.append(&entry);
    }
    return entries;
}

QString rpValueText(const TRpEvValue &value, const RpWizardSettings &settings)
{
    switch (value.Kind()) {
    case evError:
        return QString();
    case evFloat:
        if (settings.floatText == RpWizardSettings::FloatText::Shortest)
            return RegionalSettings::current().locale().toString(
                value.AsFloat(), 'g', QLocale::FloatingPointShortest);
        return value.ValueToText();
    default:
        return value.ValueToText();
    }
}

QString rpValidationMessage(const TRpEvValue &value, const RpWizardSettings &settings)
{
    const QString text = rpValueText(value, settings);
    if (!text.isEmpty())
        return QStringLiteral("There are no errors. The result is : ") + text;
    // An empty string reads as an error with nothing after it; an error shows its message.
    return QStringLiteral("ERROR: ") + value.Text();
}

// ---- variable lists ----

int RpVariableList::indexOf(const QString &name) const
{
    for (int i = 0; i < count(); ++i) {
        if (this->name(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList RpVariableList::names() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(name(i));
    return list;
}

QString RpVariableList::nameRefusal(const QString &name, int index) const
{
    const QString upper = name.trimmed().toUpper();
    if (upper.isEmpty())
        return QStringLiteral("A variable needs a name");
    const int existing = indexOf(upper);
    if (existing >= 0 && existing != index)
        return QStringLiteral("There is already a variable named %1").arg(upper);
    if (index >= 0 && index < count()) {
        const QString old = this->name(index);
        if (old.compare(upper, Qt::CaseInsensitive) != 0 && owned(old))
            return QStringLiteral("The variable %1 belongs to a band of the report and cannot be renamed")
                .arg(old);
    }
    return QString();
}

QString RpVariableList::deleteRefusal(int index) const
{
    if (index < 0 || index >= count())
        return QStringLiteral("No variable is selected");
    if (owned(name(index)))
        return QStringLiteral("The variable %1 belongs to a band of the report and cannot be deleted")
            .arg(name(index));
    return QString();
}

bool RpVariableList::add(const QString &name, const QString &expression)
{
    if (prepared() || !nameRefusal(name, -1).isEmpty())
        return false;
    doAdd(name.trimmed().toUpper(), expression);
    return true;
}

bool RpVariableList::rename(int index, const QString &name)
{
    if (prepared() || index < 0 || index >= count() || !nameRefusal(name, index).isEmpty())
        return false;
    doRename(index, name.trimmed().toUpper());
    return true;
}

bool RpVariableList::setExpression(int index, const QString &expression)
{
    if (prepared() || index < 0 || index >= count())
        return false;
    doSetExpression(index, expression);
    return true;
}

bool RpVariableList::remove(int index)
{
    if (prepared() || !deleteRefusal(index).isEmpty())
        return false;
    doRemove(index);
    return true;
}

int RpEnvironmentVariables::count() const
{
    return m_environment.Count();
}

QString RpEnvironmentVariables::name(int index) const
{
    return m_environment.Name(index);
}

QString RpEnvironmentVariables::expression(int index) const
{
    return m_environment.ExpressionText(index);
}

bool RpEnvironmentVariables::prepared() const
{
    return m_environment.Prepared();
}

void RpEnvironmentVariables::doAdd(const QString &name, const QString &expression)
{
    m_environment.AddNamedExpression(name, expression);
}

void RpEnvironmentVariables::doRename(int index, const QString &name)
{
    m_environment.RenameNamedExpression(index, name);
}

void RpEnvironmentVariables::doSetExpression(int index, const QString &expression)
{
    m_environment.AddNamedExpression(m_environment.Name(index), expression);
}

void RpEnvironmentVariables::doRemove(int index)
{
    m_environment.RemoveNamedExpression(m_environment.Name(index));
}

RpEnvironmentVariables &rpGlobalVariables()
{
    static RpEnvironmentVariables variables(TRpEvEnvironment::GlobalEnvironment());
    return variables;
}
