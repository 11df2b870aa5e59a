#include "views/ResultChart.h"

#include "views/CustomPlot.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
const QColor kBackground(251, 252, 253);
const QColor kSeriesColour(0, 64, 128);
const QColor kCorrect(0, 128, 0);
const QColor kWrong(255, 0, 0);
const QColor kText(40, 40, 40);
const QColor kAxisLine(110, 110, 110);
constexpr double kBarWidth = 0.55;
constexpr int kArrowLength = 20;
constexpr int kMarkGap = 4;      // between a mark and its arrow, and above the mark
constexpr int kLabelGap = 6;     // between the labels of neighbouring bars
constexpr int kLabelPixels = 16; // the bars' labels and the axis title, as they fit
constexpr int kMarkPixels = 14;
constexpr int kValuePixels = 14;
constexpr int kSmallestPixels = 10;
constexpr int kAxisIncrement = 10;
constexpr int kValueSpacing = 40; // at least, between the value axis's labels
constexpr int kFitRounds = 4;

QFont PixelFont(int pixels, bool bold) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Steps of whole students (1, 2, 5, 10, 20, ...) with minor ticks on whole
// students only.
class TStudentTicker : public QCPAxisTickerFixed {
protected:
    int getSubTickCount(double tickStep) override {
        const int step = qRound(tickStep);
        if (step <= 5) {
            return std::max(0, step - 1);
        }
        return QString::number(step).startsWith(u'2') ? 3 : 4;
    }
};

// The text in lines no wider than width, broken at blanks only, so that a
// word (a Chinese one too) stays whole; a line keeps the blanks inside it.
// fits tells whether every line is that narrow.
QString WrapAtBlanks(const QString &text, const QFontMetrics &metrics, int width, bool *fits) {
    QStringList lines;
    qsizetype start = -1;
    qsizetype end = -1;
    for (const QRegularExpressionMatch &word :
         QRegularExpression(QStringLiteral("\\S+")).globalMatch(text)) {
        if (start >= 0 &&
            metrics.horizontalAdvance(text.mid(start, word.capturedEnd() - start)) > width) {
            lines << text.mid(start, end - start);
            start = -1;
        }
        if (start < 0) {
            start = word.capturedStart();
        }
        end = word.capturedEnd();
    }
    if (start >= 0) {
        lines << text.mid(start, end - start);
    }
    *fits = std::all_of(lines.begin(), lines.end(), [&](const QString &line) {
        return metrics.horizontalAdvance(line) <= width;
    });
    return lines.join(u'\n');
}

// The text in lines no wider than width, broken between words where it can
// and anywhere else where it must.
QString WrapAnywhere(const QString &text, const QFont &font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        const QString part = text.mid(line.textStart(), line.textLength()).trimmed();
        if (!part.isEmpty()) {
            lines << part;
        }
    }
    layout.endLayout();
    return lines.join(u'\n');
}

struct FittedLabels {
    int pixels;
    QStringList texts;
};

// The bars' labels at the largest size down to kSmallestPixels at which
// every one fits width, on several lines where needed (broken at blanks);
// at the smallest size broken inside words too.
FittedLabels FitLabels(const QStringList &labels, int width) {
    for (int pixels = kLabelPixels; pixels >= kSmallestPixels; --pixels) {
        const QFontMetrics metrics(PixelFont(pixels, true));
        FittedLabels fitted{pixels, {}};
        bool fits = true;
        for (const QString &label : labels) {
            fitted.texts << (metrics.horizontalAdvance(label) <= width
                                 ? label // whole, with its blanks
                                 : WrapAtBlanks(label, metrics, width, &fits));
            if (!fits) {
                break;
            }
        }
        if (fits) {
            return fitted;
        }
    }
    FittedLabels fitted{kSmallestPixels, {}};
    for (const QString &label : labels) {
        fitted.texts << WrapAnywhere(label, PixelFont(kSmallestPixels, true), width);
    }
    return fitted;
}

// The largest size from largest down to kSmallestPixels at which every text
// is at most width wide, in one line.
int FitPixels(const QStringList &texts, int width, int largest, bool bold) {
    for (int pixels = largest; pixels > kSmallestPixels; --pixels) {
        const QFontMetrics metrics(PixelFont(pixels, bold));
        if (std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
                return metrics.horizontalAdvance(text) <= width;
            })) {
            return pixels;
        }
    }
    return kSmallestPixels;
}

struct ValueAxis {
    int maximum;
    int step;
};

