// The reading of one control gear or control device, request by request.
#include "commissioning/ParameterReading.h"

#include <utility>

#include "buslink/BusSession.h"
#include "commissioning/ScopeExit.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"

namespace lumetra {

namespace {

// The bus speaks arc levels: the table's percent display is off while the answers go in.
template <typename Table>
auto RawLevels(Table& table) {
  const uint8_t percent = table.PercentMode();
  table.SetPercentMode(0);
  return ScopeExit([&table, percent] { table.SetPercentMode(percent); });
}

template <typename Table>
void SetGroupByte(Table& table, uint32_t first, uint8_t bits) {
  for (uint32_t g = 0; g < 8; ++g) table.SetGroups(first + g, (bits >> g) & 1);
}

}  // namespace

void ReadGear(BusSession& session, TBalastConfig& t, bool quick, int a,
              const ReadCancelled& cancelled) {
  const auto raw = RawLevels(t);
  t.SetCurrentSlot(static_cast<uint8_t>(a));
  t.SetShortAddress(static_cast<uint32_t>(a));
  const BusTarget gear = BusTarget::Device(a);
  // A lamp that does not answer (or several at once) tells nothing: the gate's reply then only
  // echoes the request, which must not pass for a status or a level.
  auto ask = [&](const BusCommand& query) -> uint8_t {
    session.Gear(gear, query);
    return session.Answered() ? session.Answer() : TConfig::kNone;
  };

  if (!quick) {
    t.SetDeviceType(ask(gear::kQueryDeviceType));
    t.SetVersion(ask(gear::kQueryVersionNumber));
    t.SetPhysicalMinLevel(ask(gear::kQueryPhysicalMin));
  }
  t.SetStatus(ask(gear::kQueryStatus));
  t.SetActualLevel(ask(gear::kQueryActualLevel));
  if (quick) return;
  t.SetMinLevel(ask(gear::kQueryMinLevel));
  t.SetMaxLevel(ask(gear::kQueryMaxLevel));
  t.SetPowerOnLevel(ask(gear::kQueryPowerOnLevel));
  t.SetFailureLevel(ask(gear::kQueryFailureLevel));
  // Bytes of bit fields are known only when answered: 255 would read as every bit set.
  const uint8_t fade = ask(gear::kQueryFadeTimeRate);
  const bool fadeKnown = session.Answered();
  t.SetFadeRate(fadeKnown ? fade & 0x0F : TConfig::kNone);
  t.SetFadeTime(fadeKnown ? fade >> 4 : TConfig::kNone);
  auto groups = [&](uint32_t first, const BusCommand& query) {
    const uint8_t bits = ask(query);
    if (session.Answered()) {
      SetGroupByte(t, first, bits);
      return;
    }
    for (uint32_t g = 0; g < 8; ++g) t.SetGroups(first + g, TConfig::kNone);
  };
  groups(0, gear::kQueryGroupsLow);
  groups(8, gear::kQueryGroupsHigh);
  for (uint32_t s = 0; s < 16 && !cancelled(); ++s) {
    t.SetScenes(s, ask(gear::kQuerySceneLevel.At(static_cast<int>(s))));
  }
}

bool ReadDevice(BusSession& session, TControllerConfig& t, int a, const ReadCancelled& cancelled,
                const ReadProgress& progress) {
  const auto raw = RawLevels(t);
  t.SetCurrentSlot(static_cast<uint8_t>(a));
  t.SetShortAddress(static_cast<uint32_t>(a));
  // Until its answer arrives a value is not known: a reading that stops early leaves what it did
  // not reach unknown, not as an earlier reading or a document left it, so no editor writes it
  // back as if it had been read.
  for (auto set : {&TConfig::SetDeviceType, &TConfig::SetVersion, &TConfig::SetMinVersion,
                   &TConfig::SetStatus}) {
    (t.*set)(TConfig::kNone);
  }
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, TConfig::kNone);
  t.EraseRecord();
  const BusTarget target = BusTarget::Device(a);
  auto bank = [&](uint8_t number) { session.Device(target, device::kSetBank, number); };
  // A location the device leaves unanswered holds no value: the gate's reply then only echoes the
  // request.
  auto read = [&](uint8_t location) {
    session.Device(target, device::kReadDirectMemoryByte, location);
    return session.Answered() ? session.Answer() : uint8_t{TConfig::kNone};
  };

