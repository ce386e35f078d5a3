// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/gui_support.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>

#include "printing/print_fonts.h"

namespace orv::ui {

void ApplyProgramFont() {
  InstallFontSubstitutions();
  QFont font("宋体", 10);
  font.setStyleHint(QFont::Serif);
  QApplication::setFont(font);
}

std::unique_ptr<QTranslator> LoadQtTranslations() {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return nullptr;
  return translator;
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace orv::ui
