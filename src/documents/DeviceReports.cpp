// The control gear and control device report pages.
#include "documents/DeviceReports.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "model/GearTypeNames.h"
#include "model/KindNames.h"
#include "model/Utf.h"

namespace lumetra {

namespace {

constexpr uint32_t kNotRead = TConfig::kNone;
constexpr size_t kLabelWidth = 30;
constexpr const char* kProgramName = "Lumetra konfigurátor";
constexpr const char* kGroupsTitle = "Skupiny:   ( 'x' - je v skupine,  '-' - nie je v skupine )";

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Printf(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// "%-30s%s": the label padded to its column by characters, then the value.
std::string Field(const char* label, const std::string& value) {
  return PadRight(label, kLabelWidth) + value;
}

// A byte never read leaves the value empty, as the editors leave its box empty.
std::string Number(uint32_t value) {
  return value == kNotRead ? std::string() : Printf("%u", value);
}

std::string TypeText(uint32_t type, std::string_view name) {
  if (type == kNotRead) return {};
  return Printf("%u - ", type) + std::string(name);
}

// Eight 10-character group items: 'x' for a member (exactly 1), '-' otherwise.
std::string GroupLine(const TConfig& table, uint32_t first) {
  std::string line;
  for (uint32_t g = first; g < first + 8; ++g) {
    line += Printf("%2u  %c     ", g, table.Groups(g) == 1 ? 'x' : '-');
  }
  return line;
}

std::string DateLine(const LocalTime& t) {
  return Printf("%2d.%2d.%4d     %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                t.second);
}

void AddPageHead(ReportPageList& page, const char* kind, const TConfig& table) {
  page.push_back(kProgramName);
  page.emplace_back();
  page.emplace_back();
  page.push_back(kind);
  page.emplace_back();
  page.push_back(Field("Adresa:", Number(table.ShortAddress())));
  page.emplace_back();
}

void AddGroups(ReportPageList& page, const TConfig& table) {
  page.push_back(kGroupsTitle);
  page.push_back(GroupLine(table, 0));
  page.push_back(GroupLine(table, 8));
}

// Keeps the table's selection while a report walks the slots.
class SlotKeeper {
 public:
  explicit SlotKeeper(TConfig& table) : table_(table), slot_(table.CurrentSlot()) {}
  ~SlotKeeper() { table_.SetCurrentSlot(slot_); }
  SlotKeeper(const SlotKeeper&) = delete;
  SlotKeeper& operator=(const SlotKeeper&) = delete;

 private:
  TConfig& table_;
  uint8_t slot_;
};

template <typename AddPage>
int FillPages(TConfig& table, ReportPages& pages, AddPage addPage) {
  const std::vector<uint8_t> slots = ReportedSlots(table);
  SlotKeeper keeper(table);
  int count = 0;
  for (const uint8_t slot : slots) {
    if (count == static_cast<int>(pages.size())) break;
    table.SetCurrentSlot(slot);
    ReportPageList& page = pages[count++];
    page.clear();
    addPage(page);
  }
  return count;
}

void AddGearPage(ReportPageList& page, const TBalastConfig& t, const LocalTime& now) {
  const char unit = t.PercentMode() ? '%' : ' ';
  const auto level = [unit](uint32_t value) {
    return value == kNotRead ? std::string() : Printf("%u%c", value, unit);
  };
  AddPageHead(page, "Svietidlo", t);
  page.push_back(Field("Typ:", TypeText(t.DeviceType(), DeviceTypeName(t.DeviceType()))));
  const uint32_t version = t.Version();
  page.push_back(Field("Verzia:", version == kNotRead
                                      ? std::string()
                                      : Printf("%u.%02u", version >> 4, version & 0x0F)));
  page.push_back(Field("Minimálna fyzikálna úroveň:", level(t.PhysicalMinLevel())));
  page.emplace_back();
  page.push_back(Field("Minimálna úroveň:", level(t.MinLevel())));
  page.push_back(Field("Maximálna úroveň:", level(t.MaxLevel())));
  page.push_back(Field("Úroveň po zapnutí:", level(t.PowerOnLevel())));
  page.push_back(Field("Úroveň pri chybe:", level(t.FailureLevel())));
  page.emplace_back();
  page.push_back(Field("Rýchlosť stmievania:", Number(t.FadeRate())));
  page.push_back(Field("Čas stmievania:", Number(t.FadeTime())));
  page.emplace_back();
  AddGroups(page, t);
  page.emplace_back();
  page.push_back("Scény:");
  for (uint32_t first = 0; first < 16; first += 4) {
    std::string line;
    for (uint32_t s = first; s < first + 4; ++s) {
      const uint32_t value = t.Scenes(s);
      line += value == kNotRead ? Printf("%2u   ---        ", s)
                                : Printf("%2u   %3u%c       ", s, value, unit);
    }
    page.push_back(line);
  }
  page.emplace_back();
  page.push_back(DateLine(now));
}

void AddControllerPage(ReportPageList& page, TControllerConfig& t, const KindSections& kinds,
                       const LocalTime& now) {
  AddPageHead(page, "Ovládač", t);
  page.push_back(Field("Typ:", TypeText(t.DeviceType(), ControllerKindName(t.DeviceType()))));
  const bool versionRead = t.Version() != kNotRead && t.MinVersion() != kNotRead;
  page.push_back(
      Field("Verzia:", versionRead ? Printf("%d.%03d", t.Version(), t.MinVersion()) : ""));
  page.push_back(Field("Multimaster:", t.Multimaster() == 1 ? "Áno" : "Nie"));
  page.emplace_back();
  AddGroups(page, t);
  const KindSection* kind = kinds.Find(t.DeviceType());
  if (kind && kind->addToReport) kind->addToReport(t, page);
  page.emplace_back();
  page.push_back(DateLine(now));
}

}  // namespace

std::vector<uint8_t> ReportedSlots(const TConfig& table) {
  std::vector<uint8_t> slots;
  const uint8_t current = table.CurrentSlot();
  if (current < TConfig::kGroupSlot) {
    if (!table.IsSlotFree(current)) slots.push_back(current);
    return slots;
  }
  const uint8_t group = table.CurrentGroup();
  for (uint8_t i = 0; i < TConfig::kGroupSlot; ++i) {
    if (table.IsSlotFree(i)) continue;
    if (group == TConfig::kAllDevices || (group < 16 && table.SlotAt(i)->Groups[group] == 1)) {
      slots.push_back(i);
    }
  }
  return slots;
}

int GearReportPages(TBalastConfig& table, ReportPages& pages, const LocalTime& now) {
  return FillPages(table, pages, [&](ReportPageList& page) { AddGearPage(page, table, now); });
}

int ControllerReportPages(TControllerConfig& table, ReportPages& pages, const KindSections& kinds,
                          const LocalTime& now) {
  return FillPages(table, pages,
                   [&](ReportPageList& page) { AddControllerPage(page, table, kinds, now); });
}

}  // namespace lumetra
