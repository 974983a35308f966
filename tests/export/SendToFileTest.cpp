#include <gtest/gtest.h>

#include "audio/SoundFiles.h"
#include "export/ExportTestSupport.h"
#include "export/SendToFile.h"
#include "schedule/ScheduleRecord.h"

using namespace quillmar;
using quillmar::testing::ExportStation;
using quillmar::testing::WaveData;

namespace {

constexpr const char* kSound = "C:\\SATFILE\\SFMON001.WAV";
constexpr const char* kMarks = "C:\\SATFILE\\SFMON001.DAT";

struct Copy {
    explicit Copy(const char* route) : s(DateTime::from(2026, 1, 28, 12)) {
        ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
        f.InUse = ScheduleSlot::InUse;
        f.ProgramName = "LEFT SIDE SHOW";
        f.ProgramLength = "10:01";
        f.Route = StateOf<ScheduleRoute>(route);
        f.Action = ScheduleAction::Record;
        std::string error;
        EXPECT_TRUE(s.st().schedule.SatListFile.write(1, BuildScheduleRecord(f), &error)) << error;
        Station& st = s.st();
        send = std::make_unique<SendToFile>(SendToFileServices{st.platform.files, st.platform.audio,
                                                               st.platform.errors, st.schedule},
                                            1, kSound, kMarks);
        send->Load();
        // The operator takes the format the chooser starts from.
        send->ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return true; };
    }
    void trim(float seconds) {
        std::string error;
        ASSERT_TRUE(WriteSoundMark(s.st().platform.files, kMarks, 2, seconds, &error)) << error;
    }
    void name(const std::string& n) {
        send->txtFileName = n;
        send->ConfirmName();
    }
    void run() { s.sim.loop.advance(2000); }
    ExportStation s;
    std::unique_ptr<SendToFile> send;
};

}  // namespace

TEST(SendToFileCopy, TrimmedRecordingIsCopiedUpToTheTrimMarkOnly) {
    Copy c("1");
    // 601 s of mono: level 1000 up to 600.5 s, 9000 after it.
    const std::int64_t trimFrame = 600 * 44100 + 22050;
    c.s.wave(kSound, 1, 601 * 44100,
             [&](std::int64_t f, int) -> std::int16_t { return f < trimFrame ? 1000 : 9000; });
    c.trim(600.5f);
    c.send->Dir1_Click(0);  // the root of c:
    c.name("copy");
    EXPECT_TRUE(c.send->Copying);
    EXPECT_TRUE(c.send->GaugeVisible);
    EXPECT_FALSE(c.send->cmdCloseVisible);
    EXPECT_EQ(c.send->Label2, "Format:  PCM 16 bit");
    c.run();

    EXPECT_FALSE(c.send->Copying);
    EXPECT_TRUE(c.send->cmdCloseVisible);
    EXPECT_EQ(c.send->Gauge, 100);
    const WaveData out = c.s.readWave("c:\\copy.wav");
    ASSERT_EQ(out.frames(), trimFrame);  // 600500 ms
    EXPECT_EQ(out.at(0, 0), 1000);
    EXPECT_EQ(out.at(trimFrame - 1, 0), 1000);  // nothing after the trim point
    EXPECT_TRUE(c.s.sim.errors.messages.empty());
}

TEST(SendToFileCopy, LeftOnlyProgrammeCompressedIsWrittenWithOneChannelInTheChosenFormat) {
    Copy c("1");
    c.s.wave(kSound, 2, 44100, [](std::int64_t, int ch) -> std::int16_t { return ch ? 0 : 2000; });
    std::string offeredStart;
    c.send->ChooseFormat = [&](const std::vector<WaveFormat>& formats, WaveFormat* chosen) {
        offeredStart = chosen->name;
        for (const auto& f : formats)
            if (f.name == "IMA ADPCM") *chosen = f;
        return true;
    };
    c.send->Check1 = true;
    c.send->Dir1_Click(0);
    c.name("small");
    c.run();
    EXPECT_EQ(offeredStart, "PCM 16 bit");  // the chooser starts from the writer's format
    EXPECT_EQ(c.send->Label2, "Format:  IMA ADPCM");
    const WaveData out = c.s.readWave("c:\\small.wav");
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.bits, 4);
    // No trim mark: the whole file (and an empty marks file reads as no marks).
    EXPECT_EQ(c.s.sim.files.fileLength(kMarks), 0);
}

TEST(SendToFileCopy, TheFormatIsAskedEveryTimeAndACancelledChooserCopiesNothing) {
    Copy c("1");  // one side of the output, recorded in stereo
    c.s.wave(kSound, 2, 4410, [](std::int64_t, int ch) -> std::int16_t { return ch ? -300 : 300; });
    c.send->Dir1_Click(0);
    c.send->ChooseFormat = [](const std::vector<WaveFormat>&, WaveFormat*) { return false; };
    c.name("none");
    c.run();
    EXPECT_FALSE(c.s.sim.exists("c:\\none.wav"));
    EXPECT_TRUE(c.send->cmdCloseVisible);

    // Not compressed, the chooser is still asked, and the copy keeps the recording's channels.
    c.send->ChooseFormat = [&](const std::vector<WaveFormat>& formats, WaveFormat* chosen) {
        for (const auto& f : formats)
            if (f.name == "PCM 24 bit") *chosen = f;
        return true;
    };
    c.name("both");
    c.run();
    EXPECT_EQ(c.send->Label2, "Format:  PCM 24 bit");
    const WaveData out = c.s.readWave("c:\\both.wav");
    ASSERT_EQ(out.channels, 2);
    EXPECT_EQ(out.bits, 24);
}

