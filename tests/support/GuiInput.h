// Input as a user gives it, for the GUI tests of the editors.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace lumetra::test {

// Focus in, the old text replaced by `text` key by key, focus out to `away` (a control that checks
// nothing), so that the edit's checks on leaving run as they do for a user.
inline void TypeAndLeave(QLineEdit* edit, const QString& text, QWidget* away) {
  edit->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(edit->hasFocus());
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
  away->setFocus(Qt::TabFocusReason);
  ASSERT_FALSE(edit->hasFocus());
}

}  // namespace lumetra::test
