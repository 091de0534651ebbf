#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class QProgressDialog;
class QWidget;

// What a task running on the worker thread sees: where to report progress and whether to stop.
class CTaskControl {
public:
    // Reports how far the task has come (done of total, total 0 when unknown) with a line of text.
    void Report(int done, int total, const QString& text);
    // True once the user asked to stop.
    bool isCancelled() const { return cancel.load(); }
    // The flag itself, for code that takes an atomic flag.
    const std::atomic<bool>* objCancelFlag() const { return &cancel; }

private:
    friend class CBackgroundTask;
    mutable std::mutex lock;
    int done = 0;
    int total = 0;
    QString text;
    bool changed = false;
    std::atomic<bool> cancel{false};
};

// Runs one task on a worker thread and reports its progress on the GUI thread (signals Progress
// and Finished, delivered by a short timer). The task must not touch widgets.
class CBackgroundTask : public QObject {
    Q_OBJECT
public:
    using Task = std::function<void(CTaskControl&)>;

    explicit CBackgroundTask(QObject* parent = nullptr);
    // Waits for a running task after asking it to stop.
    ~CBackgroundTask() override;

    // Starts the task; false when one is already running.
    bool isStart(Task task);
    // Asks the task to stop (it ends at its next check).
    void Cancel() { control.cancel = true; }
    // True while the task runs.
    bool isRunning() const { return running; }
    // True when the last task was asked to stop.
    bool isCancelled() const { return control.isCancelled(); }
    // The error the last task raised, "" when it ended normally.
    QString strError() const { return error; }

    // Runs the task with a modal progress dialog (with a Cancel button) over the parent and
    // returns when it has ended.
    void RunWithDialog(QWidget* parent, const QString& title, Task task);
    // The progress dialog while RunWithDialog runs, nullptr otherwise.
    QProgressDialog* objDialog() const { return dialog; }

signals:
    // Progress of the task: done of total, and its line of text.
    void Progress(int done, int total, const QString& text);
    // The task has ended (finished, cancelled or failed).
    void Finished();

private:
    void Poll();

    CTaskControl control;
    std::thread worker;
    std::atomic<bool> workerDone{false};
    bool running = false;
    QString error;
    QTimer timer;
    QProgressDialog* dialog = nullptr;
};
