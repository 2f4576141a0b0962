#include "framework/save_file_dialog.h"

#include <algorithm>

#include "framework/application.h"

namespace {

// "A|*.a|B|*.b||" gives "A\0*.a\0B\0*.b\0\0", the form OPENFILENAME takes.
std::string ToNulSeparated(const char* filter)
{
    std::string pairs = filter != nullptr ? filter : "";
    std::replace(pairs.begin(), pairs.end(), '|', '\0');
    pairs.append(2, '\0');  // the list ends with an empty string even without "||"
    return pairs;
}

}  // namespace

SaveFileDialog::SaveFileDialog(const char* defaultExtension, const char* fileName, DWORD flags,
                               const char* filter)
    : defaultExtension_(defaultExtension != nullptr ? defaultExtension : ""),
      fileName_(fileName != nullptr ? fileName : ""),
      flags_(flags),
      filter_(ToNulSeparated(filter))
{
}

INT_PTR SaveFileDialog::DoModal(HWND owner)
{
    const Application* application = Application::Current();
    if (owner == nullptr && application != nullptr)
        owner = application->MainWindow();

    char path[MAX_PATH] = "";
    fileName_.copy(path, sizeof path - 1);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter_.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    dialog.Flags = flags_ | OFN_EXPLORER;

    if (!::GetSaveFileNameA(&dialog))
        return IDCANCEL;  // cancelled, or the dialog failed: nothing chosen
    path[sizeof path - 1] = '\0';
    pathName_ = path;
    return IDOK;
}
