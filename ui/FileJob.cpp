#include "ui/FileJob.h"

#include <QMetaObject>
#include <QThread>

TFileJob::TFileJob(TWork Work, QObject* Parent) : QObject(Parent), Work_(std::move(Work)) {}

TFileJob::~TFileJob() {
  if (!Thread_) return;
  RequestStop();
  Thread_->wait();
  delete Thread_;
}

void TFileJob::Start() {
  Thread_ = QThread::create([this] {
    try {
      Work_(*this);
    } catch (...) {
      // Out of memory in the middle of a file: the work ends with what it found.
    }
  });
  connect(Thread_, &QThread::finished, this, &TFileJob::Finished);
  Thread_->start();
}

void TFileJob::Post(std::function<void()> Call) {
  QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}
