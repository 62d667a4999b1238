// The designer's element functions: existence, colours and fonts of named elements, and their published
// properties read and written by name.
#include "report/elements/DrawItems.h"
#include "report/model/ReportFont.h"
#include "report/scripts/ScriptComponents.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

#include <QMetaProperty>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace RpScriptDetail {

namespace {

const QString kBlockEdit = QStringLiteral("BlockEdit");
const QString kBlockChange = QStringLiteral("BlockChange");

// A published property by name, compared without regard to case; invalid when there is none.
QMetaProperty propertyNamed(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (QLatin1String(property.name()).compare(name, Qt::CaseInsensitive) == 0)
            return property;
    }
    return {};
}

bool isWholeNumberType(const QMetaProperty &property)
{
    if (property.isEnumType())
        return true;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

bool isFloatType(const QMetaProperty &property)
{
    const int id = property.metaType().id();
    return id == QMetaType::Double || id == QMetaType::Float;
}

// An element of the windows only (the report-element search with the switch on).
QObject *elementNamed(const QString &name)
{
    QObject *element = RpComponentSearch::reportElementSearch(name, true).component;
    if (!element)
        throw Exception(QStringLiteral("Element not found: %1").arg(name));
    return element;
}

ReportFont *fontOf(const QObject *element)
{
    const QMetaProperty property = propertyNamed(element, QStringLiteral("Font"));
    return property.isValid() ? qvariant_cast<ReportFont *>(property.read(element)) : nullptr;
}

class TRpEvFunctionElementExists : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    TRpEvValue Result() override
    {
        return TRpEvValue::Boolean(
            RpComponentSearch::reportElementSearch(Text(0), true).component != nullptr);
    }
};

class TRpEvFunctionPropExists : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override
    {
        QObject *element = RpComponentSearch::reportElementSearch(Text(0), true).component;
        return TRpEvValue::Boolean(element && propertyNamed(element, Text(1)).isValid());
    }
};

TColor colorArgument(const TRpEvValue &value)
{
    qint64 color = 0;
    if (!wholeNumber(value, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max(), color))
        throw Exception(QStringLiteral("Invalid colour"));
    return TColor(quint32(color));
}

class TRpEvFunctionSetColor : public TRpScriptFunction
{
    const char *Signature() const override { return "SN"; }
    TRpEvValue Result() override
    {
        QObject *element = elementNamed(Text(0));
        const TColor color = colorArgument(Argument(1));
        if (Validating())
            return TRpEvValue::Boolean(true);
        if (auto *shape = qobject_cast<TRpShape *>(element)) {
            shape->brush()->setColor(color);
        } else {
            const QMetaProperty property = propertyNamed(element, QStringLiteral("Color"));
            if (property.isValid() && property.isWritable())
                property.write(element, int(color));
        }
        return TRpEvValue::Boolean(true);
    }
};

class TRpEvFunctionSetFontColor : public TRpScriptFunction
{
    const char *Signature() const override { return "SN"; }
    TRpEvValue Result() override
    {
        QObject *element = elementNamed(Text(0));
        const TColor color = colorArgument(Argument(1));
        if (auto *shape = qobject_cast<TRpShape *>(element)) {
            if (!Validating())
                shape->pen()->setColor(color);
            return TRpEvValue::Boolean(true);
        }
        ReportFont *font = fontOf(element);
        if (font && !Validating())
            font->setColor(color);
        return TRpEvValue::Boolean(font != nullptr);
    }
};

// SETFONTSIZE, SETFONT and SETFONTSTYLE: a change of the element's font; true when it has one.
class TRpEvFontSetter : public TRpScriptFunction
{
    TRpEvValue Result() override
    {
        ReportFont *font = fontOf(elementNamed(Text(0)));
        if (font && !Validating())
            change(*font);
        return TRpEvValue::Boolean(font != nullptr);
    }

protected:
    virtual void change(ReportFont &font) = 0;
};

class TRpEvFunctionSetFontSize : public TRpEvFontSetter
{
    const char *Signature() const override { return "SN"; }
    void change(ReportFont &font) override
    {
        qint64 size = 0;
        if (!wholeNumber(Argument(1), -32768, 32767, size))
            throw Exception(QStringLiteral("Invalid font size"));
        font.setSize(int(size));
    }
};

class TRpEvFunctionSetFont : public TRpEvFontSetter
{
    const char *Signature() const override { return "SS"; }
    void change(ReportFont &font) override { font.setName(Text(1)); }
};

class TRpEvFunctionSetFontStyle : public TRpEvFontSetter
{
    const char *Signature() const override { return "SBBBB"; }
    void change(ReportFont &font) override
    {
        Rp::TFontStyles style;
        style.setFlag(Rp::fsBold, Truth(1));
        style.setFlag(Rp::fsItalic, Truth(2));
        style.setFlag(Rp::fsUnderline, Truth(3));
        style.setFlag(Rp::fsStrikeOut, Truth(4));
        font.setStyle(style);
    }
};

