// The main window for GUI tests: the general error report is caught into `errors`, and a bus
// server the window started is stopped after the test.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "buslink/DaliCom.h"
#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"
#include "ui/TabsFrame.h"

namespace lumetra::test {

class ConfiguratorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    TLumetraApplication::SetErrorReport(
        [this](const QString& m) { errors.push_back(m.toStdString()); });
  }
  void TearDown() override {
    // The window goes first: what its closing reports still lands in `errors`.
    form.reset();
    TLumetraApplication::SetErrorReport(nullptr);
    if (serverPid > 0) ::kill(static_cast<pid_t>(serverPid), SIGTERM);
  }

  void MakeForm(const std::vector<std::string>& arguments, std::chrono::milliseconds replyTimeout) {
    form = std::make_unique<TConfiguratorForm>(arguments);
    tabs = form->TabsFrame();
    form->DaliCom().SetReplyTimeout(replyTimeout);
  }

  std::vector<std::string> errors;
  std::unique_ptr<TConfiguratorForm> form;
  TTabsFrame* tabs = nullptr;
  qint64 serverPid = 0;
};

}  // namespace lumetra::test
