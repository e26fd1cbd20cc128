// A column of the monitor's address filter: its boxes and how each one changes the filter.
#include "ui/MonitorFilterColumn.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "monitor/MonitorFrame.h"
#include "ui/LumetraApplication.h"

namespace lumetra {

namespace {

QString TwoDigits(int number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); }

// Boxes in rows of eight, each row captioned with its first number ("00", "08", …).
template <size_t N>
QGroupBox* BoxGrid(const char* caption, const char* stem, std::array<QCheckBox*, N>& boxes) {
  auto* group = new QGroupBox(QString::fromUtf8(caption));
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(2);
  grid->setVerticalSpacing(0);
  grid->setContentsMargins(4, 2, 4, 2);
  for (int i = 0; i < static_cast<int>(N); ++i) {
    if (i % 8 == 0) grid->addWidget(new QLabel(TwoDigits(i)), i / 8, 0);
    QCheckBox* box =
        Named<QCheckBox>((QString::fromLatin1(stem) + TwoDigits(i)).toLatin1().constData());
    box->setToolTip(TwoDigits(i));
    boxes[static_cast<size_t>(i)] = box;
    grid->addWidget(box, i / 8, 1 + i % 8);
  }
  return group;
}

QCheckBox* Box(const char* name, const char* caption) {
  return Named<QCheckBox>(name, QString::fromUtf8(caption));
}

}  // namespace

const TMonitorFilterColumn::Kind TMonitorFilterColumn::kGear{
    "CheckBoxBalastFilter",
    "Filtrovať svietidlá",
    "RadioGroupBalast",
    "CheckBoxA",
    "Svietidlá ( A xx )",
    "CheckBoxBalastCheckAll",
    "CheckBoxG",
    "Skupiny svietidiel ( GA xx )",
    "CheckBoxBalastGroupCheckAll",
    "CheckBoxBalastAll",
    "Všetky svietidlá ( A ALL )",
    &MonitorFilter::BalastFilterOn,
    &MonitorFilter::BalastShowSelected,
    &MonitorFilter::BalastShowAll,
    &MonitorFilter::BalastAddressSelected,
    &MonitorFilter::BalastGroupSelected,
};

const TMonitorFilterColumn::Kind TMonitorFilterColumn::kDevice{
    "CheckBoxControllerFilter",
    "Filtrovať ovládače",
    "RadioGroupController",
    "CheckBoxC",
    "Ovládače ( C xx )",
    "CheckBoxControllerCheckAll",
    "CheckBoxGC",
    "Skupiny ovládačov ( GC xx )",
    "CheckBoxControllerGroupCheckAll",
    "CheckBoxControllerAll",
    "Všetky ovládače ( C ALL )",
    &MonitorFilter::ControllerFilterOn,
    &MonitorFilter::ControllerShowSelected,
    &MonitorFilter::ControllerShowAll,
    &MonitorFilter::ControllerAddressSelected,
    &MonitorFilter::ControllerGroupSelected,
};

TMonitorFilterColumn::TMonitorFilterColumn(const Kind& kind, QObject* context) : kind_(kind) {
  Filter = Box(kind.filterName, kind.filterCaption);
  Shown = new TRadioGroup(QString::fromLatin1(kind.shownName), QStringLiteral("Vybrané"),
                          {QStringLiteral("nezobrazovať"), QStringLiteral("zobrazovať")});
  CheckAll = Box(kind.checkAllName, "Vybrať / zrušiť všetky");
  GroupCheckAll = Box(kind.groupCheckAllName, "Vybrať / zrušiť všetky");
  All = Box(kind.allName, kind.allCaption);

  layout_ = new QVBoxLayout;
  layout_->setSpacing(2);
  for (QWidget* w : std::initializer_list<QWidget*>{
           Filter, Shown, BoxGrid(kind.addressCaption, kind.addressStem, Addresses), CheckAll,
           BoxGrid(kind.groupCaption, kind.groupStem, Groups), GroupCheckAll, All}) {
    layout_->addWidget(w);
  }
  layout_->addStretch(1);
  EnableControls(false);

  auto onClick = [context](QAbstractButton* button, auto handler) {
    ConnectGuarded(button, &QAbstractButton::clicked, context, [handler](bool) { handler(); });
  };
  onClick(Filter, [this] { OnFilterClick(); });
  onClick(CheckAll, [this] { OnCheckAllClick(); });
  onClick(GroupCheckAll, [this] { OnGroupCheckAllClick(); });
  onClick(All, [this] { OnAllClick(); });
  ConnectGuarded(Shown, &TRadioGroup::Clicked, context, [this](int) { OnShownClick(); });
  for (int i = 0; i < kAddressCount; ++i) {
    onClick(Addresses[static_cast<size_t>(i)], [this, i] { OnAddressClick(i); });
  }
  for (int i = 0; i < kGroupCount; ++i) {
    onClick(Groups[static_cast<size_t>(i)], [this, i] { OnGroupClick(i); });
  }
}

void TMonitorFilterColumn::EditFilter(const std::function<void(MonitorFilter&)>& change) {
  if (monitor_) change(monitor_->Filter());
}

void TMonitorFilterColumn::EnableControls(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{Shown, CheckAll, GroupCheckAll, All}) {
    w->setEnabled(enabled);
  }
  for (QCheckBox* box : Addresses) box->setEnabled(enabled);
  for (QCheckBox* box : Groups) box->setEnabled(enabled);
}

void TMonitorFilterColumn::OnFilterClick() {
  const bool on = Filter->isChecked();
  EditFilter([this, on](MonitorFilter& f) { f.*kind_.filterOn = on; });
  EnableControls(on);
}

void TMonitorFilterColumn::OnShownClick() {
  const bool shown = Shown->ItemIndex() == 1;
  EditFilter([this, shown](MonitorFilter& f) { f.*kind_.showSelected = shown; });
}

void TMonitorFilterColumn::OnAddressClick(int nn) {
  const bool on = Addresses[static_cast<size_t>(nn)]->isChecked();
  EditFilter(
      [this, nn, on](MonitorFilter& f) { (f.*kind_.addresses)[static_cast<size_t>(nn)] = on; });
}

void TMonitorFilterColumn::OnGroupClick(int nn) {
  const bool on = Groups[static_cast<size_t>(nn)]->isChecked();
  EditFilter([this, nn, on](MonitorFilter& f) { (f.*kind_.groups)[static_cast<size_t>(nn)] = on; });
}

// Each box set by a "Vybrať / zrušiť všetky" box updates the filter as a click on it would.
void TMonitorFilterColumn::OnCheckAllClick() {
  for (int i = 0; i < kAddressCount; ++i) {
    Addresses[static_cast<size_t>(i)]->setChecked(CheckAll->isChecked());
    OnAddressClick(i);
  }
}

void TMonitorFilterColumn::OnGroupCheckAllClick() {
  for (int i = 0; i < kGroupCount; ++i) {
    Groups[static_cast<size_t>(i)]->setChecked(GroupCheckAll->isChecked());
    OnGroupClick(i);
  }
}

void TMonitorFilterColumn::OnAllClick() {
  const bool on = All->isChecked();
  EditFilter([this, on](MonitorFilter& f) { f.*kind_.showAll = on; });
}

}  // namespace lumetra
