#include "record/LessonAnalysis.h"

#include "core/Helpers.h"

#include <QStringList>

#include <algorithm>
#include <map>
#include <utility>

namespace lumora {

namespace {

constexpr int kQuestionSubjectiveType = 2;
// The receiver's tablets offer at least the letters A to D.
constexpr int kLeastOptions = 4;

// The number of the highest letter set in the mask (A is 1).
int HighestLetter(uint32_t mask) {
    int highest = 0;
    for (int n = 1; n <= 31; ++n) {
        if (GetBit(mask, static_cast<uint8_t>(n)) == 1) {
            highest = n;
        }
    }
    return highest;
}

} // namespace

int ItemOptions(uint32_t key, const std::vector<uint32_t> &chosen) {
    int options = std::max(kLeastOptions, HighestLetter(key));
    for (const uint32_t answer : chosen) {
        options = std::max(options, HighestLetter(answer));
    }
    return options;
}

std::optional<LessonAnalysis> AnalyseLesson(LessonHistory &history, int lesson) {
    const auto questions = history.Questions(lesson);
    if (!questions) {
        return std::nullopt;
    }
    LessonAnalysis analysis;
    AnalysisInput input;
    // Rows by seat and name; a seat that changed hands is another student.
    std::map<std::pair<int, QString>, size_t> rows;
    for (const QuestionInfo &question : *questions) {
        if (question.endedAt.isEmpty()) {
            continue;
        }
        const auto students = history.Students(lesson, question.number);
        if (!students) {
            return std::nullopt;
        }
        const bool handwritten = question.type == kQuestionSubjectiveType;
        if (handwritten && std::none_of(students->begin(), students->end(),
                                        [](const StudentResult &s) { return s.grade; })) {
            continue; // nothing graded yet
        }
        const size_t column = input.Items.size();
        AnalysisItem item;
        item.Points = question.points;
        item.Key = LettersToAnswer(question.answerKey);
        std::vector<uint32_t> chosen;
        for (auto &row : input.Students) {
            row.emplace_back(); // no score until the student is found
        }
        for (const StudentResult &student : *students) {
            const auto [at, added] =
                rows.try_emplace({student.seat, student.name}, input.Students.size());
            if (added) {
                input.Students.emplace_back(column + 1);
            }
            AnalysisCell &cell = input.Students[at->second][column];
            if (handwritten) {
                cell.Points = student.grade; // none until graded
                continue;
            }
            cell.Points = student.correct.value_or(false) ? question.points : 0.0;
            cell.Chosen = student.answer & ~1u;
            cell.FirstPressMs = student.firstPressMs;
            chosen.push_back(cell.Chosen);
        }
        item.Options = handwritten ? 0 : ItemOptions(item.Key, chosen);
        input.Items.push_back(item);
        analysis.Questions.push_back(question);
    }
    analysis.Statistics = AnalyseItems(input);
    return analysis;
}

QString HintsText(const ItemStatistics &item) {
    QStringList hints;
    for (const ItemHint &hint : item.Hints) {
        hints << HintText(hint);
    }
    return hints.join(QStringLiteral("; "));
}

} // namespace lumora
