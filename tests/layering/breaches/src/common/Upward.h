#pragma once
// Against the layers: the lowest floor reaching up.
#include "platform/XmlDocument.h"