TEST(SendToFileOverwrite, ExistingNameAsksFirstAndOlderCopiesGoOnlyOnceTheNewOneIsWhole) {
    Copy c("S");
    c.s.wave(kSound, 2, 4410, [](std::int64_t, int) -> std::int16_t { return 700; });
    c.s.sim.write("c:\\show.wav", "older");
    c.s.sim.write("c:\\show.mp2", "older, compressed");
    c.s.sim.write("c:\\shows.wav", "another programme");
    c.send->Dir1_Click(0);

    c.name("show");
    EXPECT_EQ(c.send->Label1, "show already exists.  Overwrite?");
    EXPECT_TRUE(c.send->Label1Visible);
    EXPECT_TRUE(c.send->cmdNoVisible);
    EXPECT_TRUE(c.send->cmdSendVisible);
    EXPECT_FALSE(c.send->cmdCloseVisible);
    EXPECT_FALSE(c.send->Copying);

    c.send->cmdNo_Click();
    EXPECT_EQ(c.send->txtFileName, "");
    EXPECT_TRUE(c.send->FocusFileName);
    EXPECT_FALSE(c.send->Label1Visible || c.send->cmdNoVisible || c.send->cmdSendVisible);
    EXPECT_TRUE(c.send->cmdCloseVisible);
    EXPECT_EQ(c.s.sim.read("c:\\show.wav"), "older");

    // A copy that fails leaves the older copies as they were.
    c.s.sim.audio.failConversions("No space left on device");
    c.name("show");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.sim.errors.messages.back(), "75 No space left on device");
    EXPECT_EQ(c.s.sim.read("c:\\show.wav"), "older");
    EXPECT_EQ(c.s.sim.read("c:\\show.mp2"), "older, compressed");

    c.s.sim.audio.failConversions("");
    c.name("show");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.readWave("c:\\show.wav").frames(), 4410);
    EXPECT_FALSE(c.s.sim.exists("c:\\show.mp2"));
    EXPECT_EQ(c.s.sim.read("c:\\shows.wav"), "another programme");
}

TEST(SendToFileFolders, DrivesAndFoldersChooseTheTargetAndBadOnesAreReported) {
    Copy c("S");
    c.s.wave(kSound, 2, 441, [](std::int64_t, int) -> std::int16_t { return 1; });
    c.s.folder("c:\\satfile\\out");
    // No folder is chosen when the window opens: a name alone copies nothing.
    EXPECT_EQ(c.send->TargetFolder, "");
    c.name("early");
    c.run();
    EXPECT_EQ(c.s.sim.errors.messages, std::vector<std::string>{"76 Path not found"});
    EXPECT_FALSE(c.s.sim.exists("c:\\early.wav"));
    c.s.sim.errors.messages.clear();
    c.send->Dir1_Open(0);
    ASSERT_GE(c.send->Dir1.size(), 2u);
    EXPECT_EQ(c.send->Dir1[0].name, "c:\\");
    EXPECT_EQ(c.send->Dir1[1].path, "c:\\satfile");
    c.send->Dir1_Open(1);
    bool sawOut = false;
    for (std::size_t i = 0; i < c.send->Dir1.size(); ++i)
        if (c.send->Dir1[i].path == "c:\\satfile\\out") {
            c.send->Dir1_Click(static_cast<int>(i));
            sawOut = true;
        }
    ASSERT_TRUE(sawOut);
    c.name("deep");
    c.run();
    EXPECT_TRUE(c.s.sim.exists("c:\\satfile\\out\\deep.wav"));

    // A drive that is not there: the error window, and the target stays.
    c.send->Drive1_Change('h');
    EXPECT_EQ(c.s.sim.errors.messages, std::vector<std::string>{"68 Device unavailable"});
    EXPECT_EQ(c.send->TargetFolder, "c:\\satfile\\out");
    c.s.folder("h:\\");
    c.send->Drive1_Change('h');
    EXPECT_EQ(c.send->TargetFolder, "h:");
    EXPECT_EQ(c.send->Target(), "h:\\deep");

    // A folder that vanished before the copy starts.
    c.send->TargetFolder = "h:\\gone";
    c.name("lost");
    EXPECT_EQ(c.s.sim.errors.messages.back(), "76 Path not found");
    EXPECT_FALSE(c.send->Copying);

    // The recording itself is never the target: its marks file would go with the older copies.
    c.s.sim.write(kMarks, std::string(8, '\0'));
    c.send->TargetFolder = "c:\\satfile";
    c.name("sfmon001");
    c.send->cmdSend_Click();
    c.run();
    EXPECT_EQ(c.s.sim.errors.messages.back(), "75 Path/File access error");
    EXPECT_TRUE(c.s.sim.exists(kMarks));
    EXPECT_TRUE(c.send->cmdCloseVisible);
}
