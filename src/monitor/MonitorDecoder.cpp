// Decoding of monitor records into display lines. Runs once per frame on the line, so it formats
// by hand instead of through printf.
#include "monitor/MonitorDecoder.h"

namespace lumetra {

namespace {

using namespace monitor_names;

void AppendHex(std::string& out, uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(kDigits[value >> 4]);
  out.push_back(kDigits[value & 0x0F]);
}

void AppendTwoDigits(std::string& out, int value) {
  out.push_back(static_cast<char>('0' + value / 10 % 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

// The data column: the tabs before a number shrink as it grows, so that the tab stops line the
// numbers up on their last digit.
void AppendNumber(std::string& out, int n) {
  if (n >= 100) {
    out.append("\t");
    out.push_back(static_cast<char>('0' + n / 100));
    AppendTwoDigits(out, n % 100);
  } else if (n >= 10) {
    out.append("\t\t");
    AppendTwoDigits(out, n);
  } else {
    out.append("\t\t\t");
    out.push_back(static_cast<char>('0' + n));
  }
}

void AppendName(std::string& out, std::string_view name) {
  out.push_back('\t');
  out.append(name);
}

// The number in the data column of a frame with command `code` and data byte `data`.
int DataShown(const CommandColumn& column, uint8_t code, uint8_t data) {
  switch (column.data) {
    case DataColumn::kByte:
      return data;
    case DataColumn::kNumberInRow:
      return code - column.rowCode;
    case DataColumn::kShortAddress:
      return data >> 1;
  }
  return data;
}

// Which filter rule an address part falls under.
enum class Entry { kNone, kAddress, kGroup, kAll };

// Whether a frame's address part is shown. `selected` is the box of an address or group entry (0
// for numbers without a box).
bool Shown(Entry entry, uint8_t selected, uint8_t filterOn, uint8_t showSelected, uint8_t showAll) {
  if (filterOn == 0) return true;
  switch (entry) {
    case Entry::kNone:
      return true;
    case Entry::kAddress:
    case Entry::kGroup:
      return selected == showSelected;
    case Entry::kAll:
      // Under "nezobrazovať" broadcasts are never shown.
      return showSelected == 1 && showAll == 1;
  }
  return true;
}

bool IsSpecial(uint8_t a) { return a >= 0xA0 && a <= 0xDF; }

// Kind 3. Returns false when the filter hides the frame.
bool DecodeGearFrame(std::string& line, uint8_t a, uint8_t c, const MonitorFilter& f) {
  line.push_back('\t');
  AppendHex(line, a);
  AppendHex(line, c);

  Entry entry;
  uint8_t selected = 0;
  if (a <= 0x7F) {
    entry = Entry::kAddress;
    selected = f.BalastAddressSelected[a >> 1];
    line.append("\t\t\tA ");
    AppendTwoDigits(line, a >> 1);
  } else if (a <= 0x9F) {
    entry = Entry::kGroup;
    selected = f.BalastGroupSelected[(a >> 1) & 0x0F];
    line.append("\t\tGA ");
    AppendTwoDigits(line, (a >> 1) & 0x0F);
  } else if (IsSpecial(a)) {
    entry = Entry::kNone;
    line.append("\t\t\t");
  } else {
    entry = Entry::kAll;
    line.append("\t\tA ALL");
  }
  if (!Shown(entry, selected, f.BalastFilterOn, f.BalastShowSelected, f.BalastShowAll)) {
    return false;
  }

  if ((a & 1) == 0) {
    AppendName(line, gear::kDirectArcPower.name);
    AppendNumber(line, c);
    return true;
  }
  // A special command is its address byte; any other odd byte addresses the opcode in c.
  const uint8_t code = IsSpecial(a) ? a : c;
  const CommandColumn& column =
      IsSpecial(a) ? SpecialCommands[(a - gear::kFirstSpecial) / 2] : GearCommands[c];
  AppendName(line, column.name);
  AppendNumber(line, DataShown(column, code, c));
  return true;
}

// Kind 4. Returns false when the filter hides the frame.
bool DecodeDeviceFrame(std::string& line, uint8_t d, uint8_t o, uint8_t v, const MonitorFilter& f) {
  line.push_back('\t');
  AppendHex(line, d);
  AppendHex(line, o);
  AppendHex(line, v);

  Entry entry = Entry::kNone;
  uint8_t selected = 0;
  if (d == 0xFC) {
    line.append("\tUNADDRESSED");
  } else if (d == 0xFD) {
    line.append("\t ADDRESSED");
  } else if (d == 0xFF) {
    entry = Entry::kAll;
    line.append("\t\tC ALL");
  } else if (d >= 0x80 && d <= 0x9F) {
    entry = Entry::kGroup;
    const int g = d & 0x1F;
    // Groups 16..31 have no box: they count as not selected.
    selected = g < 16 ? f.ControllerGroupSelected[static_cast<size_t>(g)] : 0;
    line.append("\t\tGC ");
    AppendTwoDigits(line, g);
  } else if (d >= 0xA0 && d <= 0xBF) {
    line.append("\t\tTC ");
    AppendTwoDigits(line, d & 0x1F);
  } else if (d <= 0x7F) {
    entry = Entry::kAddress;
    selected = f.ControllerAddressSelected[d & 0x3F];
    line.append("\t\t\tC ");
    AppendTwoDigits(line, d & 0x3F);
  } else {
    line.push_back('\t');
  }
  if (!Shown(entry, selected, f.ControllerFilterOn, f.ControllerShowSelected,
             f.ControllerShowAll)) {
    return false;
  }

  if (o == 0) {
    AppendName(line, DataLessCommands[v].name);
    line.push_back('\t');
    return true;
  }
  const CommandColumn& column = DeviceCommands[o];
  if (column.shown) AppendName(line, column.name);
  AppendNumber(line, DataShown(column, o, v));
  return true;
}

void AppendTime(std::string& line, const ArrivalTime& time) {
  line.push_back('\t');
  AppendTwoDigits(line, time.hour);
  line.push_back(':');
  AppendTwoDigits(line, time.minute);
  line.push_back(':');
  AppendTwoDigits(line, time.second);
}

}  // namespace

bool DecodeRecordInto(std::string& line, const MonitorRecord& record, const MonitorFilter& filter,
                      bool& skipNextAnswer, const ArrivalTime& time) {
  line.clear();
  switch (record[0] & 7) {
    case kRecordGearFrame:
    case kRecordDeviceFrame: {
      const bool shown = (record[0] & 7) == kRecordGearFrame
                             ? DecodeGearFrame(line, record[2], record[3], filter)
                             : DecodeDeviceFrame(line, record[1], record[2], record[3], filter);
      // A hidden query hides its answer too.
      skipNextAnswer = !shown;
      if (!shown) {
        line.clear();
        return false;
      }
      break;
    }
    case kRecordAnswer:
    case kRecordAnswerAlt:
      if (skipNextAnswer) {
        skipNextAnswer = false;
        return false;
      }
      line.push_back('\t');
      AppendHex(line, record[3]);
      line.append("\t\t\t\tAnswer");
      AppendNumber(line, record[3]);
      break;
    case kRecordBusError: {
      const uint8_t e = record[3];
      line.push_back('\t');
      AppendHex(line, e);
      line.append("\t\t\t\t");
      if (e < BusErrorNames.size()) line.append(BusErrorNames[e]);
      line.append("\t\t\t");
      break;
    }
    default:
      return false;
  }
  AppendTime(line, time);
  return true;
}

DecodedRecord DecodeRecord(const MonitorRecord& record, const MonitorFilter& filter,
                           bool skipNextAnswer, const ArrivalTime& time) {
  DecodedRecord result;
  std::string line;
  result.skipNextAnswer = skipNextAnswer;
  if (DecodeRecordInto(line, record, filter, result.skipNextAnswer, time)) {
    result.line = std::move(line);
  }
  return result;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of an upper-case hexadecimal text of 2, 4 or 6 digits.
bool HexBytes(std::string_view text, uint8_t* bytes) {
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i / 2] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

bool TwoDigits(std::string_view text, size_t at, int& value) {
  if (text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9') return false;
  value = (text[at] - '0') * 10 + (text[at + 1] - '0');
  return true;
}

}  // namespace

std::optional<TracedRecord> RecordOfLine(std::string_view line) {
  // "\t" hex "\t" … "\tHH:MM:SS"
  if (line.size() < 12 || line[0] != '\t') return std::nullopt;
  const size_t hexEnd = line.find('\t', 1);
  if (hexEnd == std::string_view::npos) return std::nullopt;
  const std::string_view hex = line.substr(1, hexEnd - 1);
  TracedRecord traced;
  uint8_t bytes[3] = {};
  if ((hex.size() != 2 && hex.size() != 4 && hex.size() != 6) || !HexBytes(hex, bytes)) {
    return std::nullopt;
  }
  MonitorRecord& r = traced.record;
  if (hex.size() == 4) {
    r = {kRecordGearFrame, 0, bytes[0], bytes[1], 0};
  } else if (hex.size() == 6) {
    r = {kRecordDeviceFrame, bytes[0], bytes[1], bytes[2], 0};
  } else {
    const bool answer = line.substr(hexEnd).rfind("\t\t\t\tAnswer", 0) == 0;
    r = {answer ? kRecordAnswer : kRecordBusError, 0, 0, bytes[0], 0};
  }
  const size_t t = line.size() - 8;
  if (line[t - 1] != '\t' || line[t + 2] != ':' || line[t + 5] != ':' ||
      !TwoDigits(line, t, traced.time.hour) || !TwoDigits(line, t + 3, traced.time.minute) ||
      !TwoDigits(line, t + 6, traced.time.second) || traced.time.hour > 23 ||
      traced.time.minute > 59 || traced.time.second > 59) {
    return std::nullopt;
  }
  // Only a line the decoder would make itself counts.
  std::string again;
  bool skip = false;
  if (!DecodeRecordInto(again, r, MonitorFilter{}, skip, traced.time) || again != line) {
    return std::nullopt;
  }
  return traced;
}

}  // namespace lumetra
