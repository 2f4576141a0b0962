// Drives Mirovant931.exe's windows from another process, as a user would, and
// writes what it sees as one JSON object per line.
//
//     window_driver.exe SCRIPT RESULTS
//
// SCRIPT holds one step per line, its words separated by tabs. Each step
// appends {"step": ..., "ok": true|false, ...} to RESULTS and flushes it, so a
// failed run shows everything seen up to the failure. The driver stops at the
// first failed step, with exit status 1. Every wait has a time limit.
//
// Windows are named: "main" (the program's main window), "top" (the window
// most recently found by wait-window, or main) and "none".
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "json.h"
#include "probe.h"

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr UINT kSyncTimeoutMs = 30000;  // a scan runs before the answer

long long HandleValue(const void* handle)
{
    return static_cast<long long>(reinterpret_cast<UINT_PTR>(handle));
}

// A failed step: its message ends the run.
struct StepFailure {
    std::string message;
};

[[noreturn]] void Fail(const char* format, ...)
{
    char message[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    throw StepFailure{message};
}

// ---------------------------------------------------------------- windows

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    char text[4096] = "";
    DWORD_PTR length = 0;
    // WM_GETTEXT crosses processes by itself.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return std::string();
    text[sizeof text - 1] = '\0';
    return text;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               result != nullptr ? result : &ignored) != 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsDialogWindow(HWND window)
{
    return ClassOf(window) == "#32770";
}

bool HasTree(HWND window)
{
    HWND tree = GetDlgItem(window, 1000);
    return tree != nullptr && lstrcmpiA(ClassOf(tree).c_str(), WC_TREEVIEWA) == 0;
}

// Rectangle of a child in its parent's client coordinates: x, y, width, height.
std::string ChildRect(HWND child, HWND parent)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return Numbers({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
}

class Driver {
public:
    explicit Driver(const std::string& resultsPath) : results_(resultsPath, std::ios::app) {}
    ~Driver()
    {
        if (lockedFile_ != INVALID_HANDLE_VALUE)
            CloseHandle(lockedFile_);
        if (hook_ != nullptr)
            UnhookWindowsHookEx(hook_);
        if (shared_ != nullptr)
            UnmapViewOfFile(shared_);
        if (mapping_ != nullptr)
            CloseHandle(mapping_);
        if (probe_ != nullptr)
            FreeLibrary(probe_);
    }

    bool Run(const std::vector<std::string>& words);

private:
    HWND Named(const std::string& name) const;
    DWORD ProcessOf(HWND window) const;
    std::string OwnerName(HWND window) const;
    std::string Describe(HWND window) const;

    Json FindMain(DWORD timeoutMs);
    Json WaitWindow(const std::string& ownerName, DWORD timeoutMs);
    Json WaitGone(const std::string& name, DWORD timeoutMs);
    Json Windows() const;
    Json Tree();
    Json TreeUntil(int count, DWORD timeoutMs);
    Json WaitPainted(HWND window, DWORD timeoutMs);
    Json MapRects(const std::string& exe, int templateId, const std::vector<int>& values) const;
    Json PostCommand(HWND window, int id);
    Json PostKey(HWND window, UINT key, bool alt);
    Json ClickClose(HWND window);
    Json PressKey(HWND window, UINT key, bool alt);
    Json SetEditText(HWND window, int id, const std::string& text);
    Json Icons();
    Json PaintIconic(DWORD timeoutMs);
    std::string Probe(UINT operation, HWND window);
    Json SystemMenu();
    Json MessageBoxIcon(HWND box);
    Json Pause(const std::string& readyFile, const std::string& goFile, DWORD timeoutMs);
    Json LockFile(const std::string& path);

    std::ofstream results_;
    HWND main_ = nullptr;
    std::vector<HWND> found_;  // wait-window results, newest last
    HANDLE lockedFile_ = INVALID_HANDLE_VALUE;
    HMODULE probe_ = nullptr;
    HHOOK hook_ = nullptr;
    DWORD hookedThread_ = 0;
    HANDLE mapping_ = nullptr;
    ProbeShared* shared_ = nullptr;
};

HWND Driver::Named(const std::string& name) const
{
    if (name == "main") {
        if (main_ == nullptr)
            Fail("the main window has not been found");
        return main_;
    }
    if (name == "top")
        return found_.empty() ? Named("main") : found_.back();
    if (name == "none")
        return nullptr;
    Fail("unknown window name '%s'", name.c_str());
}

DWORD Driver::ProcessOf(HWND window) const
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

std::string Driver::OwnerName(HWND window) const
{
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == nullptr)
        return "none";
    if (owner == main_)
        return "main";
    for (std::size_t i = found_.size(); i-- > 0;)
        if (owner == found_[i])
            return "found" + std::to_string(i);
    return "other";
}

