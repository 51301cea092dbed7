#pragma once
// VexaSplash: the start-up window with the product name (grey shadow behind it and a
// coloured "32" after it), the version and platform lines, a credit line, the module's
// picture (Image1), the suite's logo (ImageKM) and the logo strip Picture2 on the left.
//
// Frameless apart from a thin border, white, not in the taskbar; clicks do nothing. The
// widget owns its child elements; SplashStart fills them and shows the window (splash.h).
// Elements carry their names as object names ("lblProductName0", "lblProductName1" for the
// two label array elements).

#include <QFrame>

class QLabel;

namespace Startup {

class VexaSplash : public QFrame
{
    Q_OBJECT
public:
    VexaSplash();

    // The area inside the border: 6225 x 3825 twips.
    QWidget *client() const { return m_client; }

    QWidget *Picture2 = nullptr;
    QLabel *Image3 = nullptr;
    QLabel *ImageKM = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *lbl32 = nullptr;
    QLabel *lblProductName[2] = {nullptr, nullptr};
    QLabel *lblLicenseTo = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblPlatform = nullptr;

    // Sets a right-aligned label's text and sizes it to the text, its right edge in place.
    static void SetRightAlignedCaption(QLabel *label, const QString &text);

    // Moves the product name, its shadow and the "32" so that their glyphs lie inside the
    // window and beside each other: the name below the top edge, the "32" right after the
    // name and clear of the platform line. Run once the texts are set.
    void FitTitle();

    // The rectangle a label's glyphs cover, in its parent's coordinates.
    static QRect InkRect(const QLabel *label);

private:
    QWidget *m_client = nullptr;
};

// The fixed logo of the strip: 22 x 161 pixels.
QImage SplashStripLogo();

} // namespace Startup
