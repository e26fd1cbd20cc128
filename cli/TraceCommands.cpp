// lumetra-cli trace decode|stats: a record file of the monitor (".lmm") read back into its
// records, shown again under the monitor page's filters, or counted.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "model/Error.h"
#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorLines.h"

namespace lumetra::cli {

namespace {

bool LoadLines(const std::string& path, MonitorLines& lines) {
  try {
    lines = LoadMonitorLines(path);
    return true;
  } catch (const Error& e) {
    std::cerr << kToolName << ": " << e.what() << "\n";
    return false;
  }
}

void NotARecord(const std::string& path, size_t line) {
  std::cerr << kToolName << ": " << path << ": riadok " << line
            << " nie je riadkom monitora, vynechaný\n";
}

}  // namespace

int TraceDecode(TArguments& args) {
  // The monitor page's filter: each population's filter is on once an address or group of it is
  // named; "zobrazovať" shows the named ones, --hide ("nezobrazovať") hides them; broadcasts are
  // shown under "zobrazovať" only with --broadcasts, as with the box "A ALL" / "C ALL".
  MonitorFilter filter;
  struct Column {
    const char* addresses;
    const char* groups;
    uint8_t MonitorFilter::*on;
    std::array<uint8_t, 64> MonitorFilter::*address;
    std::array<uint8_t, 16> MonitorFilter::*group;
  };
  const Column columns[] = {
      {"--gear", "--gear-groups", &MonitorFilter::BalastFilterOn,
       &MonitorFilter::BalastAddressSelected, &MonitorFilter::BalastGroupSelected},
      {"--devices", "--device-groups", &MonitorFilter::ControllerFilterOn,
       &MonitorFilter::ControllerAddressSelected, &MonitorFilter::ControllerGroupSelected}};
  const std::optional<std::string> bothGroups = args.Value("--groups");
  for (const Column& c : columns) {
    if (const std::optional<std::string> list = args.Value(c.addresses)) {
      for (int a : NumberList(args, c.addresses, *list, 63)) (filter.*c.address)[size_t(a)] = 1;
      filter.*c.on = 1;
    }
    std::optional<std::string> groups = args.Value(c.groups);
    if (groups && bothGroups) args.Fail(std::string("voľby --groups a ") + c.groups + " sa vylučujú");
    if (!groups) groups = bothGroups;
    if (groups) {
      const std::string option = bothGroups ? "--groups" : c.groups;
      for (int g : NumberList(args, option, *groups, 15)) (filter.*c.group)[size_t(g)] = 1;
      filter.*c.on = 1;
    }
  }
  const bool hide = args.Flag("--hide");
  const bool broadcasts = args.Flag("--broadcasts");
  if ((hide || broadcasts) && !filter.BalastFilterOn && !filter.ControllerFilterOn) {
    args.Fail("voľby --hide a --broadcasts platia len s filtrom (--gear, --devices, --groups…)");
  }
  filter.BalastShowSelected = filter.ControllerShowSelected = hide ? 0 : 1;
  filter.BalastShowAll = filter.ControllerShowAll = broadcasts ? 1 : 0;
  const std::string path = args.Operands(1, 1, "SÚBOR.lmm")[0];

  MonitorLines lines;
  if (!LoadLines(path, lines)) return kExitProblem;
  int status = kExitOk;
  bool skipNextAnswer = false;
  std::string decoded, out;
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::optional<TracedRecord> traced = RecordOfLine(lines.Line(i));
    if (!traced) {
      NotARecord(path, i + 1);
      status = kExitProblem;
      continue;
    }
    if (DecodeRecordInto(decoded, traced->record, filter, skipNextAnswer, traced->time)) {
      out += decoded;
      out += '\n';
    }
    if (out.size() > (1 << 16)) {
      std::cout << out;
      out.clear();
    }
  }
  std::cout << out << std::flush;
  return status;
}

