// SPDX-License-Identifier: GPL-3.0-or-later
// The screenshot gallery: every window, filled from a demo school, rendered to
// OUT_DIR/<window name>.png. Each subsystem lists its windows here.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "gui/common/ui_context.h"

class QWidget;

namespace orv::ui {

struct GalleryEntry {
  QString name;  // the window's object name, e.g. "frmMain"
  std::function<QWidget*(UiContext&)> make;
};
using GalleryList = std::vector<GalleryEntry>;

void AddShellGallery(GalleryList& list);
void AddEditorGallery(GalleryList& list);
void AddLimitGallery(GalleryList& list);
void AddTimetableGallery(GalleryList& list);
void AddOutputGallery(GalleryList& list);
void AddQualityGallery(GalleryList& list);

}  // namespace orv::ui
