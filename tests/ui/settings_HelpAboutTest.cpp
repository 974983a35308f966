#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "settings/windows/frmHelp.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

QTextCharFormat FormatAt(QTextEdit* box, const QString& text) {
    const int at = box->toPlainText().indexOf(text);
    EXPECT_GE(at, 0) << text.toStdString();
    QTextCursor cursor(box->document());
    cursor.setPosition(at + 1);
    return cursor.charFormat();
}

}  // namespace

TEST(HelpWindow, ShowsTheHelpFilesTextAndFormatting) {
    SimStation s;
    s.start();
    s.write(kHelpFilePath,
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\b Bold\\b0  and \\i italic\\i0\\par "
            "Caf\\'e9 next\\par}");
    frmHelp help(s.st());
    EXPECT_EQ(help.windowTitle(), "Quillmar Help");
    EXPECT_EQ(help.RichTextBox1->toPlainText(),
              QString::fromUtf8("Bold and italic\nCaf\xC3\xA9 next\n"));
    EXPECT_TRUE(help.RichTextBox1->isReadOnly());
    EXPECT_EQ(FormatAt(help.RichTextBox1, "Bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(help.RichTextBox1, "italic").fontItalic());
    EXPECT_FALSE(FormatAt(help.RichTextBox1, "and").fontItalic());
    EXPECT_EQ(help.RichTextBox1->document()->blockCount(), 3);
}

TEST(HelpWindow, AMissingFileShowsWhereItBelongs) {
    SimStation s;
    s.start();
    frmHelp help(s.st());
    EXPECT_EQ(help.RichTextBox1->toPlainText(),
              "The help file, sathelp.hlp was not found.  It must be installed on the C hard drive "
              "in the satfile folder.");
}

TEST(HelpWindow, TheShippedHelpIsInstalledOnlyWhenMissing) {
    SimStation s;
    s.start();
    InstallHelpFile(s.st());
    const std::string shipped = s.read(kHelpFilePath);
    EXPECT_EQ(shipped.rfind("{\\rtf1", 0), 0u);
    frmHelp help(s.st());
    EXPECT_TRUE(help.RichTextBox1->toPlainText().startsWith("Quillmar Help\n"));
    s.write(kHelpFilePath, "{\\rtf1 the station's own}");
    InstallHelpFile(s.st());
    EXPECT_EQ(s.read(kHelpFilePath), "{\\rtf1 the station's own}");
}

TEST(AboutWindow, NamesTheProgramAndVersionAndHasNoSystemTool) {
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), "About Quillmar");
    EXPECT_EQ(about.lblTitle->text(), "Quillmar");
    EXPECT_EQ(about.lblVersion->text(), "Version 4.0.17");
    EXPECT_EQ(about.cmdSysInfo->text(), "&System Info...");
    QStringList shown;
    about.showMessage = [&](const QString& m) { shown << m; };
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(shown, QStringList{"System Information Is Unavailable At This Time"});
    about.show();
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}
