// "Tlač", "Náhľad tlače" and "Exportovať do PDF" on the real main window: where the items are
// offered, the PDF they write (its pages counted in the file), the print path ending in a PDF
// instead of a printer, and the sheets on a page of known size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTimer>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "documents/FileFolder.h"
#include "documents/ReportSheets.h"
#include "support/ConfiguratorFixture.h"
#include "support/QtWait.h"
#include "ui/ErrorDlg.h"
#include "ui/NavigatedView.h"
#include "ui/ReportPrinting.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The pages of a PDF as its page objects say, and whether it is a whole PDF at all.
int PdfPageCount(const std::string& pdf) {
  if (pdf.rfind("%PDF-", 0) != 0 || pdf.find("%%EOF") == std::string::npos) return -1;
  const std::regex page(R"(/Type\s*/Page(?![a-zA-Z]))");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

class PrintingTest : public test::ConfiguratorFixture {
 protected:
  void SetUp() override {
    ConfiguratorFixture::SetUp();
    MakeForm({}, 100ms);
    folder = TConfiguratorForm::FilesFolder();
    form->show();
  }

  // Control gear 2, 5 and 9 in group 1, 12 outside it; control devices 3 and 6.
  void FillTables() {
    TBalastConfig& gear = form->BalastConfig();
    for (uint8_t a : {2, 5, 9, 12}) {
      gear.SetCurrentSlot(a);
      gear.SetShortAddress(a);
      for (uint32_t g = 0; g < 16; ++g) gear.SetGroups(g, g == 1 && a != 12 ? 1 : 0);
    }
    gear.SetCurrentSlot(2);
    TControllerConfig& devices = form->ControllerConfig();
    for (uint8_t a : {3, 6}) {
      devices.SetCurrentSlot(a);
      devices.SetShortAddress(a);
      devices.SetDeviceType(129);
    }
    devices.SetCurrentSlot(3);
  }

  void ShowPage(QWidget* page) { tabs->Pages->setCurrentWidget(page); }
  std::string Pdf(const std::string& name) const { return PathInFolder(folder, name); }
  QString StatusText() const { return form->statusBar()->currentMessage(); }

  std::string folder;
};

TEST_F(PrintingTest, ItemsAreOfferedOnlyOnTheDevicePages) {
  QAction* items[] = {form->ItemPrint, form->ItemPrintPreview, form->ItemExportPdf};
  EXPECT_EQ(form->ItemPrintPreview->text(), QString::fromUtf8("Náhľad tlače"));
  EXPECT_EQ(form->ItemExportPdf->text(), QString::fromUtf8("Exportovať do PDF"));
  const struct {
    QWidget* page;
    bool enabled;
  } pages[] = {
      {tabs->AddressPage, false},    {tabs->LightsPage, true},       {tabs->InterfacePage, false},
      {tabs->ControllersPage, true}, {tabs->DaliMonitorPage, false}, {tabs->LightsPage, true},
  };
  for (QAction* item : items) EXPECT_FALSE(item->isEnabled()) << "at start";
  for (const auto& p : pages) {
    ShowPage(p.page);
    for (QAction* item : items) {
      EXPECT_EQ(item->isEnabled(), p.enabled)
          << item->objectName().toStdString() << " on " << p.page->objectName().toStdString();
    }
  }
  // "Rozmiestnenie" prints the plan: the items stay.
  tabs->RadioButtonPositions->click();
  for (QAction* item : items) EXPECT_TRUE(item->isEnabled());
}

TEST_F(PrintingTest, ItemsAreLockedWhileASequenceRunsOnTheWorker) {
  ShowPage(tabs->LightsPage);
  QAction* items[] = {form->ItemPrint, form->ItemPrintPreview, form->ItemExportPdf};
  std::atomic<bool> release{false};
  bool done = false;
  ASSERT_TRUE(tabs->RunOnWorker(
      [&](BusSession&) {
        while (!release) std::this_thread::sleep_for(1ms);
        return SequenceResult{};
      },
      {}, [&](const SequenceResult&) { done = true; }));
  for (QAction* item : items) EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
  release = true;
  ASSERT_TRUE(test::WaitUntil([&] { return done; }));
  for (QAction* item : items) EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
}

TEST_F(PrintingTest, ExportWritesOneSheetPerGroupMember) {
  FillTables();
  ShowPage(tabs->LightsPage);
  tabs->OnBalastButtonGroupClick(1);
  form->Printing().ExportTo(Pdf("správa"));
  const std::string pdf = ReadAll(Pdf("správa.pdf"));
  EXPECT_EQ(PdfPageCount(pdf), 3);
  // The job's title, as the PDF keeps it: UTF-16.
  EXPECT_NE(pdf.find(std::string("/Title (\xFE\xFF\0L\0u\0m\0e\0t\0r\0a", 24)), std::string::npos);
  EXPECT_NE(pdf.find("/FontDescriptor"), std::string::npos) << "the text's font";
  EXPECT_NE(StatusText().indexOf("PDF bolo uložené"), -1);
  EXPECT_TRUE(errors.empty());
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    files += entry.path().extension() != ".dcf";
  EXPECT_EQ(files, 1);

  // The control devices' page prints their report: all devices, two switches of two sheets each
  // (a switch's second input starts a sheet of its own).
  ShowPage(tabs->ControllersPage);
  tabs->OnControlButtonGroupClick(16);
  form->Printing().ExportTo(Pdf("ovladace.pdf"));
  EXPECT_EQ(PdfPageCount(ReadAll(Pdf("ovladace.pdf"))), 4);
}

TEST_F(PrintingTest, AnExistingPdfIsReplacedOnlyWhenTheUserAgrees) {
  FillTables();
  ShowPage(tabs->LightsPage);
  tabs->OnBalastButtonClick(5);
  const std::string path = Pdf("hala.pdf");
  std::ofstream(path) << "old";
  for (const bool proceed : {false, true}) {
    bool asked = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TErrorDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      asked = true;
      (proceed ? dialog->ButtonContinue : dialog->ButtonCancel)->click();
    });
    form->Printing().ExportTo(path);
    EXPECT_TRUE(asked);
    EXPECT_EQ(PdfPageCount(ReadAll(path)), proceed ? 1 : -1) << proceed;
  }
}

