// The shop's commands run in the test's process, their output and error lines kept for checks.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch/batch_commands.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/window/window.h"

class BatchRun : public testing::Test {
protected:
    void SetUp() override {
        ResetOrderModel();
        rt::SetRoutineTable(ApplicationRoutines());
    }
    // The commands set the date for the rest of the process, as the start-up reads it.
    void TearDown() override { unsetenv("KALVORO_TODAY"); }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunBatchCommand(args, out, err);
    }
    std::ostringstream out, err;
};
