#include "receiver/windows/frmProgramSourceCodes.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "schedule/SourceCodes.h"

namespace quillmar {

frmProgramSourceCodes::frmProgramSourceCodes(Station& station, QWidget* parent)
    : QWidget(parent), station_(station) {
    setObjectName("frmProgramSourceCodes");
    setWindowTitle("Program Source Codes");
    list1 = new QListWidget(this);
    list1->setObjectName("list1");
    list1->setToolTip("Source Codes.  Unity 4K manual calls these codes \"LANG\"");
    text1 = new QLineEdit(this);
    text1->setObjectName("text1");
    text1->setToolTip("Add a new source code....up to 3 characters");
    text1->setMaxLength(3);
    text1->setVisible(false);
    cmdNew = new QPushButton("New", this);
    cmdApply = new QPushButton("Apply", this);
    cmdDelete = new QPushButton("Delete", this);
    cmdClose = new QPushButton("&Close", this);
    cmdNew->setObjectName("cmdNew");
    cmdApply->setObjectName("cmdApply");
    cmdDelete->setObjectName("cmdDelete");
    cmdClose->setObjectName("cmdClose");

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdNew, cmdApply, cmdDelete, cmdClose}) buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(list1);
    left->addWidget(text1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);

    std::vector<std::string> codes;
    ReadSourceCodes(station_.platform.files, &codes);
    for (const auto& code : codes) list1->addItem(Text(code));
    if (list1->count() > 0) list1->setCurrentRow(0);

    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(text1, &QLineEdit::returnPressed, this, [this] { cmdApply_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
}

void frmProgramSourceCodes::cmdNew_Click() {
    text1->setVisible(true);
    text1->clear();
    text1->setFocus();
}

void frmProgramSourceCodes::cmdApply_Click() {
    text1->setVisible(false);
    const QString code = Text(SourceCodeUpper(Bytes(text1->text())));
    if (code.isEmpty()) return;
    list1->addItem(code);
    save();
    list1->setCurrentRow(list1->count() - 1);
    text1->clear();
}

void frmProgramSourceCodes::cmdDelete_Click() {
    const int row = list1->currentRow();
    if (row < 0) return;
    delete list1->takeItem(row);
    save();
}

void frmProgramSourceCodes::save() {
    std::vector<std::string> codes;
    for (int i = 0; i < list1->count(); ++i) codes.push_back(Bytes(list1->item(i)->text()));
    std::string error;
    if (!SaveSourceCodes(station_.platform.files, codes, &error))
        ShowError(station_, std::string("Cannot write ") + kSourceCodesPath + ": " + error);
}

}  // namespace quillmar