// Everything the tests compare about a window and its direct children, in
// creation order.
std::string Driver::Describe(HWND window) const
{
    RECT rect, client;
    GetWindowRect(window, &rect);
    GetClientRect(window, &client);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    DWORD_PTR defId = 0;
    Send(window, DM_GETDEFID, 0, 0, &defId);

    std::vector<std::string> children;
    for (HWND child : Children(window)) {
        const std::string childClass = ClassOf(child);
        Json item;
        item.Add("id", static_cast<long long>(GetDlgCtrlID(child)))
            .Add("class", childClass)
            .Add("text", TextOf(child))
            .Add("style", static_cast<long long>(GetWindowLongA(child, GWL_STYLE) & 0xFFFFFFFFLL))
            .Add("exstyle", static_cast<long long>(GetWindowLongA(child, GWL_EXSTYLE) & 0xFFFFFFFFLL))
            .Raw("rect", ChildRect(child, window))
            .Add("visible", IsWindowVisible(child) != FALSE)
            .Add("enabled", IsWindowEnabled(child) != FALSE);
        if (lstrcmpiA(childClass.c_str(), "Static") == 0) {
            DWORD_PTR icon = 0;
            Send(child, STM_GETICON, 0, 0, &icon);
            item.Add("icon", static_cast<long long>(icon));
        }
        children.push_back(item.Text());
    }
    Json json;
    json.Add("hwnd", HandleValue(window))
        .Add("class", ClassOf(window))
        .Add("caption", TextOf(window))
        .Add("style", static_cast<long long>(GetWindowLongA(window, GWL_STYLE) & 0xFFFFFFFFLL))
        .Add("exstyle", static_cast<long long>(GetWindowLongA(window, GWL_EXSTYLE) & 0xFFFFFFFFLL))
        .Add("owner", OwnerName(window))
        .Raw("rect", Numbers({rect.left, rect.top, rect.right, rect.bottom}))
        .Raw("client", Numbers({client.right, client.bottom}))
        .Add("visible", IsWindowVisible(window) != FALSE)
        .Add("enabled", IsWindowEnabled(window) != FALSE)
        .Add("iconic", IsIconic(window) != FALSE)
        .Add("foreground", GetForegroundWindow() == window)
        .Add("focus_id", thread.hwndFocus != nullptr && IsChild(window, thread.hwndFocus)
                             ? static_cast<long long>(GetDlgCtrlID(thread.hwndFocus)) : -1LL)
        .Add("focus_class", thread.hwndFocus != nullptr ? ClassOf(thread.hwndFocus) : std::string())
        .Add("defid", static_cast<long long>(HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : -1))
        .Raw("children", Array(children));
    return json.Text();
}

Json Driver::FindMain(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        for (HWND window : TopLevelWindows()) {
            if (IsWindowVisible(window) && IsDialogWindow(window) && HasTree(window)) {
                main_ = window;
                // Shown does not mean idle: wait until it answers.
                DWORD_PTR ignored = 0;
                if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSyncTimeoutMs, &ignored))
                    Fail("the main window does not answer");
                return Json().Add("pid", static_cast<long long>(ProcessOf(window)))
                    .Raw("window", Describe(window));
            }
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    Fail("no main window within %lu ms", static_cast<unsigned long>(timeoutMs));
}

