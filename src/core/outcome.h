// SPDX-License-Identifier: GPL-3.0-or-later
// How every public core routine that can fail says so: success, or a failure
// with the numeric code callers and files rely on (-1, -101, -102 ...) and a
// Chinese message that a window shows as it stands. Exceptions stay inside
// the core; they are turned into an Outcome before they reach a caller.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace orv {

class [[nodiscard]] Outcome {
 public:
  // The code of a failure that has no code of its own.
  static constexpr int kFailed = -1;

  Outcome() = default;  // success
  static Outcome Ok() { return Outcome(); }
  static Outcome Fail(std::string message, int code = kFailed) {
    Outcome o;
    o.code_ = code == 0 ? kFailed : code;
    o.message_ = std::move(message);
    return o;
  }

  bool ok() const { return code_ == 0; }
  explicit operator bool() const { return ok(); }
  // 0 on success.
  int code() const { return code_; }
  // Empty on success.
  const std::string& message() const { return message_; }

 private:
  int code_ = 0;
  std::string message_;
};

// A value, or the Outcome that says why there is none.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: a value converts implicitly
  Result(Outcome failure) : outcome_(std::move(failure)) {
    if (outcome_.ok()) outcome_ = Outcome::Fail("内部错误：结果缺少数值");
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Success, or the failure.
  const Outcome& outcome() const { return outcome_; }
  int code() const { return outcome_.code(); }
  const std::string& message() const { return outcome_.message(); }

  // The value; only after ok() said there is one.
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  // By value, so that `for (x : F().value())` never reads a destroyed result.
  T value() && { return std::move(*value_); }
  // The value, or `fallback` for a caller that shows the same thing whether
  // there was none or reading it failed.
  T value_or(T fallback) const& { return value_ ? *value_ : std::move(fallback); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  std::optional<T> value_;
  Outcome outcome_;
};

}  // namespace orv
