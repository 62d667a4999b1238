// The designer's message boxes and colour constants.
#include "platform/Colors.h"
#include "report/scripts/ScriptMessages.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

namespace RpScriptDetail {

namespace {

template <RpScriptMessages::Buttons Kind> class TRpEvFunctionMessageBox : public TRpScriptFunction
{
    const char *Signature() const override { return "S"; }
    // A checked expression shows no box and takes the affirmative answer.
    TRpEvValue Result() override
    {
        return TRpEvValue::Boolean(Validating() || RpScriptMessages::showMessage(Text(0), Kind));
    }
};

template <TColor Color> class TRpEvFunctionColor : public TRpScriptFunction
{
    const char *Signature() const override { return ""; }
    TRpEvValue Result() override { return TRpEvValue::Integer(Color); }
};

class TRpEvFunctionRgbColor : public TRpScriptFunction
{
    const char *Signature() const override { return "NNN"; }
    TRpEvValue Result() override
    {
        qint64 parts[3] = {};
        for (int i = 0; i < 3; ++i) {
            if (!wholeNumber(Argument(i), 0, 255, parts[i]))
                return failure(QStringLiteral("Colour values range from 0 to 255"));
        }
        return TRpEvValue::Integer(qint32(parts[2] * 65536 + parts[1] * 256 + parts[0]));
    }
};

template <TColor Color> ScriptFunction colorConstant(const char *name)
{
    return scriptFunction<TRpEvFunctionColor<Color>>(name, "8",
        QString::fromLatin1(name) + QStringLiteral("|Color constant for SETCOLOR and SETFONTCOLOR"));
}

} // namespace

void appendMessageFunctions(std::vector<ScriptFunction> &list)
{
    using RpScriptMessages::Buttons;
    list.push_back(scriptFunction<TRpEvFunctionMessageBox<Buttons::Ok>>(
        "OKBOX", "7S", describe("OKBOX(<Text>)", "Shows a message dialog with OK button")));
    list.push_back(scriptFunction<TRpEvFunctionMessageBox<Buttons::OkCancel>>("OKCANCELBOX", "7S",
        describe("OKCANCELBOX(<Text>)",
            "Shows a message dialog with OK and CANCEL buttons, returns TRUE or FALSE")));
    list.push_back(scriptFunction<TRpEvFunctionMessageBox<Buttons::YesNo>>("YESNOBOX", "7S",
        describe(
            "YESNOBOX(<Text>)", "Shows a message dialog with YES and NO buttons, returns TRUE or FALSE")));
}

void appendColorFunctions(std::vector<ScriptFunction> &list)
{
    list.push_back(colorConstant<0x000000>("BLACK"));
    list.push_back(colorConstant<0x000080>("MAROON"));
    list.push_back(colorConstant<0x008000>("GREEN"));
    list.push_back(colorConstant<0x008080>("OLIVE"));
    list.push_back(colorConstant<0x800000>("NAVY"));
    list.push_back(colorConstant<0x800080>("PURPLE"));
    list.push_back(colorConstant<0x808000>("TEAL"));
    list.push_back(colorConstant<0x808080>("GRAY"));
    list.push_back(colorConstant<0xC0C0C0>("SILVER"));
    list.push_back(colorConstant<0x0000FF>("RED"));
    list.push_back(colorConstant<0x00FF00>("LIME"));
    list.push_back(colorConstant<0xFF0000>("BLUE"));
    list.push_back(colorConstant<0xFF00FF>("FUCHSIA"));
    list.push_back(colorConstant<0xFFFF00>("AQUA"));
    list.push_back(colorConstant<0xFFFFFF>("WHITE"));
    list.push_back(colorConstant<0x00FFFF>("YELLOW"));
    list.push_back(scriptFunction<TRpEvFunctionRgbColor>("RGBCOLOR", "7NNN",
        describe("RGBCOLOR(<RED>,<GREEN>,<BLUE>)",
            "Converts RGB color values to a color for SETCOLOR and SETFONTCOLOR. Valid range for each color "
            "is "
            "0..255.")));
}

} // namespace RpScriptDetail
