// The combined motion and light sensor's responses to other devices' messages: 32 rows, each with
// a level in lx and the sequence it runs.
#pragma once

#include <QRadioButton>
#include <array>
#include <cstdint>

#include "model/ControllerLayouts.h"
#include "ui/devices/OncFrame.h"

namespace lumetra {

class TPIRLightSensorOncFrame : public TSensorOncFrame<PirLightOnc> {
  Q_OBJECT
 public:
  static constexpr int kScrollRange = 870;
  static constexpr int kScrollStep = 8;
  // Push-buttons and the motion sensors' alarm and quiet.
  static constexpr int kMessageItems = 9;

  TPIRLightSensorOncFrame(TOncHost& host, QWidget* parent);

  void ShowResponses();

  void OnRadioButtonOncSeq1Click(int row);
  void OnRadioButtonSeq2Click(int row);

  std::array<QWidget*, kRows> Panel{};
  std::array<QRadioButton*, kRows> RadioButtonOncSeq1{};
  std::array<QRadioButton*, kRows> RadioButtonOncSeq2{};

 protected:
  PirLightOnc OncAt(uint32_t row) const override;

 private:
  void AddSequenceChoice(int row);
};

}  // namespace lumetra
