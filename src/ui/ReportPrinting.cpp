// Printing, previewing and exporting the report pages and the floor plan picture.
#include "ui/ReportPrinting.h"

#include <algorithm>

#include <QBuffer>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include "documents/ReplacingFile.h"
#include "documents/ReportSheets.h"
#include "model/Error.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"
#include "ui/Widgets.h"

namespace lumetra {

namespace {

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Sets the job up the same way for the printer, the preview and the PDF.
void SetUpPrinter(QPrinter& printer) {
  printer.setResolution(kPrintResolution);
  printer.setDocName(QString::fromUtf8(kPrintTitle));
  printer.setCreator(QString::fromUtf8(kPrintTitle));
}

}  // namespace

QFont ReportFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("Courier New"),
                    QStringLiteral("DejaVu Sans Mono")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSize(8);
  return font;
}

TPrintout TPrintout::Report(const ReportPages& pages, int count) {
  TPrintout printout;
  printout.pages_ = &pages;
  printout.count_ = std::clamp(count, 0, static_cast<int>(pages.size()));
  return printout;
}

TPrintout TPrintout::Plan(QImage picture, const LocalTime& now) {
  TPrintout printout;
  printout.picture_ = std::move(picture);
  printout.now_ = now;
  return printout;
}

bool TPrintout::Empty() const { return pages_ ? count_ == 0 : picture_.isNull(); }

void TPrintout::Render(QPagedPaintDevice& device, SheetRange range) const {
  QPainter painter;
  if (!painter.begin(&device)) {
    throw Error("Tlač sa nedá začať: tlačiareň alebo súbor úlohu neprijali");
  }
  Paint(
      painter, QSize(device.width(), device.height()), [&device] { device.newPage(); }, range);
  painter.end();
}

void TPrintout::Paint(QPainter& painter, QSize area, const std::function<void()>& newSheet,
                      SheetRange range) const {
  painter.setFont(ReportFont());
  if (pages_) {
    PaintReport(painter, area, newSheet, range);
  } else if (range.Holds(1)) {
    PaintPlan(painter, area);
  }
}

int TPrintout::SheetCount(QPagedPaintDevice& device) const {
  if (!pages_) return 1;
  return static_cast<int>(
      Sheets(QFontMetrics(ReportFont(), &device), QSize(device.width(), device.height())).size());
}

std::vector<ReportSheet> TPrintout::Sheets(const QFontMetrics& metrics, QSize area) const {
  return LayOutReport(*pages_, count_, area.height(),
                      [&](const std::string&) { return metrics.height(); });
}

void TPrintout::PaintReport(QPainter& painter, QSize area, const std::function<void()>& newSheet,
                            SheetRange range) const {
  const QFontMetrics metrics = painter.fontMetrics();
  const std::vector<ReportSheet> sheets = Sheets(metrics, area);
  bool first = true;
  for (size_t s = 0; s < sheets.size(); ++s) {
    if (!range.Holds(static_cast<int>(s) + 1)) continue;
    if (!first) newSheet();
    first = false;
    for (const PlacedLine& line : sheets[s]) {
      // Positions name the text's top; the painter draws from the base line.
      if (!line.text.empty()) painter.drawText(line.x, line.y + metrics.ascent(), Text(line.text));
    }
  }
}

void TPrintout::PaintPlan(QPainter& painter, QSize area) const {
  const QFontMetrics metrics = painter.fontMetrics();
  const PlanSheet sheet = LayOutPlan(area.width(), area.height(), now_);
  const PlanRect& r = sheet.picture;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), picture_);
  const auto line = [&](int y, const char* legend, const std::string& right) {
    const int base = y + metrics.ascent();
    painter.drawText(sheet.legendX, base, QString::fromUtf8(legend));
    const QString text = Text(right);
    painter.drawText(sheet.textRight - metrics.horizontalAdvance(text), base, text);
  };
  line(sheet.firstLineY, kPlanLegend1, sheet.date);
  line(sheet.secondLineY, kPlanLegend2, sheet.time);
}

void ExportPdf(const TPrintout& printout, const std::string& path) {
  ExportPdf(std::vector<const TPrintout*>{&printout}, path);
}

