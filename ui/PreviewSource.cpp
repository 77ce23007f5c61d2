#include "ui/PreviewSource.h"

#include <QPainter>
#include <algorithm>

#include "conversion/BatchRun.h"
#include "conversion/Conversion.h"
#include "display/DrawingRenderer.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "ui/QtText.h"

struct TPreviewSource::TLoaded {
  QString Path;
  bool Converted = false;
  TConvSettings Settings;
  std::unique_ptr<TJwwData> Jww;
  std::unique_ptr<TJwsData> Jws;
  std::unique_ptr<TDrawingRenderer> Renderer;
  QString Reason;  // set when the file does not show
};

QRectF WithProportions(const QRectF& World, const QSize& Size) {
  if (Size.isEmpty() || World.isEmpty()) return World;
  const double Want = static_cast<double>(Size.height()) / Size.width();
  double W = World.width(), H = World.height();
  if (H / W < Want) H = W * Want;
  else W = H / Want;
  return {World.center().x() - W / 2, World.center().y() - H / 2, W, H};
}

TPreviewSource::TPreviewSource(std::u16string ImageFolder) : ImageFolder_(std::move(ImageFolder)) {}

TPreviewSource::~TPreviewSource() { Release(); }

void TPreviewSource::Release() {
  if (!Loaded_) return;
  Loaded_->Renderer.reset();
  if (Loaded_->Jww) JwwDataFree(*Loaded_->Jww);
  Loaded_.reset();
  FolderRemove(ImageFolder_);  // only an empty folder goes
}

bool TPreviewSource::Load(const TPreviewRequest& R, QString& Reason) {
  Release();
  Loaded_ = std::make_unique<TLoaded>();
  Loaded_->Path = R.Path;
  Loaded_->Converted = R.Converted;
  Loaded_->Settings = R.Settings;
  const std::u16string Path = U(R.Path);
  const std::u16string Ext = FileExtLower(Path);
  TRenderOptions Options;
  if (Ext == u".jww") {
    auto& D = Loaded_->Jww = std::make_unique<TJwwData>();
    const bool Images = FolderCreate(ImageFolder_) || IsFolder(ImageFolder_);
    D->BindImageFolder = ImageFolder_;
    D->BindImageExp = D->BindImageExr = Images;
    if (Images) Options.ImageFolder = ImageFolder_;
    if (!D->FileCheck(Path)) Reason = Q(kPreviewNotRecognised);
    else if (!D->FileIn(Path)) Reason = Q(kPreviewLoadFailed);
    else if (R.Converted && !ConvertInMemory(*D, R.Settings)) Reason = Q(kMsgNoCombination);
    else Loaded_->Renderer = std::make_unique<TDrawingRenderer>(*D, Options);
  } else if (Ext == u".jws") {
    auto& D = Loaded_->Jws = std::make_unique<TJwsData>();
    if (!D->FileCheck(Path)) Reason = Q(kPreviewNotRecognised);
    else if (!D->FileIn(Path)) Reason = Q(kPreviewLoadFailed);
    else if (R.Converted && !ConvertInMemory(*D, R.Settings)) Reason = Q(kMsgNoCombination);
    else Loaded_->Renderer = std::make_unique<TDrawingRenderer>(*D, Options);
  } else {
    Reason = Q(kPreviewNotDrawing);
  }
  Loaded_->Reason = Reason;
  return Loaded_->Renderer != nullptr;
}

TPreviewPicture TPreviewSource::Draw(const TPreviewRequest& R, const std::function<bool()>& Stale) {
  TPreviewPicture Out;
  const bool Same = Loaded_ && Loaded_->Path == R.Path && Loaded_->Converted == R.Converted &&
                    (!R.Converted || Loaded_->Settings == R.Settings);
  if (!Same) Load(R, Out.Reason);
  Out.Reason = Loaded_->Reason;
  if (!Loaded_->Renderer || Stale() || R.Size.isEmpty()) return Out;
  const TDrawingRenderer& Renderer = *Loaded_->Renderer;
  Out.Fit = Renderer.FitRect();
  Out.World = WithProportions(R.World.value_or(Out.Fit), R.Size);
  const QSize Size(std::min(R.Size.width(), kMaxPictureSide), std::min(R.Size.height(), kMaxPictureSide));
  QImage Image(Size, QImage::Format_RGB32);
  if (Image.isNull()) return Out;
  {
    QPainter P(&Image);
    Renderer.Draw(P, QRectF(QPointF(0, 0), Size), Out.World);
  }
  if (!Stale()) Out.Image = std::move(Image);
  return Out;
}
