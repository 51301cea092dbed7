#pragma once
// LongWork: keeps the window alive while it works for a long time on its own thread (a
// load) or waits for work on another thread (a sort, the raw text's reading). While work
// runs, the user's input (keys, shortcuts, mouse buttons, the wheel, drops) is dropped
// before it reaches any widget, so the window cannot be used meanwhile; painting, timers
// and a close request still go through. Once the work has run for ShowAfterMs its text
// ("Reading 42%") is shown through the status callback, and again whenever it changes;
// when the outermost work ends the callback is given "" once, shown or not.
//
// A close request taken while work runs makes the next pump() or run() throw Abandoned,
// which the caller lets go up to the window's own handler; the window then ends without
// finishing the work. The request ends with the outermost work.
//
// Owned by the window; lives on the window thread. run() rethrows what the work threw.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class LongWork : public QObject
{
    Q_OBJECT
public:
    // Thrown by pump() and run() once a close request was taken.
    struct Abandoned
    {
    };

    static constexpr int ShowAfterMs = 300;
    // How often a pump gives the window its events, at most.
    static constexpr int PumpEveryMs = 40;

    // status shows the work's text (status panel 3).
    explicit LongWork(std::function<void(const QString &)> status, QObject *parent = nullptr);
    ~LongWork() override;

    // Work from here to the end of the scope; scopes nest, the outermost one counts.
    class Scope
    {
    public:
        explicit Scope(LongWork &work);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        LongWork &m_work;
    };

    bool active() const { return m_depth > 0; }
    // How long the outermost work has run, in milliseconds (0 when none runs).
    qint64 elapsedMs() const { return active() ? m_clock.elapsed() : 0; }

    // Called between pieces of work on the window thread: shows text when it is due and
    // lets the window paint and take a close request. Throws Abandoned after one.
    void pump(const QString &text);
    // Runs work on another thread; meanwhile the window paints and shows text as pump()
    // does. Throws Abandoned when the window is closed meanwhile: the work then finishes
    // on its own and must hold nothing of the window's (wait = false), or is waited for
    // (wait = true, work that reads the window's data).
    void run(const std::function<void()> &work, const QString &text, bool wait = true);

    // The window was asked to close while work runs.
    void requestClose() { m_closing = true; }
    bool closing() const { return m_closing; }

Q_SIGNALS:
    // The outermost work has ended (after the status callback was given "").
    void ended();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void begin();
    void end();
    void show(const QString &text);
    void checkClosing() const;

    std::function<void(const QString &)> m_status;
    QElapsedTimer m_clock;
    QElapsedTimer m_sincePump;
    QString m_shown;
    int m_depth = 0;
    bool m_closing = false;
};