// The value axis of a plot height pixels high whose tallest bar needs
// headroom pixels above it: the smallest maximum that leaves that room, a
// multiple of the step, the smallest of 1, 2, 5, 10, 20, ... whose labels
// stand kValueSpacing pixels apart. Without bars (tallest 0) the axis runs
// to emptyMaximum.
ValueAxis FitValueAxis(int tallest, int emptyMaximum, int height, int headroom) {
    const int room = height - headroom;
    const double needed = room > 0 ? static_cast<double>(tallest) * height / room : 2.0 * tallest;
    for (int decade = 1;; decade *= 10) {
        for (int factor : {1, 2, 5}) {
            const int step = factor * decade;
            const int maximum =
                tallest > 0 ? step * std::max(1, static_cast<int>(std::ceil(needed / step - 1e-9)))
                            : emptyMaximum;
            if (step >= maximum || static_cast<double>(step) * height / maximum >= kValueSpacing) {
                return {maximum, step};
            }
        }
    }
}

} // namespace

TResultChart::TResultChart(QWidget *parent) : QWidget(parent) {
    plot_ = new QCustomPlot(this);
    plot_->setObjectName(QStringLiteral("cht2"));
    plot_->setBackground(kBackground);
    plot_->setAntialiasedElements(QCP::aePlottables | QCP::aeItems);
    plot_->axisRect()->setMinimumMargins(QMargins(20, 30, 30, 12));

    QCPAxis *labels = plot_->xAxis;
    labels->setTicker(QSharedPointer<QCPAxisTickerText>(new QCPAxisTickerText));
    labels->setTickLength(0, 0);
    labels->setSubTicks(false);
    labels->grid()->setVisible(false);
    labels->setBasePen(QPen(kAxisLine, 1));
    labels->setTickLabelColor(kText);
    labels->setTickLabelPadding(8);

    QCPAxis *values = plot_->yAxis;
    auto ticker = QSharedPointer<TStudentTicker>(new TStudentTicker);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    values->setTicker(ticker);
    values->setNumberFormat(QStringLiteral("f"));
    values->setNumberPrecision(0);
    values->grid()->setVisible(false);
    values->setTickLength(0, 6);
    values->setSubTickLength(0, 3);
    values->setBasePen(QPen(kAxisLine, 1));
    values->setTickPen(QPen(kAxisLine, 1));
    values->setSubTickPen(QPen(kAxisLine, 1));
    values->setTickLabelFont(PixelFont(kValuePixels, false));
    values->setTickLabelColor(kText);
    values->setLabelColor(kText);
    values->setLabelFont(PixelFont(kLabelPixels, false));
    values->setLabelPadding(10);

    ClearBars();
}

void TResultChart::ClearBars() {
    plot_->clearItems();
    plot_->clearPlottables();
    labels_.clear();
    Fit();
}

void TResultChart::SetAxisMaximum(int maximum) {
    emptyMaximum_ = std::max(0, maximum);
    Fit();
}

int TResultChart::AxisMaximum() const {
    return qRound(plot_->yAxis->range().upper);
}

void TResultChart::SetAxisTitle(const QString &title) {
    plot_->yAxis->setLabel(title);
    Fit();
}

void TResultChart::ShowStatistics(const Statistics &statistics) {
    plot_->clearItems();
    plot_->clearPlottables();
    labels_.clear();
    emptyMaximum_ = statistics.total;
    int sum = 0;
    for (const StatisticsBar &bar : statistics.bars) {
        sum += bar.count;
    }
    // A bar of its own for each answer, each in its colour; above it its
    // share of the sum of all bars, on an arrow that points at it.
    for (size_t i = 0; i < statistics.bars.size(); ++i) {
        const StatisticsBar &bar = statistics.bars[i];
        const double key = static_cast<double>(i);
        auto *bars = new QCPBars(plot_->xAxis, plot_->yAxis);
        bars->setWidth(kBarWidth);
        bars->addData(key, bar.count);
        const QColor colour = bar.kind == StatisticsBar::Kind::Correct ? kCorrect
                              : bar.kind == StatisticsBar::Kind::Wrong ? kWrong
                                                                       : kSeriesColour;
        bars->setBrush(colour);
        bars->setPen(QPen(colour.darker(115), 1));
        labels_ << bar.label;

        auto *arrow = new QCPItemLine(plot_);
        arrow->setClipToAxisRect(false);
        arrow->setPen(QPen(kAxisLine, 1));
        arrow->setHead(QCPLineEnding(QCPLineEnding::esSpikeArrow, 7, 8));
        arrow->end->setCoords(key, bar.count);
        arrow->start->setType(QCPItemPosition::ptAbsolute);
        arrow->start->setParentAnchor(arrow->end);
        arrow->start->setCoords(0, -kArrowLength);
        auto *mark = new QCPItemText(plot_);
        mark->setClipToAxisRect(false);
        mark->setText(FormatPercent(bar.count, sum));
        mark->setColor(kText);
        mark->setPositionAlignment(Qt::AlignBottom | Qt::AlignHCenter);
        mark->position->setType(QCPItemPosition::ptAbsolute);
        mark->position->setParentAnchor(arrow->start);
        mark->position->setCoords(0, -kMarkGap);
    }
    Fit();
}

