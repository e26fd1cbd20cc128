// The device pages on the real frame: selection, the right-click reaching the group membership
// sequence (tested in-process in tests/sequences), page showing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QTest>

#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "support/LoopbackPeer.h"
#include "support/QtWait.h"
#include "ui/ConfiguratorForm.h"
#include "ui/TabsFrame.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Wire;
using test::LoopbackPeer;
using namespace std::chrono_literals;

const QColor kMaroon(128, 0, 0), kYellow(255, 255, 0), kRed(255, 0, 0), kLime(0, 255, 0);


class TabsFrameGridsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TConfiguratorForm>(
        std::vector<std::string>{"Hala", "127.0.0.5", std::to_string(gate.Port() - 1)});
    tabs = form->TabsFrame();
    form->DaliCom().SetReplyTimeout(200ms);
    tabs->ButtonOpen->click();
    ASSERT_TRUE(tabs->TCPClientGate.Connected());
    // Control gear at 0, 3, 5 and 10, only 3 in group 3; control devices at 2 and 7.
    for (TConfig* table : {static_cast<TConfig*>(&form->BalastConfig()),
                           static_cast<TConfig*>(&form->ControllerConfig())}) {
      for (int a : table == &form->BalastConfig() ? std::vector<int>{0, 3, 5, 10}
                                                  : std::vector<int>{2, 7}) {
        table->SetCurrentSlot(static_cast<uint8_t>(a));
        table->SetShortAddress(static_cast<uint32_t>(a));
        for (uint32_t g = 0; g < 16; ++g) table->SetGroups(g, 0);
      }
    }
    form->BalastConfig().SetCurrentSlot(3);
    form->BalastConfig().SetGroups(3, 1);
    form->BalastConfig().SetCurrentSlot(0);
    form->ControllerConfig().SetCurrentSlot(2);
    form->show();
  }

  QPushButton* Button(const char* name) { return tabs->findChild<QPushButton*>(name); }
  QWidget* Panel(const char* name) { return tabs->findChild<QWidget*>(name); }
  void ShowPage(QWidget* page) { tabs->Pages->setCurrentWidget(page); }
  static void RightClick(QWidget* w) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3), w->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(w, &event);
  }

  LoopbackPeer gate{"127.0.0.5"};
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
};

TEST_F(TabsFrameGridsTest, GridLayoutNamesAndCaptions) {
  const struct {
    const char* name;
    const char* caption;
    int left, top;
    const char* selectPanel;
    const char* memberPanel;
  } tiles[] = {
      {"BalastButton1", "A 00", 111, 76, "BalastPanel1", "BGPanel1"},
      {"BalastButton6", "A 05", 195, 110, "BalastPanel6", "BGPanel6"},
      {"BalastButton64", "A 63", 363, 586, "BalastPanel64", "BGPanel64"},
      {"ButtonGroup1", "GA 00", 14, 76, "GSPanel1", "GroupPanel1"},
      {"ButtonGroup16", "GA 15", 14, 586, "GSPanel16", "GroupPanel16"},
      {"ButtonAll", "Všetky", 14, 42, "GSPanelAll", "GroupPanelAll"},
      {"ControlButton01", "C 00", 111, 76, "ControlPanel1", "CGPanel1"},
      {"ControlButton64", "C 63", 363, 586, "ControlPanel64", "CGPanel64"},
      {"CtrlGroupButton16", "GC 15", 14, 586, "CtrlGSPanel16", "CtrlGroupPanel16"},
      {"CtrlGroupButtonAll", "Všetky", 14, 42, "CtrlGSPanelAll", "CtrlGroupPanelAll"},
  };
  for (const auto& t : tiles) {
    SCOPED_TRACE(t.name);
    QPushButton* button = Button(t.name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf8(t.caption));
    EXPECT_EQ(button->geometry(), QRect(t.left, t.top, 75, 25));
    ASSERT_NE(Panel(t.selectPanel), nullptr);
    ASSERT_NE(Panel(t.memberPanel), nullptr);
    EXPECT_EQ(Panel(t.selectPanel)->geometry(), QRect(t.left + 55, t.top + 4, 16, 8));
    EXPECT_EQ(Panel(t.memberPanel)->geometry(), QRect(t.left + 55, t.top + 13, 16, 8));
  }
}

