// The one sender of bus commands: turns a command of the tables and a target into gate requests,
// sends twice what the table marks so, and stops a sequence at the first exchange that failed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "buslink/Commands.h"
#include "buslink/DaliCom.h"

namespace lumetra {

// Who a command goes to: one device, a group, every device, or (control devices) those without a
// short address.
class BusTarget {
 public:
  enum class Kind : uint8_t { kDevice, kGroup, kAll, kUnaddressed };

  static constexpr BusTarget Device(int a) { return {Kind::kDevice, static_cast<uint8_t>(a)}; }
  static constexpr BusTarget Group(int g) { return {Kind::kGroup, static_cast<uint8_t>(g)}; }
  static constexpr BusTarget All() { return {Kind::kAll, 0}; }
  static constexpr BusTarget Unaddressed() { return {Kind::kUnaddressed, 0}; }

  constexpr Kind GetKind() const { return kind_; }
  constexpr uint8_t Number() const { return number_; }

  // Control gear address byte of a command: 2a + 1, 0x81 + 2g, 0xFF.
  constexpr uint8_t GearCommandByte() const { return GearArcByte() | 1; }
  // Control gear address byte of a direct arc power level: 2a, 0x80 + 2g, 0xFE.
  constexpr uint8_t GearArcByte() const {
    switch (kind_) {
      case Kind::kDevice:
        return static_cast<uint8_t>(2 * number_);
      case Kind::kGroup:
        return static_cast<uint8_t>(0x80 | (2 * number_));
      default:
        return 0xFE;
    }
  }
  // Control device address byte: a, 0x80 + g, 0xFF, 0xFC.
  constexpr uint8_t DeviceByte() const {
    switch (kind_) {
      case Kind::kDevice:
        return number_;
      case Kind::kGroup:
        return static_cast<uint8_t>(0x80 | number_);
      case Kind::kUnaddressed:
        return 0xFC;
      default:
        return 0xFF;
    }
  }
  // As the monitor shows it: "A 05", "GA 03", "A ALL" (population 'A') or "C 05" ('C').
  std::string Name(char population) const;

  constexpr bool operator==(const BusTarget&) const = default;

 private:
  constexpr BusTarget(Kind kind, uint8_t number) : kind_(kind), number_(number) {}
  Kind kind_;
  uint8_t number_;
};

// Thrown by the session when an exchange of a sequence failed (or the sequence was cancelled): the
// sequence cannot go on. `step` names the request, as the monitor would show it.
struct SequenceStopped {
  int result;
  std::string step;
  // The failure for the user, in Slovak: the exchange's result, or the fault of a refused reply.
  std::string text;
};

// How a sequence ended: kExchangeReplied, or the result of the step that stopped it.
struct SequenceResult {
  int result = kExchangeReplied;
  std::string step;
  // Why nothing was sent, when the sequence refused its input (Slovak, for the status line).
  std::string refusal;

  bool Ok() const { return result == kExchangeReplied; }
  // "STORE DTR AS MAX LEVEL A 05: Zariadenie neodpovedá", or the refusal; empty when it went
  // through.
  std::string Text() const;
};

// Runs `sequence` (a callable over a session), turning the stop of its first failed step into the
// result.
template <typename Sequence>
SequenceResult RunSequence(Sequence&& sequence) {
  try {
    std::forward<Sequence>(sequence)();
    return {};
  } catch (const SequenceStopped& stopped) {
    return {stopped.result, stopped.step, {}};
  }
}

// One session per thread that talks to the bus: it owns that thread's request and reply buffers;
// the exchange lock of TDaliCom keeps the threads' requests from interleaving on the gate.
class BusSession {
 public:
  // Called after every exchange that went through; a long sequence shows its counter from it.
  using Progress = std::function<void(int exchanges)>;
  // Asked before every exchange; true stops the sequence with kSequenceCancelled.
  using Cancel = std::function<bool()>;

  explicit BusSession(TDaliCom* daliCom = nullptr) : daliCom_(daliCom) {}
  BusSession(const BusSession&) = delete;
  BusSession& operator=(const BusSession&) = delete;

  void SetDaliCom(TDaliCom* daliCom) { daliCom_ = daliCom; }
  TDaliCom* DaliCom() const { return daliCom_; }

  // Both stay until replaced.
  void SetProgress(Progress progress) { progress_ = std::move(progress); }
  void SetCancel(Cancel cancel) { cancel_ = std::move(cancel); }

  // Control gear: an addressed command, a special command with its data byte, a direct arc power
  // level, and a command that stores the DTR (DTR first, then the command).
  void Gear(const BusTarget& target, const BusCommand& command);
  void GearSpecial(const BusCommand& command, uint8_t data = 0);
  void GearLevel(const BusTarget& target, uint8_t level);
  void GearStore(const BusTarget& target, const BusCommand& command, uint8_t value);
  // Control devices: a command with its parameter, and a command without data.
  void Device(const BusTarget& target, const BusCommand& command, uint8_t parameter = 0);
  void DeviceDataLess(const BusTarget& target, const BusCommand& command);

  // The last reply.
  uint8_t Answer() const { return reply_[3]; }
  // Exactly one device answered.
  bool Answered() const { return reply_[0] == kReplyAnswer; }
  // Several devices answered at once: the gate saw a receive error.
  bool AnsweredBySeveral() const { return reply_[0] == kReplyError && reply_[3] == kErrorReceive; }
  const std::array<uint8_t, 5>& Reply() const { return reply_; }
  // Exchanges that went through since the session was made.
  int Exchanges() const { return exchanges_; }

 private:
  // The step's name is put together only when the step fails.
  struct Step {
    char population;
    const BusCommand* command;
    const BusTarget* target;
  };
  void Send(const Step& step, uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);
  void SendOnceOrTwice(const Step& step, uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);
  [[noreturn]] void Stop(const Step& step, int result) const;

  TDaliCom* daliCom_;
  std::array<uint8_t, 5> request_{};
  std::array<uint8_t, 5> reply_{};
  int exchanges_ = 0;
  Progress progress_;
  Cancel cancel_;
};

}  // namespace lumetra
