// The report pages as exact text (a small fixture of control gear and control devices, every
// value unread, percent and ARC, the selection rules) and their layout on sheets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/DeviceReports.h"
#include "documents/ReportSheets.h"

namespace lumetra {
namespace {

const LocalTime kNow{2026, 3, 7, 9, 5, 4};
const std::string kDateLine = " 7. 3.2026     09:05:04";
const std::string kGroupsTitle = "Skupiny:   ( 'x' - je v skupine,  '-' - nie je v skupine )";
const std::string kNoGroups1 =
    " 0  -      1  -      2  -      3  -      4  -      5  -      6  -      7  -     ";
const std::string kNoGroups2 =
    " 8  -      9  -     10  -     11  -     12  -     13  -     14  -     15  -     ";

// Gear 5: every value set, member of groups 0 and 2, group 9 never read. Gear 7: found, nothing
// read (its group 2 byte too). Gear 9: member of group 2 only.
void FillGear(TBalastConfig& t) {
  t.SetCurrentSlot(5);
  t.SetShortAddress(5);
  t.SetDeviceType(6);
  t.SetVersion(0x12);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 0 || g == 2 ? 1 : g == 9 ? 255 : 0);
  t.SetPhysicalMinLevel(85);
  t.SetMinLevel(90);
  t.SetMaxLevel(254);
  t.SetPowerOnLevel(200);
  t.SetFailureLevel(254);
  t.SetFadeRate(7);
  t.SetFadeTime(3);
  for (uint32_t s = 0; s < 16; ++s) t.SetScenes(s, s == 0 ? 100 : s == 5 ? 0 : s == 15 ? 254 : 255);
  t.SetCurrentSlot(7);
  t.SetShortAddress(7);
  t.SetCurrentSlot(9);
  t.SetShortAddress(9);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 2 ? 1 : 0);
}

const std::vector<std::string> kGear5 = {
    "Lumetra konfigurátor",
    "",
    "",
    "Svietidlo",
    "",
    "Adresa:                       5",
    "",
    "Typ:                          6 - LED",
    "Verzia:                       1.02",
    "Minimálna fyzikálna úroveň:   85 ",
    "",
    "Minimálna úroveň:             90 ",
    "Maximálna úroveň:             254 ",
    "Úroveň po zapnutí:            200 ",
    "Úroveň pri chybe:             254 ",
    "",
    "Rýchlosť stmievania:          7",
    "Čas stmievania:               3",
    "",
    kGroupsTitle,
    " 0  x      1  -      2  x      3  -      4  -      5  -      6  -      7  -     ",
    kNoGroups2,
    "",
    "Scény:",
    // Four 16-character items to a line.
    " 0   100        "
    " 1   ---        "
    " 2   ---        "
    " 3   ---        ",
    " 4   ---        "
    " 5     0        "
    " 6   ---        "
    " 7   ---        ",
    " 8   ---        "
    " 9   ---        "
    "10   ---        "
    "11   ---        ",
    "12   ---        "
    "13   ---        "
    "14   ---        "
    "15   254        ",
    "",
    kDateLine,
};

// A device found but never read shows its fields empty, never 255.
const std::vector<std::string> kGear7 = {
    "Lumetra konfigurátor",
    "",
    "",
    "Svietidlo",
    "",
    "Adresa:                       7",
    "",
    "Typ:                          ",
    "Verzia:                       ",
    "Minimálna fyzikálna úroveň:   ",
    "",
    "Minimálna úroveň:             ",
    "Maximálna úroveň:             ",
    "Úroveň po zapnutí:            ",
    "Úroveň pri chybe:             ",
    "",
    "Rýchlosť stmievania:          ",
    "Čas stmievania:               ",
    "",
    kGroupsTitle,
    kNoGroups1,
    kNoGroups2,
    "",
    "Scény:",
    " 0   ---        "
    " 1   ---        "
    " 2   ---        "
    " 3   ---        ",
    " 4   ---        "
    " 5   ---        "
    " 6   ---        "
    " 7   ---        ",
    " 8   ---        "
    " 9   ---        "
    "10   ---        "
    "11   ---        ",
    "12   ---        "
    "13   ---        "
    "14   ---        "
    "15   ---        ",
    "",
    kDateLine,
};

