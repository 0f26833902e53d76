#pragma once
// The blocks of the keyboard's macro area for a profile's key assignments: one macro block per
// macro key (read from the profile store), then one shortcut block per shortcut key. Any thread
// that may read the store.
#include <cstdint>
#include <vector>

#include "device/CommandBuilders.h"
#include "store/StoreRecords.h"

class ProfileStore;

// Shortcut `number` (1-15) as a block for the key: press and release pairs with 10 ms delays.
// An unknown number gives a block with the key and play count only.
MacroAreaBlock ShortcutBlock(uint8_t keyCode, int32_t number);

// Macro blocks (kind 3, macro from `store`) then shortcut blocks (kind 7), each in list order.
// Every block is returned; the area keeps the first twelve.
std::vector<MacroAreaBlock> MacroAreaBlocks(const std::vector<KeyAssignmentRecord>& assignments,
                                            ProfileStore& store);
