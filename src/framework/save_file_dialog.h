// The common Save As dialog, described the way dialog resources describe
// their filters: "Text (*.txt)|*.txt|All (*.*)|*.*||".
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

class SaveFileDialog {
public:
    // `defaultExtension` is appended to a name typed without one; `fileName`
    // is the name first shown (a pattern such as "*.txt" filters the list).
    SaveFileDialog(const char* defaultExtension, const char* fileName, DWORD flags,
                   const char* filter);

    // Shows the dialog, owned by `owner` or, when null, by the application's
    // main window. IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal(HWND owner = nullptr);

    // The chosen file's full path, after IDOK.
    const std::string& PathName() const { return pathName_; }

private:
    std::string defaultExtension_;
    std::string fileName_;
    DWORD flags_;
    std::string filter_;  // NUL-separated pairs, ending with two NULs
    std::string pathName_;
};
