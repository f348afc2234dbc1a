#pragma once
// An empty order with the model's start values, priced at the resolutions the start-up step
// presets (156 and 120 dpi), without any window: for tests of the fee routines and the files.
#include <gtest/gtest.h>

#include "app/fee/order_model.h"

class FreshOrder : public testing::Test {
protected:
    void SetUp() override {
        ResetOrderModel();
        DPI_PRESET_HIGH = 156;
        DPI_PRESET_LOW = 120;
    }
};
