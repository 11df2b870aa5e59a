#include "session/ItemAnalysis.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lumora {

namespace {

// Variances below this are none: a constant column correlates with nothing.
constexpr double kNoVariance = 1e-12;

double Mean(const std::vector<double> &values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double Variance(const std::vector<double> &values) {
    const double mean = Mean(values);
    double sum = 0;
    for (const double value : values) {
        sum += (value - mean) * (value - mean);
    }
    return sum / static_cast<double>(values.size());
}

std::optional<double> Correlation(const std::vector<double> &a, const std::vector<double> &b) {
    if (a.size() < 2) {
        return std::nullopt;
    }
    const double meanA = Mean(a);
    const double meanB = Mean(b);
    double products = 0;
    double squaresA = 0;
    double squaresB = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        products += (a[i] - meanA) * (b[i] - meanB);
        squaresA += (a[i] - meanA) * (a[i] - meanA);
        squaresB += (b[i] - meanB) * (b[i] - meanB);
    }
    const double n = static_cast<double>(a.size());
    if (squaresA / n < kNoVariance || squaresB / n < kNoVariance) {
        return std::nullopt;
    }
    return products / std::sqrt(squaresA * squaresB);
}

std::optional<double> Median(std::vector<int> values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// The share of the upper and of the lower group each student has (0..1), for
// students with these totals: groups of kGroupShare x N taken from either end,
// a block of equal totals at a group's edge sharing what is left equally.
struct Groups {
    std::vector<double> upper;
    std::vector<double> lower;
    double size = 0;
};

Groups AbilityGroups(const std::vector<double> &totals) {
    Groups groups;
    const size_t n = totals.size();
    groups.upper.assign(n, 0);
    groups.lower.assign(n, 0);
    groups.size = kGroupShare * static_cast<double>(n);
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return totals[a] > totals[b]; });
    const auto fill = [&](std::vector<double> &weights, bool fromTop) {
        double left = groups.size;
        size_t i = 0;
        while (i < n && left > 0) {
            const auto at = [&](size_t k) { return order[fromTop ? k : n - 1 - k]; };
            size_t end = i;
            while (end < n && totals[at(end)] == totals[at(i)]) {
                ++end;
            }
            const double block = static_cast<double>(end - i);
            const double each = std::min(1.0, left / block);
            for (size_t k = i; k < end; ++k) {
                weights[at(k)] = each;
            }
            left -= each * block;
            i = end;
        }
    };
    fill(groups.upper, true);
    fill(groups.lower, false);
    return groups;
}

QChar Letter(int option) {
    return QChar(u'A' + option);
}

bool Chose(uint32_t mask, int option) {
    return ((mask >> (option + 1)) & 1u) != 0;
}

} // namespace

QString HintText(const ItemHint &hint) {
    return hint.Argument.isEmpty() ? MessageTexts[hint.Key]
                                   : FormatMessage(MessageTexts[hint.Key], {hint.Argument});
}

