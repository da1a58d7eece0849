// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs crossover::optimize off the window's thread: one run at a time, its progress and its end
// reported on the window's thread, a stop flag for Cancel, and a wait for closing the window.

#include "crossover/Optimizer.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>

class QThread;

class CrossoverOptimizerRunner : public QObject
{
    Q_OBJECT

public:
    explicit CrossoverOptimizerRunner(QObject *parent = nullptr);
    ~CrossoverOptimizerRunner() override;

    // Starts a run (none must be running).
    void start(const crossover::OptimizeInput &input);
    bool running() const { return thread_ != nullptr; }
    // Asks the run to stop; it ends soon after with a cancelled result.
    void cancel() { stop_ = true; }
    // Stops a run and waits for its thread; its result is dropped (finished is not sent).
    void stopAndWait();
    // The result of the last run that ended (none when it failed: fault holds why).
    const std::optional<crossover::OptimizeResult> &result() const { return result_; }
    QString fault() const { return fault_; }

signals:
    void progress(double fraction);
    void finished();

private:
    void ended();

    QThread *thread_ = nullptr;
    int runs_ = 0;
    std::atomic<bool> stop_{false};
    std::optional<crossover::OptimizeResult> result_, pending_;
    QString fault_, pendingFault_;
};
