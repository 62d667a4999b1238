#include "report/scripts/ScriptFunctions.h"

#include "report/scripts/DesignRun.h"
#include "report/scripts/detail/ScriptFunctionSupport.h"

const char *const kRpDesignerOrigin = "Report designer";

namespace {

std::vector<RpScriptDetail::ScriptFunction> designerFunctions()
{
    using namespace RpScriptDetail;
    std::vector<ScriptFunction> list;
    appendReportFunctions(list);
    appendTextFunctions(list);
    appendDateFunctions(list);
    appendDataSetFunctions(list);
    appendElementFunctions(list);
    appendMessageFunctions(list);
    appendColorFunctions(list);
    return list;
}

void registerFunction(const RpScriptDetail::ScriptFunction &function)
{
    TRpFunctionLibrary::Global().RegisterFunction(function.elementClass, function.name, function.description,
        function.codes, QLatin1String(kRpDesignerOrigin));
}

} // namespace

void registerDesignerFunctions()
{
    for (const RpScriptDetail::ScriptFunction &function : designerFunctions())
        registerFunction(function);
}

void setPageCountFunction(bool registered)
{
    if (!registered) {
        TRpFunctionLibrary::Global().UnregisterFunction(QStringLiteral("PAGECOUNT"));
        return;
    }
    for (const RpScriptDetail::ScriptFunction &function : designerFunctions()) {
        if (function.name == QLatin1String("PAGECOUNT"))
            registerFunction(function);
    }
}

void installReportScripts()
{
    registerDesignerFunctions();
    setPageCountFunction(false);
    installDesignRuns();
}
