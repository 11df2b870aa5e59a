// A class's term in the lesson history: the gradebook of the lessons held
// between two days (a row per student, a column per question, the totals and
// attendance), read off the window's thread with its progress shown, and
// exported as a workbook or CSV files on a worker thread.
//
// The days start as the current term (the teacher's term starts in
// Config.ini); changing either reads the term again.
#pragma once

#include "core/BackgroundJob.h"
#include "record/Export.h"
#include "record/TermGradebook.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>

class QDateEdit;
class QLabel;
class QProgressBar;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace lumora {

class TImageButton;

class TTermPage : public QWidget {
    Q_OBJECT
public:
    TTermPage(const QString &dataDir, QWidget *parent);
    // Waits for a reading or an export still running.
    ~TTermPage() override;

    // Reads the term of a class (its file under Classes/, empty for the
    // unnamed class; name as shown).
    void ShowClass(const QString &classFile, const QString &className);
    void SetRange(const TermRange &range);
    TermRange Range() const;
    void UpdateTexts();

    bool Loading() const { return loading_.Pending(); }
    // The sheets shown, once read; null while reading or after a failure.
    const TermExport *Shown() const { return shown_ ? &*shown_ : nullptr; }

    // Asks for a file (the history's save dialog), then exports on a worker
    // thread; the outcome is a prompt.
    void Export(ExportFormat format);
    bool Exporting() const { return exporting_.Pending(); }

Q_SIGNALS:
    void Loaded(bool ok);
    void ExportFinished(bool ok);

protected:
    bool event(QEvent *event) override;

private:
    void Load();
    void LoadDone();
    void ExportDone();
    void ShowSheet(const ExportSheet &sheet);
    void Busy(bool busy);

    const QString dataDir_;
    QString classFile_;
    QString className_;
    bool reloadWanted_ = false;
    std::optional<TermExport> shown_;
    QString exportPath_;

    QLabel *lblTerm_ = nullptr;
    QLabel *lblFrom_ = nullptr;
    QLabel *lblTo_ = nullptr;
    QDateEdit *dteFrom_ = nullptr;
    QDateEdit *dteTo_ = nullptr;
    TImageButton *btnXlsx_ = nullptr;
    TImageButton *btnCsv_ = nullptr;
    QProgressBar *prgTerm_ = nullptr;
    QTableView *tblTerm_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    QTimer *progressTimer_ = nullptr;

    // Steps done and in all, written by the worker, read by the timer.
    struct Progress {
        std::atomic<int> done{0};
        std::atomic<int> total{0};
    };
    std::shared_ptr<Progress> progress_;
    BackgroundJob<std::pair<std::optional<TermExport>, QString>> loading_;
    BackgroundJob<std::pair<bool, QString>> exporting_;
};

} // namespace lumora
