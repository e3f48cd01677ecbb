// Label: a line of text at a fixed place of the window, as the window host draws it.
#pragma once

#include "ui/WindowContent.h"

namespace zol::ui {

using Label = WindowLabel;

}  // namespace zol::ui
