#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "settings/RtfReader.h"

using namespace quillmar;

TEST(RtfReader, KeepsTextFormattingParagraphsAndEscapes) {
    const auto runs = ReadRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}\\fs20 Plain \\b bold\\b0 "
        "\\i it\\i0\\par \\ul under\\ulnone\\tab caf\\'e9 \\{x\\}\\\\}");
    // A control word's trailing blank is its delimiter, not text.
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0], (RtfRun{"Plain ", false, false, false, 20}));
    EXPECT_EQ(runs[1], (RtfRun{"bold", true, false, false, 20}));
    EXPECT_EQ(runs[2], (RtfRun{"it", false, true, false, 20}));
    EXPECT_EQ(runs[4], (RtfRun{"under", false, false, true, 20}));
    EXPECT_EQ(RtfPlainText(runs), "Plain boldit\nunder\tcaf\xC3\xA9 {x}\\");
}

TEST(RtfReader, UnicodeEscapesSkipTheirStandIns) {
    EXPECT_EQ(RtfPlainText(ReadRtf("{\\rtf1 \\u8364?x\\uc2\\u-3913 ab!}")),
              "\xE2\x82\xAC"
              "x\xEF\x82\xB7!");
}

TEST(RtfReader, MalformedInputGivesWhatCanBeRead) {
    EXPECT_EQ(RtfPlainText(ReadRtf("{\\rtf1 unclosed \\b group")), "unclosed group");
    EXPECT_EQ(RtfPlainText(ReadRtf("}}} stray {\\'zz\\'4")), " stray zz4");
    EXPECT_EQ(RtfPlainText(ReadRtf("\\")), "");
    EXPECT_EQ(RtfPlainText(ReadRtf("{\\fs99999999999999999 big}")), "big");
    std::string deep(100000, '{');
    deep += "deep";
    EXPECT_EQ(RtfPlainText(ReadRtf(deep)), "deep");
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string junk(static_cast<std::size_t>(random() % 300), '\0');
        for (char& c : junk) c = "{}\\'ab0-9 *\n"[random() % 12];
        ReadRtf(junk);  // must simply not crash
    }
}

TEST(RtfReader, TheShippedHelpFileReadsAsText) {
    std::ifstream in(QUILLMAR_SOURCE_DIR "/resources/sathelp.hlp", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string rtf{std::istreambuf_iterator<char>(in), {}};
    const auto runs = ReadRtf(rtf);
    const std::string text = RtfPlainText(runs);
    EXPECT_EQ(text.rfind("Quillmar Help\n", 0), 0u);
    EXPECT_NE(text.find("drives/c\tthe station's own files"), std::string::npos);
    EXPECT_EQ(text.find('\\'), text.find("satfile\\SatList.dat") + 7);
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].halfPoints, 36);
}
