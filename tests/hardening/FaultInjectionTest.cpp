// Saves that fail at the file system: every step of a save failing in turn,
// a full disk, a read-only destination and a destination folder that
// vanishes meanwhile. Each save ends with false, leaves no partial or
// temporary file, and leaves the source untouched.
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/IniFile.h"
#include "conversion/SettingsFile.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "tests/hardening/FaultFixtures.h"

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using namespace faultfixtures;

namespace {

// Enough lines that a save spans several writes of the output buffer.
constexpr int kManyLines = 6000;

template <class TDoc>
void AddLines(TDoc& Doc) {
  for (int I = 0; I < kManyLines; ++I) {
    Doc.EntNo.push_back({kLine, I});
    TEntJwwLine& L = Doc.EntLine.emplace_back();
    L.att.nPenStyle = 1;
    L.att.nPenColor = 2;
    L.end_x = I;
  }
  Doc.Enthd.n1 = kManyLines;
}

// A drawing of version 7.00 saved at the source path.
void WriteJwwSource(const fs::path& Path) {
  TJwwData Doc;
  Doc.SizeHeaderTables();
  Doc.Enthd.jwVer = 700;
  AddLines(Doc);
  ASSERT_TRUE(Doc.FileOut(U16(Path), 700));
}

void WriteJwsSource(const fs::path& Path) {
  TJwsData Doc;
  Doc.EntLgrp.assign(16, {});
  Doc.Enthd.jwVer = 420;
  AddLines(Doc);
  ASSERT_TRUE(Doc.FileOut(U16(Path), 420));
}

// What one kind of save writes and what it leaves after a failure.
struct Writer {
  const char* name;
  const char* file;
  void (*makeSource)(const fs::path&);  // a source to load, or null
  // Saves into path; true when the save reports success.
  bool (*save)(const fs::path& Source, const fs::path& Path);
  bool keepsOlderFile;  // a failed save leaves an older destination as it was
};

bool SaveJww(const fs::path& Source, const fs::path& Path) {
  TJwwData Doc;
  Doc.BindImageExr = true;
  return Doc.FileIn(U16(Source)) && Doc.FileOut(U16(Path), Doc.Enthd.jwVer);
}

bool SaveJws(const fs::path& Source, const fs::path& Path) {
  TJwsData Doc;
  return Doc.FileIn(U16(Source)) && Doc.FileOut(U16(Path), Doc.Enthd.jwVer);
}

bool SaveIniFile(const fs::path&, const fs::path& Path) {
  TIniState State;
  State.preFolder = u"/data/図面";
  return SaveIni(U16(Path), State);
}

bool SaveSettings(const fs::path&, const fs::path& Path) {
  TConvSettings S;
  S.ColorMap[1] = 5;
  return WriteSettingsFile(U16(Path), S);
}

const Writer kWriters[] = {
    {"Jww", "plan.jww", WriteJwwSource, SaveJww, false},
    {"Jws", "part.jws", WriteJwsSource, SaveJws, false},
    {"Ini", "lintorra.ini", nullptr, SaveIniFile, true},
    {"SettingsFile", "pens.set", nullptr, SaveSettings, true},
};

class FileSystemFault : public testing::TestWithParam<Writer> {
 protected:
  void SetUp() override {
    fs::create_directories(Src_.path());
    if (GetParam().makeSource) {
      GetParam().makeSource(Source());
      SourceBytes_ = ReadFileBytes(Source());
    }
  }

  fs::path Source() const { return Src_ / GetParam().file; }
  bool Save(const fs::path& Folder) const { return GetParam().save(Source(), Folder / GetParam().file); }

  // After a failed save into folder: no temporary file, the destination
  // gone or (where the writer keeps it) the older file as it was, and the
  // source as it was.
  void ExpectCleanFailure(const fs::path& Folder, const std::vector<std::uint8_t>* Older) const {
    EXPECT_FALSE(HoldsTemporaryFile(Folder)) << testing::PrintToString(Names(Folder));
    const fs::path Dest = Folder / GetParam().file;
    if (Older && GetParam().keepsOlderFile) {
      EXPECT_EQ(ReadFileBytes(Dest), *Older);
    } else {
      EXPECT_FALSE(fs::exists(Dest));
    }
    ExpectSourceUntouched();
  }

