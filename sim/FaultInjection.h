// Faults the bus server injects on request, so that tests can see how a client copes with a
// gateway that loses replies, answers late or drops the connection.
#pragma once

#include <cstdint>
#include <random>

namespace lumetra::sim {

struct FaultSettings {
  double dropReplyRate = 0;  // share of requests left without a reply, 0..1
  int delayReplyMs = 0;      // added to every reply
  int closeAfter = 0;        // the gate connection closes on this request (not answered); 0 = never

  bool operator==(const FaultSettings&) const = default;
};

class FaultInjector {
 public:
  struct Decision {
    bool dropReply = false;
    bool close = false;
  };

  FaultInjector(const FaultSettings& settings, uint64_t seed) : settings_(settings), rng_(seed) {}

  // Counting for closeAfter starts again with every gate connection.
  void NewConnection() { requests_ = 0; }
  Decision Next();
  const FaultSettings& Settings() const { return settings_; }

 private:
  FaultSettings settings_;
  std::mt19937_64 rng_;
  int requests_ = 0;
};

}  // namespace lumetra::sim
