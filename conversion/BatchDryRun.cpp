#include "conversion/BatchDryRun.h"

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

TBatchDryRun::TBatchDryRun(const TConvSettings& Settings, TBatchRunHost& Host) : Settings_(Settings), Host_(Host) {}

TDryRunBatch TBatchDryRun::Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                               std::span<const TBatchEntry> Entries, const TEntryDone& EntryDone) {
  // The run's checks need documents only to exist; the files are loaded
  // into the loader's own.
  TJwwData UnusedJww;
  TJwsData UnusedJws;
  TBatchRun Checks(Settings_, UnusedJww, UnusedJws, Host_);
  TDryRunBatch Batch;
  if (!Checks.CheckStart(SourceFolder, DestFolder)) return Batch;
  Batch.Started = true;
  TBackupNames Backups;
  ForEachSelectedEntry(Host_, Entries, [&](const TBatchEntry& E) {
    TDryRunEntry& Entry = Batch.Entries.emplace_back(LookAt(SourceFolder, DestFolder, E.Caption, Backups));
    if (Entry.Skipped) Host_.ShowMessage(Entry.Message);
    else ++Batch.Count;
    Batch.Total.Add(Entry.Run.Transitions);
    if (EntryDone) EntryDone(Entry, Loader_);
    Loader_.Clear();
  });
  return Batch;
}

TDryRunEntry TBatchDryRun::LookAt(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                                  std::u16string_view Caption, TBackupNames& Backups) {
  TDryRunEntry Entry;
  Entry.Caption = Caption;
  std::u16string Ext;
  if (const TEntryFault Fault = TBatchRun::CheckEntry(Caption, Ext); Fault != TEntryFault::None) {
    Entry.Skipped = true;
    Entry.Message = EntryMessage(Fault, Caption);
    return Entry;
  }
  Entry.Source = PathJoin(SourceFolder, Caption);
  Entry.Destination = PathJoin(DestFolder, Caption);
  Entry.ReplacesExisting = FileMayExist(Entry.Destination);
  if (Entry.ReplacesExisting) {
    Entry.Backup = Backups.For(Entry.Destination);
    Backups.Made(Entry.Backup);
  }
  Entry.Problem = Loader_.Load(Entry.Source);
  Entry.Reason = Loader_.LastError();
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
