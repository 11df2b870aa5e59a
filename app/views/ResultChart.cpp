#include "views/ResultChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace lumora {

namespace {
const QColor kBackground(251, 252, 253);
const QColor kSeriesColour(0, 64, 128);
const QColor kCorrect(0, 128, 0);
const QColor kWrong(255, 0, 0);
constexpr int kArrowLength = 20;
constexpr int kAxisIncrement = 10;

QFont PixelFont(int pixels, bool bold) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

TResultChart::TResultChart(QWidget *parent) : QWidget(parent) {
    chart_ = new QChart();
    chart_->legend()->hide();
    chart_->setBackgroundBrush(kBackground);
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(20, 40, 20, 10));
    chart_->setAnimationOptions(QChart::NoAnimation);

    // Stacked, with each bar in a set of its own, so that every bar has its
    // own colour and stands alone in its category.
    series_ = new QStackedBarSeries();
    series_->setBarWidth(0.55);
    chart_->addSeries(series_);

    categories_ = new QBarCategoryAxis();
    categories_->setLabelsFont(PixelFont(16, true));
    categories_->setGridLineVisible(false);
    categories_->setLineVisible(true);
    chart_->addAxis(categories_, Qt::AlignBottom);
    series_->attachAxis(categories_);

    values_ = new QValueAxis();
    values_->setRange(0, 0);
    values_->setTickType(QValueAxis::TicksDynamic);
    values_->setTickAnchor(0);
    values_->setTickInterval(kAxisIncrement);
    values_->setMinorTickCount(5);
    values_->setLabelFormat(QStringLiteral("%d"));
    values_->setGridLineVisible(false);
    values_->setMinorGridLineVisible(false);
    values_->setTitleFont(PixelFont(16, false));
    chart_->addAxis(values_, Qt::AlignLeft);
    series_->attachAxis(values_);

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("cht2"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setBackgroundBrush(kBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    connect(chart_, &QChart::plotAreaChanged, this, [this] { PlaceMarks(); });
}

void TResultChart::ClearBars() {
    series_->clear();
    categories_->clear();
    labels_.clear();
    counts_.clear();
    for (auto *mark : marks_) {
        delete mark;
    }
    for (auto *arrow : arrows_) {
        delete arrow;
    }
    marks_.clear();
    arrows_.clear();
}

void TResultChart::SetAxisMaximum(int maximum) {
    values_->setRange(0, std::max(0, maximum));
    PlaceMarks();
}

int TResultChart::AxisMaximum() const {
    return static_cast<int>(values_->max());
}

void TResultChart::SetAxisTitle(const QString &title) {
    values_->setTitleText(title);
}

void TResultChart::SetLabelPixelSize(int pixels) {
    categories_->setLabelsFont(PixelFont(pixels, true));
}

void TResultChart::ShowStatistics(const Statistics &statistics) {
    ClearBars();
    SetAxisMaximum(statistics.total);
    QStringList labels;
    const int bars = static_cast<int>(statistics.bars.size());
    for (int i = 0; i < bars; ++i) {
        const StatisticsBar &bar = statistics.bars[static_cast<size_t>(i)];
        auto *set = new QBarSet(bar.label);
        for (int j = 0; j < bars; ++j) {
            *set << (j == i ? bar.count : 0);
        }
        switch (bar.kind) {
        case StatisticsBar::Kind::Correct:
            set->setColor(kCorrect);
            break;
        case StatisticsBar::Kind::Wrong:
            set->setColor(kWrong);
            break;
        case StatisticsBar::Kind::Unanswered:
            set->setColor(kSeriesColour);
            break;
        }
        set->setBorderColor(set->color().darker(115));
        series_->append(set);
        // The axis draws its labels as rich text: kept blanks and escaped
        // text show the label as it is. Categories must be unique; two masks
        // can read alike (bit 0 has no letter).
        QString category = QStringLiteral("<span style=\"white-space:pre\">") +
                           bar.label.toHtmlEscaped() + QStringLiteral("</span>");
        while (labels.contains(category)) {
            category += QChar(0x200B);
        }
        labels << category;
        labels_ << bar.label;
        counts_.push_back(bar.count);
    }
    categories_->append(labels);

    // Marks: each bar's share of the sum of all bars, on a short arrow.
    int sum = 0;
    for (int count : counts_) {
        sum += count;
    }
    for (int count : counts_) {
        auto *arrow = new QGraphicsLineItem(chart_);
        arrow->setPen(QPen(QColor(90, 90, 90), 1));
        auto *mark = new QGraphicsSimpleTextItem(FormatPercent(count, sum), chart_);
        mark->setFont(PixelFont(14, true));
        mark->setBrush(QColor(40, 40, 40));
        arrows_.push_back(arrow);
        marks_.push_back(mark);
    }
    PlaceMarks();
}

void TResultChart::PlaceMarks() {
    for (size_t i = 0; i < marks_.size(); ++i) {
        const QPointF top =
            chart_->mapToPosition(QPointF(static_cast<qreal>(i), counts_[i]), series_);
        arrows_[i]->setLine(top.x(), top.y() - 2, top.x(), top.y() - kArrowLength);
        const QRectF box = marks_[i]->boundingRect();
        marks_[i]->setPos(top.x() - box.width() / 2, top.y() - kArrowLength - box.height());
    }
}

QStringList TResultChart::BarLabels() const {
    return labels_;
}

std::vector<int> TResultChart::BarValues() const {
    return counts_;
}

std::vector<QColor> TResultChart::BarColours() const {
    std::vector<QColor> colours;
    for (QBarSet *set : series_->barSets()) {
        colours.push_back(set->color());
    }
    return colours;
}

QStringList TResultChart::MarkTexts() const {
    QStringList texts;
    for (const auto *mark : marks_) {
        texts << mark->text();
    }
    return texts;
}

} // namespace lumora
