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

}  // namespace plat
