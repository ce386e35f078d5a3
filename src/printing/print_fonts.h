// SPDX-License-Identifier: GPL-3.0-or-later
// The Chinese font names templates and windows use, mapped to the CJK fonts
// installed here: "宋体" to a serif, "黑体" to a sans-serif.
#pragma once

#include <QStringList>

namespace orv {

// Safe to call more than once; only the first call registers.
void InstallFontSubstitutions();

// Said by the command line and the windows where no font writes Chinese: every
// character would be printed and shown as an empty box.
inline constexpr const char* kNoChineseFontText =
    "没有找到中文字体，课表中的汉字会打印成空白方框。请先安装中文字体（例如 Debian 软件包 "
    "fonts-noto-cjk 或 fonts-wqy-zenhei），再打印。";

// The installed font families that write simplified Chinese, as the
// system's font configuration reports them. Needs the Qt application object.
QStringList ChineseFontFamilies();
// Whether any of them is installed.
bool ChineseFontInstalled();

}  // namespace orv
