// The device tile, the message dialog, the about box and the version texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/AboutBox.h"
#include "ui/DeviceButton.h"
#include "ui/ErrorDlg.h"
#include "ui/VersionInfo.h"

namespace lumetra {
namespace {

class DeviceButtonTest : public ::testing::Test {
 public:
  void SetUp() override {
    button = new QPushButton("A 05", &parent);
    button->resize(75, 25);
    select = MakePanel("SelectPanel", &parent, 16, 8);
    group = MakePanel("GroupPanel", &parent, 16, 8);
    status = MakePanel("StatusPanel", &parent, 17, 17);
  }
  QColor Light() const { return QApplication::palette().color(QPalette::Light); }
  QColor Face() const { return QApplication::palette().color(QPalette::Button); }

  QWidget parent;
  QPushButton* button;
  QWidget *select, *group, *status;
};

TEST_F(DeviceButtonTest, MoveToPlacesThePanelsAtTheirOffsets) {
  TDeviceButton tile;
  tile.Bind(button, select, group, status, kGearKind);
  tile.MoveTo(100, 200);
  EXPECT_EQ(button->pos(), QPoint(200, 100));
  EXPECT_EQ(select->pos(), QPoint(255, 104));
  EXPECT_EQ(group->pos(), QPoint(255, 113));
  EXPECT_EQ(status->pos(), QPoint(204, 104));
  EXPECT_EQ(tile.Top(), 100);
  EXPECT_EQ(tile.Left(), 200);
  EXPECT_EQ(tile.Width(), 75);
  EXPECT_EQ(tile.Height(), 25);
}

TEST_F(DeviceButtonTest, Looks) {
  const struct {
    int kind;
    void (TDeviceButton::*look)();
    QWidget* DeviceButtonTest::*panel;
    QColor color;
  } cases[] = {
      {kGearKind, &TDeviceButton::SetMember, &DeviceButtonTest::group, QColor(255, 255, 0)},
      {kDeviceKind, &TDeviceButton::SetMember, &DeviceButtonTest::group, QColor(255, 0, 0)},
      {kGearKind, &TDeviceButton::SetNotMember, &DeviceButtonTest::group, QColor(128, 0, 0)},
      {kDeviceKind, &TDeviceButton::SetNotMember, &DeviceButtonTest::group, QColor(128, 0, 0)},
      {kGearKind, &TDeviceButton::Select, &DeviceButtonTest::select, QColor(0, 255, 0)},
      {kGearKind, &TDeviceButton::Deselect, &DeviceButtonTest::select, Light()},
  };
  for (const auto& c : cases) {
    TDeviceButton tile;
    tile.Bind(button, select, group, status, c.kind);
    (tile.*c.look)();
    EXPECT_EQ(PanelColor(this->*c.panel), c.color) << c.kind;
  }
}

TEST_F(DeviceButtonTest, StatusSquare) {
  TDeviceButton tile;
  tile.Bind(button, select, group, status, kGearKind);
  parent.show();
  tile.SetStatus(0);
  EXPECT_EQ(PanelColor(status), QColor(0, 128, 0));
  tile.HideStatus();
  EXPECT_FALSE(status->isVisible());
  tile.SetStatus(3);  // unknown status: shown again, colour kept
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(PanelColor(status), QColor(0, 128, 0));
  tile.SetStatus(1);
  EXPECT_EQ(PanelColor(status), QColor(255, 165, 0));
  tile.SetStatus(2);
  EXPECT_EQ(PanelColor(status), QColor(255, 0, 0));
}

TEST_F(DeviceButtonTest, DisableGivesButtonFaceUntilTheNextLook) {
  TDeviceButton tile;
  tile.Bind(button, select, group, status, kDeviceKind);
  tile.Select();
  tile.SetMember();
  tile.Disable();
  EXPECT_FALSE(button->isEnabled());
  EXPECT_FALSE(select->isEnabled());
  tile.Enable();
  EXPECT_TRUE(button->isEnabled() && select->isEnabled() && group->isEnabled());
  for (QWidget* panel : {select, group, status}) EXPECT_EQ(PanelColor(panel), Face());
  tile.SetMember();
  EXPECT_EQ(PanelColor(group), QColor(255, 0, 0));
  EXPECT_EQ(PanelColor(select), Face());
}

TEST_F(DeviceButtonTest, WithoutStatusSquareEveryOperationWorks) {
  TDeviceButton tile;
  tile.Bind(button, select, group, nullptr, kGearKind);
  int clicks = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
  parent.show();
  tile.MoveTo(10, 20);
  tile.SetStatus(1);
  tile.HideStatus();
  tile.Hide();
  EXPECT_FALSE(button->isVisible());
  tile.Show();
  tile.Disable();
  tile.Enable();
  tile.BringToFront();
  tile.Repaint();
  tile.SetCaption("A 07");
  EXPECT_EQ(button->text(), "A 07");
  tile.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(tile.Owns(button));
  EXPECT_TRUE(tile.Owns(select));
  EXPECT_TRUE(tile.Owns(group));
  EXPECT_FALSE(tile.Owns(status));
  EXPECT_FALSE(tile.Owns(nullptr));
}

// Presses a dialog button once the dialog runs modally, and returns the dialog's result.
int RunAndPress(QDialog& dialog, QPushButton* button) {
  QTimer::singleShot(0, button, [button] { button->click(); });
  return dialog.exec();
}

TEST(ErrorDlgTest, ModesResultsAndEmptiedLines) {
  TErrorDlg dialog;
  EXPECT_EQ(dialog.size(), QSize(350, 200));
  EXPECT_EQ(dialog.windowTitle(), "Chyba");
  EXPECT_FALSE(dialog.ButtonOk->isHidden());
  EXPECT_TRUE(dialog.ButtonContinue->isHidden());
  EXPECT_TRUE(dialog.ButtonCancel->isHidden());

  const struct {
    bool question;
    QPushButton* TErrorDlg::*button;
    int result;
  } cases[] = {
      {false, &TErrorDlg::ButtonOk, QDialog::Accepted},
      {true, &TErrorDlg::ButtonContinue, QDialog::Accepted},
      {true, &TErrorDlg::ButtonCancel, QDialog::Rejected},
  };
  for (const auto& c : cases) {
    if (c.question) {
      dialog.SetQuestionMode();
      EXPECT_EQ(dialog.windowTitle(), "Správa");
      EXPECT_TRUE(dialog.ButtonOk->isHidden());
      EXPECT_FALSE(dialog.ButtonContinue->isHidden());
    } else {
      dialog.SetErrorMode();
    }
    dialog.AddMessageLine("Riadok 1");
    dialog.AddMessageLine("Riadok 2");
    EXPECT_EQ(dialog.Memo1->toPlainText(), "Riadok 1\nRiadok 2");
    EXPECT_EQ(RunAndPress(dialog, dialog.*c.button), c.result);
    EXPECT_TRUE(dialog.Memo1->toPlainText().isEmpty());
  }
}

TEST(AboutBoxTest, ShowsProductAndVersionAndOpensTheMakersPages) {
  TAboutBox box;
  EXPECT_EQ(box.windowTitle(), "O programe");
  EXPECT_EQ(box.size(), QSize(407, 353));
  EXPECT_EQ(box.LabelProductName->text(), "Lumetra konfigurátor");
  EXPECT_EQ(box.LabelVersion->text(), "Verzia");
  EXPECT_EQ(box.LabelFileVersion->text(), "2.1.0.25");
  EXPECT_TRUE(box.LabelCopyright->text().isEmpty());
  // The logos are drawn: the middle of each is not transparent.
  for (QLabel* logo : {box.ZorvikLogo, box.LumetraLogo}) {
    const QImage image = logo->pixmap().toImage();
    EXPECT_GT(image.pixelColor(image.width() / 6, image.height() / 2).alpha(), 0);
  }

  std::vector<QUrl> opened;
  box.OpenUrl = [&](const QUrl& url) { opened.push_back(url); };
  box.show();
  QTest::mouseClick(box.ZorvikLogo, Qt::LeftButton);
  QTest::mouseClick(box.LumetraLogo, Qt::LeftButton);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], QUrl(kMakerHomePage));
  EXPECT_EQ(opened[1], QUrl(kProductFamilyPage));
  EXPECT_EQ(RunAndPress(box, box.OKButton), QDialog::Accepted);
}

