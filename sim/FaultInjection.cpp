// Seeded fault decisions: the same seed drops the same replies, so a failing test can be rerun.
#include "sim/FaultInjection.h"

namespace lumetra::sim {

FaultInjector::Decision FaultInjector::Next() {
  Decision d;
  ++requests_;
  if (settings_.closeAfter > 0 && requests_ >= settings_.closeAfter) {
    d.close = true;
    return d;
  }
  if (settings_.dropReplyRate > 0) {
    // 53 random bits give a uniform value in [0, 1) independent of the standard library.
    const double u = static_cast<double>(rng_() >> 11) * 0x1.0p-53;
    d.dropReply = u < settings_.dropReplyRate;
  }
  return d;
}

}  // namespace lumetra::sim
