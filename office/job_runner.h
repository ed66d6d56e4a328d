#pragma once

// The office's long work (reading runs, adjusting, exporting) runs off the
// window's thread, one job at a time, so the window stays responsive. While
// a job runs, the status bar shows what it is doing, a progress bar and a
// Cancel button; Cancel sets the flag the job reads, and the job ends
// having changed nothing.

#include <QCoreApplication>
#include <QFuture>
#include <QFutureWatcher>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

namespace quarrow {

class JobRunner {
 public:
  using CancelFlag = std::function<bool()>;

  JobRunner(QProgressBar& bar, QPushButton& cancel, QLabel& status)
      : bar_(bar), cancel_(cancel), status_(status) {
    Show(false);
  }

  bool busy() const { return busy_; }

  // Starts the job `make` returns, told the flag that says it is cancelled;
  // `done` is called on the window's thread with its future and whether it
  // was cancelled. Refused (false) while another job runs.
  template <typename T>
  bool Start(const QString& what, const std::function<QFuture<T>(CancelFlag)>& make,
             std::function<void(const QFuture<T>&, bool cancelled)> done) {
    if (busy_) return false;
    busy_ = true;
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<std::atomic<bool>> flag = cancelled_;
    status_.setText(what);
    bar_.setRange(0, 0);
    bar_.setValue(0);
    Show(true);
    auto* watcher = new QFutureWatcher<T>();
    // The bar follows the job a few times a second: a bar repaints at once
    // whenever its value changes, and a job may report thousands of steps.
    auto* pace = new QTimer(watcher);
    QObject::connect(pace, &QTimer::timeout, &bar_, [this, watcher] {
      const int minimum = watcher->progressMinimum();
      const int maximum = watcher->progressMaximum();
      if (bar_.minimum() != minimum || bar_.maximum() != maximum) bar_.setRange(minimum, maximum);
      if (bar_.value() != watcher->progressValue()) bar_.setValue(watcher->progressValue());
    });
    pace->start(150);
    QObject::connect(watcher, &QFutureWatcherBase::finished, &bar_,
                     [this, watcher, flag, done = std::move(done)] {
                       const QFuture<T> future = watcher->future();
                       watcher->deleteLater();
                       busy_ = false;
                       Show(false);
                       status_.clear();
                       done(future, flag->load());
                     });
    QFuture<T> future = make([flag] { return flag->load(); });
    cancel_future_ = [future]() mutable { future.cancel(); };
    watcher->setFuture(future);
    return true;
  }

  void Cancel() {
    if (!busy_) return;
    cancelled_->store(true);
    status_.setText(QCoreApplication::translate("JobRunner", "Cancelling..."));
    if (cancel_future_) cancel_future_();
  }

  // Runs the window's events until no job runs; for tests and benchmarks.
  void Wait() {
    while (busy_) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(1);
    }
  }

 private:
  void Show(bool shown) {
    bar_.setVisible(shown);
    cancel_.setVisible(shown);
    cancel_.setEnabled(shown);
  }

  QProgressBar& bar_;
  QPushButton& cancel_;
  QLabel& status_;
  bool busy_ = false;
  std::shared_ptr<std::atomic<bool>> cancelled_;
  std::function<void()> cancel_future_;
};

}  // namespace quarrow
