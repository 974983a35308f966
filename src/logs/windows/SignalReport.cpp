#include "logs/windows/SignalReport.h"

#include <QChart>
#include <QDate>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QSvgGenerator>

#include "logs/windows/SignalChart.h"

namespace quillmar {

bool WriteSignalPicture(const SignalHistory& history, const std::string& path, std::string* error) {
    const QString name = QString::fromStdString(path);
    const bool svg = name.endsWith(".svg", Qt::CaseInsensitive);
    if (!svg && !name.endsWith(".png", Qt::CaseInsensitive)) {
        *error = "the output must end in .png or .svg (or be - for CSV): " + path;
        return false;
    }
    auto* chart = new QChart;
    BuildSignalChart(*chart, history);
    const auto text = [](const Date& d) {
        return QDate(d.year, d.month, d.day).toString("MM/dd/yy");
    };
    const QString days = history.first == history.last
                             ? text(history.first)
                             : text(history.first) + " - " + text(history.last);
    chart->setTitle("Eb/No " + days);
    // The chart alone in a scene of the report's size: a view that is never shown would not
    // lay it out.
    const QRectF area(0, 0, kSignalReportWidth, kSignalReportHeight);
    QGraphicsScene scene;
    scene.addItem(chart);  // owns the chart
    scene.setSceneRect(area);
    scene.setBackgroundBrush(Qt::white);
    chart->setGeometry(area);
    chart->layout()->activate();
    bool ok = true;
    if (svg) {
        QSvgGenerator generator;
        generator.setFileName(name);
        generator.setSize(area.size().toSize());
        generator.setViewBox(area);
        generator.setTitle("Eb/No " + days);
        QPainter painter;
        ok = painter.begin(&generator);
        if (ok) {
            painter.setRenderHint(QPainter::Antialiasing);
            scene.render(&painter, area, area);
            ok = painter.end() && QFileInfo(name).size() > 0;
        }
    } else {
        QImage image(area.size().toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, area, area);
        painter.end();
        ok = image.save(name, "PNG");
    }
    if (!ok) *error = "cannot write " + path;
    return ok;
}

}  // namespace quillmar
