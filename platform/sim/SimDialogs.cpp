#include "platform/Dialogs.h"
#include "platform/WinConst.h"
#include "platform/sim/Sim.h"

namespace plat {

int ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    auto& m = sim::M();
    m.messageBoxes.push_back({text, caption, flags, static_cast<std::uint32_t>(sim::Now())});
    if (m.messageBoxAnswers.empty()) {
        return IDOK;
    }
    const int answer = m.messageBoxAnswers.front();
    m.messageBoxAnswers.pop_front();
    return answer;
}

std::vector<std::string> ShowOpenFileDialog(const OpenFileRequest&) {
    auto& m = sim::M();
    std::vector<std::string> chosen;
    if (!m.openFileAnswers.empty()) {
        chosen = std::move(m.openFileAnswers.front());
        m.openFileAnswers.pop_front();
    }
    return chosen;
}

std::optional<std::string> ShowSaveFileDialog(const SaveFileRequest& request) {
    auto& m = sim::M();
    m.saveFileRequests.push_back(request);
    if (m.saveFileAnswers.empty()) {
        return std::nullopt;
    }
    std::string chosen = std::move(m.saveFileAnswers.front());
    m.saveFileAnswers.pop_front();
    return chosen;
}

std::optional<std::string> ShowFolderDialog(const std::string& title, const std::string& initialFolder) {
    auto& m = sim::M();
    m.folderRequests.push_back({title, initialFolder});
    if (m.folderAnswers.empty()) {
        return std::nullopt;
    }
    std::string chosen = std::move(m.folderAnswers.front());
    m.folderAnswers.pop_front();
    return chosen;
}

std::optional<gfx::TColor> ShowColorDialog(gfx::TColor initial) {
    auto& m = sim::M();
    m.colorRequests.push_back(initial);
    if (m.colorAnswers.empty()) {
        return std::nullopt;
    }
    const gfx::TColor chosen = m.colorAnswers.front();
    m.colorAnswers.pop_front();
    return chosen;
}

}  // namespace plat