namespace {

// The address part of a frame as the monitor names it; empty for special commands and others
// without one.
std::string Target(const MonitorRecord& r) {
  char text[16] = "";
  if ((r[0] & 7) == kRecordGearFrame) {
    const uint8_t a = r[2];
    if (a <= 0x7F) {
      std::snprintf(text, sizeof text, "A %02d", a >> 1);
    } else if (a <= 0x9F) {
      std::snprintf(text, sizeof text, "GA %02d", (a >> 1) & 0x0F);
    } else if (a >= 0xA0 && a <= 0xDF) {
      return {};
    } else {
      return "A ALL";
    }
  } else {
    const uint8_t d = r[1];
    if (d == 0xFF) return "C ALL";
    if (d >= 0x80 && d <= 0x9F) {
      std::snprintf(text, sizeof text, "GC %02d", d & 0x1F);
    } else if (d <= 0x7F) {
      std::snprintf(text, sizeof text, "C %02d", d & 0x3F);
    } else {
      return {};
    }
  }
  return text;
}

std::string TimeText(const ArrivalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

int TraceStats(TArguments& args) {
  const bool json = args.Flag("--json");
  const std::string path = args.Operands(1, 1, "SÚBOR.lmm")[0];
  MonitorLines lines;
  if (!LoadLines(path, lines)) return kExitProblem;

  size_t gear = 0, devices = 0, answers = 0, errors = 0, unreadable = 0;
  std::map<std::string, size_t> errorNames, targets;
  std::optional<ArrivalTime> first, last;
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::optional<TracedRecord> traced = RecordOfLine(lines.Line(i));
    if (!traced) {
      NotARecord(path, i + 1);
      ++unreadable;
      continue;
    }
    if (!first) first = traced->time;
    last = traced->time;
    const MonitorRecord& r = traced->record;
    switch (r[0] & 7) {
      case kRecordGearFrame:
        ++gear;
        break;
      case kRecordDeviceFrame:
        ++devices;
        break;
      case kRecordAnswer:
        ++answers;
        break;
      default: {
        ++errors;
        const uint8_t e = r[3];
        const std::string_view name =
            e < monitor_names::BusErrorNames.size() ? monitor_names::BusErrorNames[e] : "";
        ++errorNames[name.empty() ? "ERROR " + std::to_string(e) : std::string(name)];
        break;
      }
    }
    if ((r[0] & 7) == kRecordGearFrame || (r[0] & 7) == kRecordDeviceFrame) {
      if (const std::string target = Target(r); !target.empty()) ++targets[target];
    }
  }
  std::vector<std::pair<std::string, size_t>> busiest(targets.begin(), targets.end());
  std::stable_sort(busiest.begin(), busiest.end(),
                   [](const auto& x, const auto& y) { return x.second > y.second; });
  if (busiest.size() > 10) busiest.resize(10);

  if (json) {
    std::cout << "{\"file\":" << JsonString(path) << ",\"lines\":" << lines.Count()
              << ",\"gearFrames\":" << gear << ",\"deviceFrames\":" << devices
              << ",\"answers\":" << answers << ",\"busErrors\":" << errors
              << ",\"unreadableLines\":" << unreadable << ",\"first\":"
              << (first ? JsonString(TimeText(*first)) : "null")
              << ",\"last\":" << (last ? JsonString(TimeText(*last)) : "null")
              << ",\"errors\":{";
    bool comma = false;
    for (const auto& [name, count] : errorNames) {
      std::cout << (comma ? "," : "") << JsonString(name) << ":" << count;
      comma = true;
    }
    std::cout << "},\"busiest\":[";
    for (size_t i = 0; i < busiest.size(); ++i) {
      std::cout << (i ? "," : "") << "{\"address\":" << JsonString(busiest[i].first)
                << ",\"frames\":" << busiest[i].second << "}";
    }
    std::cout << "]}\n";
  } else {
    std::cout << "Riadkov: " << lines.Count();
    if (first) std::cout << " (" << TimeText(*first) << " – " << TimeText(*last) << ")";
    std::cout << "\n"
              << "Rámce svietidiel: " << gear << "\n"
              << "Rámce ovládačov: " << devices << "\n"
              << "Odpovede: " << answers << "\n"
              << "Chyby zbernice: " << errors << "\n";
    for (const auto& [name, count] : errorNames) std::cout << "  " << name << ": " << count << "\n";
    if (unreadable) std::cout << "Nečitateľné riadky: " << unreadable << "\n";
    if (!busiest.empty()) {
      std::cout << "Najčastejšie adresy:\n";
      for (const auto& [name, count] : busiest) std::cout << "  " << name << ": " << count << "\n";
    }
  }
  return unreadable == 0 ? kExitOk : kExitProblem;
}

}  // namespace lumetra::cli
