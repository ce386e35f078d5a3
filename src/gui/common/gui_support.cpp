#include "gui/common/gui_support.h"

#include <QApplication>
#include <QFont>

#include "printing/print_fonts.h"

namespace orv::ui {

void ApplyProgramFont() {
  InstallFontSubstitutions();
  QFont font("宋体", 10);
  font.setStyleHint(QFont::Serif);
  QApplication::setFont(font);
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace orv::ui
