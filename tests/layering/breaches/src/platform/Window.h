#pragma once
// Against the layers: a widget outside a ui/ part.
#include <QWidget>
