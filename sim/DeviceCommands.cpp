// The maker's control device frames (24 bits: address, opcode, parameter) as constexpr tables.
#include <algorithm>

#include "sim/Addressing.h"
#include "sim/Commands.h"

namespace lumetra::sim {

namespace {

using addressing::DeviceAddressByte;

constexpr uint8_t kSendState = 134;  // the opcode of a frame a device sends on its own

// A device tells the others about an event only when it may talk on the line (multimaster) and has
// an address they can know it by.
void Announce(ControlDevice& d, uint8_t message, LineContext& ctx) {
  if (d.Multimaster() && d.shortAddress != kNoShortAddress) {
    ctx.ownFrames.push_back({d.shortAddress, kSendState, message});
  }
}

// A switch's command sequences (memory bank 0xB0 from location 7: four sequences of 26 bytes,
// each four steps of address, command, two indicator bytes and a 16-bit wait, low byte first),
// its input types (239, 240) and its enable bits (241).
constexpr size_t kSwitchSequences = 7;
constexpr size_t kSwitchSequenceBytes = 26;
constexpr size_t kSwitchStepBytes = 6;
constexpr size_t kSwitchTypes = 239;
constexpr size_t kSwitchEnabled = 241;

uint8_t SwitchType(const ControlDevice& d, uint8_t input) { return d.config[kSwitchTypes + input]; }

// Input `input` had event 0 (pressed, switched on, position 1) or 1 (held, switched off, position
// 2): an enabled input runs its sequence 2 · input + event. Step by step the device sends the
// step's frame to the control gear and sets the indicators the step names (a code of 0xF leaves
// one as it is), until an empty step (0xFF, 0xFF) or a step that waits: what follows a wait comes
// that much later, which the line does not model.
void RunSwitchSequence(ControlDevice& d, uint8_t input, int event, LineContext& ctx) {
  if (((d.config[kSwitchEnabled] >> input) & 1) == 0) return;
  const size_t sequence = kSwitchSequences + kSwitchSequenceBytes * (2 * input + event);
  for (size_t k = 0; k < 4; ++k) {
    const uint8_t* step = &d.config[sequence + kSwitchStepBytes * k];
    if (step[0] == 0xFF && step[1] == 0xFF) return;
    ctx.ownGearFrames.push_back({step[0], step[1]});
    for (size_t j = 0; j < d.indicators.size(); ++j) {
      const uint8_t code = (step[2 + j / 2] >> (4 * (j % 2))) & 0x0F;
      if (code != 0x0F) d.indicators[j] = code;
    }
    if ((step[4] | step[5] << 8) != 0) return;
  }
}

// --- DATA LESS COMMANDS, by sub-command ---
Answer Identify(ControlDevice& d, uint8_t, LineContext&) {
  d.identifying = true;
  return kNo;
}
Answer DisableMultimaster(ControlDevice& d, uint8_t, LineContext&) {
  d.config[6] &= 0x7F;
  return kNo;
}
Answer EnableMultimaster(ControlDevice& d, uint8_t, LineContext&) {
  d.config[6] |= 0x80;
  return kNo;
}
Answer DisableWriteMemory(ControlDevice& d, uint8_t, LineContext&) {
  d.writeEnabled = false;
  return kNo;
}
Answer EnableWriteMemory(ControlDevice& d, uint8_t, LineContext&) {
  d.writeEnabled = true;
  return kNo;
}

constexpr std::array<DeviceCommand::Handler, 15> kDataLess = {
    nullptr,           Identify,           nullptr,          DisableMultimaster,
    EnableMultimaster, DisableWriteMemory, EnableWriteMemory};

Answer DataLess(ControlDevice& d, uint8_t sub, LineContext& ctx) {
  if (sub < kDataLess.size() && kDataLess[sub] != nullptr) return kDataLess[sub](d, sub, ctx);
  return kNo;
}

// --- memory ---
Answer Reset(ControlDevice& d, uint8_t, LineContext&) {
  d.Reset();
  return kNo;
}
Answer SetDtr(ControlDevice& d, uint8_t value, LineContext&) {
  d.dtr = value;
  return kNo;
}
Answer QueryDtr(ControlDevice& d, uint8_t, LineContext&) { return d.dtr; }
Answer SetBank(ControlDevice& d, uint8_t bank, LineContext&) {
  d.bank = bank;
  return kNo;
}
Answer QueryBank(ControlDevice& d, uint8_t, LineContext&) { return d.bank; }
Answer WriteMemorySingleByte(ControlDevice& d, uint8_t value, LineContext&) {
  if (!d.writeEnabled) return kNo;
  // Only the configuration bank is writable; identity and status are the device's own.
  if (d.bank == 0xB0 && d.dtr < d.config.size()) d.config[d.dtr] = value;
  if (d.dtr < 0xFF) ++d.dtr;
  return kNo;
}
Answer ReadMemory(ControlDevice& d, uint8_t, LineContext&) {
  const Answer value = d.Read(d.dtr);
  if (d.dtr < 0xFF) ++d.dtr;
  return value;
}
Answer ReadDirectMemoryByte(ControlDevice& d, uint8_t location, LineContext&) {
  return d.Read(location);
}
Answer GroupAssignmentLow(ControlDevice& d, uint8_t bits, LineContext&) {
  d.config[1] = bits;
  return kNo;
}
Answer GroupAssignmentHigh(ControlDevice& d, uint8_t bits, LineContext&) {
  d.config[2] = bits;
  return kNo;
}
Answer AddToControlGroup(ControlDevice& d, uint8_t g, LineContext&) {
  if (g < 16) d.config[1 + g / 8] |= static_cast<uint8_t>(1u << (g % 8));
  return kNo;
}
Answer RemoveFromControlGroup(ControlDevice& d, uint8_t g, LineContext&) {
  if (g < 16) d.config[1 + g / 8] &= static_cast<uint8_t>(~(1u << (g % 8)));
  return kNo;
}
Answer QueryControlGroups(ControlDevice& d, uint8_t half, LineContext&) {
  if (half > 1) return kNo;
  return d.config[1 + half];
}

// --- addressing ---
Answer Initialize(ControlDevice& d, uint8_t, LineContext&) {
  d.initialise = Initialise::kEnabled;  // the selector is the frame's address byte
  return kNo;
}
Answer ProgramShortAddress(ControlDevice& d, uint8_t address, LineContext&) {
  // 255 clears the address of every device in the procedure (how "re-address all" starts); a new
  // address goes only to the device the search has selected.
  if (address == 0xFF ? d.initialise != Initialise::kDisabled : d.Selected()) {
    addressing::SetShortAddress<DeviceAddressByte>(d, address);
  }
  return kNo;
}
Answer SaveShortAddress(ControlDevice& d, uint8_t address, LineContext&) {
  addressing::SetShortAddress<DeviceAddressByte>(d, address);
  return kNo;
}
// Unlike gear, 255 verifies a device that has no address.
Answer VerifyShortAddress(ControlDevice& d, uint8_t address, LineContext&) {
  return YesIf(d.initialise != Initialise::kDisabled && d.shortAddress == address);
}
Answer QueryRandomAddressByte(ControlDevice& d, uint8_t which, LineContext&) {
  if (which > 2) return kNo;
  return static_cast<uint8_t>(d.randomAddress >> (16 - 8 * which));
}

// --- test commands and measurements ---
Answer PressSwitchOn(ControlDevice& d, uint8_t which, LineContext& ctx) {
  if (d.kind == kKindSwitch && which < 2) {
    // Type 1 is a switch, which stays on; a push-button (or erased type) is pressed and let go.
    const uint8_t type = SwitchType(d, which);
    Announce(d, static_cast<uint8_t>(0x20 + which), ctx);
    RunSwitchSequence(d, which, 0, ctx);
    if (type == 1) {
      d.inputs |= static_cast<uint8_t>(1u << which);
    } else {
      Announce(d, which, ctx);
    }
  } else if (d.kind == kKindOptoRelay && which < 4) {
    d.outputs |= static_cast<uint8_t>(1u << which);
  }
  return kNo;
}
Answer HoldForce(ControlDevice& d, uint8_t which, LineContext& ctx) {
  if (d.kind == kKindSwitch && which < 2) {
    Announce(d, static_cast<uint8_t>(0x40 + which), ctx);
    RunSwitchSequence(d, which, 1, ctx);
  } else if (d.kind == kKindPirSensor || d.kind == kKindPirLightSensor) {
    d.motion = true;
    Announce(d, 0x01, ctx);  // "PIR alarm"
  }
  return kNo;
}
Answer ReleaseSwitchOff(ControlDevice& d, uint8_t which, LineContext& ctx) {
  if (d.kind == kKindSwitch && which < 2) {
    // Letting go of a push-button runs nothing; a switch turned off runs its second sequence.
    if (SwitchType(d, which) == 1) RunSwitchSequence(d, which, 1, ctx);
    d.inputs &= static_cast<uint8_t>(~(1u << which));
    Announce(d, which, ctx);
  } else if (d.kind == kKindOptoRelay && which < 4) {
    d.outputs &= static_cast<uint8_t>(~(1u << which));
  } else if (d.kind == kKindPirSensor || d.kind == kKindPirLightSensor) {
    d.motion = false;
    Announce(d, 0x00, ctx);  // "PIR kľud"
  }
  return kNo;
}
Answer QueryState(ControlDevice& d, uint8_t, LineContext& ctx) {
  switch (d.kind) {
    case kKindLightSensor:
    case kKindPirLightSensor: {
      // A fresh measurement within 2 % of the nominal illuminance; the low byte waits in DTR or
      // DTR1 for the follow-up query, so the two halves always belong together.
      const int spread = d.illuminance / 50;
      const int value = std::clamp<int>(
          d.illuminance + (spread > 0 ? static_cast<int>(ctx.Below(2 * spread + 1)) - spread : 0),
          0, 0xFFFF);
      (d.LowByteInDtr() ? d.dtr : d.dtr1) = static_cast<uint8_t>(value & 0xFF);
      return static_cast<uint8_t>(value >> 8);
    }
    case kKindSwitch:
      return d.inputs;
    case kKindPirSensor:
      return d.motion ? 1 : 0;
    case kKindOptoRelay:
      return d.outputs;
    default:
      return kNo;
  }
}
Answer SetIndicator(ControlDevice& d, uint8_t value, LineContext&) {
  // The indicator number is bits 0-4; a number the device does not have changes nothing.
  const uint8_t indicator = value & 0x1F;
  if (indicator < d.indicators.size()) d.indicators[indicator] = static_cast<uint8_t>(value >> 5);
  return kNo;
}
Answer SetDtr1(ControlDevice& d, uint8_t value, LineContext&) {
  d.dtr1 = value;
  return kNo;
}
Answer QueryDtr1(ControlDevice& d, uint8_t, LineContext&) { return d.dtr1; }

constexpr DeviceCommand Plain(DeviceCommand::Handler h) { return {h, false, false, false}; }
constexpr DeviceCommand Twice(DeviceCommand::Handler h) { return {h, true, false, false}; }
constexpr DeviceCommand Query(DeviceCommand::Handler h) { return {h, false, true, false}; }

constexpr std::array<DeviceCommand, 256> kDevice = [] {
  std::array<DeviceCommand, 256> t{};
  t[0] = Plain(DataLess);
  t[2] = Twice(Reset);
  t[3] = Plain(SetDtr);
  t[4] = Query(QueryDtr);
  t[5] = Plain(SetBank);
  t[6] = Query(QueryBank);
  t[7] = Plain(WriteMemorySingleByte);
  t[8] = Query(ReadMemory);
  t[9] = Query(ReadDirectMemoryByte);
  t[10] = Plain(GroupAssignmentLow);
  t[11] = Plain(GroupAssignmentHigh);
  t[12] = Twice(AddToControlGroup);
  t[13] = Twice(RemoveFromControlGroup);
  t[14] = Query(QueryControlGroups);
  t[32] = Plain(addressing::Terminate);
  t[33] = Twice(Initialize);
  t[34] = Twice(addressing::Randomize);
  t[35] = Query(addressing::Compare);
  t[36] = Plain(addressing::Withdraw);
  t[37] = Plain(addressing::SearchAddress<16>);
  t[38] = Plain(addressing::SearchAddress<8>);
  t[39] = Plain(addressing::SearchAddress<0>);
  t[40] = Plain(ProgramShortAddress);
  t[41] = Plain(SaveShortAddress);
  t[42] = Query(VerifyShortAddress);
  t[43] = Query(addressing::QueryShortAddress<DeviceAddressByte>);
  t[45] = Query(QueryRandomAddressByte);
  t[130] = Plain(PressSwitchOn);
  t[131] = Plain(HoldForce);
  t[132] = Plain(ReleaseSwitchOff);
  t[133] = Query(QueryState);
  t[141] = Plain(SetIndicator);
  t[194] = Plain(SetDtr1);
  t[195] = Query(QueryDtr1);
  return t;
}();

}  // namespace

const DeviceCommand& ControlDeviceCommand(uint8_t opcode) { return kDevice[opcode]; }

}  // namespace lumetra::sim