// A new visible dialog window (message box, About box, file dialog, prompt)
// owned by the named window; "none" finds an unowned one.
Json Driver::WaitWindow(const std::string& ownerName, DWORD timeoutMs)
{
    HWND owner = Named(ownerName);
    const DWORD start = GetTickCount();
    do {
        for (HWND window : TopLevelWindows()) {
            if (window == main_ || !IsWindowVisible(window) || !IsDialogWindow(window))
                continue;
            if (GetWindow(window, GW_OWNER) != owner)
                continue;
            bool known = false;
            for (HWND seen : found_)
                known = known || seen == window;
            if (known)
                continue;
            found_.push_back(window);
            return Json().Add("elapsed_ms", static_cast<unsigned long>(GetTickCount() - start))
                .Raw("window", Describe(window));
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    std::string seen;
    for (HWND window : TopLevelWindows())
        if (IsWindowVisible(window))
            seen += " [" + ClassOf(window) + " \"" + TextOf(window) + "\" of process "
                    + std::to_string(ProcessOf(window)) + " owned by " + OwnerName(window) + "]";
    Fail("no new window owned by %s within %lu ms; the main window %s; visible:%s", ownerName.c_str(),
         static_cast<unsigned long>(timeoutMs), IsWindow(main_) ? "exists" : "is gone", seen.c_str());
}

Json Driver::WaitGone(const std::string& name, DWORD timeoutMs)
{
    HWND window = Named(name);
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeoutMs)
            Fail("%s is still open after %lu ms", name.c_str(), static_cast<unsigned long>(timeoutMs));
        Sleep(50);
    }
    if (name == "top" && !found_.empty())
        found_.pop_back();
    return Json().Add("elapsed_ms", static_cast<unsigned long>(GetTickCount() - start));
}

// Every visible top-level window (a second copy must show none of its own),
// and the hidden ones of the main window's process.
Json Driver::Windows() const
{
    std::vector<std::string> windows;
    for (HWND window : TopLevelWindows()) {
        const bool visible = IsWindowVisible(window) != FALSE;
        if (!visible && (main_ == nullptr || ProcessOf(window) != ProcessOf(main_)))
            continue;
        windows.push_back(Json().Add("class", ClassOf(window)).Add("caption", TextOf(window))
                              .Add("pid", static_cast<long long>(ProcessOf(window)))
                              .Add("visible", visible).Add("owner", OwnerName(window)).Text());
    }
    return Json().Raw("windows", Array(windows));
}

// The tree's items with their texts, states and children.
Json Driver::Tree()
{
    return Json().Raw("tree", Probe(kProbeTree, GetDlgItem(Named("main"), 1000)));
}

// Waits until the tree holds `count` items: a posted command or key has been
// handled and the tree reloaded.
Json Driver::TreeUntil(int count, DWORD timeoutMs)
{
    HWND tree = GetDlgItem(Named("main"), 1000);
    const DWORD start = GetTickCount();
    DWORD_PTR items = 0;
    while (!Send(tree, TVM_GETCOUNT, 0, 0, &items) || static_cast<int>(items) != count) {
        if (GetTickCount() - start >= timeoutMs)
            Fail("the tree holds %lu items, not %d, after %lu ms", static_cast<unsigned long>(items), count,
                 static_cast<unsigned long>(timeoutMs));
        Sleep(50);
    }
    return Tree();
}

BOOL CALLBACK CollectChild(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Waits until the window and its controls have painted what is invalid, so
// that a screenshot shows them.
Json Driver::WaitPainted(HWND window, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    for (;;) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::vector<HWND> windows = {window};
        EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&windows));
        bool clean = Send(window, WM_NULL, 0, 0, nullptr);
        for (HWND each : windows)
            clean = clean && !GetUpdateRect(each, nullptr, FALSE);
        if (clean)
            break;
        if (GetTickCount() - start >= timeoutMs)
            Fail("the window has not painted after %lu ms", static_cast<unsigned long>(timeoutMs));
        Sleep(50);
    }
    Sleep(200);  // for the X server to show what was drawn
    return Json().Add("elapsed_ms", static_cast<unsigned long>(GetTickCount() - start));
}