TEST(GearReport, PagesAsExactText) {
  TBalastConfig t;
  FillGear(t);
  t.SetCurrentSlot(5);
  ReportPages pages;
  ASSERT_EQ(GearReportPages(t, pages, kNow), 1);
  EXPECT_EQ(pages[0], kGear5);
  t.SetCurrentSlot(7);
  ASSERT_EQ(GearReportPages(t, pages, kNow), 1);
  EXPECT_EQ(pages[0], kGear7);
}

TEST(GearReport, PercentModeShowsPercentAndTheUnit) {
  TBalastConfig t;
  FillGear(t);
  t.SetPercentMode(1);
  t.SetCurrentSlot(5);
  ReportPages pages;
  ASSERT_EQ(GearReportPages(t, pages, kNow), 1);
  const std::vector<std::string>& page = pages[0];
  ASSERT_EQ(page.size(), 30u);
  EXPECT_EQ(page[12], "Maximálna úroveň:             100%");
  EXPECT_EQ(page[14], "Úroveň pri chybe:             100%");
  EXPECT_EQ(page[25],
            " 4   ---        "
            " 5     0%       "
            " 6   ---        "
            " 7   ---        ");
  EXPECT_EQ(page[27],
            "12   ---        "
            "13   ---        "
            "14   ---        "
            "15   100%       ");
  // A level never read is no "255%".
  t.SetCurrentSlot(7);
  ASSERT_EQ(GearReportPages(t, pages, kNow), 1);
  EXPECT_EQ(pages[0][12], "Maximálna úroveň:             ");
  EXPECT_EQ(t.PercentMode(), 1);
}

