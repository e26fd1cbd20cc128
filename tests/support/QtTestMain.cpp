// Test main for GUI tests: the real application object on the offscreen platform.
#include <gtest/gtest.h>

#include "ui/LumetraApplication.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  lumetra::TLumetraApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
