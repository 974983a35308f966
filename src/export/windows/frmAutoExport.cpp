#include "export/windows/frmAutoExport.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <memory>

#include "core/Station.h"
#include "core/windows/WindowText.h"

namespace quillmar {

namespace {

void SetText(QLineEdit* box, const std::string& cp1252) {
    const QString t = Text(cp1252);
    if (box->text() != t) box->setText(t);
}

}  // namespace

frmAutoExport::frmAutoExport(Station& station, QWidget* parent)
    : QWidget(parent),
      station_(station),
      setup_(station.Export, station.schedule, station.platform.errors) {
    setObjectName("frmAutoExport");
    setWindowTitle("Export SetUp");

    auto* menuBar = new QMenuBar(this);
    QMenu* files = menuBar->addMenu("&Files");
    mnuExit = files->addAction("E&xit");
    mnuExit->setObjectName("mnuExit");
    QMenu* view = menuBar->addMenu("View");
    mnuNames = view->addAction("Names");
    mnuNames->setObjectName("mnuNames");
    mnuNumber = view->addAction("Number");
    mnuNumber->setObjectName("mnuNumber");

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lstName = new QListWidget(this);
    lstName->setObjectName("lstName");
    lstName->setFont(fixed);
    lstName->setMinimumWidth(330);

    Label3 = new QLabel("Naming", this);
    Label3->setObjectName("Label3");
    naming_ = new QButtonGroup(this);
    const char* options[] = {"Inactive", "User Defined", "Winjock"};
    auto* namingRow = new QHBoxLayout;
    namingRow->addWidget(Label3);
    for (int i = 0; i < 3; ++i) {
        Option1[static_cast<std::size_t>(i)] = new QRadioButton(options[i], this);
        Option1[static_cast<std::size_t>(i)]->setObjectName(QString("Option1_%1").arg(i));
        naming_->addButton(Option1[static_cast<std::size_t>(i)], i);
        namingRow->addWidget(Option1[static_cast<std::size_t>(i)]);
    }

    Label1 = new QLabel("Path\\folder\\filename", this);
    Label1->setObjectName("Label1");
    auto* days = new QGridLayout;
    days->addWidget(Label1, 0, 1);
    for (int d = 1; d <= 7; ++d) {
        chkDay[static_cast<std::size_t>(d)] = new QCheckBox(this);
        chkDay[static_cast<std::size_t>(d)]->setObjectName(QString("chkDay_%1").arg(d));
        txtPath[static_cast<std::size_t>(d)] = new QLineEdit(this);
        txtPath[static_cast<std::size_t>(d)]->setObjectName(QString("txtPath_%1").arg(d));
        txtPath[static_cast<std::size_t>(d)]->setFont(fixed);
        txtPath[static_cast<std::size_t>(d)]->setMinimumWidth(260);
        txtPath[static_cast<std::size_t>(d)]->installEventFilter(this);
        // Typed keys are filtered before they arrive; what a paste or drop inserted is
        // filtered after, leaving the text around it as it was.
        QLineEdit* box = txtPath[static_cast<std::size_t>(d)];
        auto before = std::make_shared<QString>();
        connect(box, &QLineEdit::textChanged, this, [before](const QString& t) { *before = t; });
        connect(box, &QLineEdit::textEdited, this, [this, box, before](const QString& text) {
            qsizetype head = 0, tail = 0;
            while (head < before->size() && head < text.size() && before->at(head) == text[head])
                ++head;
            while (tail < before->size() - head && tail < text.size() - head &&
                   before->at(before->size() - 1 - tail) == text[text.size() - 1 - tail])
                ++tail;
            const std::string inserted = Bytes(text.mid(head, text.size() - head - tail));
            const std::string kept = setup_.txtPath_Filter(inserted);
            if (kept == inserted) return;
            box->setText(text.left(head) + Text(kept) + text.right(tail));
            box->setCursorPosition(static_cast<int>(head + Text(kept).size()));
        });
        days->addWidget(chkDay[static_cast<std::size_t>(d)], d, 0);
        days->addWidget(txtPath[static_cast<std::size_t>(d)], d, 1);
    }

    Label2 = new QLabel("Length", this);
    Label2->setObjectName("Label2");
    txtLength = new QLineEdit(this);
    txtLength->setObjectName("txtLength");
    txtLength->setMaximumWidth(70);
    chkFade = new QCheckBox("Fade", this);
    chkFade->setObjectName("chkFade");
    Label4 = new QLabel("Winjock Number", this);
    Label4->setObjectName("Label4");
    txtNumber = new QLineEdit(this);
    txtNumber->setObjectName("txtNumber");
    txtNumber->setMaximumWidth(70);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(Label2);
    lengthRow->addWidget(txtLength);
    lengthRow->addWidget(chkFade);
    lengthRow->addStretch(1);
    lengthRow->addWidget(Label4);
    lengthRow->addWidget(txtNumber);

    cmdApply = new QPushButton("Apply", this);
    cmdApply->setObjectName("cmdApply");
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdClose);

