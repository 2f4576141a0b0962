// A dialog application: one static application object whose start-up hook
// runs from WinMain and decides everything; there is no message loop of its
// own, only modal windows and message boxes.
#pragma once

#include <windows.h>

#include <string>

class Dialog;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object, or nullptr before it is constructed.
    static Application* Current();

    // Run by WinMain: stores what start-up needs, runs InitInstance, and gives
    // the process exit status.
    int Run(HINSTANCE instance, const char* commandLine);

    HINSTANCE Instance() const { return instance_; }
    // The text after the program's own name on the command line.
    const std::string& CommandLineText() const { return commandLine_; }
    // The executable's file name without its extension: the caption of every
    // message box.
    const std::string& Name() const { return name_; }

    // The main window while it is open, otherwise null: it owns the message
    // boxes and the dialogs shown meanwhile. Null clears it.
    HWND MainWindow() const;
    void SetMainWindow(Dialog* window) { mainWindow_ = window; }

    // A message box owned by the main window, if there is one, captioned with
    // the application's name; the exclamation icon unless `type` names another.
    int ShowMessageBox(const char* text, UINT type = MB_OK) const;

    // A command that no window handled: walks the application's command table.
    bool OnCommand(UINT id);

    // The standard Help command. No help file ships, so there is nothing to open.
    void OnHelp() {}

protected:
    // The start-up hook. Derived hooks call the base and return false, so the
    // program ends when they return.
    virtual bool InitInstance();

    // Names the per-user settings key (HKCU\Software\<company>\<name>).
    // Nothing is stored there, so the key is never created.
    void SetRegistryKey(const char* company) { registryKey_ = company; }

    void SetExitStatus(int status) { exitStatus_ = status; }

    // The command table: each entry routes a command id to a handler.
    struct CommandEntry {
        UINT id;
        void (Application::*handler)();
    };
    virtual const CommandEntry* CommandTable() const;  // ends with an entry of id 0

private:
    HINSTANCE instance_ = nullptr;
    std::string commandLine_;
    std::string name_;
    std::string registryKey_;
    Dialog* mainWindow_ = nullptr;
    int exitStatus_ = 0;
};

// The module that holds the program's resources: the executable.
HINSTANCE ResourceInstance();

// The standard Help command id.
constexpr UINT kIdHelp = 0xE146;
