// The demo's icon for menus and docks: the scene in small, a snowman under the sun on
// snow, on a rounded tile of sky.
#pragma once

#include "tools/picture.h"

// The sizes `generate` writes, one hicolor theme directory each.
constexpr int kAppIconSizes[] = {48, 64, 128, 256};

// R,G,B,A, `size` pixels square, see-through outside the tile; drawn from shapes, so
// every size is sharp.
Picture makeAppIcon(int size);
