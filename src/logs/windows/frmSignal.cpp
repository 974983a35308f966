#include "logs/windows/frmSignal.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Station.h"
#include "logs/windows/SignalChart.h"

namespace quillmar {

QString SignalSummary(const SignalHistory& h) {
    const auto polls = std::count_if(h.samples.begin(), h.samples.end(),
                                     [](const auto& s) { return s.hasValue(); });
    const auto alarms = std::count_if(h.spans.begin(), h.spans.end(), [](const auto& s) {
        return s.kind == SpanKind::ReceiverAlarm;
    });
    QString text = QString("Polls: %1   Receiver alarms: %2   Silence alarms: %3   Recordings: %4")
                       .arg(polls)
                       .arg(alarms)
                       .arg(static_cast<qsizetype>(h.spans.size()) - alarms)
                       .arg(h.recordings.size());
    if (h.skippedLines > 0)
        text += QString("   Unreadable log lines skipped: %1").arg(h.skippedLines);
    return text;
}

frmSignal::frmSignal(Station& station, QWidget* parent) : QWidget(parent), station_(station) {
    setWindowTitle("Signal");
    cboPeriod = new QComboBox(this);
    cboPeriod->setObjectName("cboPeriod");
    cboPeriod->addItems({"Today", "Last 7 days", "Last 31 days"});
    cboPeriod->setCurrentIndex(1);  // a week shows whether a fade comes back at the same hour
    chtSignal = new QChartView(new QChart, this);
    chtSignal->setObjectName("chtSignal");
    chtSignal->setRenderHint(QPainter::Antialiasing);
    lblPoint = new QLabel(this);
    lblPoint->setObjectName("lblPoint");
    lblSummary = new QLabel(this);
    lblSummary->setObjectName("lblSummary");
    cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cboPeriod, &QComboBox::currentIndexChanged, this, [this] { reload(); });

    auto* top = new QHBoxLayout;
    top->addWidget(cboPeriod);
    top->addWidget(lblPoint, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblSummary, 1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(chtSignal, 1);
    layout->addLayout(bottom);
    resize(900, 480);

    lastPolled_ = station_.receiver.EbNoLogged;
    lastAlarm_ = station_.remote.ReceiverAlarm;
    QPointer<frmSignal> self(this);
    station_.onChanged([self] {
        if (!self) return false;
        self->follow();
        return true;
    });
    reload();
}

void frmSignal::follow() {
    // A poll's line in the log; an alarm starting or ending, or a new day, changes what the
    // logs say too.
    const bool polled = station_.receiver.EbNoLogged != lastPolled_;
    const bool alarm = station_.remote.ReceiverAlarm != lastAlarm_;
    const bool newDay = station_.platform.clock.now().date != lastDay_;
    lastPolled_ = station_.receiver.EbNoLogged;
    lastAlarm_ = station_.remote.ReceiverAlarm;
    if (polled || alarm || newDay) reload();
}

void frmSignal::reload() {
    const int days = kPeriodDays[std::clamp(cboPeriod->currentIndex(), 0, 2)];
    lastDay_ = station_.platform.clock.now().date;
    const Date first = lastDay_.addDays(1 - days), last = lastDay_;
    // A month of logs is read off the loop; only the newest read is shown.
    const int request = ++requests_;
    RunInBackground(
        station_.platform.background,
        [&files = station_.platform.files, first, last] {
            return ReadSignalHistory(files, first, last);
        },
        guard_.wrap([this, request](SignalHistory history) {
            if (request == requests_) showHistory(std::move(history));
        }));
}

void frmSignal::showHistory(SignalHistory history) {
    history_ = std::move(history);
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    QPointer<QLabel> point(lblPoint);
    BuildSignalChart(*chart, history_, [point](const QString& text) {
        if (point) point->setText(text);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(QCursor::pos(), text);
    });
    QChart* old = chtSignal->chart();
    chtSignal->setChart(chart);
    delete old;
    lblPoint->clear();
    lblSummary->setText(SignalSummary(history_));
}

}  // namespace quillmar
