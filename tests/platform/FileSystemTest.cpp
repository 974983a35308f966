#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/RecordFile.h"
#include "platform/sim/MemoryFileSystem.h"
#include "support/TempFileSystem.h"

using namespace quillmar;
namespace fs = std::filesystem;

namespace {

// The drive-path rules both file systems keep: on the host's disk and in memory.
template <class Files>
class DriveFiles : public ::testing::Test {
  protected:
    Files files;
};
using Implementations = ::testing::Types<TempFileSystem, MemoryFileSystem>;
TYPED_TEST_SUITE(DriveFiles, Implementations);

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TYPED_TEST(DriveFiles, ComponentsMatchWithoutCaseAndNewNamesKeepTheirs) {
    auto& files = this->files;
    std::string error;
    ASSERT_TRUE(files.createFolder("c:\\Satfile", &error)) << error;
    ASSERT_TRUE(files.writeFile("c:\\satfile\\SFMon007.WAV", "x", &error)) << error;
    EXPECT_TRUE(files.folderExists("c:/satfile/"));
    EXPECT_TRUE(files.fileExists("c:\\..\\..\\satfile\\.\\x\\..\\SFMON007.wav"));
    EXPECT_EQ(files.list("C:\\", true), (std::vector<std::string>{"Satfile"}));
    EXPECT_EQ(files.list("c:\\SATFILE", false), (std::vector<std::string>{"SFMon007.WAV"}));
    EXPECT_FALSE(files.fileExists("satfile\\SFMon007.WAV"));
    EXPECT_FALSE(files.writeFile("1:\\x", "x", &error));
    ASSERT_TRUE(files.createFolder("a:", &error)) << error;
    EXPECT_EQ(files.drives(), (std::vector<char>{'a', 'c'}));
}

TYPED_TEST(DriveFiles, FilesAreAppendedReplacedListedAndDeletedByPattern) {
    auto& files = this->files;
    std::string error, text;
    ASSERT_TRUE(files.createFolder("c:\\logs", &error));
    ASSERT_TRUE(files.appendToFile("c:\\logs\\AL261205.log", "one\r\n", &error));
    ASSERT_TRUE(files.appendToFile("c:\\logs\\al261205.LOG", "two\r\n", &error));
    ASSERT_TRUE(files.readFile("c:\\logs\\AL261205.log", &text, &error));
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    EXPECT_EQ(files.fileLength("c:\\logs\\none.log"), -1);
    ASSERT_TRUE(files.writeFile("c:\\logs\\ER261205.log", "e", &error));
    ASSERT_TRUE(files.writeFile("c:\\logs\\ER261204.log", "e", &error));
    ASSERT_TRUE(files.writeFile("c:\\logs\\er261204.LOG", "replaced", &error));
    ASSERT_TRUE(files.createFolder("c:\\logs\\sub", &error));
    EXPECT_EQ(files.list("c:\\logs", false),
              (std::vector<std::string>{"AL261205.log", "ER261204.log", "ER261205.log"}));
    EXPECT_EQ(files.fileLength("c:\\logs\\ER261204.log"), 8);
    EXPECT_EQ(files.deleteMatching("C:\\LOGS\\er*.l?g"), 2);
    EXPECT_EQ(files.list("c:\\logs", false), (std::vector<std::string>{"AL261205.log"}));
    ASSERT_TRUE(files.renameFile("c:\\logs\\al261205.log", "c:\\logs\\sub\\Kept.log", &error));
    EXPECT_EQ(files.list("c:\\logs\\sub", false), (std::vector<std::string>{"Kept.log"}));
    EXPECT_TRUE(files.removeFile("c:\\logs\\SUB\\kept.log"));
    EXPECT_FALSE(files.removeFile("c:\\logs\\sub\\kept.log"));
}

TYPED_TEST(DriveFiles, FailuresNameTheirReason) {
    auto& files = this->files;
    std::string error, text;
    const auto missing = [&](bool ok) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, std::strerror(ENOENT));
    };
    missing(files.appendToFile("c:\\missing\\x.log", "x", &error));
    missing(files.readFile("c:\\none.txt", &text, &error));
    missing(files.createFolder("c:\\a\\b\\c", &error));
    ASSERT_TRUE(files.createFolder("c:\\dir", &error));
    EXPECT_FALSE(files.openRecords("c:\\dir", 2, &error).isOpen());
    EXPECT_EQ(error, std::strerror(EISDIR));
}

