// The file a roster import reads, asked with the platform's open dialog: its
// native one where the platform has one, else Qt's own, whose texts follow
// the teacher's language (config/QtTranslations).
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace lumora {

// Test seam, as for the program's other dialogs: a responder set here
// answers instead of the dialog (an empty path is Cancel), so nothing waits
// for a user. Returns the responder set before.
using OpenFileResponder =
    std::function<QString(const QString &caption, const QString &folder, const QString &filter)>;
OpenFileResponder SetOpenFileResponder(OpenFileResponder responder);

// The chosen file, or empty when the dialog was cancelled. The dialog opens
// in folder and offers filter (Qt's form: "Class lists (*.txt *.csv)").
QString AskOpenFile(QWidget *parent, const QString &caption, const QString &folder,
                    const QString &filter);

} // namespace lumora