// SETBOOLPROP, SETINTPROP, SETFLOATPROP and SETSTRPROP search the data modules too; they refuse elements
// locked against editing and components of the application's own data modules (a report must not redirect,
// close or reconfigure the program's tables), and give their value.
class TRpEvPropertySetter : public TRpScriptFunction
{
    TRpEvValue Result() override
    {
        const RpComponentSearch::Found found = RpComponentSearch::reportElementSearch(Text(0), false);
        if (!found.component)
            return failure(QStringLiteral("Element not found: %1").arg(Text(0)));
        if (found.inApplicationDataModule)
            return failure(QStringLiteral("The program's own data cannot be changed: %1").arg(Text(0)));
        if (refused(found.component))
            return failure(QStringLiteral("The element is locked: %1").arg(Text(0)));
        const TRpEvValue given = Argument(2);
        if (!Validating()) {
            const QMetaProperty property = propertyNamed(found.component, Text(1));
            if (property.isValid() && property.isWritable())
                write(found.component, property);
        }
        return given;
    }

protected:
    virtual bool refused(const QObject *element) const
    {
        return RpComponentSearch::lockFlag(element, kBlockEdit);
    }
    virtual void write(QObject *element, const QMetaProperty &property) = 0;
};

class TRpEvFunctionSetBoolProp : public TRpEvPropertySetter
{
    const char *Signature() const override { return "SSB"; }
    bool refused(const QObject *element) const override
    {
        static const QStringList locks { QStringLiteral("BLOCKEDIT"), QStringLiteral("BLOCKCHANGE"),
            QStringLiteral("BLOCKDELETE"), QStringLiteral("BLOCKMOVE") };
        return locks.contains(Text(1), Qt::CaseInsensitive) || TRpEvPropertySetter::refused(element);
    }
    void write(QObject *element, const QMetaProperty &property) override
    {
        if (property.metaType().id() == QMetaType::Bool)
            property.write(element, Truth(2));
    }
};

class TRpEvFunctionSetIntProp : public TRpEvPropertySetter
{
    const char *Signature() const override { return "SSN"; }
    void write(QObject *element, const QMetaProperty &property) override
    {
        qint64 number = 0;
        if (!isWholeNumberType(property)
            || !wholeNumber(
                Argument(2), std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), number))
            return;
        QVariant value = QVariant::fromValue(int(number));
        if (!property.isEnumType() && !value.convert(property.metaType()))
            return;
        property.write(element, value);
    }
};

class TRpEvFunctionSetFloatProp : public TRpEvPropertySetter
{
    const char *Signature() const override { return "SSN"; }
    void write(QObject *element, const QMetaProperty &property) override
    {
        if (isFloatType(property) && std::isfinite(Number(2)))
            property.write(element, QVariant(Number(2)));
    }
};

class TRpEvFunctionSetStrProp : public TRpEvPropertySetter
{
    const char *Signature() const override { return "SSS"; }
    bool refused(const QObject *element) const override
    {
        return TRpEvPropertySetter::refused(element)
            || (Text(1).compare(QStringLiteral("DATAFIELD"), Qt::CaseInsensitive) == 0
                && RpComponentSearch::lockFlag(element, kBlockChange));
    }
    void write(QObject *element, const QMetaProperty &property) override
    {
        const QString text = Text(2);
        if (property.metaType().id() == QMetaType::QStringList) {
            static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
            property.write(element, text.split(lineBreak));
            return;
        }
        QVariant value(text);
        if (property.metaType().id() == QMetaType::QString || value.convert(property.metaType()))
            property.write(element, value);
    }
};

// GETBOOLPROP, GETINTPROP, GETFLOATPROP and GETSTRPROP: the property's value, or the kind's empty value
// when the element has no such property.
class TRpEvPropertyGetter : public TRpScriptFunction
{
    const char *Signature() const override { return "SS"; }
    TRpEvValue Result() override
    {
        QObject *element = elementNamed(Text(0));
        const QMetaProperty property = propertyNamed(element, Text(1));
        return read(property.isValid() ? property.read(element) : QVariant(), property);
    }

protected:
    virtual TRpEvValue read(const QVariant &value, const QMetaProperty &property) const = 0;
};

class TRpEvFunctionGetBoolProp : public TRpEvPropertyGetter
{
    TRpEvValue read(const QVariant &value, const QMetaProperty &property) const override
    {
        return TRpEvValue::Boolean(
            property.isValid() && property.metaType().id() == QMetaType::Bool && value.toBool());
    }
};

