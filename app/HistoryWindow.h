// Lumora --history: the lesson history in a window of its own, without the
// receiver. Nothing of the classroom is built and the receiver library is
// never called (no search, no callbacks), so it opens on a computer without
// a receiver and beside a running program, whose record it only reads. It
// takes the data folder's language and writes none of its files (settings,
// roster, classes, record; an export goes where the teacher chooses).
#pragma once

#include <QString>
#include <QWidget>

namespace lumora {

class THistoryView;
class TerminationSignals;

class TFrmHistory : public QWidget {
    Q_OBJECT
public:
    explicit TFrmHistory(const QString &dataDir, QWidget *parent = nullptr);
    THistoryView *History() const { return history_; }

private:
    THistoryView *history_ = nullptr;
};

// Shows the window until it is closed or a termination signal comes; with a
// picture folder, saves a picture of it there ("history.png") and closes.
// The program's exit status.
int RunHistoryWindow(const QString &dataDir, const QString &pictureDir,
                     TerminationSignals &termination);

} // namespace lumora
