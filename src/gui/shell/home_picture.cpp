#include "gui/shell/home_picture.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orv::ui {

namespace {

// A week grid in perspective-free flat style: five day columns, a lesson
// column, a thin noon band, and a few filled cells.
void DrawWeekGrid(QPainter& p, const QRectF& area, int lessons, double alpha) {
  const int cols = 6;
  const int rows = lessons + 2;  // header + noon band
  const double cw = area.width() / cols;
  const double rh = area.height() / (rows - 0.6);
  auto rowTop = [&](int r) { return area.top() + (r <= 5 ? r * rh : 5 * rh + 0.4 * rh + (r - 6) * rh); };

  QColor line(255, 255, 255, int(110 * alpha));
  p.setPen(QPen(line, 1.2));
  // Filled lessons: a calm pattern that reads as a timetable.
  const QColor fills[] = {QColor(244, 196, 98), QColor(126, 196, 178), QColor(150, 178, 230),
                          QColor(230, 150, 140)};
  for (int c = 1; c < cols; ++c) {
    for (int r = 1; r < rows; ++r) {
      if (r == 5) continue;
      const int seed = (c * 7 + r * 3) % 11;
      if (seed > 6) continue;
      QColor f = fills[(c + r) % 4];
      f.setAlpha(int(120 * alpha));
      const double top = rowTop(r);
      p.fillRect(QRectF(area.left() + c * cw + 3, top + 3, cw - 6, rh - 6), f);
    }
  }
  for (int c = 0; c <= cols; ++c)
    p.drawLine(QPointF(area.left() + c * cw, area.top()), QPointF(area.left() + c * cw, rowTop(rows)));
  for (int r = 0; r <= rows; ++r) {
    const double y = r <= 5 ? rowTop(r) : rowTop(r);
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    if (r == 5) p.drawLine(QPointF(area.left(), y + 0.4 * rh), QPointF(area.right(), y + 0.4 * rh));
  }
}

}  // namespace

QImage DrawHomePicture(const QSize& size) {
  QImage image(size.expandedTo(QSize(64, 64)), QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = image.rect();

  QLinearGradient sky(r.topLeft(), r.bottomRight());
  sky.setColorAt(0.0, QColor(22, 58, 98));
  sky.setColorAt(0.55, QColor(34, 92, 132));
  sky.setColorAt(1.0, QColor(60, 128, 150));
  p.fillRect(r, sky);

  // The grid sits on the right half, the name on the left.
  const QRectF gridArea(r.width() * 0.52, r.height() * 0.16, r.width() * 0.40, r.height() * 0.62);
  DrawWeekGrid(p, gridArea, 7, 1.0);

  // A soft band under the title.
  QColor band(255, 255, 255, 18);
  p.fillRect(QRectF(0, r.height() * 0.34, r.width() * 0.50, r.height() * 0.30), band);

  const double unit = std::min(r.width() / 16.0, r.height() / 9.0);
  const QRectF titleRect(r.width() * 0.05, r.height() * 0.36, r.width() * 0.44, unit * 1.6);
  QFont title("宋体");
  title.setBold(true);
  // The largest size at which the name fits beside the grid.
  int pixels = std::max(14, int(unit * 1.05));
  for (; pixels > 10; --pixels) {
    title.setPixelSize(pixels);
    if (QFontMetricsF(title).horizontalAdvance("Orvandel排课软件") <= titleRect.width()) break;
  }
  p.setFont(title);
  p.setPen(QColor(250, 250, 246));
  p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, "Orvandel排课软件");

  QFont sub("宋体");
  sub.setPixelSize(std::max(10, int(unit * 0.42)));
  p.setFont(sub);
  p.setPen(QColor(214, 228, 238));
  const QRectF subRect(r.width() * 0.05, titleRect.bottom(), r.width() * 0.46, unit * 0.9);
  p.drawText(subRect, Qt::AlignLeft | Qt::AlignVCenter, "中小学课程表编排系统");

  QFont foot("宋体");
  foot.setPixelSize(std::max(9, int(unit * 0.30)));
  p.setFont(foot);
  p.setPen(QColor(190, 210, 224));
  p.drawText(QRectF(r.width() * 0.05, r.height() * 0.86, r.width() * 0.9, unit * 0.6),
             Qt::AlignLeft | Qt::AlignVCenter, "基础数据 · 上课时间限制 · 自动排课 · 手工调整 · 打印与导出");
  p.end();
  return image;
}

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
