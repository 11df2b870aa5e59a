// A problem of the lesson record that the teacher is told about once; the
// lesson goes on in every case.
#pragma once

#include "core/MessageTexts.h"

#include <QMetaType>
#include <QString>

namespace lumora {

struct RecordProblem {
    enum class Kind {
        // The database could not be used; it was renamed to detail and a
        // fresh one started.
        SetAside,
        // Nothing can be written in the Records folder (detail says why):
        // this run records nothing.
        Unavailable,
        // A write failed (detail says why); recording stopped, what was
        // committed before is kept.
        WriteFailed,
        // A write found the file damaged: recording stopped, what was
        // committed before is kept, and the next start checks the file and
        // sets it aside.
        Damaged,
    };
    Kind kind = Kind::WriteFailed;
    QString detail;
};

// The prompt's title and text in the current language: the message of the
// kind, then the detail on a line of its own.
QString RecordProblemTitle(const MessageTextTable &messages = MessageTexts);
QString RecordProblemText(const RecordProblem &problem,
                          const MessageTextTable &messages = MessageTexts);

} // namespace lumora

Q_DECLARE_METATYPE(lumora::RecordProblem)
