#include "export/windows/frmSelectFormat.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace quillmar {

frmSelectFormat::frmSelectFormat(const std::vector<WaveFormat>& formats, const WaveFormat& start,
                                 QWidget* parent)
    : QDialog(parent), formats_(formats), start_(start) {
    setObjectName("ACM");
    setWindowTitle("Select...");
    lstFormat = new QListWidget(this);
    lstFormat->setObjectName("lstFormat");
    for (std::size_t i = 0; i < formats_.size(); ++i) {
        lstFormat->addItem(QString::fromStdString(formats_[i].name));
        if (formats_[i].name == start_.name) lstFormat->setCurrentRow(static_cast<int>(i));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstFormat, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstFormat);
    layout->addWidget(buttons);
}

WaveFormat frmSelectFormat::chosen() const {
    const int row = lstFormat->currentRow();
    if (row < 0 || row >= static_cast<int>(formats_.size())) return start_;
    return formats_[static_cast<std::size_t>(row)];
}

bool frmSelectFormat::Choose(QWidget* parent, const std::vector<WaveFormat>& formats,
                             WaveFormat* chosen) {
    frmSelectFormat dialog(formats, *chosen, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    *chosen = dialog.chosen();
    return true;
}

}  // namespace quillmar
