// SPDX-License-Identifier: GPL-3.0-or-later
// The program's emblem, drawn rather than shipped, so it stays sharp at any
// size.
#pragma once

#include <QPixmap>

namespace orv::ui {

// A small timetable grid with a highlighted lesson.
QPixmap DrawEmblem(int side);

}  // namespace orv::ui
