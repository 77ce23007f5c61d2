// What the preview pane shows, worked out off the window's thread: a file
// loaded (and, for "変換後", converted in memory as the current settings would
// convert it) and drawn into a picture of the pane's size. The loaded
// document is kept between pictures of the same file, so that zooming and
// panning only draw again.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "conversion/ConvSettings.h"

struct TPreviewRequest {
  QString Path;
  bool Converted = false;  // as the settings would convert it
  TConvSettings Settings;
  QSize Size;                   // the picture, in device pixels
  std::optional<QRectF> World;  // paper millimetres to show; nullopt: the whole drawing
};

struct TPreviewPicture {
  QImage Image;    // null when the file does not show
  QRectF World;    // what the picture shows, with the picture's proportions
  QRectF Fit;      // the whole drawing
  QString Reason;  // why there is no picture
};

// The texts the pane shows instead of a picture.
inline constexpr char16_t kPreviewNotDrawing[] = u"このファイルはプレビューできません（JWW/JWS のみ）。";
inline constexpr char16_t kPreviewNotRecognised[] =
    u"JWW/JWS ファイルとして読めません（形式またはバージョンが違います）。";
inline constexpr char16_t kPreviewLoadFailed[] = u"ファイルを最後まで読めませんでした。";

// The rectangle about World's centre that holds World and has the
// proportions of Size.
QRectF WithProportions(const QRectF& World, const QSize& Size);

class TPreviewSource {
 public:
  // ImageFolder: where bound images are extracted while a drawing is loaded
  // (a folder of its own inside the working folder; made and removed here).
  explicit TPreviewSource(std::u16string ImageFolder);
  ~TPreviewSource();
  TPreviewSource(const TPreviewSource&) = delete;
  TPreviewSource& operator=(const TPreviewSource&) = delete;

  // The picture of the request. Stale is asked after the slow steps; when it
  // says the request is no longer wanted, the work stops and the result is
  // an empty picture.
  TPreviewPicture Draw(const TPreviewRequest& R, const std::function<bool()>& Stale);

 private:
  struct TLoaded;
  bool Load(const TPreviewRequest& R, QString& Reason);
  void Release();

  std::u16string ImageFolder_;
  std::unique_ptr<TLoaded> Loaded_;
};
