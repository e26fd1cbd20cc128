// The main window: command line, geometry, menu and the mouse-wheel rule, on the real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include <QTest>

#include <filesystem>
#include <fstream>

#include "documents/ConfigDocument.h"
#include "documents/FileFolder.h"
#include "documents/Settings.h"
#include "model/Error.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"

namespace lumetra {
namespace {

struct CommandLineCase {
  std::vector<std::string> arguments;
  const char* caption;
  int interfaceIndex;
  const char* ip;
  const char* port;
};

TEST(ConfiguratorFormTest, CommandLineSetsCaptionAndControlUnit) {
  const CommandLineCase cases[] = {
      {{}, "Lumetra konfigurátor", kInterfaceUsb, "", "50000"},
      {{"Hall2"}, "Lumetra konfigurátor - Hall2", kInterfaceUsb, "", "50000"},
      {{"Hall2", "127.0.0.7"},
       "Lumetra konfigurátor - Hall2",
       kInterfaceControlUnit,
       "127.0.0.7",
       "50000"},
      {{"Hall2", "127.0.0.7", "4000"},
       "Lumetra konfigurátor - Hall2",
       kInterfaceControlUnit,
       "127.0.0.7",
       "4000"},
      {{"Hala č. 2"}, "Lumetra konfigurátor - Hala č. 2", kInterfaceUsb, "", "50000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    // Each case starts without remembered settings: the defaults, then the command line.
    std::filesystem::remove(PathInFolder(TConfiguratorForm::FilesFolder(), kSettingsFile));
    TConfiguratorForm form(c.arguments);
    TTabsFrame* tabs = form.TabsFrame();
    EXPECT_EQ(form.windowTitle().toStdString(), c.caption);
    EXPECT_EQ(tabs->RadioGroupInterface->ItemIndex(), c.interfaceIndex);
    EXPECT_EQ(tabs->EditIPAddress->text().toStdString(), c.ip);
    EXPECT_EQ(tabs->EditPort->text().toStdString(), c.port);
    // The fields the chosen interface needs are the enabled ones.
    const bool serial = c.interfaceIndex == kInterfaceUsb;
    EXPECT_EQ(tabs->ComboBoxPort->isEnabled(), serial);
    EXPECT_EQ(tabs->EditIPAddress->isEnabled(), !serial);
    EXPECT_EQ(tabs->EditPort->isEnabled(), !serial);
    EXPECT_TRUE(tabs->ButtonOpen->isEnabled());
    EXPECT_FALSE(tabs->ButtonClose->isEnabled());
  }
}

TEST(ConfiguratorFormTest, WindowLayoutAndPages) {
  TConfiguratorForm form({});
  EXPECT_EQ(form.size(), QSize(1280, 760));
  EXPECT_EQ(form.ScrollBox()->widget()->size(), QSize(1264, 701));
  EXPECT_EQ(form.TabsFrame()->geometry().x(), 3);
  EXPECT_EQ(form.TabsFrame()->geometry().width(), 480);
  EXPECT_EQ(form.TabsFrame()->geometry().height(), 690);

  auto* pages = form.findChild<QTabWidget*>("Pages");
  ASSERT_NE(pages, nullptr);
  const QStringList captions = {"Rozhranie", "Adresovanie", "Svietidlá", "Ovládače",
                                "DALI Monitor"};
  ASSERT_EQ(pages->count(), captions.size());
  for (int i = 0; i < pages->count(); ++i) EXPECT_EQ(pages->tabText(i), captions[i]);
  EXPECT_EQ(pages->widget(0)->objectName(), "InterfacePage");
  EXPECT_EQ(pages->widget(4)->objectName(), "DaliMonitorPage");
}

TEST(ConfiguratorFormTest, MenuItemsShortcutsAndExit) {
  TConfiguratorForm form({});
  const struct {
    const char* name;
    const char* text;
    QKeySequence shortcut;
    bool enabled;
  } items[] = {
      {"ItemOpen", "Otvoriť", QKeySequence(Qt::CTRL | Qt::Key_O), true},
      {"ItemSaveAs", "Uložiť ako", QKeySequence(), true},
      {"ItemPrint", "Tlač", QKeySequence(Qt::CTRL | Qt::Key_P), false},
      {"ItemPrintPreview", "Náhľad tlače", QKeySequence(), false},
      {"ItemExportPdf", "Exportovať do PDF", QKeySequence(), false},
      {"ItemExit", "Koniec", QKeySequence(), true},
      {"ItemAbout", "O programe", QKeySequence(), true},
  };
  for (const auto& item : items) {
    auto* action = form.findChild<QAction*>(item.name);
    ASSERT_NE(action, nullptr) << item.name;
    EXPECT_EQ(action->text(), QString::fromUtf8(item.text));
    EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
    EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
  }
  const auto menus = form.menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), "Súbor");
  EXPECT_EQ(menus[1]->text(), "Pomocník");

