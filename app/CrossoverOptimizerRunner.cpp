// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CrossoverOptimizerRunner.h"

#include "common/Checked.h"

#include <QThread>

CrossoverOptimizerRunner::CrossoverOptimizerRunner(QObject *parent) : QObject(parent) {}

CrossoverOptimizerRunner::~CrossoverOptimizerRunner()
{
    stopAndWait();
}

void CrossoverOptimizerRunner::start(const crossover::OptimizeInput &input)
{
    if (thread_)
        return;
    stop_ = false;
    pending_.reset();
    pendingFault_.clear();
    // The worker writes only pending_/pendingFault_ and reads only its copy of the input; the window's
    // thread reads them once the thread has finished.
    thread_ = QThread::create([this, input] {
        try {
            pending_ = crossover::optimize(input, &stop_, [this](double fraction) {
                QMetaObject::invokeMethod(this, [this, fraction] { emit progress(fraction); }, Qt::QueuedConnection);
            });
        } catch (const kelvane::CalcFault &fault) {
            pendingFault_ = QString::fromUtf8(fault.what());
        }
    });
    // A run stopped by stopAndWait may still have its end queued: only this run's end counts.
    connect(thread_, &QThread::finished, this, [this, run = ++runs_] {
        if (run == runs_)
            ended();
    });
    thread_->start();
}

void CrossoverOptimizerRunner::ended()
{
    if (!thread_)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    result_ = pending_;
    fault_ = pendingFault_;
    emit finished();
}

void CrossoverOptimizerRunner::stopAndWait()
{
    if (!thread_)
        return;
    stop_ = true;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    result_.reset();
    fault_.clear();
}
