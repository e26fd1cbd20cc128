// The light sensor's and the combined sensor's editors inside the control device editor of the
// real main window, their gate answered by the simulated line: what the pages show by firmware,
// what typing and choosing store or refuse, and the writes, the measured value and the tests byte
// for byte.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>

#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/GuiInput.h"
#include "support/KindRecords.h"
#include "support/LoopbackPeer.h"
#include "support/PaintedTexts.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/ErrorDlg.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/devices/LightSensorFrame.h"
#include "ui/devices/LightSensorOncFrame.h"
#include "ui/devices/PirLightSensorFrame.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::Frame;
using test::PaintedTexts;

Frame Device(uint8_t address, uint8_t opcode, uint8_t parameter) {
  return test::Wire(4, address, opcode, parameter);
}

Frame Answer(const Frame& request, uint8_t value) {
  const uint8_t b0 = kReplyAnswer;
  return {b0, request[1], request[2], value,
          static_cast<uint8_t>(b0 ^ request[1] ^ request[2] ^ value)};
}

// A light sensor 12 in group 1, a combined sensor 14 and a multimaster switch 3 in group 2.
class SensorFrameTest : public ::testing::Test {
 protected:
  static constexpr uint8_t kLight = 12;
  static constexpr uint8_t kCombined = 14;

  void SetUp() override {
    struct Unit {
      uint8_t address, kind;
    };
    const Unit units[] = {
        {kLight, kKindLightSensor}, {kCombined, kKindPirLightSensor}, {3, kKindSwitch}};
    sim::LineDescription description;
    for (const Unit& u : units) {
      sim::DeviceDescription d;
      d.shortAddress = u.address;
      d.kind = u.kind;
      d.versionMinor = 5;
      d.multimaster = u.kind == kKindSwitch;
      d.groups = u.kind == kKindLightSensor ? 1 << 1 : 1 << 2;
      description.devices.push_back(d);
    }
    line = std::make_unique<sim::SimulatedLine>(description);
    gate.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      std::lock_guard lock(mutex);
      if (++answered == silentAt) return std::nullopt;
      if (answer) {
        if (auto value = answer(request)) return Answer(request, *value);
      }
      return line->Exchange(request).reply;
    });
    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Hala", "127.0.0.9", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    host = form->DeviceEditor();
    light = form->findChild<TLightSensorFrame*>("LightSensorFrame");
    combined = form->findChild<TPirLightSensorFrame*>("PirLightSensorFrame");
    ASSERT_NE(light, nullptr);
    ASSERT_NE(combined, nullptr);
    table = &form->ControllerConfig();
    form->DaliCom().SetReplyTimeout(100ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    for (const Unit& u : units) {
      table->SetCurrentSlot(u.address);
      table->SetShortAddress(u.address);
      table->SetDeviceType(u.kind);
      table->SetVersion(1);
      table->SetMinVersion(5);
      table->SetStatus(0);
      table->SetMultimaster(u.kind == kKindSwitch ? 1 : 0);
      for (uint32_t g = 0; g < 16; ++g)
        table->SetGroups(g, g == (u.kind == kKindLightSensor ? 1u : 2u));
    }
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  }

  void Select(uint8_t a, uint8_t minor) {
    table->SetCurrentSlot(a);
    table->SetMinVersion(minor);
    tabs->OnControlButtonClick(a);
  }
  // Every field a write needs, as a reading would have left them.
  void FillLight(uint8_t slot = kLight) {
    table->SetCurrentSlot(slot);
    LightSensorLayout s = table->LightSensor();
    s.SetClosedLoop(1);
    s.SetDefaultLevel(4464);
    s.SetOnLevel(30);
    s.SetOffLevel(80);
    s.SetOffTimeout(60);
    s.SetMaxLevel(100);
    s.SetMinLevel(1);
    s.SetDelta(10);
    s.SetScale(10);
    // As a document that knew the whole device: the write is the whole image.
    test::SetWholeImage(*table, kLightSensorImage);
  }
  void FillCombined() {
    table->SetCurrentSlot(kCombined);
    PirLightSensorLayout s = table->PirLightSensor();
    for (uint32_t q = 0; q < 2; ++q) {
      for (uint32_t c = 0; c < 3; ++c) {
        s.Sequences(q).Commands(c).SetLevel(100);
        s.Sequences(q).Commands(c).SetTimeout(10);
      }
    }
    s.SetOnLevel(10);
    s.SetOffLevel(20);
    s.SetOffTimeout(30);
    s.SetMaxLevel(90);
    s.SetMinLevel(10);
    test::SetWholeImage(*table, kPirLightSensorImage);
  }
  void Type(QLineEdit* edit, const QString& text) {
    test::TypeAndLeave(edit, text,
                       host->ShownKindFrame() == combined ? combined->ButtonOn : light->ButtonOn);
  }
  static void Choose(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
  }
  std::vector<Frame> Sent() {
    const std::vector<Frame> all = gate.Requests();
    std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }
  void SilenceRequest(int n) {
    std::lock_guard lock(mutex);
    silentAt = answered + n;
  }
  void AnswerWith(std::function<std::optional<uint8_t>(const Frame&)> a) {
    std::lock_guard lock(mutex);
    answer = std::move(a);
  }
  // Clicks `button`, which opens the page's error dialog; its text, after "OK".
  QString DialogText(QPushButton* button) {
    QString text;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TErrorDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Chyba"));
      text = dialog->Memo1->toPlainText();
      dialog->ButtonOk->click();
    });
    button->click();
    return text;
  }
  void WriteAndWait(QPushButton* button) {
    button->click();
    ASSERT_TRUE(tabs->TaskRunning());
    ASSERT_TRUE(test::WaitUntil([&] { return !tabs->TaskRunning(); }));
  }
  QString StatusLine() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return form->statusBar()->currentMessage();
  }
  // The focus enters the edit and leaves it, nothing typed.
  void PassThrough(QLineEdit* edit) {
    edit->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit->hasFocus());
    (host->ShownKindFrame() == combined ? combined->ButtonOn : light->ButtonOn)
        ->setFocus(Qt::TabFocusReason);
  }

  std::mutex mutex;
  int answered = 0;
  int silentAt = -1;
  std::function<std::optional<uint8_t>(const Frame&)> answer;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.9"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TControllerFrame* host = nullptr;
  TLightSensorFrame* light = nullptr;
  TPirLightSensorFrame* combined = nullptr;
  TControllerConfig* table = nullptr;
  size_t seen = 0;
};

