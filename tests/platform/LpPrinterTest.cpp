#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/host/LpPrinter.h"

using namespace quillmar;

TEST(LpPrinter, WithoutLpSaysNoPrinterProgramIsInstalledAndWhichPackageHasOne) {
    const char* path = std::getenv("PATH");
    const std::string keep = path ? path : "";
    ::setenv("PATH", "/nonexistent-quillmar-bin", 1);
    std::string error;
    const bool printed = LpPrinter().print("report\r\n", &error);
    ::setenv("PATH", keep.c_str(), 1);
    EXPECT_FALSE(printed);
    EXPECT_THAT(error, ::testing::HasSubstr("no printer program is installed"));
    EXPECT_THAT(error, ::testing::HasSubstr("cups-client"));
}