  // "O programe" opens the about box over the window.
  QString shownName;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    if (auto* name = box->findChild<QLabel*>("LabelProductName")) shownName = name->text();
    box->close();
  });
  form.ItemAbout->trigger();
  EXPECT_EQ(shownName, QString::fromUtf8("Lumetra konfigurátor"));

  form.show();
  form.ItemExit->trigger();
  EXPECT_FALSE(form.isVisible());
}

TEST(ConfiguratorFormTest, WheelScrollsOnlyWhileThePointerIsOverTheWindow) {
  TConfiguratorForm form({});
  form.resize(700, 400);  // smaller than the content, so both bars have a range
  form.show();
  QApplication::processEvents();
  QScrollBar* vertical = form.ScrollBox()->verticalScrollBar();
  QScrollBar* horizontal = form.ScrollBox()->horizontalScrollBar();
  ASSERT_GT(vertical->maximum(), 16);
  ASSERT_GT(horizontal->maximum(), 16);

  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.ScrollBox()->viewport(), &event);
  };
  const struct {
    bool over;
    int delta;
    Qt::KeyboardModifiers modifiers;
    int vertical, horizontal;
  } steps[] = {
      {false, -120, Qt::NoModifier, 0, 0},  // outside the window nothing moves
      {true, -120, Qt::NoModifier, 8, 0},   // wheel down: one increment down
      {true, -120, Qt::NoModifier, 16, 0},     {true, 120, Qt::NoModifier, 8, 0},  // wheel up
      {true, -120, Qt::ControlModifier, 8, 8},  // Ctrl: horizontally
      {true, 120, Qt::ControlModifier, 8, 0},  {false, -120, Qt::ControlModifier, 8, 0},
  };
  for (const auto& s : steps) {
    if (s.over) {
      QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
      QApplication::sendEvent(&form, &enter);
    } else {
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(&form, &leave);
    }
    wheel(s.delta, s.modifiers);
    EXPECT_EQ(vertical->value(), s.vertical);
    EXPECT_EQ(horizontal->value(), s.horizontal);
  }
}

TEST(ConfiguratorFormTest, PortEditTakesDigitsOnlyAlignedRight) {
  TConfiguratorForm form({"Hala", "127.0.0.7"});
  QLineEdit* port = form.TabsFrame()->EditPort;
  port->clear();
  QTest::keyClicks(port, "4a0-0 9");
  EXPECT_EQ(port->text(), "4009");
  EXPECT_TRUE(port->alignment() & Qt::AlignRight);
}

// An object whose event handler fails the way a broken handler would.
class Failing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw Error("Súbor sa nedá čítať");
    return QObject::event(e);
  }
};

TEST(ConfiguratorFormTest, AnErrorEscapingAHandlerReachesTheGeneralErrorReport) {
  std::vector<QString> reports;
  TLumetraApplication::SetErrorReport([&](const QString& m) { reports.push_back(m); });
  Failing failing;
  QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  TLumetraApplication::SetErrorReport(nullptr);
  EXPECT_EQ(reports, std::vector<QString>{"Súbor sa nedá čítať"});
}