TEST_F(SensorFrameTest, TheLoopChangesTheCaptionsAtOnceAndNotTheValues) {
  FillLight();
  Select(kLight, 5);
  ASSERT_EQ(host->ShownKindFrame(), light);
  const struct {
    int item;
    const char* level;
    const char* on;
    const char* unit;
  } cases[] = {{0, "Maximálna úroveň", "Minimálna úroveň", "lx"},
               {1, "Úroveň", "Úroveň zapnutia", "%"}};
  for (const auto& c : cases) {
    light->RadioGroupLoop->Item(c.item)->click();
    EXPECT_EQ(light->LabelDefaultLevel->text(), QString::fromUtf8(c.level));
    EXPECT_EQ(light->LabelOnLevel->text(), QString::fromUtf8(c.on));
    EXPECT_EQ(light->LabelOnLevelPercent->text(), QString::fromUtf8(c.unit));
    EXPECT_TRUE(light->PanelWriteCommand->isVisible());
    EXPECT_EQ(table->LightSensor().ClosedLoop(), c.item);
    EXPECT_EQ(table->LightSensor().DefaultLevel(), 4464u);
    EXPECT_EQ(table->LightSensor().OnLevel(), 30u);
  }
}

TEST_F(SensorFrameTest, TheLightSensorsFirmwareDecidesDeltaScaleAndTheBytesWritten) {
  const struct {
    uint8_t minor;
    bool own;
    size_t bytes;
    QString last;
  } cases[] = {{1, false, 211, QStringLiteral("210 / 210")},
               {2, true, 213, QStringLiteral("212 / 212")}};
  for (const auto& c : cases) {
    table->SetCurrentSlot(kLight);
    table->SetMinVersion(c.minor);
    FillLight();
    Select(kLight, c.minor);
    EXPECT_EQ(light->EditDelta->text(), c.own ? QStringLiteral("10") : QStringLiteral("5"));
    EXPECT_EQ(light->EditDelta->isEnabled(), c.own);
    EXPECT_EQ(light->ComboBoxScale->currentText(),
              c.own ? QStringLiteral("0.1") : QStringLiteral("1"));
    EXPECT_EQ(light->ComboBoxScale->isEnabled(), c.own);
    PaintedTexts painted(light->LabelWritten);
    Sent();
    WriteAndWait(light->ButtonWriteCmndSequences);
    const std::vector<Frame> sent = Sent();
    ASSERT_EQ(sent.size(), 3 + c.bytes + 1) << int(c.minor);
    // Closed loop, then 4464 lx as its low 16 bits, low byte first.
    EXPECT_EQ(sent[3], Device(kLight, 7, 1));
    EXPECT_EQ(sent[4], Device(kLight, 7, 0x70));
    EXPECT_EQ(sent[5], Device(kLight, 7, 0x11));
    EXPECT_EQ(sent[3 + 11], Device(kLight, 7, c.own ? 10 : 0xFF)) << "Delta, or zone 1";
    ASSERT_FALSE(painted.texts.empty());
    EXPECT_GE(std::count(painted.texts.begin(), painted.texts.end(), c.last), 1);
    EXPECT_EQ(painted.texts.back(), QString()) << "emptied at the end";
    EXPECT_TRUE(light->LabelWritten->text().isEmpty());
  }
}

