#include "vexa32/settings.h"

#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "vexa32/strings.h"

namespace Vexa32 {

QString Setting::folderPath() const
{
    switch (folder) {
    case Folder::Suite:
        return pfad_vexa;
    case Folder::Module:
        return pfad_main;
    case Folder::None:
        break;
    }
    return {};
}

QString Setting::read() const
{
    return readIn(folderPath());
}

QString Setting::readIn(const QString &folder) const
{
    const QString value = ReadIniValue(folder, file, section, key);
    return value.isEmpty() ? defaultValue : value;
}

void Setting::write(const QString &value) const
{
    WriteIniValue(folderPath(), file, section, key, value);
}

std::optional<bool> Setting::readFlag() const
{
    const QString value = read();
    if (value == QLatin1String("1")) {
        return true;
    }
    if (value == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

void Setting::writeFlag(bool value) const
{
    write(QString::number(BoolToInt(value ? -1 : 0)));
}

namespace Settings {

Setting SuiteDirectory()
{
    return {Setting::Folder::None,
            SuiteConfigFile,
            QStringLiteral("Directories"),
            QStringLiteral("Vexa3"),
            {}};
}

Setting Detour(const QString &module)
{
    return {Setting::Folder::Suite, SuiteFile, QStringLiteral("Detour"), module, {}};
}

Setting ModuleDirectory(const QString &module)
{
    return {Setting::Folder::Suite, SuiteFile, QStringLiteral("Moduls_Dirs"), module, {}};
}

Setting ModuleFile(const QString &module)
{
    return {Setting::Folder::Suite, SuiteFile, QStringLiteral("Moduls_EXEs"), module, {}};
}

Setting WindowPosition(const QString &window)
{
    return {Setting::Folder::Suite, SuiteFile, QStringLiteral("Positions"), window, {}};
}

Setting LastOpenDir()
{
    return {Setting::Folder::Module,
            ProgramFile,
            QStringLiteral("Dirs"),
            QStringLiteral("LastOpenDir"),
            {}};
}

Setting AssociateFileTypes()
{
    return {Setting::Folder::Module,
            ProgramFile,
            QStringLiteral("Startup"),
            QStringLiteral("AssociateFileTypes"),
            {}};
}

Setting RecentFile(int index)
{
    return {Setting::Folder::Module,
            ProgramFile,
            QStringLiteral("Recent"),
            QStringLiteral("File%1").arg(index + 1),
            {}};
}

Setting AutoReload()
{
    return {Setting::Folder::Module, ProgramFile, QStringLiteral("Options"),
            QStringLiteral("AutoReload"), QStringLiteral("1")};
}

Setting ProblemsPanel()
{
    return {Setting::Folder::Module, ProgramFile, QStringLiteral("Options"),
            QStringLiteral("ProblemsPanel"), QStringLiteral("0")};
}

} // namespace Settings

} // namespace Vexa32
