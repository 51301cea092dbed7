#pragma once
// The index of every profile entry the program reads or writes, the suite's and its own:
// the file (and the global folder it lies in), the section, the key and the value a missing
// entry reads as. Everything that touches a setting names it through this index.
//
// The folder is taken from pfad_vexa or pfad_main at each call, never remembered, so an
// entry reads what the start-up has set by then. Reads and writes go through ReadIniValue
// and WriteIniValue (profile.h): they never raise; a missing or unreadable entry reads as
// its default, a write that cannot be made is lost.

#include <QString>
#include <optional>

namespace Vexa32 {

struct Setting
{
    enum class Folder
    {
        None,   // the file name is the whole path
        Suite,  // pfad_vexa
        Module, // pfad_main
    };

    Folder folder;
    QString file;
    QString section;
    QString key;
    QString defaultValue; // what an empty or missing entry reads as

    // The folder's current value ("" for None).
    QString folderPath() const;
    // The stored text, or defaultValue when the entry is empty or missing.
    QString read() const;
    // The same, from the file in folder instead of the global one (for a program that finds
    // the suite's folders without setting the globals).
    QString readIn(const QString &folder) const;
    void write(const QString &value) const;
    // "1" is true, "0" false; anything else (an empty entry too) is no choice.
    std::optional<bool> readFlag() const;
    // Stored as "1" or "0".
    void writeFlag(bool value) const;
};

namespace Settings {

inline const QString SuiteConfigFile = QStringLiteral("C:\\VEXA.CFG");
inline const QString SuiteFile = QStringLiteral("vexa.ini");
inline const QString ProgramFile = QStringLiteral("rowlns32.ini");

// "C:\VEXA.CFG" [Directories] Vexa3: the folder of vexa.ini.
Setting SuiteDirectory();
// vexa.ini [Detour] <module>: a folder that overrides the module's registered one.
Setting Detour(const QString &module);
// vexa.ini [Moduls_Dirs] <module>: a suite module's folder.
Setting ModuleDirectory(const QString &module);
// vexa.ini [Moduls_EXEs] <module>: a suite module's file name.
Setting ModuleFile(const QString &module);
// vexa.ini [Positions] <window>: a window's stored position.
Setting WindowPosition(const QString &window);

// rowlns32.ini [Dirs] LastOpenDir: the open dialog's last folder.
Setting LastOpenDir();
// rowlns32.ini [Startup] AssociateFileTypes: whether this program handles *.TBL files.
Setting AssociateFileTypes();
// rowlns32.ini [Recent] File1 (newest) to File5: the recently opened table files.
inline constexpr int RecentFileCount = 5;
Setting RecentFile(int index); // index from 0
// rowlns32.ini [Options] AutoReload: whether a change of the open file on disk reloads it
// ("1", the default, or "0").
Setting AutoReload();
// rowlns32.ini [Options] ProblemsPanel: whether View > Problems is shown ("1" or "0", the
// default).
Setting ProblemsPanel();

} // namespace Settings

} // namespace Vexa32
