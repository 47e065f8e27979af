#include "formats/FormatGroups.h"

#include <algorithm>

namespace vt {

QList<FormatGroup> formatGroups(int formatCount)
{
    // Book-style DVD cases; jewel and mini-CD cases; VHS; round labels; Blu-ray;
    // game-console boxes; the slim cases added later.
    static constexpr FormatGroup Shipped[] = {{0, 2}, {3, 8}, {9, 9}, {10, 14}, {15, 15}, {16, 18}, {19, 21}};
    QList<FormatGroup> groups;
    for (const FormatGroup &g : Shipped) {
        if (g.first >= formatCount)
            break;
        groups.append({g.first, std::min(g.last, formatCount - 1)});
    }
    if (formatCount > 22)
        groups.append({22, formatCount - 1});
    return groups;
}

} // namespace vt
