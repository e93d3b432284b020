// The steps of the execution walk: each carries out one record, or names the
// copies waiting in the batch. Each leaves the record done or counts a failure.
#pragma once

#include "apply/walk_state.h"

namespace dd {

// Deletes the file (file phase) or the empty folder (folder phase) a deletion record names.
void DeleteItem(WalkState& walk, const Item& item, bool folderPhase);
// Renames the item where one side has it at its old place to where the other side has it.
void MoveItem(WalkState& walk, const Item& item);
// Makes a folder, copies a link, or writes a file's copy into the batch.
void CopyItem(WalkState& walk, const Item& item);
// Flushes the waiting copies' file systems, then gives each copy its name.
void FlushCopyBatch(WalkState& walk);
// Counts a copy that was carried out and reports it.
void CountCopy(WalkState& walk, const CopyJob& copy);

}  // namespace dd
