#include <gtest/gtest.h>

#include "settings/RtfReader.h"

using namespace quillmar;

TEST(RtfReader, KeepsTextFormattingAndParagraphs) {
    // A control word's trailing blank is its delimiter, not text.
    const auto runs = ReadRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\generator x;}\\fs20 Plain \\b bold\\b0 "
        "\\i it\\i0\\par \\ul under\\ulnone}");
    EXPECT_EQ(runs, (std::vector<RtfRun>{{"Plain ", false, false, false, 20},
                                         {"bold", true, false, false, 20},
                                         {"it", false, true, false, 20},
                                         {"\n", false, false, false, 20},
                                         {"under", false, false, true, 20}}));
}

TEST(RtfReader, PlainTextOfEscapesAndMalformedInput) {
    for (auto [rtf, text] : std::vector<std::pair<const char*, const char*>>{
             {"{\\rtf1 a\\tab caf\\'e9 \\{x\\}\\\\}", "a\tcaf\xC3\xA9 {x}\\"},
             {"{a\\~b\\_c\\-d\\\ne}",
              "a\xC2\xA0"
              "b-cd\ne"},
             {"{\\rtf1 \\u8364?x\\uc2\\u-3913 ab!}",
              "\xE2\x82\xAC"
              "x\xEF\x82\xB7!"},
             {"{\\rtf1 \\u233\\'e9x\\u233 a'b}", "\xC3\xA9x\xC3\xA9'b"},  // stand-ins skipped
             {"{\\rtf1 unclosed \\b group", "unclosed group"},
             {"}}} stray {\\'zz\\'4", " stray zz4"},
             {"\\", ""},
             {"{\\fs99999999999999999 big}", "big"}})
        EXPECT_EQ(RtfPlainText(ReadRtf(rtf)), text) << rtf;
    std::string deep(100000, '{');
    EXPECT_EQ(RtfPlainText(ReadRtf(deep.append("deep"))), "deep");
}