TEST_F(SensorFrameTest, TypedValuesOfTheLightSensorAreCheckedOnLeaving) {
  FillLight();
  Select(kLight, 5);
  const LightSensorLayout s = table->LightSensor();
  const struct {
    QLineEdit* edit;
    const char* typed;
    bool accepted;
    std::function<uint32_t()> stored;
    uint32_t expected;  // what the field holds afterwards
  } cases[] = {
      {light->EditDefaultLevel, "65534", true, [&] { return s.DefaultLevel(); }, 65534},
      // 65535 is what erased memory reads, and the device keeps 16 bits: a larger level is
      // refused, not cut.
      {light->EditDefaultLevel, "65535", false, [&] { return s.DefaultLevel(); }, 65534},
      {light->EditDefaultLevel, "70000", false, [&] { return s.DefaultLevel(); }, 65534},
      {light->EditMinLevel, "0", false, [&] { return s.MinLevel(); }, 1},
      {light->EditMinLevel, "100", true, [&] { return s.MinLevel(); }, 100},
      {light->EditMaxLevel, "101", false, [&] { return s.MaxLevel(); }, 100},
      {light->EditDelta, "-3", false, [&] { return s.Delta(); }, 10},
      // Nor is a tolerance the byte cannot hold.
      {light->EditDelta, "300", false, [&] { return s.Delta(); }, 10},
      {light->EditDelta, "255", true, [&] { return s.Delta(); }, 255},
      {light->EditOffset[0], "5", false, [&] { return s.Caos(0).Offset(); }, 0xFF},
      {light->EditOffset[0], "0", true, [&] { return s.Caos(0).Offset(); }, 0},
      {light->EditOffset[0], "", true, [&] { return s.Caos(0).Offset(); }, 127},
      {light->EditOffset[1], "-100", true, [&] { return s.Caos(1).Offset(); }, 0x9C},
      {light->EditOffset[1], "-101", false, [&] { return s.Caos(1).Offset(); }, 0x9C},
      // -1 is the erased byte: the device could not tell it from an offset never set.
      {light->EditOffset[1], "-1", false, [&] { return s.Caos(1).Offset(); }, 0x9C},
      {light->EditOffset[1], "127", true, [&] { return s.Caos(1).Offset(); }, 127},
      {light->EditOffTimeoutM, "0", true, [&] { return s.OffTimeout(); }, 0},
      {light->EditOffTimeoutH, "18", true, [&] { return s.OffTimeout(); }, 18 * 3600},
      {light->EditOffTimeoutS, "1", false, [&] { return s.OffTimeout(); }, 18 * 3600},
      {light->EditOffTimeoutH, "19", false, [&] { return s.OffTimeout(); }, 18 * 3600},
  };
  for (const auto& c : cases) {
    const QString before = c.edit->text();
    Type(c.edit, QString::fromUtf8(c.typed));
    // A wait's part is shown as "%d" or "%02d" once accepted, an offset of 127 (none) empty.
    const QString typed = QString::fromUtf8(c.typed);
    const QString shown = c.edit == light->EditOffTimeoutH   ? QStringLiteral("18")
                          : c.edit == light->EditOffTimeoutM ? QStringLiteral("00")
                          : typed == QStringLiteral("127")   ? QString()
                                                             : typed;
    EXPECT_EQ(c.edit->text(), c.accepted ? shown : before)
        << c.edit->objectName().toStdString() << " " << c.typed;
    EXPECT_EQ(c.stored(), c.expected) << c.edit->objectName().toStdString() << " " << c.typed;
  }
  // Shown after the next refresh: 127 is no offset, the first zone's none is empty too.
  Select(kLight, 5);
  EXPECT_TRUE(light->EditOffset[1]->text().isEmpty());
  EXPECT_TRUE(light->EditOffset[0]->text().isEmpty());
  EXPECT_EQ(light->EditMaxLevel->text(), QStringLiteral("100"));
}

