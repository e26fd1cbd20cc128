// What the navigation frame needs of a right-hand view: the editors, the progress view, the monitor
// view and the floor plan each offer this much, and more through their own interfaces.
#pragma once

#include <QImage>
#include <QWidget>

namespace lumetra {

class TNavigatedView {
 public:
  virtual ~TNavigatedView() = default;
  virtual QWidget* Widget() = 0;
  // Redraws the view for the tables' current selection.
  virtual void RefreshView() = 0;
};

// The floor plan draws itself into a picture for printing.
class TPlanPicture {
 public:
  virtual ~TPlanPicture() = default;
  virtual void DrawPlan(QImage& bitmap) = 0;
};

}  // namespace lumetra