    auto* right = new QVBoxLayout;
    right->addLayout(namingRow);
    right->addLayout(days);
    right->addLayout(lengthRow);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(lstName, 1);
    layout->addLayout(right);

    connect(lstName, &QListWidget::currentRowChanged, this, [this](int row) {
        setup_.lstName_Click(row);
        render();
    });
    connect(naming_, &QButtonGroup::idClicked, this, [this](int id) {
        collect();
        setup_.Option1_Click(id);
        render();
    });
    for (int d = 1; d <= 7; ++d)
        connect(chkDay[static_cast<std::size_t>(d)], &QCheckBox::clicked, this, [this] {
            collect();
            setup_.chkDay_MouseUp();
            render();
        });
    connect(cmdApply, &QPushButton::clicked, this, [this] {
        collect();
        setup_.cmdApply_Click();
        render();
    });
    connect(mnuNames, &QAction::triggered, this, [this] {
        collect();
        setup_.SetView(ProgramView::Names);
        render();
    });
    connect(mnuNumber, &QAction::triggered, this, [this] {
        collect();
        setup_.SetView(ProgramView::Number);
        render();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    setup_.Load();
    render();
}

void frmAutoExport::collect() {
    for (std::size_t d = 0; d < 7; ++d) {
        setup_.chkDay[d] = chkDay[d + 1]->isChecked();
        setup_.txtPath[d] = Bytes(txtPath[d + 1]->text());
    }
    setup_.txtLength = Bytes(txtLength->text());
    setup_.chkFade = chkFade->isChecked();
    setup_.txtNumber = Bytes(txtNumber->text());
}

void frmAutoExport::render() {
    {
        const QSignalBlocker quiet(lstName);
        bool same = lstName->count() == static_cast<int>(setup_.lstName.size());
        for (int i = 0; same && i < lstName->count(); ++i)
            same =
                lstName->item(i)->text() == Text(setup_.lstName[static_cast<std::size_t>(i)].text);
        if (!same) {
            lstName->clear();
            for (const auto& line : setup_.lstName) lstName->addItem(Text(line.text));
        }
        if (lstName->currentRow() != setup_.lstNameIndex)
            lstName->setCurrentRow(setup_.lstNameIndex);
    }
    naming_->setExclusive(false);
    for (int i = 0; i < 3; ++i)
        Option1[static_cast<std::size_t>(i)]->setChecked(setup_.Naming ==
                                                         static_cast<ExportNaming>(i));
    naming_->setExclusive(true);
    for (std::size_t d = 0; d < 7; ++d) {
        chkDay[d + 1]->setText(Text(setup_.chkDayCaption[d]));
        chkDay[d + 1]->setChecked(setup_.chkDay[d]);
        SetText(txtPath[d + 1], setup_.txtPath[d]);
        txtPath[d + 1]->setEnabled(setup_.txtPathEnabled[d]);
        // Disabled text would be light grey on that grey: the example name is meant to be read.
        txtPath[d + 1]->setStyleSheet(setup_.txtPathColour[d] == kPathBoxGreyColour
                                          ? "QLineEdit { background-color: #C0C0C0; color: black; }"
                                          : "");
    }
    SetText(txtLength, setup_.txtLength);
    chkFade->setChecked(setup_.chkFade);
    SetText(txtNumber, setup_.txtNumber);
    txtNumber->setVisible(setup_.txtNumberVisible);
    Label4->setVisible(setup_.txtNumberVisible);
}

bool frmAutoExport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (std::size_t d = 1; d <= 7; ++d) {
            if (watched != txtPath[d]) continue;
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Backspace || key->text().isEmpty() ||
                !key->text().at(0).isPrint())
                return false;  // editing and moving keys
            const std::string c = Bytes(key->text().left(1));
            return !setup_.txtPath_KeyPress(c.empty() ? '?' : c[0]);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillmar
