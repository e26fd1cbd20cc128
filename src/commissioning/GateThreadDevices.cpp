// Control device commissioning: reading a device's identity and memory image, finding addressed
// devices, and the random-address search of the devices without one.
#include <cstdio>

#include "buslink/DaliCom.h"
#include "commissioning/GateThread.h"
#include "commissioning/ScopeExit.h"
#include "model/ControllerConfig.h"

namespace lumetra {

namespace {

// Kind 4 opcodes.
constexpr uint8_t kSetDtr = 3;
constexpr uint8_t kQueryDtr = 4;
constexpr uint8_t kSetBank = 5;
constexpr uint8_t kReadByte = 9;  // READ DIRECT MEMORY BYTE
constexpr uint8_t kGroupsLow = 10;
constexpr uint8_t kGroupsHigh = 11;
constexpr uint8_t kTerminate = 32;
constexpr uint8_t kInitialise = 33;
constexpr uint8_t kRandomise = 34;
constexpr uint8_t kCompare = 35;
constexpr uint8_t kWithdraw = 36;
constexpr uint8_t kSearchH = 37;
constexpr uint8_t kSearchM = 38;
constexpr uint8_t kSearchL = 39;
constexpr uint8_t kProgramShortAddress = 40;
constexpr uint8_t kQueryShortAddress = 43;
constexpr uint8_t kAll = 0xFF;
constexpr uint8_t kUnaddressed = 0xFC;
constexpr uint8_t kIdentityBank = 0x90;
constexpr uint8_t kStatusBank = 0xA0;
constexpr uint8_t kConfigBank = 0xB0;
constexpr uint8_t kYes = 255;
constexpr int kMaxPasses = 64;
constexpr int kCompareBurst = 10;

}  // namespace

int TGateThread::ReadDeviceParameters(int a) {
  try {
    ReadDevice(a);
    return kExchangeReplied;
  } catch (const ExchangeFailed& e) {
    return e.result;
  }
}

void TGateThread::ReadDevice(int a) {
  TControllerConfig& t = *ControllerConfig;
  const uint8_t percent = t.PercentMode();
  t.SetPercentMode(0);
  t.SetCurrentSlot(static_cast<uint8_t>(a));
  t.SetShortAddress(static_cast<uint32_t>(a));
  const std::string previous = ProgressMessage();
  Message = kMessageReading;
  ShowMessageText();
  const ScopeExit restore([&] {
    Message = previous;
    ShowMessageText();
    t.SetPercentMode(percent);
  });

  const auto d = static_cast<uint8_t>(a);
  Device(d, kSetBank, kIdentityBank);
  Device(d, kReadByte, 2);
  t.SetDeviceType(Answer());
  Device(d, kReadByte, 0);
  t.SetVersion(Answer());
  Device(d, kReadByte, 1);
  t.SetMinVersion(Answer());
  Device(d, kSetBank, kStatusBank);
  Device(d, kReadByte, 0);
  t.SetStatus(Answer());
  Device(d, kSetBank, kConfigBank);
  Device(d, kReadByte, 1);
  for (uint32_t g = 0; g < 8; ++g) t.SetGroups(g, (Answer() >> g) & 1);
  Device(d, kReadByte, 2);
  for (uint32_t g = 0; g < 8; ++g) t.SetGroups(g + 8, (Answer() >> g) & 1);
  Device(d, kReadByte, 6);
  t.SetMultimaster(Answer() >> 7);

  const KindImage* kind = KindImageFor(t.DeviceType());
  if (kind == nullptr) return;
  // Bytes the firmware lacks are not on the device: they become 0 and the later bytes follow on
  // without a gap, so location and image index part ways from there on.
  KindRecord image = t.Image(*kind);
  ReadCount = 0;
  ReadTotal = kind->EnableIndex();
  for (uint16_t i = 0; i < kind->EnableIndex() && !Cancelled(); ++i) {
    if (!kind->OnDevice(i, t.Version(), t.MinVersion())) {
      image.SetImageByteAt(i, 0);
      continue;
    }
    ShowReadProgress();
    Device(d, kReadByte, static_cast<uint8_t>(kImageFirstLocation + ReadCount));
    image.SetImageByteAt(i, Answer());
    ++ReadCount;
  }
  if (!Cancelled()) {
    ShowReadProgress();
    Device(d, kReadByte, static_cast<uint8_t>(kImageFirstLocation + ReadCount));
    image.SetImageByteAt(kind->EnableIndex(), Answer());
  }
  ClearReadProgress();
}

void TGateThread::FindDevices() {
  TControllerConfig& t = *ControllerConfig;
  Device(kAll, kSetDtr, 0);
  Message = kMessageFinding;
  ShowMessageText();
  for (int a = 0; a < 64 && !Cancelled(); ++a) {
    MarkDeviceAddress(a);
    Device(static_cast<uint8_t>(a), kSetDtr, 255);
    Device(static_cast<uint8_t>(a), kQueryDtr, 0);
    if (Answer() == kYes) {
      ReadDevice(a);
      MarkDeviceFound();
    } else if (AnsweredBySeveral()) {
      // Shared by two devices: in use, never handed out again; the check names it.
      t.SetCurrentSlot(static_cast<uint8_t>(a));
      t.SetShortAddress(static_cast<uint32_t>(a));
      MarkDeviceFound();
    }
  }
  MarkDeviceAddress(64);
  FinishDevices();
}

void TGateThread::FinishDevices() {
  TControllerConfig& t = *ControllerConfig;
  t.SetCurrentGroup(TConfig::kAllDevices);
  OnUi([this] {
    if (TabsFrame) TabsFrame->ShowDeviceGroups();
  });
  t.SetCurrentSlot(t.FirstUsedSlot());
}

void TGateThread::AddressAddedDevices() {
  SendTwice(4, kUnaddressed, kInitialise, 0);
  FindDevices();
  Message = kMessageAssigning;
  ShowMessageText();
  SearchDevices();
  Device(kAll, kTerminate, 0);
  FinishDevices();
}

void TGateThread::ReaddressAllDevices() {
  Message.clear();
  ShowMessageText();
  SendTwice(4, kAll, kInitialise, 0);
  Device(kAll, kProgramShortAddress, 255);
  Message = kMessageClearingGroups;
  ShowMessageText();
  for (int k = 0; k < 2; ++k) {
    Device(kAll, kGroupsLow, 0);
    Device(kAll, kGroupsHigh, 0);
  }
  Message = kMessageAssigning;
  ShowMessageText();
  SearchDevices();
  FinishDevices();
  Device(kAll, kTerminate, 0);
}

void TGateThread::SearchDevices() {
  TControllerConfig& t = *ControllerConfig;
  SendTwice(4, kAll, kRandomise, 0);
  for (int pass = 0; pass < kMaxPasses && !Cancelled(); ++pass) {
    uint32_t high = 0xFFFFFF, low = 0, previous = 0;
    Device(kAll, kSearchL, 0xFF);
    Device(kAll, kSearchM, 0xFF);
    Device(kAll, kSearchH, 0xFF);
    // Several devices answering at once reach the gate as a receive error. They are there all
    // the same: counting that as "no" would send the bisection past them and miss them all.
    bool someone = false;
    for (int k = 0; k < kCompareBurst && !Cancelled(); ++k) {
      Device(kAll, kCompare, 0);
      someone = Answer() == kYes || AnsweredBySeveral();
      if (someone) break;
    }
    if (!someone) break;  // nobody without a short address is left

    uint8_t last = 0;
    bool clash = false;

    while (!Cancelled()) {
      const uint32_t mid = (high + low) / 2;
      const uint8_t codes[3] = {kSearchL, kSearchM, kSearchH};
      for (int k = 0; k < 3; ++k) {
        const uint8_t byte = static_cast<uint8_t>(mid >> (8 * k));
        if (byte != static_cast<uint8_t>(previous >> (8 * k))) Device(kAll, codes[k], byte);
      }
      Device(kAll, kCompare, 0);
      last = Answer();
      clash = AnsweredBySeveral();
      if (low == high) break;
      if (last == kYes || AnsweredBySeveral()) {
        high = mid;
      } else {
        low = mid + 1;
      }
      previous = mid;
      if (low > high) break;
    }
    if (Cancelled()) break;
    if (clash) {
      // Several devices drew the same random address: ending the search here would leave them
      // all without an address. They draw again and the next pass separates them.
      SendTwice(4, kAll, kRandomise, 0);
      continue;
    }
    if (last != kYes) break;

    const uint8_t n = t.FirstFreeSlot();
    if (n < 64) {
      Device(kAll, kProgramShortAddress, n);
      Device(kAll, kQueryShortAddress, 0);
      if (!AnsweredBySeveral() && Answer() == n) {
        MarkDeviceAddress(n);
        Device(kAll, kWithdraw, 0);
        ReadDevice(n);
        MarkDeviceFound();
      }
    }
  }
  MarkDeviceAddress(64);
}

void TGateThread::CheckDevices() {
  TControllerConfig& t = *ControllerConfig;
  const uint8_t remembered = t.CurrentSlot();
  for (int a = 0; a < 64; ++a) {
    if (t.IsSlotFree(static_cast<uint32_t>(a))) continue;
    Device(static_cast<uint8_t>(a), kSetDtr, 255);
    Device(static_cast<uint8_t>(a), kQueryDtr, 0);
    if (AnsweredBySeveral()) {
      Problems_.push_back({'C', a, AddressProblem::kSeveral});
    } else if (Answer() != kYes) {
      Problems_.push_back({'C', a, AddressProblem::kSilent});
    }
  }
  t.SetCurrentSlot(remembered);
}

}  // namespace lumetra