void TResultChart::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Fit();
}

// The plot fills the chart. Labels, marks, title and axis are fitted to the
// room the plot's layout leaves them; each fit changes that room a little
// (more lines of labels, wider axis values), so it is laid out again until
// nothing changes.
void TResultChart::Fit() {
    plot_->setGeometry(rect());
    plot_->setViewport(plot_->rect());
    for (int round = 0; round < kFitRounds && !FitOnce(); ++round) {
    }
    plot_->replot();
}

bool TResultChart::FitOnce() {
    QCPLayoutGrid *layout = plot_->plotLayout();
    layout->update(QCPLayoutElement::upPreparation);
    layout->update(QCPLayoutElement::upMargins);
    layout->update(QCPLayoutElement::upLayout);
    const QRect area = plot_->axisRect()->rect();
    const int bars = static_cast<int>(labels_.size());
    bool same = true;

    // The labels under the bars, each within its bar's share of the width.
    const int width = std::max(1, area.width() / std::max(1, bars) - kLabelGap);
    const FittedLabels fitted = FitLabels(labels_, width);
    QMap<double, QString> ticks;
    for (int i = 0; i < bars; ++i) {
        ticks.insert(i, fitted.texts[i]);
    }
    QCPAxis *labelAxis = plot_->xAxis;
    auto ticker = labelAxis->ticker().dynamicCast<QCPAxisTickerText>();
    if (ticker->ticks() != ticks || labelAxis->tickLabelFont().pixelSize() != fitted.pixels) {
        ticker->setTicks(ticks);
        labelAxis->setTickLabelFont(PixelFont(fitted.pixels, true));
        same = false;
    }
    const QCPRange keys(-0.5, std::max(1, bars) - 0.5);
    if (labelAxis->range() != keys) {
        labelAxis->setRange(keys);
        same = false;
    }

    // The marks as wide as a label may be.
    QStringList marks;
    for (int i = 0; i < plot_->itemCount(); ++i) {
        if (const auto *mark = qobject_cast<QCPItemText *>(plot_->item(i))) {
            marks << mark->text();
        }
    }
    const QFont markFont = PixelFont(FitPixels(marks, width, kMarkPixels, true), true);
    for (int i = 0; i < plot_->itemCount(); ++i) {
        auto *mark = qobject_cast<QCPItemText *>(plot_->item(i));
        if (mark != nullptr && mark->font() != markFont) {
            mark->setFont(markFont);
            same = false;
        }
    }

    // The title along the axis, as long as the plot is high.
    QCPAxis *valueAxis = plot_->yAxis;
    const int titlePixels = FitPixels({valueAxis->label()}, area.height(), kLabelPixels, false);
    if (valueAxis->labelFont().pixelSize() != titlePixels) {
        valueAxis->setLabelFont(PixelFont(titlePixels, false));
        same = false;
    }

    // The axis: the tallest bar, and its arrow and mark above it.
    int tallest = 0;
    for (int i = 0; i < plot_->plottableCount(); ++i) {
        if (const auto *bar = qobject_cast<QCPBars *>(plot_->plottable(i))) {
            tallest = std::max(tallest, static_cast<int>(bar->data()->at(0)->value));
        }
    }
    const int headroom = kArrowLength + QFontMetrics(markFont).height() + 2 * kMarkGap;
    const ValueAxis axis = FitValueAxis(tallest, emptyMaximum_ > 0 ? emptyMaximum_ : kAxisIncrement,
                                        area.height(), headroom);
    auto steps = valueAxis->ticker().dynamicCast<TStudentTicker>();
    if (valueAxis->range() != QCPRange(0, axis.maximum) || steps->tickStep() != axis.step) {
        valueAxis->setRange(0, axis.maximum);
        steps->setTickStep(axis.step);
        same = false;
    }
    return same;
}

QStringList TResultChart::BarLabels() const {
    return labels_;
}

std::vector<int> TResultChart::BarValues() const {
    std::vector<int> values;
    for (int i = 0; i < plot_->plottableCount(); ++i) {
        if (const auto *bar = qobject_cast<QCPBars *>(plot_->plottable(i))) {
            values.push_back(static_cast<int>(bar->data()->at(0)->value));
        }
    }
    return values;
}

std::vector<QColor> TResultChart::BarColours() const {
    std::vector<QColor> colours;
    for (int i = 0; i < plot_->plottableCount(); ++i) {
        colours.push_back(plot_->plottable(i)->brush().color());
    }
    return colours;
}

QStringList TResultChart::MarkTexts() const {
    QStringList texts;
    for (int i = 0; i < plot_->itemCount(); ++i) {
        if (const auto *mark = qobject_cast<QCPItemText *>(plot_->item(i))) {
            texts << mark->text();
        }
    }
    return texts;
}

} // namespace lumora