TEST_F(PrintingTest, PrintGoesWhereThePrintDialogSaysAndNowhereWhenCancelled) {
  FillTables();
  ShowPage(tabs->ControllersPage);
  tabs->OnControlButtonGroupClick(16);
  const std::string path = Pdf("tlac.pdf");
  int asked = 0;
  QString title;
  form->Printing().ChoosePrinter = [&](QPrinter& printer) {
    ++asked;
    title = printer.docName();
    // Into a file, never to a printer.
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    return asked == 1;
  };
  form->ItemPrint->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(title, QString::fromUtf8("Lumetra konfigurátor"));
  // Two switches, each with its second input on a sheet of its own.
  EXPECT_EQ(PdfPageCount(ReadAll(path)), 4);
  fs::remove(path);
  form->ItemPrint->trigger();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(PrintingTest, TheDialogOffersTheSheetsAndPrintsTheRangeChosen) {
  FillTables();
  ShowPage(tabs->LightsPage);
  tabs->OnBalastButtonGroupClick(16);
  const std::string path = Pdf("rozsah.pdf");
  int offered = 0;
  form->Printing().ChoosePrinter = [&](QPrinter& printer) {
    offered = printer.toPage();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    return true;
  };
  form->ItemPrint->trigger();
  EXPECT_EQ(offered, 4);
  EXPECT_EQ(PdfPageCount(ReadAll(path)), 2);
  EXPECT_TRUE(errors.empty());
}

TEST_F(PrintingTest, PreviewShowsTheSheetsOfThePrint) {
  FillTables();
  ShowPage(tabs->LightsPage);
  tabs->OnBalastButtonGroupClick(16);
  int pages = -1;
  QString caption;
  form->Printing().ShowPreview = [&](QDialog& preview) {
    caption = preview.windowTitle();
    auto* view = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(view, nullptr);
    view->updatePreview();
    pages = view->pageCount();
  };
  form->ItemPrintPreview->trigger();
  EXPECT_EQ(caption, QString::fromUtf8("Náhľad tlače"));
  EXPECT_EQ(pages, 4);
  EXPECT_TRUE(errors.empty());
}

TEST_F(PrintingTest, AnEmptyTablePrintsNothingAndSaysSo) {
  ShowPage(tabs->LightsPage);
  bool asked = false;
  form->Printing().ChoosePrinter = [&](QPrinter&) { return asked = true; };
  form->Printing().ShowPreview = [&](QDialog&) { asked = true; };
  form->ItemPrint->trigger();
  form->ItemPrintPreview->trigger();
  form->Printing().ExportTo(Pdf("prazdne.pdf"));
  EXPECT_FALSE(asked);
  EXPECT_FALSE(fs::exists(Pdf("prazdne.pdf")));
  EXPECT_NE(StatusText().indexOf(QString::fromUtf8("Nie je čo tlačiť")), -1);
  EXPECT_TRUE(errors.empty());
  // The plan view without a picture says so too.
  tabs->RadioButtonPositions->click();
  form->ItemPrint->trigger();
  EXPECT_FALSE(asked);
  EXPECT_NE(StatusText().indexOf(QString::fromUtf8("rozmiestnenie")), -1);
}

// The printouts alone, on files and on pages of known size.
class PrintoutTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const {
    return PathInFolder(TConfiguratorForm::FilesFolder(), name);
  }
};

