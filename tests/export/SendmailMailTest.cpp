// The host mail service against fake mail programs, on a real Qt event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/host/SendmailMail.h"

namespace fs = std::filesystem;
using namespace quillmar;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_export";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct Outcome {
    bool ok = false;
    std::string error;
};

class SendmailMailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        char pattern[] = "/tmp/quillmar-sendmail-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
        fs::create_directories(root / "devices");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    void program(const std::string& script) {
        const fs::path p = root / "devices/sendmail";
        std::ofstream(p) << "#!/bin/sh\n" << script;
        fs::permissions(p, fs::perms::owner_all);
    }
    // Sends and runs the loop until the outcome arrives (or a generous limit passes).
    std::optional<Outcome> send(SendmailMail& mail, const MailMessage& message) {
        std::optional<Outcome> outcome;
        bool inside = true;
        mail.send(message, [&](bool ok, const std::string& error) {
            EXPECT_FALSE(inside) << "reported from inside send()";
            outcome = Outcome{ok, error};
        });
        inside = false;
        QElapsedTimer waited;
        waited.start();
        while (!outcome && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return outcome;
    }
    std::string read(const std::string& name) {
        std::ifstream in(root / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path root;
};

}  // namespace

TEST_F(SendmailMailTest, HandsTheMessageAndRecipientsToTheProgram) {
    program("printf '%s\\n' \"$@\" > \"" + (root / "args").string() + "\"\ncat > \"" +
            (root / "message").string() + "\"\n");
    SendmailMail mail(root.string());
    std::string error;
    ASSERT_TRUE(mail.signOn(&error)) << error;
    EXPECT_TRUE(mail.isSignedOn());
    const auto outcome = send(mail, {{"a@example.org", "-oQ/tmp\r\n"}, "S", "Body"});
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->ok) << outcome->error;
    // Recipients follow "--", so one that looks like an option is never taken for one.
    EXPECT_EQ(read("args"), "-i\n--\na@example.org\n-oQ/tmp\n");
    EXPECT_EQ(read("message"), FormatMailText({{"a@example.org", "-oQ/tmp"}, "S", "Body"}));
}

TEST_F(SendmailMailTest, ARefusalCarriesTheProgramsStatusAndWords) {
    program("cat > /dev/null\necho 'smtp: connection refused' >&2\nexit 75\n");
    SendmailMail mail(root.string());
    std::string error;
    ASSERT_TRUE(mail.signOn(&error));
    const auto outcome = send(mail, {{"a@example.org"}, "S", "N"});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_EQ(outcome->error, "the mail program failed with status 75: smtp: connection refused");
}

TEST_F(SendmailMailTest, AProgramThatHangsIsStoppedAfterTheTimeOut) {
    program("exec sleep 30\n");
    SendmailMail mail(root.string(), 300);
    std::string error;
    ASSERT_TRUE(mail.signOn(&error));
    const auto outcome = send(mail, {{"a@example.org"}, "S", "N"});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_EQ(outcome->error, "the mail program did not finish within 300 ms");
}

TEST_F(SendmailMailTest, NoProgramFailsAtSignOnAndSendingThenIsReportedNotThrown) {
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", root.string().c_str());
    SendmailMail mail(root.string());
    std::string error;
    const bool signedOn = mail.signOn(&error);
    qputenv("PATH", path);
    if (fs::exists("/usr/sbin/sendmail") || fs::exists("/usr/lib/sendmail"))
        GTEST_SKIP() << "this machine has a system sendmail";
    EXPECT_FALSE(signedOn);
    EXPECT_NE(error.find("no mail program"), std::string::npos) << error;
    const auto outcome = send(mail, {{"a@example.org"}, "S", "N"});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
}

TEST_F(SendmailMailTest, AProgramThatVanishedIsReported) {
    program("exit 0\n");
    SendmailMail mail(root.string());
    std::string error;
    ASSERT_TRUE(mail.signOn(&error));
    fs::remove(root / "devices/sendmail");
    const auto outcome = send(mail, {{"a@example.org"}, "S", "N"});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_FALSE(outcome->error.empty());
}
