#include "startup/splash.h"

#include "startup/splashchecksum.h"
#include "startup/vexainit.h"
#include "startup/vexasplash.h"
#include "vexa32/globals.h"
#include "vexa32/gui/messagebox.h"
#include "vexa32/gui/screen.h"
#include "vexa32/paths.h"
#include "vexa32/platform/host.h"
#include "vexa32/profile.h"
#include "vexa32/strings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

namespace Startup {

using namespace Vexa32;

namespace {

VexaSplash *g_splash = nullptr;

std::function<void(int)> &WaitHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

const QString kWarningTitle = QStringLiteral("Korvax Manager warning");

// The user declined to go on: start-up ends here, nothing later runs.
[[noreturn]] void EndProgram()
{
    std::_Exit(1);
}

QPixmap LoadPicture(const QString &path)
{
    const auto host = Platform::HostPath(path);
    if (!host)
        return {};
    QImageReader reader(*host);
    reader.setDecideFormatFromContent(true);
    return QPixmap::fromImage(reader.read());
}

void SetColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Exposures of the splash window: when the last one came.
class ExposeWatch : public QObject
{
public:
    explicit ExposeWatch(QWindow *window) : m_window(window)
    {
        m_clock.start();
        if (window != nullptr) {
            window->installEventFilter(this);
        }
    }
    ~ExposeWatch() override
    {
        if (m_window) {
            m_window->removeEventFilter(this);
        }
    }
    bool seen() const { return m_seen; }
    qint64 sinceLast() const { return m_clock.elapsed() - m_last; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose) {
            m_seen = true;
            m_last = m_clock.elapsed();
        }
        return false;
    }

private:
    QPointer<QWindow> m_window;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    bool m_seen = false;
};

// Longest wait for the window system before painting anyway.
constexpr int ExposeWaitMs = 500;
// After a window over the splash has closed, exposures stop coming once the window
// manager has taken its frame away; this quiet time ends the wait early.
constexpr int QuietMs = 60;

QColor ToColor(quint32 value)
{
    const Rgb rgb = ColourFromValue(value);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

Rgb ColourFromValue(quint32 value)
{
    if (value & 0x80000000u) {
        // System colours: the window background and the button face.
        const QPalette palette = QApplication::palette();
        const QColor c = (value & 0xffu) == 0x0f ? palette.color(QPalette::Button)
                                                 : palette.color(QPalette::Base);
        return {c.red(), c.green(), c.blue()};
    }
    return {static_cast<int>(value & 0xffu), static_cast<int>((value >> 8) & 0xffu),
            static_cast<int>((value >> 16) & 0xffu)};
}

void SplashStart(unsigned char expectedChecksum, quint32 suffixColour, QString creditText)
{
    delete g_splash;
    g_splash = new VexaSplash;
    VexaSplash &form = *g_splash;

    if (!IsValueSet(creditText))
        creditText = DefaultCreditText;

    QString productName = ProgramTitle;
    if (productName.endsWith(QLatin1String("32")))
        CutRight(productName, 2);
    for (QLabel *label : form.lblProductName) {
        label->setText(productName);
        label->adjustSize();
    }
    VexaSplash::SetRightAlignedCaption(form.lblVersion, QStringLiteral("Version ") + VersionText);

    QLabel *name = form.lblProductName[0];
    form.lblProductName[1]->move(name->x() + 4, name->y() + 4);

    VexaSplash::SetRightAlignedCaption(form.lblLicenseTo, creditText);

    SetColour(form.lblPlatform, Qt::black);
    SetColour(form.lblLicenseTo, Qt::black);
    SetColour(form.lblVersion, Qt::black);
    SetColour(form.lbl32, ToColor(suffixColour));

    // The right-aligned "32" ends just past the product name.
    form.lbl32->move(name->x() + name->width() - TwipsToPixelsX(720), form.lbl32->y());
    form.FitTitle();

    EstablishSuiteDirectories();

    const QString picture = NormalizeDir(pfad_main) +
                            ChangeExtension(Platform::ExecutableName(), QStringLiteral("jpg"));
    if (!FileExists(picture)) {
        const MessageAnswer answer = ShowMessageBox(
            kWarningTitle,
            QStringLiteral("Splash screen image not found! Reinstall Korvax Manager please! You "
                           "can still work with it by pressing OK now."),
            MessageButtons::OkCancel, MessageAnswer::Ok);
        if (answer == MessageAnswer::Cancel)
            EndProgram();
    } else {
        form.Image1->setPixmap(LoadPicture(picture));
    }
    form.ImageKM->setPixmap(LoadPicture(ChangeExtension(picture, QStringLiteral("gif"))));

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    }
    form.show();
    // Drawn completely now: while start-up goes on the thread does not handle events.
    PaintSplashNow(form, SplashPaint::FirstShow);

    const unsigned char checksum = Startup::SplashFileChecksum(picture);
    if (expectedChecksum != 0 && checksum != expectedChecksum) {
        const MessageAnswer answer = ShowMessageBox(
            kWarningTitle,
            QStringLiteral("Splash screen image was modified! Not good! Korvax Manager will work, "
                           "but you will always have to select OK in this dialog until you have "
                           "installed the right one again!"),
            MessageButtons::OkCancel, MessageAnswer::Cancel);
        if (answer == MessageAnswer::Cancel)
            EndProgram();
        PaintSplashNow(form, SplashPaint::AfterCover);
    }
}

void PaintSplashNow(QWidget &splash, SplashPaint when)
{
    QWindow *handle = splash.windowHandle();
    QElapsedTimer clock;
    clock.start();
    {
        ExposeWatch watch(handle);
        // Round trips to the window system, so that its exposures arrive, handled until
        // the splash is on screen (first show) or until they stop (after a window over it
        // has closed); bounded either way.
        while (handle != nullptr && clock.elapsed() < ExposeWaitMs) {
            QGuiApplication::sync();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            const bool done = when == SplashPaint::FirstShow
                                  ? handle->isExposed()
                                  : watch.seen() && watch.sinceLast() >= QuietMs;
            if (done) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    splash.repaint();
    QGuiApplication::sync();
}

void RepaintSplash()
{
    if (g_splash != nullptr && g_splash->isVisible()) {
        PaintSplashNow(*g_splash, SplashPaint::AfterCover);
    }
}

void SplashEnd(int delay)
{
    if (delay > 0)
        Wait(delay);
    else
        std::this_thread::yield();
    delete g_splash;
    g_splash = nullptr;
}

void Wait(int milliseconds)
{
    if (WaitHandler()) {
        WaitHandler()(milliseconds);
        return;
    }
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

VexaSplash *CurrentSplash()
{
    return g_splash;
}

void SetWaitHandler(std::function<void(int)> handler)
{
    WaitHandler() = std::move(handler);
}

} // namespace Startup
