// The floor plan on the real main window, its gate on a loopback peer that answers from the
// simulated line: dragging with mouse events, typed coordinates and addresses, the status display
// and its reading, the quick commands, the wheel, positions through a document, and the picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

#include "documents/ConfigDocument.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "sim/SimulatedLine.h"
#include "support/GuiInput.h"
#include "support/LoopbackPeer.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"
#include "ui/ReportPrinting.h"
#include "ui/floorplan/MainPositionFrame.h"
#include "ui/floorplan/PlanGeometry.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::Frame;
using test::Wire;

Frame Gear(uint8_t address, uint8_t data) { return Wire(3, 0, address, data); }

QColor Light() { return QApplication::palette().color(QPalette::Light); }
const QColor kOrange{255, 165, 0};
const QColor kRed{255, 0, 0};
const QColor kGreen{0, 128, 0};
const QColor kLime{0, 255, 0};
const QColor kYellow{255, 255, 0};
const QColor kMaroon{128, 0, 0};

// Gear 0, 5, 9 and 12 and control devices 0 (a motion sensor) and 2 (a switch) in the tables;
// on the line gear 5 (its lamp failed), 9 and 0, but not 12, and the switch 2.
class FloorPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::LineDescription description;
    for (uint8_t a : {0, 5, 9}) {
      sim::GearDescription g;
      g.shortAddress = a;
      g.minLevel = 10;
      g.actualLevel = static_cast<uint8_t>(100 + a);
      description.gear.push_back(g);
    }
    description.gear[1].status = 0x02;
    sim::DeviceDescription sw;
    sw.shortAddress = 2;
    sw.kind = 129;
    description.devices.push_back(sw);
    line = std::make_unique<sim::SimulatedLine>(description);
    gate.SetResponder([this](const Frame& request) -> std::optional<Frame> {
      std::lock_guard lock(mutex);
      return line->Exchange(request).reply;
    });

    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Plan", "127.0.0.8", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    view = form->FloorPlan();
    plan = view->PositionFrame;
    gear = &form->BalastConfig();
    devices = &form->ControllerConfig();
    form->DaliCom().SetReplyTimeout(150ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    tabs->RadioGroupPercentArc->Item(1)->click();  // ARC

    for (uint8_t a : {0, 5, 9, 12}) {
      gear->SetCurrentSlot(a);
      gear->SetShortAddress(a);
      gear->SetDeviceType(6);
      gear->SetStatus(0);
      gear->SetActualLevel(100);
      for (uint32_t g = 0; g < 16; ++g) gear->SetGroups(g, 0);
    }
    gear->SetCurrentSlot(0);
    for (auto [a, kind] : {std::pair<uint8_t, uint8_t>{0, 131}, {2, 129}}) {
      devices->SetCurrentSlot(a);
      devices->SetShortAddress(a);
      devices->SetDeviceType(kind);
      for (uint32_t g = 0; g < 16; ++g) devices->SetGroups(g, 0);
    }
    devices->SetCurrentSlot(0);

    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    tabs->Pages->setCurrentWidget(tabs->LightsPage);
    tabs->RadioButtonPositions->click();
    ASSERT_TRUE(view->isVisible());
    ASSERT_TRUE(plan->isVisible());
  }

  // Requests since the last call.
  std::vector<Frame> Sent() {
    const std::vector<Frame> all = gate.Requests();
    std::vector<Frame> fresh(all.begin() + static_cast<long>(seen), all.end());
    seen = all.size();
    return fresh;
  }

  QString StatusLine() {
    QCoreApplication::processEvents();
    return form->statusBar()->currentMessage();
  }

  sim::ControlGear LineGear(size_t i) {
    std::lock_guard lock(mutex);
    return line->Gear().at(i);
  }

  QPoint At(const TDeviceButton& b) const { return {b.Left(), b.Top()}; }
  SlotPosition Stored(const TConfig& table, int slot) const { return *table.PositionAt(slot); }

  std::mutex mutex;
  std::unique_ptr<sim::SimulatedLine> line;
  test::LoopbackPeer gate{"127.0.0.8"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  TMainPositionFrame* view = nullptr;
  TPositionFrame* plan = nullptr;
  TBalastConfig* gear = nullptr;
  TControllerConfig* devices = nullptr;
  size_t seen = 0;
};

