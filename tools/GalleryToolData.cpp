#include "GalleryTool.h"

namespace Gallery {

bool renderDataControls(const QDir &, int &)
{
    return true;
}

} // namespace Gallery
