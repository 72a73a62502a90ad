#include "gui/export/toolwindows.h"

#include <string_view>
#include <utility>

#include "gui/export/freqchangewindow.h"
#include "gui/export/inheritancewindow.h"
#include "gui/export/pcichangewindow.h"
#include "gui/export/reductionwindow.h"

namespace brindle::gui {

namespace {

template <class Window>
ExportWindow* make(Session& session) {
    return new Window(session);
}

// One entry per row of the export-tool table, by its name.
const std::pair<std::string_view, ExportWindow* (*)(Session&)> kToolWindows[] = {
    {"pci-change", make<PciChangeWindow>},
    {"inherit", make<InheritanceWindow>},
    {"reduce", make<ReductionWindow>},
    {"freq-change", make<FrequencyChangeWindow>},
};

}  // namespace

ExportWindow* makeToolWindow(const ExportTool& tool, Session& session) {
    for (const auto& [name, window] : kToolWindows)
        if (name == tool.name) return window(session);
    return nullptr;
}

}  // namespace brindle::gui
