// SPDX-License-Identifier: GPL-2.0-or-later
// Adaptive palette by octree colour quantisation (Gervautz-Purgathofer). Every colour descends
// eight levels, one bit of red, green and blue per level; the leaves gather pixel counts and
// colour sums. Whenever there are more leaves than allowed, the most recently created inner
// node of the deepest level that has any is folded into a leaf holding its children's sums.
#include "core/Quantize.h"

#include "core/ReadAs24.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kDepth = 8;

class TOctree {
public:
    explicit TOctree(int maxColors) : m_maxLeaves(maxColors) {
        m_reducible.fill(kNone);
        m_root = NewNode(0);
    }

    void Add(uint8_t r, uint8_t g, uint8_t b) {
        const uint32_t colour = (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
        if (m_lastLeaf == kNone || colour != m_lastColour) {
            m_lastLeaf = FindOrGrowLeaf(r, g, b);
            m_lastColour = colour;
        }
        TNode& leaf = m_nodes[size_t(m_lastLeaf)];
        leaf.sum[0] += r;
        leaf.sum[1] += g;
        leaf.sum[2] += b;
        ++leaf.count;
        while (m_leaves > m_maxLeaves && Reduce()) {
        }
    }

    TPalette Palette() const {
        TPalette palette;
        CollectLeaves(m_root, palette);
        return palette;
    }

private:
    static constexpr int32_t kNone = -1;

    struct TNode {
        std::array<uint64_t, 3> sum{}; // red, green, blue
        uint64_t count = 0;
        std::array<int32_t, 8> child{kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone};
        int32_t nextReducible = kNone;
        bool leaf = false;
    };

    int32_t NewNode(int level) {
        int32_t id;
        if (!m_free.empty()) {
            id = m_free.back();
            m_free.pop_back();
            m_nodes[size_t(id)] = TNode{};
        } else {
            id = int32_t(m_nodes.size());
            m_nodes.emplace_back();
        }
        TNode& node = m_nodes[size_t(id)];
        if (level == kDepth) {
            node.leaf = true;
            ++m_leaves;
        } else {
            node.nextReducible = m_reducible[size_t(level)];
            m_reducible[size_t(level)] = id;
        }
        return id;
    }

    int32_t FindOrGrowLeaf(uint8_t r, uint8_t g, uint8_t b) {
        int32_t id = m_root;
        for (int level = 0; !m_nodes[size_t(id)].leaf; ++level) {
            const int shift = 7 - level;
            const size_t i =
                size_t((((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1));
            int32_t next = m_nodes[size_t(id)].child[i];
            if (next == kNone) {
                next = NewNode(level + 1); // may move the nodes: index again afterwards
                m_nodes[size_t(id)].child[i] = next;
            }
            id = next;
        }
        return id;
    }

    // Folds one inner node into a leaf; false when nothing is left to fold.
    bool Reduce() {
        int level = kDepth - 1;
        while (level >= 0 && m_reducible[size_t(level)] == kNone)
            --level;
        if (level < 0) return false;
        const int32_t id = m_reducible[size_t(level)];
        TNode& node = m_nodes[size_t(id)];
        m_reducible[size_t(level)] = node.nextReducible;
        // No deeper level has inner nodes, so every child is a leaf.
        for (int32_t& c : node.child) {
            if (c == kNone) continue;
            const TNode& child = m_nodes[size_t(c)];
            for (size_t k = 0; k < 3; ++k)
                node.sum[k] += child.sum[k];
            node.count += child.count;
            m_free.push_back(c);
            --m_leaves;
            c = kNone;
        }
        node.leaf = true;
        ++m_leaves;
        m_lastLeaf = kNone; // it may have been one of the folded children
        return true;
    }

    void CollectLeaves(int32_t id, TPalette& palette) const {
        const TNode& node = m_nodes[size_t(id)];
        if (node.leaf) {
            if (node.count == 0) return;
            auto mean = [&node](size_t k) {
                return uint8_t((node.sum[k] + node.count / 2) / node.count);
            };
            palette.push_back(TTriple{mean(2), mean(1), mean(0)});
            return;
        }
        for (int32_t c : node.child)
            if (c != kNone) CollectLeaves(c, palette);
    }

    int m_maxLeaves;
    int m_leaves = 0;
    int32_t m_root = kNone;
    std::vector<TNode> m_nodes;
    std::vector<int32_t> m_free;
    std::array<int32_t, kDepth> m_reducible{}; // most recent inner node of each level first
    int32_t m_lastLeaf = kNone;
    uint32_t m_lastColour = 0;
};

} // namespace

TPalette BuildOctreePalette(const TBitmap& image, int maxColors) {
    TBitmap converted;
    const TBitmap& img = ReadAs24(image, converted);
    if (img.Empty()) return {};
    TOctree tree(std::clamp(maxColors, 1, 256));
    for (int y = 0; y < img.Height(); ++y) {
        const uint8_t* p = img.ScanLine(y);
        for (int x = 0; x < img.Width(); ++x, p += 3)
            tree.Add(p[2], p[1], p[0]);
    }
    return tree.Palette();
}

TIndexedImage QuantizeImage(const TBitmap& image, int maxColors) {
    return MapToPalette(image, BuildOctreePalette(image, maxColors), true);
}
