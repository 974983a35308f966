// The settings windows offscreen: My Computer, Help and About.
#include "Windows.h"
#include "platform/LittleEndian.h"
#include "settings/windows/frmHelp.h"
#include "settings/windows/frmMyComputer.h"

using namespace quillmar;
using namespace quillmar::testing;

TEST(MyComputerWindow, ShowsTheFormAndItsChoicesReachTheStation) {
    SimStation s;
    s.settings({{Rec::Threshold, 500},
                {Rec::DaysToSaveWave, 7},
                {Rec::WaveDrive, 3},
                {Rec::RemoteControl, 1}});
    s.start();
    mnuMenu main(s.st());
    main.show();
    frmMyComputer w(s.st());
    w.show();
    EXPECT_TRUE(w.lstDrv->currentItem()->text() == "C" && w.Option2[1]->isChecked());
    QTest::mouseClick(w.Check1, Qt::LeftButton, {}, QPoint(4, w.Check1->height() / 2));
    EXPECT_TRUE(main.cmdPlay->isVisible());
    w.txtThreshold->selectAll();
    QTest::keyClicks(w.txtThreshold, "250");
    QTest::mouseClick(w.cmdApply, Qt::LeftButton);
    const std::string file = s.read(kSettingsPath);
    EXPECT_EQ(Int16At(file, 2 * (Rec::PlayVisible - 1)), 1);
    EXPECT_EQ(Int16At(file, 2 * (Rec::Threshold - 1)), 250);
}

TEST(HelpWindows, ShowTheHelpFileFormattedAndInstallTheShippedOneOnlyWhenMissing) {
    SimStation s;
    s.start();
    EXPECT_TRUE(frmHelp(s.st()).RichTextBox1->toPlainText().startsWith("The help file"));
    InstallHelpFile(s.st());
    EXPECT_TRUE(frmHelp(s.st()).RichTextBox1->toPlainText().startsWith("Quillmar Help\n"));
    s.write(kHelpFilePath, "{\\rtf1\\ansi\\b Bold\\b0  and \\i italic\\i0\\par Caf\\'e9\\par}");
    InstallHelpFile(s.st());
    const frmHelp help(s.st());
    EXPECT_EQ(help.RichTextBox1->toPlainText(),
              QString::fromUtf8("Bold and italic\nCaf\xC3\xA9\n"));
    QTextCursor cursor(help.RichTextBox1->document());
    const auto at = [&](int position) {
        cursor.setPosition(position);
        return cursor.charFormat();
    };
    EXPECT_TRUE(at(1).fontWeight() == QFont::Bold && !at(7).fontItalic() && at(11).fontItalic());
    frmAbout about;
    QStringList shown;
    about.showMessage = [&](const QString& m) { shown << m; };
    QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(shown, QStringList{"System Information Is Unavailable At This Time"});
}
