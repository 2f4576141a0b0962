#include "app/mirovant_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/command_line.h"
#include "app/exit_status.h"
#include "platform/win32_query.h"
#include "report/report.h"
#include "scan/inventory.h"
#include "ui/mirovant_dlg.h"

namespace {

// Destroyed after the application object, which is defined below it.
Inventory theInventory;
const Win32Query theQuery;

// "TEMP" as the environment holds it, also when it is longer than the
// 256-byte buffer the first read uses; empty when unset or empty.
std::string ReadTemp()
{
    char buffer[256];
    const DWORD length = GetEnvironmentVariableA("TEMP", buffer, sizeof buffer);
    if (length == 0)
        return std::string();
    if (length < sizeof buffer)
        return std::string(buffer, length);
    std::string value(length, '\0');  // length counts the terminating zero here
    const DWORD read = GetEnvironmentVariableA("TEMP", &value[0], length);
    value.resize(read < length ? read : 0);
    return value;
}

}  // namespace

CMirovant9xApp theApp;

CMirovant9xApp::~CMirovant9xApp() = default;

const Application::CommandEntry* CMirovant9xApp::CommandTable() const
{
    static const CommandEntry table[] = {
        {kIdHelp, &Application::OnHelp},
        {0, nullptr},
    };
    return table;
}

bool CMirovant9xApp::InitInstance()
{
    // Named without a namespace prefix: one copy per log-on session. The
    // handle stays open until the process ends.
    CreateMutexA(nullptr, FALSE, "Mirovant931");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SetExitStatus(kExitAlreadyRunning);
        return false;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    Application::InitInstance();
    SetRegistryKey("Mirovant931");

    const CommandLine commandLine = ParseCommandLine(CommandLineText(), ReadTemp);
    switch (commandLine.mode) {
    case RunMode::Interactive:
        RunMainWindow();
        break;
    case RunMode::Silent:
        RunSilent(commandLine.fileName);
        break;
    case RunMode::Usage:
        ShowMessageBox(kUsageMessage);
        SetExitStatus(kExitCommandLine);
        break;
    case RunMode::Syntax:
        ShowMessageBox(kSyntaxMessage);
        SetExitStatus(kExitCommandLine);
        break;
    }
    return false;
}

void CMirovant9xApp::RunSilent(const std::string& fileName)
{
    const ReportStatus status = WriteReport(theQuery, theInventory, fileName,
                                            [this](const std::string& message) { ShowMessageBox(message.c_str()); });
    SetExitStatus(status == ReportStatus::Written       ? kExitSuccess
                  : status == ReportStatus::CouldNotOpen ? kExitCouldNotOpen
                                                         : kExitCouldNotWrite);
}

void CMirovant9xApp::RunMainWindow()
{
    CMirovant9xDlg dialog(theQuery, theInventory);
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    ClearInventory(theInventory);
}
