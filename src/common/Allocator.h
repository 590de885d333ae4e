#pragma once

namespace zorva {

// A response of thousands of rows is a tree of hundreds of thousands of small nodes. glibc keeps
// small freed blocks unmerged in "fast bins" and merges all of them at once on the next large
// free; after a response tree is given up that single pass took tens of milliseconds (at every new
// response and at the end of the headless recompute). Without fast bins small blocks are merged as
// they are freed. Call once at start, before the first allocation that matters.
void tuneAllocatorForDocumentTrees();

}  // namespace zorva
