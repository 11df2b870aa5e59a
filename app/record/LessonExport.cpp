#include "record/LessonExport.h"

#include "core/Helpers.h"
#include "record/LessonAnalysis.h"
#include "session/Question.h"

#include <QDir>

#include <algorithm>
#include <map>
#include <utility>

namespace lumora {

namespace {

using Tone = ExportCell::Tone;

ExportCell Heading(const QString &text) {
    return ExportCell::Of(text, Tone::Heading);
}

struct Column {
    QuestionInfo question;
    std::map<int, StudentResult> bySeat;
    std::map<int, QString> pictures; // seat -> path under Records/
    int students = 0;
    int correct = 0;
    bool graded = false; // a handwritten question with a grade
};

} // namespace

QString TypeName(int type) {
    switch (type) {
    case 0:
        return QStringLiteral("Single choice");
    case 1:
        return QStringLiteral("Multiple choice");
    default:
        return QStringLiteral("Subjective");
    }
}

QString KeyLabel(uint16_t key) {
    if (key == kClearKey) {
        return QStringLiteral("clear");
    }
    return AnswerToLetters(SetBit(0, static_cast<uint8_t>(key & 0xFF), 1));
}

std::optional<LessonExport> BuildLessonExport(LessonHistory &history, int lesson, QString *error) {
    const auto lessons = history.Lessons();
    const auto questions = history.Questions(lesson);
    if (!lessons || !questions) {
        *error = history.Error();
        return std::nullopt;
    }
    if (std::none_of(lessons->begin(), lessons->end(),
                     [lesson](const LessonInfo &l) { return l.number == lesson; })) {
        *error =
            lessons->empty()
                ? QStringLiteral("there is no lesson %1: the record holds no lessons").arg(lesson)
                : QStringLiteral("there is no lesson %1: the record holds lessons %2 to %3")
                      .arg(lesson)
                      .arg(lessons->front().number)
                      .arg(lessons->back().number);
        return std::nullopt;
    }

    // Students are rows by seat and name: a seat given to someone else
    // during the lesson makes a row of its own.
    std::vector<Column> columns;
    std::map<std::pair<int, QString>, int> students; // -> row
    const QString records = RecordsFolder(history.DataDir());
    for (const QuestionInfo &question : *questions) {
        const auto results = history.Students(lesson, question.number);
        const auto pictures = history.Pictures(lesson, question.number);
        if (!results || !pictures) {
            *error = history.Error();
            return std::nullopt;
        }
        Column column{question, {}, {}, static_cast<int>(results->size()), 0, false};
        for (const StudentResult &result : *results) {
            column.bySeat[result.seat] = result;
            const bool full = result.grade && *result.grade >= question.points;
            column.correct += result.correct.value_or(false) || full ? 1 : 0;
            column.graded = column.graded || result.grade.has_value();
            students.try_emplace({result.seat, result.name}, 0);
        }
        for (const PictureInfo &picture : *pictures) {
            column.pictures[picture.seat] = QDir(records).relativeFilePath(picture.path);
        }
        columns.push_back(std::move(column));
    }

    LessonExport out;
    ExportSheet &book = out.gradebook;
    book.name = QStringLiteral("Gradebook");
    std::vector<ExportCell> header{Heading(QStringLiteral("Seat")),
                                   Heading(QStringLiteral("Name"))};
    std::vector<ExportCell> types{ExportCell(), Heading(QStringLiteral("Type"))};
    std::vector<ExportCell> keys{ExportCell(), Heading(QStringLiteral("Answer key"))};
    for (const Column &column : columns) {
        header.push_back(Heading(QStringLiteral("Q%1").arg(column.question.number)));
        types.push_back(ExportCell::Of(TypeName(column.question.type)));
        keys.push_back(column.question.type == kQuestionSubjective
                           ? ExportCell()
                           : ExportCell::Of(column.question.answerKey));
    }
    for (const char *title : {"Correct", "Graded", "Percent"}) {
        header.push_back(Heading(QString::fromLatin1(title)));
    }
    book.rows = {header, types, keys};

    int allCorrect = 0;
    int allGraded = 0;
    for (const auto &[student, row] : students) {
        const auto &[seat, name] = student;
        std::vector<ExportCell> cells{ExportCell::Of(seat), ExportCell::Of(name)};
        int correct = 0;
        int graded = 0;
        for (const Column &column : columns) {
            const auto found = column.bySeat.find(seat);
            if (found == column.bySeat.end() || found->second.name != name) {
                cells.emplace_back(); // not in the class for this question
                continue;
            }
            const StudentResult &result = found->second;
            if (column.question.type == kQuestionSubjective && result.grade) {
                // Graded: the points, and a full grade counts as right.
                const bool full = *result.grade >= column.question.points;
                ++graded;
                correct += full ? 1 : 0;
                ExportCell points = ExportCell::Of(*result.grade);
                points.tone = full ? Tone::Correct : Tone::Wrong;
                cells.push_back(points);
                continue;
            }
            if (column.question.type == kQuestionSubjective) {
                const auto picture = column.pictures.find(seat);
                cells.push_back(picture == column.pictures.end() ? ExportCell()
                                                                 : ExportCell::Of(picture->second));
                continue;
            }
            const bool right = result.correct.value_or(false);
            ++graded;
            correct += right ? 1 : 0;
            const QString mark = right ? QStringLiteral("✓") : QStringLiteral("✗");
            cells.push_back(
                ExportCell::Of(result.letters.isEmpty() ? mark : result.letters + u' ' + mark,
                               right ? Tone::Correct : Tone::Wrong));
        }
        cells.push_back(ExportCell::Of(correct));
        cells.push_back(ExportCell::Of(graded));
        cells.push_back(ExportCell::Share(correct, graded));
        allCorrect += correct;
        allGraded += graded;
        book.rows.push_back(std::move(cells));
    }

    std::vector<ExportCell> correctRow{ExportCell(), Heading(QStringLiteral("Correct"))};
    std::vector<ExportCell> shareRow{ExportCell(), Heading(QStringLiteral("Percent"))};
    for (const Column &column : columns) {
        const bool choice = column.question.type != kQuestionSubjective || column.graded;
        correctRow.push_back(choice ? ExportCell::Of(column.correct) : ExportCell());
        shareRow.push_back(choice ? ExportCell::Share(column.correct, column.students)
                                  : ExportCell());
    }
    correctRow.push_back(ExportCell::Of(allCorrect));
    correctRow.push_back(ExportCell::Of(allGraded));
    correctRow.push_back(ExportCell::Share(allCorrect, allGraded));
    book.rows.push_back(std::move(correctRow));
    book.rows.push_back(std::move(shareRow));

    const auto presses = history.Presses(lesson);
    if (!presses) {
        *error = history.Error();
        return std::nullopt;
    }
    ExportSheet &sheet = out.presses;
    sheet.name = QStringLiteral("Presses");
    sheet.rows.push_back({Heading(QStringLiteral("Question")), Heading(QStringLiteral("Seat")),
                          Heading(QStringLiteral("Name")), Heading(QStringLiteral("Tablet ID")),
                          Heading(QStringLiteral("Key")), Heading(QStringLiteral("Letter")),
                          Heading(QStringLiteral("Time (ms)")),
                          Heading(QStringLiteral("Answer after"))});
    for (const PressInfo &press : *presses) {
        sheet.rows.push_back({ExportCell::Of(press.question), ExportCell::Of(press.seat),
                              ExportCell::Of(press.name), ExportCell::Of(press.cardId),
                              ExportCell::Of(press.key), ExportCell::Of(KeyLabel(press.key)),
                              ExportCell::Of(press.ms),
                              ExportCell::Of(AnswerToLetters(press.answer))});
    }

    const auto analysis = AnalyseLesson(history, lesson);
    if (!analysis) {
        *error = history.Error();
        return std::nullopt;
    }
    out.statistics = StatisticsSheet(*analysis);
    return out;
}

ExportSheet StatisticsSheet(const LessonAnalysis &analysis,
                            const std::vector<ExportCell> &leadHeading,
                            const std::vector<std::vector<ExportCell>> &lead) {
    const auto optional = [](const std::optional<double> &value, double scale = 1) {
        return value ? ExportCell::Of(*value * scale) : ExportCell();
    };
    const TestStatistics &test = analysis.Statistics;
    int options = 0;
    for (const ItemStatistics &item : test.PerItem) {
        options = std::max(options, static_cast<int>(item.Options.size()));
    }
    ExportSheet sheet;
    sheet.name = QStringLiteral("Statistics");
    std::vector<ExportCell> header = leadHeading;
    for (const char *title : {"Question", "Type", "Answer key", "Points", "Scored", "Difficulty",
                              "Discrimination", "Upper-lower index", "Median first press (s)"}) {
        header.push_back(Heading(QString::fromLatin1(title)));
    }
    for (int n = 1; n <= options; ++n) {
        header.push_back(Heading(AnswerToLetters(SetBit(0, static_cast<uint8_t>(n), 1))));
    }
    header.push_back(Heading(QStringLiteral("Hints")));
    sheet.rows.push_back(std::move(header));
    for (size_t i = 0; i < analysis.Questions.size() && i < test.PerItem.size(); ++i) {
        const QuestionInfo &question = analysis.Questions[i];
        const ItemStatistics &item = test.PerItem[i];
        std::vector<ExportCell> row = i < lead.size() ? lead[i] : std::vector<ExportCell>();
        row.insert(row.end(),
                   {ExportCell::Of(question.number), ExportCell::Of(TypeName(question.type)),
                    ExportCell::Of(question.answerKey), ExportCell::Of(question.points),
                    ExportCell::Of(item.Scored), optional(item.Difficulty),
                    optional(item.Discrimination), optional(item.UpperLower),
                    optional(item.MedianFirstPressMs, 0.001)});
        for (size_t n = 0; n < static_cast<size_t>(options); ++n) {
            ExportCell chosen;
            if (n < item.Options.size()) {
                chosen = ExportCell::Of(item.Options[n].Chosen);
                chosen.tone = item.Options[n].Right ? Tone::Correct : Tone::None;
            }
            row.push_back(chosen);
        }
        row.push_back(ExportCell::Of(HintsText(item)));
        sheet.rows.push_back(std::move(row));
    }
    sheet.rows.emplace_back();
    const auto line = [&sheet](const char *title, ExportCell value) {
        sheet.rows.push_back({Heading(QString::fromLatin1(title)), std::move(value)});
    };
    line("Students with every score", ExportCell::Of(test.Students));
    line("Highest possible total", ExportCell::Of(test.MaxTotal));
    line("Mean total", optional(test.Mean));
    line("Standard deviation", optional(test.StandardDeviation));
    line(test.Dichotomous ? "Reliability (KR-20)" : "Reliability (alpha)",
         optional(test.Reliability));
    return sheet;
}

} // namespace lumora
