#include "vexa32/gui/document.h"

#include "vexa32/platform/host.h"

#include <QDesktopServices>
#include <QUrl>

namespace Vexa32 {

void OpenDocument(const QString &path)
{
    try {
        const std::optional<QString> host = Platform::HostPath(path);
        if (!host || host->isEmpty()) {
            return;
        }
        QDesktopServices::openUrl(QUrl::fromLocalFile(*host));
    } catch (...) {
    }
}

} // namespace Vexa32
