#include "record/RecordProblem.h"
#include "core/MessageTexts.h"

namespace lumora {

QString RecordProblemTitle(const MessageTextTable &messages) {
    return messages[MessageKey::RecordTitle];
}

QString RecordProblemText(const RecordProblem &problem, const MessageTextTable &messages) {
    MessageKey key = MessageKey::RecordError3;
    switch (problem.kind) {
    case RecordProblem::Kind::SetAside:
        key = MessageKey::RecordError1;
        break;
    case RecordProblem::Kind::Unavailable:
        key = MessageKey::RecordError2;
        break;
    case RecordProblem::Kind::WriteFailed:
        key = MessageKey::RecordError3;
        break;
    case RecordProblem::Kind::Damaged:
        key = MessageKey::RecordDamaged;
        break;
    }
    const QString &text = messages[key];
    if (problem.detail.isEmpty()) {
        return text;
    }
    return text.isEmpty() ? problem.detail : text + u'\n' + problem.detail;
}

} // namespace lumora