// Characters, not bytes: a Slovak letter is two bytes of UTF-8.
size_t Characters(const std::string& text) {
  size_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

TEST(GearReport, ItemsKeepTheirColumns) {
  TBalastConfig t;
  FillGear(t);
  t.SetCurrentSlot(5);
  ReportPages pages;
  GearReportPages(t, pages, kNow);
  const ReportPageList& page = pages[0];
  // Every value starts in column 30, whatever letters its label has.
  for (int line : {5, 7, 8, 9, 11, 12, 13, 14, 16, 17}) {
    const size_t value = page[line].find_first_not_of(' ', page[line].find(':') + 1);
    ASSERT_NE(value, std::string::npos) << page[line];
    EXPECT_EQ(Characters(page[line].substr(0, value)), 30u) << page[line];
  }
  for (int line : {20, 21}) EXPECT_EQ(Characters(page[line]), 80u) << page[line];
  for (int line : {24, 25, 26, 27}) EXPECT_EQ(Characters(page[line]), 64u) << page[line];
}

struct SelectionCase {
  const char* name;
  uint8_t slot;
  uint8_t group;
  std::vector<std::string> addresses;  // the "Adresa:" values of the pages, in order
};

TEST(GearReport, SelectionRules) {
  const SelectionCase cases[] = {
      {"one device", 9, 2, {"9"}},
      {"a free slot", 8, 2, {}},
      {"group 2: members whose byte is 1, not the unread one", 64, 2, {"5", "9"}},
      {"group 0", 64, 0, {"5"}},
      {"a group without members", 64, 4, {}},
      {"all devices", 64, 255, {"5", "7", "9"}},
  };
  for (const SelectionCase& c : cases) {
    TBalastConfig t;
    FillGear(t);
    t.SetCurrentGroup(c.group);
    t.SetCurrentSlot(c.slot);
    ReportPages pages;
    // What an earlier report left is replaced.
    for (auto& page : pages) page = {"stará strana"};
    const int count = GearReportPages(t, pages, kNow);
    ASSERT_EQ(count, static_cast<int>(c.addresses.size())) << c.name;
    for (int p = 0; p < count; ++p) {
      ASSERT_EQ(pages[p].size(), 30u) << c.name;
      EXPECT_EQ(pages[p][5], "Adresa:                       " + c.addresses[p]) << c.name;
    }
    EXPECT_EQ(t.CurrentSlot(), c.slot) << c.name;
    EXPECT_EQ(t.CurrentGroup(), c.group) << c.name;
  }
}

TEST(GearReport, SixtyFourDevicesFillEveryList) {
  TBalastConfig t;
  for (uint8_t a = 0; a < 64; ++a) {
    t.SetCurrentSlot(a);
    t.SetShortAddress(a);
  }
  t.SetCurrentGroup(255);
  t.SetCurrentSlot(64);
  ReportPages pages;
  ASSERT_EQ(GearReportPages(t, pages, kNow), 64);
  EXPECT_EQ(pages[63][5], "Adresa:                       63");
}

// A kind of the tests only: its lines name the slot it was called for and break the sheet.
constexpr uint8_t kReportKind = 250;

KindSections ReportKindSections() {
  KindSections kinds;
  kinds.Add(kReportKind, {[](pugi::xml_node, TControllerConfig&) {},
                          [](const DocumentReader&, pugi::xml_node, TControllerConfig&) {},
                          [](TControllerConfig& table, ReportPageList& lines) {
                            lines.push_back("Druh pre " + std::to_string(table.CurrentSlot()));
                            lines.push_back(kFormFeedLine);
                            lines.push_back("Ďalší hárok");
                          }});
  // A kind with a document part but no report lines.
  kinds.Add(251, {[](pugi::xml_node, TControllerConfig&) {},
                  [](const DocumentReader&, pugi::xml_node, TControllerConfig&) {}, nullptr});
  return kinds;
}

// Device 4: a switch, 1.002, multimaster on, groups 0 and 9. Device 6: kind 130, multimaster
// never read, group 1 never read. Device 8: the test kind, in group 1. Device 11: nothing read.
void FillDevices(TControllerConfig& t) {
  t.SetCurrentSlot(4);
  t.SetShortAddress(4);
  t.SetDeviceType(129);
  t.SetVersion(1);
  t.SetMinVersion(2);
  t.SetMultimaster(1);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 0 || g == 9 ? 1 : 0);
  t.SetCurrentSlot(6);
  t.SetShortAddress(6);
  t.SetDeviceType(130);
  t.SetVersion(2);
  t.SetMinVersion(15);
  t.SetMultimaster(255);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 1 ? 255 : 0);
  t.SetCurrentSlot(8);
  t.SetShortAddress(8);
  t.SetDeviceType(kReportKind);
  t.SetVersion(3);
  t.SetMinVersion(0);
  t.SetMultimaster(0);
  for (uint32_t g = 0; g < 16; ++g) t.SetGroups(g, g == 1 ? 1 : 0);
  t.SetCurrentSlot(11);
  t.SetShortAddress(11);
}

std::vector<std::string> DeviceHead(const std::string& address, const std::string& type,
                                    const std::string& version, const std::string& multimaster) {
  return {"Lumetra konfigurátor",
          "",
          "",
          "Ovládač",
          "",
          "Adresa:                       " + address,
          "",
          "Typ:                          " + type,
          "Verzia:                       " + version,
          "Multimaster:                  " + multimaster,
          "",
          kGroupsTitle};
}

