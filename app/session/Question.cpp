#include "session/Question.h"

#include "core/Helpers.h"

namespace lumora {

std::optional<bool> IsCorrect(int questionType, uint32_t answer, QStringView key) {
    if (questionType == kQuestionSubjective) {
        return std::nullopt;
    }
    return answer != 0 && LettersMatchKey(AnswerToLetters(answer), key);
}

} // namespace lumora
