#include "ui/mirovant_dlg.h"

#include <string>

#include "framework/application.h"
#include "framework/save_file_dialog.h"
#include "report/report.h"
#include "scan/scan.h"
#include "ui/about_dlg.h"
#include "ui/resource.h"

// System commands carry flags in their low four bits; ours stays clear of
// them and below the system's own range.
static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000,
              "the About command must be a valid system command id");

namespace {

// A report failure, shown over the main window.
void TellUser(const std::string& message)
{
    if (const Application* application = Application::Current())
        application->ShowMessageBox(message.c_str());
}

}  // namespace

CMirovant9xDlg::CMirovant9xDlg(const Query& query, Inventory& inventory)
    : Dialog(IDD_MIROVANT9X_DIALOG),
      icon_(::LoadIconA(ResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      query_(query),
      inventory_(inventory)
{
}

CMirovant9xDlg::~CMirovant9xDlg() = default;

MessageTable CMirovant9xDlg::GetMessageTable() const
{
    static const MessageEntry entries[] = {
        SysCommandHandler(&CMirovant9xDlg::OnSysCommand),
        MessageHandler(WM_PAINT, &CMirovant9xDlg::OnPaint),
        QueryDragIconHandler(&CMirovant9xDlg::OnQueryDragIcon),
        NotifyHandler(TVN_SELCHANGEDA, IDC_TREE, &CMirovant9xDlg::OnTreeNotify),
        CommandHandler(BN_CLICKED, IDC_REFRESH, &CMirovant9xDlg::OnRefresh),
        CommandHandler(BN_CLICKED, IDC_SAVEAS, &CMirovant9xDlg::OnSaveAs),
        NotifyHandler(NM_RCLICK, IDC_TREE, &CMirovant9xDlg::OnTreeNotify),
    };
    return MakeMessageTable(entries);
}

void CMirovant9xDlg::DoDataExchange()
{
    BindControl(IDC_TREE, tree_);
}

BOOL CMirovant9xDlg::OnInitDialog()
{
    Dialog::OnInitDialog();

    HMENU systemMenu = ::GetSystemMenu(Handle(), FALSE);
    if (systemMenu != nullptr) {
        char about[256] = "";
        if (::LoadStringA(ResourceInstance(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    FillTree();
    return TRUE;  // the focus goes to the first tab stop, "Refresh"
}

void CMirovant9xDlg::OnSysCommand(UINT id, LPARAM)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        UseDefaultProcessing();
    }
}

// A minimised window shows its icon, centred in what is left of its client area.
void CMirovant9xDlg::OnPaint()
{
    if (!::IsIconic(Handle())) {
        UseDefaultProcessing();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    ::SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, icon_);
    ::EndPaint(Handle(), &paint);
}

HICON CMirovant9xDlg::OnQueryDragIcon()
{
    return icon_;
}

// Selecting an item or right-clicking the tree does nothing.
void CMirovant9xDlg::OnTreeNotify(NMHDR*, LRESULT* result)
{
    *result = 0;
}

void CMirovant9xDlg::OnRefresh()
{
    FillTree();
}

// Writes a fresh scan to the chosen file; the tree keeps what it shows.
void CMirovant9xDlg::OnSaveAs()
{
    SaveFileDialog dialog("txt", "*.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                          "Txt Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    if (dialog.DoModal() != IDOK)
        return;
    WriteReport(query_, inventory_, dialog.PathName(), TellUser);
}

void CMirovant9xDlg::FillTree()
{
    // The old items stay until the scan is over.
    ScanInventory(query_, inventory_);
    tree_.DeleteAllItems();
    if (inventory_.empty()) {
        tree_.InsertItem(kNoProductsText);
        return;
    }
    for (const InventoryEntry& entry : inventory_) {
        const HTREEITEM item = tree_.InsertItem(entry.title.c_str());
        // A null parent would put the lines at the top level.
        if (item != nullptr) {
            for (const std::string& line : entry.details)
                tree_.InsertItem(line.c_str(), item);
            tree_.Expand(item);
        }
        tree_.InsertItem("");
    }
}
