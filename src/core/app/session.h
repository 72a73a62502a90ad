#pragma once
// The process-wide state every window and generator shares: the program
// folder, the chosen libraries, the 2G settings and the direct-output
// buffers of the 4G page.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/app/layout.h"
#include "core/freqplan/settings2g.h"
#include "core/library/library.h"

namespace brindle {

// The direct-output buffers of the 4G page: lines of runs in 直出脚本 mode
// waiting for a save. The general one takes neighbours, external cells and
// carrier removal; the carrier one takes carrier addition.
enum class OutputBuffer { None, General, Carrier };

struct Session {
    explicit Session(std::filesystem::path programFolder) : folder{std::move(programFolder)} {}

    const ProgramFolder folder;

    // Paths chosen in the start window; empty until chosen. They survive the
    // start window's closing and are never cleared by a deletion.
    std::filesystem::path current4G;
    std::filesystem::path current2G;
    std::filesystem::path lastImported;

    // Opened by "小区操作"; they stay open until the program ends.
    std::shared_ptr<Library> library4G;
    std::shared_ptr<Library> library2G;

    // The five values of mu/2G.ini as last loaded (tab change, reloading
    // generators, the inheritance and reduction windows).
    Settings2G settings2G;
    void reload2GSettings() { loadSettings2G(folder.ini2G(), settings2G); }

    // The files the program works from, a save must never replace one: the
    // 4G and 2G libraries, EARFCN.ini and 2G.ini, in this order.
    std::vector<std::filesystem::path> filesInUse() const {
        return {current4G, current2G, folder.earfcnIni(), folder.ini2G()};
    }

    // The buffer's text; null for OutputBuffer::None. Buffers live as long
    // as the session and are emptied only by a successful save.
    std::string* buffer(OutputBuffer which) {
        switch (which) {
            case OutputBuffer::General:
                return &generalBuffer_;
            case OutputBuffer::Carrier:
                return &carrierBuffer_;
            case OutputBuffer::None:
                break;
        }
        return nullptr;
    }

private:
    std::string generalBuffer_;
    std::string carrierBuffer_;
};

}  // namespace brindle
