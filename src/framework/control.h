// A child control of a dialog, known by its window once the dialog has bound
// it. The dialog owns the window; this object only refers to it.
#pragma once

#include <windows.h>

class Control {
public:
    void Attach(HWND window) { handle_ = window; }
    HWND Handle() const { return handle_; }

protected:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(handle_, message, wParam, lParam);
    }

private:
    HWND handle_ = nullptr;
};
