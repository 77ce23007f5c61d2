// A run whose conversions go on side by side: the calling thread checks,
// backs up and reports each entry in list order, the workers only convert.
#include <algorithm>
#include <deque>
#include <future>
#include <memory>

#include "conversion/BatchRun.h"
#include "support/Func_2.h"
#include "support/WorkerPool.h"

namespace {

// An entry looked at but not yet reported.
struct TPending {
  TFileOutcome Outcome;
  std::shared_ptr<TConvResult> Result;  // the worker's, once Done is ready
  std::future<void> Done;               // not valid for an entry that is not converted
};

}  // namespace

void TBatchRun::RunInParallel(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                              std::span<const TBatchEntry> Entries, TBatchOutcome& Outcome) {
  const int Total =
      static_cast<int>(std::count_if(Entries.begin(), Entries.end(), [](const TBatchEntry& E) { return E.Selected; }));
  int Reported = 0;
  Host_.Progress(Reported, Total);
  Host_.StopTimer();
  TWorkerPool Pool(static_cast<int>(Workers_.size()));
  // Enough entries ahead to keep every worker busy while the first waits.
  const std::size_t Ahead = 2 * Workers_.size();
  std::deque<TPending> Pending;

  auto ReportFirst = [&] {
    TPending& P = Pending.front();
    if (P.Done.valid()) {
      Host_.SetStatusText(ConvertingStatus(P.Outcome.Source, P.Outcome.Destination));
      P.Done.get();
      Finish(P.Outcome, *P.Result);
      Host_.SetStatusText(u"");
    }
    Outcome.Files.push_back(std::move(P.Outcome));
    Pending.pop_front();
    Host_.FileDone(Outcome.Files.back());
    Host_.Progress(++Reported, Total);
  };
  // Destinations are compared as a case-blind file system would see them.
  auto BeingConverted = [&](std::u16string_view Destination) {
    const std::u16string Key = TextUpper(Destination);
    return std::any_of(Pending.begin(), Pending.end(),
                       [&](const TPending& P) { return P.Done.valid() && TextUpper(P.Outcome.Destination) == Key; });
  };

  for (const TBatchEntry& E : Entries) {
    if (!E.Selected) continue;
    if (Host_.StopRequested()) break;
    const std::u16string Destination = PathJoin(DestFolder, E.Caption);
    while (!Pending.empty() && (Pending.size() >= Ahead || BeingConverted(Destination))) ReportFirst();
    TPending P;
    std::u16string Ext;
    P.Outcome = PrepareEntry(SourceFolder, DestFolder, E.Caption, Ext);
    if (P.Outcome.Fault == TEntryFault::None) {
      P.Result = std::make_shared<TConvResult>();
      P.Done = Pool.Submit(
          [this, Result = P.Result, Source = P.Outcome.Source, Dest = P.Outcome.Destination, Ext](int Worker) {
            const TWorkerDocuments& W = Workers_[static_cast<std::size_t>(Worker)];
            *Result = ConvertWith(W.JWW, W.JWS, Settings_, Check_, Source, Dest, Ext);
          });
    }
    Pending.push_back(std::move(P));
  }
  while (!Pending.empty()) ReportFirst();
  Host_.StartTimer();
}
