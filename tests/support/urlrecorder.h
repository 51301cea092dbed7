#pragma once
// UrlRecorder: a URL handler for QDesktopServices that records the URLs it is asked to
// open instead of opening them. Install it with QDesktopServices::setUrlHandler(scheme,
// &recorder, "open").

#include <QList>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};
