// The maker's diagnostics panel inside the control gear editor: the service shortcut, reading,
// writing and the repeated reading, against a gate that answers from a small memory. The read and
// write sequences themselves are tested in-process (tests/sequences).
#include <mutex>

#include "GearEditorFixture.h"

namespace lumetra {
namespace {

using test::Frame;
using test::Gear;
using test::operator+=;

class ZorvikBalastFrameTest : public test::GearEditorFixture {
 protected:
  void SetUp() override {
    Open({3, 10});
    SetUnit(kArc);
    Select(10);
    diag = editor->ZorvikBalastFrame;
    // Device 10's memory: DTR picks the location, every read moves it on; the live bytes 4..8
    // grow by one on each pass so that a refresh can be seen.
    gate.SetResponder([this](const Frame& r) -> std::optional<Frame> {
      std::lock_guard lock(mutex);
      uint8_t kind = 0x60, answer = r[3];
      if (r[2] == 0xA3) {
        dtr = r[3];
      } else if (r[2] == 0x15 && r[3] == 0xC5 && answers) {
        kind = 0x62;
        if (dtr == 4) ++pass;
        answer = static_cast<uint8_t>(dtr < 4 ? 10 + dtr : 100 + dtr + pass);
        ++dtr;
      }
      return Frame{kind, r[1], r[2], answer, static_cast<uint8_t>(kind ^ r[1] ^ r[2] ^ answer)};
    });
  }

  QStringList Shown() const {
    QStringList texts;
    for (QLineEdit* e : diag->Edits) texts << e->text();
    return texts;
  }

  static std::vector<Frame> ReadRequests() {
    std::vector<Frame> frames{Gear(0xA3, 0)};
    for (int i = 0; i < 9; ++i) frames += {Gear(0x15, 0xC5)};
    return frames;
  }

  void ToggleWithShortcut() {
    editor->EditType->setFocus();
    QTest::keyClick(editor->EditType, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
  }

  TZorvikBalastFrame* diag = nullptr;
  std::mutex mutex;
  uint8_t dtr = 0;
  int pass = 0;
  bool answers = true;
};

TEST_F(ZorvikBalastFrameTest, HiddenUntilTheServiceShortcut) {
  EXPECT_TRUE(diag->isHidden());
  EXPECT_TRUE(diag->PanelWrite->isHidden());
  ToggleWithShortcut();
  EXPECT_TRUE(diag->isVisible());
  EXPECT_EQ(diag->parentWidget(), editor);
  ToggleWithShortcut();
  EXPECT_TRUE(diag->isHidden());
}

TEST_F(ZorvikBalastFrameTest, ReadingShowsTheNineBytes) {
  ToggleWithShortcut();
  diag->ButtonRead->click();
  EXPECT_EQ(Sent().size(), 10u);
  EXPECT_EQ(Shown(), QStringList({"10", "11", "12", "13", "105", "106", "107", "108", "109"}));
  EXPECT_FALSE(diag->PanelWrite->isVisible());
  for (int i = 0; i < 9; ++i) EXPECT_EQ(diag->Edits[static_cast<size_t>(i)]->isReadOnly(), i >= 4);

  // A ballast without this memory does not answer: no number is made up for it.
  answers = false;
  diag->ButtonRead->click();
  EXPECT_EQ(Sent().size(), 10u);
  EXPECT_EQ(Shown(), QStringList(9, QString()));

  // A group has no memory to read; its address byte would reach group 0.
  SelectGroup(0);
  EXPECT_FALSE(diag->isEnabled());
  diag->OnButtonReadClick();
  diag->OnButtonWriteClick();
  EXPECT_TRUE(Sent().empty());
  Select(3);
  EXPECT_TRUE(diag->isEnabled());
}

TEST_F(ZorvikBalastFrameTest, WritingSendsTheLowEightBitsOfTheFourSettings) {
  ToggleWithShortcut();
  const struct {
    QLineEdit* edit;
    const char* text;
  } typed[] = {
      {diag->EditP, "300"}, {diag->EditFset, "7"}, {diag->EditR1, ""}, {diag->EditR2, "255"}};
  for (const auto& t : typed) {
    t.edit->setText(QString::fromLatin1(t.text));
    EXPECT_TRUE(diag->PanelWrite->isVisible());
  }
  diag->ButtonWrite->click();
  EXPECT_EQ(Sent(), (std::vector<Frame>{Gear(0xA3, 0), Gear(0x15, 0x81), Gear(0xC7, 44),
                                        Gear(0xC7, 7), Gear(0xC7, 0), Gear(0xC7, 255)}));
  EXPECT_FALSE(diag->PanelWrite->isVisible());
}

TEST_F(ZorvikBalastFrameTest, RepeatedReadingRefreshesWithoutMarkingAndEndsOnFailure) {
  ToggleWithShortcut();
  EXPECT_EQ(diag->RepeatReadTimer->interval(), 2000);
  diag->RepeatReadTimer->setInterval(20);
  EXPECT_FALSE(diag->RepeatReadTimer->isActive());
  diag->CheckBoxRepeatRead->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return gate.Requests().size() >= 30; }, 3000));
  QTest::qWait(5);  // let the pass in progress finish
  const std::vector<Frame> sent = Sent();
  ASSERT_EQ(sent.size() % 10, 0u);
  for (size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(sent[i], ReadRequests()[i % 10]) << i;
  EXPECT_EQ(diag->EditUzap->text().toInt(), 100 + 8 + static_cast<int>(sent.size() / 10));
  EXPECT_EQ(diag->EditP->text(), QStringLiteral("10"));
  EXPECT_FALSE(diag->PanelWrite->isVisible());

  diag->CheckBoxRepeatRead->click();
  EXPECT_FALSE(diag->RepeatReadTimer->isActive());
  QTest::qWait(60);
  EXPECT_TRUE(Sent().empty());

  // A silent gateway would freeze the window on every tick: the repetition ends and says why.
  diag->CheckBoxRepeatRead->click();
  gate.SetResponder([](const Frame&) { return std::nullopt; });
  ASSERT_TRUE(QTest::qWaitFor([this] { return !diag->RepeatReadTimer->isActive(); }, 3000));
  EXPECT_FALSE(diag->CheckBoxRepeatRead->isChecked());
  EXPECT_EQ(Sent(), std::vector<Frame>{Gear(0xA3, 0)});
  EXPECT_EQ(Shown(), QStringList(9, QString()));
  EXPECT_EQ(StatusLine(), QStringLiteral("Zariadenie neodpovedá"));
}

TEST_F(ZorvikBalastFrameTest, HidingThePanelEndsTheRepetition) {
  ToggleWithShortcut();
  diag->CheckBoxRepeatRead->click();
  EXPECT_TRUE(diag->RepeatReadTimer->isActive());
  ToggleWithShortcut();
  EXPECT_FALSE(diag->RepeatReadTimer->isActive());
  EXPECT_FALSE(diag->CheckBoxRepeatRead->isChecked());
}

}  // namespace
}  // namespace lumetra
