#include "preview/RpExportFilters.h"

TRpExportFilterLibrary &TRpExportFilterLibrary::instance()
{
    static TRpExportFilterLibrary library;
    return library;
}
