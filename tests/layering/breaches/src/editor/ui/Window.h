#pragma once
// Against the layers: a window reaching into a higher floor.
#include "request/RequestDocument.h"
#include "presentation/Rendering.h"
