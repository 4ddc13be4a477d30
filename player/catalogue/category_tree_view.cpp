#include "player/catalogue/category_tree_view.h"

#include <string>

#include "common/gbk_win.h"
#include "player/skin/window_skin.h"

namespace kavuno::player {

void CategoryTreeView::Build(catalogue::CategoryTree tree) {
    tree_ = std::move(tree);
    items_.assign(tree_.size(), nullptr);
    nodes_.clear();
    for (std::size_t i = 0; i < tree_.size(); ++i) {
        const catalogue::CategoryNode& node = tree_[i];
        std::wstring text = gbk::ToWide(node.text);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = node.parent == catalogue::CategoryNode::kNoParent ? TVI_ROOT : items_[node.parent];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text.data();
        HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        items_[i] = item;
        if (item) nodes_[item] = i;
    }
}

std::optional<std::size_t> CategoryTreeView::NodeAtCursor() const {
    TVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(hwnd(), &hit.pt);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!item) return std::nullopt;
    const auto found = nodes_.find(item);
    if (found == nodes_.end()) return std::nullopt;
    return found->second;
}

bool CategoryTreeView::HasChildren(std::size_t node) const {
    if (node >= items_.size() || !items_[node]) return false;
    return Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(items_[node])) != 0;
}

bool CategoryTreeView::OnNotifyReflect(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CUSTOMDRAW) return false;
    result = skin::WindowSkin::DrawTreeItem(reinterpret_cast<NMTVCUSTOMDRAW&>(header));
    return true;
}

}  // namespace kavuno::player
