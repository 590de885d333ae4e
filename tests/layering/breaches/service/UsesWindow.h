#pragma once
// Against the layers: the service using a window.
#include "request/ui/frmMain.h"
