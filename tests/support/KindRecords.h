// Control device records set up as a test needs them: every image byte set (as from a document
// that knew the whole device) or every byte known as the device holds it (as after a reading).
#pragma once

#include <cstdint>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"

namespace lumetra::test {

// Every byte of the selected record's image counts as set, and the device's content as unknown:
// its write is the whole image.
inline void SetWholeImage(TControllerConfig& t, const KindImage& kind) {
  KindRecord image = t.Image(kind);
  for (uint16_t i = 0; i < kind.length; ++i) {
    image.Forget(i);
    image.MarkSet(i);
  }
}

// Every byte of the selected record's image counts as read: the device holds what it shows.
inline void MarkAllRead(TControllerConfig& t, const KindImage& kind) {
  KindRecord image = t.Image(kind);
  for (uint16_t i = 0; i < kind.length; ++i) image.MarkHeld(i);
}

// Whether two records hold the same values, whatever each knows of where they came from (a
// document opens as set what a reading had as read).
inline bool SameValues(const ControllerRecord* a, const ControllerRecord* b) {
  return a->Layout == b->Layout && a->Multimaster == b->Multimaster;
}

}  // namespace lumetra::test
