#include <gtest/gtest.h>

#include "core/Startup.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

TEST(Startup, AnEmptyDataRootGetsItsFoldersAndEmptyDataFiles) {
    SimStation s;
    s.start();
    EXPECT_TRUE(s.files.folderExists("c:\\satfile\\logs"));
    for (const char* name : {"SatList.dat", "MyComp.ini", "Exportinfo.dat", "AddressBook.dat"})
        EXPECT_EQ(s.files.fileLength(std::string("c:\\satfile\\") + name), 0) << name;
    EXPECT_FALSE(s.files.fileExists("c:\\satfile\\User.dat"));
    const Station& st = s.st();
    EXPECT_TRUE(st.schedule.SatListFile.isOpen() && st.Export.ExportFile.isOpen() &&
                st.Export.AddressBookFile.isOpen());
    EXPECT_TRUE(s.errors.messages.empty());
    EXPECT_EQ(st.schedule.DstStartDate, (Date{2026, 3, 8}));
    EXPECT_EQ(st.schedule.DstEndDate, (Date{2026, 11, 1}));
}

TEST(Startup, APopulatedRootIsReadAsItStands) {
    SimStation s;
    s.write("c:\\Satfile\\User.dat", "KQMR Radio\nstation\n");  // bare line feeds, no password
    s.write("c:\\SATFILE\\mycomp.ini", std::string("\x01\x00", 2));
    s.write("c:\\satfile\\SatList.dat", std::string(331 * 2, ' '));
    s.start();
    const auto& user = s.st().Export.Account;
    EXPECT_EQ(user.Facility + "|" + user.UserName + "|" + user.Password, "KQMR Radio|station|");
    EXPECT_EQ(s.st().Settings.ProgramPlayCard, 1);
    EXPECT_EQ(s.st().schedule.SatListFile.recordCount(), 2);
    // Files found in another case are used, not doubled.
    EXPECT_EQ(s.files.list("c:\\satfile", false).size(), 5u);
}

TEST(Startup, ADataFileThatCannotBeOpenedStopsStartWithItsPathAndReason) {
    SimStation s;
    std::string made;
    s.files.createFolder("c:\\satfile", &made);
    s.files.createFolder("c:\\satfile\\Exportinfo.dat", &made);  // a folder, not a file
    std::string error;
    EXPECT_FALSE(StartStation(s.st(), &error));
    EXPECT_NE(error.find("c:\\satfile\\Exportinfo.dat"), std::string::npos) << error;
    EXPECT_NE(error.find("directory"), std::string::npos) << error;
    EXPECT_FALSE(s.st().timers.tmrClock->isEnabled());
}
