// SPDX-License-Identifier: GPL-3.0-or-later
// The names a published site uses: the file name of each page, which must be
// plain ASCII (a Chinese path breaks on some web servers and in QR codes) and
// must never be shared by two pages, and text made safe to put in HTML.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/database/record_names.h"

namespace orv {

// The page name without ".html" of each record, by code: the prefix and the
// code ("c-11", "t-001") when the code is plain ASCII letters, digits, '-' or
// '_' (lower case, so that a server that ignores case cannot mix two pages up),
// else the prefix, 'x' and the code's bytes in hex ("k-xe5beae"). Two
// records that would meet get "-2", "-3" … in code order.
std::map<std::string, std::string> SiteSlugs(const std::vector<NamedRecord>& records,
                                             std::string_view prefix);

// & < > " ' as entities, so that a name is always shown as text.
std::string HtmlEscape(std::string_view text);

}  // namespace orv
