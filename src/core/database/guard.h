// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where a database exception becomes the failure a user reads.
// A routine hands its work to Guarded with the words that begin the message
// ("读取课表失败：" ...); whatever SQLite throws meanwhile comes back as an
// Outcome with the reason translated, never as an exception.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "core/database/timetable_db.h"
#include "core/outcome.h"

namespace orv {

// Runs body() and returns what it returns (an Outcome or a Result<T>); an
// exception it throws becomes Outcome::Fail(failure + the reason).
template <class F>
auto Guarded(std::string_view failure, F&& body) -> decltype(body()) {
  try {
    return std::forward<F>(body)();
  } catch (const std::exception& e) {
    return Outcome::Fail(std::string(failure) + DatabaseErrorText(e));
  }
}

}  // namespace orv
