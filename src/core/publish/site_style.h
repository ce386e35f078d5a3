// SPDX-License-Identifier: GPL-3.0-or-later
// How the published site looks and behaves: one stylesheet for every page
// (a week grid on a wide screen, a day-by-day list on a phone, a clean page
// on paper), the course colours, and the index's search box script.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// style.css.
std::string_view SiteStylesheet();

// The number of course colours; a course with index i in the site's course
// order is painted with class "k(i mod this)" on every page.
inline constexpr int kCourseColours = 12;

// The index's search: filters the lists by the text typed, and applies
// ?q=… on load, so a link (or a test) can open the index already filtered.
// Without JavaScript every list simply stays whole.
std::string_view SiteSearchScript();

}  // namespace orv
