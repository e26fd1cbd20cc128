// Numbers in the document: which texts each kind of field takes, what it stores, and that every
// other text stops the opening with the element and its line named.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "DocumentFixture.h"
#include "documents/ConfigDocument.h"
#include "model/Error.h"

namespace lumetra {
namespace {

using testing::kTestKind;

class DocumentNumbers : public testing::TempFolder {
 protected:
  // One control gear at 3 and one control device of the test kind at 5.
  std::string BaseText() {
    TBalastConfig gear;
    TControllerConfig devices;
    gear.ResetPositions();
    devices.ResetPositions();
    testing::FillGear(gear, 3);
    testing::FillDevice(devices, 5, kTestKind);
    return DocumentText(gear, devices, {"2.1.0.25", {2024, 1, 2, 3, 4, 5}}, kinds);
  }

  const KindSections kinds = testing::TestKindSections();
};

struct Case {
  const char* section;  // the first <name> after this text is changed
  const char* name;
  const char* text;
  std::optional<int64_t> stored;  // nullopt: the document is refused
};

using Getter = std::function<int64_t(TBalastConfig&, TControllerConfig&)>;

Getter Gear(std::function<int64_t(TBalastConfig&)> get) {
  return [get](TBalastConfig& g, TControllerConfig&) {
    g.SetCurrentSlot(3);
    return get(g);
  };
}
Getter Device(std::function<int64_t(TControllerConfig&)> get) {
  return [get](TBalastConfig&, TControllerConfig& d) {
    d.SetCurrentSlot(5);
    return get(d);
  };
}

TEST_F(DocumentNumbers, EachFieldTakesItsTextsOnly) {
  const Getter minLevel = Gear([](TBalastConfig& g) { return g.MinLevel(); });
  const Getter gearType = Gear([](TBalastConfig& g) { return g.DeviceType(); });
  const Getter gearGroup = Gear([](TBalastConfig& g) { return g.Groups(0); });
  const Getter scene = Gear([](TBalastConfig& g) { return g.Scenes(0); });
  const Getter top = Gear([](TBalastConfig& g) { return g.Top(); });
  const Getter deviceType = Device([](TControllerConfig& d) { return d.DeviceType(); });
  const Getter deviceGroup = Device([](TControllerConfig& d) { return d.Groups(0); });
  const Getter multimaster = Device([](TControllerConfig& d) { return d.Multimaster(); });
  const Getter timeout =
      Device([](TControllerConfig& d) { return d.PirSensor().Commands(0).Timeout(); });
  const Getter left = Device([](TControllerConfig& d) { return d.Left(); });

  const std::pair<Case, Getter> cases[] = {
      // Levels: unsigned 32-bit, the low 8 bits kept.
      {{"<balast ", "minlevel", "93", 93}, minLevel},
      {{"<balast ", "minlevel", "007", 7}, minLevel},
      {{"<balast ", "minlevel", "300", 44}, minLevel},
      {{"<balast ", "minlevel", "4294967295", 255}, minLevel},
      {{"<balast ", "minlevel", "4294967296", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "-1", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "12abc", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "1e3", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", " 12", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "+5", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "0x10", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "-", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "99999999999999999999999", std::nullopt}, minLevel},
      {{"<balast ", "minlevel", "<x>1</x>", std::nullopt}, minLevel},
      {{"<balast ", "scene", "256", 0}, scene},
      // Identity bytes: signed 32-bit, the low 8 bits kept.
      {{"<balast ", "devicetype", "-1", 255}, gearType},
      {{"<balast ", "devicetype", "2147483647", 255}, gearType},
      {{"<balast ", "devicetype", "2147483648", std::nullopt}, gearType},
      {{"<balast ", "devicetype", "-2147483649", std::nullopt}, gearType},
      {{"<balast ", "group", "257", 1}, gearGroup},
      {{"<balast ", "deviceaddress", "abc", std::nullopt}, gearType},
      // Positions: the full signed 32-bit value.
      {{"<balast ", "top", "-2147483648", INT32_MIN}, top},
      {{"<balast ", "top", "2147483648", std::nullopt}, top},
      {{"<ctrldevice ", "left", "-5", -5}, left},
      // Control device bytes: 0..255, nothing else.
      {{"<ctrldevice ", "devicetype", "255", 255}, deviceType},
      {{"<ctrldevice ", "devicetype", "256", std::nullopt}, deviceType},
      {{"<ctrldevice ", "devicetype", "-1", std::nullopt}, deviceType},
      {{"<ctrldevice ", "group", "2", 2}, deviceGroup},
      {{"<ctrldevice ", "group", "1x", std::nullopt}, deviceGroup},
      {{"<ctrldevice ", "multimaster", "7", 1}, multimaster},
      {{"<ctrldevice ", "multimaster", "255", 255}, multimaster},
      {{"<ctrldevice ", "multimaster", "0", 0}, multimaster},
      {{"<ctrldevice ", "multimaster", "-1", std::nullopt}, multimaster},
      // A kind's 32-bit value: what the program writes for one never set opens again.
      {{"<testkind", "timeout", "4294967295", 4294967295}, timeout},
      {{"<testkind", "timeout", "65535", 65535}, timeout},
      {{"<testkind", "timeout", "4294967296", std::nullopt}, timeout},
  };

  const std::string base = BaseText();
  for (const auto& [c, get] : cases) {
    // "<scene index=...>" as well as "<minlevel>".
    const size_t from = base.find(c.section);
    const size_t at = std::min(base.find(std::string("<") + c.name + ">", from),
                               base.find(std::string("<") + c.name + " ", from));
    ASSERT_NE(at, std::string::npos) << c.name;
    const size_t textAt = base.find('>', at) + 1;
    std::string text = base;
    text.replace(textAt, base.find('<', textAt) - textAt, c.text);
    Write(Path("n.dcf"), text);

    TBalastConfig gear;
    TControllerConfig devices;
    const std::string label = std::string(c.section) + c.name + " \"" + c.text + "\"";
    try {
      LoadDocument(Path("n.dcf"), gear, devices, kinds);
      ASSERT_TRUE(c.stored.has_value()) << label << " opened";
      EXPECT_EQ(get(gear, devices), *c.stored) << label;
    } catch (const Error& e) {
      ASSERT_FALSE(c.stored.has_value()) << label << ": " << e.what();
      const int line = 1 + static_cast<int>(std::count(base.begin(), base.begin() + at, '\n'));
      EXPECT_NE(std::string(e.what()).find("(prvok \"" + std::string(c.name) + "\" na riadku " +
                                           std::to_string(line) + ": "),
                std::string::npos)
          << label << ": " << e.what();
      EXPECT_EQ(gear.UsedSlotCount() + devices.UsedSlotCount(), 0) << label;
    }
  }
}

TEST(DecimalTextParsing, WholeTextOrNothing) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"0", 0},
      {"-0", 0},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1 ", std::nullopt},
      {"١", std::nullopt},  // a digit, but not a decimal one of ours
      {"--1", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    int64_t value = 12345;
    const DecimalText parsed = ParseDecimal(text, value);
    EXPECT_EQ(parsed == DecimalText::kNumber, expected.has_value()) << text;
    if (expected) {
      EXPECT_EQ(value, *expected) << text;
    }
  }
  int64_t value = 0;
  EXPECT_EQ(ParseDecimal("9223372036854775808", value), DecimalText::kTooLarge);
  EXPECT_EQ(ParseDecimal("12abc", value), DecimalText::kNotANumber);
}

}  // namespace
}  // namespace lumetra
