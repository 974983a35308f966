#include <gtest/gtest.h>

#include <algorithm>

#include "audio/SoundFiles.h"
#include "export/SendToFile.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

constexpr const char* kSound = "C:\\SATFILE\\SFMON001.WAV";
constexpr const char* kMarks = "C:\\SATFILE\\SFMON001.DAT";

struct Copy {
    explicit Copy(const char* route) : s(DateTime::from(2026, 1, 28, 12)) {
        s.settings({{Rec::ActivityLog, 1}, {Rec::WaveDrive, 3}});
        s.start();
        ScheduleFields f = Schedule("LEFT SIDE SHOW");
        f.ProgramLength = "10:01";
        f.Route = StateOf<ScheduleRoute>(route);
        s.put(1, f);
        Station& st = s.st();
        send = std::make_unique<SendToFile>(SendToFileServices{st.platform.files, st.platform.audio,
                                                               st.platform.errors, st.schedule},
                                            1, kSound, kMarks);
        send->Load();
        // The operator takes the format the chooser starts from.
        send->ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return true; };
    }
    void name(const std::string& n) {
        send->txtFileName = n;
        send->ConfirmName();
    }
    void run() { s.loop.advance(2000); }
    SimStation s;
    std::unique_ptr<SendToFile> send;
};

struct CopyRow {
    int channels;
    std::int64_t frames;
    float trim;          // 0: no trim mark
    bool compressed;     // "Compress" ticked
    const char* format;  // the operator's choice; nullptr cancels the chooser
    int outChannels, outBits;
    std::int64_t outFrames;  // -1: not counted
};
}  // namespace

// A left-only programme: the copy ends at the trim mark, mono when compressed.
TEST(SendToFileCopy, CopiesUpToTheTrimMarkInTheChosenFormat) {
    // clang-format off
    const CopyRow rows[] = {
        {1, 601 * 44100, 600.5f, false, "PCM 16 bit", 1, 16, 600 * 44100 + 22050},
        {2, 44100, 0, true, "IMA ADPCM", 1, 4, -1},
        {2, 4410, 0, false, nullptr, 0, 0, 0},
        {2, 4410, 0, false, "PCM 24 bit", 2, 24, -1},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.format ? r.format : "cancelled");
        Copy c("1");
        const auto trimFrame = static_cast<std::int64_t>(r.trim * 44100);
        c.s.wave(kSound, r.channels, r.frames, [&](std::int64_t f, int ch) -> std::int16_t {
            return ch ? 0 : (r.trim == 0 || f < trimFrame ? 1000 : 9000);
        });
        std::string error;
        ASSERT_TRUE(r.trim == 0 || WriteSoundMark(c.s.files, kMarks, 2, r.trim, &error)) << error;
        c.send->ChooseFormat = [&](const std::vector<WaveFormat>& formats, WaveFormat* chosen) {
            for (const auto& f : formats)
                if (r.format && f.name == r.format) *chosen = f;
            return r.format != nullptr;
        };
        c.send->Check1 = r.compressed;
        c.send->Dir1_Click(0);  // the root of c:
        c.name("copy");
        c.run();
        EXPECT_TRUE(!c.send->Copying && c.send->cmdCloseVisible && c.s.errors.messages.empty());
        EXPECT_EQ(c.s.exists("c:\\copy.wav"), r.format != nullptr);
        if (!r.format) continue;
        EXPECT_EQ(c.send->Label2 + "|" + std::to_string(c.send->Gauge),
                  std::string("Format:  ") + r.format + "|100");
        const WaveData out = c.s.readWave("c:\\copy.wav");
        EXPECT_EQ(std::vector({out.channels, out.bits}), std::vector({r.outChannels, r.outBits}));
        if (r.outFrames < 0) continue;
        ASSERT_EQ(out.frames(), r.outFrames);
        EXPECT_EQ(out.at(r.outFrames - 1, 0), 1000);  // nothing after the trim point
    }
}

// No folder until one is chosen; the recording is never the target; older copies go last.
TEST(SendToFileFolders, DrivesAndFoldersChooseTheTargetAndOlderCopiesGoOnceTheNewOneIsWhole) {
    Copy c("S");
    c.s.wave(kSound, 2, 441, [](std::int64_t, int) -> std::int16_t { return 1; });
    c.s.write("c:\\satfile\\out\\deep.wav", "older");
    c.s.write("c:\\satfile\\out\\deep.mp2", "older, compressed");
    c.s.write("c:\\satfile\\out\\deeper.wav", "another programme");
    c.name("early");
    c.send->Dir1_Open(0);
    ASSERT_GE(c.send->Dir1.size(), 2u);
    EXPECT_EQ(c.send->Dir1[0].name + c.send->Dir1[1].path, "c:\\c:\\satfile");
    c.send->Dir1_Open(1);
    EXPECT_EQ(c.send->Dir1[1].path, "c:\\satfile");
    EXPECT_EQ(c.send->Dir1Index, 1);
    const auto out = std::find_if(c.send->Dir1.begin(), c.send->Dir1.end(),
                                  [](const auto& d) { return d.path == "c:\\satfile\\out"; });
    ASSERT_NE(out, c.send->Dir1.end());
    c.send->Dir1_Click(static_cast<int>(out - c.send->Dir1.begin()));
    c.s.audio.failConversions("No space left on device");
    c.name("deep");
    c.send->cmdNo_Click();
    EXPECT_TRUE(c.send->FocusFileName && c.send->cmdCloseVisible && !c.send->cmdSendVisible);
    c.name("deep");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.read("c:\\satfile\\out\\deep.mp2"), "older, compressed");
    c.s.audio.failConversions("");
    c.name("deep");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.readWave("c:\\satfile\\out\\deep.wav").frames(), 441);
    EXPECT_FALSE(c.s.exists("c:\\satfile\\out\\deep.mp2"));
    EXPECT_EQ(c.s.read("c:\\satfile\\out\\deeper.wav"), "another programme");
    c.send->Drive1_Change('h');
    EXPECT_EQ(c.send->TargetFolder, "c:\\satfile\\out");
    c.s.folder("h:\\");
    c.send->Drive1_Change('h');
    EXPECT_EQ(c.send->Target(), "h:\\deep");
    c.send->TargetFolder = "h:\\gone";
    c.name("lost");
    c.s.write(kMarks, std::string(8, '\0'));
    c.send->TargetFolder = "c:\\satfile";
    c.name("sfmon001");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.errors.messages,
              (std::vector<std::string>{"76 Path not found", "75 No space left on device",
                                        "68 Device unavailable", "76 Path not found",
                                        "75 Path/File access error"}));
    EXPECT_TRUE(c.s.exists(kMarks));
}