// Maps template coordinates (dialog units) to pixels with MapDialogRect on a
// hidden dialog made here from the program's own template: Wine's
// MapDialogRect fails on another process's window. Each value is mapped on
// its own, as the dialog manager maps x, y, cx and cy.
Json Driver::MapRects(const std::string& exe, int templateId, const std::vector<int>& values) const
{
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        Fail("cannot load %s: %lu", exe.c_str(), GetLastError());
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        FreeLibrary(module);
        Fail("no dialog template %d in %s", templateId, exe.c_str());
    }
    // A copy without WS_VISIBLE (the style follows dlgVer, signature, helpID, exStyle).
    std::vector<char> copy(static_cast<const char*>(data),
                           static_cast<const char*>(data) + SizeofResource(module, resource));
    DWORD style;
    std::memcpy(&style, copy.data() + 12, sizeof style);
    style &= ~WS_VISIBLE;
    std::memcpy(copy.data() + 12, &style, sizeof style);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), nullptr,
                                             InertDialogProc, 0);
    FreeLibrary(module);
    if (dialog == nullptr)
        Fail("CreateDialogIndirectParam failed: %lu", GetLastError());
    std::vector<std::string> mapped;
    for (std::size_t i = 0; i + 4 <= values.size(); i += 4) {
        RECT rect = {values[i], values[i + 1], values[i + 2], values[i + 3]};
        MapDialogRect(dialog, &rect);
        mapped.push_back(Numbers({rect.left, rect.top, rect.right, rect.bottom}));
    }
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    DestroyWindow(dialog);
    return Json().Raw("rects", Array(mapped)).Raw("base_units", Numbers({units.right, units.bottom}));
}

// A click as the dialog manager reports it. Posted, never sent: a click that
// opens a modal window would block the driver. A posted message ignores the
// disabled state, so the button must be enabled.
Json Driver::PostCommand(HWND window, int id)
{
    HWND control = GetDlgItem(window, id);
    if (control != nullptr && !IsWindowEnabled(control))
        Fail("control %d is disabled", id);
    if (!PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)))
        Fail("PostMessage failed: %lu", GetLastError());
    return Json();
}

// A key press as the focused control receives it from the message loop, where
// the dialog manager turns Escape and Enter into commands and the default
// window procedure turns Alt+F4 into SC_CLOSE.
Json Driver::PostKey(HWND window, UINT key, bool alt)
{
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    HWND target = thread.hwndFocus != nullptr ? thread.hwndFocus : window;
    const UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (scan << 16) | (alt ? KF_ALTDOWN << 16 : 0);
    const LPARAM up = down | (KF_REPEAT << 16) | (KF_UP << 16);
    const UINT downMessage = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT upMessage = alt ? WM_SYSKEYUP : WM_KEYUP;
    if (!PostMessageA(target, downMessage, key, down) || !PostMessageA(target, upMessage, key, up))
        Fail("PostMessage failed: %lu", GetLastError());
    return Json().Add("target_id", static_cast<long long>(GetDlgCtrlID(target)))
        .Add("target_class", ClassOf(target));
}