TEST_F(SensorFrameTest, ZonesStoreTheirAddressByteAndScaleItsCode) {
  FillLight();
  table->LightSensor().Caos(1).SetCmndAddress(0x80);
  Select(kLight, 5);
  light->RadioGroupCmndAddressType[1]->Item(1)->click();  // "jedno"
  Type(light->EditCmndAddress[1], QStringLiteral("6"));
  EXPECT_EQ(table->LightSensor().Caos(1).CmndAddress(), 12);
  // Address 70 would reach 6 on the bus, group 16 group 0: refused rather than cut.
  Type(light->EditCmndAddress[1], QStringLiteral("70"));
  EXPECT_EQ(light->EditCmndAddress[1]->text(), QStringLiteral("6"));
  EXPECT_EQ(StatusLine(), QStringLiteral("Hodnota mimo rozsahu 0–63"));
  light->RadioGroupCmndAddressType[2]->Item(0)->click();  // "skupina"
  Type(light->EditCmndAddress[2], QStringLiteral("16"));
  EXPECT_EQ(StatusLine(), QStringLiteral("Hodnota mimo rozsahu 0–15"));
  EXPECT_EQ(table->LightSensor().Caos(1).CmndAddress(), 12);
  light->RadioGroupCmndAddressType[0]->Item(0)->click();  // "všetky"
  EXPECT_EQ(light->EditCmndAddress[0]->text(), QStringLiteral("255"));
  EXPECT_FALSE(light->EditCmndAddress[0]->isEnabled());
  EXPECT_EQ(table->LightSensor().Caos(0).CmndAddress(), 0xFE);
  Choose(light->ComboBoxScale, 2);
  EXPECT_EQ(table->LightSensor().Scale(), 100);
  Select(kLight, 5);
  EXPECT_EQ(light->EditCmndAddress[1]->text(), QStringLiteral("6"));
  EXPECT_EQ(light->RadioGroupCmndAddressType[1]->ItemIndex(), 1);
  EXPECT_EQ(light->ComboBoxScale->currentText(), QStringLiteral("0.01"));
  EXPECT_TRUE(light->PanelWriteCommand->isVisible()) << "shown again, the changes are still unsent";
}

// Every zone shows what its byte names each time a device is shown, whatever the previous one
// showed: bytes no item can show (erased, all in zones 2..4, a group beyond 15) choose no item, and
// choosing "jedno" then stores no address until one is typed.
TEST_F(SensorFrameTest, ZonesAreShownFromTheRecordAndChoosingAnItemMakesUpNoAddress) {
  FillLight();
  LightSensorLayout s = table->LightSensor();
  for (uint32_t z = 0; z < 4; ++z) s.Caos(z).SetCmndAddress(0x86);  // group 3
  Select(kLight, 5);
  const struct {
    uint8_t stored;
    int item;
    const char* number;
    bool editable;
  } rounds[2][4] = {
      {{0xFE, 0, "255", false},
       {0xFE, -1, "", false},
       {0xFF, -1, "", false},
       {0xA2, -1, "", false}},
      {{0x18, 2, "12", true}, {0x86, 0, "3", true}, {0x7E, 1, "63", true}, {0xFF, -1, "", false}},
  };
  for (const auto& zones : rounds) {
    for (uint32_t z = 0; z < 4; ++z) s.Caos(z).SetCmndAddress(zones[z].stored);
    Select(kLight, 5);
    for (size_t z = 0; z < 4; ++z) {
      const auto& c = zones[z];
      EXPECT_EQ(light->RadioGroupCmndAddressType[z]->ItemIndex(), c.item)
          << z << " " << int(c.stored);
      EXPECT_EQ(light->EditCmndAddress[z]->text(), QString::fromLatin1(c.number)) << z;
      EXPECT_EQ(light->EditCmndAddress[z]->isEnabled(), c.editable) << z;
    }
  }

  // Zone 2 held all: "jedno" leaves the address to be typed, and nothing but it goes out.
  s.Caos(1).SetCmndAddress(0xFE);
  Select(kLight, 5);
  light->RadioGroupCmndAddressType[1]->Item(1)->click();
  EXPECT_TRUE(light->EditCmndAddress[1]->isEnabled());
  EXPECT_TRUE(light->EditCmndAddress[1]->text().isEmpty());
  EXPECT_NE(s.Caos(1).CmndAddress(), 0x7E) << "no device 63 made up from the 255";
  EXPECT_EQ(s.Caos(1).CmndAddress(), 0xFF);
  Type(light->EditCmndAddress[1], QStringLiteral("7"));
  EXPECT_EQ(s.Caos(1).CmndAddress(), 14);
}

// A response's zone radios show its zone byte every time: an erased byte chooses none, never the
// states the previous device showed.
TEST_F(SensorFrameTest, ResponseZoneRadiosOfAnErasedEntryChooseNothing) {
  FillLight();
  LightSensorLayout s = table->LightSensor();
  LightOnc onc = s.Oncs(0);
  onc.SetAddress(3);
  for (uint32_t z = 0; z < 4; ++z) onc.SetZoneEnabled(z, z % 3);
  Select(kLight, 5);
  TLightSensorOncFrame* rows = light->LightSensorOncFrame;
  for (size_t z = 0; z < 4; ++z) EXPECT_EQ(rows->RadioGroupOncEnabled[z][0]->ItemIndex(), z % 3);
  for (uint32_t n = 0; n < 6; ++n) s.SetImageByte(0, n, 0xFF);
  Select(kLight, 5);
  EXPECT_TRUE(rows->EditOncAddress[0]->text().isEmpty());
  for (size_t z = 0; z < 4; ++z) EXPECT_EQ(rows->RadioGroupOncEnabled[z][0]->ItemIndex(), -1) << z;
}

