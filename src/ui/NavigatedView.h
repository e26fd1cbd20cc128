// What the navigation frame needs of a right-hand view: the editors, the progress view, the monitor
// view and the floor plan each offer this much, and more through their own interfaces.
#pragma once

#include <QWidget>

namespace lumetra {

class TNavigatedView {
 public:
  virtual ~TNavigatedView() = default;
  virtual QWidget* Widget() = 0;
  // Redraws the view for the tables' current selection.
  virtual void RefreshView() = 0;
};

}  // namespace lumetra
