// A generator whose draws the test writes down in advance, so that a case
// that depends on chance takes a known road. A draw beyond the script is a
// test failure: it shows the code drew more often than the case expects.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "core/scheduling/random.h"

namespace orv::test {

class ScriptedRandom : public UniformRandom {
 public:
  ScriptedRandom(std::initializer_list<double> draws) : draws_(draws) {}
  double Next() override {
    if (next_ >= draws_.size()) {
      ADD_FAILURE() << "unscripted draw number " << next_ + 1;
      return 0.0;
    }
    return draws_[next_++];
  }
  size_t Drawn() const { return next_; }
  bool AllDrawn() const { return next_ == draws_.size(); }

 private:
  std::vector<double> draws_;
  size_t next_ = 0;
};

}  // namespace orv::test
