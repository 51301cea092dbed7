#include "viewer/accessibleinterfaces.h"

#include "viewer/rawtextaccessible.h"
#include "viewer/rawtextview.h"
#include "viewer/tabstrip.h"
#include "viewer/tabstripaccessible.h"

#include <QAccessible>

namespace {

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("RawTextView")) {
        if (auto *view = qobject_cast<RawTextView *>(object)) {
            return RawTextAccessibility::Create(view);
        }
    } else if (className == QLatin1String("TabStrip")) {
        if (auto *strip = qobject_cast<TabStrip *>(object)) {
            return TabStripAccessibility::Create(strip);
        }
    }
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    QAccessible::installFactory(Factory);
}
