#include "conversion/DrawingLoad.h"

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

std::string FileProblemText(TFileProblem P) {
  switch (P) {
    case TFileProblem::None: break;
    case TFileProblem::NotDrawing: return "not a .jww or .jws file";
    case TFileProblem::Unreadable: return "cannot be opened for reading";
    case TFileProblem::NotRecognised: return "not a JWW or JWS file of a supported version";
    case TFileProblem::Incomplete: return "could not be read whole";
    case TFileProblem::NotSaved: return "could not be saved";
  }
  return {};
}

std::u16string FileProblemCaption(TFileProblem P) {
  switch (P) {
    case TFileProblem::None: break;
    case TFileProblem::NotDrawing: return u"JWW/JWS ファイルではありません。";
    case TFileProblem::Unreadable: return u"ファイルを開けません。";
    case TFileProblem::NotRecognised: return u"JWW/JWS ファイルとして読めません（形式またはバージョンが違います）。";
    case TFileProblem::Incomplete: return u"ファイルを最後まで読めませんでした。";
    case TFileProblem::NotSaved: return u"変換後のファイルを保存できません。";
  }
  return {};
}

TDrawingLoader::TDrawingLoader() : Jww_(std::make_unique<TJwwData>()), Jws_(std::make_unique<TJwsData>()) {
  // A drawing's image list is read as a run reads it (so the same files
  // load), but without an image folder: no image is extracted, and a save
  // writes none.
  Jww_->BindImageExp = false;
  Jww_->BindImageExr = true;
  Jws_->BindImageExp = Jws_->BindImageExr = false;
}

TDrawingLoader::~TDrawingLoader() = default;

void TDrawingLoader::Clear() {
  Jww_->DataFree();
  Jws_->DataFree();
  IsJww_ = false;
}

TFileProblem TDrawingLoader::Load(std::u16string_view Path) {
  Clear();
  LastError_ = {};
  const std::u16string Ext = FileExtLower(Path);
  auto LoadAs = [&](auto& Doc) {
    if (!Doc.FileCheck(Path)) {
      LastError_ = Doc.LastError();
      return LastError_.Fault == TJwFault::CannotOpen ? TFileProblem::Unreadable : TFileProblem::NotRecognised;
    }
    if (Doc.FileIn(Path)) return TFileProblem::None;
    LastError_ = Doc.LastError();
    Doc.DataFree();
    return TFileProblem::Incomplete;
  };
  if (Ext == u".jww") {
    const TFileProblem P = LoadAs(*Jww_);
    IsJww_ = P == TFileProblem::None;
    return P;
  }
  if (Ext == u".jws") return LoadAs(*Jws_);
  return TFileProblem::NotDrawing;
}
