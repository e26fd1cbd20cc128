// The opto-relay editor's bus sequences.
#include "sequences/OptoRelaySequences.h"

#include "model/ControllerConfig.h"
#include "model/KindImage.h"
#include "sequences/DeviceSequences.h"

namespace lumetra {

namespace {

SequenceResult Refused(const char* reason) { return SequenceResult{kSequenceRefused, {}, reason}; }

}  // namespace

std::vector<uint8_t> RelayResponseImage(TControllerConfig& t) {
  const OptoRelayLayout relay = t.OptoRelay();
  const KindImage& image = kOptoRelayImage;
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(image.ResponseCount()) * image.ResponseBytes());
  for (uint32_t j = 0; j < image.ResponseCount(); ++j) {
    for (uint32_t n = 0; n < image.ResponseBytes(); ++n) bytes.push_back(relay.ImageByte(j, n));
  }
  return bytes;
}

SequenceResult WriteRelayEnabled(BusSession& session, TControllerConfig& t) {
  return WriteEnableByte(session, t, kOptoRelayImage,
                         "Povolenie optorelé nie je nastavené ani prečítané: nie je čo zapísať");
}

ImageWrite PlanRelayResponses(TControllerConfig& t) {
  return PlanImageWrite(t, kOptoRelayImage, 0, kOptoRelayImage.EnableIndex());
}

SequenceResult WriteRelayResponses(BusSession& session, TControllerConfig& t,
                                   const std::function<void(int written)>& written) {
  return WriteImage(session, t, PlanRelayResponses(t), written);
}

SequenceResult TestRelayOutput(BusSession& session, const TControllerConfig& t, int output,
                               bool on) {
  if (output < 0 || output >= kRelayOutputs) return Refused("Nie je vybraný výstup optorelé");
  if (t.CurrentSlot() < TConfig::kGroupSlot && t.IsSlotFree(t.CurrentSlot())) {
    return Refused("Nie je vybraný žiadny ovládač");
  }
  return RunSequence([&] {
    session.Device(SelectedTarget(t), on ? device::kPressSwitchOn : device::kReleaseSwitchOff,
                   static_cast<uint8_t>(output));
  });
}

}  // namespace lumetra
