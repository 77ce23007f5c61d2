// The preview pane beside the file list: the selected file drawn as it is
// ("変換前") or as the current settings would convert it ("変換後"), fitted
// to the pane ("全体表示"), zoomed with the wheel and moved by dragging. The
// pictures are drawn on a worker thread; a picture of a file that is no
// longer selected is dropped, and a file that does not show says why.
#pragma once

#include <QImage>
#include <QRectF>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "conversion/ConvSettings.h"
#include "ui/PreviewSource.h"

class QLabel;
class QToolButton;
class TFileListView;
class TPreviewCanvas;

class TPreviewPane : public QWidget {
  Q_OBJECT

 public:
  // Settings: the settings "変換後" converts with, asked for at each picture.
  // WorkFolder: the program's working folder (bound images are extracted into
  // a folder of the pane's own inside it while a drawing is loaded).
  TPreviewPane(std::function<TConvSettings()> Settings, const std::u16string& WorkFolder, QWidget* Parent = nullptr);
  ~TPreviewPane() override;

  // Shows the file (an empty path clears the pane).
  void ShowFile(const QString& Path);
  // Follows the list's current row; Folder gives the folder of its files.
  void FollowSelection(TFileListView* List, std::function<QString()> Folder);
  // The settings changed: "変換後" is drawn again.
  void SettingsChanged();

  void SetConverted(bool Converted);
  bool Converted() const { return Converted_; }
  void FitToWindow();
  // Zooms by Factor (above 1 nearer) about a point of the canvas.
  void ZoomAt(QPointF CanvasPoint, double Factor);
  // Moves the drawing by a distance in canvas pixels.
  void PanBy(QPointF Pixels);

  // What the pane shows, for tests and the screenshot tool.
  QString File() const { return Path_; }
  const QImage& Picture() const { return Picture_.Image; }
  QRectF PictureWorld() const { return Picture_.World; }
  QString Reason() const { return Picture_.Reason; }
  bool Busy() const { return Delivered_ != Generation_.load(); }
  QWidget* Canvas() const;
  QToolButton* BeforeButton;
  QToolButton* AfterButton;
  QToolButton* FitButton;

 signals:
  void PictureShown();

 private:
  friend class TPreviewCanvas;
  void Request();
  void Deliver(int Generation, TPreviewPicture Picture);
  // The rectangle of paper the canvas shows now.
  QRectF ViewWorld() const;

  std::function<TConvSettings()> Settings_;
  std::u16string ImageFolder_;
  QString Path_;
  bool Converted_ = false;
  std::optional<QRectF> View_;  // nullopt: the whole drawing
  TPreviewPicture Picture_;
  std::atomic<int> Generation_{0};
  int Delivered_ = 0;  // the generation of the picture shown
  QThreadPool Pool_;
  std::shared_ptr<TPreviewSource> Source_;
  TPreviewCanvas* Canvas_;
  QLabel* Message_;
};
