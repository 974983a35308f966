#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>
#include <functional>

namespace quillmar {

class Station;

inline constexpr const char* kHelpFilePath = "c:\\Satfile\\sathelp.hlp";

// Writes the help text shipped with the program to c:\Satfile when it is not there.
void InstallHelpFile(Station& station);

// "Quillmar Help": the help file's rich text, read-only.
class frmHelp : public QWidget {
    Q_OBJECT
  public:
    explicit frmHelp(Station& station, QWidget* parent = nullptr);
    QTextEdit* RichTextBox1;
};

// "About Quillmar": name, version and the system-information button.
class frmAbout : public QWidget {
    Q_OBJECT
  public:
    explicit frmAbout(QWidget* parent = nullptr);
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* picIcon;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    // Shows a message box; replaceable so tests can read the text.
    std::function<void(const QString&)> showMessage;
};

}  // namespace quillmar
