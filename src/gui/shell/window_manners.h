// SPDX-License-Identifier: GPL-3.0-or-later
// What every window of the program does without each window's code knowing:
// F1 opens the manual at the window's chapter, and a window comes back where
// and as large as it was when it was last closed (kept in kbxt.ini).
#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <optional>

#include "gui/common/ui_context.h"

namespace orv::ui {

// Where a window stored at `stored` goes on these screens (available areas):
// nullopt when no screen shows enough of its title bar to grab it, else the
// place moved and shrunk as little as needed to lie on the screen that does.
std::optional<QRect> PlaceOnScreens(const QRect& stored, const QList<QRect>& screens);

// Installed on the application object. Only the program's own windows (object
// names beginning "frm") are remembered.
class WindowManners : public QObject {
  Q_OBJECT
 public:
  explicit WindowManners(UiContext& ctx, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Restore(QWidget* window);
  void Remember(QWidget* window);

  UiContext& ctx_;
};

}  // namespace orv::ui
