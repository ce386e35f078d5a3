// The main window's built-in background and the program's emblem, drawn
// rather than shipped, so they stay sharp at any window size.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

namespace orv::ui {

QImage DrawHomePicture(const QSize& size);
// A small timetable grid with a highlighted lesson.
QPixmap DrawEmblem(int side);

}  // namespace orv::ui
