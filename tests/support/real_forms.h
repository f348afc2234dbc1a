#pragma once
// A fixture with the program's five forms played on the headless back end, every control
// variable bound and the order model at its start state.
#include <gtest/gtest.h>

#include "app/fee/order_model.h"
#include "app/forms/controls.h"
#include "runtime/backends/headless.h"

class RealForms : public testing::Test {
protected:
    void SetUp() override {
        ResetOrderModel();
        rt::SetPlatform(&platform);
        rt::StartWindowLayer(platform);
        フォーム読込_SUB();
    }
    void TearDown() override {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }
    bool Visible(const Obj& o) const { return platform.IsVisible(rt::WindowOf(o)); }

    rt::HeadlessPlatform platform;
};
