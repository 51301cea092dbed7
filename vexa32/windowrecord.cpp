#include "vexa32/windowrecord.h"

#include "vexa32/paths.h"
#include "vexa32/settings.h"
#include "vexa32/strings.h"
#include "vexa32/trystep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vexa32 {

namespace {

// A value a window coordinate can hold; anything else is refused like an overflow.
bool Representable(double value)
{
    return std::isfinite(value) && value >= std::numeric_limits<int>::min() &&
           value <= std::numeric_limits<int>::max();
}

void SetChecked(PositionedWindow &window, void (PositionedWindow::*setter)(double), double value)
{
    if (Representable(value)) {
        (window.*setter)(value);
    }
}

// Written without exponent and without trailing zeros: whole twips come out as integers.
QString FormatNumber(double value)
{
    if (!std::isfinite(value)) {
        return QStringLiteral("0");
    }
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        return QString::number(static_cast<qint64>(value));
    }
    QString text = QString::number(value, 'f', 6);
    while (text.endsWith(u'0')) {
        text.chop(1);
    }
    if (text.endsWith(u'.')) {
        text.chop(1);
    }
    return text;
}

} // namespace

double LeadingNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    QString number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += text[i++];
    }
    qsizetype digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += text[i++];
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        number += text[i++];
        while (i < n && text[i].unicode() >= u'0' && text[i].unicode() <= u'9') {
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exponent += text[j++];
        }
        const qsizetype start = j;
        while (j < n && text[j].unicode() >= u'0' && text[j].unicode() <= u'9') {
            exponent += text[j++];
        }
        if (j > start) {
            number += exponent;
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok) {
        return value;
    }
    // Out of the double range: too small a number is zero, too large one infinite with the
    // number's sign. Which one it is follows from the decimal place of its first
    // significant digit, counted from the point and moved by the exponent.
    const bool negative = number.startsWith(u'-');
    const qsizetype point = number.indexOf(u'.');
    const qsizetype e = number.indexOf(u'e');
    const QStringView mantissa = QStringView(number).first(e < 0 ? number.size() : e);
    qint64 place = 0; // the number lies in [10^(place-1), 10^place)
    qsizetype integerDigits = 0;
    bool significant = false;
    for (qsizetype k = 0; k < mantissa.size(); ++k) {
        const QChar c = mantissa[k];
        if (!c.isDigit())
            continue;
        const bool beforePoint = point < 0 || k < point;
        if (c != u'0')
            significant = true;
        if (beforePoint && significant)
            ++integerDigits;
        else if (!beforePoint && !significant)
            --place;
        if (significant && !beforePoint)
            break;
    }
    place += integerDigits;
    if (e >= 0) {
        const QStringView exponent = QStringView(number).sliced(e + 1);
        bool exponentOk = false;
        const qint64 value = exponent.toLongLong(&exponentOk);
        // An exponent beyond 2^62 is beyond any mantissa's reach.
        constexpr qint64 far = qint64(1) << 62;
        place +=
            exponentOk ? std::clamp(value, -far, far) : (exponent.startsWith(u'-') ? -far : far);
    }
    if (!significant || place <= 0)
        return 0.0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
}

QString WindowPositionRecord(PositionedWindow &window)
{
    int state = 0;
    TryStep([&] { state = window.windowState(); });
    TryStep([&] { window.setWindowState(0); });
    double left = 0, top = 0, width = 0, height = 0;
    TryStep([&] { left = window.left(); });
    TryStep([&] { top = window.top(); });
    TryStep([&] { width = window.width(); });
    TryStep([&] { height = window.height(); });
    return QString::number(state) + u',' + FormatNumber(left) + u',' + FormatNumber(top) + u',' +
           FormatNumber(width) + u',' + FormatNumber(height);
}

void ApplyWindowPositionRecord(PositionedWindow &window, const QString &record)
{
    if (!IsValueSet(record)) {
        return;
    }
    CommaParts parts;
    SplitAtComma(record, parts);

    TryStep([&] { window.setWindowState(0); });
    TryStep([&] { SetChecked(window, &PositionedWindow::setLeft, LeadingNumber(parts[2])); });
    TryStep([&] { SetChecked(window, &PositionedWindow::setTop, LeadingNumber(parts[3])); });
    TryStep([&] { SetChecked(window, &PositionedWindow::setWidth, LeadingNumber(parts[4])); });
    TryStep([&] { SetChecked(window, &PositionedWindow::setHeight, LeadingNumber(parts[5])); });

    TryStep([&] {
        if (window.left() > window.screenWidth()) {
            window.setLeft(0);
        }
    });
    TryStep([&] {
        if (window.top() > window.screenHeight()) {
            window.setTop(0);
        }
    });
    TryStep([&] {
        const float right = static_cast<float>(window.left() + window.width());
        if (right > window.screenWidth()) {
            SetChecked(window, &PositionedWindow::setWidth, window.screenWidth() - window.left());
        }
    });
    TryStep([&] {
        const float bottom = static_cast<float>(window.top() + window.height());
        if (bottom > window.screenHeight()) {
            SetChecked(window, &PositionedWindow::setHeight, window.screenHeight() - window.top());
        }
    });
    TryStep([&] {
        if (window.width() < 100) {
            window.setWidth(100);
        }
    });
    TryStep([&] {
        if (window.height() < 100) {
            window.setHeight(100);
        }
    });
    TryStep([&] {
        // Rounded to the nearest integer, halves to even (the default rounding mode).
        const double state = std::nearbyint(LeadingNumber(parts[1]));
        if (Representable(state)) {
            window.setWindowState(static_cast<int>(state));
        }
    });
}

void SaveWindowPosition(PositionedWindow &window, const QString &key)
{
    TryStep([&] { Settings::WindowPosition(key).write(WindowPositionRecord(window)); });
}

void RestoreWindowPosition(PositionedWindow &window, const QString &key)
{
    TryStep([&] { ApplyWindowPositionRecord(window, Settings::WindowPosition(key).read()); });
}

} // namespace Vexa32
