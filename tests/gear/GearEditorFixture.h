// The real main window connected to a recording gate peer, with the page "Svietidlá" showing the
// control gear editor: tests click and type on it and read back the requests byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QStatusBar>
#include <QTest>
#include <memory>

#include "model/BalastConfig.h"
#include "support/GuiInput.h"
#include "support/LoopbackPeer.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"
#include "ui/gear/BalastFrame.h"
#include "ui/gear/ZorvikBalastFrame.h"

namespace lumetra::test {

using namespace std::chrono_literals;

inline Frame Gear(uint8_t address, uint8_t data) { return Wire(3, 0, address, data); }
inline std::vector<Frame> Twice(uint8_t address, uint8_t data) {
  return {Gear(address, data), Gear(address, data)};
}
inline std::vector<Frame>& operator+=(std::vector<Frame>& a, const std::vector<Frame>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class GearEditorFixture : public ::testing::Test {
 protected:
  static constexpr int kArc = 1;      // items of "Zobrazovať úroveň v"
  static constexpr int kPercent = 0;  //

  // Opens the gate towards `gate` and puts `devices` into the table with known values: every
  // device in no group, levels 100..104, fades 3 and 4, no scenes, type 6, version 0x11.
  void Open(const std::vector<int>& devices) {
    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Hala", "127.0.0.7", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    editor = form->GearEditor();
    table = &form->BalastConfig();
    form->DaliCom().SetReplyTimeout(150ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (int a : devices) {
      table->SetCurrentSlot(static_cast<uint8_t>(a));
      table->SetShortAddress(static_cast<uint32_t>(a));
      table->SetPercentMode(0);
      for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, 0);
      table->SetDeviceType(6);
      table->SetVersion(0x11);
      table->SetStatus(0);
      table->SetActualLevel(100);
      table->SetMinLevel(101);
      table->SetMaxLevel(102);
      table->SetPowerOnLevel(103);
      table->SetFailureLevel(104);
      table->SetPhysicalMinLevel(1);
      table->SetFadeRate(3);
      table->SetFadeTime(4);
      for (uint32_t s = 0; s < 16; ++s) table->SetScenes(s, 255);
    }
    table->SetCurrentSlot(static_cast<uint8_t>(devices.empty() ? 0 : devices.front()));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->LightsPage);
    ASSERT_TRUE(editor->isVisible());
  }

  void SetUnit(int item) { tabs->RadioGroupPercentArc->Item(item)->click(); }
  void Select(int a) { tabs->OnBalastButtonClick(a); }
  // Group g, or all devices for 16.
  void SelectGroup(int g) { tabs->OnBalastButtonGroupClick(g); }

  // Focus in, typed text, focus out to a control that checks nothing.
  void Type(QLineEdit* edit, const QString& text) { TypeAndLeave(edit, text, editor->EditType); }

  // Requests since the last call.
  std::vector<Frame> Sent() {
    const std::vector<Frame> all = gate.Requests();
    std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }

  // Raw table values, whatever the display unit.
  uint8_t Raw(uint8_t slot, uint8_t GearRecord::*field) const {
    return table->Record(slot)->*field;
  }

  QString StatusLine() {
    QCoreApplication::processEvents();
    return form->statusBar()->currentMessage();
  }

  LoopbackPeer gate{"127.0.0.7"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TBalastFrame* editor = nullptr;
  TBalastConfig* table = nullptr;
  size_t seen = 0;
};

}  // namespace lumetra::test
