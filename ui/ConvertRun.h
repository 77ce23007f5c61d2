// A batch run on a worker thread, so that the window keeps answering while
// it works. Everything the run shows is carried out on the window's thread by
// the window's own host, and the worker waits for each call (a message box
// waits for the user); only the stop request is read on the worker directly.
#pragma once

#include <QObject>
#include <atomic>
#include <string>
#include <vector>

#include "conversion/BatchRun.h"
#include "conversion/ConvSettings.h"

class QThread;
class TJwsData;
class TJwwData;

// What a run works on, taken when it starts: later changes in the window
// cannot reach it.
struct TRunInputs {
  TConvSettings Settings;
  std::u16string SourceFolder;
  std::u16string DestFolder;
  std::vector<TBatchEntry> Entries;
};

class TConvertRun final : public QObject, private TBatchRunHost {
  Q_OBJECT

 public:
  // Window is the host that shows the run, living on this object's thread.
  // The documents are used by the worker alone until Finished.
  TConvertRun(TRunInputs Inputs, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Window, QObject* Parent);
  // Waits for the worker, turning the event loop so that a call it is
  // waiting on can still be carried out.
  ~TConvertRun() override;

  void Start();
  // Ends the run after the file being converted.
  void RequestStop() { StopRequested_ = true; }
  // The run was stopped with selected entries left.
  bool Stopped() const { return StopRequested_ && Done_ < Total_; }
  // Valid once Finished has been emitted.
  const TBatchOutcome& Outcome() const { return Outcome_; }

 signals:
  void Finished();

 private:
  // TBatchRunHost, called on the worker.
  void ShowMessage(std::u16string_view Text) override;
  void ShowConfirmation(std::u16string_view Text) override;
  void Beep() override;
  void FocusDestinationButton() override;
  void SetStatusText(std::u16string_view Text) override;
  // The window keeps its polling timer off for the whole run.
  void StopTimer() override {}
  void StartTimer() override {}
  void Progress(int Done, int Total) override;
  bool StopRequested() override { return StopRequested_; }

  // Runs Call on this object's thread and waits for it.
  template <class TCall>
  void OnWindowThread(TCall&& Call);
  void Work();

  TRunInputs Inputs_;
  TJwwData& JWW_;
  TJwsData& JWS_;
  TBatchRunHost& Window_;
  TBatchOutcome Outcome_;
  std::atomic<bool> StopRequested_ = false;
  std::atomic<int> Done_ = 0;
  std::atomic<int> Total_ = 0;
  QThread* Thread_ = nullptr;
};
