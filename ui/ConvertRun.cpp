#include "ui/ConvertRun.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

TConvertRun::TConvertRun(TRunInputs Inputs, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Window, QObject* Parent)
    : QObject(Parent), Inputs_(std::move(Inputs)), JWW_(JWW), JWS_(JWS), Window_(Window) {}

TConvertRun::~TConvertRun() {
  if (!Thread_) return;
  RequestStop();
  while (!Thread_->wait(10)) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  delete Thread_;
}

void TConvertRun::Start() {
  Thread_ = QThread::create([this] { Work(); });
  connect(Thread_, &QThread::finished, this, &TConvertRun::Finished);
  Thread_->start();
}

void TConvertRun::Work() {
  try {
    TBatchRun Run(Inputs_.Settings, JWW_, JWS_, *this);
    Outcome_ = Run.Run(Inputs_.SourceFolder, Inputs_.DestFolder, Inputs_.Entries);
  } catch (...) {
    // Out of memory in the middle of a file: the run ends with what it did.
  }
}

template <class TCall>
void TConvertRun::OnWindowThread(TCall&& Call) {
  QMetaObject::invokeMethod(this, std::forward<TCall>(Call), Qt::BlockingQueuedConnection);
}

void TConvertRun::ShowMessage(std::u16string_view Text) {
  OnWindowThread([&] { Window_.ShowMessage(Text); });
}

void TConvertRun::ShowConfirmation(std::u16string_view Text) {
  OnWindowThread([&] { Window_.ShowConfirmation(Text); });
}

void TConvertRun::Beep() {
  OnWindowThread([&] { Window_.Beep(); });
}

void TConvertRun::FocusDestinationButton() {
  OnWindowThread([&] { Window_.FocusDestinationButton(); });
}

void TConvertRun::SetStatusText(std::u16string_view Text) {
  OnWindowThread([&] { Window_.SetStatusText(Text); });
}

void TConvertRun::Progress(int Done, int Total) {
  Done_ = Done;
  Total_ = Total;
  OnWindowThread([&] { Window_.Progress(Done, Total); });
}
