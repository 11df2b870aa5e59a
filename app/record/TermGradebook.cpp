#include "record/TermGradebook.h"

#include "core/Helpers.h"
#include "record/LessonAnalysis.h"
#include "record/LessonExport.h"
#include "record/RecordDatabase.h"
#include "session/Question.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <map>
#include <numeric>
#include <tuple>

namespace lumora {

namespace {

using Tone = ExportCell::Tone;

ExportCell Heading(const QString &text) {
    return ExportCell::Of(text, Tone::Heading);
}

QString LessonLabel(const TermLesson &lesson) {
    return lesson.title.isEmpty() ? QStringLiteral("Lesson %1").arg(lesson.number) : lesson.title;
}

bool Handwritten(const TermQuestion &question) {
    return question.type == kQuestionSubjective;
}

// Letters held from before the question never make an answer right.
bool Right(const TermAnswer &answer) {
    return answer.correct.value_or(false) && (answer.answer & answer.carried) == 0;
}

// What an answer scores; none for no answer, or a handwritten one not graded.
std::optional<double> Score(const TermQuestion &question, const TermAnswer &answer) {
    if (Handwritten(question)) {
        return answer.grade;
    }
    if (answer.answer == 0 && !answer.firstPressMs) {
        return std::nullopt;
    }
    return Right(answer) ? question.points : 0.0;
}

struct Student {
    QString name;
    int seat = 0; // and tablet, as in the latest lesson
    uint16_t cardId = 0;
    size_t latestLesson = 0;
};

// The term's students (by name, ordered by seat and name) and each one's
// answer to each question (an index into the answers, -1 for none).
struct Roll {
    std::vector<Student> students;
    std::vector<std::vector<int>> answerOf; // [student][question]
};

Roll MakeRoll(const TermRecord &term) {
    std::map<QString, size_t> byName;
    std::vector<Student> found;
    for (const TermAnswer &answer : term.answers) {
        if (answer.name.isEmpty()) {
            continue;
        }
        const size_t lesson = term.questions[answer.question].lesson;
        const auto [at, added] = byName.try_emplace(answer.name, found.size());
        if (added) {
            found.push_back({answer.name, answer.seat, answer.cardId, lesson});
        }
        Student &student = found[at->second];
        if (lesson > student.latestLesson) {
            student = {answer.name, answer.seat, answer.cardId, lesson};
        }
    }
    std::vector<size_t> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&found](size_t a, size_t b) {
        return std::tie(found[a].seat, found[a].name) < std::tie(found[b].seat, found[b].name);
    });
    Roll roll;
    std::vector<size_t> rank(found.size());
    for (size_t i = 0; i < order.size(); ++i) {
        rank[order[i]] = i;
        roll.students.push_back(found[order[i]]);
    }
    roll.answerOf.assign(found.size(), std::vector<int>(term.questions.size(), -1));
    for (size_t i = 0; i < term.answers.size(); ++i) {
        const TermAnswer &answer = term.answers[i];
        if (answer.name.isEmpty()) {
            continue;
        }
        int &cell = roll.answerOf[rank[byName[answer.name]]][answer.question];
        if (cell < 0) { // a name twice in a question: its first seat
            cell = static_cast<int>(i);
        }
    }
    return roll;
}

ExportSheet Gradebook(const TermRecord &term, const Roll &roll) {
    ExportSheet book;
    book.name = QStringLiteral("Gradebook");
    book.frozenRows = 2;
    book.frozenColumns = 3;
    book.widths = {6, 18, 10};
    std::vector<ExportCell> lessons(3);
    std::vector<ExportCell> header{Heading(QStringLiteral("Seat")), Heading(QStringLiteral("Name")),
                                   Heading(QStringLiteral("Tablet ID"))};
    // A handwritten question counts towards the points possible once it has
    // a grade; a choice question always does.
    std::vector<bool> graded(term.questions.size());
    for (const TermAnswer &answer : term.answers) {
        graded[answer.question] = graded[answer.question] || answer.grade.has_value();
    }
    double possible = 0;
    for (size_t q = 0; q < term.questions.size(); ++q) {
        const TermQuestion &question = term.questions[q];
        const TermLesson &lesson = term.lessons[question.lesson];
        lessons.push_back(Heading(lesson.day.toString(Qt::ISODate) + QStringLiteral(" · ") +
                                  LessonLabel(lesson)));
        header.push_back(Heading(QStringLiteral("Q%1").arg(question.number)));
        book.widths.push_back(12);
        if (!Handwritten(question) || graded[q]) {
            possible += question.points;
        }
    }
    for (const char *title :
         {"Total", "Points possible", "Percent", "Lessons attended", "Lessons held"}) {
        header.push_back(Heading(QString::fromLatin1(title)));
        book.widths.push_back(10);
    }
    book.rows = {std::move(lessons), std::move(header)};

    // Attended: the tablet was heard, or the student pressed or wrote.
    std::map<QString, std::vector<bool>> attended;
    for (const Student &student : roll.students) {
        attended[student.name].assign(term.lessons.size(), false);
    }
    for (const auto &[lesson, name] : term.heard) {
        if (const auto found = attended.find(name); found != attended.end()) {
            found->second[lesson] = true;
        }
    }
    for (const TermAnswer &answer : term.answers) {
        if (const auto found = attended.find(answer.name);
            found != attended.end() && (answer.firstPressMs || !answer.picture.isEmpty())) {
            found->second[term.questions[answer.question].lesson] = true;
        }
    }

    for (size_t s = 0; s < roll.students.size(); ++s) {
        const Student &student = roll.students[s];
        std::vector<ExportCell> row{ExportCell::Of(student.seat), ExportCell::Of(student.name),
                                    ExportCell::Of(student.cardId)};
        double total = 0;
        for (size_t q = 0; q < term.questions.size(); ++q) {
            const TermQuestion &question = term.questions[q];
            const int index = roll.answerOf[s][q];
            ExportCell cell;
            if (index >= 0) {
                const TermAnswer &answer = term.answers[static_cast<size_t>(index)];
                if (const std::optional<double> score = Score(question, answer)) {
                    cell = ExportCell::Of(*score);
                    cell.tone = *score >= question.points ? Tone::Correct : Tone::Wrong;
                    total += *score;
                }
                cell.link = answer.picture;
            }
            row.push_back(cell);
        }
        const std::vector<bool> &days = attended[student.name];
        row.push_back(ExportCell::Of(total));
        row.push_back(ExportCell::Of(possible));
        row.push_back(ExportCell::Share(total, possible));
        row.push_back(
            ExportCell::Of(static_cast<double>(std::count(days.begin(), days.end(), true))));
        row.push_back(ExportCell::Of(static_cast<double>(term.lessons.size())));
        book.rows.push_back(std::move(row));
    }
    return book;
}

