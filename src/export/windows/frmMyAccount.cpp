#include "export/windows/frmMyAccount.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>

#include "core/Station.h"
#include "core/windows/WindowText.h"
#include "export/AddressBook.h"

namespace quillmar {

frmMyAccount::frmMyAccount(Station& station, QWidget* parent) : QWidget(parent), station_(station) {
    setObjectName("frmMyAccount");
    setWindowTitle("MyAccount");
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("Files");
    files->setObjectName("mnuFiles");
    mnuExit = files->addAction("Exit");
    mnuExit->setObjectName("mnuExit");
    layout->setMenuBar(menuBar);

    auto* form = new QFormLayout;
    txtUserName = new QLineEdit(Text(station.Export.Account.UserName), this);
    txtUserName->setObjectName("txtUserName");
    txtPassword = new QLineEdit(Text(station.Export.Account.Password), this);
    txtPassword->setObjectName("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    txtFacility = new QLineEdit(Text(station.Export.Account.Facility), this);
    txtFacility->setObjectName("txtFacility");
    form->addRow("User Name", txtUserName);
    form->addRow("Password", txtPassword);
    form->addRow("Facility", txtFacility);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    cmdApply = new QPushButton("Apply", this);
    cmdApply->setObjectName("cmdApply");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
}

void frmMyAccount::cmdApply_Click() {
    std::string error;
    const MailAccount account{Bytes(txtFacility->text()), Bytes(txtUserName->text()),
                              Bytes(txtPassword->text())};
    if (!SaveMailAccount(station_.Export, station_.platform.files, account, &error))
        ShowError(station_, "Cannot write the mail account: " + error);
}

}  // namespace quillmar
