// One device shown as a tile: its button, the selection and membership indicators and, on the floor
// plan, a lamp status square; moved, shown and coloured together.
#pragma once

#include <QColor>
#include <QPushButton>
#include <QWidget>

namespace lumetra {

inline constexpr int kGearKind = 0;    // control gear: members are yellow
inline constexpr int kDeviceKind = 1;  // control device: members are red

// Fixed colours of the indicators.
inline const QColor kSelectedColor{0, 255, 0};
inline const QColor kGearMemberColor{255, 255, 0};
inline const QColor kDeviceMemberColor{255, 0, 0};
inline const QColor kNotMemberColor{128, 0, 0};
inline const QColor kStatusColors[3] = {QColor(0, 128, 0), QColor(255, 165, 0), QColor(255, 0, 0)};

// A flat coloured rectangle, the indicator panels of the device tiles.
QWidget* MakePanel(const char* name, QWidget* parent, int width, int height);
void SetPanelColor(QWidget* panel, const QColor& color);
QColor PanelColor(const QWidget* panel);

class TDeviceButton {
 public:
  static constexpr int kPanelLeft = 55;
  static constexpr int kSelectTop = 4;
  static constexpr int kGroupTop = 13;
  static constexpr int kStatusOffset = 4;

  void Bind(QPushButton* button, QWidget* selectPanel, QWidget* groupPanel, QWidget* statusPanel,
            int kind);

  void Show();
  void Hide();
  void Enable();
  void Disable();
  void MoveTo(int top, int left);
  void BringToFront();
  void SetCaption(const QString& text);
  void Select();
  void Deselect();
  void SetMember();
  void SetNotMember();
  void SetStatus(int status);
  void HideStatus();
  void Repaint();
  void Click();
  bool CanFocus() const;
  void SetFocus();
  bool Owns(const QObject* control) const;

  int Top() const { return Button->y(); }
  int Left() const { return Button->x(); }
  int Width() const { return Button->width(); }
  int Height() const { return Button->height(); }
  int Kind() const { return Kind_; }

  QPushButton* Button = nullptr;
  QWidget* SelectPanel = nullptr;
  QWidget* GroupPanel = nullptr;
  QWidget* StatusPanel = nullptr;

 private:
  template <typename F>
  void ForEachPart(F f) const;
  int Kind_ = kGearKind;
};

}  // namespace lumetra