TEST(FloorPlanStartTest, EverySlotStartsOnTheDefaultGridWithNothingSelected) {
  TConfiguratorForm form({});
  for (const bool controlDevice : {false, true}) {
    const TConfig& table = controlDevice ? static_cast<const TConfig&>(form.ControllerConfig())
                                         : static_cast<const TConfig&>(form.BalastConfig());
    EXPECT_EQ(table.CurrentSlot(), 0);
    for (uint8_t i = 0; i < 64; ++i) {
      SCOPED_TRACE(testing::Message() << controlDevice << " " << int(i));
      const SlotPosition expected = TConfig::DefaultPosition(i, controlDevice);
      EXPECT_EQ(table.PositionAt(i)->Top, expected.Top);
      EXPECT_EQ(table.PositionAt(i)->Left, expected.Left);
    }
  }
  // Slot 0 at (60, 30) or (60, 400), slot 63 at (510, 270) or (510, 640).
  EXPECT_EQ(form.BalastConfig().PositionAt(63)->Top, 510);
  EXPECT_EQ(form.ControllerConfig().PositionAt(63)->Left, 640);
  TMainPositionFrame* view = form.FloorPlan();
  EXPECT_EQ(view->PositionFrame->GearSelection, -1);
  EXPECT_EQ(view->PositionFrame->ControllerSelection, -1);
  EXPECT_EQ(view->SelectedDevice(), -1);
  EXPECT_TRUE(view->LabelDeviceTypeValue->text().isEmpty());
  EXPECT_TRUE(view->LabelAddressValue->text().isEmpty());
  // Typed coordinates need a device.
  view->EditNewX->setText(QStringLiteral("300"));
  view->OnEditEnter(view->EditNewX);
  view->EditNewX->setText(QStringLiteral("200"));
  view->OnEditNewXExit(view->EditNewX);
  EXPECT_EQ(view->EditNewX->text(), QStringLiteral("300"));
}

TEST_F(FloorPlanTest, OccupiedSlotsShowWhereTheTableSaysWithTheirCaptions) {
  for (int i = 0; i < 64; ++i) {
    const bool gearShown = i == 0 || i == 5 || i == 9 || i == 12;
    EXPECT_EQ(plan->GearButton(i).Button->isVisible(), gearShown) << i;
    EXPECT_EQ(plan->DeviceButton(i).Button->isVisible(), i == 0 || i == 2) << i;
  }
  EXPECT_EQ(At(plan->GearButton(5)), QPoint(110, 90));
  EXPECT_EQ(At(plan->DeviceButton(2)), QPoint(560, 60));
  EXPECT_EQ(plan->GearButton(5).Button->text(), QStringLiteral("A 05"));
  EXPECT_EQ(plan->DeviceButton(0).Button->text(), QStringLiteral("C 00"));
  EXPECT_EQ(plan->DeviceButton(2).Button->size(), QSize(75, 25));
  EXPECT_EQ(plan->Canvas->size(), QSize(1500, 1100));
  // The indicators sit at their offsets.
  const TDeviceButton& b = plan->GearButton(5);
  EXPECT_EQ(b.SelectPanel->geometry(), QRect(165, 94, 16, 8));
  EXPECT_EQ(b.GroupPanel->geometry(), QRect(165, 103, 16, 8));
  EXPECT_EQ(b.StatusPanel->geometry(), QRect(114, 94, 17, 17));
  EXPECT_FALSE(b.StatusPanel->isVisible());
  EXPECT_EQ(plan->DeviceButton(2).StatusPanel, nullptr);
}

