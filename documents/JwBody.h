// The body shared by JWW drawings and JWS figures: the entity list, the block
// definitions with their nesting tree, the bound-image list and the output
// options. Both document classes derive from it and add their own header.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "documents/Archive.h"
#include "documents/JwRecords.h"
#include "documents/jwwtype.h"

// References to one order list and its seven record arrays: the entity list
// of a document or the members of one block definition.
template <bool Const>
struct EntityListsOf {
  template <class T>
  using Ref = std::conditional_t<Const, const T&, T&>;
  Ref<std::vector<TEntJwwNo>> no;
  Ref<RecordArray<TEntJwwLine>> line;
  Ref<RecordArray<TEntJwwEnko>> enko;
  Ref<RecordArray<TEntJwwTen>> ten;
  Ref<RecordArray<TEntJwwMoji>> moji;
  Ref<RecordArray<TEntJwwSunpo>> sunpo;
  Ref<RecordArray<TEntJwwSolid>> solid;
  Ref<RecordArray<TEntJwwBlock>> block;

  operator EntityListsOf<true>() const requires(!Const) { return {no, line, enko, ten, moji, sunpo, solid, block}; }

  // Number of records of a kind (0 for other codes).
  std::size_t Count(std::int32_t Kind) const {
    switch (Kind) {
      case kLine: return line.size();
      case kEnko: return enko.size();
      case kTen: return ten.size();
      case kMoji: return moji.size();
      case kSunpo: return sunpo.size();
      case kSolid: return solid.size();
      case kBlock: return block.size();
      default: return 0;
    }
  }
  // True when an order-list entry names an existing record.
  bool Valid(const TEntJwwNo& E) const { return E.EntNo >= 0 && static_cast<std::size_t>(E.EntNo) < Count(E.EntType); }
};
using EntityLists = EntityListsOf<false>;
using ConstEntityLists = EntityListsOf<true>;

EntityLists Members(TEntJwwBlockDef& D);
ConstEntityLists Members(const TEntJwwBlockDef& D);

class TJwBody {
 public:
  std::vector<TEntJwwNo> EntNo;
  RecordArray<TEntJwwLine> EntLine;
  RecordArray<TEntJwwEnko> EntEnko;
  RecordArray<TEntJwwTen> EntTen;
  RecordArray<TEntJwwMoji> EntMoji;
  RecordArray<TEntJwwSunpo> EntSunpo;
  RecordArray<TEntJwwSolid> EntSolid;
  RecordArray<TEntJwwBlock> EntBlock;
  std::vector<TEntJwwBlockDef> EntBlockDef;
  std::vector<TEntJwwBlockTree> EntBlockTree;
  std::int32_t EntBlockNum = 0;  // definitions with ref_flag set: those a save writes

  // Bound images (only JWW files carry them). The owner sets the folder and
  // the two flags once; resets leave them alone.
  std::u16string BindImageFolder;  // ends with a path separator
  std::vector<TBindImageType> BindImage;
  bool BindImageExp = false;  // a load extracts each image into the folder
  bool BindImageExr = false;  // a load reads the image list without files

  std::int32_t FileOutOpt = 0;
  bool MojiEncode = false;  // the loaded file held a UTF-16 string

  EntityLists Entities();
  ConstEntityLists Entities() const;

  void SetFileOutOption(int N);
  // Marks the block definitions that the entity list uses: those an insert
  // of the list names, directly or through the inserts of used definitions.
  // They get ref_flag and the numbers a save gives them, ref_no 0, 1, ...
  // in definition order; the others ref_no -1. EntBlockNum counts them. A
  // save writes exactly the marked definitions, renumbered; a load marks
  // them (MakeBlockTree), and so must whoever changes inserts or numbers
  // before a save.
  void MarkUsedBlockDefs();
  // Marks the used definitions, then builds EntBlockTree, the nesting of
  // the inserts for display.
  void MakeBlockTree();
  std::uint32_t ChangeBlockNo(std::uint32_t N) const;
  void BindImageInit();

 protected:
  TJwBody() = default;
  ~TJwBody() = default;
  TJwBody(const TJwBody&) = delete;
  TJwBody& operator=(const TJwBody&) = delete;

  // Empties the entity lists, definitions, tree and image list and clears
  // the options; the image folder and flags stay.
  void BodyInit();
  // Reads the entity list and the block definition list for file version
  // ver; n1 and n2 receive the declared counts. Throws ArchiveError.
  void ReadBody(ArchiveIn& In, std::int32_t Ver, std::int32_t& N1, std::int32_t& N2);
  // Writes both lists for output version ver; docVer is the version of the
  // document in memory (it decides the SXF dimension expansion).
  void WriteBody(ArchiveOut& Out, std::int32_t Ver, std::int32_t DocVer) const;

 private:
  void BuildBlockTree();
};
