// CPage2Preview, "Preview Bitmap": one image of the list at a chosen print size. Beside the
// picture as the file holds it, the page can show the image as it will print: the dots the
// converter makes from it (mono, or grey when grey printing is on) with the current
// black/white diverging point.
#pragma once

#include <QImage>
#include <QSize>
#include <memory>

#include "logo/gui/logo_page.h"
#include "logo/logo_options.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace torva {

class CLogoBitmap;

class CPage2Preview : public CLogoPage {
  Q_OBJECT
 public:
  // The quality buttons, in their order on the page.
  enum Quality { kNormal = 0, kQuadruple = 1, kDoubleHeight = 2, kDoubleWidth = 3 };
  static constexpr int kPreviewWidth = 300;
  static constexpr int kPreviewHeight = 200;

  CPage2Preview(CLogoList& list, LogoConnection& connection, QWidget* parent = nullptr);
  ~CPage2Preview() override;

  void OnInitDialog() override;
  void OnSetActive() override;
  bool OnKillActive() override;

  // The drawn size of a width x height bitmap in an area of areaWidth x areaHeight: half
  // the area across the longer side, the other side in proportion, then doubled as the
  // quality says.
  static QSize PreviewSize(int width, int height, int areaWidth, int areaHeight, int quality);
  // The dots an entry's file will print as, one grey byte per dot (null when the file
  // cannot be converted).
  static QImage PrintedImage(const std::string& path, const LogoOptions& options,
                             CLogoBitmap& converter, LogoOptions& scratch);

  void DrawPreview();
  int Quality() const { return m_nQuality; }
  // What was drawn last: the picture and the printed dots, at their drawn sizes.
  QSize DrawnSize() const { return m_drawnSize; }
  QSize DrawnPrintedSize() const { return m_drawnPrinted; }
  const QImage& PrintedDots() const { return m_printed; }

  CCheckListCtrl* List() const { return m_bitmaps.pList; }

 private:
  QPixmap Compose(const QImage& image, QSize& drawn) const;
  std::string RememberedPath() const;
  void ShowDotSize(const QImage& picture);

  ListBlock m_bitmaps;
  QLabel* m_pPreview = nullptr;
  QLabel* m_pPrintedView = nullptr;
  QCheckBox* m_pShowPrinted = nullptr;
  QLabel* m_pDotSize = nullptr;  // the picture's size in dots, and whether it fits the paper
  QGroupBox* m_pQualityGroup = nullptr;
  QButtonGroup* m_pQuality = nullptr;
  QRadioButton* m_apQuality[4] = {};
  int m_nQuality = kNormal;
  QSize m_drawnSize;
  QSize m_drawnPrinted;
  QImage m_printed;
  // The converter and the options copy it reads (no centring in a preview); made at the
  // first printed preview.
  std::unique_ptr<LogoOptions> m_pPreviewOptions;
  std::unique_ptr<CLogoBitmap> m_pConverter;
};

}  // namespace torva
