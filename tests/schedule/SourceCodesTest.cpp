#include <gtest/gtest.h>

#include <cerrno>

#include "schedule/SourceCodes.h"
#include "support/SimStation.h"

using namespace quillmar;

TEST(SourceCodes, AreUpperCaseOneCharacterForOneAndCutToThree) {
    for (auto [typed, stored] : {std::pair{"frex", "FRE"},
                                 {"\xDF\xE9q", "\xDF\xC9Q"},
                                 {"\x9A\x9C\x9E", "\x8A\x8C\x8E"},
                                 {"\xFF\xF7\xFE", "\x9F\xF7\xDE"},
                                 {"a{`", "A{`"},
                                 {"", ""}})
        EXPECT_EQ(SourceCodeUpper(typed), stored) << typed;
}

TEST(SourceCodes, AreReadAndSavedOnePerLine) {
    quillmar::testing::SimStation s;
    s.folder("c:\\satfile");
    std::vector<std::string> codes{"stale"};
    EXPECT_FALSE(ReadSourceCodes(s.files, &codes));  // no file yet
    EXPECT_TRUE(codes.empty());
    std::string error;
    ASSERT_TRUE(SaveSourceCodes(s.files, {"ENG", "SPA", "\xDF\xC9Q"}, &error)) << error;
    EXPECT_EQ(s.read(kSourceCodesPath), "ENG\r\nSPA\r\n\xDF\xC9Q\r\n");
    ASSERT_TRUE(ReadSourceCodes(s.files, &codes));
    EXPECT_EQ(codes, (std::vector<std::string>{"ENG", "SPA", "\xDF\xC9Q"}));
    s.files.fail(kSourceCodesPath, EIO);
    EXPECT_FALSE(ReadSourceCodes(s.files, &codes));
    EXPECT_FALSE(SaveSourceCodes(s.files, {"ENG"}, &error));
    EXPECT_FALSE(error.empty());
}
