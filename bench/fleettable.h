#pragma once
// The generated table file the benchmarks read: one section "Fleet" of N records, each a
// "$Name:" line and seven fields (text, numbers with and without decimals, a comment, a
// tab), CR LF, a comment line every 1000 records, then an end header and a small second
// section. About 133 bytes a record. Written in large blocks; returns the path, or ""
// when the file cannot be written.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <random>

namespace FleetTable {

inline QString Write(const QString &path, int records)
{
    static const char *const Classes[] = {"Frigate", "Scout", "Tug", "Hauler", "Cruiser"};
    static const char *const Factions[] = {"Tarn", "Ossery", "Vel", "Quorin"};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(12345);
    auto number = [&random](int low, int high) {
        return QByteArray::number(std::uniform_int_distribution<int>(low, high)(random));
    };
    QByteArray text = "; generated fleet\r\n#Fleet\t; all ships\r\n";
    for (int i = 0; i < records; ++i) {
        if (i % 1000 == 0)
            text += "; block " + QByteArray::number(i) + "\r\n";
        text += "$Name: Ship " + QByteArray::number(i).rightJustified(6, '0') + "\r\n";
        text += QByteArray("$Class:\t") + Classes[i % 5] + "\r\n";
        text += "$Mass: " + number(10, 99999) + '.' + number(0, 9) + "\r\n";
        text += "$Crew: " + number(1, 500) + "\r\n";
        text += "$Speed: " + number(1, 40) + '.' + number(10, 99) + " ; knots\r\n";
        text += "$Cost: " + number(100, 999999) + "\r\n";
        text += QByteArray("$Faction: ") + Factions[i % 4] + "\r\n";
        text += "$Hull: " + number(1, 100) + "\r\n";
        if (text.size() > (1 << 22)) {
            if (file.write(text) != text.size())
                return {};
            text.clear();
        }
    }
    text += "#Fleet End\r\n#Docks\r\n$Name: Home\r\n";
    if (file.write(text) != text.size() || !file.flush())
        return {};
    return path;
}

} // namespace FleetTable
