#pragma once

namespace morvane {

// A run over many objects frees and takes back the same few megabytes for
// every file. By default the C library hands freed memory back to the
// system and takes it again page by page; this keeps it for the next file.
// Called once, first thing in main.
void keepFreedMemoryForReuse();

} // namespace morvane