// A row per ended question, led by its lesson's day and name. The choice
// questions are analysed together (their discrimination and the term's
// reliability come from them); a handwritten one alone by its grades, which
// gives its difficulty.
ExportSheet StatisticsOf(const TermRecord &term, const Roll &roll) {
    AnalysisInput choices;
    choices.Students.resize(roll.students.size());
    std::vector<std::optional<ItemStatistics>> handwritten; // none: the next choice
    LessonAnalysis analysis;
    std::vector<std::vector<ExportCell>> lead;
    for (size_t q = 0; q < term.questions.size(); ++q) {
        const TermQuestion &question = term.questions[q];
        if (!question.ended) {
            continue;
        }
        AnalysisInput alone;
        AnalysisInput &input = Handwritten(question) ? alone : choices;
        AnalysisItem item;
        item.Points = question.points;
        item.Key = LettersToAnswer(question.answerKey);
        std::vector<uint32_t> chosen;
        for (size_t s = 0; s < roll.students.size(); ++s) {
            AnalysisCell cell; // no score where the student had no seat
            const int index = roll.answerOf[s][q];
            if (index >= 0 && Handwritten(question)) {
                alone.Students.push_back({});
                alone.Students.back().push_back(
                    {term.answers[static_cast<size_t>(index)].grade, 0, {}});
            } else if (index >= 0) {
                const TermAnswer &answer = term.answers[static_cast<size_t>(index)];
                cell.Points = Right(answer) ? question.points : 0.0;
                cell.Chosen = answer.answer & ~1u;
                cell.FirstPressMs = answer.firstPressMs;
                chosen.push_back(cell.Chosen);
            }
            if (!Handwritten(question)) {
                choices.Students[s].push_back(cell);
            }
        }
        item.Options = Handwritten(question) ? 0 : ItemOptions(item.Key, chosen);
        input.Items.push_back(item);
        handwritten.push_back(Handwritten(question)
                                  ? std::optional<ItemStatistics>(AnalyseItems(alone).PerItem[0])
                                  : std::nullopt);
        QuestionInfo info;
        info.number = question.number;
        info.type = question.type;
        info.answerKey = question.answerKey;
        info.points = question.points;
        analysis.Questions.push_back(info);
        const TermLesson &lesson = term.lessons[question.lesson];
        lead.push_back({ExportCell::Day(lesson.day), ExportCell::Of(LessonLabel(lesson))});
    }
    analysis.Statistics = AnalyseItems(choices);
    std::vector<ItemStatistics> choiceItems = std::move(analysis.Statistics.PerItem);
    analysis.Statistics.PerItem.clear();
    size_t next = 0;
    for (const std::optional<ItemStatistics> &item : handwritten) {
        analysis.Statistics.PerItem.push_back(item ? *item : choiceItems[next++]);
    }
    ExportSheet sheet = StatisticsSheet(
        analysis, {Heading(QStringLiteral("Date")), Heading(QStringLiteral("Lesson"))}, lead);
    sheet.frozenRows = 1;
    sheet.frozenColumns = 3;
    sheet.widths = {11, 24, 9, 15, 10, 7, 8, 10, 14, 16, 20};
    return sheet;
}