// A sensor read as it left the factory: nothing on either page is shown as a setting.
TEST_F(SensorFrameTest, NeverProgrammedValuesShowAsUnknownOnBothPages) {
  table->SetCurrentSlot(kLight);
  LightSensorLayout s = table->LightSensor();
  // What a reading of erased memory leaves in the 16-bit values.
  for (auto set : {&LightSensorLayout::SetDefaultLevel, &LightSensorLayout::SetOnLevel,
                   &LightSensorLayout::SetOffLevel, &LightSensorLayout::SetOffTimeout}) {
    (s.*set)(0xFFFF);
  }
  Select(kLight, 5);
  for (QLineEdit* edit :
       {light->EditDefaultLevel, light->EditOnLevel, light->EditOffLevel, light->EditDelta,
        light->EditMaxLevel, light->EditMinLevel, light->EditOffTimeoutH, light->EditOffTimeoutM,
        light->EditOffTimeoutS, light->EditOffset[0], light->EditOffset[1]}) {
    EXPECT_TRUE(edit->text().isEmpty())
        << edit->objectName().toStdString() << " " << edit->text().toStdString();
  }
  EXPECT_EQ(light->RadioGroupLoop->ItemIndex(), -1);
  EXPECT_EQ(light->ComboBoxScale->currentIndex(), -1);
  EXPECT_EQ(light->CheckBoxSensorEnabled->checkState(), Qt::PartiallyChecked);

  table->SetCurrentSlot(kCombined);
  PirLightSensorLayout p = table->PirLightSensor();
  p.SetOnLevel(0xFFFF);
  p.SetOffTimeout(0xFFFF);
  p.Sequences(0).Commands(0).SetTimeout(0xFFFF);
  Select(kCombined, 5);
  for (QLineEdit* edit :
       {combined->EditOnLevel, combined->EditOffLevel, combined->EditDelta, combined->EditMaxLevel,
        combined->EditMinLevel, combined->EditOffTimeoutH, combined->EditOffTimeoutM,
        combined->EditOffTimeoutS, combined->EditCmndTimeoutH[0], combined->EditCmndLevel[0],
        combined->EditCmndAddress}) {
    EXPECT_TRUE(edit->text().isEmpty())
        << edit->objectName().toStdString() << " " << edit->text().toStdString();
  }
  EXPECT_EQ(combined->RadioGroupCmndAddressType->ItemIndex(), -1);
  EXPECT_EQ(combined->CheckBoxSensorEnabled->checkState(), Qt::PartiallyChecked);

  // A group beyond 15 is no group 17 either.
  p.SetCmndAddress(0xA2);
  Select(kCombined, 5);
  EXPECT_EQ(combined->RadioGroupCmndAddressType->ItemIndex(), -1);
  EXPECT_TRUE(combined->EditCmndAddress->text().isEmpty());
}

// A measured value belongs to the device it was read from: showing another device, the other
// sensor or a group empties it.
TEST_F(SensorFrameTest, TheMeasuredValueGoesWhenAnotherDeviceIsShown) {
  AnswerWith([](const Frame& request) -> std::optional<uint8_t> {
    if (request[2] == 133) return 0x12;
    if (request[2] == 195) return 0x34;
    return std::nullopt;
  });
  Select(kCombined, 5);
  combined->ButtonReadMeasuredValue->click();
  ASSERT_EQ(combined->EditMeasuredValue->text(), QStringLiteral("4660"));
  Select(kLight, 5);
  light->ButtonReadMeasuredValue->click();
  ASSERT_EQ(light->EditMeasuredValue->text(), QStringLiteral("4660"));
  Select(kCombined, 5);
  EXPECT_TRUE(combined->EditMeasuredValue->text().isEmpty());
  Select(kLight, 5);
  EXPECT_TRUE(light->EditMeasuredValue->text().isEmpty());
  light->ButtonReadMeasuredValue->click();
  ASSERT_EQ(light->EditMeasuredValue->text(), QStringLiteral("4660"));
  tabs->OnControlButtonGroupClick(1);
  ASSERT_EQ(host->ShownKindFrame(), light);
  EXPECT_TRUE(light->EditMeasuredValue->text().isEmpty());
}

