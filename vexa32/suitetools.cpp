#include "vexa32/suitetools.h"

#include "vexa32/platform/library.h"

namespace Vexa32 {

namespace {

struct ToolsLibrary
{
    QString name = ToolsLibraryName;
    void *handle = nullptr;
};

ToolsLibrary &Tools()
{
    static ToolsLibrary tools;
    return tools;
}

bool CallTool(const char *entryPoint)
{
    try {
        ToolsLibrary &tools = Tools();
        if (tools.handle == nullptr) {
            tools.handle = Platform::LoadSharedLibrary(tools.name);
        }
        const Platform::Procedure procedure = Platform::ResolveProcedure(tools.handle, entryPoint);
        if (procedure == nullptr) {
            return false;
        }
        procedure();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

bool DoAbout()
{
    return CallTool("DoAbout");
}

bool DoKMVC()
{
    return CallTool("DoKMVC");
}

void SetToolsLibraryName(const QString &name)
{
    Tools() = ToolsLibrary{name, nullptr};
}

} // namespace Vexa32
