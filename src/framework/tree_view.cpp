#include "framework/tree_view.h"

HTREEITEM TreeView::InsertItem(const char* text, HTREEITEM parent, HTREEITEM after)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT;
    // The control copies the text; it never writes through this pointer.
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeView::DeleteAllItems()
{
    Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TreeView::Expand(HTREEITEM item, UINT action)
{
    Send(TVM_EXPAND, action, reinterpret_cast<LPARAM>(item));
}