ExportSheet Presses(const TermRecord &term) {
    ExportSheet sheet;
    sheet.name = QStringLiteral("Presses");
    sheet.frozenRows = 1;
    sheet.widths = {11, 24, 9, 6, 18, 10, 7, 10};
    std::vector<ExportCell> header;
    for (const char *title :
         {"Date", "Lesson", "Question", "Seat", "Name", "Tablet ID", "Letter", "Time (ms)"}) {
        header.push_back(Heading(QString::fromLatin1(title)));
    }
    sheet.rows.push_back(std::move(header));
    for (const TermPress &press : term.presses) {
        const TermQuestion &question = term.questions[press.question];
        const TermLesson &lesson = term.lessons[question.lesson];
        sheet.rows.push_back({ExportCell::Day(lesson.day), ExportCell::Of(LessonLabel(lesson)),
                              ExportCell::Of(question.number), ExportCell::Of(press.seat),
                              ExportCell::Of(press.name), ExportCell::Of(press.cardId),
                              ExportCell::Of(KeyLabel(press.key)), ExportCell::Of(press.ms)});
    }
    return sheet;
}

} // namespace

TermExport TermSheets(const TermRecord &term) {
    const Roll roll = MakeRoll(term);
    return {Gradebook(term, roll), StatisticsOf(term, roll), Presses(term),
            static_cast<int>(term.lessons.size())};
}

std::optional<TermExport> BuildTermExport(const QString &dataDir, const QString &classFile,
                                          const TermRange &range, QString *error,
                                          const TermProgress &progress) {
    if (!range.from.isValid() || !range.to.isValid() || range.from > range.to) {
        *error = QStringLiteral("the term from %1 to %2 has no days")
                     .arg(range.from.toString(Qt::ISODate), range.to.toString(Qt::ISODate));
        return std::nullopt;
    }
    const QString path = RecordDatabasePath(dataDir);
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("no lesson record in %1").arg(QDir::toNativeSeparators(dataDir));
        return std::nullopt;
    }
    // As the history opens it: read-only where the record takes no writes.
    RecordConnection connection;
    QString readOnlyError;
    if (!connection.Open(path, false, error) &&
        (connection.Busy() || !connection.OpenReadOnly(path, &readOnlyError))) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), *error);
        return std::nullopt;
    }
    const int steps = kTermReadSteps + 1;
    const auto read =
        ReadTermRecord(connection, dataDir, classFile, range, error, [&progress](int done, int) {
            if (progress) {
                progress(done, steps);
            }
        });
    if (!read) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), *error);
        return std::nullopt;
    }
    TermExport sheets = TermSheets(*read);
    if (progress) {
        progress(steps, steps);
    }
    return sheets;
}

std::optional<LessonClass> ResolveTermClass(LessonHistory &history, const QString &text,
                                            QString *error) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) {
        *error = QStringLiteral("no class given: name the class as the history lists it");
        return std::nullopt;
    }
    const auto classes = history.Classes();
    if (!classes) {
        *error = history.Error();
        return std::nullopt;
    }
    std::vector<LessonClass> named;
    std::copy_if(classes->begin(), classes->end(), std::back_inserter(named),
                 [](const LessonClass &c) { return !c.file.isEmpty(); });
    for (const LessonClass &c : named) {
        if (c.name == wanted) {
            return c;
        }
    }
    for (const LessonClass &c : named) {
        if (c.file == wanted) {
            return c;
        }
    }
    std::vector<LessonClass> alike;
    std::copy_if(named.begin(), named.end(), std::back_inserter(alike), [&](const LessonClass &c) {
        return c.name.compare(wanted, Qt::CaseInsensitive) == 0 ||
               c.file.compare(wanted, Qt::CaseInsensitive) == 0;
    });
    if (alike.size() == 1) {
        return alike.front();
    }
    const auto list = [](const std::vector<LessonClass> &some) {
        QStringList names;
        for (const LessonClass &c : some) {
            names << (c.name == c.file || c.name.isEmpty()
                          ? QStringLiteral("\"%1\"").arg(c.file)
                          : QStringLiteral("\"%1\" (file %2)").arg(c.name, c.file));
        }
        return names.join(QStringLiteral(", "));
    };
    if (alike.size() > 1) {
        *error = QStringLiteral("\"%1\" may be any of these classes: %2; give its name exactly")
                     .arg(wanted, list(alike));
    } else if (named.empty()) {
        *error = QStringLiteral("there is no class \"%1\": the record holds no lessons of a named "
                                "class")
                     .arg(wanted);
    } else {
        *error = QStringLiteral("there is no class \"%1\": the record holds %2")
                     .arg(wanted, list(named));
    }
    return std::nullopt;
}

ExportSheet WithOneHeadingRow(const ExportSheet &gradebook) {
    ExportSheet flat = gradebook;
    if (flat.rows.size() < 2) {
        return flat;
    }
    std::vector<ExportCell> &headings = flat.rows[1];
    const std::vector<ExportCell> &lessons = flat.rows[0];
    for (size_t column = 0; column < headings.size() && column < lessons.size(); ++column) {
        if (!lessons[column].text.isEmpty()) {
            headings[column].text =
                lessons[column].text + QStringLiteral(" · ") + headings[column].text;
        }
    }
    flat.rows.erase(flat.rows.begin());
    flat.frozenRows = std::min(flat.frozenRows, 1);
    return flat;
}

} // namespace lumora
