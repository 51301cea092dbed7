// Bad table files: each is opened and one section is listed, with the outcome expected of
// it, or a LoadError that leaves the window as it was. Nothing may crash.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/tableloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace Engine;

namespace {

const QString Unparsed = QStringLiteral("<Unparsed contents>");

QString Write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(bytes), bytes.size());
    return path;
}

QStringList Names(const TableListModel &model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.cellText(row, 0);
    return names;
}

struct BadFile
{
    const char *name;
    QByteArray bytes;
    QStringList tabs;    // after opening, without the first tab
    QString listed;      // the section then listed
    QStringList records; // its record names
};

template <std::size_t N>
QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray LongLine()
{
    // One line of 10 MB holding a record; a ":" and ";" far beyond any 16-bit position.
    QByteArray line = "#Long\r$Name: ";
    line += QByteArray(10 << 20, 'x');
    line += ";" + QByteArray(1000, 'c');
    return line;
}

std::vector<BadFile> BadFiles()
{
    return {
        {"empty", QByteArray(), {}, QString(), {}},
        // NULs are characters like any other; a NUL before "#" makes no header.
        {"nul bytes",
         Bytes("#A\0B\r\n$Name: a\0b\r\n\0#C\r\n$Name: c\r\n"),
         {QString::fromUtf16(u"A\0B", 3)},
         QString::fromUtf16(u"A\0B", 3),
         {QString::fromUtf16(u"a\0b", 3), QStringLiteral("c")}},
        {"binary noise",
         [] {
             QByteArray bytes;
             for (int i = 0; i < 4096; ++i)
                 bytes += static_cast<char>((i * 131 + 7) % 256);
             return bytes;
         }(),
         {},
         QStringLiteral("none"),
         {}},
        {"ten megabyte line",
         LongLine(),
         {QStringLiteral("Long")},
         QStringLiteral("Long"),
         {QString(10 << 20, u'x')}},
        {"only hash lines",
         "#\r\n#\r\n#\n#",
         {QString(), QString(), QString(), QString()},
         QString(),
         {}},
        {"windows-1252 bytes",
         "#Caf\xe9\r\n$Name: \x80uro \x9f\r\n",
         {QStringLiteral("Caf\u00e9")},
         QStringLiteral("Caf\u00e9"),
         {QStringLiteral("\u20acuro \u0178")}},
        // Valid UTF-8 up to one stray byte: the whole file is Windows-1252.
        {"invalid utf-8",
         "#\xc3\xa9t\xe9\r\n$Name: \xe2\x82\xac\r\n",
         {QStringLiteral("\u00c3\u00a9t\u00e9")},
         QStringLiteral("\u00c3\u00a9t\u00e9"),
         {QStringLiteral("\u00e2\u201a\u00ac")}},
        // U+FEFF inside a UTF-8 file is text, also where a name or value starts; only the
        // byte-order mark at the start of the file is not.
        {"zero-width no-break spaces",
         "\xef\xbb\xbf#\xef\xbb\xbfItems\r\n$Name: \xef\xbb\xbfLamp\r\n$Name: Lamp\r\n",
         {QStringLiteral("\ufeffItems")},
         QStringLiteral("\ufeffItems"),
         {QStringLiteral("\ufeffLamp"), QStringLiteral("Lamp")}},
        // A truncated UTF-8 sequence at the very end.
        {"cut utf-8",
         "#\xc3\xa9\r\n$Name: a\xe2\x82",
         {QStringLiteral("\u00c3\u00a9")},
         QStringLiteral("\u00c3\u00a9"),
         {QStringLiteral("a\u00e2\u201a")}},
    };
}

TEST(BadTableFiles, OpenAndListWithoutLoss)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const BadFile &bad : BadFiles()) {
        SCOPED_TRACE(bad.name);
        const QString path = Write(dir, QString::fromLatin1(bad.name), bad.bytes);
        HeadlessTableWindow window;
        Engine::LoadFile(window, path, Engine::OpenCaption);
        EXPECT_EQ(window.tabs(), QStringList{Unparsed} + bad.tabs);
        EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
        EXPECT_EQ(window.rawTextFile(), path);

        window.clickTab(bad.listed);
        EXPECT_EQ(Names(window.listModel()), bad.records);
        EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
        EXPECT_TRUE(window.listVisible());
        window.clickColumn(0);
        EXPECT_EQ(window.listModel().rowCount(), bad.records.size());
    }
}

// A window showing a listed section, for the failures below.
struct ShownTable
{
    QTemporaryDir dir;
    QString path;
    HeadlessTableWindow window;

    ShownTable()
    {
        path = Write(dir, QStringLiteral("ships.tbl"),
                     "#Ships\r\n$Name: Kestrel\r\n$Mass: 1.5\r\n$Name: Heron\r\n");
        Engine::LoadFile(window, path, Engine::OpenCaption);
        window.clickTab(QStringLiteral("Ships"));
        window.clickRow(1);
    }