// Key strokes as the keyboard gives them, to the window brought to the front.
Json Driver::PressKey(HWND window, UINT key, bool alt)
{
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    auto add = [&inputs](UINT virtualKey, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(virtualKey);
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (alt)
        add(VK_MENU, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (alt)
        add(VK_MENU, KEYEVENTF_KEYUP);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        Fail("SendInput failed: %lu", GetLastError());
    return Json().Add("foreground", GetForegroundWindow() == window);
}

// A real mouse click on the caption's close box, found by hit-testing.
Json Driver::ClickClose(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    POINT point = {0, 0};
    bool found = false;
    for (int y = rect.top + 2; y < rect.top + 40 && !found; y += 2) {
        for (int x = rect.right - 2; x > rect.right - 80 && !found; x -= 2) {
            DWORD_PTR hit = 0;
            if (Send(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &hit) && hit == HTCLOSE) {
                point = {x - 3, y + 3};  // well inside the box
                DWORD_PTR inside = 0;
                found = Send(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y), &inside) && inside == HTCLOSE;
            }
        }
    }
    if (!found)
        Fail("no close box found on the caption");
    SetForegroundWindow(window);
    SetCursorPos(point.x, point.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (SendInput(2, inputs, sizeof inputs[0]) != 2)
        Fail("SendInput failed: %lu", GetLastError());
    return Json().Raw("point", Numbers({point.x, point.y}));
}

// The control itself if it is an edit control, else the first one inside it.
HWND FindEdit(HWND control, int depth)
{
    if (control == nullptr || depth > 3)
        return nullptr;
    if (lstrcmpiA(ClassOf(control).c_str(), "Edit") == 0)
        return control;
    for (HWND child : Children(control))
        if (HWND edit = FindEdit(child, depth + 1))
            return edit;
    return nullptr;
}

// Types into an edit control, or the edit inside a combo box (the file
// dialog's name box is ComboBoxEx32 > ComboBox > Edit).
Json Driver::SetEditText(HWND window, int id, const std::string& text)
{
    HWND edit = FindEdit(GetDlgItem(window, id), 0);
    if (edit == nullptr)
        Fail("no edit control in control %d", id);
    DWORD_PTR ok = 0;
    if (!Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &ok) || !ok)
        Fail("WM_SETTEXT failed");
    return Json().Add("text", TextOf(edit));
}

Json Driver::Icons()
{
    return Json().Raw("icons", Probe(kProbeIcons, Named("main")));
}

// Minimises the main window, makes it repaint and waits until its update
// region is empty, which shows that WM_PAINT was handled (BeginPaint and
// EndPaint) and the window still answers; then restores it.
Json Driver::PaintIconic(DWORD timeoutMs)
{
    HWND window = Named("main");
    ShowWindow(window, SW_MINIMIZE);
    const DWORD start = GetTickCount();
    while (!IsIconic(window)) {
        if (GetTickCount() - start >= timeoutMs)
            Fail("the main window did not minimise");
        Sleep(50);
    }
    RECT client;
    GetClientRect(window, &client);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    bool painted = false;
    while (!painted && GetTickCount() - start < timeoutMs) {
        Send(window, WM_NULL, 0, 0, nullptr);
        painted = !GetUpdateRect(window, nullptr, FALSE);
        if (!painted)
            Sleep(50);
    }
    const bool iconic = IsIconic(window) != FALSE;
    const bool answers = Send(window, WM_NULL, 0, 0, nullptr);
    ShowWindow(window, SW_RESTORE);
    while (IsIconic(window) && GetTickCount() - start < timeoutMs)
        Sleep(50);
    return Json().Add("iconic", iconic).Add("painted", painted).Add("answers", answers)
        .Raw("iconic_client", Numbers({client.right, client.bottom}))
        .Add("restored", IsIconic(window) == FALSE);
}

// Asks probe.dll, hooked into the window's thread, about the window (see
// probe.h). The hook stays until the driver ends.
std::string Driver::Probe(UINT operation, HWND window)
{
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (hookedThread_ != thread) {
        char path[MAX_PATH];
        const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = std::strrchr(path, '\\');
        if (length == 0 || length >= MAX_PATH || slash == nullptr)
            Fail("cannot find the driver's folder");
        std::snprintf(slash + 1, MAX_PATH - (slash + 1 - path), "%s", "probe.dll");
        if (probe_ == nullptr && (probe_ = LoadLibraryA(path)) == nullptr)
            Fail("cannot load %s: %lu", path, GetLastError());
        HOOKPROC hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe_, "ProbeHook")));
        if (hook_ != nullptr)
            UnhookWindowsHookEx(hook_);
        hook_ = hook != nullptr ? SetWindowsHookExA(WH_CALLWNDPROC, hook, probe_, thread) : nullptr;
        if (hook_ == nullptr)
            Fail("SetWindowsHookEx failed: %lu", GetLastError());
        hookedThread_ = thread;
    }
    if (shared_ == nullptr) {
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeShared),
                                      kProbeMappingName);
        shared_ = mapping_ != nullptr
                      ? static_cast<ProbeShared*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeShared)))
                      : nullptr;
        if (shared_ == nullptr)
            Fail("cannot share memory with the probe: %lu", GetLastError());
    }
    shared_->operation = operation;
    shared_->window = window;
    shared_->done = 0;
    shared_->answer[0] = '\0';
    if (!Send(window, RegisterWindowMessageA(kProbeMessageName), 0, 0, nullptr))
        Fail("the window does not answer the probe message");
    if (!shared_->done)
        Fail("the probe did not run in the window's thread");
    shared_->answer[sizeof shared_->answer - 1] = '\0';
    return shared_->answer;
}

