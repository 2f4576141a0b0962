// What the window driver asks the probe DLL inside the program's process.
//
// Under Wine some questions have answers only inside the window's own
// process: GetSystemMenu of another process's window returns NULL, icon
// handles from LoadIcon differ from one process to the next, WM_GETICON sent
// from another process fails, and the tree's
// TVM_GETITEMA needs a buffer in the program's memory (Read/WriteProcessMemory
// miss it where 32-bit Wine runs under qemu-user, which offsets guest
// addresses). The driver hooks the program's GUI thread with WH_CALLWNDPROC
// (the window manager loads probe.dll into the program for that), fills the
// shared memory below and sends the registered message; the hook answers in
// the same shared memory before the message returns.
#pragma once

#include <windows.h>

constexpr char kProbeMessageName[] = "Mirovant931 window probe";
constexpr char kProbeMappingName[] = "Mirovant931WindowProbe";

enum ProbeOperation : UINT {
    kProbeTree = 1,           // window: a tree view; answer: its items
    kProbeSystemMenu = 2,     // window: a top-level window; answer: its system menu
    kProbeStandardIcon = 3,   // window: an icon static; answer: which standard icon it shows
    kProbeIcons = 4,          // window: a top-level window; answer: its icons and drag icon
};

struct ProbeShared {
    UINT operation;
    HWND window;
    LONG done;          // set by the probe
    char answer[1 << 16];  // JSON, zero-terminated
};

// Exported by probe.dll: the WH_CALLWNDPROC hook.
extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam);
