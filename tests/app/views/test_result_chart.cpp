// The result chart fitted to the room it gets: the value axis runs to the
// tallest bar with room for its share above it, and the bars' labels, their
// shares and the axis title fit at the chart sizes of the program's views,
// in both languages.
#include "views/CustomPlot.h"
#include "views/ResultChart.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <algorithm>

namespace lumora::test {
namespace {

// Bars as the statistics make them: the answers A, B, AB, C, ... with the
// counts given, then the no-answer bar of unanswered students.
Statistics Bars(const std::vector<int> &counts, int unanswered, const QString &noAnswer) {
    Statistics statistics;
    for (size_t i = 0; i < counts.size(); ++i) {
        QString letters;
        for (int bit = 0; bit < 4; ++bit) {
            if ((i + 1) & (1u << bit)) {
                letters += QChar(u'A' + bit);
            }
        }
        statistics.bars.push_back({letters, letters + QStringLiteral("  %1").arg(counts[i]),
                                   counts[i], StatisticsBar::Kind::Wrong});
        statistics.total += counts[i];
    }
    if (unanswered > 0) {
        statistics.bars.push_back({QString(), noAnswer + QStringLiteral("  %1").arg(unanswered),
                                   unanswered, StatisticsBar::Kind::Unanswered});
        statistics.total += unanswered;
    }
    return statistics;
}

struct FitCase {
    const char *name;
    QSize size; // the chart's, as the program's views give it
    std::vector<int> counts;
    int unanswered;
    QString noAnswer;
    QString title;
    bool fullSize; // the labels keep their 16 pixels on one line
};

void PrintTo(const FitCase &c, std::ostream *os) {
    *os << c.name;
}

const QString kChineseNoAnswer = QStringLiteral("未选择");
const QString kChineseTitle = QStringLiteral("选择人数");
const QString kEnglishNoAnswer = QStringLiteral("No answer");
const QString kEnglishTitle = QStringLiteral("Number of students");
// A four-letter multiple choice answered every way there is.
const std::vector<int> kEveryAnswer = {3, 1, 12, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1};

class ChartFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ChartFit, LabelsSharesAndTitleFitAndTheAxisEndsAboveTheTallestBar) {
    const FitCase &c = GetParam();
    TResultChart chart;
    chart.resize(640, 480);
    chart.show();
    chart.SetAxisTitle(c.title);
    const Statistics statistics = Bars(c.counts, c.unanswered, c.noAnswer);
    chart.ShowStatistics(statistics);
    chart.resize(c.size); // fitted again to its new size
    const auto *plot = chart.findChild<QCustomPlot *>();
    ASSERT_NE(plot, nullptr);
    const QRect area = plot->axisRect()->rect();
    const QCPAxis *labels = plot->xAxis;
    const double pitch = labels->coordToPixel(1) - labels->coordToPixel(0);

    // Every label whole, each of its lines within its bar's width.
    const QVector<QString> drawn = labels->tickVectorLabels();
    ASSERT_EQ(drawn.size(), static_cast<qsizetype>(statistics.bars.size()));
    const QFontMetrics labelMetrics(labels->tickLabelFont());
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        const QString &label = statistics.bars[static_cast<size_t>(i)].label;
        EXPECT_EQ(QString(drawn[i]).remove(u'\n').remove(u' '), QString(label).remove(u' '))
            << label.toStdString();
        for (const QString &line : drawn[i].split(u'\n')) {
            EXPECT_LE(labelMetrics.horizontalAdvance(line), pitch) << line.toStdString();
        }
        if (c.fullSize) {
            EXPECT_EQ(drawn[i], label);
        }
    }
    if (c.fullSize) {
        EXPECT_EQ(labels->tickLabelFont().pixelSize(), 16);
    }

    // The shares within their bars' widths and below the plot's top.
    const std::vector<int> counts = chart.BarValues();
    const int tallest = *std::max_element(counts.begin(), counts.end());
    int marks = 0;
    for (int i = 0; i < plot->itemCount(); ++i) {
        if (const auto *mark = qobject_cast<QCPItemText *>(plot->item(i))) {
            ++marks;
            EXPECT_LE(QFontMetrics(mark->font()).horizontalAdvance(mark->text()), pitch);
            EXPECT_GE(mark->top->pixelPosition().y(), area.top()) << mark->text().toStdString();
        }
    }
    EXPECT_EQ(marks, static_cast<int>(statistics.bars.size()));

    // The title along the plot's height.
    const QCPAxis *values = plot->yAxis;
    EXPECT_EQ(values->label(), c.title);
    EXPECT_LE(QFontMetrics(values->labelFont()).horizontalAdvance(c.title), area.height());

    // The axis: the tallest bar reaches at least halfway up, not a class
    // size's worth of empty plot above it.
    EXPECT_EQ(chart.AxisMaximum(), qRound(values->range().upper));
    EXPECT_GE(2 * tallest, chart.AxisMaximum()) << tallest;
}

// The chart areas of the program: the live view (1727 x 1019 on a 1920 x
// 1080 screen, 1173 x 707 on 1366 x 768) and the lesson history's, beside
// its student table (1345 x 730, 780 x 420; 490 x 420 on 1024 x 768).
INSTANTIATE_TEST_SUITE_P(
    Sizes, ChartFit,
    ::testing::Values(
        FitCase{
            "live-1920-few", {1727, 1019}, {4, 6, 2, 11}, 7, kEnglishNoAnswer, kEnglishTitle, true},
        FitCase{"history-1366-few",
                {780, 420},
                {4, 6, 2, 11},
                7,
                kEnglishNoAnswer,
                kEnglishTitle,
                true},
        FitCase{"history-1366-one", {780, 420}, {1}, 29, kChineseNoAnswer, kChineseTitle, true},
        FitCase{"history-1366-all", {780, 420}, {30}, 0, kChineseNoAnswer, kChineseTitle, true},
        FitCase{"live-1920-every",
                {1727, 1019},
                kEveryAnswer,
                4,
                kEnglishNoAnswer,
                kEnglishTitle,
                false},
        FitCase{"live-1366-every",
                {1173, 707},
                kEveryAnswer,
                4,
                kEnglishNoAnswer,
                kEnglishTitle,
                false},
        FitCase{"history-1920-every",
                {1345, 730},
                kEveryAnswer,
                4,
                kChineseNoAnswer,
                kChineseTitle,
                false},
        FitCase{"history-1366-every-en",
                {780, 420},
                kEveryAnswer,
                4,
                kEnglishNoAnswer,
                kEnglishTitle,
                false},
        FitCase{"history-1366-every-zh",
                {780, 420},
                kEveryAnswer,
                4,
                kChineseNoAnswer,
                kChineseTitle,
                false},
        FitCase{"history-1024-few",
                {490, 420},
                {4, 6, 2, 11},
                7,
                kEnglishNoAnswer,
                kEnglishTitle,
                false}));

TEST(ChartAxis, WithoutBarsRunsToTheClassOrOneIncrement) {
    TResultChart chart;
    chart.resize(780, 420);
    chart.SetAxisMaximum(30);
    EXPECT_EQ(chart.AxisMaximum(), 30);
    chart.ShowStatistics(Bars({2}, 1, kChineseNoAnswer));
    EXPECT_LT(chart.AxisMaximum(), 30);
    chart.ClearBars();
    EXPECT_EQ(chart.AxisMaximum(), 3); // the statistics' class
    chart.ShowStatistics(Statistics{});
    EXPECT_EQ(chart.AxisMaximum(), 10);
}

} // namespace
} // namespace lumora::test
