// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/page_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSet>
#include <memory>

namespace orv {

namespace {

QPageSize::PageSizeId PageSizeOf(const std::string& paper) {
  if (paper == "A3") return QPageSize::A3;
  if (paper == "A5") return QPageSize::A5;
  if (paper == "B5") return QPageSize::B5;
  if (paper == "Letter") return QPageSize::Letter;
  return QPageSize::A4;
}

// Fonts and their metrics are kept per family, size and weight.
QString FontKey(const TextStyle& style, double size) {
  return QString::fromStdString(style.family) + QChar('|') + QString::number(size) +
         (style.bold ? QStringLiteral("|b") : QString());
}

QFont TextFont(const TextStyle& style, double size) {
  QFont font(QString::fromStdString(style.family));
  font.setPointSizeF(size);
  font.setBold(style.bold);
  font.setStyleHint(style.family == "黑体" ? QFont::SansSerif : QFont::Serif);
  return font;
}

class PagePainter {
 public:
  PagePainter(QPainter& painter, double dotsPerMm) : painter_(painter), dots_(dotsPerMm) {}

  void Paint(const Page& page) {
    for (const PageLine& l : page.lines) {
      painter_.setPen(QPen(Qt::black, std::max(1.0, l.width * dots_), Qt::SolidLine, Qt::FlatCap));
      painter_.drawLine(QLineF(l.x1 * dots_, l.y1 * dots_, l.x2 * dots_, l.y2 * dots_));
    }
    painter_.setPen(Qt::black);
    for (const PageText& t : page.texts) Text(t);
  }

 private:
  void Text(const PageText& t) {
    const QRectF box(t.x * dots_, t.y * dots_, t.width * dots_, t.height * dots_);
    const QString text = QString::fromStdString(t.text);
    QFont font = Font(t.style, t.style.size);
    // Names come set to fit their cells, measured at another resolution than
    // the printer's: a hair over is left alone. A band's text too long for
    // the page is shrunk rather than cut or run over the lines.
    const double wide = QFontMetricsF(font, painter_.device()).horizontalAdvance(text);
    if (wide > box.width() * 1.03 && wide > 0)
      font = Font(t.style, std::max(4.0, t.style.size * box.width() / wide * 0.97));
    painter_.setFont(font);
    const Qt::Alignment h = t.align == TextAlign::Left    ? Qt::AlignLeft
                            : t.align == TextAlign::Right ? Qt::AlignRight
                                                          : Qt::AlignHCenter;
    painter_.drawText(box, int(h | Qt::AlignVCenter | Qt::TextDontClip), text);
  }

  QFont Font(const TextStyle& style, double size) {
    const QString key = FontKey(style, size);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return *it;
    return *fonts_.insert(key, TextFont(style, size));
  }

  QPainter& painter_;
  double dots_;
  QHash<QString, QFont> fonts_;
};

}  // namespace

void SetUpPrinter(QPrinter& printer, const PageDocument& doc) {
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(PageSizeOf(doc.paper)),
                                    doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0)));
}

namespace {

QSizeF DocumentSizeMm(const PageDocument& doc) {
  const QSizeF paper = QPageSize(PageSizeOf(doc.paper)).size(QPageSize::Millimeter);
  return doc.landscape ? paper.transposed() : paper;
}

QSizeF PrinterSizeMm(const QPrinter& printer) {
  return printer.pageLayout().fullRect(QPageLayout::Millimeter).size();
}

}  // namespace

double FitScale(const QPrinter& printer, const PageDocument& doc) {
  const QSizeF want = DocumentSizeMm(doc);
  const QSizeF have = PrinterSizeMm(printer);
  if (want.isEmpty() || have.isEmpty()) return 1.0;
  // Within a tenth of a millimetre is the same paper, told in other units.
  const double scale = std::min(have.width() / want.width(), have.height() / want.height());
  return scale > 0.9995 ? 1.0 : scale;
}

QString PaperNotice(const QPrinter& printer, const PageDocument& doc) {
  if (FitScale(printer, doc) >= 1.0) return {};
  const QPageSize paper = printer.pageLayout().pageSize();
  const QString name = paper.id() == QPageSize::Custom ? QStringLiteral("较小纸张") : paper.name();
  // The A3 template is the overview's; the others are single timetables.
  const QString what = doc.paper == "A3" ? QStringLiteral("总表") : QStringLiteral("课表");
  return QStringLiteral("打印机纸张为") + name + QStringLiteral("，") + what + QStringLiteral("将缩小打印");
}

Outcome PaintPages(QPrinter& printer, const PageDocument& doc) {
  QPainter painter;
  if (!painter.begin(&printer)) return Outcome::Fail("打印机无法开始打印（打印机不可用或文件无法写入）");
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const double dots = printer.resolution() / 25.4;
  const double scale = FitScale(printer, doc);
  const QSizeF want = DocumentSizeMm(doc) * scale;
  const QSizeF have = PrinterSizeMm(printer);
  PagePainter pages(painter, dots);
  for (size_t i = 0; i < doc.pages.size(); ++i) {
    if (i > 0 && !printer.newPage()) {
      painter.end();
      return Outcome::Fail("打印机不接受新的一页");
    }
    painter.resetTransform();
    painter.translate((have.width() - want.width()) / 2 * dots, (have.height() - want.height()) / 2 * dots);
    painter.scale(scale, scale);
    pages.Paint(doc.pages[i]);
  }
  if (!painter.end()) return Outcome::Fail("打印机未能完成打印任务");
  if (printer.printerState() == QPrinter::Error) return Outcome::Fail("打印系统拒绝了打印任务");
  return Outcome::Ok();
}

QList<QFont> PageFonts(const PageDocument& doc) {
  QList<QFont> fonts;
  QSet<QString> seen;
  for (const Page& page : doc.pages)
    for (const PageText& t : page.texts) {
      // Glyph lookups do not depend on the size.
      const QFont font = TextFont(t.style, 12);
      if (!seen.contains(font.key())) seen.insert(font.key()), fonts << font;
    }
  return fonts;
}

TextMeasure FontMeasure() {
  // Measured at the resolution of a PDF printer.
  auto image = std::make_shared<QImage>(1, 1, QImage::Format_Mono);
  constexpr double kDotsPerInch = 1200;
  image->setDotsPerMeterX(int(kDotsPerInch / 0.0254));
  image->setDotsPerMeterY(int(kDotsPerInch / 0.0254));
  auto metrics = std::make_shared<QHash<QString, QFontMetricsF>>();
  return [image, metrics](std::string_view text, const TextStyle& style, double points) {
    const QString key = FontKey(style, points);
    auto it = metrics->find(key);
    if (it == metrics->end()) it = metrics->insert(key, QFontMetricsF(TextFont(style, points), image.get()));
    return it->horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))) / kDotsPerInch *
           25.4;
  };
}

QString PrintedText(const PageDocument& doc) {
  QString text;
  for (const Page& page : doc.pages)
    for (const PageText& t : page.texts) text += QString::fromStdString(t.text);
  return text;
}

}  // namespace orv
