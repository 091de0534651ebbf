#include "editor/CBackgroundTask.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <exception>

void CTaskControl::Report(int doneCount, int totalCount, const QString& line) {
    std::lock_guard<std::mutex> guard(lock);
    done = doneCount;
    total = totalCount;
    text = line;
    changed = true;
}

CBackgroundTask::CBackgroundTask(QObject* parent) : QObject(parent) {
    timer.setInterval(50);
    connect(&timer, &QTimer::timeout, this, &CBackgroundTask::Poll);
}

CBackgroundTask::~CBackgroundTask() {
    control.cancel = true;
    if (worker.joinable()) worker.join();
}

bool CBackgroundTask::isStart(Task task) {
    if (running) return false;
    if (worker.joinable()) worker.join();
    control.cancel = false;
    control.changed = false;
    error.clear();
    workerDone = false;
    running = true;
    worker = std::thread([this, task = std::move(task)] {
        try {
            task(control);
        } catch (const std::exception& failure) {
            std::lock_guard<std::mutex> guard(control.lock);
            error = QString::fromStdString(failure.what());
        } catch (...) {
            std::lock_guard<std::mutex> guard(control.lock);
            error = "The task failed.";
        }
        workerDone = true;
    });
    timer.start();
    return true;
}

void CBackgroundTask::Poll() {
    int done = 0;
    int total = 0;
    QString text;
    bool changed = false;
    {
        std::lock_guard<std::mutex> guard(control.lock);
        changed = control.changed;
        control.changed = false;
        done = control.done;
        total = control.total;
        text = control.text;
    }
    if (changed) emit Progress(done, total, text);
    if (!workerDone) return;
    worker.join();
    timer.stop();
    running = false;
    emit Finished();
}

void CBackgroundTask::RunWithDialog(QWidget* parent, const QString& title, Task task) {
    QProgressDialog progress(title, "Cancel", 0, 0, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    dialog = &progress;
    QEventLoop loop;
    bool stopping = false;
    const auto onProgress =
        connect(this, &CBackgroundTask::Progress, [&](int done, int total, const QString& text) {
            if (stopping) return;
            progress.setMaximum(total);
            progress.setValue(total > 0 ? done : 0);
            progress.setLabelText(text);
        });
    // The task stops at its next check (an engine ends its search first): until then the dialog
    // stays, saying so, where a hidden one would leave the window waiting without a word.
    const auto onCancel = connect(&progress, &QProgressDialog::canceled, this, [&] {
        Cancel();
        stopping = true;
        for (QPushButton* button : progress.findChildren<QPushButton*>())
            button->setEnabled(false);
        progress.setLabelText("Stopping after the current step...");
        progress.show();
    });
    const auto onFinish = connect(this, &CBackgroundTask::Finished, &loop, &QEventLoop::quit);
    if (isStart(std::move(task))) {
        progress.show();
        loop.exec();
    }
    disconnect(onProgress);
    disconnect(onCancel);
    disconnect(onFinish);
    dialog = nullptr;
}