class TRpEvFunctionGetIntProp : public TRpEvPropertyGetter
{
    TRpEvValue read(const QVariant &value, const QMetaProperty &property) const override
    {
        if (!property.isValid() || !isWholeNumberType(property))
            return TRpEvValue::Integer(0);
        return TRpEvValue::Integer64(value.toLongLong());
    }
};

class TRpEvFunctionGetFloatProp : public TRpEvPropertyGetter
{
    TRpEvValue read(const QVariant &value, const QMetaProperty &property) const override
    {
        if (!property.isValid() || !(isFloatType(property) || isWholeNumberType(property)))
            return TRpEvValue::Float(0);
        return TRpEvValue::Float(value.toDouble());
    }
};

class TRpEvFunctionGetStrProp : public TRpEvPropertyGetter
{
    TRpEvValue read(const QVariant &value, const QMetaProperty &property) const override
    {
        if (!property.isValid())
            return TRpEvValue::String(QString());
        if (property.metaType().id() == QMetaType::QStringList)
            return TRpEvValue::String(value.toStringList().join(QStringLiteral("\r\n")));
        if (property.metaType().flags().testFlag(QMetaType::PointerToQObject))
            return TRpEvValue::String(QString());
        return TRpEvValue::String(value.toString());
    }
};

} // namespace

void appendElementFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(scriptFunction<TRpEvFunctionElementExists>("ELEMENTEXISTS", "7S",
        describe("ELEMENTEXISTS(<Name>)", "Checks if a report element exists on the current report")));
    list.push_back(scriptFunction<TRpEvFunctionPropExists>("PROPEXISTS", "7SS",
        describe(
            "PROPEXISTS(<Element>,<Property>)", "Checks if property exists for a given report element")));
    list.push_back(scriptFunction<TRpEvFunctionSetColor>("SETCOLOR", "7SN",
        describe("SETCOLOR(<Element>,<Color>)", "Sets an report element's background color")));
    list.push_back(scriptFunction<TRpEvFunctionSetFontColor>("SETFONTCOLOR", "7SN",
        describe("SETFONTCOLOR(<Element>,<Color>)", "Sets an report element's font color")));
    list.push_back(scriptFunction<TRpEvFunctionSetFontSize>("SETFONTSIZE", "7SN",
        describe("SETFONTSIZE(<Element>,<Size>)", "Sets an report element's font size")));
    list.push_back(scriptFunction<TRpEvFunctionSetFont>(
        "SETFONT", "7SS", describe("SETFONT(<Element>,<Fontname>)", "Sets an report element's font")));
    list.push_back(scriptFunction<TRpEvFunctionSetFontStyle>("SETFONTSTYLE", "7SBBBB",
        describe("SETFONTSTYLE(<Element>,<Bold>,<Italic>,<Underl>,<Strikeout>)",
            "Sets an report element's font style according to boolean parameters <Bold> etc.")));
    list.push_back(scriptFunction<TRpEvFunctionSetBoolProp>("SETBOOLPROP", "7SSB",
        describe("SETBOOLPROP(<Element>,<Property>,<Value>)", "Sets a report element's boolean property")));
    list.push_back(scriptFunction<TRpEvFunctionSetIntProp>("SETINTPROP", "7SSN",
        describe("SETINTPROP(<Element>,<Property>,<Value>)", "Sets a report element's numerical property")));
    list.push_back(scriptFunction<TRpEvFunctionSetFloatProp>("SETFLOATPROP", "7SSN",
        describe("SETFLOATPROP(<Element>,<Property>,<Value>)",
            "Sets a report element's floating point number property")));
    list.push_back(scriptFunction<TRpEvFunctionSetStrProp>("SETSTRPROP", "7SSS",
        describe("SETSTRPROP(<Element>,<Property>,<Value>)", "Sets a report element's string property")));
    list.push_back(scriptFunction<TRpEvFunctionGetBoolProp>("GETBOOLPROP", "7SS",
        describe("GETBOOLPROP(<Element>,<Property>)", "Gets a report element's boolean property")));
    list.push_back(scriptFunction<TRpEvFunctionGetIntProp>("GETINTPROP", "7SS",
        describe("GETINTPROP(<Element>,<Property>)", "Gets a report element's numerical property")));
    list.push_back(scriptFunction<TRpEvFunctionGetFloatProp>("GETFLOATPROP", "7SS",
        describe(
            "GETFLOATPROP(<Element>,<Property>)", "Gets a report element's floating point number property")));
    list.push_back(scriptFunction<TRpEvFunctionGetStrProp>("GETSTRPROP", "7SS",
        describe("GETSTRPROP(<Element>,<Property>)", "Gets a report element's string property")));
}

} // namespace RpScriptDetail
