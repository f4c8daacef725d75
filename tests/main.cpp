#include "support/TestBackend.h"

#include <gtest/gtest.h>

#include <cstdio>

// Exit status of a program that did not run because its database server is missing; CTest
// reports it as skipped.
constexpr int kSkipped = 77;

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (zelk::testing::OnPostgres() && !zelk::testing::PgUnavailable().empty()) {
        std::printf("Skipped on PostgreSQL: %s\n", zelk::testing::PgUnavailable().c_str());
        return kSkipped;
    }
    zelk::testing::InstallTestBackendCleanup();
    return RUN_ALL_TESTS();
}