TYPED_TEST(DriveFiles, RecordsAreWholeNumberedFromOneAndZeroPastTheEnd) {
    auto& files = this->files;
    std::string error, rec = "junk", bytes;
    RecordFile file = files.openRecords("c:\\Records.dat", 4, &error);
    ASSERT_TRUE(file.isOpen()) << error;
    EXPECT_FALSE(file.read(1, &rec));
    EXPECT_EQ(rec, std::string(4, '\0'));
    ASSERT_TRUE(file.write(1, "ABCD"));
    ASSERT_TRUE(file.write(2, "EF"));       // padded with zero bytes
    ASSERT_TRUE(file.write(1, "WXYZ123"));  // cut to the record length
    ASSERT_TRUE(file.write(4, "GGGG"));     // the gap is zero bytes
    ASSERT_TRUE(files.readFile("c:\\records.dat", &bytes, &error));
    EXPECT_EQ(bytes, std::string("WXYZEF\0\0\0\0\0\0GGGG", 16));
    EXPECT_TRUE(file.read(2, &rec));
    EXPECT_EQ(rec, std::string("EF\0\0", 4));
    EXPECT_EQ(file.recordCount(), 4);
    // A second handle sees the first one's writes; a partial last record does not count.
    RecordFile other = files.openRecords("C:\\RECORDS.DAT", 6, &error);
    EXPECT_EQ(other.recordCount(), 2);
    EXPECT_FALSE(other.read(3, &rec));
    EXPECT_EQ(rec, std::string("GGGG\0\0", 6));
    EXPECT_FALSE(RecordFile().write(1, "ab", &error));
}

TEST(DriveMap, DrivePathsMapUnderTheDataRootAndReplacesAreWhole) {
    TempFileSystem files;
    const std::string root = files.dataRoot();
    std::string error;
    ASSERT_TRUE(files.createFolder("c:\\Satfile", &error)) << error;
    EXPECT_EQ(files.hostPath("C:\\SATFILE\\SatList.dat"), root + "/drives/c/Satfile/SatList.dat");
    EXPECT_EQ(files.hostPath("a:MyComp.ini"), root + "/drives/a/MyComp.ini");
    EXPECT_EQ(files.hostPath("c:\\..\\..\\etc\\passwd"), root + "/drives/c/etc/passwd");
    EXPECT_EQ(files.hostPath("satfile\\x"), "");
    fs::create_directories(root + "/drives/H");
    fs::create_directory_symlink("/tmp", root + "/drives/b");
    fs::create_directories(root + "/drives/notadrive");
    EXPECT_EQ(files.drives(), (std::vector<char>{'b', 'c', 'h'}));

    // A replace whose temporary cannot be made keeps the old content; a private file is made
    // afresh, whatever a left-over temporary allowed.
    ASSERT_TRUE(files.writeFile("c:\\keep.txt", "old", &error));
    fs::create_directory(files.hostPath("c:\\keep.txt.new"));
    EXPECT_FALSE(files.writeFile("c:\\keep.txt", "new", &error));
    EXPECT_EQ(Slurp(files.hostPath("c:\\keep.txt")), "old");
    ASSERT_TRUE(files.writeFile("c:\\User.dat", "old", &error));
    ASSERT_TRUE(files.writeFile("c:\\User.dat.new", "left over", &error));
    fs::permissions(files.hostPath("c:\\User.dat.new"), fs::perms::all);
    ASSERT_TRUE(files.writePrivateFile("c:\\user.dat", "new", &error)) << error;
    EXPECT_EQ(fs::status(files.hostPath("c:\\User.dat")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Slurp(files.hostPath("c:\\User.dat")), "new");
}

// The soak's memory check and the week's file dump stand on these two.
TEST(MemoryFiles, CountWhatOpenHandlesStillHoldAndDumpTheDrivesToDisk) {
    MemoryFileSystem files;
    std::string error;
    ASSERT_TRUE(files.createFolder("c:\\satfile", &error)) << error;
    ASSERT_TRUE(files.writeFile("c:\\satfile\\A.dat", std::string(4000, 'a'), &error)) << error;
    auto open = files.openFile("c:\\satfile\\A.dat", OpenMode::Read, &error);
    ASSERT_TRUE(open) << error;
    const std::int64_t one = files.bytesHeld();
    EXPECT_GE(one, 4000);
    ASSERT_TRUE(files.writeFile("c:\\satfile\\A.dat", "new", &error)) << error;
    EXPECT_GE(files.bytesHeld(), one) << "the replaced bytes live while the handle is open";
    open.reset();
    EXPECT_LT(files.bytesHeld(), one);

    const fs::path dump = fs::temp_directory_path() / ("memory-dump-" + std::to_string(::getpid()));
    ASSERT_TRUE(files.dumpTo(dump.string(), &error)) << error;
    EXPECT_EQ(Slurp(dump / "drives" / "c" / "satfile" / "A.dat"), "new");
    EXPECT_FALSE(files.dumpTo("/proc/no-such-folder", &error));
    EXPECT_NE(error.find("/proc/no-such-folder"), std::string::npos) << error;
    fs::remove_all(dump);
}
