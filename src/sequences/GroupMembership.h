// Group membership of one device from the device grids: a right-click puts the device into the
// selected group or takes it out, on the bus and in the table.
#pragma once

#include "buslink/BusSession.h"

namespace lumetra {

class TConfig;

struct MembershipToggle {
  bool sent = false;    // false for all devices: there is no group to toggle
  bool member = false;  // whether the device is now in the group
  SequenceResult result;
};

// Toggles device `a` in the table's selected group and sends ADD TO / REMOVE FROM GROUP (control
// gear) or ADD TO / REMOVE FROM CONTROL GROUP N (control devices). The table's selection stays as
// it was.
MembershipToggle ToggleGroupMembership(BusSession& session, TConfig& table, bool gear, int a);

}  // namespace lumetra