TEST_F(TabsFrameGridsTest, DeviceClickKeepsTheGroupAndShowsMembership) {
  ShowPage(tabs->LightsPage);
  Button("ButtonGroup4")->click();  // GA 03
  EXPECT_EQ(form->BalastConfig().CurrentGroup(), 3);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), TConfig::kGroupSlot);
  EXPECT_EQ(PanelColor(Panel("GSPanel4")), kLime);
  EXPECT_EQ(PanelColor(Panel("GroupPanel4")), kYellow);
  EXPECT_EQ(PanelColor(Panel("GroupPanel1")), kMaroon);

  Button("BalastButton6")->click();  // A 05
  EXPECT_EQ(form->BalastConfig().CurrentGroup(), 3);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), 5);
  EXPECT_EQ(PanelColor(Panel("BalastPanel6")), kLime);
  EXPECT_EQ(PanelColor(Panel("GSPanel4")), QApplication::palette().color(QPalette::Light));
  EXPECT_EQ(PanelColor(Panel("BGPanel6")), kMaroon);  // not in group 3
  EXPECT_EQ(PanelColor(Panel("BGPanel1")), kMaroon);
  EXPECT_EQ(PanelColor(Panel("BGPanel4")), kYellow);  // A 03 is
  // Empty slots are disabled and show the button face.
  EXPECT_FALSE(Button("BalastButton2")->isEnabled());
  EXPECT_EQ(PanelColor(Panel("BGPanel2")), QApplication::palette().color(QPalette::Button));

  // A click on an indicator counts as a click on its button.
  QTest::mouseClick(Panel("BGPanel11"), Qt::LeftButton);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), 10);
  EXPECT_EQ(PanelColor(Panel("BalastPanel11")), kLime);
  EXPECT_EQ(PanelColor(Panel("BalastPanel6")), QApplication::palette().color(QPalette::Light));
}

TEST_F(TabsFrameGridsTest, RightClickTogglesMembershipAndItsIndicator) {
  ShowPage(tabs->LightsPage);
  Button("ButtonGroup4")->click();
  Button("BalastButton1")->click();
  RightClick(Button("BalastButton6"));
  form->BalastConfig().SetCurrentSlot(5);
  EXPECT_EQ(form->BalastConfig().Groups(3), 1);
  form->BalastConfig().SetCurrentSlot(0);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), 0);  // the selection is restored
  EXPECT_EQ(PanelColor(Panel("BGPanel6")), kYellow);
  ASSERT_TRUE(gate.WaitForRequests(2, 2s));
  EXPECT_EQ(gate.Requests()[0], Wire(3, 0, 0x0B, 0x63));

  RightClick(Panel("BGPanel6"));  // the indicator panel counts as the button
  ASSERT_TRUE(gate.WaitForRequests(4, 2s));
  EXPECT_EQ(gate.Requests()[2], Wire(3, 0, 0x0B, 0x73));
  EXPECT_EQ(PanelColor(Panel("BGPanel6")), kMaroon);
  form->BalastConfig().SetCurrentSlot(5);
  EXPECT_EQ(form->BalastConfig().Groups(3), 0);

  ShowPage(tabs->ControllersPage);
  Button("CtrlGroupButton03")->click();   // GC 02
  RightClick(Button("ControlButton08"));  // C 07
  ASSERT_TRUE(gate.WaitForRequests(6, 2s));
  EXPECT_EQ(gate.Requests()[4], Wire(4, 7, 12, 2));
  EXPECT_EQ(PanelColor(Panel("CGPanel8")), kRed);
  RightClick(Button("ControlButton08"));
  ASSERT_TRUE(gate.WaitForRequests(8, 2s));
  EXPECT_EQ(gate.Requests()[6], Wire(4, 7, 13, 2));
  EXPECT_EQ(PanelColor(Panel("CGPanel8")), kMaroon);
}

