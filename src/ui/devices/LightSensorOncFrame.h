// The light sensor's responses to other devices' messages: 32 rows, each with a level in lx and
// what it does to the control of each of the four zones.
#pragma once

#include <array>
#include <cstdint>

#include "model/ControllerLayouts.h"
#include "ui/Widgets.h"
#include "ui/devices/OncFrame.h"

namespace lumetra {

class TLightSensorOncFrame : public TSensorOncFrame<LightOnc> {
  Q_OBJECT
 public:
  static constexpr int kZones = 4;
  static constexpr int kScrollRange = 930;
  static constexpr int kScrollStep = 8;
  // Every message, the motion sensors' dimming steps included.
  static constexpr int kMessageItems = 11;

  TLightSensorOncFrame(TOncHost& host, QWidget* parent);

  void ShowResponses();

  // zone 0..3: RadioGroup<n>OncG1Enabled..G4Enabled
  void OnRadioGroupOncEnabledClick(int row, int zone);

  std::array<std::array<TRadioGroup*, kRows>, kZones> RadioGroupOncEnabled{};

 protected:
  LightOnc OncAt(uint32_t row) const override;

 private:
  void AddZones(int row);
};

}  // namespace lumetra
