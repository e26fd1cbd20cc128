// Control gear commissioning: reading one gear, finding addressed ones, and the random-address
// search that gives the others the lowest free short addresses.
#include <cstdio>

#include "buslink/DaliCom.h"
#include "buslink/GearCommands.h"
#include "commissioning/GateThread.h"
#include "commissioning/ScopeExit.h"
#include "model/BalastConfig.h"

namespace lumetra {

namespace {

using namespace gear;
constexpr uint8_t kSeveral = 3;  // reply byte 3 of the gate's receive error
constexpr auto kPauseAfterYes = std::chrono::milliseconds(25);

uint8_t CommandAddress(int a) { return static_cast<uint8_t>(2 * a + 1); }

}  // namespace

int TGateThread::ReadGearParameters(int quick, int a) {
  try {
    ReadGear(quick, a);
    return kExchangeReplied;
  } catch (const ExchangeFailed& e) {
    return e.result;
  }
}

void TGateThread::ReadGear(int quick, int a) {
  TBalastConfig& t = *BalastConfig;
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

  const uint8_t address = CommandAddress(a);
  if (!quick) {
    Gear(address, 0x99);  // QUERY DEVICE TYPE
    t.SetDeviceType(Answer());
    Gear(address, 0x97);  // QUERY VERSION NUMBER
    t.SetVersion(Answer());
    Gear(address, 0x9A);  // QUERY PHYSICAL MIN
    t.SetPhysicalMinLevel(Answer());
  }
  Gear(address, 0x90);  // QUERY STATUS
  t.SetStatus(Answer());
  Gear(address, 0xA0);  // QUERY ACTUAL LEVEL
  t.SetActualLevel(Answer());
  if (quick) return;
  Gear(address, 0xA2);
  t.SetMinLevel(Answer());
  Gear(address, 0xA1);
  t.SetMaxLevel(Answer());
  Gear(address, 0xA3);
  t.SetPowerOnLevel(Answer());
  Gear(address, 0xA4);
  t.SetFailureLevel(Answer());
  Gear(address, 0xA5);  // QUERY FADE TIME RATE: time in the high nibble, rate in the low one
  t.SetFadeRate(Answer() & 0x0F);
  t.SetFadeTime(Answer() >> 4);
  Gear(address, 0xC0);
  for (uint32_t g = 0; g < 8; ++g) t.SetGroups(g, (Answer() >> g) & 1);
  Gear(address, 0xC1);
  for (uint32_t g = 0; g < 8; ++g) t.SetGroups(g + 8, (Answer() >> g) & 1);
  for (uint32_t s = 0; s < 16 && !Cancelled(); ++s) {
    Gear(address, static_cast<uint8_t>(0xB0 + s));  // QUERY SCENE LEVEL
    t.SetScenes(s, Answer());
  }
}

void TGateThread::FindGear() {
  TBalastConfig& t = *BalastConfig;
  Message = kMessageFinding;
  ShowMessageText();
  for (int a = 0; a < 64 && !Cancelled(); ++a) {
    MarkGearAddress(a);
    Gear(CommandAddress(a), kQueryBalast);
    if (Answer() == kYes) {
      ReadGear(0, a);
      MarkGearFound();
    } else if (AnsweredBySeveral()) {
      // Two gear share this address: it is in use, and the search must not hand it out again.
      // The check after the job names it.
      t.SetCurrentSlot(static_cast<uint8_t>(a));
      t.SetShortAddress(static_cast<uint32_t>(a));
      MarkGearFound();
    }
  }
  MarkGearAddress(64);
  FinishGear();
}

void TGateThread::FinishGear() {
  TBalastConfig& t = *BalastConfig;
  t.SetCurrentGroup(TConfig::kAllDevices);
  OnUi([this] {
    if (TabsFrame) TabsFrame->ShowGearGroups();
  });
  t.SetCurrentSlot(t.FirstUsedSlot());
}

void TGateThread::AddressAddedGear() {
  GearTwice(kInitialise, 0xFF);
  FindGear();
  Message = kMessageAssigning;
  ShowMessageText();
  SearchGear();
  Gear(kTerminate, 0);
  FinishGear();
}

void TGateThread::ReaddressAllGear() {
  Message.clear();
  ShowMessageText();
  GearTwice(kInitialise, 0);
  Gear(kDtr, 0xFF);
  GearTwice(kBroadcast, kStoreDtrAsShortAddress);
  Message = kMessageClearingGroups;
  ShowMessageText();
  for (uint8_t g = 0; g < 16 && !Cancelled(); ++g) {
    GearTwice(kBroadcast, static_cast<uint8_t>(kRemoveFromGroup + g));
  }
  Message = kMessageAssigning;
  ShowMessageText();
  SearchGear();
  FinishGear();
  Gear(kTerminate, 0);
}

void TGateThread::SearchGear() {
  TBalastConfig& t = *BalastConfig;
  int count = 0;
  GearTwice(kRandomise, 0);
  for (;;) {
    // One pass isolates the gear with the lowest random address.
    uint32_t answer = 0, high = 0xFFFFFF, low = 0, previous = 0;
    for (;;) {
      const uint32_t mid = (high + low) / 2;
      // Only the bytes that changed since the last probe go out; L, M, H in that order.
      const uint8_t codes[3] = {kSearchL, kSearchM, kSearchH};
      for (int k = 0; k < 3; ++k) {
        const uint8_t byte = static_cast<uint8_t>(mid >> (8 * k));
        if (byte != static_cast<uint8_t>(previous >> (8 * k))) Gear(codes[k], byte);
      }
      if (high == low && answer != 0) break;
      Gear(kCompare, 0);
      if (Answer() == kYes || AnsweredBySeveral()) {
        answer = Answer();
        if (Pause) {
          Pause(kPauseAfterYes);
        } else {
          std::this_thread::sleep_for(kPauseAfterYes);
        }
        high = mid;
      } else {
        low = mid + 1;
      }
      previous = mid;
      if (high < low || Cancelled()) break;
    }

    if (answer == kSeveral && !Cancelled()) {
      // Several gear drew the same lowest random address: let them draw again.
      GearTwice(kRandomise, 0);
    } else if (answer == kYes && !Cancelled()) {
      const uint8_t n = t.FirstFreeSlot();
      if (n < 64) {
        Gear(kProgramShortAddress, CommandAddress(n));
        Gear(kQueryShortAddress, 0);
        // A double answer is no confirmation, even where its byte happens to read as 2n + 1.
        if (!AnsweredBySeveral() && (Answer() >> 1) == n) {
          MarkGearAddress(n);
          Gear(kWithdraw, 0);
          ReadGear(0, n);
          MarkGearFound();
          ++count;
        }
      }
    } else {
      break;
    }
    if (count >= 64 || Cancelled()) break;
  }
  MarkGearAddress(64);
}

void TGateThread::CheckGear() {
  TBalastConfig& t = *BalastConfig;
  const uint8_t remembered = t.CurrentSlot();
  for (int a = 0; a < 64; ++a) {
    if (t.IsSlotFree(static_cast<uint32_t>(a))) continue;
    Gear(CommandAddress(a), kQueryBalast);
    if (AnsweredBySeveral()) {
      Problems_.push_back({'A', a, AddressProblem::kSeveral});
    } else if (Answer() != kYes) {
      Problems_.push_back({'A', a, AddressProblem::kSilent});
    }
  }
  t.SetCurrentSlot(remembered);
}

}  // namespace lumetra
