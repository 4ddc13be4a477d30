// The category tree (IDC_CATEGORY_TREE): the nodes of root.dat's tree model shown
// as tree items, text only. The model keeps each node's GBK text, so a clicked
// leaf is compared with the records' kind byte for byte, whatever the text
// became on its way to the screen. The tree draws its selection in the skin's
// colours (custom draw).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/control.h"
#include "player/catalogue/category_tree.h"

namespace kavuno::player {

class CategoryTreeView : public ui::Control {
public:
    // Appends every node of `tree` as the last child of its parent, in order.
    void Build(catalogue::CategoryTree tree);

    // The node under the mouse cursor's current position, if any.
    std::optional<std::size_t> NodeAtCursor() const;
    // True when the node's item has child items.
    bool HasChildren(std::size_t node) const;
    std::string_view Text(std::size_t node) const { return tree_[node].text; }

    bool OnNotifyReflect(NMHDR& header, LRESULT& result) override;

private:
    catalogue::CategoryTree tree_;
    std::vector<HTREEITEM> items_;                      // by node
    std::unordered_map<HTREEITEM, std::size_t> nodes_;  // by item
};

}  // namespace kavuno::player
