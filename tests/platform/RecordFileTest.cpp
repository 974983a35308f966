#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/RecordFile.h"
#include "platform/sim/TempFileSystem.h"

using namespace quillmar;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class RecordFileTest : public ::testing::Test {
protected:
    TempFileSystem fs;
    std::string path = fs.dataRoot() + "/records.dat";
    RecordFile file;
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(file.open(path, 4, &error)) << error;
    }
};

}  // namespace

TEST_F(RecordFileTest, ReadsBeyondTheEndGiveZeroBytesAndTheEndCondition) {
    std::string rec = "junk";
    EXPECT_FALSE(file.read(1, &rec));
    EXPECT_EQ(rec, std::string(4, '\0'));
    EXPECT_EQ(file.recordCount(), 0);
}

TEST_F(RecordFileTest, WritesAreWholeAndNumberedFromOne) {
    ASSERT_TRUE(file.write(1, "ABCD"));
    ASSERT_TRUE(file.write(2, "EF"));       // padded with zero bytes
    ASSERT_TRUE(file.write(1, "WXYZ123"));  // cut to the record length
    EXPECT_EQ(Slurp(path), std::string("WXYZEF\0\0", 8));
    std::string rec;
    EXPECT_TRUE(file.read(2, &rec));
    EXPECT_EQ(rec, std::string("EF\0\0", 4));
    EXPECT_EQ(file.recordCount(), 2);
}

TEST_F(RecordFileTest, WritingFarPastTheEndFillsTheGapWithZeros) {
    ASSERT_TRUE(file.write(3, "CCCC"));
    EXPECT_EQ(Slurp(path), std::string(8, '\0') + "CCCC");
}

TEST_F(RecordFileTest, APartialLastRecordReadsWithZerosAndDoesNotCount) {
    file.close();
    std::ofstream(path, std::ios::binary) << "ABCDEF";
    std::string error;
    ASSERT_TRUE(file.open(path, 4, &error));
    EXPECT_EQ(file.recordCount(), 1);
    std::string rec;
    EXPECT_FALSE(file.read(2, &rec));
    EXPECT_EQ(rec, std::string("EF\0\0", 4));
}

TEST(RecordFile, OpeningInAMissingFolderReportsTheReason) {
    RecordFile file;
    std::string error;
    EXPECT_FALSE(file.open("/nonexistent-folder-q/x.dat", 2, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_FALSE(file.write(1, "ab", &error));
}
