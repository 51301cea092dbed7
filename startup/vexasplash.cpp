#include "startup/vexasplash.h"

#include "vexa32/gui/screen.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace Startup {

using Vexa32::TwipsToPixelsX;
using Vexa32::TwipsToPixelsY;

namespace {

QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
            TwipsToPixelsY(height)};
}

QFont Font(const QString &family, double points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption, const QFont &font,
                  Qt::Alignment alignment)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QLabel *MakeImage(QWidget *parent, const QString &name, const QRect &box)
{
    auto *image = new QLabel(parent);
    image->setObjectName(name);
    image->setGeometry(box);
    image->setScaledContents(true);
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    return image;
}

} // namespace

QImage SplashStripLogo()
{
    // A gold rail with five diamonds on a night-blue ground.
    QImage image(22, 161, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(212, 175, 55), 2));
    painter.drawLine(QPointF(11, 2), QPointF(11, 159));
    for (int i = 0; i < 5; ++i) {
        const double y = 16 + i * 32;
        QPainterPath diamond;
        diamond.moveTo(11, y - 9);
        diamond.lineTo(20, y);
        diamond.lineTo(11, y + 9);
        diamond.lineTo(2, y);
        diamond.closeSubpath();
        painter.fillPath(diamond, i % 2 == 0 ? QColor(212, 175, 55) : QColor(240, 240, 240));
    }
    return image;
}

VexaSplash::VexaSplash() : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("VexaSplash"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setStyleSheet(QString());
    QPalette framePalette = palette();
    framePalette.setColor(QPalette::WindowText, QColor(128, 128, 128));
    setPalette(framePalette);

    const int clientWidth = TwipsToPixelsX(6225);
    const int clientHeight = TwipsToPixelsY(3825);
    setFixedSize(clientWidth + 2, clientHeight + 2);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setGeometry(1, 1, clientWidth, clientHeight);
    m_client->setAutoFillBackground(true);
    QPalette white = m_client->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    m_client->setPalette(white);

    const QString tahoma = QStringLiteral("Tahoma");
    // Created from the bottommost element to the topmost: later siblings are drawn above.
    lblPlatform =
        MakeLabel(m_client, QStringLiteral("lblPlatform"), QStringLiteral("for Windows 9x/NT"),
                  Font(tahoma, 14.25, false), Qt::AlignLeft);
    lblPlatform->move(TwipsToPixelsX(840), TwipsToPixelsY(480));
    lblPlatform->adjustSize();

    lblVersion = MakeLabel(m_client, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                           Font(tahoma, 9, false), Qt::AlignRight);
    lblVersion->setGeometry(TwipsRect(5580, 600, 600, 210));

    lblLicenseTo = MakeLabel(m_client, QStringLiteral("lblLicenseTo"), QStringLiteral("By xxx"),
                             Font(tahoma, 8.25, false), Qt::AlignRight);
    lblLicenseTo->setGeometry(TwipsRect(5670, 75, 495, 195));

    const QFont productFont = Font(tahoma, 26.25, true);
    lblProductName[1] = MakeLabel(m_client, QStringLiteral("lblProductName1"), QString(),
                                  productFont, Qt::AlignLeft);
    QPalette grey = lblProductName[1]->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    lblProductName[1]->setPalette(grey);
    lblProductName[1]->move(TwipsToPixelsX(780), TwipsToPixelsY(-45));
    lblProductName[0] = MakeLabel(m_client, QStringLiteral("lblProductName0"), QString(),
                                  productFont, Qt::AlignLeft);
    lblProductName[0]->move(TwipsToPixelsX(795), TwipsToPixelsY(-45));

    lbl32 = MakeLabel(m_client, QStringLiteral("lbl32"), QStringLiteral("32"),
                      Font(QStringLiteral("Times New Roman"), 21.75, true), Qt::AlignRight);
    lbl32->setGeometry(TwipsRect(2520, 120, 855, 735));
    QPalette red = lbl32->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbl32->setPalette(red);

    Image1 = MakeImage(m_client, QStringLiteral("Image1"), TwipsRect(720, 840, 5520, 2985));
    ImageKM = MakeImage(m_client, QStringLiteral("ImageKM"), TwipsRect(5460, 840, 795, 795));

    Picture2 = new QWidget(m_client);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(TwipsRect(0, 0, 735, 3915));
    Picture2->setAutoFillBackground(true);
    QPalette strip = Picture2->palette();
    QLinearGradient gradient(0, 0, 0, Picture2->height());
    gradient.setColorAt(0, QColor(28, 42, 90));
    gradient.setColorAt(1, QColor(10, 16, 40));
    strip.setBrush(QPalette::Window, QBrush(gradient));
    Picture2->setPalette(strip);
    Image3 = MakeImage(Picture2, QStringLiteral("Image3"), TwipsRect(60, 720, 330, 2415));
    Image3->setPixmap(QPixmap::fromImage(SplashStripLogo()));
}

void VexaSplash::SetRightAlignedCaption(QLabel *label, const QString &text)
{
    const int right = label->geometry().right();
    label->setText(text);
    label->adjustSize();
    label->move(right - label->width() + 1, label->y());
}

QRect VexaSplash::InkRect(const QLabel *label)
{
    const QFontMetrics metrics(label->font());
    const QRect contents = label->contentsRect();
    const QString text = label->text();
    const int x = (label->alignment() & Qt::AlignRight)
                      ? contents.right() + 1 - metrics.horizontalAdvance(text)
                      : contents.left();
    const int baseline = contents.top() + metrics.ascent();
    return metrics.tightBoundingRect(text).translated(label->pos() + QPoint(x, baseline));
}

void VexaSplash::FitTitle()
{
    // Glyphs keep this many pixels from the edge and from each other.
    constexpr int Gap = 2;
    QLabel *name = lblProductName[0];
    QLabel *shadow = lblProductName[1];

    // The design's top edge suits fonts with a large internal leading; with less, the tops
    // of the capitals would be cut off: name and shadow move down together.
    const int over = Gap - InkRect(name).top();
    if (over > 0) {
        name->move(name->x(), name->y() + over);
        shadow->move(shadow->x(), shadow->y() + over);
    }

    // The "32" follows the name (and its shadow) directly, at its design height ...
    const int nameRight = std::max(InkRect(name).right(), InkRect(shadow).right());
    lbl32->move(lbl32->x() + nameRight + Gap - InkRect(lbl32).left(), lbl32->y());

    // ... but above the platform line where the two would touch.
    const QRect suffix = InkRect(lbl32);
    const QRect platform = InkRect(lblPlatform).adjusted(-Gap, -Gap, Gap, Gap);
    if (suffix.intersects(platform)) {
        lbl32->move(lbl32->x(), lbl32->y() - (suffix.bottom() - platform.top() + 1));
    }
    const int outside = Gap - InkRect(lbl32).top();
    if (outside > 0) {
        lbl32->move(lbl32->x(), lbl32->y() + outside);
    }
}

} // namespace Startup
