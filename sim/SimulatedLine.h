// A simulated DALI line: takes one 5-byte gate request, puts its frame on the line of simulated
// control gear and control devices, and returns the gate reply; every frame on the line is also
// reported as a 5-byte monitor record.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "sim/LineDescription.h"
#include "sim/Units.h"

namespace lumetra::sim {

using Frame = std::array<uint8_t, 5>;

// The gate and monitor byte layouts, under the configurator's names and with its values, but
// defined here again: the line checks the configurator from outside and shares none of its tables.
//
// Gate request kinds (byte 0 without bit 7).
inline constexpr uint8_t kGearFrame = 3;
inline constexpr uint8_t kDeviceFrame = 4;
// Gate reply byte 0; with kReplyError, byte 3 is the error code.
inline constexpr uint8_t kReplyNoAnswer = 0x60;
inline constexpr uint8_t kReplyAnswer = 0x62;
inline constexpr uint8_t kReplyError = 0x67;
// Monitor record kinds, the low three bits of the record's byte 0 (see MakeRecord).
inline constexpr uint8_t kRecordAnswer = 2;
inline constexpr uint8_t kRecordGearFrame = 3;
inline constexpr uint8_t kRecordDeviceFrame = 4;
inline constexpr uint8_t kRecordBusError = 7;
// Bus error codes (the monitor's names: "ERROR - Check sum", "ERROR - Receive" = several answered
// at once).
inline constexpr uint8_t kErrorChecksum = 1;
inline constexpr uint8_t kErrorReceive = 3;

// Byte 4 of a gate request or reply: the XOR of bytes 0..3.
uint8_t Checksum(const Frame& frame);
Frame MakeFrame(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
// A monitor record of `kind`: byte 0 is 0x60 | kind, byte 4 stays 0 (records carry no checksum).
Frame MakeRecord(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);

class SimulatedLine {
 public:
  using RecordSink = std::function<void(const Frame& record)>;
  // Microseconds of real time, for the 100 ms window of send-twice pairs.
  using Clock = std::function<double()>;

  struct Result {
    Frame reply;
    double busMicros;  // the modelled bus time of this exchange
  };

  explicit SimulatedLine(const LineDescription& line, uint64_t seed = 1);

  void SetMonitor(RecordSink sink) { monitor_ = std::move(sink); }
  // Told after an exchange that changed an opto-relay's outputs: its short address and the
  // outputs now on (bit i = output A + i).
  using OutputsSink = std::function<void(uint8_t shortAddress, uint8_t outputs)>;
  void SetRelayOutputs(OutputsSink sink) { relayOutputs_ = std::move(sink); }
  // Without a clock the pairs are not timed: a caller that is not pacing itself to the bus would
  // otherwise see its pairs fail at random.
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  Result Exchange(const Frame& request);

  double BusMicros() const { return busMicros_; }
  uint64_t Exchanges() const { return exchanges_; }

  std::vector<ControlGear>& Gear() { return gear_; }
  std::vector<ControlDevice>& Devices() { return devices_; }
  const std::vector<ControlGear>& Gear() const { return gear_; }
  const std::vector<ControlDevice>& Devices() const { return devices_; }

 private:
  // Collects the answers of one frame the way the bus merges them.
  struct Answers {
    int count = 0;
    uint8_t value = 0;
    void Add(std::optional<uint8_t> a) {
      if (a) {
        ++count;
        value = *a;
      }
    }
  };

  void Record(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3);
  // True when this frame completes a send-twice pair; updates the pair state either way.
  bool SecondOfPair(const Frame& request, bool twice);
  Answers GearFrame(const Frame& request, bool& query);
  Answers DeviceFrame(const Frame& request, bool& query);

  std::vector<ControlGear> gear_;
  std::vector<ControlDevice> devices_;
  std::mt19937_64 rng_;
  std::vector<std::array<uint8_t, 3>> ownFrames_;
  std::vector<std::array<uint8_t, 2>> ownGearFrames_;
  RecordSink monitor_;
  Clock clock_;
  OutputsSink relayOutputs_;
  std::vector<uint8_t> outputsBefore_;

  // The previous frame on the line and whether it opened a send-twice pair.
  Frame previous_{};
  bool pairOpen_ = false;
  double previousAt_ = 0;

  double busMicros_ = 0;
  uint64_t exchanges_ = 0;
};

}  // namespace lumetra::sim
