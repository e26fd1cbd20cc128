// Where each byte of a control device's configuration image came from: never reached (unknown),
// read from the device, or set here (typed, or opened from a document). A write sends a set byte
// only where it differs from what the device is known to hold, and never an unknown one.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "model/KindImage.h"

namespace lumetra {

enum class ByteOrigin : uint8_t { kUnknown, kRead, kSet };

// One record's knowledge, indexed by image index of the slot's kind.
class ImageOrigins {
 public:
  // Nothing is known: before a first reading, after an erase.
  void Forget() {
    known_.reset();
    set_.reset();
  }
  void Forget(uint16_t index) {
    if (index >= kMaxImageLength) return;
    known_.reset(index);
    set_.reset(index);
  }
  // The device holds `value` at `index` (it was read, or a write of it went through).
  void MarkHeld(uint16_t index, uint8_t value) {
    if (index >= kMaxImageLength) return;
    known_.set(index);
    held_[index] = value;
    set_.reset(index);
  }
  void MarkSet(uint16_t index) {
    if (index < kMaxImageLength) set_.set(index);
  }

  ByteOrigin Origin(uint16_t index) const {
    if (index >= kMaxImageLength) return ByteOrigin::kUnknown;
    if (set_.test(index)) return ByteOrigin::kSet;
    return known_.test(index) ? ByteOrigin::kRead : ByteOrigin::kUnknown;
  }
  bool Known(uint16_t index) const { return Origin(index) != ByteOrigin::kUnknown; }
  // Whether `value`, the record's byte at `index`, is to go to the device: set here and not what
  // the device is known to hold.
  bool Pending(uint16_t index, uint8_t value) const {
    return index < kMaxImageLength && set_.test(index) &&
           (!known_.test(index) || held_[index] != value);
  }

 private:
  std::bitset<kMaxImageLength> known_;
  std::bitset<kMaxImageLength> set_;
  std::array<uint8_t, kMaxImageLength> held_{};
};

}  // namespace lumetra
