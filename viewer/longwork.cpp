#include "viewer/longwork.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// The user's input; everything else (paint, expose, resize, timers, close) goes through.
bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

// What the thread of run() and the window thread share; the thread keeps it alive.
struct Shared
{
    std::function<void()> work;
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::exception_ptr error;
};

} // namespace

LongWork::LongWork(std::function<void(const QString &)> status, QObject *parent)
    : QObject(parent), m_status(std::move(status))
{
}

LongWork::~LongWork()
{
    if (m_depth > 0)
        qApp->removeEventFilter(this);
}

LongWork::Scope::Scope(LongWork &work) : m_work(work)
{
    m_work.begin();
}

LongWork::Scope::~Scope()
{
    m_work.end();
}

void LongWork::begin()
{
    if (m_depth++ > 0)
        return;
    m_clock.start();
    // The first pause gives the window its events at once: it is painted before the work.
    m_sincePump.invalidate();
    m_shown.clear();
    qApp->installEventFilter(this);
}

void LongWork::end()
{
    if (--m_depth > 0)
        return;
    qApp->removeEventFilter(this);
    // The close request was for this work; work started later runs to its end.
    m_closing = false;
    if (!m_shown.isEmpty()) {
        m_shown.clear();
        QApplication::restoreOverrideCursor();
    }
    // What waited for the work's end (the status note) is shown now.
    m_status(QString());
    Q_EMIT ended();
}

void LongWork::show(const QString &text)
{
    if (m_clock.elapsed() < ShowAfterMs || text == m_shown || text.isEmpty())
        return;
    if (m_shown.isEmpty())
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_shown = text;
    m_status(text);
}

void LongWork::checkClosing() const
{
    if (m_closing)
        throw Abandoned{};
}

void LongWork::pump(const QString &text)
{
    checkClosing();
    if (m_sincePump.isValid() && m_sincePump.elapsed() < PumpEveryMs)
        return;
    show(text);
    m_sincePump.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents, PumpEveryMs / 2);
    checkClosing();
}

void LongWork::run(const std::function<void()> &work, const QString &text, bool wait)
{
    checkClosing();
    const Scope scope(*this);
    auto shared = std::make_shared<Shared>();
    shared->work = work;
    std::thread thread([shared] {
        try {
            shared->work();
        } catch (...) {
            shared->error = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->done = true;
        shared->doneChanged.notify_all();
    });
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(shared->mutex);
            if (shared->doneChanged.wait_for(lock, std::chrono::milliseconds(PumpEveryMs / 2),
                                             [&shared] { return shared->done; }))
                break;
        }
        show(text);
        QCoreApplication::processEvents(QEventLoop::AllEvents, PumpEveryMs / 2);
        if (m_closing && !wait) {
            // The work holds nothing of the window's: it finishes on its own.
            thread.detach();
            throw Abandoned{};
        }
    }
    thread.join();
    m_sincePump.start();
    if (shared->error)
        std::rethrow_exception(shared->error);
    checkClosing();
}

bool LongWork::eventFilter(QObject *watched, QEvent *event)
{
    if (m_depth > 0 && IsUserInput(event->type())) {
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
