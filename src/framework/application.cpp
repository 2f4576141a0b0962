#include "framework/application.h"

#include "framework/dialog.h"

namespace {

Application* currentApplication = nullptr;

// "C:\Tools\Mirovant931.exe" gives "Mirovant931".
std::string ModuleBaseName(HINSTANCE instance)
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string name(path, length);
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

}  // namespace

Application::Application()
{
    currentApplication = this;
}

Application::~Application()
{
    if (currentApplication == this)
        currentApplication = nullptr;
}

Application* Application::Current()
{
    return currentApplication;
}

int Application::Run(HINSTANCE instance, const char* commandLine)
{
    instance_ = instance;
    commandLine_ = commandLine != nullptr ? commandLine : "";
    name_ = ModuleBaseName(instance);
    InitInstance();
    return exitStatus_;
}

bool Application::InitInstance()
{
    return true;
}

HINSTANCE ResourceInstance()
{
    const Application* application = Application::Current();
    return application != nullptr ? application->Instance() : ::GetModuleHandleA(nullptr);
}

HWND Application::MainWindow() const
{
    return mainWindow_ != nullptr ? mainWindow_->Handle() : nullptr;
}

int Application::ShowMessageBox(const char* text, UINT type) const
{
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(MainWindow(), text, name_.c_str(), type);
}

const Application::CommandEntry* Application::CommandTable() const
{
    static const CommandEntry table[] = {{0, nullptr}};
    return table;
}

bool Application::OnCommand(UINT id)
{
    for (const CommandEntry* entry = CommandTable(); entry->id != 0; ++entry) {
        if (entry->id == id) {
            (this->*entry->handler)();
            return true;
        }
    }
    return false;
}
