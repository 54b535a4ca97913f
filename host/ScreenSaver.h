#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "host/Form.h"

namespace host {

enum class TConfigBoxStyle { cbsMessageDlg, cbsPanel };

using TNotifyEvent = std::function<void(void* sender)>;
using TOnPreviewEvent = TNotifyEvent;
using TOnMainSaverEvent = TNotifyEvent;
using TOnConfigBoxEvent = TNotifyEvent;
using TOnPasswordSetEvent = TNotifyEvent;
using TOnBeforePreviewEvent = TNotifyEvent;
using TOnBeforeMainSaverEvent = TNotifyEvent;
using TOnBeforeConfigBoxEvent = TNotifyEvent;
using TOnBeforePasswordSetEvent = TNotifyEvent;

// Refusals of a form designer: the component needs a form as owner, and only one per form.
class TFormNotOwner : public std::runtime_error {
public:
    TFormNotOwner() : std::runtime_error("The TScreenSaver Component does not appear to be on a TForm. What are you trying to do?") {}
};

class TDuplicateComponent : public std::runtime_error {
public:
    TDuplicateComponent() : std::runtime_error("Why would you want more than 1 TScreenSaver component on a Form?") {}
};

// The screen-saver component: reads how Windows started the program and turns its owner form into
// the window of that mode; undoes its system-wide changes when it is destroyed.
class TScreenSaver {
public:
    explicit TScreenSaver(TForm& owner);
    ~TScreenSaver();
    TScreenSaver(const TScreenSaver&) = delete;
    TScreenSaver& operator=(const TScreenSaver&) = delete;

    bool AutoEnable = true;
    bool AutoMaximize = true;
    bool AutoBorderLess = true;
    bool AutoOnTop = true;
    bool AutoMouseHide = true;
    bool AutoPanelHide = true;
    bool PreviewWindow = true;
    bool MainScreenSaver = true;
    bool ConfigurationBox = true;
    TConfigBoxStyle ConfigurationBoxStyle = TConfigBoxStyle::cbsMessageDlg;
    config::Control* ConfigurationBoxPanel = nullptr;
    std::string ConfigurationBoxMessage = "Screen saver runtime.";
    bool SystemKeysDisabled = true;
    bool PasswordSetting = true;

    TOnPreviewEvent OnPreviewActive;
    TOnMainSaverEvent OnMainSaverActive;
    TOnConfigBoxEvent OnConfigBoxActive;
    TOnPasswordSetEvent OnPasswordSet;
    TOnBeforePreviewEvent OnBeforePreviewActive;
    TOnBeforeMainSaverEvent OnBeforeMainSaverActive;
    TOnBeforeConfigBoxEvent OnBeforeConfigBoxActive;
    TOnBeforePasswordSetEvent OnBeforePasswordSet;

    // The mode letter of the program's command line.
    std::string ModeLetter() const;

    void Activate();
    void DoPreview();
    void DoMainSaver();
    void DoConfigBox();
    void DoPasswordSetting();
    // True when the saver may close (no password asked for, or the right one given).
    bool VerifyPassword();
    void HookWindowProc();
    void UnhookWindowProc();
    // The form has been loaded.
    void Loaded();
    // The window the preview was made a child of; 0 when it was not.
    plat::WindowHandle PreviewParent() const { return previewParent_; }

private:
    void Fire(const TNotifyEvent& event);
    void HideApplicationWindow();
    void DisableDisplayProperties(bool disable);
    std::string SystemLibrary(const std::string& name) const;

    TForm& owner_;
    bool hooked_ = false;
    plat::WindowHandle previewParent_ = 0;
};

// Copies the Flash player control carried by a package into the system folder as "FLASH.OCX" and
// registers it. True when it was registered. An empty file name means the program's own file.
bool InstallFlashPlayer(const std::string& fileName, bool showErrors);

// Starts a command line as a new process, waits for it and returns its exit code; -1 with the
// system's message when it cannot be started.
int RunAndWait(const std::string& commandLine, int showWindow);

}  // namespace host
