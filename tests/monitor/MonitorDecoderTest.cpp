// Decoding of monitor records: every column of the line, the name tables at their edges, the
// address filters and the answer hidden behind a hidden query.
#include <gtest/gtest.h>

#include <functional>

#include "monitor/MonitorDecoder.h"

namespace lumetra {
namespace {

constexpr ArrivalTime kTime{9, 5, 7};
const std::string kTimePart = "\t09:05:07";

MonitorRecord Gear(uint8_t address, uint8_t opcode) { return {0x63, 0, address, opcode, 0}; }
MonitorRecord Device(uint8_t address, uint8_t opcode, uint8_t data) {
  return {0x64, address, opcode, data, 0};
}
MonitorRecord Answer(uint8_t value) { return {0x62, 0, 0, value, 0}; }
MonitorRecord BusError(uint8_t code) { return {0x67, 0, 0, code, 0}; }

struct LineCase {
  const char* what;
  MonitorRecord record;
  std::string line;  // without the time part
};

TEST(MonitorDecoder, EveryKindMakesItsLine) {
  const LineCase cases[] = {
      {"command to a short address", Gear(0x0B, 0x05), "\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5"},
      {"broadcast arc power", Gear(0xFE, 0xFE), "\tFEFE\t\tA ALL\tDIRECT ARC POWER LEVEL\t254"},
      {"special DTR", Gear(0xA3, 0x2B), "\tA32B\t\t\t\tDTR\t\t43"},
      {"PROGRAM SHORT ADDRESS holds 2s+1", Gear(0xB7, 0x0F),
       "\tB70F\t\t\t\tPROGRAM SHORT ADDRESS\t\t\t7"},
      {"VERIFY SHORT ADDRESS holds 2s+1", Gear(0xB9, 0x7F),
       "\tB97F\t\t\t\tVERIFY SHORT ADDRESS\t\t63"},
      {"other specials keep their data", Gear(0xBB, 0x0F),
       "\tBB0F\t\t\t\tQUERY SHORT ADDRESS\t\t15"},
      {"scene of a group", Gear(0x87, 0x12), "\t8712\t\tGA 03\tGO TO SCENE\t\t\t2"},
      {"group of ADD TO GROUP", Gear(0x0B, 0x6C), "\t0B6C\t\t\tA 05\tADD TO GROUP\t\t12"},
      {"scene of QUERY SCENE LEVEL", Gear(0x01, 0xB5),
       "\t01B5\t\t\tA 00\tQUERY SCENE LEVEL\t\t\t5"},
      {"queries keep their opcode", Gear(0x7F, 0x91), "\t7F91\t\t\tA 63\tQUERY BALAST\t145"},
      {"spelt as the gear table has it", Gear(0x01, 0xC2),
       "\t01C2\t\t\tA 00\tQUERY RANDOME ADDRESS H\t194"},
      {"reserved gear opcode", Gear(0x01, 0xFF), "\t01FF\t\t\tA 00\tRESERVED\t255"},
      {"an even special byte is arc power", Gear(0xA0, 0x00),
       "\tA000\t\t\t\tDIRECT ARC POWER LEVEL\t\t\t0"},
      {"upper bits of byte 0 do not matter",
       {0xFB, 9, 0x1F, 0x00, 9},
       "\t1F00\t\t\tA 15\tOFF\t\t\t0"},
      {"DATA LESS has an empty data column", Device(0x05, 0x00, 0x01),
       "\t050001\t\t\tC 05\tIDENTIFY_DEVICE\t"},
      {"DATA LESS beyond its table", Device(0x05, 0x00, 0x0F), "\t05000F\t\t\tC 05\t\t"},
      {"opcode outside every table has no command column", Device(0x05, 100, 7),
       "\t056407\t\t\tC 05\t\t\t7"},
      {"spelt as the device table has it", Device(0xFF, 66, 0),
       "\tFF4200\t\tC ALL\tTRANSMIT ENABLE TRESHOLD\t\t\t0"},
      {"unaddressed devices", Device(0xFC, 33, 0), "\tFC2100\tUNADDRESSED\tINITIALIZE\t\t\t0"},
      {"addressed devices", Device(0xFD, 32, 0), "\tFD2000\t ADDRESSED\tTERMINATE\t\t\t0"},
      {"device group", Device(0x83, 12, 2), "\t830C02\t\tGC 03\tADD TO CONTROL GROUP N\t\t\t2"},
      {"device group without a box", Device(0x9F, 3, 200), "\t9F03C8\t\tGC 31\tSET DTR\t200"},
      {"TC addresses", Device(0xA5, 4, 0), "\tA50400\t\tTC 05\tQUERY DTR\t\t\t0"},
      {"address bytes without a name", Device(0xC0, 69, 1),
       "\tC04501\t\tQUERY LOAD SHED LEVEL\t\t\t1"},
      {"device event", Device(0x07, 134, 0x20), "\t078620\t\t\tC 07\tSEND STATE\t\t32"},
      {"last device event", Device(0x07, 142, 0),
       "\t078E00\t\t\tC 07\tSET INDICATOR TO DTR\t\t\t0"},
      {"device extras", Device(0x07, 195, 0), "\t07C300\t\t\tC 07\tQUERY DTR1\t\t\t0"},
      {"gap between events and extras", Device(0x07, 143, 0), "\t078F00\t\t\tC 07\t\t\t0"},
      {"answer", Answer(0xFF), "\tFF\t\t\t\tAnswer\t255"},
      {"answer of kind 6", {0x66, 0, 0, 0x09, 0}, "\t09\t\t\t\tAnswer\t\t\t9"},
      {"bus error", BusError(3), "\t03\t\t\t\tERROR - Receive\t\t\t"},
      {"last bus error name", BusError(12), "\t0C\t\t\t\tERROR - Short out\t\t\t"},
      {"bus error without a name", BusError(0xC8), "\tC8\t\t\t\t\t\t\t"},
  };
  for (const LineCase& c : cases) {
    const DecodedRecord decoded = DecodeRecord(c.record, MonitorFilter(), false, kTime);
    ASSERT_TRUE(decoded.line.has_value()) << c.what;
    EXPECT_EQ(*decoded.line, c.line + kTimePart) << c.what;
    EXPECT_FALSE(decoded.skipNextAnswer) << c.what;
  }
}

TEST(MonitorDecoder, IgnoredKindsMakeNothingAndKeepTheSkipFlag) {
  for (uint8_t kind : {0, 1, 5}) {
    for (bool skip : {false, true}) {
      const DecodedRecord decoded = DecodeRecord({kind, 1, 2, 3, 4}, MonitorFilter(), skip, kTime);
      EXPECT_FALSE(decoded.line.has_value()) << int(kind);
      EXPECT_EQ(decoded.skipNextAnswer, skip) << int(kind);
    }
  }
}

TEST(MonitorDecoder, TimePartIsZeroPadded) {
  const DecodedRecord decoded = DecodeRecord(Answer(1), MonitorFilter(), false, {23, 59, 0});
  ASSERT_TRUE(decoded.line);
  EXPECT_EQ(decoded.line->substr(decoded.line->size() - 9), "\t23:59:00");
}

// Records fed one after the other through one filter, as the display does.
struct Stream {
  MonitorFilter filter;
  bool skip = false;
  bool Shows(const MonitorRecord& record) {
    const DecodedRecord decoded = DecodeRecord(record, filter, skip, kTime);
    skip = decoded.skipNextAnswer;
    return decoded.line.has_value();
  }
};

struct FilterCase {
  const char* what;
  std::function<void(MonitorFilter&)> set;
  MonitorRecord record;
  bool shown;
};

TEST(MonitorDecoder, FiltersShowAndHideByAddressGroupAndBroadcast) {
  auto gearHide05 = [](MonitorFilter& f) {
    f.BalastFilterOn = 1;
    f.BalastAddressSelected[5] = 1;
  };
  auto gearShow05 = [](MonitorFilter& f) {
    f.BalastFilterOn = 1;
    f.BalastShowSelected = 1;
    f.BalastAddressSelected[5] = 1;
  };
  const FilterCase cases[] = {
      {"filter off shows checked boxes", [](MonitorFilter& f) { f.BalastAddressSelected[5] = 1; },
       Gear(0x0B, 0x90), true},
      {"nezobrazovať hides a checked address", gearHide05, Gear(0x0B, 0x90), false},
      {"nezobrazovať hides arc power to a checked address", gearHide05, Gear(0x0A, 0x10), false},
      {"nezobrazovať shows an unchecked address", gearHide05, Gear(0x0D, 0x90), true},
      {"zobrazovať shows a checked address", gearShow05, Gear(0x0B, 0x90), true},
      {"zobrazovať hides an unchecked address", gearShow05, Gear(0x0D, 0x90), false},
      {"zobrazovať hides unchecked groups", gearShow05, Gear(0x87, 0x05), false},
      {"zobrazovať shows a checked group",
       [](MonitorFilter& f) {
         f.BalastFilterOn = f.BalastShowSelected = 1;
         f.BalastGroupSelected[3] = 1;
       },
       Gear(0x87, 0x05), true},
      {"special commands pass every filter", gearShow05, Gear(0xA3, 0x10), true},
      {"ALL needs zobrazovať", [](MonitorFilter& f) { f.BalastFilterOn = f.BalastShowAll = 1; },
       Gear(0xFF, 0x05), false},
      {"ALL needs its box", [](MonitorFilter& f) { f.BalastFilterOn = f.BalastShowSelected = 1; },
       Gear(0xFF, 0x05), false},
      {"ALL under zobrazovať with its box",
       [](MonitorFilter& f) { f.BalastFilterOn = f.BalastShowSelected = f.BalastShowAll = 1; },
       Gear(0xFE, 0x05), true},
      {"gear filter leaves devices alone", gearShow05, Device(0x06, 3, 0), true},
      {"device address by its box",
       [](MonitorFilter& f) {
         f.ControllerFilterOn = 1;
         f.ControllerAddressSelected[6] = 1;
       },
       Device(0x06, 3, 0), false},
      {"device groups 16..31 count as unchecked under zobrazovať",
       [](MonitorFilter& f) {
         f.ControllerFilterOn = f.ControllerShowSelected = 1;
         f.ControllerGroupSelected.fill(1);
       },
       Device(0x94, 3, 0), false},
      {"device groups 16..31 count as unchecked under nezobrazovať",
       [](MonitorFilter& f) {
         f.ControllerFilterOn = 1;
         f.ControllerGroupSelected.fill(1);
       },
       Device(0x94, 3, 0), true},
      {"device group by its box",
       [](MonitorFilter& f) {
         f.ControllerFilterOn = f.ControllerShowSelected = 1;
         f.ControllerGroupSelected[4] = 1;
       },
       Device(0x84, 3, 0), true},
      {"device ALL",
       [](MonitorFilter& f) {
         f.ControllerFilterOn = f.ControllerShowSelected = f.ControllerShowAll = 1;
       },
       Device(0xFF, 3, 0), true},
      {"unaddressed devices pass every filter",
       [](MonitorFilter& f) { f.ControllerFilterOn = f.ControllerShowSelected = 1; },
       Device(0xFC, 33, 0), true},
  };
  for (const FilterCase& c : cases) {
    Stream stream;
    c.set(stream.filter);
    EXPECT_EQ(stream.Shows(c.record), c.shown) << c.what;
    EXPECT_EQ(stream.skip, !c.shown) << c.what;
  }
}

TEST(MonitorDecoder, HiddenQueryHidesItsAnswerOnly) {
  Stream stream;
  stream.filter.BalastFilterOn = 1;
  stream.filter.BalastAddressSelected[5] = 1;

  EXPECT_FALSE(stream.Shows(Gear(0x0B, 0x90))) << "QUERY STATUS to A 05";
  EXPECT_FALSE(stream.Shows(Answer(0x04))) << "its answer";
  EXPECT_TRUE(stream.Shows(Answer(0x04))) << "a second answer is not the hidden one's";

  // A hidden query without an answer: the next shown frame clears the flag.
  EXPECT_FALSE(stream.Shows(Gear(0x0B, 0x91)));
  EXPECT_TRUE(stream.skip);
  EXPECT_TRUE(stream.Shows(Gear(0x0D, 0x91)));
  EXPECT_FALSE(stream.skip);
  EXPECT_TRUE(stream.Shows(Answer(0xFF)));
}

TEST(MonitorDecoder, DecodingIntoABufferMatchesTheLine) {
  std::string buffer = "left over";
  bool skip = false;
  ASSERT_TRUE(DecodeRecordInto(buffer, Gear(0x0B, 0x05), MonitorFilter(), skip, kTime));
  EXPECT_EQ(buffer, "\t0B05\t\t\tA 05\tRECALL MAX LEVEL\t\t\t5" + kTimePart);
  EXPECT_FALSE(DecodeRecordInto(buffer, {0, 0, 0, 0, 0}, MonitorFilter(), skip, kTime));
}

}  // namespace
}  // namespace lumetra
