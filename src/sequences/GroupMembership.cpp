// The right-click on a device tile.
#include "sequences/GroupMembership.h"

#include "model/Config.h"

namespace lumetra {

MembershipToggle ToggleGroupMembership(BusSession& session, TConfig& table, bool gear, int a) {
  const uint8_t g = table.CurrentGroup();
  if (g == TConfig::kAllDevices) return {};
  const uint8_t remembered = table.CurrentSlot();
  table.SetCurrentSlot(static_cast<uint8_t>(a));
  const bool member = table.Groups(g) == 0;
  table.SetGroups(g, member ? 1 : 0);
  MembershipToggle toggle{true, member, {}};
  toggle.result = RunSequence([&] {
    if (gear) {
      session.Gear(BusTarget::Device(a),
                   (member ? gear::kAddToGroup : gear::kRemoveFromGroup).At(g));
    } else {
      session.Device(BusTarget::Device(a),
                     member ? device::kAddToControlGroup : device::kRemoveFromControlGroup, g);
    }
  });
  table.SetCurrentSlot(remembered);
  return toggle;
}

}  // namespace lumetra
