#include "logs/windows/SignalChart.h"

#include <QAreaSeries>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

namespace quillmar {

namespace {

constexpr qint64 kHourMs = 3'600'000;
// Polls are an hour apart at most; a longer silence is a gap, not a straight line.
constexpr qint64 kGapMs = 2 * kHourMs + 60'000;

QDate ToQDate(const Date& d) {
    return QDate(d.year, d.month, d.day);
}

QString ValueText(double db) {
    return QString::number(db, 'f', 1) + " dB";
}

}  // namespace

qint64 SignalAxisMs(const LogMoment& m) {
    const QDateTime wall(ToQDate(m.at.date),
                         QTime::fromMSecsSinceStartOfDay(static_cast<int>(m.at.msOfDay)),
                         Qt::LocalTime);
    const qint64 at = wall.toMSecsSinceEpoch();
    // Qt picks one reading of an ambiguous wall time; look for the other one an hour away.
    const auto wallOf = [](qint64 ms) {
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
        return std::pair{t.date(), t.time()};
    };
    const auto target = std::pair{wall.date(), wall.time()};
    if (m.afterSetBack && wallOf(at + kHourMs) == target) return at + kHourMs;
    if (!m.afterSetBack && wallOf(at - kHourMs) == target) return at - kHourMs;
    return at;
}

qint64 SignalDayStartMs(const Date& day) {
    return QDateTime(ToQDate(day), QTime(0, 0), Qt::LocalTime).toMSecsSinceEpoch();
}

QString SignalTimeText(const LogMoment& m, bool withDate) {
    const QString time = QString::fromStdString(TimeText(m.at));
    if (!withDate) return time;
    return ToQDate(m.at.date).toString("MM/dd/yy") + " " + time;
}

namespace {

// SignalAxisMs for a run of moments: a day of 24 hours is its start plus the time of day, so
// only the two daylight-saving days of a year need the zone's rules for each line.
class AxisOfDays {
  public:
    qint64 operator()(const LogMoment& m) {
        if (m.at.date != day_) {
            day_ = m.at.date;
            start_ = SignalDayStartMs(day_);
            plain_ = SignalDayStartMs(day_.addDays(1)) - start_ == 24 * kHourMs;
        }
        return plain_ ? start_ + m.at.msOfDay : SignalAxisMs(m);
    }

