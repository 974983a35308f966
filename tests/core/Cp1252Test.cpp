#include <gtest/gtest.h>

#include "platform/Cp1252.h"

using namespace quillmar;

// Every byte survives the trip to Unicode and back; text without a Windows form becomes '?'.
TEST(Cp1252, EveryByteRoundTripsAndTheRestBecomesQuestionMarks) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5 ok"), "? ok");  // a CJK character
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");            // a control with no Windows-1252 byte
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8E\xB5"), "?");    // outside the BMP
    EXPECT_EQ(Utf8ToCp1252("bad \xC3"), "bad ?");        // cut short
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");           // not UTF-8 at all
}
