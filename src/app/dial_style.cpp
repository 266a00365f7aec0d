#include "app/dial_style.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QIconEngine>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

namespace zandorik {

QFont DialFont() {
  static const QStringList kFaces = {
      QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
      QStringLiteral("Nimbus Sans"),     QStringLiteral("Helvetica")};
  // The first face installed, found once: matching a whole list of faces
  // that are missing asks the font configuration for substitutes of each,
  // which costs more at start-up than the rest of the window's text.
  static const QStringList faces = [] {
    const QStringList installed = QFontDatabase::families();
    for (const QString& face : kFaces) {
      if (installed.contains(face)) return QStringList{face};
    }
    return kFaces;
  }();
  QFont font;
  font.setFamilies(faces);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  // Glyphs snapped to whole pixels: crisp like the classic bitmap face, and
  // no wider than the boxes were drawn for.
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

namespace {

// A standard icon of a style, asked for only when first drawn.
class DeferredIconEngine : public QIconEngine {
 public:
  DeferredIconEngine(QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

 private:
  const QIcon& Icon() {
    if (!loaded_ && style_) icon_ = style_->standardIcon(which_);
    loaded_ = true;
    return icon_;
  }

  QPointer<QStyle> style_;
  QStyle::StandardPixmap which_;
  bool loaded_ = false;
  QIcon icon_;
};

class DialStyle : public QProxyStyle {
 public:
  DialStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing) return 4;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_GroupBox_TextLabelVerticalAlignment) return Qt::AlignVCenter;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }

  // The classic group box: an etched frame whose top line runs through the
  // middle of the caption, the caption 8 pixels in from the left with the
  // line broken under it. Fusion puts the whole frame below the caption,
  // where it runs into the controls placed for the classic frame.
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    if (control == CC_GroupBox) return QCommonStyle::subControlRect(control, option, sub, widget);
    if (control == CC_ComboBox && sub == SC_ComboBoxEditField) {
      // Room for the picker's swatches at their own size: inside the
      // one-pixel border, not Fusion's two.
      const QRect field = QProxyStyle::subControlRect(control, option, sub, widget);
      const auto* combo = qobject_cast<const QComboBox*>(widget);
      if (combo && combo->iconSize().height() > field.height()) return field.adjusted(-1, -1, 0, 1);
      return field;
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control == CC_GroupBox)
      return QCommonStyle::drawComplexControl(control, option, painter, widget);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameGroupBox)
      return QCommonStyle::drawPrimitive(element, option, painter, widget);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override {
    // Every menu bar makes an overflow button with this icon, which a menu
    // bar as wide as the window never shows; reading its image files
    // (through the image plug-ins) is a good part of the start-up time.
    if (which == SP_ToolBarHorizontalExtensionButton && option == nullptr)
      return QIcon(new DeferredIconEngine(baseStyle(), which));
    return QProxyStyle::standardIcon(which, option, widget);
  }
};

}  // namespace

QStyle* MakeDialStyle() {
  return new DialStyle;
}

void ApplyDialLook() {
  QApplication::setStyle(MakeDialStyle());
  QApplication::setFont(DialFont());
}

}  // namespace zandorik