Json Driver::SystemMenu()
{
    return Json().Raw("menu", Probe(kProbeSystemMenu, Named("main")));
}

// Which standard icon a message box shows in its icon static (id 0x440).
Json Driver::MessageBoxIcon(HWND box)
{
    HWND icon = GetDlgItem(box, 0x440);
    if (icon == nullptr)
        Fail("the message box has no icon static");
    return Json().Raw("icon", Probe(kProbeStandardIcon, icon));
}

// Lets the test act between two steps (a screenshot, a change of machine):
// writes readyFile, then waits for goFile.
Json Driver::Pause(const std::string& readyFile, const std::string& goFile, DWORD timeoutMs)
{
    results_.flush();
    std::ofstream(readyFile) << "ready\n";
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(goFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= timeoutMs)
            Fail("no go signal within %lu ms", static_cast<unsigned long>(timeoutMs));
        Sleep(50);
    }
    return Json();
}

// Holds the file open without sharing, so that the program cannot open it.
Json Driver::LockFile(const std::string& path)
{
    lockedFile_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (lockedFile_ == INVALID_HANDLE_VALUE)
        Fail("cannot open %s: %lu", path.c_str(), GetLastError());
    return Json();
}

DWORD Milliseconds(const std::string& word)
{
    return static_cast<DWORD>(std::strtoul(word.c_str(), nullptr, 10));
}

int Number(const std::string& word)
{
    return static_cast<int>(std::strtol(word.c_str(), nullptr, 0));
}

