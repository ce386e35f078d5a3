// SPDX-License-Identifier: GPL-3.0-or-later
// A QR code of a web address for a printed timetable on a classroom door,
// drawn as an inline SVG from libqrencode's module matrix, so the page needs
// no image file and prints sharp at any size.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// The SVG element (one path of dark modules inside a four-module quiet zone),
// or "" when the text cannot be encoded (too long for any QR version).
std::string QrCodeSvg(std::string_view text);

}  // namespace orv