TEST_F(SensorFrameTest, TheMeasuredValueByFirmwareAndItsFailureInTheDialog) {
  AnswerWith([](const Frame& request) -> std::optional<uint8_t> {
    if (request[2] == 133) return 0x12;
    if (request[2] == 4 || request[2] == 195) return 0x34;
    return std::nullopt;
  });
  for (const auto& c : {std::pair<uint8_t, uint8_t>{2, 4}, {3, 195}}) {
    Select(kLight, c.first);
    light->EditMeasuredValue->clear();
    Sent();
    light->ButtonReadMeasuredValue->click();
    EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kLight, 133, 0), Device(kLight, c.second, 0)}));
    EXPECT_EQ(light->EditMeasuredValue->text(), QStringLiteral("4660"));
  }
  SilenceRequest(2);
  const QString text = DialogText(light->ButtonReadMeasuredValue);
  EXPECT_TRUE(text.startsWith(QStringLiteral("Chyba pri komunikácii:  "))) << text.toStdString();
  EXPECT_NE(text.indexOf(QStringLiteral("QUERY DTR1 C 12")), -1) << text.toStdString();
  EXPECT_EQ(light->EditMeasuredValue->text(), QStringLiteral("4660")) << "keeps its value";

  // The combined sensor reads the same way and reports its failure likewise.
  AnswerWith([](const Frame& request) -> std::optional<uint8_t> {
    if (request[2] == 133) return 0x01;
    if (request[2] == 195) return 0x2C;
    return std::nullopt;
  });
  Select(kCombined, 0);
  Sent();
  combined->ButtonReadMeasuredValue->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kCombined, 133, 0), Device(kCombined, 195, 0)}));
  EXPECT_EQ(combined->EditMeasuredValue->text(), QStringLiteral("300"));
  SilenceRequest(1);
  EXPECT_NE(DialogText(combined->ButtonReadMeasuredValue).indexOf(QStringLiteral("QUERY STATE")),
            -1);
  EXPECT_EQ(combined->EditMeasuredValue->text(), QStringLiteral("300"));
}

TEST_F(SensorFrameTest, TheCombinedSensorOfFirmware1000HasNoSecondSequence) {
  const struct {
    uint8_t minor;
    bool second;
    size_t bytes;
    QString last;
  } cases[] = {{0, false, 215, QStringLiteral("214 / 214")},
               {1, true, 227, QStringLiteral("226 / 226")}};
  for (const auto& c : cases) {
    table->SetCurrentSlot(kCombined);
    table->SetMinVersion(c.minor);
    FillCombined();
    Select(kCombined, c.minor);
    ASSERT_EQ(host->ShownKindFrame(), combined);
    for (int i = 3; i < 6; ++i) {
      QLineEdit* level = combined->EditCmndLevel[static_cast<size_t>(i)];
      EXPECT_EQ(level->isEnabled(), c.second);
      EXPECT_EQ(level->text().isEmpty(), !c.second);
    }
    EXPECT_EQ(combined->EditCmndTimeoutH[2]->isEnabled(), c.second);
    EXPECT_EQ(combined->EditCmndTimeoutS[3]->text().isEmpty(), !c.second);
    PaintedTexts painted(combined->LabelWritten);
    Sent();
    WriteAndWait(combined->ButtonWriteCmndSequences);
    EXPECT_EQ(Sent().size(), 3 + c.bytes + 1);
    EXPECT_GE(std::count(painted.texts.begin(), painted.texts.end(), c.last), 1) << int(c.minor);
  }
}

TEST_F(SensorFrameTest, TypedValuesOfTheCombinedSensorAreCheckedOnLeaving) {
  FillCombined();
  Select(kCombined, 1);
  const PirLightSensorLayout s = table->PirLightSensor();
  QLineEdit* level = combined->EditCmndLevel[4];  // sequence 2, first dimming
  Type(level, QStringLiteral("65000"));
  EXPECT_EQ(s.Sequences(1).Commands(1).Level(), 65000u);
  Type(level, QStringLiteral("65001"));
  EXPECT_EQ(level->text(), QStringLiteral("65000"));
  EXPECT_EQ(s.Sequences(1).Commands(1).Level(), 65000u);
  Type(level, QString());
  EXPECT_EQ(s.Sequences(1).Commands(1).Level(), 0u) << "an emptied level is 0";

  Type(combined->EditMaxLevel, QStringLiteral("77"));
  const QString delta = combined->EditDelta->text();
  Type(combined->EditDelta, QStringLiteral("-5"));
  EXPECT_EQ(combined->EditDelta->text(), delta);
  EXPECT_EQ(combined->EditMaxLevel->text(), QStringLiteral("77"));
  EXPECT_EQ(s.MaxLevel(), 77);
  for (const auto& c : {std::pair<const char*, bool>{"0", false},
                        {"101", false},
                        {"1", true},
                        {"100", true},
                        {"5x", false}}) {
    Type(combined->EditMinLevel, QString::fromUtf8(c.first));
    EXPECT_EQ(combined->EditMinLevel->text() == QString::fromUtf8(c.first), c.second) << c.first;
  }
  EXPECT_EQ(s.MinLevel(), 100) << "the whole text is the number";
  Type(combined->EditCmndTimeoutH[0], QStringLiteral("3"));
  EXPECT_EQ(combined->EditCmndTimeoutH[0]->text(), QStringLiteral("3")) << "no padding blank";
  EXPECT_EQ(s.Sequences(0).Commands(0).Timeout(), 3u * 3600 + 10);

  combined->RadioGroupCmndAddressType->Item(0)->click();
  EXPECT_EQ(combined->EditCmndAddress->text(), QStringLiteral("255"));
  EXPECT_EQ(s.CmndAddress(), 0xFE);
  combined->RadioGroupCmndAddressType->Item(1)->click();
  Type(combined->EditCmndAddress, QStringLiteral("5"));
  EXPECT_EQ(s.CmndAddress(), 0x8A);
}

