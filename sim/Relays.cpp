// How a simulated opto-relay acts on the messages of other devices: its 32 responses in bank 0xB0.
#include "sim/Units.h"

namespace lumetra::sim {

namespace {

// The relay's image: seven bytes per response from location 7 (address, message index, message
// code, operator, level low, level high, RelayOn), the enable byte after the last response.
constexpr size_t kFirstResponse = 7;
constexpr size_t kResponseBytes = 7;
constexpr size_t kResponses = 32;
constexpr size_t kEnable = kFirstResponse + kResponses * kResponseBytes;  // 231
constexpr uint8_t kNone = 0xFF;

}  // namespace

void ControlDevice::HearMessage(uint8_t source, uint8_t message) {
  if (kind != kKindOptoRelay || config.size() <= kEnable || config[kEnable] == 0) return;
  for (size_t j = 0; j < kResponses; ++j) {
    const uint8_t* r = &config[kFirstResponse + j * kResponseBytes];
    if (r[0] != source || r[2] != message) continue;
    // The messages on this line carry no level, so a response that compares one never fires.
    if (r[3] != kNone) continue;
    const uint8_t action = r[6] >> 4;
    const uint8_t chosen = r[6] & 0x0F;
    if (action == 1) outputs |= chosen;
    if (action == 0) outputs &= static_cast<uint8_t>(~chosen);
  }
}

}  // namespace lumetra::sim
