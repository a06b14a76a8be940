#include "logo/gui/page2_preview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QVBoxLayout>

#include "logo/gui/check_list_ctrl.h"
#include "logo/logo_bitmap.h"
#include "logo/print_width.h"
#include "logo/raster_preview.h"
#include "ports/ports.h"

namespace torva {
namespace {

QLabel* PreviewArea(const char* name, QWidget* parent) {
  auto* area = new QLabel(parent);
  area->setObjectName(name);
  area->setFrameShape(QFrame::Box);
  area->setFixedSize(CPage2Preview::kPreviewWidth + 2 * area->frameWidth(),
                     CPage2Preview::kPreviewHeight + 2 * area->frameWidth());
  area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return area;
}

}  // namespace

CPage2Preview::CPage2Preview(CLogoList& list, LogoConnection& connection, QWidget* parent)
    : CLogoPage(kPreview, "Preview", list, connection, parent) {
  setObjectName("CPage2Preview");
  m_bitmaps = MakeListBlock();
  m_pPreview = PreviewArea("Preview", this);
  m_pPrintedView = PreviewArea("PrintedPreview", this);
  m_pPrintedView->setVisible(false);
  m_pShowPrinted = new QCheckBox("Show as &printed", this);
  m_pShowPrinted->setObjectName("ShowPrinted");
  m_pShowPrinted->setToolTip("The dots the printer will receive, with the current options");
  m_pDotSize = new QLabel(this);
  m_pDotSize->setObjectName("DotSize");

  m_pQualityGroup = new QGroupBox("Q&uality", this);
  m_pQualityGroup->setObjectName("QualityGroup");
  m_pQuality = new QButtonGroup(this);
  const char* labels[4] = {"&Normal", "&Quadraple", "Double &Height", "Double &Width"};
  const char* names[4] = {"QualityNormal", "QualityQuadruple", "QualityDoubleHeight",
                          "QualityDoubleWidth"};
  auto* qualityLayout = new QHBoxLayout(m_pQualityGroup);
  for (int i = 0; i < 4; ++i) {
    m_apQuality[i] = new QRadioButton(labels[i], m_pQualityGroup);
    m_apQuality[i]->setObjectName(names[i]);
    m_pQuality->addButton(m_apQuality[i], i);
    qualityLayout->addWidget(m_apQuality[i]);
  }
  m_apQuality[kNormal]->setChecked(true);

  auto* views = new QHBoxLayout();
  views->addWidget(m_pPreview);
  views->addWidget(m_pPrintedView);
  views->addStretch();
  auto* grid = new QGridLayout(this);
  PlaceListBlock(*grid, m_bitmaps);
  grid->addLayout(views, 4, 0, 1, 2);
  grid->addWidget(m_pDotSize, 5, 0, 1, 2);
  grid->addWidget(m_pShowPrinted, 6, 0, 1, 2);
  grid->addWidget(m_pQualityGroup, 7, 0, 1, 2);

  WireList(*m_bitmaps.pList, false, [this] { DrawPreview(); });
  connect(m_pQuality, &QButtonGroup::idClicked, this, [this](int id) {
    m_nQuality = id;
    DrawPreview();
  });
  connect(m_pShowPrinted, &QCheckBox::toggled, this, [this](bool on) {
    m_pPrintedView->setVisible(on);
    DrawPreview();
  });
}

CPage2Preview::~CPage2Preview() = default;

void CPage2Preview::OnInitDialog() {
  if (Korean()) {
    TranslateListBlock(m_bitmaps);
    m_pShowPrinted->setText("인쇄될 모양 보기(&P)");
    m_pQualityGroup->setTitle("인쇄 크기(&U)");
    const char* korean[4] = {"보통(&N)", "4배(&Q)", "세로 2배(&H)", "가로 2배(&W)"};
    for (int i = 0; i < 4; ++i) m_apQuality[i]->setText(korean[i]);
  }
}

void CPage2Preview::OnSetActive() {
  RefillList(*m_bitmaps.pList, false);
  ShowListTexts(m_bitmaps);
  DrawPreview();
  g_logoSheet.nActivePage = kPreview;
}

bool CPage2Preview::OnKillActive() {
  g_logoSheet.nActivePage = kPreview;
  return true;
}

QSize CPage2Preview::PreviewSize(int width, int height, int areaWidth, int areaHeight,
                                 int quality) {
  if (width <= 0 || height <= 0) return {};
  int w = 0;
  int h = 0;
  if (width == height) {
    w = h = areaHeight / 2;
  } else if (width > height) {
    w = areaWidth / 2;
    h = height * w / width;
    if (areaHeight < 2 * h) {
      h = areaHeight / 2;
      w = h * width / height;
    }
  } else {
    h = areaHeight / 2;
    w = h * width / height;
  }
  switch (quality) {
    case kQuadruple: return {2 * w, 2 * h};
    case kDoubleHeight: return {w, 2 * h};
    case kDoubleWidth: return {2 * w, h};
    default: return {w, h};
  }
}

std::string CPage2Preview::RememberedPath() const {
  const int row = g_logoSheet.nRememberedRow;
  if (row < 0 || row >= m_bitmaps.pList->RowCount()) return {};
  const int number = RowNumber(*m_bitmaps.pList, row);
  for (std::size_t i = 0; i < g_logoEntries.Count(); ++i) {
    if (m_list.EntryNumber(i) == number) return g_logoEntries.paths[i];
  }
  return {};
}

QImage CPage2Preview::PrintedImage(const std::string& path, const LogoOptions& options,
                                   CLogoBitmap& converter, LogoOptions& scratch) {
  // The converter reads scratch: the page's options without centring, so that the dots
  // are the image's own.
  scratch = options;
  scratch.abAutoCenter.fill(false);
  if (!converter.Load(path)) return {};
  const bool ok = options.bGrayPrint ? converter.MakeGrayRaster() : converter.MakeMonoRaster(1);
  if (!ok || converter.m_nWidth8 <= 0 || converter.m_nHeight8 <= 0) return {};
  const std::vector<std::uint8_t> dots =
      CRasterPreview::Dots(converter.m_abRaster, converter.m_nDataLength, converter.m_nWidth8,
                           converter.m_nHeight8, options.bGrayPrint);
  QImage image(dots.data(), converter.m_nWidth8, converter.m_nHeight8, converter.m_nWidth8,
               QImage::Format_Grayscale8);
  return image.copy();
}

void CPage2Preview::ShowDotSize(const QImage& picture) {
  if (picture.isNull()) {
    m_pDotSize->clear();
    m_pDotSize->setStyleSheet({});
    return;
  }
  static constexpr NvPrintMode kModeOfQuality[4] = {NvPrintMode::Normal, NvPrintMode::Quadruple,
                                                    NvPrintMode::DoubleHeight,
                                                    NvPrintMode::DoubleWidth};
  const bool korean = Korean();
  QString text = QString("%1 x %2 %3")
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(korean ? "도트" : "dots");
  const int printable = PrintableWidthDots(Port().m_nModel);
  const int across = PrintedWidthDots(picture.width(), kModeOfQuality[m_nQuality & 3]);
  const bool wide = across > printable;
  if (wide) {
    text += korean ? QString(" - 인쇄 폭 %1 도트가 용지 폭 %2 도트보다 넓습니다")
                         .arg(across)
                         .arg(printable)
                   : QString(" - prints %1 dots across, wider than the %2 dots of the paper")
                         .arg(across)
                         .arg(printable);
  }
  m_pDotSize->setText(text);
  m_pDotSize->setStyleSheet(wide ? "color: #b00000; font-weight: bold;" : "");
}

QPixmap CPage2Preview::Compose(const QImage& image, QSize& drawn) const {
  QPixmap area(kPreviewWidth, kPreviewHeight);
  area.fill(palette().color(QPalette::Window));
  drawn = QSize();
  if (image.isNull()) return area;
  drawn = PreviewSize(image.width(), image.height(), kPreviewWidth, kPreviewHeight, m_nQuality);
  QPainter painter(&area);
  // A plain copy of the source pixels, as the printer enlarges dots.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QRect(QPoint(0, 0), drawn), image);
  return area;
}

void CPage2Preview::DrawPreview() {
  const std::string path = RememberedPath();
  QImage picture;
  if (!path.empty()) picture.load(QString::fromStdString(path));
  m_pPreview->setPixmap(Compose(picture, m_drawnSize));
  ShowDotSize(picture);

  m_printed = QImage();
  m_drawnPrinted = QSize();
  if (!m_pShowPrinted->isChecked()) return;
  if (!path.empty()) {
    if (!m_pConverter) {
      m_pPreviewOptions = std::make_unique<LogoOptions>();
      m_pConverter = std::make_unique<CLogoBitmap>(*m_pPreviewOptions);
    }
    m_printed = PrintedImage(path, theLogoOptions, *m_pConverter, *m_pPreviewOptions);
  }
  m_pPrintedView->setPixmap(Compose(m_printed, m_drawnPrinted));
}

}  // namespace torva