TEST_F(TabsFrameGridsTest, RightClickWithAllDevicesSendsNothing) {
  ShowPage(tabs->LightsPage);
  Button("ButtonAll")->click();
  EXPECT_EQ(form->BalastConfig().CurrentGroup(), TConfig::kAllDevices);
  const QColor before = PanelColor(Panel("BGPanel6"));
  EXPECT_EQ(before, kYellow);  // with "Všetky" every device is a member
  RightClick(Button("BalastButton6"));
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(gate.Requests().empty());
  EXPECT_EQ(PanelColor(Panel("BGPanel6")), before);
}

TEST_F(TabsFrameGridsTest, TickedAutomaticReadingReadsTheClickedDevice) {
  ShowPage(tabs->LightsPage);
  const size_t before = gate.Requests().size();  // the page show clicked A 00 without reading
  tabs->CheckBoxReadActualBalastData->setChecked(true);
  Button("BalastButton6")->click();  // A 05: the full read, in its order
  std::vector<Frame> expected;
  for (uint8_t query : {0x99, 0x97, 0x9A, 0x90, 0xA0, 0xA2, 0xA1, 0xA3, 0xA4, 0xA5, 0xC0, 0xC1}) {
    expected.push_back(Wire(3, 0, 0x0B, query));
  }
  for (uint8_t s = 0; s < 16; ++s) expected.push_back(Wire(3, 0, 0x0B, 0xB0 + s));
  ASSERT_TRUE(gate.WaitForRequests(before + 28, 2s));
  const auto sent = gate.Requests();
  EXPECT_EQ(std::vector<Frame>(sent.begin() + static_cast<long>(before), sent.end()), expected);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), 5);

  tabs->CheckBoxReadActualBalastData->setChecked(false);
  Button("BalastButton4")->click();
  EXPECT_EQ(gate.Requests().size(), before + 28);

  // A control device is read from its memory banks, starting with the identity bank.
  ShowPage(tabs->ControllersPage);
  tabs->CheckBoxReadActualControllerData->setChecked(true);
  Button("ControlButton08")->click();  // C 07
  // The worker reads it while the window goes on serving its events.
  ASSERT_TRUE(test::WaitUntil([&] { return !tabs->JobRunning(); }));
  ASSERT_GE(gate.Requests().size(), before + 30);
  EXPECT_EQ(gate.Requests()[before + 28], Wire(4, 7, 5, 0x90));  // SET BANK
  EXPECT_EQ(gate.Requests()[before + 29], Wire(4, 7, 9, 2));     // READ DIRECT MEMORY BYTE 2
}

TEST_F(TabsFrameGridsTest, ShowingThePageClicksTheSelectedOrLowestDevice) {
  // A group selected: no device is clicked.
  form->BalastConfig().SetCurrentGroup(3);
  form->BalastConfig().SetCurrentSlot(TConfig::kGroupSlot);
  ShowPage(tabs->LightsPage);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), TConfig::kGroupSlot);
  EXPECT_TRUE(tabs->ShowsParameters());

  // The selected device's slot has become empty: the lowest occupied slot is clicked instead.
  ShowPage(tabs->AddressPage);
  EXPECT_FALSE(tabs->ShowsParameters());
  form->BalastConfig().SetCurrentSlot(4);
  ShowPage(tabs->LightsPage);
  EXPECT_EQ(form->BalastConfig().CurrentSlot(), 0);
  EXPECT_EQ(PanelColor(Panel("BalastPanel1")), kLime);

  tabs->RadioButtonPositions->click();
  EXPECT_FALSE(tabs->ShowsParameters());
  // The plan is printed from "Rozmiestnenie": the page offers "Tlač" either way.
  EXPECT_TRUE(form->ItemPrint->isEnabled());
}