TEST(VersionInfoTest, ReadsTheProgramsBlockAndNothingWithoutATranslation) {
  const TVersionInfo program;
  EXPECT_TRUE(program.Read());
  EXPECT_EQ(program.ProductName, "Lumetra konfigurátor");
  EXPECT_EQ(program.FileVersion, "2.1.0.25");
  EXPECT_EQ(program.ProductVersion, "1.1.0.0");
  EXPECT_EQ(program.CompanyName, "Zorvik");
  EXPECT_EQ(program.LegalCopyright, "");

  // Texts under another translation than the first one listed are not this program's.
  const VersionEntry otherLanguage[] = {
      {"\\VarFileInfo\\Translation", "04090000"},
      {"\\StringFileInfo\\041b04e2\\ProductName", "nie"},
      {"\\StringFileInfo\\04090000\\ProductName", "Product"},
  };
  const VersionBlock other{otherLanguage, std::size(otherLanguage)};
  const TVersionInfo english(&other);
  EXPECT_TRUE(english.Read());
  EXPECT_EQ(english.ProductName, "Product");

  const VersionEntry noTranslation[] = {{"\\StringFileInfo\\041b04e2\\ProductName", "x"}};
  const VersionBlock broken{noTranslation, std::size(noTranslation)};
  const VersionBlock empty{};
  for (const VersionBlock* block : {&broken, &empty, static_cast<const VersionBlock*>(nullptr)}) {
    const TVersionInfo info(block);
    EXPECT_FALSE(info.Read());
    EXPECT_EQ(info.ProductName, "");
    EXPECT_EQ(info.FileVersion, "");
  }
}

TEST(QtDialogsTest, StandardTextsAreSlovak) {
  // The file, print and message dialogs take their buttons' texts from Qt's own translation.
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), "Zrušiť");
  EXPECT_EQ(box.button(QDialogButtonBox::Save)->text(), "Uložiť");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Hľadať v:");
}

}  // namespace
}  // namespace lumetra
