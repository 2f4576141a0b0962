#include "framework/dialog.h"

#include <algorithm>

#include "framework/application.h"

namespace {

bool Matches(const MessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (entry.message != message)
        return false;
    if (message == WM_COMMAND)
        return entry.code == HIWORD(wParam) && entry.id == LOWORD(wParam);
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header != nullptr && entry.code == header->code && entry.id == header->idFrom;
    }
    return true;
}

// Centres the window over its owner, or on its screen when it has none, and
// keeps it on that screen's work area: the templates leave the position open.
void CenterWindow(HWND window)
{
    HWND owner = ::GetWindow(window, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(owner != nullptr ? owner : window, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    const RECT work = monitor.rcWork;
    RECT area = work;
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    RECT rect;
    ::GetWindowRect(window, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Dialog::Dialog(UINT templateId, HWND owner) : templateId_(templateId), owner_(owner) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::DoModal()
{
    const Application* application = Application::Current();
    HWND owner = owner_;
    if (owner == nullptr && application != nullptr)
        owner = application->MainWindow();  // still null while the main window is being created
    const INT_PTR result = ::DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), owner,
                                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    handle_ = nullptr;
    return result;
}

BOOL Dialog::OnInitDialog()
{
    DoDataExchange();
    return TRUE;
}

void Dialog::OnOK()
{
    EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

MessageTable Dialog::GetMessageTable() const
{
    return {nullptr, 0};
}

void Dialog::BindControl(int id, Control& control)
{
    control.Attach(::GetDlgItem(handle_, id));
}

void Dialog::EndDialog(INT_PTR result)
{
    ::EndDialog(handle_, result);
}

void Dialog::UseDefaultProcessing()
{
    if (handled_ != nullptr)
        *handled_ = false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->handle_ = window;
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT, ...) reach no object.
    if (dialog == nullptr)
        return FALSE;
    // An exception must not unwind through the window manager's frames.
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CenterWindow(handle_);
        return OnInitDialog();
    }

    const MessageTable table = GetMessageTable();
    for (std::size_t i = 0; i < table.count; ++i) {
        INT_PTR result = FALSE;
        if (Matches(table.entries[i], message, wParam, lParam)
            && Dispatch(table.entries[i], wParam, lParam, result))
            return result;
    }

    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        }
    }
    // Menu and accelerator commands no window handled.
    if (message == WM_COMMAND && HIWORD(wParam) <= 1 && lParam == 0) {
        Application* application = Application::Current();
        if (application != nullptr && application->OnCommand(LOWORD(wParam)))
            return TRUE;
    }
    return FALSE;
}

// Calls the entry's handler; false when it asked for the default processing.
bool Dialog::Dispatch(const MessageEntry& entry, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    // Handlers may send messages to this dialog: keep the outer flag.
    struct HandledScope {
        bool*& current;
        bool* const outer;
        ~HandledScope() { current = outer; }
    };
    bool handled = true;
    const HandledScope scope{handled_, handled_};
    handled_ = &handled;
    switch (entry.kind) {
    case HandlerKind::Plain:
        (this->*entry.handler.plain)();
        result = TRUE;
        break;
    case HandlerKind::SysCommand:
        (this->*entry.handler.sysCommand)(static_cast<UINT>(wParam), lParam);
        result = TRUE;
        break;
    case HandlerKind::QueryDragIcon:
        // One of the messages whose dialog procedure returns the value itself.
        result = reinterpret_cast<INT_PTR>((this->*entry.handler.queryDragIcon)());
        break;
    case HandlerKind::Notify: {
        LRESULT notifyResult = 0;
        (this->*entry.handler.notify)(reinterpret_cast<NMHDR*>(lParam), &notifyResult);
        ::SetWindowLongPtrA(handle_, DWLP_MSGRESULT, notifyResult);
        result = TRUE;
        break;
    }
    }
    return handled;
}
