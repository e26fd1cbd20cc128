// The bus rules of the simulated line: addressing, send-twice pairs, merging of answers, monitor
// records and the modelled bus time of each exchange.
#include "sim/SimulatedLine.h"

#include "sim/Commands.h"
#include "sim/DaliTiming.h"

namespace lumetra::sim {

uint8_t Checksum(const Frame& f) { return static_cast<uint8_t>(f[0] ^ f[1] ^ f[2] ^ f[3]); }

Frame MakeFrame(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  Frame f{b0, b1, b2, b3, 0};
  f[4] = Checksum(f);
  return f;
}

Frame MakeRecord(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  return Frame{static_cast<uint8_t>(0x60 | kind), b1, b2, b3, 0};
}

namespace {

// The opcode of the message frames devices put on the line on their own.
constexpr uint8_t kSendStateOpcode = 134;

bool GearAddressed(const ControlGear& g, uint8_t a) {
  if (a >= 0xFE) return true;                                 // broadcast
  if (a >= 0xFC) return g.shortAddress == kNoShortAddress;    // broadcast to the unaddressed
  if (a >= 0x80) return (g.groups >> ((a >> 1) & 0x0F)) & 1;  // group (0x80..0x9F)
  return g.shortAddress == (a >> 1);
}

bool DeviceAddressed(const ControlDevice& d, uint8_t a) {
  if (a == 0xFF) return true;
  if (a == 0xFC) return d.shortAddress == kNoShortAddress;
  if (a >= 0x80 && a <= 0x8F) return (d.Groups() >> (a & 0x0F)) & 1;
  return a < 64 && d.shortAddress == a;
}

}  // namespace

SimulatedLine::SimulatedLine(const LineDescription& line, uint64_t seed) : rng_(seed) {
  gear_.reserve(line.gear.size());
  for (const GearDescription& g : line.gear) gear_.emplace_back(g);
  devices_.reserve(line.devices.size());
  for (const DeviceDescription& d : line.devices) devices_.emplace_back(d);
}

void SimulatedLine::Record(uint8_t kind, uint8_t b1, uint8_t b2, uint8_t b3) {
  if (monitor_) monitor_(MakeRecord(kind, b1, b2, b3));
}

bool SimulatedLine::SecondOfPair(const Frame& request, bool twice) {
  const double now = clock_ ? clock_() : 0;
  const bool same = request[0] == previous_[0] && request[1] == previous_[1] &&
                    request[2] == previous_[2] && request[3] == previous_[3];
  const bool inTime = !clock_ || now - previousAt_ <= DaliTiming::kSendTwiceWindow;
  const bool completes = twice && pairOpen_ && same && inTime;
  // A completed pair is used up: a third identical frame opens a new one.
  pairOpen_ = twice && !completes;
  previous_ = request;
  previousAt_ = now;
  return completes;
}

SimulatedLine::Answers SimulatedLine::GearFrame(const Frame& request, bool& query) {
  const uint8_t address = request[2];
  const uint8_t data = request[3];
  Answers answers;
  LineContext ctx{rng_, ownFrames_, ownGearFrames_};

  const GearCommand* command = SpecialGearCommand(address);
  const bool special = command != nullptr;
  if (!special) {
    if (address >= 0xA0 && address < 0xFC) {
      command = nullptr;  // reserved address bytes: nobody listens
    } else if ((address & 1) == 0) {
      command = &ArcPowerCommand();
    } else {
      command = &AddressedGearCommand(data);
    }
  }
  const bool twice = command != nullptr && command->twice;
  const bool acts = SecondOfPair(request, twice) || !twice;
  if (command == nullptr) return answers;
  query = command->query;

  for (ControlGear& g : gear_) {
    if (!command->keepsWriteEnable) g.writeEnabled = false;
    if (command->run == nullptr || !acts) continue;
    if (special || GearAddressed(g, address)) answers.Add(command->run(g, data, ctx));
  }
  return answers;
}

SimulatedLine::Answers SimulatedLine::DeviceFrame(const Frame& request, bool& query) {
  const uint8_t address = request[1];
  const uint8_t opcode = request[2];
  const uint8_t param = request[3];
  Answers answers;
  LineContext ctx{rng_, ownFrames_, ownGearFrames_};

  const DeviceCommand& command = ControlDeviceCommand(opcode);
  const bool acts = SecondOfPair(request, command.twice) || !command.twice;
  query = command.query;
  if (command.run == nullptr || !acts) return answers;
  for (ControlDevice& d : devices_) {
    if (DeviceAddressed(d, address)) answers.Add(command.run(d, param, ctx));
  }
  return answers;
}

SimulatedLine::Result SimulatedLine::Exchange(const Frame& request) {
  ++exchanges_;
  if (Checksum(request) != request[4]) {
    // Nothing reaches the line; the gateway reports the broken request as a bus error.
    Record(kRecordBusError, 0, 0, kErrorChecksum);
    return {MakeFrame(kReplyError, request[1], request[2], kErrorChecksum), 0};
  }
  const uint8_t kind = request[0] & 0x7F;
  if (kind != kGearFrame && kind != kDeviceFrame) {
    return {MakeFrame(kReplyNoAnswer, request[1], request[2], request[3]), 0};
  }

  bool query = false;
  Answers answers;
  ownFrames_.clear();
  ownGearFrames_.clear();
  outputsBefore_.resize(devices_.size());
  for (size_t i = 0; i < devices_.size(); ++i) outputsBefore_[i] = devices_[i].outputs;
  if (kind == kGearFrame) {
    Record(kRecordGearFrame, 0, request[2], request[3]);
    answers = GearFrame(request, query);
  } else {
    Record(kRecordDeviceFrame, request[1], request[2], request[3]);
    answers = DeviceFrame(request, query);
  }

  Result result{};
  DaliTiming::Answer busAnswer = DaliTiming::Answer::kNone;
  if (answers.count == 0) {
    result.reply = MakeFrame(kReplyNoAnswer, request[1], request[2], request[3]);
  } else if (answers.count == 1) {
    busAnswer = DaliTiming::Answer::kOne;
    Record(kRecordAnswer, 0, 0, answers.value);
    result.reply = MakeFrame(kReplyAnswer, request[1], request[2], answers.value);
  } else {
    // Overlapping backward frames break each other's bit timing: the gateway sees a framing error.
    busAnswer = DaliTiming::Answer::kCollision;
    Record(kRecordBusError, 0, 0, kErrorReceive);
    result.reply = MakeFrame(kReplyError, request[1], request[2], kErrorReceive);
  }

  const double settle = DaliTiming::kAnswerEarliest +
                        static_cast<double>(rng_() % 5001) *
                            (DaliTiming::kAnswerLatest - DaliTiming::kAnswerEarliest) / 5000.0;
  result.busMicros = DaliTiming::ExchangeMicros(kind == kDeviceFrame, query, busAnswer, settle);
  for (const auto& own : ownFrames_) {
    Record(kRecordDeviceFrame, own[0], own[1], own[2]);
    result.busMicros += DaliTiming::kOwnFrame24;
    if (own[1] == kSendStateOpcode) {
      for (ControlDevice& d : devices_) d.HearMessage(own[0], own[2]);
    }
  }
  if (relayOutputs_) {
    for (size_t i = 0; i < devices_.size(); ++i) {
      if (devices_[i].outputs != outputsBefore_[i]) {
        relayOutputs_(devices_[i].shortAddress, devices_[i].outputs);
      }
    }
  }
  // Taken out first: the gear's frames are gear frames like any other, and clear the list.
  const std::vector<std::array<uint8_t, 2>> toGear = std::move(ownGearFrames_);
  ownGearFrames_.clear();
  for (const auto& own : toGear) {
    Record(kRecordGearFrame, 0, own[0], own[1]);
    bool ownQuery = false;
    GearFrame(MakeFrame(0x80 | kGearFrame, 0, own[0], own[1]), ownQuery);
    result.busMicros += DaliTiming::kOwnFrame16;
  }
  busMicros_ += result.busMicros;
  return result;
}

}  // namespace lumetra::sim
