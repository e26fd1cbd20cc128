// How the navigation frame and the right-hand views talk without knowing each other's classes:
// the frame drives any view through TNavigatedView, an editor calls back through TNavigation.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <initializer_list>

#include "buslink/BusSession.h"

namespace lumetra {

class TPlanPicture;
class TReportSource;

// What the navigation frame needs of a right-hand view: the editors, the progress view, the monitor
// view and the floor plan each offer this much, and more through their own interfaces. Called on
// the user interface thread only.
class TNavigatedView {
 public:
  virtual ~TNavigatedView() = default;
  virtual QWidget* Widget() = 0;
  // Redraws the view for the tables' current selection.
  virtual void RefreshView() = 0;
  // The level units changed between percent and ARC; views that show no levels ignore it.
  virtual void UpdatePercentLabels() {}
  // What "Tlač" prints while the view is shown, or nothing for a view without a report.
  virtual TReportSource* ReportSource() { return nullptr; }
  // The floor plan's picture for printing; only the plan has one.
  virtual TPlanPicture* PlanPicture() { return nullptr; }
  // Device i of the population `kind` (kGearKind, kDeviceKind) was chosen in its grid; only the
  // floor plan, which shows both populations, marks it.
  virtual void SelectDevice(int /*kind*/, int /*i*/) {}
};

// The floor plan draws itself into a picture for printing.
class TPlanPicture {
 public:
  virtual ~TPlanPicture() = default;
  virtual void DrawPlan(QImage& bitmap) = 0;
};

// What an editor asks of the navigation frame, which owns the device tiles and the worker that
// reads devices. Called on the user interface thread only.
class TNavigation {
 public:
  virtual ~TNavigation() = default;
  // Redraws the tiles after an editor changed an address, a membership or a slot.
  virtual void ShowGearButtons() = 0;
  virtual void ShowDeviceButtons() = 0;
  // Device i chosen outside the grids (on the floor plan): its page selects it as a click on its
  // tile does, and the editor and the plan follow.
  virtual void ChooseGear(int i) = 0;
  virtual void ChooseDevice(int i) = 0;
  // One control gear read into its table on the calling thread; 0 or the failed exchange's result.
  virtual int ReadBalastParameters(int quick, int a) = 0;
  // Runs `sequence` on the worker with the worker's own session, so that the window goes on
  // painting: `progress(exchanges)` is told on this thread after every exchange that went through,
  // `done(result)` at the end. Until then the navigation locks every other bus action: the tab
  // bar, the shown page's tiles, the editors' controls, the document items and "Tlač". False, with
  // the reason in the status line, when a job or another sequence is under way; then nothing is
  // called.
  virtual bool RunOnWorker(std::function<SequenceResult(BusSession&)> sequence,
                           std::function<void(int exchanges)> progress,
                           std::function<void(const SequenceResult&)> done) = 0;
  // A control device read on the worker (identity, status, groups and image, up to 235 exchanges),
  // its byte counter in the editor; a reading that did not complete says so in the status line.
  // False when it could not start.
  virtual bool ReadControllerParameters(int a, std::function<void(const SequenceResult&)> done) = 0;
};

// Absent views (nullptr) are skipped: not every view is built yet.
inline void ShowView(TNavigatedView* view) {
  if (view == nullptr) return;
  view->Widget()->show();
  view->Widget()->repaint();
}

inline void HideViews(std::initializer_list<TNavigatedView*> views) {
  for (TNavigatedView* view : views) {
    if (view) view->Widget()->hide();
  }
}

}  // namespace lumetra