    // The failed load reached the caller and left the window as it was.
    void ExpectUnchanged(const QString &reason, const std::function<void()> &load)
    {
        try {
            load();
            ADD_FAILURE() << "no LoadError";
        } catch (const LoadError &error) {
            EXPECT_EQ(error.reason(), reason);
            EXPECT_FALSE(error.message().isEmpty());
        }
        EXPECT_EQ(window.tabs(), (QStringList{Unparsed, QStringLiteral("Ships")}));
        EXPECT_EQ(Names(window.listModel()),
                  (QStringList{QStringLiteral("Kestrel"), QStringLiteral("Heron")}));
        EXPECT_EQ(window.listModel().cellText(0, 1), QStringLiteral("         1.5"));
        EXPECT_EQ(window.currentFile(), path);
        EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
        EXPECT_EQ(window.statusPanel(2), QStringLiteral("Heron"));
        EXPECT_FALSE(window.busyPointer());
    }
};

TEST(BadTableFiles, AFolderGivenAsTheFileIsRefused)
{
    ShownTable shown;
    for (const QString &caption : {Engine::OpenCaption, QStringLiteral("Ships")})
        shown.ExpectUnchanged(QStringLiteral("Is a folder"),
                              [&] { Engine::LoadFile(shown.window, shown.dir.path(), caption); });
}

TEST(BadTableFiles, ADeviceGivenAsTheFileIsRefusedWithoutReadingIt)
{
    // An endless device: reading it would never end.
    if (!QFileInfo::exists(QStringLiteral("/dev/zero")))
        GTEST_SKIP() << "no /dev/zero on this host";
    ShownTable shown;
    shown.ExpectUnchanged(QStringLiteral("Not a regular file"), [&] {
        Engine::LoadFile(shown.window, QStringLiteral("/dev/zero"), Engine::OpenCaption);
    });
}

TEST(BadTableFiles, AnUnreadableFileIsRefusedOrReadAsItIs)
{
    ShownTable shown;
    const QString locked = Write(shown.dir, QStringLiteral("locked.tbl"), "#Locked\r\n");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    // A user who reads any file (root) gets the table; everyone else a clear error.
    if (QFileInfo(locked).isReadable()) {
        Engine::LoadFile(shown.window, locked, Engine::OpenCaption);
        EXPECT_EQ(shown.window.tabs(), (QStringList{Unparsed, QStringLiteral("Locked")}));
    } else {
        shown.ExpectUnchanged(QStringLiteral("Permission denied"),
                              [&] { Engine::LoadFile(shown.window, locked, Engine::OpenCaption); });
    }
}

TEST(BadTableFiles, AFileDeletedBeforeATabClickFailsThatClickOnly)
{
    ShownTable shown;
    ASSERT_TRUE(QFile::remove(shown.path));
    shown.ExpectUnchanged(QStringLiteral("No such file"),
                          [&] { shown.window.clickTab(QStringLiteral("Ships")); });
    // Put back, the next click works again.
    Write(shown.dir, QStringLiteral("ships.tbl"), "#Ships\r\n$Name: Back\r\n");
    shown.window.clickTab(QStringLiteral("Ships"));
    EXPECT_EQ(Names(shown.window.listModel()), QStringList{QStringLiteral("Back")});
}

TEST(BadTableFiles, AGrowingFileIsReadAsFarAsItReaches)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = Write(dir, QStringLiteral("grow.tbl"), "#Log\r\n$Name: r0\r\n");
    HeadlessTableWindow window;
    Engine::LoadFile(window, path, Engine::OpenCaption);

    // Grown before the tab click: the click reads the file anew.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("$Name: r1\r\n#Later\r\n");
    }
    window.clickTab(QStringLiteral("Log"));
    EXPECT_EQ(Names(window.listModel()), (QStringList{QStringLiteral("r0"), QStringLiteral("r1")}));

    // Growing while it is read: every load sees a prefix of the records, never fewer than
    // were there before the writer started.
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        QFile file(path);
        if (!file.open(QIODevice::Append))
            return;
        for (int i = 0; !stop && i < 20000; ++i) {
            file.write("#Log\r\n$Name: g" + QByteArray::number(i) +
                       "\r\n$Size: " + QByteArray::number(i) + ".5\r\n");
            file.flush();
        }
    });
    int previous = 2;
    for (int i = 0; i < 20; ++i) {
        window.clickTab(QStringLiteral("Log"));
        const TableListModel &model = window.listModel();
        ASSERT_GE(model.rowCount(), previous);
        previous = model.rowCount();
        EXPECT_EQ(model.cellText(0, 0), QStringLiteral("r0"));
        EXPECT_EQ(window.statusPanel(1), QStringLiteral("Ready"));
    }
    stop = true;
    writer.join();
}

} // namespace
