// The floor plan view: its side panel, what the panel's controls do, and the printed picture.
#include "ui/floorplan/MainPositionFrame.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

#include "commissioning/ParameterReading.h"
#include "model/BalastConfig.h"
#include "model/ControllerConfig.h"
#include "ui/LumetraApplication.h"
#include "ui/Widgets.h"
#include "ui/devices/ControllerFrame.h"
#include "ui/floorplan/PlanGeometry.h"
#include "ui/gear/BalastFrame.h"

namespace lumetra {

namespace {

constexpr int kSideWidth = 182;

QLineEdit* Digits(const char* name, int maxLength, int width) {
  auto* edit = Named<QLineEdit>(name);
  MakeDigitsOnly(edit, maxLength);
  edit->setFixedWidth(width);
  return edit;
}

QLabel* Caption(const QString& text) { return new QLabel(text); }

}  // namespace

TMainPositionFrame::TMainPositionFrame(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("MainPositionFrame"));
  EditFocus = new TEditFocusFilter(this);
  BuildControls();
  ConnectHandlers();
  ClearDevice();
}

void TMainPositionFrame::BuildControls() {
  auto* side = new QFrame;
  side->setObjectName(QStringLiteral("PanelPlanSide"));
  side->setFrameShape(QFrame::StyledPanel);
  side->setFixedWidth(kSideWidth);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(6, 6, 6, 6);

  EditNewX = Digits("EditNewX", 4, 48);
  EditNewY = Digits("EditNewY", 4, 48);
  column->addWidget(Caption(QStringLiteral("Súradnice:")));
  auto* coordinates = new QHBoxLayout;
  coordinates->addWidget(Caption(QStringLiteral("X =")));
  coordinates->addWidget(EditNewX);
  coordinates->addSpacing(6);
  coordinates->addWidget(Caption(QStringLiteral("Y =")));
  coordinates->addWidget(EditNewY);
  coordinates->addStretch(1);
  column->addLayout(coordinates);
  column->addWidget(MakeWriteButton("ButtonChangeCoordinates", "PanelChangeCoordinates",
                                    ButtonChangeCoordinates, PanelChangeCoordinates),
                    0, Qt::AlignRight);
  column->addSpacing(8);

  column->addWidget(Caption(QStringLiteral("Typ zariadenia:")));
  LabelDeviceTypeValue = Named<QLabel>("LabelDeviceTypeValue");
  LabelDeviceTypeValue->setWordWrap(true);
  LabelDeviceTypeValue->setMinimumHeight(LabelDeviceTypeValue->fontMetrics().height() * 2);
  LabelDeviceTypeValue->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  column->addWidget(LabelDeviceTypeValue);
  column->addSpacing(8);

  LabelAddressValue = Named<QLabel>("LabelAddressValue");
  EditNewAddress = Digits("EditNewAddress", 2, 32);
  auto* address = new QHBoxLayout;
  address->addWidget(Caption(QStringLiteral("Adresa:")));
  address->addStretch(1);
  address->addWidget(LabelAddressValue);
  address->addWidget(EditNewAddress);
  column->addLayout(address);
  column->addWidget(MakeWriteButton("ButtonChangeAddress", "PanelChangeAddress",
                                    ButtonChangeAddress, PanelChangeAddress),
                    0, Qt::AlignRight);
  column->addSpacing(12);

  CheckBoxBalastStatus =
      Named<QCheckBox>("CheckBoxBalastStatus", QStringLiteral("Zobraziť stav svietidiel"));
  column->addWidget(CheckBoxBalastStatus);
  ButtonReadBalastStatus =
      Named<QPushButton>("ButtonReadBalastStatus", QStringLiteral("Čítať stav svietidiel"));
  LabelBalastIdx = Named<QLabel>("LabelBalastIdx");
  LabelBalastIdx->setFixedWidth(28);
  LabelBalastIdx->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* reading = new QHBoxLayout;
  reading->addWidget(ButtonReadBalastStatus, 1);
  reading->addWidget(LabelBalastIdx);
  column->addLayout(reading);
  column->addSpacing(12);

  ButtonMaximum = Named<QPushButton>("ButtonMaximum", QStringLiteral("Svietidlo na maximum"));
  ButtonOff = Named<QPushButton>("ButtonOff", QStringLiteral("Svietidlo vypnúť"));
  column->addWidget(ButtonMaximum);
  column->addWidget(ButtonOff);
  column->addStretch(1);

  PositionFrame = new TPositionFrame;
  auto* frame = new QHBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(3);
  frame->addWidget(side);
  frame->addWidget(PositionFrame, 1);
}

