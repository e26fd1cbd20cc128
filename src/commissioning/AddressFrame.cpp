// The addressing progress view.
#include "commissioning/AddressFrame.h"

#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

constexpr int kGearLeft = 31;
constexpr int kDeviceLeft = 414;
constexpr int kTop = 90;
constexpr int kColumnPitch = 84;
constexpr int kRowPitch = 34;
constexpr const char* kCountText = "Počet pridelených adries:";

}  // namespace

TAddressFrame::TAddressFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("AddressFrame"));
  resize(kWidth, kHeight);
  QFont bold = font();
  bold.setBold(true);
  auto* gearTitle = new QLabel(QStringLiteral("Svietidlá"), this);
  gearTitle->setFont(bold);
  gearTitle->setGeometry(kGearLeft, 16, 330, 20);
  auto* deviceTitle = new QLabel(QStringLiteral("Ovládače"), this);
  deviceTitle->setFont(bold);
  deviceTitle->setGeometry(kDeviceLeft, 16, 330, 20);
  LabelUsedBalastAddressCount =
      Named<QLabel>("LabelUsedBalastAddressCount", QString::fromUtf8(kCountText), this);
  LabelUsedBalastAddressCount->setGeometry(kGearLeft, 44, 330, 20);
  LabelUsedCtrlAddressCount =
      Named<QLabel>("LabelUsedCtrlAddressCount", QString::fromUtf8(kCountText), this);
  LabelUsedCtrlAddressCount->setGeometry(kDeviceLeft, 44, 330, 20);
  LabelProgress = Named<QLabel>("LabelProgress", QStringLiteral("a"), this);
  LabelProgress->setGeometry((kWidth - 415) / 2, 648, 415, 36);
  LabelProgress->setAlignment(Qt::AlignCenter);
  LabelProgress->setWordWrap(true);
  gear_.count = LabelUsedBalastAddressCount;
  device_.count = LabelUsedCtrlAddressCount;
  BuildHalf(gear_, kGearKind, kGearLeft);
  BuildHalf(device_, kDeviceKind, kDeviceLeft);
}

void TAddressFrame::BuildHalf(Half& half, int kind, int left) {
  const bool gear = kind == kGearKind;
  for (int i = 0; i < 64; ++i) {
    const QString number = QStringLiteral("%1").arg(i + 1, gear ? 1 : 2, 10, QLatin1Char('0'));
    auto* button = new QPushButton(
        QStringLiteral("%1 %2").arg(gear ? "A" : "C").arg(i, 2, 10, QLatin1Char('0')), this);
    button->setObjectName(
        (gear ? QStringLiteral("BalastButton") : QStringLiteral("ControlButton")) + number);
    button->resize(75, 25);
    QWidget* working = MakePanel("", this, 16, 8);
    working->setObjectName((gear ? QStringLiteral("BalastPanel") : QStringLiteral("ControlPanel")) +
                           QString::number(i + 1));
    QWidget* inUse = MakePanel("", this, 16, 8);
    inUse->setObjectName((gear ? QStringLiteral("BGPanel") : QStringLiteral("CGPanel")) +
                         QString::number(i + 1));
    TDeviceButton& record = half.buttons[static_cast<size_t>(i)];
    record.Bind(button, working, inUse, nullptr, kind);
    record.MoveTo(kTop + kRowPitch * (i / 4), left + kColumnPitch * (i % 4));
    ShowFree(record);
  }
}

void TAddressFrame::Bind(TBalastConfig* balastConfig, TControllerConfig* controllerConfig) {
  gear_.table = balastConfig;
  device_.table = controllerConfig;
}

void TAddressFrame::ShowFree(TDeviceButton& button) { button.Disable(); }

void TAddressFrame::ShowInUse(TDeviceButton& button) {
  button.Disable();
  button.SetNotMember();  // maroon: the address is taken
}

void TAddressFrame::RefreshAll() {
  for (Half* half : {&gear_, &device_}) {
    if (half->table == nullptr) continue;
    for (int i = 0; i < 64; ++i) {
      TDeviceButton& button = half->buttons[static_cast<size_t>(i)];
      half->table->IsSlotFree(static_cast<uint32_t>(i)) ? ShowFree(button) : ShowInUse(button);
      button.Repaint();
    }
  }
  ShowCounts();
}

void TAddressFrame::ShowCounts() {
  for (Half* half : {&gear_, &device_}) {
    if (half->table == nullptr) continue;
    half->count->setText(QStringLiteral("%1 %2")
                             .arg(QString::fromUtf8(kCountText))
                             .arg(half->table->UsedSlotCount()));
  }
}

void TAddressFrame::PrepareJob(bool gear, bool devices) {
  if (gear) {
    for (TDeviceButton& button : gear_.buttons) ShowFree(button);
  }
  if (devices) {
    for (TDeviceButton& button : device_.buttons) ShowFree(button);
  }
}

void TAddressFrame::Mark(Half& half, int a) {
  TDeviceButton& previous = half.buttons[static_cast<size_t>(half.marked)];
  previous.Deselect();
  previous.Repaint();
  if (a < 64) {
    TDeviceButton& button = half.buttons[static_cast<size_t>(a)];
    button.Select();
    button.Repaint();
    half.marked = a;
  } else {
    half.marked = 0;
  }
}

void TAddressFrame::Found(Half& half) {
  TDeviceButton& button = half.buttons[static_cast<size_t>(half.marked)];
  button.SetNotMember();
  button.Repaint();
}

void TAddressFrame::SetMessage(const std::string& text) {
  LabelProgress->setText(QString::fromStdString(text));
  LabelProgress->repaint();
}

std::string TAddressFrame::GetMessage() const { return LabelProgress->text().toStdString(); }

}  // namespace lumetra
