// The host mail and print services against fake programs, on a real Qt event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/host/LpPrinter.h"
#include "platform/host/SendmailMail.h"
#include "support/TempFileSystem.h"

namespace fs = std::filesystem;
using namespace quillmar;

namespace {

struct Outcome {
    bool ok = false;
    std::string error;
};

class SendmailMailTest : public ::testing::Test {
  protected:
    SendmailMailTest() {
        static int argc = 1;
        static char name[] = "test_export", *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        fs::create_directories(root / "devices");
    }
    void program(const std::string& script) {
        const fs::path p = root / "devices/sendmail";
        std::ofstream(p) << "#!/bin/sh\n" << script;
        fs::permissions(p, fs::perms::owner_all);
    }
    // Starts the job and runs the loop until its outcome arrives (or a generous limit passes).
    template <typename Start>
    std::optional<Outcome> run(Start start) {
        std::optional<Outcome> outcome;
        bool inside = true;
        start([&](bool ok, const std::string& error) {
            EXPECT_FALSE(inside) << "reported from inside the call";
            outcome = Outcome{ok, error};
        });
        inside = false;
        QElapsedTimer waited;
        waited.start();
        while (!outcome && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return outcome;
    }
    std::optional<Outcome> send(SendmailMail& mail, const MailMessage& message) {
        return run([&](auto done) { mail.send(message, done); });
    }
    std::string read(const std::string& name) {
        std::stringstream s;
        s << std::ifstream(root / name, std::ios::binary).rdbuf();
        return s.str();
    }
    TempFileSystem temp;
    fs::path root{temp.dataRoot()};
};

}  // namespace

// Taken, refused, timed out or vanished; recipients follow "--", never taken for options.
TEST_F(SendmailMailTest, TheOutcomeOfEachMailProgramRun) {
    const std::string own = (root / "devices/sendmail").string();
    const struct {
        std::string script;
        bool vanish;
        int timeoutMs;
        std::string error;  // the start of it when the program vanished
    } cases[] = {
        {"printf '%s\\n' \"$@\" > \"" + (root / "args").string() + "\"\ncat > \"" +
             (root / "message").string() + "\"\n",
         false, 20000, ""},
        {"cat > /dev/null\necho 'smtp: connection refused' >&2\nexit 75\n", false, 20000,
         "the mail program failed with status 75: smtp: connection refused"},
        {"exec sleep 30\n", false, 300, "the mail program did not finish within 300 ms"},
        {"exit 0\n", true, 20000, own + ": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        program(c.script);
        SendmailMail mail(root.string(), c.timeoutMs);
        std::string error;
        ASSERT_TRUE(mail.signOn(&error)) << error;
        if (c.vanish) fs::remove(own);
        const auto outcome = send(mail, {{"a@example.org", "-oQ/tmp\r\n"}, "S", "Body"});
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->ok, c.error.empty());
        EXPECT_EQ(c.vanish ? outcome->error.substr(0, c.error.size()) : outcome->error, c.error);
    }
    EXPECT_EQ(read("args"), "-i\n--\na@example.org\n-oQ/tmp\n");
    EXPECT_EQ(read("message"), FormatMailText({{"a@example.org", "-oQ/tmp"}, "S", "Body"}));
}

// Without their programs mail fails at sign-on and lp says what to install.
TEST_F(SendmailMailTest, WithoutItsProgramMailFailsAtSignOnAndPrintingSaysWhatToInstall) {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", root.string().c_str());
    SendmailMail mail(root.string());
    std::string error;
    const bool signedOn = mail.signOn(&error);
    qputenv("PATH", path);
    if (!fs::exists("/usr/sbin/sendmail") && !fs::exists("/usr/lib/sendmail")) {
        EXPECT_FALSE(signedOn);
        const auto outcome = send(mail, {{"a@example.org"}, "S", "N"});
        EXPECT_EQ(error + "|" + outcome.value_or(Outcome{true, ""}).error,
                  "no mail program: neither " + root.string() +
                      "/devices/sendmail nor sendmail on the PATH|not signed on to a mail program");
    }
    program("cat > '" + (root / "job").string() + "'\n");
    LpPrinter printer((root / "devices/sendmail").string(), 1500);
    const auto printed = run([&](auto done) { printer.print("REPORT\r\n", done); });
    EXPECT_TRUE(printed && printed->ok);
    EXPECT_EQ(read("job"), "REPORT\r\n");
    LpPrinter missing((root / "no-lp").string(), 1500);
    const auto failed = run([&](auto done) { missing.print("REPORT\r\n", done); });
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->error, "no printer program is installed (" + (root / "no-lp").string() +
                                 " was not found).  Install the cups-client package, which "
                                 "provides lp, and set up a printer.");
}
