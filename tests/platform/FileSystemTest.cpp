#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/TempFileSystem.h"

using namespace quillmar;
namespace fs = std::filesystem;

TEST(DriveMap, DrivePathsMapUnderDrivesAndMatchWithoutCase) {
    TempFileSystem files;
    const std::string root = files.dataRoot();
    std::string error;
    ASSERT_TRUE(files.createFolder("c:\\Satfile", &error)) << error;
    EXPECT_EQ(files.hostPath("C:\\SATFILE\\SatList.dat"), root + "/drives/c/Satfile/SatList.dat");
    // A new file takes the case it is given; later lookups find it whatever their case.
    ASSERT_TRUE(files.writeFile("c:\\satfile\\SFMon007.WAV", "x", &error));
    EXPECT_TRUE(fs::exists(root + "/drives/c/Satfile/SFMon007.WAV"));
    EXPECT_TRUE(files.fileExists("C:\\SATFILE\\sfmon007.wav"));
    EXPECT_TRUE(files.folderExists("c:/satfile/"));
    EXPECT_EQ(files.hostPath("a:MyComp.ini"), root + "/drives/a/MyComp.ini");
    EXPECT_EQ(files.hostPath("satfile\\x"), "");
    EXPECT_EQ(files.hostPath("1:\\x"), "");
}

TEST(DriveMap, DotDotNeverLeavesTheDrive) {
    TempFileSystem files;
    EXPECT_EQ(files.hostPath("c:\\..\\..\\etc\\passwd"), files.dataRoot() + "/drives/c/etc/passwd");
    EXPECT_EQ(files.hostPath("c:\\a\\.\\..\\b"), files.dataRoot() + "/drives/c/b");
}

TEST(DriveMap, DriveListComesFromTheDrivesFolder) {
    TempFileSystem files;
    fs::create_directories(files.dataRoot() + "/drives/H");
    fs::create_directory_symlink("/tmp", files.dataRoot() + "/drives/a");
    fs::create_directories(files.dataRoot() + "/drives/notadrive");
    EXPECT_EQ(files.drives(), (std::vector<char>{'a', 'c', 'h'}));
}

TEST(DriveMap, FilesAreAppendedReplacedListedAndDeletedByPattern) {
    TempFileSystem files;
    std::string error, text;
    ASSERT_TRUE(files.createFolder("c:\\logs", &error));
    ASSERT_TRUE(files.appendToFile("c:\\logs\\AL261205.log", "one\r\n", &error));
    ASSERT_TRUE(files.appendToFile("c:\\logs\\al261205.LOG", "two\r\n", &error));
    ASSERT_TRUE(files.readFile("c:\\logs\\AL261205.log", &text, &error));
    EXPECT_EQ(text, "one\r\ntwo\r\n");
    EXPECT_EQ(files.fileLength("c:\\logs\\AL261205.log"), 10);
    EXPECT_EQ(files.fileLength("c:\\logs\\none.log"), -1);
    ASSERT_TRUE(files.writeFile("c:\\logs\\ER261205.log", "e", &error));
    ASSERT_TRUE(files.writeFile("c:\\logs\\ER261204.log", "e", &error));
    ASSERT_TRUE(files.createFolder("c:\\logs\\sub", &error));
    EXPECT_EQ(files.list("c:\\logs", false),
              (std::vector<std::string>{"AL261205.log", "ER261204.log", "ER261205.log"}));
    EXPECT_EQ(files.list("c:\\logs", true), (std::vector<std::string>{"sub"}));
    EXPECT_EQ(files.deleteMatching("C:\\LOGS\\er*.log"), 2);
    EXPECT_EQ(files.list("c:\\logs", false), (std::vector<std::string>{"AL261205.log"}));
}

TEST(DriveMap, FailuresNameTheirReasonAndLeaveOldContent) {
    TempFileSystem files;
    std::string error, text;
    EXPECT_FALSE(files.appendToFile("q:\\missing\\x.log", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(files.readFile("c:\\none.txt", &text, &error));
    EXPECT_FALSE(files.createFolder("c:\\a\\b\\c", &error));
    ASSERT_TRUE(files.writeFile("c:\\keep.txt", "old", &error));
    fs::create_directory(files.hostPath("c:\\keep.txt.new"));  // the temporary cannot be made
    EXPECT_FALSE(files.writeFile("c:\\keep.txt", "new", &error));
    ASSERT_TRUE(files.readFile("c:\\keep.txt", &text, &error));
    EXPECT_EQ(text, "old");
}

TEST(Wildcards, StarAndQuestionMarkIgnoreCase) {
    EXPECT_TRUE(WildcardMatch("SF???*.wav", "sfmon007.WAV"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_FALSE(WildcardMatch("SF???*.wav", "SF00.wav"));
    EXPECT_FALSE(WildcardMatch("AL*.log", "AL261205.log.bak"));
    EXPECT_TRUE(WildcardMatch("*.log", "AL261205.log"));
}