void TMainPositionFrame::ConnectHandlers() {
  auto enter = [this](QLineEdit* e) { OnEditEnter(e); };
  EditFocus->Watch(EditNewX, enter, [this](QLineEdit* e) { OnEditNewXExit(e); });
  EditFocus->Watch(EditNewY, enter, [this](QLineEdit* e) { OnEditNewYExit(e); });
  EditFocus->Watch(EditNewAddress, enter, [this](QLineEdit* e) { OnEditNewAddressExit(e); });
  for (QLineEdit* e : {EditNewX, EditNewY}) {
    ConnectGuarded(e, &QLineEdit::textChanged, this,
                   [this](const QString&) { OnEditNewXYChange(); });
  }
  ConnectGuarded(EditNewAddress, &QLineEdit::textChanged, this,
                 [this](const QString&) { OnEditNewAddressChange(); });
  ConnectClicks(this,
                {
                    {ButtonChangeCoordinates, &TMainPositionFrame::OnButtonChangeCoordinatesClick},
                    {ButtonChangeAddress, &TMainPositionFrame::OnButtonChangeAddressClick},
                    {CheckBoxBalastStatus, &TMainPositionFrame::OnCheckBoxBalastStatusClick},
                    {ButtonReadBalastStatus, &TMainPositionFrame::OnButtonReadBalastStatusClick},
                    {ButtonMaximum, &TMainPositionFrame::OnButtonMaximumClick},
                    {ButtonOff, &TMainPositionFrame::OnButtonOffClick},
                });
}

void TMainPositionFrame::AttachToWindow(const Links& links) {
  links_ = links;
  PositionFrame->Bind(
      {.balastConfig = links.balastConfig,
       .controllerConfig = links.controllerConfig,
       .navigation = links.navigation,
       .showDevice = [this](int index, TDeviceButton& button) { ShowDevice(index, button); }});
}

void TMainPositionFrame::BindPlan() {
  PositionFrame->BindPlan();
  ClearDevice();
}

void TMainPositionFrame::ClearDevice() {
  Updating = true;
  for (QLabel* label : {LabelDeviceTypeValue, LabelAddressValue, LabelBalastIdx}) label->clear();
  for (QLineEdit* edit : {EditNewX, EditNewY, EditNewAddress}) edit->clear();
  PanelChangeCoordinates->hide();
  PanelChangeAddress->hide();
  selected_ = -1;
  selectedButton_ = TDeviceButton();
  Updating = false;
}

