#include "ui/PreviewPane.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "display/DrawingGeometry.h"
#include "ui/FileListView.h"
#include "ui/QtText.h"
#include "ui/UiFonts.h"

namespace {

constexpr double kWheelStep = 1.25;  // per notch of the wheel

QToolButton* ToolButton(const QString& Caption, QWidget* Parent) {
  auto* B = new QToolButton(Parent);
  B->setText(Caption);
  B->setAutoRaise(false);
  return B;
}

}  // namespace

// The drawing itself: the last picture, moved and scaled to the current view
// until the next one arrives.
class TPreviewCanvas : public QWidget {
 public:
  explicit TPreviewCanvas(TPreviewPane* Pane) : QWidget(Pane), Pane_(Pane) {
    setMinimumSize(80, 60);
    setMouseTracking(false);
    setCursor(Qt::OpenHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter P(this);
    const TPreviewPicture& Shown = Pane_->Picture_;
    if (Shown.Image.isNull()) {
      P.fillRect(rect(), palette().color(QPalette::Base));
      return;
    }
    P.fillRect(rect(), Shown.Image.pixelColor(0, 0));
    // Where the picture's paper lies in the current view.
    const TAffine Map = FitMap(Pane_->ViewWorld(), QRectF(rect()));
    const QRectF Target = MappedBounds(Map, Shown.World);
    P.setRenderHint(QPainter::SmoothPixmapTransform);
    P.drawImage(Target, Shown.Image);
  }
  void resizeEvent(QResizeEvent*) override {
    Pane_->Message_->setGeometry(rect().adjusted(8, 8, -8, -8));
    Pane_->Request();
  }
  void wheelEvent(QWheelEvent* E) override {
    const double Notches = E->angleDelta().y() / 120.0;
    if (Notches != 0) Pane_->ZoomAt(E->position(), std::pow(kWheelStep, Notches));
    E->accept();
  }
  void mousePressEvent(QMouseEvent* E) override {
    if (E->button() != Qt::LeftButton) return;
    Last_ = E->position();
    setCursor(Qt::ClosedHandCursor);
  }
  void mouseMoveEvent(QMouseEvent* E) override {
    if (!Last_) return;
    Pane_->PanBy(E->position() - *Last_);
    Last_ = E->position();
  }
  void mouseReleaseEvent(QMouseEvent*) override {
    Last_.reset();
    setCursor(Qt::OpenHandCursor);
  }

 private:
  TPreviewPane* Pane_;
  std::optional<QPointF> Last_;
};

TPreviewPane::TPreviewPane(std::function<TConvSettings()> Settings, const std::u16string& WorkFolder, QWidget* Parent)
    : QWidget(Parent), Settings_(std::move(Settings)), ImageFolder_(WorkFolder + u"preview/") {
  Pool_.setMaxThreadCount(1);
  Source_ = std::make_shared<TPreviewSource>(ImageFolder_);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(2, 2, 2, 2);
  Layout->setSpacing(2);
  auto* Bar = new QHBoxLayout();
  Bar->setSpacing(2);
  BeforeButton = ToolButton(QStringLiteral("変換前"), this);
  AfterButton = ToolButton(QStringLiteral("変換後"), this);
  FitButton = ToolButton(QStringLiteral("全体表示"), this);
  BeforeButton->setCheckable(true);
  AfterButton->setCheckable(true);
  BeforeButton->setChecked(true);
  auto* Group = new QButtonGroup(this);
  Group->addButton(BeforeButton);
  Group->addButton(AfterButton);
  Group->setExclusive(true);
  for (QToolButton* B : {BeforeButton, AfterButton, FitButton}) Bar->addWidget(B);
  Bar->addStretch(1);
  Layout->addLayout(Bar);
  Canvas_ = new TPreviewCanvas(this);
  Layout->addWidget(Canvas_, 1);
  Message_ = new QLabel(Canvas_);
  Message_->setWordWrap(true);
  Message_->setAlignment(Qt::AlignCenter);
  Message_->hide();
  connect(BeforeButton, &QToolButton::clicked, this, [this] { SetConverted(false); });
  connect(AfterButton, &QToolButton::clicked, this, [this] { SetConverted(true); });
  connect(FitButton, &QToolButton::clicked, this, &TPreviewPane::FitToWindow);
}

TPreviewPane::~TPreviewPane() {
  ++Generation_;
  Pool_.clear();
  Pool_.waitForDone();
  Source_.reset();
}

QWidget* TPreviewPane::Canvas() const { return Canvas_; }

void TPreviewPane::ShowFile(const QString& Path) {
  if (Path == Path_) return;
  Path_ = Path;
  View_.reset();
  Picture_ = {};
  Canvas_->update();
  Request();
}

void TPreviewPane::FollowSelection(TFileListView* List, std::function<QString()> Folder) {
  connect(List, &QTableWidget::itemSelectionChanged, this, [this, List, Folder = std::move(Folder)] {
    int Row = List->currentRow();
    if (Row < 0 || !List->IsRowSelected(Row)) Row = List->FirstSelectedRow();
    const QString Caption = Row < 0 ? QString() : List->Caption(Row);
    if (Caption.isEmpty()) return ShowFile(QString());
    QString Base = Folder();
    if (!Base.endsWith(QLatin1Char('/'))) Base += QLatin1Char('/');
    ShowFile(Base + Caption);
  });
}

void TPreviewPane::SettingsChanged() {
  if (Converted_) Request();
}

void TPreviewPane::SetConverted(bool Converted) {
  BeforeButton->setChecked(!Converted);
  AfterButton->setChecked(Converted);
  if (Converted == Converted_) return;
  Converted_ = Converted;
  Request();
}

void TPreviewPane::FitToWindow() {
  View_.reset();
  Canvas_->update();
  Request();
}

QRectF TPreviewPane::ViewWorld() const {
  const QSize Size = Canvas_->size();
  if (View_) return WithProportions(*View_, Size);
  return WithProportions(Picture_.Fit.isEmpty() ? Picture_.World : Picture_.Fit, Size);
}

void TPreviewPane::ZoomAt(QPointF CanvasPoint, double Factor) {
  if (Picture_.Image.isNull() || !(Factor > 0)) return;
  const QRectF World = ViewWorld();
  const double S = World.width() / std::max(Canvas_->width(), 1);
  // The paper point under the cursor stays under it.
  const QPointF At(World.left() + CanvasPoint.x() * S, World.bottom() - CanvasPoint.y() * S);
  const double W = World.width() / Factor, H = World.height() / Factor;
  const double Limit = std::max(Picture_.Fit.width(), Picture_.Fit.height());
  if (W < Limit * 1e-5 || W > Limit * 100) return;
  View_ = QRectF(At.x() - (At.x() - World.left()) / Factor, At.y() - (At.y() - World.top()) / Factor, W, H);
  Canvas_->update();
  Request();
}

void TPreviewPane::PanBy(QPointF Pixels) {
  if (Picture_.Image.isNull()) return;
  const QRectF World = ViewWorld();
  const double S = World.width() / std::max(Canvas_->width(), 1);
  View_ = World.translated(-Pixels.x() * S, Pixels.y() * S);
  Canvas_->update();
  Request();
}

void TPreviewPane::Request() {
  const int Generation = ++Generation_;
  Pool_.clear();  // pictures not yet begun are no longer wanted
  if (Path_.isEmpty()) {
    Delivered_ = Generation;
    Message_->hide();
    return;
  }
  TPreviewRequest R;
  R.Path = Path_;
  R.Converted = Converted_;
  if (Converted_) R.Settings = Settings_();
  const qreal Ratio = devicePixelRatioF();
  R.Size = QSize(static_cast<int>(Canvas_->width() * Ratio), static_cast<int>(Canvas_->height() * Ratio));
  if (View_) R.World = WithProportions(*View_, Canvas_->size());
  // The pane waits for the worker when it goes, so the job may use it.
  Pool_.start([this, Source = Source_, R, Generation] {
    auto Stale = [this, Generation] { return Generation_.load() != Generation; };
    TPreviewPicture Picture = Stale() ? TPreviewPicture{} : Source->Draw(R, Stale);
    QMetaObject::invokeMethod(
        this, [this, Generation, Picture = std::move(Picture)]() mutable { Deliver(Generation, std::move(Picture)); },
        Qt::QueuedConnection);
  });
}

void TPreviewPane::Deliver(int Generation, TPreviewPicture Picture) {
  if (Generation != Generation_.load()) return;  // a newer request is on its way
  Delivered_ = Generation;
  Picture_ = std::move(Picture);
  if (!Picture_.Image.isNull() && Picture_.Image.devicePixelRatio() != devicePixelRatioF())
    Picture_.Image.setDevicePixelRatio(devicePixelRatioF());
  Message_->setText(Picture_.Reason);
  Message_->setVisible(!Picture_.Reason.isEmpty());
  Canvas_->update();
  emit PictureShown();
}
