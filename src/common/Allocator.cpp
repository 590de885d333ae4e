#include "common/Allocator.h"

#include <cstdlib>  // defines __GLIBC__ with the C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zorva {

void tuneAllocatorForDocumentTrees()
{
#if defined(__GLIBC__)
    mallopt(M_MXFAST, 0);
#endif
}

}  // namespace zorva
