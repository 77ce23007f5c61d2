// lintorra-cli pens: the pens the drawings and figures hold, per file and in
// total, as a table, as JSON or as CSV.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "cli/Commands.h"
#include "cli/PenReport.h"
#include "conversion/DrawingLoad.h"
#include "conversion/PenCensus.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Csv.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

struct PensOptions {
  std::vector<std::string> paths;
  bool json = false;
  bool csv = false;
  bool recursive = false;
};

struct FileCensus {
  std::string Path;
  TFileProblem Problem = TFileProblem::None;
  bool Jww = false;
  std::int32_t Version = 0;
  TPenCensus Census;
};

bool IsDrawingName(const fs::path& P) {
  const std::u16string Ext = FileExtLower(FromPath(P.filename()));
  return Ext == u".jww" || Ext == u".jws";
}

// The JWW and JWS files of a folder (and with Recursive of its subfolders),
// in path order; false when the folder cannot be read.
bool FolderFiles(const fs::path& Folder, bool Recursive, std::vector<fs::path>& Files) {
  std::error_code Ec;
  std::vector<fs::path> Found;
  auto Take = [&](const fs::directory_entry& E) {
    std::error_code TypeEc;
    if (E.is_regular_file(TypeEc) && IsDrawingName(E.path())) Found.push_back(E.path());
  };
  if (Recursive) {
    const auto Options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator It(Folder, Options, Ec), End; !Ec && It != End; It.increment(Ec)) Take(*It);
  } else {
    for (fs::directory_iterator It(Folder, Ec), End; !Ec && It != End; It.increment(Ec)) Take(*It);
  }
  std::sort(Found.begin(), Found.end());
  Files.insert(Files.end(), Found.begin(), Found.end());
  return !Ec;
}

FileCensus CensusOfFile(TDrawingLoader& Loader, const fs::path& Path) {
  FileCensus F;
  F.Path = ToUtf8(FromPath(Path));
  F.Problem = Loader.Load(FromPath(Path));
  if (F.Problem != TFileProblem::None) return F;
  F.Jww = Loader.IsJww();
  Loader.Visit([&](const auto& Doc) {
    F.Version = Doc.Enthd.jwVer;
    F.Census = CensusOf(Doc);
  });
  Loader.Clear();
  return F;
}

void PrintJson(const std::vector<FileCensus>& Files, const TPenCensus& Total, int Failed) {
  nlohmann::ordered_json J;
  J["files"] = nlohmann::ordered_json::array();
  for (const FileCensus& F : Files) {
    nlohmann::ordered_json E;
    E["path"] = F.Path;
    E["ok"] = F.Problem == TFileProblem::None;
    if (F.Problem != TFileProblem::None) {
      E["problem"] = ProblemId(F.Problem);
      E["reason"] = FileProblemText(F.Problem);
    } else {
      E["type"] = F.Jww ? "jww" : "jws";
      E["version"] = F.Version;
      E["pens"] = CensusJson(F.Census);
    }
    J["files"].push_back(std::move(E));
  }
  J["total"] = {{"files", Files.size()}, {"failed", Failed}, {"pens", CensusJson(Total)}};
  std::cout << J.dump(2) << "\n";
}

void PrintCsv(const std::vector<FileCensus>& Files, const TPenCensus& Total) {
  auto Line = [](const std::u16string& Scope, const std::string& Path, std::vector<std::u16string> Fields,
                 const std::u16string& Reason) {
    Fields.insert(Fields.begin(), {Scope, FromUtf8(Path)});
    Fields.push_back(Reason);
    std::cout << ToUtf8(CsvLine(Fields));
  };
  std::vector<std::u16string> Header = CensusCsvHeader();
  Header.insert(Header.begin(), {u"scope", u"file"});
  Header.push_back(u"reason");
  std::cout << ToUtf8(CsvLine(Header));
  for (const FileCensus& F : Files) {
    if (F.Problem != TFileProblem::None)
      Line(u"file", F.Path, std::vector<std::u16string>(CensusCsvHeader().size()),
           FromUtf8(FileProblemText(F.Problem)));
    for (const TPenCount& R : F.Census.Rows()) Line(u"file", F.Path, CensusCsvFields(R), u"");
  }
  for (const TPenCount& R : Total.Rows()) Line(u"total", "", CensusCsvFields(R), u"");
}

void PrintText(const std::vector<FileCensus>& Files, const TPenCensus& Total, int Failed) {
  for (const FileCensus& F : Files) {
    if (F.Problem != TFileProblem::None) {
      std::cout << F.Path << ": not read: " << FileProblemText(F.Problem) << "\n\n";
      continue;
    }
    std::cout << F.Path << ": " << (F.Jww ? "JWW" : "JWS") << " version " << F.Version << "\n";
    PrintCensusTable(std::cout, F.Census);
    std::cout << "\n";
  }
  std::cout << "Total over " << Files.size() << " file(s)";
  if (Failed > 0) std::cout << ", " << Failed << " not read";
  std::cout << ":\n";
  PrintCensusTable(std::cout, Total);
}

int RunPens(const PensOptions& O) {
  int ExitCode = 0;
  std::vector<fs::path> Paths;
  for (const std::string& P : O.paths) {
    const fs::path Path = ToPath(FromNativeName(P));
    std::error_code Ec;
    if (!fs::is_directory(Path, Ec)) {
      Paths.push_back(Path);
    } else if (!FolderFiles(Path, O.recursive, Paths)) {
      std::cerr << "lintorra-cli: " << P << ": the folder cannot be read whole\n";
      ExitCode = 1;
    }
  }
  TDrawingLoader Loader;
  std::vector<FileCensus> Files;
  TPenCensus Total;
  int Failed = 0;
  for (const fs::path& P : Paths) {
    Files.push_back(CensusOfFile(Loader, P));
    Total.Add(Files.back().Census);
    if (Files.back().Problem != TFileProblem::None) ++Failed;
  }
  if (O.json) PrintJson(Files, Total, Failed);
  else if (O.csv) PrintCsv(Files, Total);
  else PrintText(Files, Total, Failed);
  return Failed > 0 ? 1 : ExitCode;
}

}  // namespace

void AddPensCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<PensOptions>();
  CLI::App* Cmd = App.add_subcommand(
      "pens",
      "Count the pens (colour, line type, width) of JWW/JWS files per file and in total; exits 1 when a file "
      "cannot be read");
  Cmd->add_option("PATH", O->paths, "Files, or folders whose .jww and .jws files are read")->required();
  auto* Json = Cmd->add_flag("--json", O->json, "Print one JSON document");
  Cmd->add_flag("--csv", O->csv, "Print comma-separated values (UTF-8)")->excludes(Json);
  Cmd->add_flag("--recursive", O->recursive, "Also read the files of subfolders");
  Cmd->callback([O, &ExitCode] { ExitCode = RunPens(*O); });
}
