#include "cli/DryRunReport.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/PenReport.h"
#include "support/Func_2.h"

namespace {

const char* ModeId(const TConvSettings& S) { return S.IsCombinationMode() ? "combination" : "individual"; }

const char* OutcomeId(const TDryRunEntry& E) {
  if (E.Skipped) return "skipped";
  return E.WouldConvert() ? "convert" : ProblemId(E.Problem);
}

nlohmann::ordered_json EntryJson(const TDryRunEntry& E) {
  nlohmann::ordered_json J;
  J["name"] = ToUtf8(E.Caption);
  J["outcome"] = OutcomeId(E);
  if (E.Skipped) {
    J["message"] = ToUtf8(E.Message);
    return J;
  }
  J["source"] = ToUtf8(E.Source);
  J["destination"] = ToUtf8(E.Destination);
  J["replaces_existing"] = E.ReplacesExisting;
  if (E.ReplacesExisting) J["backup"] = ToUtf8(E.Backup);
  if (!E.WouldConvert()) {
    J["reason"] = FileProblemText(E.Problem);
    if (E.Reason) J["error"] = Describe(E.Reason);
    return J;
  }
  const TDryRun& R = E.Run;
  J["version"] = {{"source", R.SourceVersion}, {"saved", R.SavedVersion}};
  nlohmann::ordered_json Dropped = nlohmann::ordered_json::array();
  for (const TDroppedBlockDef& D : R.Dropped)
    Dropped.push_back({{"number", D.Number}, {"name", ToUtf8(D.Name)}, {"records", D.Members}});
  J["dropped_block_definitions"] = Dropped;
  nlohmann::ordered_json Renamed = nlohmann::ordered_json::array();
  for (const TSxfRename& N : R.Renamed)
    Renamed.push_back({{"table", N.Table == TSxfTable::Color ? "color" : "ltype"},
                       {"index", N.Index},
                       {"before", ToUtf8(N.Before)},
                       {"after", ToUtf8(N.After)}});
  J["renamed_sxf_entries"] = Renamed;
  J["transitions"] = TransitionsJson(R.Transitions);
  return J;
}

struct TTotals {
  int Convert = 0, Failed = 0, Skipped = 0;
};

TTotals Totals(const TDryRunBatch& B) {
  TTotals T;
  for (const TDryRunEntry& E : B.Entries) {
    if (E.Skipped) ++T.Skipped;
    else if (E.WouldConvert()) ++T.Convert;
    else ++T.Failed;
  }
  return T;
}

void PrintJson(const TDryRunBatch& B, const TConvSettings& S) {
  nlohmann::ordered_json J;
  J["started"] = B.Started;
  J["mode"] = ModeId(S);
  J["ver_raise"] = S.VerRaise;
  J["files"] = nlohmann::ordered_json::array();
  for (const TDryRunEntry& E : B.Entries) J["files"].push_back(EntryJson(E));
  const TTotals T = Totals(B);
  J["total"] = {{"counted", B.Count},
                {"convert", T.Convert},
                {"failed", T.Failed},
                {"skipped", T.Skipped},
                {"records_changed", B.Total.Records()},
                {"transitions", TransitionsJson(B.Total)}};
  std::cout << J.dump(2) << "\n";
}

void PrintEntry(const TDryRunEntry& E) {
  std::cout << ToUtf8(E.Caption) << ": ";
  if (E.Skipped) {
    std::u16string OneLine;  // the message's line breaks as blanks
    for (const char16_t C : E.Message)
      if (C != u'\r') OneLine += C == u'\n' ? u' ' : C;
    std::cout << "skipped by the run: " << ToUtf8(OneLine) << "\n\n";
    return;
  }
  if (!E.WouldConvert()) {
    std::cout << "would not be converted: " << FileProblemText(E.Problem);
    if (E.Reason) std::cout << " (" << Describe(E.Reason) << ")";
    std::cout << "\n\n";
    return;
  }
  const TDryRun& R = E.Run;
  std::cout << "would be saved as " << ToUtf8(E.Destination);
  if (E.ReplacesExisting) std::cout << ", replacing the file there (backed up to " << ToUtf8(E.Backup) << ")";
  std::cout << "\n  version " << R.SourceVersion;
  if (R.SavedVersion != R.SourceVersion) std::cout << " -> " << R.SavedVersion;
  std::cout << "; " << R.Dropped.size() << " unused block definition(s) dropped";
  std::cout << "; " << R.Renamed.size() << " SXF table name(s) written anew";
  std::cout << "; " << R.Transitions.Records() << " record(s) change\n";
  for (const TDroppedBlockDef& D : R.Dropped)
    std::cout << "  dropped: block " << D.Number << " \"" << ToUtf8(D.Name) << "\" (" << D.Members << " records)\n";
  if (!R.Transitions.Empty()) PrintTransitionsTable(std::cout, R.Transitions);
  std::cout << "\n";
}

void PrintText(const TDryRunBatch& B, const TConvSettings& S) {
  std::cout << "Dry run, " << ModeId(S) << " conversion; nothing is written.\n\n";
  for (const TDryRunEntry& E : B.Entries) PrintEntry(E);
  const TTotals T = Totals(B);
  std::cout << "Total: " << T.Convert << " file(s) would be converted, " << T.Failed << " would fail, " << T.Skipped
            << " skipped; " << B.Total.Records() << " record(s) change\n";
  if (!B.Total.Empty()) PrintTransitionsTable(std::cout, B.Total);
}

}  // namespace

void PrintDryRun(const TDryRunBatch& Batch, const TConvSettings& Settings, bool Json) {
  if (Json) PrintJson(Batch, Settings);
  else PrintText(Batch, Settings);
}
