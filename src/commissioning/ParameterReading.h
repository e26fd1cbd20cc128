// Reading one device's parameters from the bus into its slot of the table: the 28 queries of a
// control gear, the identity, status and configuration image of a control device.
#pragma once

#include <functional>

#include "buslink/BusSession.h"

namespace lumetra {

class TBalastConfig;
class TControllerConfig;

// Asked between requests where a reading may stop early.
using ReadCancelled = std::function<bool()>;
// Told before each byte of a control device's image is read: bytes read so far, and how many.
using ReadProgress = std::function<void(int count, int total)>;

// Slot `a` takes the answers (levels as raw arc values, whatever the table's display mode). A
// quick read asks only status and actual level. A failed exchange stops it (SequenceStopped).
void ReadGear(BusSession& session, TBalastConfig& table, bool quick, int a,
              const ReadCancelled& cancelled);
// Returns whether the device is of a kind with a configuration image (and its image was read).
bool ReadDevice(BusSession& session, TControllerConfig& table, int a,
                const ReadCancelled& cancelled, const ReadProgress& progress);

// The lamp status of the whole installation: the quick reading of every occupied control gear slot
// in ascending order, `reading(a)` told before slot a is read. The table's selected slot is kept.
// Every lamp's status and actual level is unknown (255) until its answers arrive: the first failed
// exchange stops the reading and leaves the rest unknown.
SequenceResult ReadBalastStatuses(BusSession& session, TBalastConfig& table,
                                  const std::function<void(int a)>& reading = {});

}  // namespace lumetra
