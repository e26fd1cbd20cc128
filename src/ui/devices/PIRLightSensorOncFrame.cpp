// The combined sensor's response rows: what each row shows of the table and what a change stores.
#include "ui/devices/PIRLightSensorOncFrame.h"

#include <QHBoxLayout>

#include "model/ControllerConfig.h"

namespace lumetra {

TPIRLightSensorOncFrame::TPIRLightSensorOncFrame(TOncHost& host, QWidget* parent)
    : TSensorOncFrame("PIRLightSensorOncFrame", host, kScrollRange, kScrollStep, kMessageItems,
                      parent) {
  for (int row = 0; row < kRows; ++row) {
    AddRow(row);
    AddSequenceChoice(row);
  }
}

void TPIRLightSensorOncFrame::AddSequenceChoice(int row) {
  const size_t r = static_cast<size_t>(row);
  // The panel makes each row's pair of buttons a choice of its own.
  QWidget* panel = Panel[r] = RowControl<QWidget>(QStringLiteral("Panel"), row, QString());
  auto* line = new QHBoxLayout(panel);
  line->setContentsMargins(0, 0, 0, 0);
  QRadioButton* seq1 = RadioButtonOncSeq1[r] =
      RowControl<QRadioButton>(QStringLiteral("RadioButton"), row, QStringLiteral("OncSeq1"));
  QRadioButton* seq2 = RadioButtonOncSeq2[r] =
      RowControl<QRadioButton>(QStringLiteral("RadioButton"), row, QStringLiteral("OncSeq2"));
  seq1->setChecked(true);
  line->addWidget(seq1);
  line->addWidget(seq2);
  connect(seq1, &QRadioButton::clicked, this,
          [this, row](bool) { OnRadioButtonOncSeq1Click(row); });
  connect(seq2, &QRadioButton::clicked, this, [this, row](bool) { OnRadioButtonSeq2Click(row); });
  Grid()->addWidget(panel, row, kOwnColumn);
}

PirLightOnc TPIRLightSensorOncFrame::OncAt(uint32_t row) const {
  return Table->PirLightSensor().Oncs(row);
}

void TPIRLightSensorOncFrame::ShowResponses() {
  Updating = true;
  PirLightSensorLayout layout = Table->PirLightSensor();
  // Firmware 1.000 has only the first sequence.
  const bool oneSequence = FirmwareIs(1, 0);
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const PirLightOnc onc = layout.Oncs(static_cast<uint32_t>(row));
    ShowRow(row, onc);
    RadioButtonOncSeq1[r]->setEnabled(!oneSequence);
    RadioButtonOncSeq2[r]->setEnabled(!oneSequence);
    if (oneSequence || onc.SequenceIndex() == 0) {
      RadioButtonOncSeq1[r]->setChecked(true);
    } else if (onc.SequenceIndex() == 1) {
      RadioButtonOncSeq2[r]->setChecked(true);
    }
  }
  Updating = false;
}

void TPIRLightSensorOncFrame::OnRadioButtonOncSeq1Click(int row) {
  if (Updating) return;
  OncAt(static_cast<uint32_t>(row)).SetSequenceIndex(0);
  Changed();
}

void TPIRLightSensorOncFrame::OnRadioButtonSeq2Click(int row) {
  if (Updating) return;
  OncAt(static_cast<uint32_t>(row)).SetSequenceIndex(1);
  Changed();
}

}  // namespace lumetra