void TMainPositionFrame::ShowDevice(int index, TDeviceButton& button) {
  Updating = true;
  selected_ = index;
  selectedButton_ = button;
  const bool controlDevice = button.Kind() == kDeviceKind;
  EditNewX->setText(QString::number(PositionFrame->AbsoluteLeft(button)));
  EditNewY->setText(QString::number(PositionFrame->AbsoluteTop(button)));
  LabelAddressValue->setText(controlDevice ? QStringLiteral("C ") : QStringLiteral("A "));
  EditNewAddress->setText(QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0')));
  const TConfig& table = PositionFrame->TableOf(button);
  const DeviceSlot* slot = table.SlotAt(static_cast<uint32_t>(index));
  const uint8_t type = slot && slot->ShortAddress != TConfig::kNone ? slot->DeviceType : 255;
  LabelDeviceTypeValue->setText(QString::fromStdString(plan::DeviceTypeText(controlDevice, type)));
  PanelChangeCoordinates->hide();
  PanelChangeAddress->hide();
  Updating = false;
}

long long TMainPositionFrame::Typed(const QLineEdit* edit) {
  if (edit->text().isEmpty()) return -1;
  return TypedValue(edit->text(), 0);
}

void TMainPositionFrame::OnEditEnter(QLineEdit* edit) { EnteredText = edit->text(); }

void TMainPositionFrame::OnEditNewXExit(QLineEdit* edit) {
  if (selected_ < 0 || !plan::TypedXValid(Typed(edit))) edit->setText(EnteredText);
}

void TMainPositionFrame::OnEditNewYExit(QLineEdit* edit) {
  if (selected_ < 0 || !plan::TypedYValid(Typed(edit))) edit->setText(EnteredText);
}

void TMainPositionFrame::OnEditNewXYChange() {
  if (!Updating) PanelChangeCoordinates->show();
}

void TMainPositionFrame::OnButtonChangeCoordinatesClick() {
  if (selected_ < 0 || selectedButton_.Button == nullptr) return;
  const long long x = Typed(EditNewX);
  const long long y = Typed(EditNewY);
  // Leaving the edits has put back what was not valid; what is still not valid is not stored.
  if (!plan::TypedXValid(x) || !plan::TypedYValid(y)) return;
  selectedButton_.MoveTo(static_cast<int>(y), static_cast<int>(x));
  PositionFrame->StorePosition(selectedButton_, selected_);
  PanelChangeCoordinates->hide();
}

void TMainPositionFrame::OnEditNewAddressChange() {
  if (!Updating) PanelChangeAddress->show();
}

void TMainPositionFrame::OnEditNewAddressExit(QLineEdit* edit) {
  if (!plan::TypedAddressValid(Typed(edit))) edit->setText(EnteredText);
}

void TMainPositionFrame::OnButtonChangeAddressClick() {
  if (selected_ < 0 || selectedButton_.Button == nullptr) return;
  const long long wanted = Typed(EditNewAddress);
  if (!plan::TypedAddressValid(wanted)) return;
  const int to = static_cast<int>(wanted);
  TConfig& table = PositionFrame->TableOf(selectedButton_);
  // The editors change the address of their table's selected device: the one shown here.
  table.SetCurrentSlot(static_cast<uint8_t>(selected_));
  const bool gear = selectedButton_.Kind() == kGearKind;
  int result = kExchangeNotConnected;
  if (gear && links_.gearEditor) result = links_.gearEditor->ChangeShortAddress(to);
  if (!gear && links_.deviceEditor) result = links_.deviceEditor->ChangeShortAddress(to);
  // A refusal (the address is taken) or a failed exchange leaves the typed address marked.
  if (result != 0) return;
  PanelChangeAddress->hide();
  // The device moved with its position; the grid, the editor and the plan select it there.
  const int moved = table.CurrentSlot();
  if (links_.navigation) {
    gear ? links_.navigation->ChooseGear(moved) : links_.navigation->ChooseDevice(moved);
  } else {
    PositionFrame->Select(selectedButton_.Kind(), moved);
    PositionFrame->RefreshPlan();
  }
}

void TMainPositionFrame::OnCheckBoxBalastStatusClick() {
  PositionFrame->ShowStatus = CheckBoxBalastStatus->isChecked() ? 1 : 0;
  PositionFrame->RefreshPlan();
}

void TMainPositionFrame::OnButtonReadBalastStatusClick() {
  if (links_.navigation == nullptr || links_.balastConfig == nullptr) return;
  TBalastConfig* table = links_.balastConfig;
  const uint8_t first = table->FirstUsedSlot();
  if (first >= TConfig::kGroupSlot) return;
  // The lamp under way, written by the worker before each lamp and shown after every exchange.
  auto reading = std::make_shared<std::atomic<int>>(first);
  ShowReadingLamp(first);
  const bool started = links_.navigation->RunOnWorker(
      [table, reading](BusSession& session) {
        return ReadBalastStatuses(session, *table, [reading](int a) { reading->store(a); });
      },
      [this, reading](int) { ShowReadingLamp(reading->load()); },
      [this](const SequenceResult& result) { OnBalastStatusRead(result); });
  if (!started) LabelBalastIdx->clear();
}

void TMainPositionFrame::ShowReadingLamp(int a) {
  LabelBalastIdx->setText(QString::number(a));
  LabelBalastIdx->repaint();
}

void TMainPositionFrame::OnBalastStatusRead(const SequenceResult& result) {
  LabelBalastIdx->clear();
  PositionFrame->RefreshPlan();
  // Closing the window cancels the reading; that needs no word.
  if (result.Ok() || result.result == kSequenceCancelled) return;
  const std::string why =
      result.step.empty() ? std::string(ExchangeResultText(result.result)) : result.Text();
  ShowStatus(this, QStringLiteral("Čítanie stavu svietidiel sa nedokončilo: %1")
                       .arg(QString::fromStdString(why)));
}

void TMainPositionFrame::OnButtonMaximumClick() {
  if (links_.gearEditor) links_.gearEditor->OnButtonRecallMaxLevelClick();
}

void TMainPositionFrame::OnButtonOffClick() {
  if (links_.gearEditor) links_.gearEditor->OnButtonOffClick();
}

void TMainPositionFrame::DrawPlan(QImage& bitmap) {
  const bool empty =
      links_.balastConfig == nullptr || links_.controllerConfig == nullptr ||
      (links_.balastConfig->UsedSlotCount() == 0 && links_.controllerConfig->UsedSlotCount() == 0);
  if (empty) {
    bitmap = QImage();
    return;
  }
  RenderPlan(bitmap);
}

void TMainPositionFrame::RenderPlan(QImage& bitmap) {
  bitmap = QImage(plan::kWidth, plan::kHeight, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  if (links_.balastConfig == nullptr || links_.controllerConfig == nullptr) return;
  QPainter painter(&bitmap);
  painter.setFont(font());
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawRect(0, 0, bitmap.width() - 1, bitmap.height() - 1);
  const QFontMetrics metrics(painter.font());
  auto centred = [&](const plan::Position& at, const QString& text) {
    const int x = at.left + (plan::kButtonWidth - metrics.horizontalAdvance(text)) / 2;
    const int y = at.top + (plan::kButtonHeight - metrics.height()) / 2;
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
  };
  // The outline covers the button's 75 × 25 pixels exactly.
  auto shape = [](const plan::Position& at) {
    return QRect(at.left, at.top, plan::kButtonWidth - 1, plan::kButtonHeight - 1);
  };
  for (const bool controlDevice : {false, true}) {
    const TConfig& table = controlDevice ? static_cast<const TConfig&>(*links_.controllerConfig)
                                         : static_cast<const TConfig&>(*links_.balastConfig);
    for (int i = 0; i < TPositionFrame::kDeviceCount; ++i) {
      if (table.IsSlotFree(static_cast<uint32_t>(i))) continue;
      const SlotPosition* stored = table.PositionAt(static_cast<uint32_t>(i));
      const plan::Position at = plan::ShownPosition(stored->Top, stored->Left);
      if (controlDevice) {
        painter.drawRect(shape(at));
        centred(at, QString::fromStdString(plan::DeviceLabel(i, table.SlotAt(i)->DeviceType)));
      } else {
        painter.drawEllipse(shape(at));
        centred(at, QString::fromStdString(plan::DeviceCaption(false, i)));
      }
    }
  }
}

}  // namespace lumetra
