#include "gui/gallery/gallery.h"

namespace orv::ui {

void AddShellGallery(GalleryList& list) {}

}  // namespace orv::ui
