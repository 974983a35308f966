#include "settings/windows/frmHelp.h"

#include <QFile>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QStyle>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/Station.h"
#include "core/Version.h"
#include "settings/RtfReader.h"

namespace quillmar {

void InstallHelpFile(Station& station) {
    auto& files = station.platform.files;
    if (files.fileExists(kHelpFilePath)) return;
    QFile shipped(":/sathelp.hlp");
    if (!shipped.open(QIODevice::ReadOnly)) return;
    const QByteArray text = shipped.readAll();
    std::string error;
    if (!files.writeFile(kHelpFilePath,
                         std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                         &error))
        ShowError(station,
                  std::string("Cannot install the help file ") + kHelpFilePath + ": " + error);
}

frmHelp::frmHelp(Station& station, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmHelp");
    setWindowTitle("Quillmar Help");
    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName("RichTextBox1");
    RichTextBox1->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichTextBox1);
    resize(640, 520);

    std::string rtf, error;
    auto& files = station.platform.files;
    if (!files.fileExists(kHelpFilePath) || !files.readFile(kHelpFilePath, &rtf, &error)) {
        RichTextBox1->setPlainText(
            "The help file, sathelp.hlp was not found.  It must be installed on the C hard "
            "drive in the satfile folder.");
        return;
    }
    QTextCursor cursor(RichTextBox1->document());
    for (const RtfRun& run : ReadRtf(rtf)) {
        QTextCharFormat format;
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.italic);
        format.setFontUnderline(run.underline);
        format.setFontPointSize(run.halfPoints / 2.0);
        cursor.insertText(QString::fromStdString(run.text), format);
    }
    RichTextBox1->moveCursor(QTextCursor::Start);
}

frmAbout::frmAbout(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmAbout");
    setWindowTitle("About Quillmar");
    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(48, 48));
    lblTitle = new QLabel("Quillmar", this);
    lblTitle->setObjectName("lblTitle");
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(QString("Version ") + kVersion, this);
    lblVersion->setObjectName("lblVersion");
    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    top->addLayout(buttons);
    setLayout(top);

    showMessage = [this](const QString& message) {
        QMessageBox::information(this, windowTitle(), message);
    };
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    // This platform has no system-information tool to start.
    connect(cmdSysInfo, &QPushButton::clicked, this,
            [this] { showMessage("System Information Is Unavailable At This Time"); });
}

}  // namespace quillmar
