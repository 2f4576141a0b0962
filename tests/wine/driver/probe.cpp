// The probe DLL: answers the window driver's questions from inside the
// program's GUI thread (see probe.h).
#include "probe.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "json.h"

namespace {

std::string TreeItems(HWND tree, HTREEITEM first)
{
    std::vector<std::string> items;
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        char text[1024] = "";
        TVITEMA info = {};
        info.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_CHILDREN;
        info.hItem = item;
        info.stateMask = 0xFFFFFFFF;
        info.pszText = text;
        info.cchTextMax = sizeof text;
        if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info)))
            return "\"TVM_GETITEMA failed\"";
        text[sizeof text - 1] = '\0';
        items.push_back(Json().Add("text", std::string(text))
                            .Add("state", static_cast<long long>(info.state))
                            .Add("image", info.iImage)
                            .Add("param", static_cast<long long>(info.lParam))
                            .Raw("children", TreeItems(tree, TreeView_GetChild(tree, item)))
                            .Text());
    }
    return Array(items);
}

std::string Tree(HWND tree)
{
    return Json().Add("count", static_cast<long long>(TreeView_GetCount(tree)))
        .Raw("items", TreeItems(tree, TreeView_GetRoot(tree)))
        .Text();
}

std::string SystemMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr)
        return Json().Add("error", "no system menu").Text();
    std::vector<std::string> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info))
            return Json().Add("error", "GetMenuItemInfo failed").Text();
        items.push_back(Json().Add("id", info.wID).Add("type", info.fType).Add("state", info.fState)
                            .Add("text", std::string(text)).Text());
    }
    return Json().Raw("items", Array(items)).Text();
}

// Compared in this process, where LoadIcon gives the handles the message box used.
std::string StandardIcon(HWND iconStatic)
{
    const HICON shown = reinterpret_cast<HICON>(SendMessageA(iconStatic, STM_GETICON, 0, 0));
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {{IDI_APPLICATION, "application"}, {IDI_HAND, "hand"}, {IDI_QUESTION, "question"},
                 {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "asterisk"}};
    const char* which = shown == nullptr ? "none" : "other";
    for (const auto& icon : icons)
        if (LoadIconA(nullptr, icon.id) == shown)
            which = icon.name;
    return Json().Add("icon", which).Text();
}

// The window's icons against icon 128 of the executable, as LoadIcon gives it here.
std::string Icons(HWND window)
{
    const auto handle = [](LRESULT value) { return static_cast<long long>(value); };
    const HICON application = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    return Json().Add("big", handle(SendMessageA(window, WM_GETICON, ICON_BIG, 0)))
        .Add("small", handle(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)))
        .Add("drag", handle(SendMessageA(window, WM_QUERYDRAGICON, 0, 0)))
        .Add("application", handle(reinterpret_cast<LRESULT>(application)))
        .Text();
}

void Answer(ProbeShared& shared)
{
    std::string answer;
    switch (shared.operation) {
    case kProbeTree:
        answer = Tree(shared.window);
        break;
    case kProbeSystemMenu:
        answer = SystemMenu(shared.window);
        break;
    case kProbeStandardIcon:
        answer = StandardIcon(shared.window);
        break;
    case kProbeIcons:
        answer = Icons(shared.window);
        break;
    default:
        answer = Json().Add("error", "unknown operation").Text();
    }
    const std::size_t size = answer.size() < sizeof shared.answer ? answer.size() : sizeof shared.answer - 1;
    std::memcpy(shared.answer, answer.data(), size);
    shared.answer[size] = '\0';
    shared.done = 1;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT probeMessage = RegisterWindowMessageA(kProbeMessageName);
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call != nullptr && call->message == probeMessage) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kProbeMappingName);
        void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ProbeShared))
                                        : nullptr;
        if (view != nullptr) {
            Answer(*static_cast<ProbeShared*>(view));
            UnmapViewOfFile(view);
        }
        if (mapping != nullptr)
            CloseHandle(mapping);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
