#include "GalleryTool.h"

namespace Gallery {

bool renderPrintedLists(const QDir &, int &)
{
    return true;
}

} // namespace Gallery
