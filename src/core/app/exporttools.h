#pragma once
// The export tools: the windows that work from a configuration workbook
// exported by the network management system (修改PCI, 一键扩容, 一键减容,
// 改频点), one row each, as the generators have theirs. The main window makes
// and connects each tool's button from its row and the window flow opens the
// row's window as the row says; `brindle-cli gen NAME --export FILE` runs the
// window's steps with the row's options. Adding a tool window is one row here
// plus its core function (core/export), its window class (gui/export, made
// in gui/export/toolwindows.cpp) and its command-line run (cli/exportcommands).

#include <span>
#include <string_view>

namespace brindle {

// Where a tool's window opens: beside the main window as a modal window, or
// in its place (the main window is hidden and shown again when it closes).
enum class ToolOpens { ModalBeside, InPlace };

// An option of the tool's command: given or not, and whether an empty value
// counts as given (the window has a message of its own for an empty box) or
// not (the window would look the empty name up).
struct ToolOption {
    std::string_view option;  // "--cell1"
    std::string_view help;
    enum class Need { Optional, Given, NonEmpty };
    Need need = Need::Optional;
};

struct ExportTool {
    std::string_view name;     // command-line name
    std::string_view unit;     // the main window's button
    std::string_view caption;  // its caption, the window's title
    ToolOpens opens;
    std::string_view steps;  // the window's steps the command runs, in order
    // Whether the window's choose button titles a failed open "系统提示".
    bool titledOpen = true;
    std::span<const ToolOption> options = {};
};

std::span<const ExportTool> exportTools();
const ExportTool* findExportTool(std::string_view name);
const ExportTool* exportToolForUnit(std::string_view unit);
// The row a window class is made for; throws for a name without one.
const ExportTool& exportToolRow(std::string_view name);

}  // namespace brindle
