// The control gear editor against the simulated line: what the installer writes reaches the device,
// and "Čítať parametre" brings the same values back into the editor.
#include <mutex>

#include "GearEditorFixture.h"
#include "sim/SimulatedLine.h"

namespace lumetra {
namespace {

class GearLineTest : public test::GearEditorFixture {
 protected:
  void SetUp() override {
    sim::LineDescription description;
    sim::GearDescription g;
    g.shortAddress = 4;
    g.deviceType = 6;
    g.version = 0x12;
    g.physicalMin = 85;
    g.diagnostics = true;
    g.diagnosticMemory = {1, 2, 3, 4, 50, 60, 70, 80, 90};
    description.gear.push_back(g);
    g.shortAddress = 9;
    g.diagnostics = false;
    description.gear.push_back(g);
    line = std::make_unique<sim::SimulatedLine>(description);
    gate.SetResponder([this](const test::Frame& request) -> std::optional<test::Frame> {
      std::lock_guard lock(mutex);
      return line->Exchange(request).reply;
    });
    Open({});
    SetUnit(kArc);
  }

  const sim::ControlGear& Device4() {
    std::lock_guard lock(mutex);
    return line->Gear()[0];
  }

  // Everything the editor shows of a device.
  QStringList Shown() const {
    QStringList texts;
    for (QLineEdit* e : {editor->EditType, editor->EditVersion, editor->EditPhysicalMin,
                         editor->EditShortAddr, editor->EditActLevel, editor->EditMinLevel,
                         editor->EditMaxLevel, editor->EditPowerOnLevel, editor->EditFailureLevel,
                         editor->EditFadeRate, editor->EditFadeTime}) {
      texts << e->text();
    }
    for (int i = 0; i < 16; ++i) {
      texts << QStringLiteral("%1:%2:%3")
                   .arg(editor->CheckBoxG[static_cast<size_t>(i)]->isChecked())
                   .arg(editor->CheckBoxS[static_cast<size_t>(i)]->isChecked())
                   .arg(editor->EditScene[static_cast<size_t>(i)]->text());
    }
    return texts;
  }

  std::mutex mutex;
  std::unique_ptr<sim::SimulatedLine> line;
};

TEST_F(GearLineTest, WrittenSettingsGroupsAndScenesReadBackTheSame) {
  // The device is known by its address only until it has been read.
  table->SetCurrentSlot(4);
  table->SetShortAddress(4);
  Select(4);
  editor->ButtonReadBalast->click();
  EXPECT_EQ(editor->EditType->text(), QStringLiteral("6 - LED"));
  EXPECT_EQ(editor->EditVersion->text(), QStringLiteral("1.02"));
  EXPECT_EQ(editor->EditPhysicalMin->text(), QStringLiteral("85"));

  Type(editor->EditMinLevel, QStringLiteral("100"));
  Type(editor->EditMaxLevel, QStringLiteral("230"));
  Type(editor->EditPowerOnLevel, QStringLiteral("200"));
  Type(editor->EditFailureLevel, QStringLiteral("150"));
  Type(editor->EditFadeRate, QStringLiteral("5"));
  Type(editor->EditFadeTime, QStringLiteral("11"));
  editor->ButtonNewSettings->click();
  for (int g : {2, 7, 15}) editor->CheckBoxG[static_cast<size_t>(g)]->click();
  editor->ButtonNewGroups->click();
  for (int s : {0, 5}) editor->CheckBoxS[static_cast<size_t>(s)]->click();
  Type(editor->EditScene[0], QStringLiteral("180"));
  Type(editor->EditScene[5], QStringLiteral("120"));
  editor->ButtonNewScene->click();
  Type(editor->EditActLevel, QStringLiteral("210"));
  editor->ButtonNewActLevel->click();
  EXPECT_TRUE(StatusLine().isEmpty());

  const sim::ControlGear& d = Device4();
  EXPECT_EQ(d.minLevel, 100);
  EXPECT_EQ(d.maxLevel, 230);
  EXPECT_EQ(d.powerOnLevel, 200);
  EXPECT_EQ(d.failureLevel, 150);
  EXPECT_EQ(d.fadeRate, 5);
  EXPECT_EQ(d.fadeTime, 11);
  EXPECT_EQ(d.groups, (1u << 2) | (1u << 7) | (1u << 15));
  EXPECT_EQ(d.scenes[0], 180);
  EXPECT_EQ(d.scenes[5], 120);
  EXPECT_EQ(d.scenes[1], 255);
  EXPECT_EQ(d.actualLevel, 210);
  EXPECT_EQ(line->Gear()[1].groups, 0);  // device 9 heard none of it
  EXPECT_EQ(line->Gear()[1].maxLevel, 254);

  // Forget everything but the address, then read it back.
  const QStringList written = Shown();
  table->Clear();
  table->SetCurrentSlot(4);
  table->SetShortAddress(4);
  editor->RefreshView();
  ASSERT_NE(Shown(), written);
  editor->ButtonReadBalast->click();
  EXPECT_EQ(Shown(), written);
  EXPECT_TRUE(editor->CheckBoxPowerOn->isChecked());

  // The diagnostics reach the same device's memory.
  auto* diag = editor->ZorvikBalastFrame;
  diag->ButtonRead->click();
  EXPECT_EQ(diag->EditFset->text(), QStringLiteral("2"));
  diag->EditP->setText(QStringLiteral("300"));
  diag->ButtonWrite->click();
  diag->EditP->clear();
  diag->ButtonRead->click();
  EXPECT_EQ(diag->EditP->text(), QStringLiteral("44"));
  EXPECT_EQ(diag->EditFset->text(), QStringLiteral("2"));
  EXPECT_FALSE(diag->EditUzap->text().isEmpty());
  EXPECT_FALSE(diag->PanelWrite->isVisible());
}

}  // namespace
}  // namespace lumetra