TEST_F(FloorPlanTest, ChoosingInAGridMarksTheDeviceOnThePlanAndScrollsItIntoView) {
  tabs->OnBalastButtonClick(9);
  EXPECT_EQ(plan->GearSelection, 9);
  EXPECT_EQ(PanelColor(plan->GearButton(9).SelectPanel), kLime);
  EXPECT_EQ(PanelColor(plan->GearButton(0).SelectPanel), Light());
  EXPECT_EQ(view->LabelDeviceTypeValue->text(), QStringLiteral("6 - LED"));
  EXPECT_EQ(view->EditNewAddress->text(), QStringLiteral("09"));

  // Control device 2 lies beyond the plan's right edge as shown.
  QPushButton* far = plan->DeviceButton(2).Button;
  auto inView = [&] {
    return plan->viewport()->rect().contains(
        QRect(far->mapTo(plan->viewport(), QPoint(0, 0)), far->size()));
  };
  ASSERT_FALSE(inView());
  tabs->OnControlButtonClick(2);
  EXPECT_EQ(plan->ControllerSelection, 2);
  EXPECT_EQ(plan->GearSelection, -1);
  EXPECT_EQ(PanelColor(plan->DeviceButton(2).SelectPanel), kLime);
  EXPECT_EQ(PanelColor(plan->GearButton(9).SelectPanel), Light());
  EXPECT_TRUE(inView());
  EXPECT_EQ(view->LabelAddressValue->text(), QStringLiteral("C "));
  EXPECT_EQ(view->EditNewX->text(), QStringLiteral("560"));
}

TEST_F(FloorPlanTest, DraggingMovesOnlyAfterTheFirstMoveAndTheDropSnaps) {
  TDeviceButton& b = plan->GearButton(5);
  QPushButton* button = b.Button;
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(37, 12));
  EXPECT_EQ(plan->GearSelection, 5);
  EXPECT_EQ(plan->ControllerSelection, -1);
  EXPECT_EQ(gear->CurrentSlot(), 5);
  EXPECT_EQ(plan->JustPressed, 1);
  EXPECT_EQ(PanelColor(b.SelectPanel), kLime);
  // The grid follows the plan's choice.
  EXPECT_EQ(PanelColor(tabs->GearButton(5).SelectPanel), kLime);

  // The first move after the press does not move the button.
  QTest::mouseMove(button, QPoint(37 + 30, 12 + 40));
  EXPECT_EQ(At(b), QPoint(110, 90));
  EXPECT_EQ(plan->JustPressed, 0);

  // Then its centre follows the mouse: the top-left corner comes to (63, 147).
  const QPoint centre(147 + 37, 63 + 12);
  QTest::mouseMove(button, centre - button->pos());
  EXPECT_EQ(At(b), QPoint(147, 63));
  EXPECT_EQ(b.SelectPanel->pos(), QPoint(147 + 55, 63 + 4));
  EXPECT_EQ(view->EditNewX->text(), QStringLiteral("147"));
  EXPECT_EQ(view->EditNewY->text(), QStringLiteral("63"));
  // Not stored until it is dropped.
  EXPECT_EQ(Stored(*gear, 5).Top, 90);

  QTest::mouseRelease(button, Qt::LeftButton, {}, centre - button->pos());
  EXPECT_EQ(At(b), QPoint(145, 60));
  EXPECT_EQ(Stored(*gear, 5).Top, 60);
  EXPECT_EQ(Stored(*gear, 5).Left, 145);
  EXPECT_EQ(view->EditNewX->text(), QStringLiteral("145"));
  EXPECT_EQ(view->EditNewY->text(), QStringLiteral("60"));
  // Other slots keep their places.
  EXPECT_EQ(Stored(*gear, 9).Top, 120);
  EXPECT_EQ(Stored(*gear, 9).Left, 110);

  // A press and release without a move only snaps what is there.
  QTest::mouseClick(plan->DeviceButton(2).Button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(plan->ControllerSelection, 2);
  EXPECT_EQ(plan->GearSelection, -1);
  EXPECT_EQ(devices->CurrentSlot(), 2);
  EXPECT_EQ(At(plan->DeviceButton(2)), QPoint(560, 60));
  EXPECT_EQ(PanelColor(b.SelectPanel), Light());
  EXPECT_EQ(PanelColor(tabs->DeviceButton(2).SelectPanel), kLime);
  EXPECT_EQ(view->LabelAddressValue->text(), QStringLiteral("C "));
  EXPECT_EQ(view->EditNewAddress->text(), QStringLiteral("02"));
  EXPECT_EQ(view->LabelDeviceTypeValue->text(), QStringLiteral("129 - Spínač"));
}

