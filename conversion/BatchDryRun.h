// The dry run of a batch: the run's own checks, then every selected entry of
// the file list taken as the run would take it (skipped with the run's
// message, or loaded and converted in memory), with what each file would
// become. Nothing is backed up, written or extracted.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/BatchRun.h"
#include "conversion/ConvSettings.h"
#include "conversion/DrawingLoad.h"
#include "conversion/DryRun.h"

struct TDryRunEntry {
  std::u16string Caption;
  std::u16string Source, Destination;
  // The run would skip the entry with this message and not count it.
  bool Skipped = false;
  std::u16string Message;
  // A file of the destination name exists: the run would copy it to Backup
  // (never over a backup it made before in the run) and then replace it.
  bool ReplacesExisting = false;
  std::u16string Backup;
  // Why a counted entry would give no output; None when it would convert.
  TFileProblem Problem = TFileProblem::None;
  TJwError Reason;  // the document's own reason for a problem of the load
  TDryRun Run;      // when it would convert

  bool WouldConvert() const { return !Skipped && Problem == TFileProblem::None; }
};

struct TDryRunBatch {
  bool Started = false;  // false when the run's checks refuse it
  int Count = 0;         // entries the run would hand to the conversion
  std::vector<TDryRunEntry> Entries;
  TTransitionTally Total;
};

class TBatchDryRun {
 public:
  // The run's messages go to Host, as a real run shows them; so do its
  // progress and stop requests.
  TBatchDryRun(const TConvSettings& Settings, TBatchRunHost& Host);

  // EntryDone is called after each selected entry, with the loader that
  // still holds the file (converted in memory) when it loaded.
  using TEntryDone = std::function<void(const TDryRunEntry&, const TDrawingLoader&)>;
  TDryRunBatch Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                   std::span<const TBatchEntry> Entries, const TEntryDone& EntryDone = {});

 private:
  // Backups holds the backups the run would have made before the entry.
  TDryRunEntry LookAt(std::u16string_view SourceFolder, std::u16string_view DestFolder, std::u16string_view Caption,
                      TBackupNames& Backups);

  TConvSettings Settings_;
  TBatchRunHost& Host_;
  TDrawingLoader Loader_;
};