  bank(device::kIdentityBank);
  t.SetDeviceType(read(device::kKindLocation));
  t.SetVersion(read(device::kVersionLocation));
  t.SetMinVersion(read(device::kMinVersionLocation));
  bank(device::kStatusBank);
  t.SetStatus(read(device::kStatusLocation));
  bank(device::kConfigBank);
  // Bytes left unanswered keep the "not read" set above.
  for (const auto& [first, location] :
       {std::pair{0u, device::kGroupsLowLocation}, std::pair{8u, device::kGroupsHighLocation}}) {
    const uint8_t bits = read(location);
    if (session.Answered()) SetGroupByte(t, first, bits);
  }
  const uint8_t flags = read(device::kFlagsLocation);
  if (session.Answered()) t.SetMultimaster(flags >> 7);

  const KindImage* kind = KindImageFor(t.DeviceType());
  if (kind == nullptr) return false;
  // Bytes the firmware lacks are not on the device: they become 0 and the later bytes follow on
  // without a gap, so location and image index part ways from there on. A byte the device left
  // unanswered stays unknown, and a 16-bit value is stored only once both its bytes came, so a
  // reading that stops between them shows no made-up value.
  KindRecord image = t.Image(*kind);
  const int total = kind->EnableIndex();
  int count = 0;
  // The low byte of a 16-bit value waiting for its high byte; -1 for none.
  int low = -1;
  auto store = [&](uint16_t i, uint8_t byte, bool answered) {
    const ImagePart part = kind->cells[i].part;
    if (part == ImagePart::Low) {
      low = answered ? byte : -1;
      return;
    }
    if (part == ImagePart::High) {
      if (low >= 0 && answered) {
        image.StoreRead(i - 1u, static_cast<uint8_t>(low));
        image.StoreRead(i, byte);
      }
      low = -1;
      return;
    }
    if (answered) image.StoreRead(i, byte);
  };
  for (uint16_t i = 0; i < kind->EnableIndex() && !cancelled(); ++i) {
    if (!kind->OnDevice(i, t.Version(), t.MinVersion())) {
      image.SetImageByteAt(i, 0);
      image.MarkHeld(i);
      continue;
    }
    progress(count, total);
    const uint8_t byte = read(static_cast<uint8_t>(kImageFirstLocation + count));
    store(i, byte, session.Answered());
    ++count;
  }
  if (!cancelled()) {
    progress(count, total);
    const uint8_t byte = read(static_cast<uint8_t>(kImageFirstLocation + count));
    store(kind->EnableIndex(), byte, session.Answered());
  }
  return true;
}

SequenceResult ReadBalastStatuses(BusSession& session, TBalastConfig& table,
                                  const std::function<void(int a)>& reading) {
  const uint8_t selected = table.CurrentSlot();
  const ScopeExit restore([&table, selected] { table.SetCurrentSlot(selected); });
  // What the reading does not reach stays unknown rather than showing an earlier reading's state.
  {
    const auto raw = RawLevels(table);
    for (int a = 0; a < TConfig::kGroupSlot; ++a) {
      if (table.IsSlotFree(static_cast<uint32_t>(a))) continue;
      table.SetCurrentSlot(static_cast<uint8_t>(a));
      table.SetStatus(TConfig::kNone);
      table.SetActualLevel(TConfig::kNone);
    }
  }
  return RunSequence([&] {
    for (int a = 0; a < TConfig::kGroupSlot; ++a) {
      if (table.IsSlotFree(static_cast<uint32_t>(a))) continue;
      if (reading) reading(a);
      ReadGear(session, table, true, a, [] { return false; });
    }
  });
}

}  // namespace lumetra