TEST_F(FloorPlanTest, DroppedBeyondTheEdgesLandsOnTheArea) {
  const struct {
    QPoint dragTo;  // top-left corner, before the drop
    QPoint lands;
  } cases[] = {
      {{-30, -20}, {5, 5}},
      {{1490, 1090}, {1420, 1070}},
      {{67, 63}, {65, 60}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dragTo.x() << ", " << c.dragTo.y());
    TDeviceButton& b = plan->DeviceButton(0);
    QPushButton* button = b.Button;
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(37, 12));
    QTest::mouseMove(button, QPoint(38, 12));
    const QPoint centre = c.dragTo + QPoint(37, 12);
    QTest::mouseMove(button, centre - button->pos());
    EXPECT_EQ(At(b), c.dragTo);
    QTest::mouseRelease(button, Qt::LeftButton, {}, centre - button->pos());
    EXPECT_EQ(At(b), c.lands);
    EXPECT_EQ(Stored(*devices, 0).Left, c.lands.x());
    EXPECT_EQ(Stored(*devices, 0).Top, c.lands.y());
  }
}

TEST_F(FloorPlanTest, TypedCoordinatesAreCheckedOnLeavingAndWrittenOnZapisat) {
  tabs->OnBalastButtonClick(9);
  EXPECT_EQ(view->EditNewX->text(), QStringLiteral("110"));
  EXPECT_EQ(view->EditNewY->text(), QStringLiteral("120"));
  EXPECT_FALSE(view->PanelChangeCoordinates->isVisible());
  QWidget* away = view->ButtonMaximum;
  const struct {
    QLineEdit* edit;
    const char* typed;
    const char* kept;
  } cases[] = {
      {view->EditNewX, "4", "110"},    {view->EditNewX, "", "110"},
      {view->EditNewX, "1421", "110"}, {view->EditNewY, "1071", "120"},
      {view->EditNewY, "4", "120"},    {view->EditNewX, "1420", "1420"},
      {view->EditNewY, "5", "5"},      {view->EditNewX, "300", "300"},
      {view->EditNewY, "1070", "1070"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    test::TypeAndLeave(c.edit, QString::fromLatin1(c.typed), away);
    EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.kept));
  }
  EXPECT_TRUE(view->PanelChangeCoordinates->isVisible());
  // Typing moves nothing yet.
  EXPECT_EQ(At(plan->GearButton(9)), QPoint(110, 120));
  view->ButtonChangeCoordinates->click();
  EXPECT_EQ(At(plan->GearButton(9)), QPoint(300, 1070));
  EXPECT_EQ(Stored(*gear, 9).Left, 300);
  EXPECT_EQ(Stored(*gear, 9).Top, 1070);
  EXPECT_FALSE(view->PanelChangeCoordinates->isVisible());
  EXPECT_EQ(gear->CurrentSlot(), 9);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(FloorPlanTest, StatusDisplayColoursAndLevels) {
  const struct {
    uint8_t slot;
    uint8_t status;
    QColor look;
  } lamps[] = {{0, 0x20, kOrange}, {5, 0x02, kRed}, {9, 0x00, kGreen}, {12, 255, kRed}};
  for (const auto& l : lamps) {
    gear->SetCurrentSlot(l.slot);
    gear->SetStatus(l.status);
    gear->SetActualLevel(100 + l.slot);
  }
  gear->SetCurrentSlot(0);
  view->CheckBoxBalastStatus->click();
  EXPECT_EQ(plan->ShowStatus, 1);
  for (const auto& l : lamps) {
    SCOPED_TRACE(int(l.slot));
    const TDeviceButton& b = plan->GearButton(l.slot);
    EXPECT_TRUE(b.StatusPanel->isVisible());
    EXPECT_EQ(PanelColor(b.StatusPanel), l.look);
    EXPECT_EQ(b.Button->text(), QString::number(100 + l.slot));
  }
  EXPECT_EQ(plan->DeviceButton(2).Button->text(), QStringLiteral("C 02"));

  // In percent (chosen on "Adresovanie") the level reads as percent: arc 109 is 2.0 %.
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  tabs->RadioGroupPercentArc->Item(0)->click();
  tabs->Pages->setCurrentWidget(tabs->LightsPage);
  EXPECT_EQ(plan->GearButton(9).Button->text(), QStringLiteral("2%"));
  EXPECT_EQ(plan->GearButton(5).Button->text(), QStringLiteral("1%"));

  view->CheckBoxBalastStatus->click();
  EXPECT_FALSE(plan->GearButton(5).StatusPanel->isVisible());
  EXPECT_EQ(plan->GearButton(5).Button->text(), QStringLiteral("A 05"));
}

