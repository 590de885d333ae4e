#pragma once
// Against the layers: a window reaching into a higher floor.
#include "presentation/Rendering.h"
#include "request/RequestDocument.h"
