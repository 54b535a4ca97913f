#pragma once

#include "config/ConfigPanel.h"
#include "package/Settings.h"

namespace config {

// Puts the settings into the panel's controls; the dual-monitor group shows only on systems with
// more than one monitor.
void ApplySettingsToPanel(const pkg::SaverSettings& settings, ConfigPanel& panel, int monitorCount);

// The settings as the panel's controls show them, for writing when the window closes.
pkg::SaverSettings SettingsFromPanel(const ConfigPanel& panel);

// The effect selection of the list's check marks, and the check marks of a selection.
std::string SelectionFromChecks(const std::vector<bool>& checks);
void ChecksFromSelection(const std::string& selection, std::vector<bool>& checks);

}  // namespace config