TEST_F(FloorPlanTest, TheShownGroupMarksExactlyItsMembers) {
  auto member = [](TConfig& table, uint8_t slot, uint8_t value) {
    table.SetCurrentSlot(slot);
    table.SetGroups(3, value);
  };
  member(*gear, 5, 1);
  member(*gear, 9, 0);
  member(*gear, 12, 255);
  member(*devices, 2, 1);
  tabs->OnBalastButtonGroupClick(3);
  tabs->OnControlButtonGroupClick(3);
  EXPECT_EQ(PanelColor(plan->GearButton(5).GroupPanel), kYellow);
  for (int a : {0, 9, 12}) EXPECT_EQ(PanelColor(plan->GearButton(a).GroupPanel), kMaroon) << a;
  EXPECT_EQ(PanelColor(plan->DeviceButton(2).GroupPanel), kRed);
  EXPECT_EQ(PanelColor(plan->DeviceButton(0).GroupPanel), kMaroon);
  // "Všetky": every device.
  tabs->OnBalastButtonGroupClick(TTabsFrame::kAllIndex);
  for (int a : {0, 5, 9, 12}) EXPECT_EQ(PanelColor(plan->GearButton(a).GroupPanel), kYellow) << a;
}

TEST_F(FloorPlanTest, ReaddressingGoesThroughTheEditorAndTakesThePositionAlong) {
  tabs->OnBalastButtonClick(5);
  Sent();
  QWidget* away = view->ButtonMaximum;
  // 64 and more are not addresses; the edit keeps the address it had.
  test::TypeAndLeave(view->EditNewAddress, QStringLiteral("64"), away);
  EXPECT_EQ(view->EditNewAddress->text(), QStringLiteral("05"));
  test::TypeAndLeave(view->EditNewAddress, QStringLiteral("20"), away);
  EXPECT_TRUE(view->PanelChangeAddress->isVisible());
  view->ButtonChangeAddress->click();
  // DTR = 2 × 20 + 1, STORE DTR AS SHORT ADDRESS twice to gear 5.
  EXPECT_EQ(Sent(), (std::vector<Frame>{Gear(0xA3, 0x29), Gear(0x0B, 0x80), Gear(0x0B, 0x80)}));
  EXPECT_EQ(LineGear(1).shortAddress, 20);
  EXPECT_TRUE(gear->IsSlotFree(5));
  EXPECT_FALSE(gear->IsSlotFree(20));
  EXPECT_EQ(Stored(*gear, 20).Top, 90);
  EXPECT_EQ(Stored(*gear, 20).Left, 110);
  EXPECT_FALSE(plan->GearButton(5).Button->isVisible());
  EXPECT_TRUE(plan->GearButton(20).Button->isVisible());
  EXPECT_EQ(At(plan->GearButton(20)), QPoint(110, 90));
  EXPECT_EQ(plan->GearSelection, 20);
  EXPECT_EQ(PanelColor(plan->GearButton(20).SelectPanel), kLime);
  EXPECT_EQ(PanelColor(tabs->GearButton(20).SelectPanel), kLime);
  EXPECT_EQ(view->EditNewAddress->text(), QStringLiteral("20"));
  EXPECT_FALSE(view->PanelChangeAddress->isVisible());

  // An address in use is refused with the editors' word; nothing goes out and the mark stays.
  test::TypeAndLeave(view->EditNewAddress, QStringLiteral("9"), away);
  view->ButtonChangeAddress->click();
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(StatusLine().isEmpty());
  EXPECT_TRUE(view->PanelChangeAddress->isVisible());
  EXPECT_FALSE(gear->IsSlotFree(20));
  EXPECT_EQ(LineGear(1).shortAddress, 20);
}

