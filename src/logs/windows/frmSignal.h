#pragma once

#include <QWidget>
#include <cstdint>

#include "logs/SignalHistory.h"
#include "platform/BackgroundWork.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace quillmar {

class Station;

// Eb/No over today, the last 7 or the last 31 days, with the receiver alarms, silence alarms
// and recordings of the logs; read again after each poll and alarm while it is open.
// The logs are read off the loop; the chart changes when they have been.
class frmSignal : public QWidget {
    Q_OBJECT
  public:
    explicit frmSignal(Station& station, QWidget* parent = nullptr);

    QComboBox* cboPeriod;  // "Today", "Last 7 days", "Last 31 days"
    QChartView* chtSignal;
    QLabel *lblPoint, *lblSummary;
    QPushButton* cmdClose;

    const SignalHistory& history() const { return history_; }
    void reload();

    static constexpr int kPeriodDays[] = {1, 7, 31};

  private:
    void follow();
    void showHistory(SignalHistory history);

    Station& station_;
    SignalHistory history_;
    std::uint32_t lastPolled_ = 0;  // the Eb/No lines written when the logs were read
    bool lastAlarm_ = false;
    Date lastDay_;
    int requests_ = 0;
    CompletionGuard guard_;  // a read that ends after the window went is not shown
};

// A one-line account of a history: polls, alarms, recordings, lines skipped.
QString SignalSummary(const SignalHistory& history);

}  // namespace quillmar
