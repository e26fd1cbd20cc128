// One column of the monitor's address filter: control gear ("A xx", "GA xx") or control devices
// ("C xx", "GC xx"). The same boxes and rules serve both; only names and filter fields differ.
#pragma once

#include <QCheckBox>
#include <QObject>
#include <QVBoxLayout>
#include <array>
#include <cstdint>
#include <functional>

#include "monitor/MonitorDecoder.h"
#include "ui/Widgets.h"

namespace lumetra {

class TMonitorFrame;

// Lives on the user interface thread, as the monitor display whose filter it edits; the reader
// thread only reads that filter inside its hand-overs, so no edit races a decode.
class TMonitorFilterColumn {
 public:
  static constexpr int kAddressCount = 64;
  static constexpr int kGroupCount = 16;

  // The names and captions of one column's controls and the filter fields they set.
  struct Kind {
    const char* filterName;
    const char* filterCaption;
    const char* shownName;
    const char* addressStem;  // + "00".."63"
    const char* addressCaption;
    const char* checkAllName;
    const char* groupStem;  // + "00".."15"
    const char* groupCaption;
    const char* groupCheckAllName;
    const char* allName;
    const char* allCaption;
    uint8_t MonitorFilter::*filterOn;
    uint8_t MonitorFilter::*showSelected;
    uint8_t MonitorFilter::*showAll;
    std::array<uint8_t, kAddressCount> MonitorFilter::*addresses;
    std::array<uint8_t, kGroupCount> MonitorFilter::*groups;
  };
  static const Kind kGear;
  static const Kind kDevice;

  // Builds the controls; their handlers run in `context`'s thread and die with it.
  TMonitorFilterColumn(const Kind& kind, QObject* context);
  TMonitorFilterColumn(const TMonitorFilterColumn&) = delete;
  TMonitorFilterColumn& operator=(const TMonitorFilterColumn&) = delete;

  // The column's controls in their order, for the page's filter row.
  QVBoxLayout* Layout() const { return layout_; }
  // The display whose filter the boxes edit; without one the boxes change only themselves.
  void SetMonitor(TMonitorFrame* monitor) { monitor_ = monitor; }

  void OnFilterClick();
  void OnShownClick();
  void OnAddressClick(int nn);
  void OnGroupClick(int nn);
  void OnCheckAllClick();
  void OnGroupCheckAllClick();
  void OnAllClick();

  QCheckBox* Filter;
  TRadioGroup* Shown;
  std::array<QCheckBox*, kAddressCount> Addresses;
  QCheckBox* CheckAll;
  std::array<QCheckBox*, kGroupCount> Groups;
  QCheckBox* GroupCheckAll;
  QCheckBox* All;

 private:
  void EditFilter(const std::function<void(MonitorFilter&)>& change);
  // Only enabled or disabled: the states stay, so turning the filter on again filters as before.
  void EnableControls(bool enabled);

  const Kind& kind_;
  QVBoxLayout* layout_;
  TMonitorFrame* monitor_ = nullptr;
};

}  // namespace lumetra
