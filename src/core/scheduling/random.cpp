// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scheduling/random.h"

namespace orv {

UniformRandom& ProgramRandom() {
  static UniformRandom random;
  return random;
}

}  // namespace orv