TestStatistics AnalyseItems(const AnalysisInput &input) {
    TestStatistics result;
    const size_t items = input.Items.size();
    const auto cell = [&](size_t student, size_t item) -> const AnalysisCell * {
        const auto &row = input.Students[student];
        return item < row.size() ? &row[item] : nullptr;
    };
    const auto scoreOf = [&](size_t student, size_t item) -> std::optional<double> {
        const AnalysisCell *c = cell(student, item);
        return c != nullptr ? c->Points : std::nullopt;
    };

    // The items anyone has a score on, and the students with a score on all.
    std::vector<size_t> scoredItems;
    for (size_t item = 0; item < items; ++item) {
        for (size_t student = 0; student < input.Students.size(); ++student) {
            if (scoreOf(student, item)) {
                scoredItems.push_back(item);
                break;
            }
        }
    }
    std::vector<size_t> complete;
    for (size_t student = 0; student < input.Students.size(); ++student) {
        if (std::all_of(scoredItems.begin(), scoredItems.end(),
                        [&](size_t item) { return scoreOf(student, item).has_value(); })) {
            complete.push_back(student);
        }
    }
    if (scoredItems.empty()) {
        complete.clear();
    }
    std::vector<double> totals;
    for (const size_t student : complete) {
        double total = 0;
        for (const size_t item : scoredItems) {
            total += *scoreOf(student, item);
        }
        totals.push_back(total);
    }
    result.Students = static_cast<int>(complete.size());
    result.Items = static_cast<int>(scoredItems.size());
    result.Dichotomous = !scoredItems.empty();
    for (const size_t item : scoredItems) {
        result.MaxTotal += input.Items[item].Points;
        result.Dichotomous = result.Dichotomous && input.Items[item].Points == 1;
    }
    if (!totals.empty()) {
        result.Mean = Mean(totals);
        result.StandardDeviation = std::sqrt(Variance(totals));
    }
    const bool grouped = complete.size() >= 2;
    const Groups groups = grouped ? AbilityGroups(totals) : Groups{};
    result.GroupSize = groups.size;

    double itemVariances = 0;
    result.PerItem.resize(items);
    for (size_t item = 0; item < items; ++item) {
        const AnalysisItem &question = input.Items[item];
        ItemStatistics &stats = result.PerItem[item];
        const int options = std::clamp(question.Options, 0, 31);
        stats.Options.resize(static_cast<size_t>(options));
        for (int option = 0; option < options; ++option) {
            stats.Options[static_cast<size_t>(option)].Letter = Letter(option);
            stats.Options[static_cast<size_t>(option)].Right = Chose(question.Key, option);
        }
        double points = 0;
        std::vector<int> pressTimes;
        for (size_t student = 0; student < input.Students.size(); ++student) {
            const AnalysisCell *c = cell(student, item);
            if (c == nullptr || !c->Points) {
                continue;
            }
            ++stats.Scored;
            points += *c->Points;
            if (!(*c->Points == 0 || *c->Points == 1)) {
                result.Dichotomous = false;
            }
            if (c->FirstPressMs) {
                pressTimes.push_back(*c->FirstPressMs);
            }
            if (options > 0 && c->Chosen == 0) {
                ++stats.NoAnswer;
            }
            for (int option = 0; option < options; ++option) {
                stats.Options[static_cast<size_t>(option)].Chosen +=
                    Chose(c->Chosen, option) ? 1 : 0;
            }
        }
        stats.MedianFirstPressMs = Median(pressTimes);
        if (stats.Scored > 0 && question.Points > 0) {
            stats.Difficulty = points / stats.Scored / question.Points;
        }

        // Against the rest of the total, and between the ability groups.
        if (std::find(scoredItems.begin(), scoredItems.end(), item) != scoredItems.end()) {
            std::vector<double> scores;
            std::vector<double> rest;
            for (size_t k = 0; k < complete.size(); ++k) {
                scores.push_back(*scoreOf(complete[k], item));
                rest.push_back(totals[k] - scores.back());
            }
            if (!scores.empty()) {
                itemVariances += Variance(scores);
            }
            stats.Discrimination = Correlation(scores, rest);
            if (grouped && question.Points > 0) {
                double upper = 0;
                double lower = 0;
                for (size_t k = 0; k < complete.size(); ++k) {
                    upper += groups.upper[k] * scores[k];
                    lower += groups.lower[k] * scores[k];
                }
                stats.UpperLower = (upper - lower) / groups.size / question.Points;
                const double middleSize = static_cast<double>(complete.size()) - 2 * groups.size;
                for (int option = 0; option < options; ++option) {
                    double up = 0;
                    double mid = 0;
                    double low = 0;
                    for (size_t k = 0; k < complete.size(); ++k) {
                        if (Chose(cell(complete[k], item)->Chosen, option)) {
                            up += groups.upper[k];
                            low += groups.lower[k];
                            mid += 1 - groups.upper[k] - groups.lower[k];
                        }
                    }
                    OptionStatistics &o = stats.Options[static_cast<size_t>(option)];
                    o.Upper = up / groups.size;
                    o.Lower = low / groups.size;
                    if (middleSize > kNoVariance) {
                        o.Middle = mid / middleSize;
                    }
                }
            }
        }

        // What the teacher reads.
        if (stats.Difficulty && *stats.Difficulty < kHardBelow) {
            stats.Hints.push_back({MessageKey::ItemHard, {}});
        }
        if (stats.Difficulty && *stats.Difficulty > kEasyAbove) {
            stats.Hints.push_back({MessageKey::ItemEasy, {}});
        }
        if (stats.Discrimination && *stats.Discrimination < 0) {
            stats.Hints.push_back({MessageKey::ItemNegativeDiscrimination, {}});
        } else if (stats.Discrimination && *stats.Discrimination < kWeakDiscriminationBelow) {
            stats.Hints.push_back({MessageKey::ItemNoDiscrimination, {}});
        }
        if (stats.Scored > 0) {
            for (const OptionStatistics &o : stats.Options) {
                if (o.Right) {
                    continue;
                }
                if (o.Chosen == 0) {
                    stats.Hints.push_back({MessageKey::ItemDistractorUnused, QString(o.Letter)});
                } else if (o.Upper && o.Lower && *o.Upper > *o.Lower) {
                    stats.Hints.push_back(
                        {MessageKey::ItemDistractorDrawsUpper, QString(o.Letter)});
                }
            }
        }
    }

    // Alpha over the complete students (KR-20 when every score is 0 or 1).
    const double k = static_cast<double>(scoredItems.size());
    if (k >= 2 && totals.size() >= 2) {
        const double totalVariance = Variance(totals);
        if (totalVariance > kNoVariance) {
            result.Reliability = k / (k - 1) * (1 - itemVariances / totalVariance);
        }
    }
    return result;
}

} // namespace lumora
