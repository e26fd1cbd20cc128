// What the kind editors' edits accept: the strict number, the ranges and their refusals, levels in
// percent and arc, and waits in hours, minutes and seconds.
#include "model/FieldEntry.h"

#include <gtest/gtest.h>

#include "model/Config.h"

namespace lumetra {
namespace {

TEST(FieldEntryTest, OnlyAWholeDecimalNumberIsANumber) {
  const struct {
    const char* text;
    bool signedText;
    std::optional<int64_t> value;
  } cases[] = {
      {"0", false, 0},
      {"65535", false, 65535},
      {"007", false, 7},
      {"-5", true, -5},
      {"-5", false, std::nullopt},
      {"", false, std::nullopt},
      {"-", true, std::nullopt},
      {"12.5", false, std::nullopt},
      {"1e3", false, std::nullopt},
      {"12a", false, std::nullopt},
      {" 5", false, std::nullopt},
      {"5 ", false, std::nullopt},
      {"+5", true, std::nullopt},
      {"--5", true, std::nullopt},
      {"99999999999999999999999", false, kTooLarge},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrictNumber(c.text, c.signedText), c.value) << '"' << c.text << '"';
  }
}

TEST(FieldEntryTest, AFieldTakesItsRangeAndItsNoneAndNamesTheRangeOtherwise) {
  constexpr FieldRange kLevel{0, 65000, "lx"};
  constexpr FieldRange kOffset{-100, 100, "%"};
  const struct {
    const char* text;
    FieldRange range;
    std::optional<int64_t> none;
    const char* refusal;  // empty: accepted with `value`
    int64_t value;
  } cases[] = {
      {"65000", kLevel, std::nullopt, "", 65000},
      {"65001", kLevel, std::nullopt, "Hodnota mimo rozsahu 0–65000 lx", 0},
      {"", kLevel, std::nullopt, "Hodnota mimo rozsahu 0–65000 lx", 0},
      {"", kLevel, 65535, "", 65535},
      {"65535", kLevel, 65535, "", 65535},
      {"1e3", kLevel, 65535, "Hodnota mimo rozsahu 0–65000 lx", 0},
      {"-100", kOffset, 127, "", -100},
      {"-101", kOffset, 127, "Hodnota mimo rozsahu -100–100 %", 0},
      {"127", kOffset, 127, "", 127},
      {"16", LightsNumberRange(true), std::nullopt, "Hodnota mimo rozsahu 0–15", 0},
      {"63", LightsNumberRange(false), std::nullopt, "", 63},
      {"64", LightsNumberRange(false), std::nullopt, "Hodnota mimo rozsahu 0–63", 0},
  };
  for (const auto& c : cases) {
    const FieldEntry e = ReadField(c.text, c.range, c.none, c.range.low < 0);
    EXPECT_EQ(e.refusal, c.refusal) << '"' << c.text << '"';
    if (!e.Refused()) {
      EXPECT_EQ(e.value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(FieldEntryTest, AWaitIsItsThreePartsWithinEighteenHours) {
  const struct {
    const char* h;
    const char* m;
    const char* s;
    const char* refusal;
    int64_t seconds;
  } cases[] = {
      {"5", "00", "00", "", 18000},
      {"5", "", "", "", 18000},
      {"", "", "", "", 0},
      {"0", "007", "0", "", 420},
      {"18", "00", "00", "", 64800},
      {"18", "00", "01", "Hodnota mimo rozsahu 0–18:00:00", 0},
      {"19", "0", "0", "Hodnota mimo rozsahu 0–18:00:00", 0},
      {"0", "60", "0", "Hodnota mimo rozsahu 0–59", 0},
      {"0", "0", "100", "Hodnota mimo rozsahu 0–59", 0},
      // What a padded " 5" was read as: not a number, so never 0 hours.
      {" 5", "00", "00", "Hodnota mimo rozsahu 0–18:00:00", 0},
  };
  for (const auto& c : cases) {
    const FieldEntry e = ReadWait(c.h, c.m, c.s);
    EXPECT_EQ(e.refusal, c.refusal) << c.h << ":" << c.m << ":" << c.s;
    if (!e.Refused()) {
      EXPECT_EQ(e.value, c.seconds) << c.h << ":" << c.m << ":" << c.s;
    }
  }
  EXPECT_EQ(WaitTexts(18000), (std::array<std::string, 3>{"5", "00", "00"}));
  EXPECT_EQ(WaitTexts(64800), (std::array<std::string, 3>{"18", "00", "00"}));
  EXPECT_EQ(WaitTexts(64801), (std::array<std::string, 3>{})) << "never set";
  for (uint32_t t = 0; t <= kLongestWait; t += 61) {
    EXPECT_EQ(JoinWait(SplitWait(t)), t);
    const std::array<std::string, 3> texts = WaitTexts(t);
    EXPECT_EQ(ReadWait(texts[0], texts[1], texts[2]).value, t);
  }
}

TEST(FieldEntryTest, ALevelIsConvertedOnceFromWhatWasTyped) {
  TConfig table;
  table.SetPercentMode(0);
  for (uint32_t level = 0; level < 255; ++level) {
    const std::string shown = LevelText(table, level);
    EXPECT_EQ(ReadLevel(table, shown).value, level) << "arc " << level;
  }
  EXPECT_EQ(ReadLevel(table, "255").value, kNoArcLevel);
  EXPECT_EQ(ReadLevel(table, "").value, kNoArcLevel);
  EXPECT_EQ(ReadLevel(table, "256").refusal, "Hodnota mimo rozsahu 0–254");
  EXPECT_EQ(LevelText(table, kNoArcLevel), "");

  table.SetPercentMode(1);
  // A typed percentage reads back as typed wherever a level shows as that percentage.
  std::array<bool, 101> shownByALevel{};
  for (uint32_t level = 0; level < 255; ++level) {
    shownByALevel[static_cast<size_t>(std::stoi(LevelText(table, level)))] = true;
  }
  for (int p = 0; p <= 100; ++p) {
    if (!shownByALevel[static_cast<size_t>(p)]) continue;
    const FieldEntry e = ReadLevel(table, std::to_string(p));
    ASSERT_FALSE(e.Refused()) << p;
    EXPECT_EQ(LevelText(table, static_cast<uint32_t>(e.value)), std::to_string(p)) << p;
  }
  EXPECT_EQ(ReadLevel(table, "").value, kNoArcLevel);
  EXPECT_EQ(ReadLevel(table, "101").refusal, "Hodnota mimo rozsahu 0–100 %");
  EXPECT_EQ(ReadLevel(table, "255").refusal, "Hodnota mimo rozsahu 0–100 %");
}

}  // namespace
}  // namespace lumetra
