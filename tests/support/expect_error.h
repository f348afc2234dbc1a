#pragma once
#include <gtest/gtest.h>

#include "runtime/values/error.h"

// Runs stmt and expects it to end with the runtime error `code`.
#define EXPECT_RT_ERROR(stmt, expected)                                                  \
    do {                                                                                 \
        int got_ = -1;                                                                   \
        try {                                                                            \
            stmt;                                                                        \
        } catch (const rt::RuntimeError& e_) {                                           \
            got_ = e_.code;                                                              \
        }                                                                                \
        EXPECT_EQ(got_, (expected)) << "statement: " #stmt;                              \
    } while (0)
