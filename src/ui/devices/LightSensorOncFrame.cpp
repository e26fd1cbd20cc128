// The light sensor's response rows: what each row shows of the table and what a change stores.
#include "ui/devices/LightSensorOncFrame.h"

#include <QHBoxLayout>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"

namespace lumetra {

namespace {}  // namespace

TLightSensorOncFrame::TLightSensorOncFrame(TOncHost& host, QWidget* parent)
    : TSensorOncFrame("LightSensorOncFrame", host, kScrollRange, kScrollStep, kMessageItems,
                      parent) {
  for (int row = 0; row < kRows; ++row) {
    AddRow(row);
    AddZones(row);
  }
}

void TLightSensorOncFrame::AddZones(int row) {
  const size_t r = static_cast<size_t>(row);
  for (int z = 0; z < kZones; ++z) {
    const QString name = QStringLiteral("RadioGroup") + QString::number(row + 1) +
                         QStringLiteral("OncG") + QString::number(z + 1) +
                         QStringLiteral("Enabled");
    auto* group = new TRadioGroup(name, QString(), {QString(), QString(), QString()});
    // The three positions sit side by side under the heading's "Nemeniť - Povoliť - Zakázať".
    delete group->layout();
    auto* line = new QHBoxLayout(group);
    line->setContentsMargins(4, 0, 4, 0);
    for (int i = 0; i < group->Count(); ++i) line->addWidget(group->Item(i));
    RadioGroupOncEnabled[static_cast<size_t>(z)][r] = group;
    connect(group, &TRadioGroup::Clicked, this,
            [this, row, z](int) { OnRadioGroupOncEnabledClick(row, z); });
    Grid()->addWidget(group, row, kOwnColumn + z);
  }
}

LightOnc TLightSensorOncFrame::OncAt(uint32_t row) const { return Table->LightSensor().Oncs(row); }

void TLightSensorOncFrame::ShowResponses() {
  Updating = true;
  LightSensorLayout layout = Table->LightSensor();
  // These firmware versions keep no zone control in a response.
  const bool zonesAbsent =
      light_image::OldResponseLayout(Table->FirmwareVersion(), Table->FirmwareMinVersion());
  for (int row = 0; row < kRows; ++row) {
    const size_t r = static_cast<size_t>(row);
    const LightOnc onc = layout.Oncs(static_cast<uint32_t>(row));
    ShowRow(row, onc);
    for (int z = 0; z < kZones; ++z) {
      TRadioGroup* group = RadioGroupOncEnabled[static_cast<size_t>(z)][r];
      group->SetItemIndex(onc.ZoneEnabled(static_cast<uint32_t>(z)));
      group->setEnabled(!zonesAbsent);
    }
  }
  Updating = false;
}

void TLightSensorOncFrame::OnRadioGroupOncEnabledClick(int row, int zone) {
  if (Updating) return;
  const int item =
      RadioGroupOncEnabled[static_cast<size_t>(zone)][static_cast<size_t>(row)]->ItemIndex();
  OncAt(static_cast<uint32_t>(row))
      .SetZoneEnabled(static_cast<uint32_t>(zone), static_cast<uint32_t>(item));
  Changed();
}

}  // namespace lumetra
