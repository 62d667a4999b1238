#include "GalleryTool.h"

namespace Gallery {

bool renderFinanceWindows(const QDir &, int &)
{
    return true;
}

} // namespace Gallery
