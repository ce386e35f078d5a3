// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/window_manners.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "gui/common/gui_support.h"
#include "gui/shell/help_window.h"

namespace orv::ui {

namespace {

// How much of the title bar must show on a screen for the window to be
// grabbed and moved.
constexpr int kTitleBand = 30;
constexpr int kGrabWidth = 80;
constexpr const char* kRestored = "orvPlaceRestored";

bool IsProgramWindow(const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget && widget->isWindow() && widget->objectName().startsWith(QLatin1String("frm")) &&
         widget->windowType() != Qt::Popup && widget->windowType() != Qt::ToolTip;
}

// The chapter of the window, or of the window it was opened from, so a
// message box or a small dialog without a chapter still leads somewhere.
QString ChapterFor(QWidget* widget) {
  for (QWidget* w = widget ? widget->window() : nullptr; w;
       w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
    if (QString anchor = ChapterOfWindow(w->objectName()); !anchor.isEmpty()) return anchor;
  return {};
}

}  // namespace

std::optional<QRect> PlaceOnScreens(const QRect& stored, const QList<QRect>& screens) {
  const QRect titleBar(stored.x(), stored.y(), stored.width(), kTitleBand);
  for (const QRect& screen : screens) {
    const QRect shown = screen.intersected(titleBar);
    if (shown.width() < std::min(kGrabWidth, stored.width()) || shown.height() < kTitleBand / 2) continue;
    QRect placed(stored.topLeft(), stored.size().boundedTo(screen.size()));
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() + 1 - placed.height()));
    return placed;
  }
  return std::nullopt;
}

WindowManners::WindowManners(UiContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

bool WindowManners::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      auto* widget = qobject_cast<QWidget*>(watched);
      if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !widget) break;
      OpenHelp(ctx_, widget, ChapterFor(widget));
      return true;
    }
    case QEvent::Show:
      if (IsProgramWindow(watched) && !watched->property(kRestored).toBool()) {
        watched->setProperty(kRestored, true);
        Restore(static_cast<QWidget*>(watched));
      }
      break;
    case QEvent::Hide:
      // A window minimised by the desktop is still open.
      if (IsProgramWindow(watched) && !event->spontaneous()) Remember(static_cast<QWidget*>(watched));
      break;
    default:
      break;
  }
  return false;
}

void WindowManners::Restore(QWidget* window) {
  const std::optional<WindowPlace> stored = ctx_.state.settings().GetWindowPlace(S(window->objectName()));
  if (!stored) return;
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
  const std::optional<QRect> placed =
      PlaceOnScreens(QRect(stored->x, stored->y, stored->width, stored->height), screens);
  if (!placed) return;  // off every screen now: where the window would have gone anyway
  // A window of fixed size keeps its size and takes only the place.
  window->setGeometry(QRect(
      placed->topLeft(), placed->size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize())));
  if (stored->maximized) window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void WindowManners::Remember(QWidget* window) {
  const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
  if (!normal.isValid()) return;
  // A window that cannot be saved is not worth a message: it opens where it
  // would have opened anyway.
  (void)ctx_.state.settings().SetWindowPlace(
      S(window->objectName()),
      {normal.x(), normal.y(), normal.width(), normal.height(), window->isMaximized()});
}

}  // namespace orv::ui
