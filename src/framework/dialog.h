// A modal dialog made from a dialog template resource, centred over its owner
// or on the screen. Each dialog class routes messages to its member handlers
// through a table of its own, walked in order; what no entry handles gets the
// default OK and Cancel handling, then the application's command table, then
// the dialog manager's default.
#pragma once

#include <windows.h>

#include <cstddef>

#include "framework/control.h"

struct MessageEntry;

// A dialog class's message table: entries in the order they are tried.
struct MessageTable {
    const MessageEntry* entries;
    std::size_t count;
};

class Dialog {
public:
    // `owner` null: the application's main window owns the dialog while it is
    // open (none for the main window itself).
    explicit Dialog(UINT templateId, HWND owner = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the window from the template, runs it modally and returns the
    // value the dialog ended with (-1 when the window could not be created).
    INT_PTR DoModal();

    // The window while the dialog runs, otherwise null.
    HWND Handle() const { return handle_; }

protected:
    // Binds the controls to their members, then lets the dialog manager give
    // the focus to the first tab stop (TRUE). Derived classes call it first.
    virtual BOOL OnInitDialog();
    // Binds control ids to members, with BindControl.
    virtual void DoDataExchange() {}
    // IDOK and IDCANCEL: end the dialog with that id.
    virtual void OnOK();
    virtual void OnCancel();

    virtual MessageTable GetMessageTable() const;

    void BindControl(int id, Control& control);
    void EndDialog(INT_PTR result);
    // Called from a handler: the message goes on as if this entry had not
    // matched, and in the end to the dialog manager's default processing.
    void UseDefaultProcessing();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(const MessageEntry& entry, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    UINT templateId_;
    HWND owner_;
    HWND handle_ = nullptr;
    bool* handled_ = nullptr;  // the flag of the handler now running
};

// How an entry calls its handler; each handler's signature is beside its kind.
enum class HandlerKind {
    Plain,          // void OnXxx()
    SysCommand,     // void OnSysCommand(UINT id, LPARAM point)
    QueryDragIcon,  // HICON OnQueryDragIcon()
    Notify,         // void OnXxx(NMHDR* header, LRESULT* result)
};

// One entry: a message, a WM_COMMAND notification from a control, or a
// WM_NOTIFY code from a control. Made by the functions below, never by hand.
struct MessageEntry {
    union Handler {
        constexpr Handler(void (Dialog::*handler)()) : plain(handler) {}
        constexpr Handler(void (Dialog::*handler)(UINT, LPARAM)) : sysCommand(handler) {}
        constexpr Handler(HICON (Dialog::*handler)()) : queryDragIcon(handler) {}
        constexpr Handler(void (Dialog::*handler)(NMHDR*, LRESULT*)) : notify(handler) {}

        void (Dialog::*plain)();
        void (Dialog::*sysCommand)(UINT, LPARAM);
        HICON (Dialog::*queryDragIcon)();
        void (Dialog::*notify)(NMHDR*, LRESULT*);
    };

    UINT message;
    UINT code;       // WM_COMMAND and WM_NOTIFY: the notification code
    UINT_PTR id;     // WM_COMMAND and WM_NOTIFY: the control id
    HandlerKind kind;
    Handler handler;
};

// void OnXxx(): a message whose parameters the handler does not need (WM_PAINT).
template <class D>
constexpr MessageEntry MessageHandler(UINT message, void (D::*handler)())
{
    return {message, 0, 0, HandlerKind::Plain, static_cast<void (Dialog::*)()>(handler)};
}

// void OnSysCommand(UINT id, LPARAM point): WM_SYSCOMMAND.
template <class D>
constexpr MessageEntry SysCommandHandler(void (D::*handler)(UINT, LPARAM))
{
    return {WM_SYSCOMMAND, 0, 0, HandlerKind::SysCommand,
            static_cast<void (Dialog::*)(UINT, LPARAM)>(handler)};
}

// HICON OnQueryDragIcon(): WM_QUERYDRAGICON.
template <class D>
constexpr MessageEntry QueryDragIconHandler(HICON (D::*handler)())
{
    return {WM_QUERYDRAGICON, 0, 0, HandlerKind::QueryDragIcon,
            static_cast<HICON (Dialog::*)()>(handler)};
}

// void OnXxx(): WM_COMMAND with notification `code` (BN_CLICKED) from control `id`.
template <class D>
constexpr MessageEntry CommandHandler(UINT code, UINT_PTR id, void (D::*handler)())
{
    return {WM_COMMAND, code, id, HandlerKind::Plain, static_cast<void (Dialog::*)()>(handler)};
}

// void OnXxx(NMHDR* header, LRESULT* result): WM_NOTIFY with `code` from control `id`.
template <class D>
constexpr MessageEntry NotifyHandler(int code, UINT_PTR id, void (D::*handler)(NMHDR*, LRESULT*))
{
    return {WM_NOTIFY, static_cast<UINT>(code), id, HandlerKind::Notify,
            static_cast<void (Dialog::*)(NMHDR*, LRESULT*)>(handler)};
}

template <std::size_t N>
constexpr MessageTable MakeMessageTable(const MessageEntry (&entries)[N])
{
    return {entries, N};
}
