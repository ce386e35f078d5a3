// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/home_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orv::ui {

QPixmap DrawEmblem(int side) {
  QPixmap pm(side, side);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(side * 0.06, side * 0.06, side * 0.88, side * 0.88);
  QPainterPath rounded;
  rounded.addRoundedRect(r, side * 0.14, side * 0.14);
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, QColor(30, 76, 118));
  g.setColorAt(1, QColor(52, 120, 146));
  p.fillPath(rounded, g);
  const double cell = r.width() / 4.6;
  const double x0 = r.left() + (r.width() - 4 * cell) / 2;
  const double y0 = r.top() + (r.height() - 4 * cell) / 2;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      QColor c = (row == 1 && col == 2) ? QColor(244, 196, 98) : QColor(255, 255, 255, row == 0 ? 210 : 120);
      p.fillRect(
          QRectF(x0 + col * cell + cell * 0.08, y0 + row * cell + cell * 0.08, cell * 0.84, cell * 0.84), c);
    }
  p.end();
  return pm;
}

}  // namespace orv::ui
