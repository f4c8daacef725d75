#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/ScriptedUiDriver.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <memory>

namespace zelk::testing {

// Installs a scripted person for the test: every message box with a choice, input box and modal
// form must have its answer queued, and every queued answer must be used.
class ScriptedUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui = std::make_shared<ScriptedUiDriver>();
        ui->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
        SetUiDriver(ui);
    }
    void TearDown() override {
        EXPECT_EQ(ui->PendingAnswers(), 0u) << "queued answers nobody asked for";
        SetUiDriver(nullptr);
        Screen::Instance().SetMousePointer(mouse::Default);
    }
    std::shared_ptr<ScriptedUiDriver> ui;
};

} // namespace zelk::testing