TEST_F(FloorPlanTest, AControlDeviceIsReaddressedThroughItsEditor) {
  tabs->OnControlButtonClick(2);
  Sent();
  test::TypeAndLeave(view->EditNewAddress, QStringLiteral("0"), view->ButtonMaximum);
  view->ButtonChangeAddress->click();
  // Taken by the motion sensor: refused, nothing sent.
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(view->PanelChangeAddress->isVisible());
  EXPECT_FALSE(StatusLine().isEmpty());

  test::TypeAndLeave(view->EditNewAddress, QStringLiteral("33"), view->ButtonMaximum);
  view->ButtonChangeAddress->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Wire(4, 2, 41, 33)}));
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(line->Devices().at(0).shortAddress, 33);
  }
  EXPECT_TRUE(devices->IsSlotFree(2));
  EXPECT_EQ(Stored(*devices, 33).Left, 560);
  EXPECT_EQ(Stored(*devices, 33).Top, 60);
  // The vacated slot goes back to its place in the control device block.
  EXPECT_EQ(Stored(*devices, 2).Left, 560);
  EXPECT_EQ(plan->ControllerSelection, 33);
  EXPECT_TRUE(plan->DeviceButton(33).Button->isVisible());
  EXPECT_EQ(At(plan->DeviceButton(33)), QPoint(560, 60));
  EXPECT_FALSE(plan->DeviceButton(2).Button->isVisible());
  EXPECT_EQ(PanelColor(tabs->DeviceButton(33).SelectPanel), kLime);
  EXPECT_EQ(view->LabelDeviceTypeValue->text(), QStringLiteral("129 - Spínač"));
  EXPECT_FALSE(view->PanelChangeAddress->isVisible());
}

TEST_F(FloorPlanTest, QuickCommandsGoToTheSelectedLamp) {
  tabs->OnBalastButtonClick(9);
  Sent();
  view->ButtonMaximum->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Gear(0x13, 0x05)}));
  EXPECT_EQ(LineGear(2).actualLevel, 254);
  view->ButtonOff->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Gear(0x13, 0x00)}));
  EXPECT_EQ(LineGear(2).actualLevel, 0);
}

TEST_F(FloorPlanTest, ReadingTheLampsRunsOnTheWorkerAndShowsTheirStatus) {
  view->CheckBoxBalastStatus->click();
  Sent();
  view->ButtonReadBalastStatus->click();
  // Under way: the first lamp is named and the plan's controls wait.
  EXPECT_EQ(view->LabelBalastIdx->text(), QStringLiteral("0"));
  std::set<QString> shown;
  ASSERT_TRUE(test::WaitUntil([&] {
    shown.insert(view->LabelBalastIdx->text());
    return view->LabelBalastIdx->text().isEmpty() && view->ButtonReadBalastStatus->isEnabled();
  }));
  for (const QString& text : shown) {
    EXPECT_TRUE(text.isEmpty() || text == "0" || text == "5" || text == "9" || text == "12")
        << text.toStdString();
  }
  std::vector<Frame> expected;
  for (uint8_t a : {0, 5, 9, 12}) {
    expected.push_back(Gear(static_cast<uint8_t>(2 * a + 1), 0x90));
    expected.push_back(Gear(static_cast<uint8_t>(2 * a + 1), 0xA0));
  }
  EXPECT_EQ(Sent(), expected);
  EXPECT_EQ(PanelColor(plan->GearButton(0).StatusPanel), kGreen);
  EXPECT_EQ(PanelColor(plan->GearButton(5).StatusPanel), kRed);   // its lamp failed
  EXPECT_EQ(PanelColor(plan->GearButton(9).StatusPanel), kGreen);
  EXPECT_EQ(PanelColor(plan->GearButton(12).StatusPanel), kRed);  // not on the line
  EXPECT_EQ(plan->GearButton(9).Button->text(), QStringLiteral("109"));
  EXPECT_EQ(gear->CurrentSlot(), 0);
}

TEST_F(FloorPlanTest, ALostGateStopsTheReadingWithAWord) {
  Sent();
  // The status of lamp 5 closes the gate.
  gate.CloseAfter(3);
  view->ButtonReadBalastStatus->click();
  ASSERT_TRUE(test::WaitUntil([&] { return view->LabelBalastIdx->text().isEmpty(); }));
  ASSERT_TRUE(test::WaitUntil([&] {
    return StatusLine().startsWith(QStringLiteral("Čítanie stavu svietidiel sa nedokončilo"));
  })) << StatusLine().toStdString();
  EXPECT_TRUE(StatusLine().contains(QStringLiteral("QUERY STATUS A 05")));
  // Lamp 0's two queries and the one that met the closed gate; nothing after it.
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[2], Gear(0x0B, 0x90));
  // What was not reached is unknown; with the status display on it shows red, without a level.
  view->CheckBoxBalastStatus->click();
  EXPECT_EQ(PanelColor(plan->GearButton(9).StatusPanel), kRed);
  EXPECT_EQ(plan->GearButton(9).Button->text(), QStringLiteral("?"));
  EXPECT_EQ(plan->GearButton(0).Button->text(), QStringLiteral("100"));
  EXPECT_TRUE(view->ButtonReadBalastStatus->isEnabled());
}

