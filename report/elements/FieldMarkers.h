#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

class QTextDocument;
class RpPrintRun;
class TRpEvaluator;
class TRpEvValue;

// Fields and removable lines inside the text of memos and rich text.
//
// A field is an expression enclosed in "%%" on both sides ("Total: %%SUM(Amount)%%"); it prints as the value
// of its expression. A line that starts with "%DEL" prints without the marker, and not at all when nothing
// but blanks is left of it once its fields are filled. A "%%" without a closing "%%" on the same line is
// printed as it stands.
namespace FieldMarkers {

inline constexpr QStringView kFieldMark = u"%%";
inline constexpr QStringView kRemoveMark = u"%DEL";

// Computes the text of a field's expression.
using Evaluate = std::function<QString(const QString &expression)>;

// Whether the text holds a field or a removable line, so that it needs filling before each print.
bool hasMarkers(const QString &text);
// The text with every field replaced by its value.
QString fillFields(const QString &text, const Evaluate &evaluate);
// Lines with their fields filled; "%DEL" lines lose the marker, and are dropped when left empty.
QStringList fillLines(const QStringList &lines, const Evaluate &evaluate);
// The same for laid-out rich text: every paragraph of the document. A value keeps the character format of
// its field; line breaks inside a value break the line without starting a paragraph.
void fillDocument(QTextDocument &document, const Evaluate &evaluate);

// A value as a field prints it: whole numbers in decimal, other numbers in the general format, texts as
// they are, truth values as "True" or "False", errors as their message.
QString valueText(const TRpEvValue &value);

} // namespace FieldMarkers

// Computes the fields of an element during one report run, against the run's named expressions and tables.
// Each expression is compiled once per run.
class RpFieldFiller
{
public:
    explicit RpFieldFiller(RpPrintRun &run);
    ~RpFieldFiller();
    RpFieldFiller(const RpFieldFiller &) = delete;
    RpFieldFiller &operator=(const RpFieldFiller &) = delete;

    QString value(const QString &expression);
    FieldMarkers::Evaluate evaluator()
    {
        return [this](const QString &expression) { return value(expression); };
    }

private:
    RpPrintRun &m_run;
    std::map<QString, std::unique_ptr<TRpEvaluator>> m_compiled;
};
