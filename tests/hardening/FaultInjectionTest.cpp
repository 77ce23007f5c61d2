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
#include "documents/ByteStream.h"
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

template <class Doc>
void AddLines(Doc& doc) {
  for (int i = 0; i < kManyLines; ++i) {
    doc.EntNo.push_back({kLine, i});
    TEntJwwLine& l = doc.EntLine.emplace_back();
    l.att.nPenStyle = 1;
    l.att.nPenColor = 2;
    l.end_x = i;
  }
  doc.Enthd.n1 = kManyLines;
}

// A drawing of version 7.00 saved at the source path.
void WriteJwwSource(const fs::path& path) {
  TJwwData doc;
  doc.SizeHeaderTables();
  doc.Enthd.jwVer = 700;
  AddLines(doc);
  ASSERT_TRUE(doc.FileOut(U16(path), 700));
}

void WriteJwsSource(const fs::path& path) {
  TJwsData doc;
  doc.EntLgrp.assign(16, {});
  doc.Enthd.jwVer = 420;
  AddLines(doc);
  ASSERT_TRUE(doc.FileOut(U16(path), 420));
}

// What one kind of save writes and what it leaves after a failure.
struct Writer {
  const char* name;
  const char* file;
  void (*makeSource)(const fs::path&);  // a source to load, or null
  // Saves into path; true when the save reports success.
  bool (*save)(const fs::path& source, const fs::path& path);
  bool keepsOlderFile;  // a failed save leaves an older destination as it was
};

bool SaveJww(const fs::path& source, const fs::path& path) {
  TJwwData doc;
  doc.BindImageExr = true;
  return doc.FileIn(U16(source)) && doc.FileOut(U16(path), doc.Enthd.jwVer);
}

bool SaveJws(const fs::path& source, const fs::path& path) {
  TJwsData doc;
  return doc.FileIn(U16(source)) && doc.FileOut(U16(path), doc.Enthd.jwVer);
}

bool SaveIniFile(const fs::path&, const fs::path& path) {
  TIniState state;
  state.preFolder = u"/data/図面";
  return SaveIni(U16(path), state);
}

bool SaveSettings(const fs::path&, const fs::path& path) {
  TConvSettings s;
  s.ColorMap[1] = 5;
  return WriteSettingsFile(U16(path), s);
}

const Writer kWriters[] = {
    {"Jww", "plan.jww", WriteJwwSource, SaveJww, false},
    {"Jws", "part.jws", WriteJwsSource, SaveJws, false},
    {"Ini", "lintorra.ini", nullptr, SaveIniFile, false},
    {"SettingsFile", "pens.set", nullptr, SaveSettings, true},
};

class FileSystemFault : public testing::TestWithParam<Writer> {
 protected:
  void SetUp() override {
    fs::create_directories(src_.path());
    if (GetParam().makeSource) {
      GetParam().makeSource(Source());
      sourceBytes_ = ReadFileBytes(Source());
    }
  }

  fs::path Source() const { return src_ / GetParam().file; }
  bool Save(const fs::path& folder) const { return GetParam().save(Source(), folder / GetParam().file); }

  // After a failed save into folder: no temporary file, the destination
  // gone or (where the writer keeps it) the older file as it was, and the
  // source as it was.
  void ExpectCleanFailure(const fs::path& folder, const std::vector<std::uint8_t>* older) const {
    EXPECT_FALSE(HoldsTemporaryFile(folder)) << testing::PrintToString(Names(folder));
    const fs::path dest = folder / GetParam().file;
    if (older && GetParam().keepsOlderFile) {
      EXPECT_EQ(ReadFileBytes(dest), *older);
    } else {
      EXPECT_FALSE(fs::exists(dest));
    }
    ExpectSourceUntouched();
  }

  void ExpectSourceUntouched() const {
    if (GetParam().makeSource) {
      EXPECT_EQ(ReadFileBytes(Source()), sourceBytes_);
    }
  }

  TempDir src_;
  TempDir dst_;
  std::vector<std::uint8_t> sourceBytes_;
};

TEST_P(FileSystemFault, EveryStepFailingInTurn) {
  const fs::path dest = dst_ / GetParam().file;
  const std::vector<std::uint8_t> older = {'o', 'l', 'd'};
  int n = 1;
  for (;; ++n) {
    testsupport::WriteFileBytes(dest, older);
    FailingStep fault(n);
    const bool saved = Save(dst_.path());
    if (!fault.hit()) {
      EXPECT_TRUE(saved);
      break;
    }
    EXPECT_FALSE(saved) << "step " << n;
    ExpectCleanFailure(dst_.path(), &older);
  }
  // Create, at least one write, sync, close and rename were each made to fail.
  EXPECT_GE(n, 6);
  EXPECT_EQ(Names(dst_.path()), std::vector<std::string>{GetParam().file});
}

TEST_P(FileSystemFault, FullDisk) {
  const fs::path folder = dst_ / "small";
  Tmpfs disk(folder, 0, "size=16k");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  // Leave less room than any of the files needs.
  testsupport::WriteFileBytes(folder / "filler", std::vector<std::uint8_t>(12 * 1024, 'x'));
  EXPECT_FALSE(Save(folder));
  ExpectCleanFailure(folder, nullptr);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"filler"});
}

TEST_P(FileSystemFault, ReadOnlyDestination) {
  const fs::path folder = dst_ / "readonly";
  Tmpfs disk(folder, MS_RDONLY, "size=64k");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  EXPECT_FALSE(Save(folder));
  ExpectCleanFailure(folder, nullptr);
  EXPECT_TRUE(Names(folder).empty());
}

TEST_P(FileSystemFault, MissingDestinationFolder) {
  const fs::path folder = dst_ / "missing";
  EXPECT_FALSE(Save(folder));
  EXPECT_FALSE(fs::exists(folder));
  ExpectSourceUntouched();
}

// The folder is removed while the file is being written: the save fails and
// nothing reappears.
TEST_P(FileSystemFault, DestinationFolderRemovedDuringSave) {
  const fs::path folder = dst_ / "vanishing";
  fs::create_directories(folder);
  SetFileStepFaultHook([&](FileStep step) {
    if (step == FileStep::Sync) fs::remove_all(folder);
    return 0;
  });
  const bool saved = Save(folder);
  SetFileStepFaultHook({});
  EXPECT_FALSE(saved);
  EXPECT_FALSE(fs::exists(folder));
  ExpectSourceUntouched();
}

// The folder is renamed while the file is being written: the complete file
// lands in the moved folder, and no temporary file stays in either place.
TEST_P(FileSystemFault, DestinationFolderMovedDuringSave) {
  const fs::path folder = dst_ / "moving";
  const fs::path moved = dst_ / "moved";
  fs::create_directories(folder);
  SetFileStepFaultHook([&](FileStep step) {
    if (step == FileStep::Sync) fs::rename(folder, moved);
    return 0;
  });
  const bool saved = Save(folder);
  SetFileStepFaultHook({});
  EXPECT_TRUE(saved);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(Names(moved), std::vector<std::string>{GetParam().file});
}

INSTANTIATE_TEST_SUITE_P(Writers, FileSystemFault, testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