bool Driver::Run(const std::vector<std::string>& words)
{
    const std::string& step = words[0];
    auto need = [&](std::size_t count) {
        if (words.size() < count + 1)
            Fail("%s needs %u arguments", step.c_str(), static_cast<unsigned>(count));
    };
    Json result;
    bool ok = true;
    try {
        if (step == "find-main") {
            need(1);
            result = FindMain(Milliseconds(words[1]));
        } else if (step == "wait-window") {  // owner timeout
            need(2);
            result = WaitWindow(words[1], Milliseconds(words[2]));
        } else if (step == "wait-gone") {  // window timeout
            need(2);
            result = WaitGone(words[1], Milliseconds(words[2]));
        } else if (step == "describe") {  // window
            need(1);
            result = Json().Raw("window", Describe(Named(words[1])));
        } else if (step == "windows") {
            result = Windows();
        } else if (step == "tree") {
            result = Tree();
        } else if (step == "map-rects") {  // exe template-id x y cx cy ...
            need(2);
            std::vector<int> values;
            for (std::size_t i = 3; i < words.size(); ++i)
                values.push_back(Number(words[i]));
            result = MapRects(words[1], Number(words[2]), values);
        } else if (step == "command") {  // window id
            need(2);
            result = PostCommand(Named(words[1]), Number(words[2]));
        } else if (step == "send-command") {  // window id: for commands that open no window
            need(2);
            HWND window = Named(words[1]);
            const int id = Number(words[2]);
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)), SMTO_ABORTIFHUNG,
                                     kSyncTimeoutMs, &ignored))
                Fail("the command was not handled within %lu ms", static_cast<unsigned long>(kSyncTimeoutMs));
        } else if (step == "sync") {  // window: returns once it has handled what came before
            need(1);
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(Named(words[1]), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSyncTimeoutMs, &ignored))
                Fail("no answer within %lu ms", static_cast<unsigned long>(kSyncTimeoutMs));
        } else if (step == "focus") {  // window control-id: as the dialog manager moves it
            need(2);
            HWND window = Named(words[1]);
            HWND control = GetDlgItem(window, Number(words[2]));
            if (control == nullptr || !Send(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE, nullptr))
                Fail("cannot move the focus to control %s", words[2].c_str());
        } else if (step == "move") {  // window x y
            need(3);
            HWND window = Named(words[1]);
            if (!SetWindowPos(window, nullptr, Number(words[2]), Number(words[3]), 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
                Fail("SetWindowPos failed: %lu", GetLastError());
            RECT rect;
            GetWindowRect(window, &rect);
            result = Json().Raw("rect", Numbers({rect.left, rect.top, rect.right, rect.bottom}));
        } else if (step == "wait-painted") {  // window timeout
            need(2);
            result = WaitPainted(Named(words[1]), Milliseconds(words[2]));
        } else if (step == "send-message") {  // window control-id message wparam lparam: no pointers
            need(5);
            HWND window = Named(words[1]);
            HWND target = Number(words[2]) != 0 ? GetDlgItem(window, Number(words[2])) : window;
            DWORD_PTR answer = 0;
            if (target == nullptr || !Send(target, Number(words[3]), Number(words[4]), Number(words[5]), &answer))
                Fail("the message was not handled");
            result = Json().Add("result", static_cast<long long>(answer));
        } else if (step == "tree-until") {  // item-count timeout
            need(2);
            result = TreeUntil(Number(words[1]), Milliseconds(words[2]));
        } else if (step == "syscommand") {  // window command
            need(2);
            if (!PostMessageA(Named(words[1]), WM_SYSCOMMAND, Number(words[2]), 0))
                Fail("PostMessage failed: %lu", GetLastError());
        } else if (step == "key") {  // window virtual-key [alt]
            need(2);
            result = PostKey(Named(words[1]), Number(words[2]), words.size() > 3 && words[3] == "alt");
        } else if (step == "press") {  // window virtual-key [alt]: real key strokes
            need(2);
            result = PressKey(Named(words[1]), Number(words[2]), words.size() > 3 && words[3] == "alt");
        } else if (step == "click-close") {  // window
            need(1);
            result = ClickClose(Named(words[1]));
        } else if (step == "set-edit") {  // window id text
            need(3);
            result = SetEditText(Named(words[1]), Number(words[2]), words[3]);
        } else if (step == "icons") {
            result = Icons();
        } else if (step == "paint-iconic") {  // timeout
            need(1);
            result = PaintIconic(Milliseconds(words[1]));
        } else if (step == "system-menu") {
            result = SystemMenu();
        } else if (step == "message-box-icon") {  // window
            need(1);
            result = MessageBoxIcon(Named(words[1]));
        } else if (step == "pause") {  // ready-file go-file timeout
            need(3);
            result = Pause(words[1], words[2], Milliseconds(words[3]));
        } else if (step == "lock-file") {  // path
            need(1);
            result = LockFile(words[1]);
        } else {
            Fail("unknown step");
        }
    } catch (const StepFailure& failure) {
        ok = false;
        result = Json().Add("error", failure.message);
    }
    std::string line = result.Text();
    line = "{\"step\":" + Quote(step) + ",\"ok\":" + (ok ? "true" : "false")
           + (line.size() > 2 ? "," + line.substr(1) : "}");
    results_ << line << '\n';
    results_.flush();
    return ok;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        words.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return words;
        start = tab + 1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_driver SCRIPT RESULTS\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    std::ifstream script(argv[1]);
    if (!script) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    Driver driver(argv[2]);
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (!driver.Run(SplitTabs(line)))
            return 1;
    }
    return 0;
}
