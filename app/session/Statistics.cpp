#include "session/Statistics.h"

#include "core/Helpers.h"
#include "session/Question.h"

#include <QLocale>

#include <cmath>

namespace lumora {

namespace {

QString CountLabel(const QString &text, int count) {
    return text + QString::asprintf("  %d", count);
}

} // namespace

Statistics BuildStatistics(const SlotTable &table, const QString &answerKey,
                           const QString &unansweredText) {
    std::vector<uint32_t> answers;
    const int count = std::min(table.Count.load(), kSlotCount);
    for (int i = 0; i < count; ++i) {
        const StudentSlot &entry = table[i];
        if (!entry.Name.IsEmpty()) {
            answers.push_back(entry.Answer.load(std::memory_order_relaxed));
        }
    }
    return BuildStatistics(answers, answerKey, unansweredText);
}

Statistics BuildStatistics(const std::vector<uint32_t> &namedAnswers, const QString &answerKey,
                           const QString &unansweredText) {
    struct Group {
        uint32_t mask;
        int count;
    };
    std::vector<Group> groups; // in the order first met
    int unanswered = 0;
    Statistics result;
    for (const uint32_t answer : namedAnswers) {
        ++result.total;
        if (answer == 0) {
            ++unanswered;
            continue;
        }
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [answer](const Group &g) { return g.mask == answer; });
        if (group == groups.end()) {
            groups.push_back({answer, 1});
        } else {
            ++group->count;
        }
    }
    for (const Group &group : groups) {
        StatisticsBar bar;
        bar.letters = AnswerToLetters(group.mask);
        bar.label = CountLabel(bar.letters, group.count);
        bar.count = group.count;
        bar.kind = LettersMatchKey(bar.letters, answerKey) ? StatisticsBar::Kind::Correct
                                                           : StatisticsBar::Kind::Wrong;
        result.bars.push_back(bar);
    }
    if (unanswered > 0) {
        result.bars.push_back({QString(), CountLabel(unansweredText, unanswered), unanswered,
                               StatisticsBar::Kind::Unanswered});
    }
    return result;
}

QString FormatPercent(int count, int total) {
    const double percent = total > 0 ? 100.0 * count / total : 0.0;
    // 'f' with two decimals, then trailing zeros and a bare point dropped.
    QString text = QString::number(percent, 'f', 2);
    while (text.endsWith(u'0')) {
        text.chop(1);
    }
    if (text.endsWith(u'.')) {
        text.chop(1);
    }
    return text + QStringLiteral(" %");
}

} // namespace lumora
