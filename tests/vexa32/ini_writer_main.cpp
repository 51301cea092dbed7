// A writer of profile values for the tests that run several writers at once:
//   ini_writer <dir> <file> <tag> <count> <sections>
// writes <count> keys "<tag>_<i>" = "value <tag> <i>" into sections "S<i % sections>" of
// NormalizeDir(dir) + file through WriteIniValue, one call per key.

#include "vexa32/profile.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6)
        return 2;
    const QString &tag = args[3];
    const int count = args[4].toInt();
    const int sections = std::max(1, args[5].toInt());
    for (int i = 0; i < count; ++i)
        Vexa32::WriteIniValue(args[1], args[2], QStringLiteral("S%1").arg(i % sections),
                              QStringLiteral("%1_%2").arg(tag).arg(i),
                              QStringLiteral("value %1 %2").arg(tag).arg(i));
    return 0;
}
