// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide source of chance for the generator: uniform in [0, 1).
#pragma once

#include <cstdint>
#include <random>

namespace orv {

class UniformRandom {
 public:
  // The same seed at every start gives the same timetable for the same data.
  static constexpr std::uint64_t kDefaultSeed = 20260901;

  explicit UniformRandom(std::uint64_t seed = kDefaultSeed) : engine_(seed) {}
  virtual ~UniformRandom() = default;

  void Seed(std::uint64_t seed) { engine_.seed(seed); }
  // A number in [0, 1).
  virtual double Next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_;
};

// The one generator of the program run.
UniformRandom& ProgramRandom();

}  // namespace orv
