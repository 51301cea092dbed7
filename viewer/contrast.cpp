#include "viewer/contrast.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>
#include <cmath>

namespace {

double Luminance(const QColor &colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// Focus frames drawn as a solid two-pixel line, of the text colour on an ordinary
// background and of the selected text's colour on the selection, so that a frame is as
// visible as the text beside it; the focused list or tab strip gets a frame of the
// selection colour around it.
class ReadableFocusStyle : public QProxyStyle
{
public:
    explicit ReadableFocusStyle(QStyle *base) : QProxyStyle(base)
    {
        setObjectName(QStringLiteral("ReadableFocusStyle"));
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_FrameFocusRect) {
            const auto *focus = qstyleoption_cast<const QStyleOptionFocusRect *>(option);
            const QPalette &palette = option->palette;
            const bool onSelection = (option->state & State_Selected) ||
                                     (focus != nullptr && focus->backgroundColor.isValid() &&
                                      focus->backgroundColor == palette.color(QPalette::Highlight));
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setBrush(Qt::NoBrush);
            painter->setPen(
                QPen(palette.color(onSelection ? QPalette::HighlightedText : QPalette::Text), 1));
            const QRect frame = option->rect.adjusted(0, 0, -1, -1);
            painter->drawRect(frame);
            painter->drawRect(frame.adjusted(1, 1, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if ((element == PE_Frame || element == PE_FrameLineEdit) &&
            (option->state & State_HasFocus) && qobject_cast<const QAbstractItemView *>(widget)) {
            painter->save();
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(option->palette.color(QPalette::Highlight), 1));
            const QRect frame = option->rect.adjusted(0, 0, -1, -1);
            painter->drawRect(frame);
            painter->drawRect(frame.adjusted(1, 1, -1, -1));
            painter->restore();
        }
    }
};

} // namespace

namespace Contrast {

double Ratio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Reaching(QColor colour, const QColor &background, double minimum)
{
    const bool darken = Luminance(background) > 0.18;
    for (int step = 0; step < 60 && Ratio(colour, background) < minimum; ++step) {
        colour = darken ? colour.darker(105) : colour.lighter(108);
        if (!darken && colour.lightness() >= 255) {
            return QColor(Qt::white);
        }
    }
    if (Ratio(colour, background) < minimum) {
        return darken ? QColor(Qt::black) : QColor(Qt::white);
    }
    return colour;
}

} // namespace Contrast

void InstallReadableContrast(QWidget *noFileMessage)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    if (QApplication::style()->objectName() != QLatin1String("ReadableFocusStyle")) {
        QStyle *base = QStyleFactory::create(QApplication::style()->name());
        QApplication::setStyle(new ReadableFocusStyle(base));
    }

    // The selection: its text at 4.5:1 on it (aimed at 5:1, so that rounding and smoothed
    // edges keep it above), and the selected row at 3:1 against the rows around it.
    QPalette palette = QApplication::palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = palette.color(group, QPalette::HighlightedText);
        const QColor base = palette.color(group, QPalette::Base);
        QColor highlight = palette.color(group, QPalette::Highlight);
        if (Contrast::Ratio(text, highlight) < 4.5 || Contrast::Ratio(highlight, base) < 3.0) {
            highlight = Contrast::Reaching(highlight, text, 5.0);
            highlight = Contrast::Reaching(highlight, base, 3.0);
            palette.setColor(group, QPalette::Highlight, highlight);
        }
    }
    if (palette != QApplication::palette()) {
        QApplication::setPalette(palette);
    }

    // The no-file message stays disabled, in a grey that can be read: small text is drawn
    // with smoothed edges lighter than its colour, so the colour aims at 10:1 for the
    // strokes to reach 4.5:1.
    if (noFileMessage != nullptr) {
        QPalette own = noFileMessage->palette();
        const QColor background = own.color(QPalette::Disabled, QPalette::Base);
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText}) {
            const QColor colour = own.color(QPalette::Disabled, role);
            if (Contrast::Ratio(colour, background) < 10.0) {
                own.setColor(QPalette::Disabled, role,
                             Contrast::Reaching(colour, background, 10.0));
            }
        }
        noFileMessage->setPalette(own);
    }
}
