#pragma once
// The window class of each export tool row (core/app/exporttools.h).

#include "core/app/exporttools.h"
#include "core/app/session.h"
#include "gui/export/exportwindow.h"

namespace brindle::gui {

// A new window of the tool's row; null for a row without a window class.
ExportWindow* makeToolWindow(const ExportTool& tool, Session& session);

}  // namespace brindle::gui