TEST_F(TabsFrameGridsTest, PercentChoiceSetsBothTables) {
  EXPECT_EQ(form->BalastConfig().PercentMode(), 1);  // "percentách" is the default
  EXPECT_EQ(form->ControllerConfig().PercentMode(), 1);
  tabs->RadioGroupPercentArc->Item(1)->click();
  EXPECT_EQ(form->BalastConfig().PercentMode(), 0);
  EXPECT_EQ(form->ControllerConfig().PercentMode(), 0);
  tabs->RadioGroupPercentArc->Item(0)->click();
  EXPECT_EQ(form->BalastConfig().PercentMode(), 1);
  EXPECT_EQ(form->ControllerConfig().PercentMode(), 1);
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// Stand-ins for the editor and the floor plan, which arrive with their own frames: they record
// what the navigation frame asks of them.
class RecordingEditor : public TNavigatedView, public TReportSource {
 public:
  QWidget* Widget() override { return &widget; }
  void RefreshView() override { ++refreshes; }
  TReportSource* ReportSource() override { return this; }
  int GetReportPages(ReportPages& pages) override {
    pages[0] = {"Svietidlo A 00", kFormFeedLine, "pokračovanie"};
    pages[1] = {"Svietidlo A 01"};
    return 2;
  }
  QWidget widget;
  int refreshes = 0;
};

class RecordingPlan : public TNavigatedView, public TPlanPicture {
 public:
  QWidget* Widget() override { return &widget; }
  void RefreshView() override { ++refreshes; }
  TPlanPicture* PlanPicture() override { return this; }
  void DrawPlan(QImage& bitmap) override { bitmap = QImage(10, 10, QImage::Format_RGB32); }
  QWidget widget;
  int refreshes = 0;
};

TEST(TabsFrameViewsTest, PagesShowTheirViewsAndPrintTheirReportOrPlan) {
  TDaliCom com;
  com.CreateLock();
  TBalastConfig gear;
  TControllerConfig devices;
  gear.SetCurrentSlot(0);
  gear.SetShortAddress(0);
  RecordingEditor gearEditor;
  RecordingPlan plan;
  TTabsFrame tabs;
  TTabsFrame::Shared shared;
  shared.daliCom = &com;
  shared.balastConfig = &gear;
  shared.controllerConfig = &devices;
  shared.gearEditor = &gearEditor;
  shared.floorPlan = &plan;
  tabs.Initialize(shared, std::nullopt, std::nullopt);
  tabs.show();

  ReportPages pages;
  QImage picture;
  tabs.Pages->setCurrentWidget(tabs.LightsPage);
  EXPECT_TRUE(gearEditor.widget.isVisible());
  EXPECT_GE(gearEditor.refreshes, 1);  // the lowest device was clicked
  EXPECT_EQ(tabs.GetReportPages(pages), 2);
  EXPECT_EQ(pages[1], ReportPageList{"Svietidlo A 01"});
  tabs.DrawPlan(picture);
  EXPECT_TRUE(picture.isNull());  // "Parametre" shown: no plan

  tabs.RadioButtonPositions->click();
  EXPECT_FALSE(gearEditor.widget.isVisible());
  EXPECT_TRUE(plan.widget.isVisible());
  EXPECT_EQ(tabs.GetReportPages(pages), 0);
  tabs.DrawPlan(picture);
  EXPECT_EQ(picture.size(), QSize(10, 10));

  // The control device page has no editor yet: nothing to print, nothing pretends.
  tabs.RadioButtonParameters->click();
  tabs.Pages->setCurrentWidget(tabs.ControllersPage);
  EXPECT_FALSE(gearEditor.widget.isVisible());
  EXPECT_EQ(tabs.GetReportPages(pages), 0);

  tabs.Pages->setCurrentWidget(tabs.InterfacePage);
  EXPECT_FALSE(gearEditor.widget.isVisible());
}

}  // namespace
}  // namespace lumetra