TEST_F(PrintoutTest, NoListsBeginAndEndAJobWithoutText) {
  ReportPages pages;
  pages[0] = {"left from an earlier report"};
  ExportPdf(TPrintout::Report(pages, 0), Path("nic.pdf"));
  const std::string pdf = ReadAll(Path("nic.pdf"));
  EXPECT_EQ(PdfPageCount(pdf), 1);
  EXPECT_EQ(pdf.find("/FontDescriptor"), std::string::npos) << "no text, no font";
}

TEST_F(PrintoutTest, LongListsBreakAtTheBottomMarginAndFormFeedsStartSheets) {
  // The line height and page height of the PDF as the export sets it up.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(kPrintResolution);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  const int h = QFontMetrics(ReportFont(), &writer).height();
  const int perSheet = (writer.height() - kReportBottomMargin) / h + 1;
  ASSERT_GT(perSheet, 30) << "a control gear page fits one sheet";
  // The widest lines of a kind's page (a switch's step lines, 106 characters) fit the width with
  // room for a printer's unprintable edge.
  EXPECT_LE(kReportLeft + QFontMetrics(ReportFont(), &writer).horizontalAdvance(QString(106, 'x')),
            writer.width() - 200);

  ReportPages pages;
  for (int i = 0; i < 200; ++i) pages[0].push_back("Riadok " + std::to_string(i));
  pages[1] = {"a", kFormFeedLine, "b", kFormFeedLine, "c"};
  ExportPdf(TPrintout::Report(pages, 2), Path("dlhe.pdf"));
  const int longSheets = (200 + perSheet - 1) / perSheet;
  EXPECT_EQ(PdfPageCount(ReadAll(Path("dlhe.pdf"))), longSheets + 3);
}

// A test picture with a frame of another colour, as a floor plan would draw it.
class TestPlan : public TPlanPicture {
 public:
  void DrawPlan(QImage& bitmap) override {
    bitmap = QImage(150, 110, QImage::Format_RGB32);
    bitmap.fill(Qt::green);
  }
};

TEST_F(PrintoutTest, PlanTakesTheUpperHalfOfPortraitPaperAndAllOfLandscape) {
  TestPlan plan;
  QImage picture;
  plan.DrawPlan(picture);
  const TPrintout printout = TPrintout::Plan(picture, {2026, 3, 7, 9, 5, 4});
  const struct {
    const char* name;
    QSize page;
    QRect inside;
  } cases[] = {
      {"portrait", {1000, 1400}, {200, 200, 600, 300}},
      {"landscape", {1400, 1000}, {200, 200, 1000, 600}},
  };
  for (const auto& c : cases) {
    QImage sheet(c.page, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    int sheets = 1;
    QPainter painter(&sheet);
    printout.Paint(painter, c.page, [&] { ++sheets; });
    painter.end();
    EXPECT_EQ(sheets, 1) << c.name;
    const QRect& r = c.inside;
    for (const QPoint p :
         {r.topLeft() + QPoint(2, 2), r.bottomRight() - QPoint(2, 2), r.center()}) {
      EXPECT_EQ(sheet.pixelColor(p), QColor(Qt::green)) << c.name << " " << p.x() << "," << p.y();
    }
    for (const QPoint p :
         {QPoint(r.left() - 5, r.center().y()), QPoint(r.center().x(), r.top() - 5),
          QPoint(r.right() + 5, r.center().y())}) {
      EXPECT_EQ(sheet.pixelColor(p), QColor(Qt::white)) << c.name << " " << p.x() << "," << p.y();
    }
    // The legend at the left and the date and time ending at the right margin, below the picture.
    const QFontMetrics metrics(ReportFont(), &sheet);
    const auto inked = [&](int left, int right) {
      for (int y = r.bottom() + 11; y < r.bottom() + 91 + metrics.height(); ++y) {
        for (int x = left; x < right; ++x) {
          if (sheet.pixelColor(x, y) != QColor(Qt::white)) return true;
        }
      }
      return false;
    };
    EXPECT_TRUE(inked(200, 260)) << c.name;
    EXPECT_TRUE(inked(c.page.width() - 240, c.page.width() - 200)) << c.name;
    EXPECT_FALSE(inked(c.page.width() - 198, c.page.width())) << c.name;
    EXPECT_FALSE(inked(0, 198)) << c.name;
  }
}

TEST_F(PrintoutTest, PlanExportsAsOnePage) {
  TestPlan plan;
  QImage picture;
  plan.DrawPlan(picture);
  ExportPdf(TPrintout::Plan(picture, {2026, 3, 7, 9, 5, 4}), Path("plan.pdf"));
  EXPECT_EQ(PdfPageCount(ReadAll(Path("plan.pdf"))), 1);
}

}  // namespace
}  // namespace lumetra