void ExportPdf(const std::vector<const TPrintout*>& printouts, const std::string& path) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(kPrintResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QString::fromUtf8(kPrintTitle));
    writer.setCreator(QString::fromUtf8(kPrintTitle));
    if (printouts.size() == 1) {
      printouts.front()->Render(writer);
    } else {
      QPainter painter;
      if (!painter.begin(&writer)) {
        throw Error("Tlač sa nedá začať: tlačiareň alebo súbor úlohu neprijali");
      }
      bool first = true;
      for (const TPrintout* printout : printouts) {
        if (printout->Empty()) continue;
        if (!first) writer.newPage();
        first = false;
        printout->Paint(painter, QSize(writer.width(), writer.height()),
                        [&writer] { writer.newPage(); });
      }
      painter.end();
    }
  }
  const QByteArray& pdf = buffer.data();
  ReplaceFileContent(path, std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())),
                     "PDF sa nepodarilo uložiť do " + path);
}

std::string PdfFileName(const std::string& chosen) { return WithExtension(chosen, ".pdf"); }

TReportPrinting::TReportPrinting(QWidget* window, TTabsFrame& tabs, ReportPages& lists)
    : window_(window), tabs_(tabs), lists_(lists) {
  PdfDialog = MakeFileDialog("PdfDialog", QFileDialog::AcceptSave,
                             QStringLiteral("PDF dokument (*.pdf)"), window);
  PdfDialog->setWindowTitle(QStringLiteral("Exportovať do PDF"));
  ChoosePrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, window_);
    // The sheets can be chosen by number, as the printer's own range.
    dialog.setMinMax(1, std::max(1, printer.toPage()));
    return dialog.exec() == QDialog::Accepted;
  };
  ShowPreview = [](QDialog& preview) { preview.exec(); };
}

std::optional<TPrintout> TReportPrinting::CurrentPrintout() {
  if (tabs_.ShowsParameters()) {
    for (ReportPageList& list : lists_) list.clear();
    const int count = tabs_.GetReportPages(lists_);
    if (count == 0) {
      ShowStatus(window_, QStringLiteral("Nie je čo tlačiť: výber neobsahuje žiadne zariadenie"));
      return std::nullopt;
    }
    return TPrintout::Report(lists_, count);
  }
  QImage picture;
  tabs_.DrawPlan(picture);
  if (picture.isNull()) {
    ShowStatus(window_, QStringLiteral("Nie je čo tlačiť: rozmiestnenie nie je k dispozícii"));
    return std::nullopt;
  }
  return TPrintout::Plan(std::move(picture), CurrentLocalTime());
}

void TReportPrinting::OnPrintClick() {
  const std::optional<TPrintout> printout = CurrentPrintout();
  if (!printout) return;
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(printer);
  printer.setFromTo(1, printout->SheetCount(printer));
  if (!ChoosePrinter(printer)) return;
  // The dialog may have brought the printer's own resolution along.
  printer.setResolution(kPrintResolution);
  SheetRange range;
  if (printer.printRange() == QPrinter::PageRange) range = {printer.fromPage(), printer.toPage()};
  printout->Render(printer, range);
  ShowStatus(window_, QStringLiteral("Tlač bola odoslaná"));
}

void TReportPrinting::OnPrintPreviewClick() {
  const std::optional<TPrintout> printout = CurrentPrintout();
  if (!printout) return;
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(printer);
  QPrintPreviewDialog preview(&printer, window_);
  preview.setObjectName(QStringLiteral("PrintPreview"));
  preview.setWindowTitle(QStringLiteral("Náhľad tlače"));
  preview.resize(900, 760);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [&printout](QPrinter* target) {
                     TLumetraApplication::Guard([&] { printout->Render(*target); });
                   });
  ShowPreview(preview);
}

void TReportPrinting::OnExportPdfClick() {
  // Nothing to print is said before a file is asked for.
  const std::optional<TPrintout> printout = CurrentPrintout();
  if (!printout) return;
  const std::optional<std::string> chosen = ChosenFile(PdfDialog);
  if (chosen) Export(*printout, *chosen);
}

void TReportPrinting::ExportTo(const std::string& chosen) {
  const std::optional<TPrintout> printout = CurrentPrintout();
  if (printout) Export(*printout, chosen);
}

void TReportPrinting::Export(const TPrintout& printout, const std::string& chosen) {
  const std::string name = PdfFileName(chosen);
  if (!ConfirmOverwrite(window_, name)) return;
  ExportPdf(printout, name);
  ShowStatus(window_, QStringLiteral("PDF bolo uložené: %1").arg(Text(name)));
}

}  // namespace lumetra
