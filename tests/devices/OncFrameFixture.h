// A stand-in kind page around a response editor: the editor inside an enclosing scrolling window,
// a table with a few message sources, and typing with real focus changes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "model/ControllerConfig.h"
#include "model/KindImage.h"
#include "support/GuiInput.h"
#include "ui/devices/OncFrame.h"

namespace lumetra::test {

// Counts the write panels the editor asked for.
class FakeKindPage : public QWidget, public TOncHost {
 public:
  void ShowPanelWriteCommand() override { ++PanelShown; }
  int PanelShown = 0;
};

// Slot 3 holds a multimaster device, slot 4 one that is not; the edited device is slot 10.
template <typename Editor>
class OncFrameFixture : public ::testing::Test {
 protected:
  static constexpr uint8_t kEdited = 10;

  void SetUp() override {
    window = std::make_unique<QScrollArea>();
    window->setObjectName(QStringLiteral("EnclosingWindow"));
    window->resize(900, 500);
    page = new FakeKindPage;
    page->setFixedSize(880, 2000);
    window->setWidget(page);
    editor = new Editor(*page, page);
    editor->setGeometry(0, 0, 860, 300);
    sink = new QLineEdit(page);
    sink->setGeometry(0, 320, 100, 24);
    AddSource(3, true);
    AddSource(4, false);
    table.SetCurrentSlot(kEdited);
    table.SetShortAddress(kEdited);
    SetFirmware(1, 5);
    editor->Attach(table);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  void AddSource(uint8_t address, bool multimaster) {
    table.SetCurrentSlot(address);
    table.SetShortAddress(address);
    table.SetMultimaster(multimaster ? 1 : 0);
  }

  void SetFirmware(uint8_t version, uint8_t minor) {
    table.SetVersion(version);
    table.SetMinVersion(minor);
  }

  // Types into the edit and leaves it, as a user does.
  void Type(QLineEdit* edit, const QString& text) { TypeAndLeave(edit, text, sink); }

  bool PaintedRed(const QLineEdit* edit) const {
    return edit->palette().color(QPalette::Base) == QColor(255, 0, 0);
  }

  // A user's choice in a combo box.
  static void Choose(QComboBox* combo, int item) {
    combo->setCurrentIndex(item);
    emit combo->activated(item);
  }

  // One wheel notch over `target`: negative turns down.
  static void Wheel(QWidget* target, int delta) {
    const QPointF at(5, 5);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }

  void Hover() {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), editor->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(editor, &enter);
  }
  void Unhover() {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(editor, &leave);
  }

  int EditorPosition() const { return editor->verticalScrollBar()->value(); }
  int WindowPosition() const { return window->verticalScrollBar()->value(); }

  // The wheel rule at both ends and without the mouse over the editor.
  void CheckWheelRule(QWidget* over) {
    QScrollBar* bar = editor->verticalScrollBar();
    ASSERT_EQ(bar->maximum(), editor->ScrollRange() - editor->viewport()->height());
    const int step = editor->ScrollStep();

    Hover();
    Wheel(over, -120);
    EXPECT_EQ(EditorPosition(), step);
    EXPECT_EQ(WindowPosition(), 0) << "a step inside the range stays in the editor";

    bar->setValue(bar->maximum() - 1);
    Wheel(over, -120);
    EXPECT_EQ(EditorPosition(), bar->maximum());
    EXPECT_GT(WindowPosition(), 0) << "the step that reaches the bottom scrolls the window too";

    const int window = WindowPosition();
    Wheel(over, -120);
    EXPECT_EQ(EditorPosition(), bar->maximum());
    EXPECT_GT(WindowPosition(), window);

    bar->setValue(step);
    const int beforeTop = WindowPosition();
    Wheel(over, 120);
    EXPECT_EQ(EditorPosition(), 0);
    EXPECT_LT(WindowPosition(), beforeTop) << "the step that reaches the top scrolls the window";

    Unhover();
    bar->setValue(step);
    const int beforeAway = WindowPosition();
    Wheel(over, -120);
    EXPECT_EQ(EditorPosition(), step) << "without the mouse over it the editor keeps still";
    EXPECT_GT(WindowPosition(), beforeAway);
  }

  TControllerConfig table;
  std::unique_ptr<QScrollArea> window;
  FakeKindPage* page = nullptr;
  Editor* editor = nullptr;
  QLineEdit* sink = nullptr;
};

}  // namespace lumetra::test
