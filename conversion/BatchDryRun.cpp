#include "conversion/BatchDryRun.h"

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

// Passes everything on to the owner's host and keeps the last message, the
// reason the run gives for skipping an entry.
class TRecordingHost final : public TBatchRunHost {
 public:
  explicit TRecordingHost(TBatchRunHost& Owner) : Owner_(Owner) {}
  void ShowMessage(std::u16string_view Text) override {
    Last = Text;
    Owner_.ShowMessage(Text);
  }
  void ShowConfirmation(std::u16string_view Text) override { Owner_.ShowConfirmation(Text); }
  void Beep() override { Owner_.Beep(); }
  void FocusDestinationButton() override { Owner_.FocusDestinationButton(); }
  void SetStatusText(std::u16string_view Text) override { Owner_.SetStatusText(Text); }
  void StopTimer() override { Owner_.StopTimer(); }
  void StartTimer() override { Owner_.StartTimer(); }

  std::u16string Last;

 private:
  TBatchRunHost& Owner_;
};

}  // namespace

TBatchDryRun::TBatchDryRun(const TConvSettings& Settings, TBatchRunHost& Host) : Settings_(Settings), Host_(Host) {}

TDryRunBatch TBatchDryRun::Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                               std::span<const TBatchEntry> Entries, const TEntryDone& EntryDone) {
  TRecordingHost Host(Host_);
  // The run's checks need documents only to exist; the files are loaded
  // into the loader's own.
  TJwwData UnusedJww;
  TJwsData UnusedJws;
  TBatchRun Checks(Settings_, UnusedJww, UnusedJws, Host);
  TDryRunBatch Batch;
  if (!Checks.CheckStart(SourceFolder, DestFolder)) return Batch;
  Batch.Started = true;
  ForEachSelectedEntry(Host_, Entries, [&](const TBatchEntry& E) {
    Host.Last.clear();
    TDryRunEntry& Entry = Batch.Entries.emplace_back(LookAt(Checks, SourceFolder, DestFolder, E.Caption));
    if (Entry.Skipped) Entry.Message = Host.Last;
    else ++Batch.Count;
    Batch.Total.Add(Entry.Run.Transitions);
    if (EntryDone) EntryDone(Entry, Loader_);
    Loader_.Clear();
  });
  return Batch;
}

TDryRunEntry TBatchDryRun::LookAt(TBatchRun& Checks, std::u16string_view SourceFolder, std::u16string_view DestFolder,
                                  std::u16string_view Caption) {
  TDryRunEntry Entry;
  Entry.Caption = Caption;
  std::u16string Ext;
  if (!Checks.CheckEntry(Caption, Ext)) {
    Entry.Skipped = true;
    return Entry;
  }
  Entry.Source = PathJoin(SourceFolder, Caption);
  Entry.Destination = PathJoin(DestFolder, Caption);
  Entry.ReplacesExisting = FileMayExist(Entry.Destination);
  if (Entry.ReplacesExisting) Entry.Backup = BackupPath(Entry.Destination);
  Entry.Problem = Loader_.Load(Entry.Source);
  if (Entry.Problem == TFileProblem::None) {
    const TDryRunStatus Status = Loader_.Visit([&](auto& Doc) { return DryRunOf(Doc, Settings_, Entry.Run); });
    // The run's checks have refused a combination without rows already.
    if (Status != TDryRunStatus::Done) {
      Entry.Problem = TFileProblem::NotSaved;
      Entry.Run = {};
    }
  }
  return Entry;
}
