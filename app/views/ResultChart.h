// The result chart of an ended choice question: one bar per distinct answer
// (green when it is the answer key, red otherwise), a bar for the students
// without an answer, and every bar's share of the class above it.
#pragma once

#include "session/Statistics.h"

#include <QWidget>

#include <vector>

class QChart;
class QChartView;
class QStackedBarSeries;
class QBarCategoryAxis;
class QValueAxis;
class QGraphicsSimpleTextItem;
class QGraphicsLineItem;

namespace lumora {

class TResultChart : public QWidget {
    Q_OBJECT
public:
    explicit TResultChart(QWidget *parent = nullptr);

    // Removes every bar and mark.
    void ClearBars();
    // The left axis runs from 0 to maximum.
    void SetAxisMaximum(int maximum);
    int AxisMaximum() const;
    // Replaces the bars with the statistics and sets the axis to its total.
    void ShowStatistics(const Statistics &statistics);
    void SetAxisTitle(const QString &title);
    // The bars' labels in another size (16 pixels by default): a chart
    // narrower than the view area would cut them short.
    void SetLabelPixelSize(int pixels);

    // What the chart shows, for tests: bar labels, values, colours and marks.
    QStringList BarLabels() const;
    std::vector<int> BarValues() const;
    std::vector<QColor> BarColours() const;
    QStringList MarkTexts() const;

private:
    void PlaceMarks();

    QChartView *view_;
    QChart *chart_;
    QStackedBarSeries *series_;
    QBarCategoryAxis *categories_;
    QValueAxis *values_;
    std::vector<int> counts_;
    QStringList labels_;
    std::vector<QGraphicsSimpleTextItem *> marks_;
    std::vector<QGraphicsLineItem *> arrows_;
};

} // namespace lumora
