// The focus style over the theme's own, and palettes that keep the windows'
// fixed colours readable and follow a change of the theme.
#include "theme.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QStyleFactory>
#include <QStyleOption>
#include <cmath>
#include <memory>

namespace
{

constexpr double minimumContrast = 4.5;

double relativeLuminance(const QColor &colour)
{
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

bool readableOn(const QColor &background, const QList<QColor> &inks)
{
    for (const QColor &ink : inks)
        if (contrastRatio(ink, background) < minimumContrast)
            return false;
    return true;
}

QColor blend(const QColor &first, const QColor &second)
{
    return QColor((first.red() + second.red()) / 2, (first.green() + second.green()) / 2,
                  (first.blue() + second.blue()) / 2);
}

class LookStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_FrameFocusRect) {
            drawFocusMark(option, painter);
            return;
        }
        if (element == PE_PanelButtonCommand || element == PE_FrameDefaultButton) {
            const QStyleOptionButton plain = withoutDefaultLook(option);
            QProxyStyle::drawPrimitive(element, &plain, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element == PE_FrameLineEdit && (option->state & State_HasFocus))
            drawFocusMark(option, painter);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_PushButton || element == CE_PushButtonBevel) {
            const QStyleOptionButton plain = withoutDefaultLook(option);
            QProxyStyle::drawControl(element, &plain, painter, widget);
            // Some styles mark a focused button by its outline alone.
            if (element == CE_PushButton && (option->state & State_HasFocus))
                drawFocusMark(option, painter);
            return;
        }
        const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
        if (element == CE_ItemViewItem && item && (item->state & State_Selected) &&
            !hasFocus(widget)) {
            QStyleOptionViewItem pale = *item;
            pale.palette.setColor(QPalette::Highlight,
                                  blend(item->palette.color(QPalette::Highlight),
                                        item->palette.color(QPalette::Base)));
            pale.palette.setColor(QPalette::HighlightedText, item->palette.color(QPalette::Text));
            QProxyStyle::drawControl(element, &pale, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if ((control == CC_ComboBox || control == CC_SpinBox) && (option->state & State_HasFocus))
            drawFocusMark(option, painter);
    }

private:
    static bool hasFocus(const QWidget *widget)
    {
        return qobject_cast<const QAbstractItemView *>(widget) && widget->hasFocus();
    }

    // Where the mark would fall on the highlight itself (a view's selected
    // cell), it takes the highlighted text's colour.
    static void drawFocusMark(const QStyleOption *option, QPainter *painter)
    {
        QColor colour = option->palette.color(QPalette::Active, QPalette::Highlight);
        const auto *focus = qstyleoption_cast<const QStyleOptionFocusRect *>(option);
        if (focus && focus->backgroundColor.isValid() &&
            contrastRatio(colour, focus->backgroundColor) < 1.5)
            colour = option->palette.color(QPalette::Active, QPalette::HighlightedText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }

    // The theme marks a default button much as a focused one.
    static QStyleOptionButton withoutDefaultLook(const QStyleOption *option)
    {
        QStyleOptionButton plain;
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option))
            plain = *button;
        else
            plain.QStyleOption::operator=(*option);
        if (!(plain.state & State_HasFocus))
            plain.features &= ~QStyleOptionButton::DefaultButton;
        return plain;
    }
};

// Re-applies a widget's palette from the theme's whenever that changes.
class ThemeFollower : public QObject
{
public:
    ThemeFollower(QWidget *widget, QPalette::ColorRole background, const QList<QColor> &inks,
                  const std::function<void(QPalette &)> &adjust)
        : QObject(widget), m_widget(widget), m_background(background), m_inks(inks),
          m_adjust(adjust)
    {
        widget->installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::PaletteChange:
            apply();
            break;
        // The parent may take its new palette after this widget is told:
        // the new one is read once every widget has been told.
        case QEvent::ApplicationPaletteChange:
        case QEvent::StyleChange:
            QMetaObject::invokeMethod(this, &ThemeFollower::apply, Qt::QueuedConnection);
            break;
        default:
            break;
        }
        return false;
    }

private:
    void apply()
    {
        if (m_applying)
            return;
        const QScopedValueRollback<bool> applying(m_applying, true);
        QWidget *parent = m_widget->isWindow() ? nullptr : m_widget->parentWidget();
        QPalette palette = parent ? parent->palette() : QApplication::palette(m_widget);
        if (!readableOn(palette.color(m_background), m_inks))
            palette = lightPalette();
        if (m_adjust)
            m_adjust(palette);
        m_widget->setPalette(palette);
    }

    QWidget *m_widget;
    QPalette::ColorRole m_background;
    QList<QColor> m_inks;
    std::function<void(QPalette &)> m_adjust;
    bool m_applying = false;
};

// The colours that cover a tenth of a picture's opaque pixels or more: its
// edges' blended pixels do not count.
QList<QColor> inksOf(const QIcon &icon, QSize size)
{
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    QHash<QRgb, int> counts;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++counts[pixel];
                ++opaque;
            }
        }
    QList<QColor> inks;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() * 10 >= opaque)
            inks.append(QColor(it.key()));
    return inks;
}

} // namespace

void installLook()
{
    if (!dynamic_cast<LookStyle *>(QApplication::style()))
        QApplication::setStyle(new LookStyle);
}

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QPalette lightPalette()
{
    static const QPalette palette = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
    }();
    return palette;
}

void followTheme(QWidget *widget, QPalette::ColorRole background, const QList<QColor> &inks,
                 const std::function<void(QPalette &)> &adjust)
{
    new ThemeFollower(widget, background, inks, adjust);
}

void setFixedTextColour(QLabel *label, const QColor &colour)
{
    // Drawn on the label itself, since the background behind it is the
    // parent's and may be too dark.
    label->setAutoFillBackground(true);
    followTheme(label, QPalette::Window, {colour},
                [colour](QPalette &palette) { palette.setColor(QPalette::WindowText, colour); });
}

void setButtonFaceBackground(QWidget *widget, QPalette::ColorRole role)
{
    followTheme(widget, QPalette::Button, {}, [role](QPalette &palette) {
        palette.setColor(role, palette.color(QPalette::Button));
    });
}

void keepPictureReadable(QAbstractButton *button)
{
    followTheme(button, QPalette::Button, inksOf(button->icon(), button->iconSize()));
}