std::vector<std::string> Joined(std::vector<std::string> lines,
                                const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

TEST(ControllerReport, PagesAsExactText) {
  TControllerConfig t;
  FillDevices(t);
  t.SetCurrentGroup(255);
  t.SetCurrentSlot(64);
  ReportPages pages;
  ASSERT_EQ(ControllerReportPages(t, pages, ReportKindSections(), kNow), 4);
  EXPECT_EQ(
      pages[0],
      Joined(DeviceHead("4", "129 - Spínač", "1.002", "Áno"),
             {" 0  x      1  -      2  -      3  -      4  -      5  -      6  -      7  -     ",
              " 8  -      9  x     10  -     11  -     12  -     13  -     14  -     15  -     ",
              "", kDateLine}));
  // No name for a kind without one; multimaster and a group never read print "Nie" and '-'.
  EXPECT_EQ(pages[1], Joined(DeviceHead("6", "130 - ", "2.015", "Nie"),
                             {kNoGroups1, kNoGroups2, "", kDateLine}));
  // The kind's lines come after the groups, for the slot being reported, before the date.
  EXPECT_EQ(
      pages[2],
      Joined(DeviceHead("8", "250 - ", "3.000", "Nie"),
             {" 0  -      1  x      2  -      3  -      4  -      5  -      6  -      7  -     ",
              kNoGroups2, "Druh pre 8", "\f", "Ďalší hárok", "", kDateLine}));
  EXPECT_EQ(pages[3],
            Joined(DeviceHead("11", "", "", "Nie"), {kNoGroups1, kNoGroups2, "", kDateLine}));
  EXPECT_EQ(t.CurrentSlot(), 64);
}

TEST(ControllerReport, SelectionRules) {
  const SelectionCase cases[] = {
      {"one device", 6, 255, {"6"}},
      {"a free slot", 5, 255, {}},
      {"group 1: the member, not the unread one", 64, 1, {"8"}},
      {"group 9", 64, 9, {"4"}},
      {"all devices", 64, 255, {"4", "6", "8", "11"}},
  };
  for (const SelectionCase& c : cases) {
    TControllerConfig t;
    FillDevices(t);
    t.SetCurrentGroup(c.group);
    t.SetCurrentSlot(c.slot);
    ReportPages pages;
    const int count = ControllerReportPages(t, pages, ReportKindSections(), kNow);
    ASSERT_EQ(count, static_cast<int>(c.addresses.size())) << c.name;
    for (int p = 0; p < count; ++p) {
      EXPECT_EQ(pages[p][5], "Adresa:                       " + c.addresses[p]) << c.name;
    }
    EXPECT_EQ(t.CurrentSlot(), c.slot) << c.name;
  }
}

TEST(ControllerReport, AKindWithoutReportLinesAddsNothing) {
  TControllerConfig t;
  t.SetCurrentSlot(3);
  t.SetShortAddress(3);
  t.SetDeviceType(251);
  ReportPages pages;
  ASSERT_EQ(ControllerReportPages(t, pages, ReportKindSections(), kNow), 1);
  // Lines 1 to 14, then the empty line and the date: line 15 is the kind's, and it has none.
  ASSERT_EQ(pages[0].size(), 16u);
  EXPECT_EQ(pages[0][13], kNoGroups2);
  EXPECT_EQ(pages[0][14], "");
  EXPECT_EQ(pages[0][15], kDateLine);
}

// Lists of named lines on sheets of 1000 units with lines 100 high: six lines fit a sheet
// (the seventh would start at 600 + 500 > 1000).
struct LayoutCase {
  const char* name;
  std::vector<ReportPageList> lists;
  std::vector<std::vector<std::pair<int, std::string>>> sheets;  // (y, text) per sheet
};

TEST(ReportLayout, SheetsOfKnownMetrics) {
  const LayoutCase cases[] = {
      {"each list on its own sheet, none after the last",
       {{"a1", "a2"}, {"b1"}, {"c1", "c2"}},
       {{{300, "a1"}, {400, "a2"}}, {{300, "b1"}}, {{300, "c1"}, {400, "c2"}}}},
      {"a form feed starts a sheet and leaves no mark",
       {{"a", "", "\f", "b"}},
       {{{300, "a"}, {400, ""}}, {{300, "b"}}}},
      {"a long list breaks at the bottom margin and goes on at the top",
       {{"1", "2", "3", "4", "5", "6", "7", "8"}},
       {{{300, "1"}, {400, "2"}, {500, "3"}, {600, "4"}, {700, "5"}, {800, "6"}},
        {{300, "7"}, {400, "8"}}}},
      {"a form feed at the end of a list or twice in a row makes no empty sheet",
       {{"a", "\f"}, {"\f", "\f", "b"}},
       {{{300, "a"}}, {{300, "b"}}}},
      {"an empty list prints nothing", {{}, {"b"}}, {{{300, "b"}}}},
  };
  for (const LayoutCase& c : cases) {
    ReportPages pages;
    for (size_t p = 0; p < c.lists.size(); ++p) pages[p] = c.lists[p];
    int asked = 0;
    const std::vector<ReportSheet> sheets =
        LayOutReport(pages, static_cast<int>(c.lists.size()), 1000, [&](const std::string&) {
          ++asked;
          return 100;
        });
    ASSERT_EQ(sheets.size(), c.sheets.size()) << c.name;
    for (size_t s = 0; s < sheets.size(); ++s) {
      ASSERT_EQ(sheets[s].size(), c.sheets[s].size()) << c.name << " sheet " << s;
      for (size_t l = 0; l < sheets[s].size(); ++l) {
        EXPECT_EQ(sheets[s][l], (PlacedLine{400, c.sheets[s][l].first, c.sheets[s][l].second}))
            << c.name << " sheet " << s << " line " << l;
      }
    }
    EXPECT_GT(asked, 0) << c.name;
  }
}

TEST(ReportLayout, NoListsNoSheetsAndOnlyTheCountedLists) {
  ReportPages pages;
  pages[0] = {"a"};
  pages[1] = {"left from an earlier report"};
  const auto height = [](const std::string&) { return 50; };
  EXPECT_TRUE(LayOutReport(pages, 0, 7000, height).empty());
  ASSERT_EQ(LayOutReport(pages, 1, 7000, height).size(), 1u);
  // A count beyond the 64 lists reads no further than they go.
  EXPECT_EQ(LayOutReport(pages, 1000, 7000, height).size(), 2u);
}

TEST(ReportLayout, ThreeGroupMembersGiveThreeSheets) {
  TBalastConfig t;
  FillGear(t);
  t.SetCurrentGroup(255);
  t.SetCurrentSlot(64);
  ReportPages pages;
  const int count = GearReportPages(t, pages, kNow);
  ASSERT_EQ(count, 3);
  // A4 at 600 dpi with an 8-point line: each 30-line page fits one sheet.
  const std::vector<ReportSheet> sheets =
      LayOutReport(pages, count, 7016, [](const std::string&) { return 76; });
  ASSERT_EQ(sheets.size(), 3u);
  for (const ReportSheet& sheet : sheets) {
    EXPECT_EQ(sheet.size(), 30u);
    EXPECT_EQ(sheet.back().y, 300 + 29 * 76);
  }
}

TEST(ReportLayout, PlanOnPortraitAndLandscapePaper) {
  const struct {
    const char* name;
    int width, height;
    PlanRect picture;
    int firstLine, secondLine, right;
  } cases[] = {
      {"portrait: the upper half", 4961, 7016, {200, 200, 4761, 3308}, 3318, 3398, 4761},
      {"landscape: the whole height", 7016, 4961, {200, 200, 6816, 4761}, 4771, 4851, 6816},
  };
  for (const auto& c : cases) {
    const PlanSheet sheet = LayOutPlan(c.width, c.height, kNow);
    EXPECT_EQ(sheet.picture, c.picture) << c.name;
    EXPECT_EQ(sheet.legendX, 200) << c.name;
    EXPECT_EQ(sheet.firstLineY, c.firstLine) << c.name;
    EXPECT_EQ(sheet.secondLineY, c.secondLine) << c.name;
    EXPECT_EQ(sheet.textRight, c.right) << c.name;
    EXPECT_EQ(sheet.date, "7.3.2026") << c.name;
    EXPECT_EQ(sheet.time, "09:05:04") << c.name;
  }
}

}  // namespace
}  // namespace lumetra
