// The bus time of one gate exchange on a real DALI line (DALI-2 figures), used to pace the server
// in "dali" timing mode and to keep its running total of modelled bus time.
#pragma once

#include <chrono>
#include <cstdint>

namespace lumetra::sim {

using Micros = std::chrono::duration<double, std::micro>;

struct DaliTiming {
  // Half a bit period: every DALI bit is two halves at 1200 bit/s.
  static constexpr double kTe = 416.67;
  // Stop condition: four half bits of idle line.
  static constexpr double kStop = 4 * kTe;
  // Start bit and 16 or 24 data bits, then the stop condition.
  static constexpr double kForward16 = 17 * 2 * kTe + kStop;
  static constexpr double kForward24 = 25 * 2 * kTe + kStop;
  // Start bit and 8 data bits.
  static constexpr double kBackward = 9 * 2 * kTe;
  // Quiet line a sender must see before a forward frame.
  static constexpr double kSettleForward = 13500;
  // Window in which an answer starts after the forward frame; a query answered by nobody costs the
  // whole window, because only its end tells the gateway that nothing is coming.
  static constexpr double kAnswerEarliest = 5500;
  static constexpr double kAnswerLatest = 10500;
  // The second frame of a configuration command counts only within this time of the first.
  static constexpr double kSendTwiceWindow = 100000;

  // How one exchange used the bus.
  enum class Answer : uint8_t { kNone, kOne, kCollision };

  // `answerSettle` is the settling time before the answer (kAnswerEarliest..kAnswerLatest); it is
  // ignored when no answer came. `query` says whether the gateway waits for an answer at all.
  static constexpr double ExchangeMicros(bool frame24, bool query, Answer answer,
                                         double answerSettle) {
    double t = kSettleForward + (frame24 ? kForward24 : kForward16);
    if (answer != Answer::kNone) {
      t += answerSettle + kBackward;
    } else if (query) {
      t += kAnswerLatest;
    }
    return t;
  }
  // A frame a control device puts on the line on its own, with its settling time.
  static constexpr double kOwnFrame24 = kSettleForward + kForward24;
  static constexpr double kOwnFrame16 = kSettleForward + kForward16;
};

}  // namespace lumetra::sim
