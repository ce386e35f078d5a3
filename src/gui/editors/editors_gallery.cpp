#include "gui/gallery/gallery.h"

namespace orv::ui {

void AddEditorGallery(GalleryList& list) {}

}  // namespace orv::ui