  private:
    Date day_;
    qint64 start_ = 0;
    bool plain_ = false;
};

}  // namespace

void BuildSignalChart(QChart& chart, const SignalHistory& h,
                      const std::function<void(const QString&)>& hover) {
    const bool withDate = h.first != h.last;
    AxisOfDays axisMs;
    const qint64 from = SignalDayStartMs(h.first), to = SignalDayStartMs(h.last.addDays(1));

    double lo = INFINITY, hi = -INFINITY;
    for (const auto& s : h.samples)
        if (s.hasValue()) lo = std::min(lo, s.ebNoDb), hi = std::max(hi, s.ebNoDb);
    if (lo > hi) lo = 0, hi = 15;
    lo = std::min(lo - 1, 0.0);  // 0 dB stays in sight unless the figures go below it
    hi = hi + 1;

    auto* xAxis = new QDateTimeAxis;
    xAxis->setFormat(withDate ? "MM/dd hh:mm" : "hh:mm");
    xAxis->setTickCount(withDate ? 8 : 13);
    xAxis->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
    auto* yAxis = new QValueAxis;
    yAxis->setRange(lo, hi);
    yAxis->applyNiceNumbers();
    lo = yAxis->min();
    hi = yAxis->max();
    yAxis->setLabelFormat("%.0f");
    yAxis->setTitleText("Eb/No (dB)");
    chart.addAxis(xAxis, Qt::AlignBottom);
    chart.addAxis(yAxis, Qt::AlignLeft);
    const auto attach = [&](QAbstractSeries* series) {
        chart.addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    };

    // Bands: one area per kind, its upper edge stepping up over each span. A span too short to
    // see on the axis still gets a sliver.
    const qint64 minWidth = std::max<qint64>(60'000, (to - from) / 600);
    for (auto [kind, name, colour] :
         {std::tuple{SpanKind::ReceiverAlarm, kReceiverAlarmSeries, QColor(220, 60, 60, 90)},
          std::tuple{SpanKind::SilenceAlarm, kSilenceAlarmSeries, QColor(230, 160, 30, 90)}}) {
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        for (const auto& span : h.spans) {
            if (span.kind != kind) continue;
            const qint64 s = axisMs(span.start);
            const qint64 e = std::max(axisMs(span.end), s + minWidth);
            upper->append(s, lo);
            upper->append(s, hi);
            upper->append(e, hi);
            upper->append(e, lo);
        }
        lower->append(from, lo);
        lower->append(to, lo);
        auto* area = new QAreaSeries(upper, lower);
        // The area does not own its edges; they go with it when the chart is replaced.
        upper->setParent(area);
        lower->setParent(area);
        area->setName(name);
        area->setColor(colour);
        area->setPen(Qt::NoPen);  // a border would draw the lower edge along the whole axis
        attach(area);
        if (upper->count() == 0) area->setVisible(false);
    }

    // The Eb/No line, broken at gaps and at polls without a figure.
    std::vector<QList<QPointF>> pieces;
    qint64 previous = 0;
    bool open = false;
    for (const auto& s : h.samples) {
        const qint64 x = axisMs(s.when);
        if (!s.hasValue() || (open && x - previous > kGapMs)) open = false;
        if (!s.hasValue()) continue;
        if (!open) pieces.emplace_back();
        open = true;
        pieces.back().append(QPointF(static_cast<qreal>(x), s.ebNoDb));
        previous = x;
    }
    // A month at one poll a minute is far more points than pixels, and drawing them all
    // makes every repaint slow: keep each slice's lowest and highest poll, so a drop still
    // shows at full depth.
    std::size_t total = 0;
    for (const auto& piece : pieces) total += static_cast<std::size_t>(piece.size());
    if (total > 4000) {
        const qint64 slice = std::max<qint64>(1, (to - from) / 1500);
        for (auto& piece : pieces) {
            QList<QPointF> kept;
            for (qsizetype i = 0; i < piece.size();) {
                const qint64 key = (static_cast<qint64>(piece[i].x()) - from) / slice;
                qsizetype low = i, high = i, j = i;
                for (;
                     j < piece.size() && (static_cast<qint64>(piece[j].x()) - from) / slice == key;
                     ++j) {
                    if (piece[j].y() < piece[low].y()) low = j;
                    if (piece[j].y() > piece[high].y()) high = j;
                }
                kept.append(piece[std::min(low, high)]);
                if (low != high) kept.append(piece[std::max(low, high)]);
                i = j;
            }
            piece = std::move(kept);
        }
    }
    const QColor lineColour(30, 90, 180);
    for (const auto& piece : pieces) {
        auto* line = new QLineSeries;
        line->setName(kEbNoSeries);
        line->setColor(lineColour);
        line->replace(piece);
        attach(line);
        if (&piece != &pieces.front()) chart.legend()->markers(line).value(0)->setVisible(false);
        if (hover)
            QObject::connect(
                line, &QLineSeries::hovered, line,
                [line, hover, withDate](const QPointF& p, bool on) {
                    if (!on) return hover(QString());
                    // The pointer lies somewhere on the line: name the nearest poll.
                    const auto points = line->points();
                    const auto best = std::min_element(
                        points.begin(), points.end(), [&](const QPointF& a, const QPointF& b) {
                            return std::abs(a.x() - p.x()) < std::abs(b.x() - p.x());
                        });
                    if (best == points.end()) return;
                    const auto at = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(best->x()));
                    hover(at.toString(withDate ? "MM/dd/yy hh:mm:ss" : "hh:mm:ss") + "  " +
                          ValueText(best->y()));
                });
    }

    auto* marks = new QScatterSeries;
    marks->setName(kRecordingSeries);
    marks->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    marks->setMarkerSize(9);
    marks->setColor(QColor(40, 150, 70));
    marks->setBorderColor(QColor(40, 150, 70));
    QStringList names;
    for (const auto& r : h.recordings) {
        marks->append(static_cast<qreal>(axisMs(r.start)), lo + (hi - lo) / 40);
        names << SignalTimeText(r.start, withDate) + "  " + QString::fromStdString(r.name);
    }
    attach(marks);
    if (hover)
        QObject::connect(marks, &QScatterSeries::hovered, marks,
                         [marks, names, hover](const QPointF& p, bool on) {
                             if (!on) return hover(QString());
                             const auto points = marks->points();
                             for (qsizetype i = 0; i < points.size() && i < names.size(); ++i)
                                 if (points[i] == p) return hover(names[i]);
                         });
    chart.legend()->setAlignment(Qt::AlignBottom);
}

}  // namespace quillmar