// The choices of the page "Rozhranie" and the level display come back at the next start; a control
// unit on the command line still wins over them.
TEST(ConfiguratorFormTest, SettingsComeBackAtTheNextStart) {
  {
    TConfiguratorForm form({});
    TTabsFrame* tabs = form.TabsFrame();
    EXPECT_EQ(tabs->EditIPAddress->text(), QString());  // nothing remembered yet
    tabs->RadioGroupInterface->SetItemIndex(kInterfaceWifi);
    tabs->EditIPAddress->setText(QStringLiteral("127.0.0.9"));
    tabs->EditPort->setText(QStringLiteral("4001"));
    tabs->ComboBoxPort->setCurrentIndex(3);
    tabs->RadioGroupPercentArc->Item(1)->click();
    tabs->CheckBoxReadActualControllerData->setChecked(true);
  }
  const Settings saved =
      LoadSettings(PathInFolder(TConfiguratorForm::FilesFolder(), kSettingsFile));
  EXPECT_EQ(saved.Interface, kInterfaceWifi);
  EXPECT_EQ(saved.Port, 3);
  EXPECT_EQ(saved.IpAddress, "127.0.0.9");
  {
    TConfiguratorForm form({"Hala"});
    TTabsFrame* tabs = form.TabsFrame();
    EXPECT_EQ(tabs->RadioGroupInterface->ItemIndex(), kInterfaceWifi);
    EXPECT_EQ(tabs->EditIPAddress->text(), QStringLiteral("127.0.0.9"));
    EXPECT_EQ(tabs->EditPort->text(), QStringLiteral("4001"));
    EXPECT_EQ(tabs->ComboBoxPort->currentText(), QStringLiteral("COM4"));
    EXPECT_EQ(tabs->RadioGroupPercentArc->ItemIndex(), 1);
    EXPECT_EQ(form.BalastConfig().PercentMode(), 0);  // the tables follow the remembered choice
    EXPECT_FALSE(tabs->CheckBoxReadActualBalastData->isChecked());
    EXPECT_TRUE(tabs->CheckBoxReadActualControllerData->isChecked());
  }
  TConfiguratorForm form({"Hala", "127.0.0.5", "4100"});
  TTabsFrame* tabs = form.TabsFrame();
  EXPECT_EQ(tabs->RadioGroupInterface->ItemIndex(), kInterfaceControlUnit);
  EXPECT_EQ(tabs->EditIPAddress->text(), QStringLiteral("127.0.0.5"));
  EXPECT_EQ(tabs->EditPort->text(), QStringLiteral("4100"));
  EXPECT_EQ(tabs->RadioGroupPercentArc->ItemIndex(), 1);
}

TEST(ConfiguratorFormTest, ClosingSavesTheInstallationAndItOpensAgain) {
  const std::string last = PathInFolder(TConfiguratorForm::FilesFolder(), kLastDevicesDocument);
  {
    TConfiguratorForm form({});
    TBalastConfig& gear = form.BalastConfig();
    gear.SetCurrentSlot(12);
    gear.SetShortAddress(12);
    gear.SetMaxLevel(80);  // percent, as the levels are shown: arc 246
    form.show();
    EXPECT_TRUE(form.close());
  }
  ASSERT_TRUE(std::filesystem::exists(last));

  std::vector<QString> reports;
  TLumetraApplication::SetErrorReport([&](const QString& m) { reports.push_back(m); });
  TConfiguratorForm form({});
  form.OpenDocument(last);
  TBalastConfig& gear = form.BalastConfig();
  EXPECT_FALSE(gear.IsSlotFree(12));
  EXPECT_EQ(gear.Record(12)->MaxLevel, 246);
  EXPECT_EQ(gear.CurrentSlot(), 12);

  // A broken document is reported and leaves the installation as it was.
  const std::string broken = PathInFolder(TConfiguratorForm::FilesFolder(), "broken.dcf");
  std::ofstream(broken) << "<lumetraconfigurator><balasts><balast><shortaddress>x";
  form.ItemOpen->setEnabled(true);
  TLumetraApplication::Guard([&] { form.OpenDocument(broken); });
  TLumetraApplication::SetErrorReport(nullptr);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(gear.IsSlotFree(12));
  EXPECT_EQ(gear.Record(12)->MaxLevel, 246);
}

TEST(ConfiguratorFormTest, SaveAsAddsTheExtensionAndWritesTheDocument) {
  TConfiguratorForm form({});
  form.BalastConfig().SetCurrentSlot(3);
  form.BalastConfig().SetShortAddress(3);
  const std::string chosen = PathInFolder(TConfiguratorForm::FilesFolder(), "hala.DCF");
  QTimer::singleShot(0, form.SaveDialog, [&form, &chosen] {
    auto* name = form.SaveDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(chosen));
    static_cast<QDialog*>(form.SaveDialog)->accept();
  });
  form.ItemSaveAs->trigger();
  // The rule is case-sensitive: ".DCF" is no ".dcf".
  ASSERT_TRUE(std::filesystem::exists(chosen + ".dcf"));
  TBalastConfig gear;
  TControllerConfig devices;
  LoadDocument(chosen + ".dcf", gear, devices);
  EXPECT_FALSE(gear.IsSlotFree(3));
}

}  // namespace
}  // namespace lumetra
