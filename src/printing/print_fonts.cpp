// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/print_fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace orv {

void InstallFontSubstitutions() {
  static const bool installed = [] {
    QFont::insertSubstitutions("宋体", {"Noto Serif CJK SC", "Noto Serif CJK", "Source Han Serif SC",
                                        "AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Zen Hei"});
    QFont::insertSubstitutions("黑体", {"Noto Sans CJK SC", "Noto Sans CJK", "Source Han Sans SC",
                                        "WenQuanYi Zen Hei", "Noto Serif CJK SC"});
    return true;
  }();
  (void)installed;
}

QStringList ChineseFontFamilies() {
  // The writing system comes from the font's own coverage (fontconfig's
  // languages), not its name: a font called "宋体" that holds only Latin
  // letters helps nobody.
  return QFontDatabase::families(QFontDatabase::SimplifiedChinese);
}

bool ChineseFontInstalled() { return !ChineseFontFamilies().isEmpty(); }

}  // namespace orv
