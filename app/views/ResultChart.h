// The result chart of an ended choice question: one bar per distinct answer
// (green when it is the answer key, red otherwise), a bar for the students
// without an answer, and every bar's share of the class above it, drawn by
// QCustomPlot. Whatever the chart's size, it fits itself to it: the value
// axis runs to the tallest bar with room for its share above it, and a
// label too wide for its bar breaks onto several lines or, when even that
// is not enough, gets smaller.
#pragma once

#include "session/Statistics.h"

#include <QWidget>

#include <vector>

class QCustomPlot;

namespace lumora {

class TResultChart : public QWidget {
    Q_OBJECT
public:
    explicit TResultChart(QWidget *parent = nullptr);

    // Removes every bar and mark.
    void ClearBars();
    // Without bars the value axis runs from 0 to maximum (the class size),
    // or over one increment when maximum is 0.
    void SetAxisMaximum(int maximum);
    int AxisMaximum() const;
    // Replaces the bars with the statistics. The value axis runs to the
    // tallest bar and the room its share needs above it, in whole students;
    // without bars, to the statistics' total.
    void ShowStatistics(const Statistics &statistics);
    void SetAxisTitle(const QString &title);

    // What the chart shows, for tests: bar labels (as counted, before they
    // are broken onto lines), values, colours and marks.
    QStringList BarLabels() const;
    std::vector<int> BarValues() const;
    std::vector<QColor> BarColours() const;
    QStringList MarkTexts() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Fit();
    bool FitOnce();

    QCustomPlot *plot_;
    QStringList labels_;
    int emptyMaximum_ = 0;
};

} // namespace lumora