  void ExpectSourceUntouched() const {
    if (GetParam().makeSource) {
      EXPECT_EQ(ReadFileBytes(Source()), SourceBytes_);
    }
  }

  TempDir Src_;
  TempDir Dst_;
  std::vector<std::uint8_t> SourceBytes_;
};

TEST_P(FileSystemFault, EveryStepFailingInTurn) {
  const fs::path Dest = Dst_ / GetParam().file;
  const std::vector<std::uint8_t> Older = {'o', 'l', 'd'};
  int N = 1;
  for (;; ++N) {
    testsupport::WriteFileBytes(Dest, Older);
    FailingStep Fault(N);
    const bool Saved = Save(Dst_.path());
    if (!Fault.hit()) {
      EXPECT_TRUE(Saved);
      break;
    }
    EXPECT_FALSE(Saved) << "step " << N;
    ExpectCleanFailure(Dst_.path(), &Older);
  }
  // Create, at least one write, sync, close and rename were each made to fail.
  EXPECT_GE(N, 6);
  EXPECT_EQ(Names(Dst_.path()), std::vector<std::string>{GetParam().file});
}

TEST_P(FileSystemFault, FullDisk) {
  const fs::path Folder = Dst_ / "small";
  Tmpfs Disk(Folder, 0, "size=16k");
  if (!Disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  // Leave less room than any of the files needs.
  testsupport::WriteFileBytes(Folder / "filler", std::vector<std::uint8_t>(12 * 1024, 'x'));
  EXPECT_FALSE(Save(Folder));
  ExpectCleanFailure(Folder, nullptr);
  EXPECT_EQ(Names(Folder), std::vector<std::string>{"filler"});
}

TEST_P(FileSystemFault, ReadOnlyDestination) {
  const fs::path Folder = Dst_ / "readonly";
  Tmpfs Disk(Folder, MS_RDONLY, "size=64k");
  if (!Disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  EXPECT_FALSE(Save(Folder));
  ExpectCleanFailure(Folder, nullptr);
  EXPECT_TRUE(Names(Folder).empty());
}

TEST_P(FileSystemFault, MissingDestinationFolder) {
  const fs::path Folder = Dst_ / "missing";
  EXPECT_FALSE(Save(Folder));
  EXPECT_FALSE(fs::exists(Folder));
  ExpectSourceUntouched();
}

// The folder is removed while the file is being written: the save fails and
// nothing reappears.
TEST_P(FileSystemFault, DestinationFolderRemovedDuringSave) {
  const fs::path Folder = Dst_ / "vanishing";
  fs::create_directories(Folder);
  SetFileStepFaultHook([&](FileStep Step) {
    if (Step == FileStep::Sync) fs::remove_all(Folder);
    return 0;
  });
  const bool Saved = Save(Folder);
  SetFileStepFaultHook({});
  EXPECT_FALSE(Saved);
  EXPECT_FALSE(fs::exists(Folder));
  ExpectSourceUntouched();
}

// The folder is renamed while the file is being written: the complete file
// lands in the moved folder, and no temporary file stays in either place.
TEST_P(FileSystemFault, DestinationFolderMovedDuringSave) {
  const fs::path Folder = Dst_ / "moving";
  const fs::path Moved = Dst_ / "moved";
  fs::create_directories(Folder);
  SetFileStepFaultHook([&](FileStep Step) {
    if (Step == FileStep::Sync) fs::rename(Folder, Moved);
    return 0;
  });
  const bool Saved = Save(Folder);
  SetFileStepFaultHook({});
  EXPECT_TRUE(Saved);
  EXPECT_FALSE(fs::exists(Folder));
  EXPECT_EQ(Names(Moved), std::vector<std::string>{GetParam().file});
}

INSTANTIATE_TEST_SUITE_P(Writers, FileSystemFault, testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