TEST_F(FloorPlanTest, TheWheelScrollsThePlanOnlyWhileTheMouseIsOverIt) {
  QScrollBar* vertical = plan->verticalScrollBar();
  QScrollBar* horizontal = plan->horizontalScrollBar();
  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
    const QPointF at(50, 50);
    QWheelEvent event(at, plan->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plan->viewport(), &event);
  };
  plan->OnPositionFrameMouseLeave();
  wheel(-120, Qt::NoModifier);
  EXPECT_EQ(vertical->value(), 0);

  QEnterEvent enter(QPointF(50, 50), QPointF(50, 50), plan->mapToGlobal(QPointF(50, 50)));
  QApplication::sendEvent(plan, &enter);
  EXPECT_EQ(plan->MouseInside, 1);
  wheel(-120, Qt::NoModifier);
  EXPECT_EQ(vertical->value(), 10);
  wheel(-120, Qt::ControlModifier);
  EXPECT_EQ(horizontal->value(), 10);
  EXPECT_EQ(vertical->value(), 10);
  wheel(120, Qt::NoModifier);
  EXPECT_EQ(vertical->value(), 0);
  // At either end a notch is not used here: the window scrolls instead.
  EXPECT_FALSE(plan->OnPositionFrameMouseWheelUp(false));
  vertical->setValue(vertical->maximum());
  EXPECT_EQ(vertical->maximum(), 1100 - plan->viewport()->height());
  EXPECT_FALSE(plan->OnPositionFrameMouseWheelDown(false));
  EXPECT_TRUE(plan->OnPositionFrameMouseWheelUp(false));
  EXPECT_TRUE(plan->OnPositionFrameMouseWheelDown(true));
}

TEST_F(FloorPlanTest, PositionsRoundTripThroughTheDocument) {
  QTest::mouseClick(plan->GearButton(9).Button, Qt::LeftButton, {}, QPoint(37, 12));
  test::TypeAndLeave(view->EditNewX, QStringLiteral("705"), view->ButtonMaximum);
  test::TypeAndLeave(view->EditNewY, QStringLiteral("845"), view->ButtonMaximum);
  view->ButtonChangeCoordinates->click();
  const std::string path =
      (std::filesystem::path(form->FilesFolderInUse()) / "plan.dcf").string();
  SaveDocument(path, *gear, *devices);

  // Moved elsewhere, then the document is opened again: the button goes back.
  QTest::mousePress(plan->GearButton(9).Button, Qt::LeftButton, {}, QPoint(37, 12));
  QTest::mouseMove(plan->GearButton(9).Button, QPoint(38, 12));
  QTest::mouseMove(plan->GearButton(9).Button, QPoint(37 - 300, 12 - 400));
  QTest::mouseRelease(plan->GearButton(9).Button, Qt::LeftButton, {}, QPoint(37, 12));
  EXPECT_EQ(At(plan->GearButton(9)), QPoint(405, 445));
  form->OpenDocument(path);
  EXPECT_EQ(Stored(*gear, 9).Left, 705);
  EXPECT_EQ(Stored(*gear, 9).Top, 845);
  EXPECT_EQ(At(plan->GearButton(9)), QPoint(705, 845));
  EXPECT_EQ(At(plan->DeviceButton(2)), QPoint(560, 60));
}