TEST_F(SensorFrameTest, EnableWritesAndTestsGoToTheSelection) {
  Select(kCombined, 1);
  // Never read: the box shows it and the write refuses.
  EXPECT_EQ(combined->CheckBoxSensorEnabled->checkState(), Qt::PartiallyChecked);
  Sent();
  combined->ButtonWriteSensorsEnabled->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(StatusLine().isEmpty());
  combined->CheckBoxSensorEnabled->click();
  ASSERT_TRUE(combined->PanelWriteEnabled->isVisible());
  combined->ButtonWriteSensorsEnabled->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kCombined, 5, 0xB0), Device(kCombined, 3, 234),
                                        Device(kCombined, 0, 6), Device(kCombined, 7, 1),
                                        Device(kCombined, 0, 5)}));
  EXPECT_FALSE(combined->PanelWriteEnabled->isVisible());

  combined->ButtonAlarm->click();
  combined->ButtonQuiet->click();
  combined->ButtonBlinkQuarter->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(kCombined, 131, 0), Device(kCombined, 132, 0),
                                        Device(kCombined, 141, 128)}));

  table->SetCurrentSlot(kLight);
  table->LightSensor().SetSensorEnabled(0);
  Select(kLight, 1);
  EXPECT_EQ(light->CheckBoxSensorEnabled->checkState(), Qt::Unchecked);
  light->CheckBoxSensorEnabled->click();
  light->ButtonWriteSensorsEnabled->click();
  light->ButtonBlinkEighth->click();
  light->ButtonOn->click();
  // Firmware 1.001 keeps the byte two locations lower, where the reading takes it from.
  EXPECT_EQ(Sent(),
            (std::vector<Frame>{Device(kLight, 5, 0xB0), Device(kLight, 3, 218),
                                Device(kLight, 0, 6), Device(kLight, 7, 1), Device(kLight, 0, 5),
                                Device(kLight, 141, 160), Device(kLight, 141, 32)}));

  // A group of light sensors of 1.001: the group address, and the members' firmware for the image.
  table->SetCurrentSlot(kLight);
  table->SetMinVersion(1);
  tabs->OnControlButtonGroupClick(1);
  ASSERT_EQ(host->ShownKindFrame(), light);
  ASSERT_EQ(table->CurrentSlot(), TConfig::kGroupSlot);
  EXPECT_FALSE(light->EditDelta->isEnabled());
  FillLight(TConfig::kGroupSlot);
  light->ButtonOff->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Device(0x81, 141, 0)}));
  WriteAndWait(light->ButtonWriteCmndSequences);
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 211u + 1u);
  EXPECT_EQ(sent[0], Device(0x81, 5, 0xB0));
}

TEST_F(SensorFrameTest, ARecordNeverReadSendsOnlyWhatWasTyped) {
  Select(kLight, 5);
  Type(light->EditOnLevel, QStringLiteral("40"));
  ASSERT_TRUE(light->PanelWriteCommand->isVisible());
  Sent();
  light->ButtonWriteCmndSequences->click();
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->TaskRunning(); }));
  // OnLevel is image bytes 3 and 4; nothing nobody read or set goes out.
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u + 2u + 1u) << StatusLine().toStdString();
  EXPECT_EQ(sent[1][3], 10);
  EXPECT_EQ(sent[3][3], 40);
  EXPECT_EQ(sent[4][3], 0);
  EXPECT_FALSE(light->PanelWriteCommand->isVisible());
}

