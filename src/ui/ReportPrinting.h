// "Tlač", "Náhľad tlače" and "Exportovať do PDF": the shown editor's report pages or the floor plan
// picture, put on a printer, into the preview or into a PDF file.
#pragma once

#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "documents/ConfigDocument.h"
#include "documents/ReportPages.h"
#include "documents/ReportSheets.h"

class QAction;
class QFileDialog;
class QWidget;

namespace lumetra {

class TTabsFrame;

// Device units are printer pixels at this resolution on every printer, in the preview and in the
// PDF, so the fixed positions of the layout give the same sheet everywhere.
inline constexpr int kPrintResolution = 600;
inline constexpr const char* kPrintTitle = "Lumetra konfigurátor";

// The fixed-pitch report font: Liberation Mono, the metric twin of Courier New, at 8 points.
QFont ReportFont();

// Which sheets of a printout go out, counted from 1; `last` 0 means to the end.
struct SheetRange {
  int first = 1;
  int last = 0;
  bool Holds(int sheet) const { return sheet >= first && (last == 0 || sheet <= last); }
};

// What one job prints: report lists (borrowed; they must outlive the printout) or a plan picture.
class TPrintout {
 public:
  static TPrintout Report(const ReportPages& pages, int count);
  static TPrintout Plan(QImage picture, const LocalTime& now);

  // Nothing to print: no list, or no picture.
  bool Empty() const;
  // Puts the printout on `device`, one sheet after the other. Throws Error when the device does
  // not take a job. A report without lists begins and ends a job without text.
  void Render(QPagedPaintDevice& device, SheetRange range = {}) const;
  // The drawing itself, on a painter whose printable area is `area` device units; `newSheet`
  // ends the sheet and starts the next one.
  void Paint(QPainter& painter, QSize area, const std::function<void()>& newSheet,
             SheetRange range = {}) const;
  // How many sheets the printout takes on `device`.
  int SheetCount(QPagedPaintDevice& device) const;

 private:
  TPrintout() = default;
  std::vector<ReportSheet> Sheets(const QFontMetrics& metrics, QSize area) const;
  void PaintReport(QPainter& painter, QSize area, const std::function<void()>& newSheet,
                   SheetRange range) const;
  void PaintPlan(QPainter& painter, QSize area) const;

  const ReportPages* pages_ = nullptr;
  int count_ = 0;
  QImage picture_;
  LocalTime now_;
};

// Writes the printout as an A4 PDF at `path`, replacing what was there only once the whole file
// is written. Throws Error on failure.
void ExportPdf(const TPrintout& printout, const std::string& path);
// Several printouts in one PDF, each from a new sheet; empty ones are left out.
void ExportPdf(const std::vector<const TPrintout*>& printouts, const std::string& path);
// The file name a PDF is saved under: ".pdf" is appended unless the name ends with it.
std::string PdfFileName(const std::string& chosen);

// The three menu items' work, for the main window.
class TReportPrinting {
 public:
  TReportPrinting(QWidget* window, TTabsFrame& tabs, ReportPages& lists);

  void OnPrintClick();
  void OnPrintPreviewClick();
  void OnExportPdfClick();
  // The export once a file is chosen (asks before replacing an existing one).
  void ExportTo(const std::string& chosen);
  // What the shown page prints now; none, with the reason in the status line, when nothing.
  std::optional<TPrintout> CurrentPrintout();

  // Shows the print dialog for `printer`; true when the user chose to print. Tests replace it so
  // that no job ever reaches a real printer.
  std::function<bool(QPrinter& printer)> ChoosePrinter;
  // Shows the preview dialog, already set up; tests replace it to look at the pages instead.
  std::function<void(QDialog& preview)> ShowPreview;
  QFileDialog* PdfDialog;

 private:
  void Export(const TPrintout& printout, const std::string& chosen);

  QWidget* window_;
  TTabsFrame& tabs_;
  ReportPages& lists_;
};

}  // namespace lumetra
