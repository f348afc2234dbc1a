#include "app/documents/statement_text.h"

#include <gtest/gtest.h>

namespace {

TEST(EstimateHeading, IsSpacedOutTowardsTheMiddle) {
    const std::string heading = kEstimateHeading;
    EXPECT_EQ(heading.size(), 44u);
    EXPECT_EQ(heading.substr(0, 26), "　　　　　　　　　　　　　");
    EXPECT_EQ(heading.substr(26), "見　　　積　　　書");
}

TEST(StatementFile, TheEstimateOpensWithItsHeadingAndAnEmptyLine) {
    EXPECT_EQ(StatementFileBytes(Statement::Estimate, "a\r\nb\r\n").bytes(),
              std::string(kEstimateHeading) + "\r\n\r\na\r\nb\r\n\r\n");
}

TEST(StatementFile, TheDetailsOpenWithAnEmptyLine) {
    EXPECT_EQ(StatementFileBytes(Statement::WorkFeeDetails, "a\r\n").bytes(), "\r\na\r\n\r\n");
    EXPECT_EQ(StatementFileBytes(Statement::WorkFeeDetails, "").bytes(), "\r\n\r\n");
}

}  // namespace