// A wait of 5:00:00 the focus passes through, nothing typed, stays 5:00:00 as "5", "00", "00"
// with no red panel and no word in the status line; typed parts join the hours shown.
TEST_F(SensorFrameTest, AWaitKeepsItsHoursWhenTheFocusPassesThrough) {
  constexpr uint32_t kFive = 5 * 3600;
  FillLight();
  table->LightSensor().SetOffTimeout(kFive);
  test::MarkAllRead(*table, kLightSensorImage);
  FillCombined();
  table->PirLightSensor().SetOffTimeout(kFive);
  table->PirLightSensor().Sequences(1).Commands(1).SetTimeout(kFive);
  // As read from the devices: nothing is waiting to be written.
  test::MarkAllRead(*table, kPirLightSensorImage);
  // Read from the record of the device shown.
  const auto l = [this] { return table->LightSensor(); };
  const auto c = [this] { return table->PirLightSensor(); };
  const struct {
    const char* name;
    uint8_t address, minor;
    std::array<QLineEdit*, 3> edits;
    QWidget* panel;
    std::function<uint32_t()> stored;
  } waits[] = {
      {"light off",
       kLight,
       5,
       {light->EditOffTimeoutH, light->EditOffTimeoutM, light->EditOffTimeoutS},
       light->PanelWriteCommand,
       [&] { return l().OffTimeout(); }},
      {"combined off",
       kCombined,
       1,
       {combined->EditOffTimeoutH, combined->EditOffTimeoutM, combined->EditOffTimeoutS},
       combined->PanelWriteCommand,
       [&] { return c().OffTimeout(); }},
      {"combined sequence 2",
       kCombined,
       1,
       {combined->EditCmndTimeoutH[3], combined->EditCmndTimeoutM[3],
        combined->EditCmndTimeoutS[3]},
       combined->PanelWriteCommand,
       [&] { return c().Sequences(1).Commands(1).Timeout(); }},
  };
  for (const auto& w : waits) {
    SCOPED_TRACE(w.name);
    // What an earlier case typed counts as written: only a change shows the red panel.
    table->SetCurrentSlot(w.address);
    test::MarkAllRead(*table, w.address == kLight ? kLightSensorImage : kPirLightSensorImage);
    Select(w.address, w.minor);
    form->statusBar()->clearMessage();
    for (QLineEdit* edit : {w.edits[0], w.edits[1], w.edits[2], w.edits[0]}) PassThrough(edit);
    EXPECT_EQ(w.stored(), kFive);
    EXPECT_EQ(w.edits[0]->text(), QStringLiteral("5"));
    EXPECT_EQ(w.edits[1]->text(), QStringLiteral("00"));
    EXPECT_EQ(w.edits[2]->text(), QStringLiteral("00"));
    EXPECT_FALSE(w.panel->isVisible());
    EXPECT_EQ(StatusLine(), QString());

    Type(w.edits[0], QStringLiteral("4"));
    Type(w.edits[1], QStringLiteral("7"));
    EXPECT_EQ(w.stored(), 4u * 3600 + 7 * 60);
    EXPECT_EQ(w.edits[0]->text(), QStringLiteral("4"));
    EXPECT_EQ(w.edits[1]->text(), QStringLiteral("07"));
    EXPECT_TRUE(w.panel->isVisible());
  }
}

// Every numeric edit of the two pages reads its whole text as one number: what is not a number,
// or not one the field takes, is refused, the edit shows what it showed before and the status line
// names the range.
TEST_F(SensorFrameTest, ARefusedTextIsGivenBackAndTheStatusLineNamesTheRange) {
  FillLight();
  FillCombined();
  const struct {
    uint8_t address, minor;
    QLineEdit* edit;
    const char* typed;
    const char* range;
  } cases[] = {
      {kCombined, 1, combined->EditMinLevel, "12.5", "1–100 %"},
      {kCombined, 1, combined->EditMinLevel, "1e3", "1–100 %"},
      {kCombined, 1, combined->EditMaxLevel, "12a", "1–100 %"},
      {kCombined, 1, combined->EditMaxLevel, "", "1–100 %"},
      {kCombined, 1, combined->EditCmndLevel[0], "65001", "0–65000 lx"},
      {kCombined, 1, combined->EditOffTimeoutH, "19", "0–18:00:00"},
      {kCombined, 1, combined->EditDelta, "-", "0–255 %"},
      {kLight, 5, light->EditDefaultLevel, "70000", "0–65534 lx"},
      {kLight, 5, light->EditMinLevel, "0", "1–100 %"},
      {kLight, 5, light->EditDelta, "-3", "0–255 %"},
      {kLight, 5, light->EditOffTimeoutM, "60", "0–59"},
      {kLight, 5, light->EditOffTimeoutS, "100", "0–59"},
      {kLight, 5, light->EditOffset[1], "-101", "-100–100 %"},
      {kLight, 5, light->LightSensorOncFrame->EditOncLevel[0], "65001", "0–65000 lx"},
      {kLight, 5, light->LightSensorOncFrame->EditOncAddress[0], "256", "0–63"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.edit->objectName().toStdString() + " \"" + c.typed + "\"");
    Select(c.address, c.minor);
    form->statusBar()->clearMessage();
    const QString before = c.edit->text();
    Type(c.edit, QString::fromUtf8(c.typed));
    EXPECT_EQ(c.edit->text(), before);
    EXPECT_EQ(StatusLine(), QStringLiteral("Hodnota mimo rozsahu ") + QString::fromUtf8(c.range));
  }
  table->SetCurrentSlot(kLight);
  EXPECT_EQ(table->LightSensor().DefaultLevel(), 4464u);
  EXPECT_EQ(table->LightSensor().OffTimeout(), 60u);
  table->SetCurrentSlot(kCombined);
  EXPECT_EQ(table->PirLightSensor().MinLevel(), 10);
  EXPECT_EQ(table->PirLightSensor().MaxLevel(), 90);
  EXPECT_EQ(table->PirLightSensor().OffTimeout(), 30u);
}

}  // namespace
}  // namespace lumetra