// The printed plan: the same text drawn alone must match the picture at its place.
bool TextAt(const QImage& picture, const QFont& font, const QString& text, int left, int top) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(text);
  const int height = metrics.height();
  QImage alone(width, height, QImage::Format_RGB32);
  alone.fill(Qt::white);
  {
    QPainter painter(&alone);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(0, metrics.ascent()), text);
  }
  const int x = left + (75 - width) / 2;
  const int y = top + (25 - height) / 2;
  bool inked = false;
  for (int dy = 0; dy < height; ++dy) {
    for (int dx = 0; dx < width; ++dx) {
      if (picture.pixel(x + dx, y + dy) != alone.pixel(dx, dy)) return false;
      inked = inked || alone.pixel(dx, dy) != qRgb(255, 255, 255);
    }
  }
  return inked;
}

TEST_F(FloorPlanTest, ThePictureDrawsEllipsesAndRectanglesWithTheirTexts) {
  QImage picture;
  tabs->DrawPlan(picture);
  ASSERT_EQ(picture.size(), QSize(1500, 1100));
  const QRgb black = qRgb(0, 0, 0);
  const QRgb white = qRgb(255, 255, 255);
  // The frame around the whole area.
  for (QPoint p : {QPoint(0, 0), QPoint(1499, 0), QPoint(0, 1099), QPoint(1499, 1099),
                   QPoint(750, 0), QPoint(0, 550)}) {
    EXPECT_EQ(picture.pixel(p), black) << p.x() << "," << p.y();
  }
  EXPECT_EQ(picture.pixel(750, 550), white);
  const QFont font = view->font();
  // Gear 5 at (90, 110): an ellipse, so its bounding box's corner stays white, its sides are
  // drawn, and "A 05" sits in its middle.
  EXPECT_EQ(picture.pixel(110, 90), white);
  EXPECT_EQ(picture.pixel(110, 90 + 12), black);
  EXPECT_EQ(picture.pixel(110 + 74, 90 + 12), black);
  EXPECT_TRUE(TextAt(picture, font, QStringLiteral("A 05"), 110, 90));
  // Control device 2, a switch at (60, 560): a rectangle with its kind letter.
  EXPECT_EQ(picture.pixel(560, 60), black);
  EXPECT_EQ(picture.pixel(560 + 74, 60 + 24), black);
  EXPECT_TRUE(TextAt(picture, font, QStringLiteral("C 02 - T"), 560, 60));
  EXPECT_TRUE(TextAt(picture, font, QStringLiteral("C 00 - P"), 400, 60));
  // An empty slot's place is blank.
  EXPECT_FALSE(TextAt(picture, font, QStringLiteral("A 01"), 110, 60));
  EXPECT_EQ(picture.pixel(110, 60 + 12), white);
  // Drawing changed no selection.
  EXPECT_EQ(gear->CurrentSlot(), 0);
  EXPECT_EQ(devices->CurrentSlot(), 0);

  // "Tlač" of the shown plan exports it.
  const std::string pdf =
      (std::filesystem::path(form->FilesFolderInUse()) / "rozmiestnenie.pdf").string();
  form->Printing().ExportTo(pdf);
  EXPECT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);

  // Nothing installed, nothing to print; the plan itself still draws its frame.
  TConfiguratorForm empty({});
  QImage nothing(10, 10, QImage::Format_RGB32);
  empty.FloorPlan()->DrawPlan(nothing);
  EXPECT_TRUE(nothing.isNull());
  empty.FloorPlan()->RenderPlan(nothing);
  EXPECT_EQ(nothing.size(), QSize(1500, 1100));
  EXPECT_EQ(nothing.pixel(0, 0), black);

  // With "Parametre" shown there is no plan to print.
  QImage none;
  tabs->RadioButtonParameters->click();
  tabs->DrawPlan(none);
  EXPECT_TRUE(none.isNull());
}

TEST_F(FloorPlanTest, ThePlanGivesWayToTheOtherPagesViews) {
  tabs->Pages->setCurrentWidget(tabs->AddressPage);
  EXPECT_FALSE(view->isVisible());
  tabs->Pages->setCurrentWidget(tabs->ControllersPage);
  EXPECT_FALSE(view->isVisible());  // "Parametre" there
  tabs->RadioButtonCtrlPositions->click();
  EXPECT_TRUE(view->isVisible());
  tabs->Pages->setCurrentWidget(tabs->DaliMonitorPage);
  EXPECT_FALSE(view->isVisible());
  tabs->Pages->setCurrentWidget(tabs->LightsPage);
  EXPECT_TRUE(view->isVisible());
}

}  // namespace
}  // namespace lumetra
