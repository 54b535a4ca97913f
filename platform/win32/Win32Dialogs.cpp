#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/win32/Com.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

// Room for the dialog's answer to begin with; a long selection of long names needs more.
constexpr std::size_t kFirstRoom = 64 * 1024;
// Asking again after the system said the room was too small; once is what it takes.
constexpr int kAttempts = 2;

// An upper bound of the room the current selection's answer takes: the folder, then each name
// with its zero byte. The file name box quotes and separates the names, which takes more than
// that; both counts are of characters, and a character of the code page may take two bytes.
std::size_t RoomFor(HWND dialog) {
    const auto folder = ::SendMessageA(dialog, CDM_GETFOLDERPATH, 0, 0);
    const auto names = ::SendMessageA(dialog, CDM_GETSPEC, 0, 0);
    return 2 * static_cast<std::size_t>(std::max<LRESULT>(folder, 0) + std::max<LRESULT>(names, 0)) + 2;
}

// The dialog writes its answer into the caller's buffer, which fails (or is cut short) when the
// buffer is too small. So the hook grows the buffer as the selection grows, and checks it once
// more when the dialog is about to close: if the answer was written into too little room, it
// refuses that close and presses Open again, now with room enough.
UINT_PTR CALLBACK GrowAnswerRoom(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) {
        return 0;
    }
    const auto* note = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (note->hdr.code != CDN_SELCHANGE && note->hdr.code != CDN_FILEOK) {
        return 0;
    }
    OPENFILENAMEA* ofn = note->lpOFN;
    HWND dialog = ::GetParent(hook);
    const std::size_t needed = RoomFor(dialog);
    if (ofn == nullptr || needed <= ofn->nMaxFile) {
        return 0;
    }
    auto* room = reinterpret_cast<std::vector<char>*>(ofn->lCustData);
    room->assign(needed, '\0');
    ofn->lpstrFile = room->data();
    ofn->nMaxFile = static_cast<DWORD>(room->size());
    if (note->hdr.code != CDN_FILEOK) {
        return 0;
    }
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
    return 1;
}

// One file: its full path. Several: the folder, then each name, each ending in a zero byte, and
// one more zero byte. Nothing past the buffer's end is read, and a name the room cut off is not
// taken.
std::vector<std::string> Answer(const char* buffer, std::size_t size) {
    std::vector<std::string> parts;
    const std::string_view all(buffer, size);
    for (std::size_t at = 0; at < all.size() && all[at] != '\0';) {
        const std::size_t end = all.find('\0', at);
        if (end == std::string_view::npos) {
            break;
        }
        parts.emplace_back(all.substr(at, end - at));
        at = end + 1;
    }
    if (parts.size() <= 1) {
        return parts;
    }
    std::vector<std::string> files;
    std::string folder = parts[0];
    if (folder.back() != '\\') {
        folder += '\\';
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        files.push_back(folder + parts[i]);
    }
    return files;
}

// The filter's '|' separators become the zero bytes the dialog expects.
std::string FilterOf(const std::string& filter) {
    std::string out = filter + "||";
    std::replace(out.begin(), out.end(), '|', '\0');
    return out;
}

// The folder picker's chosen folder as a file system path.
std::optional<std::string> PickedFolder(IFileOpenDialog& dialog) {
    win32::ComPtr<IShellItem> item;
    if (FAILED(dialog.GetResult(item.Put())) || !item) {
        return std::nullopt;
    }
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
        return std::nullopt;
    }
    const win32::TaskMem<wchar_t> owned(path);
    return win32::Narrow(owned.get());
}

}  // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    return ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

std::vector<std::string> ShowOpenFileDialog(const OpenFileRequest& request) {
    const std::string filter = FilterOf(request.filter);
    std::vector<char> room(kFirstRoom, '\0');
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = ::GetActiveWindow();
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrFile = room.data();
        ofn.nMaxFile = static_cast<DWORD>(room.size());
        ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
        ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
        // A hooked dialog is resizable only when asked.
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING |
                    OFN_ENABLEHOOK | (request.multiSelect ? OFN_ALLOWMULTISELECT : 0);
        ofn.lpfnHook = GrowAnswerRoom;
        ofn.lCustData = reinterpret_cast<LPARAM>(&room);
        if (::GetOpenFileNameA(&ofn)) {
            return Answer(ofn.lpstrFile, ofn.nMaxFile);
        }
        if (::CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) {
            return {};  // cancelled
        }
        // The room the answer needs is in the first two bytes, in characters; counted in 16 bits,
        // it can be less than the truth.
        const std::size_t told = static_cast<unsigned char>(room[0]) | (static_cast<unsigned char>(room[1]) << 8);
        room.assign(std::max(2 * told, 2 * room.size()), '\0');
    }
    return {};
}

std::optional<std::string> ShowSaveFileDialog(const SaveFileRequest& request) {
    const std::string filter = FilterOf(request.filter);
    std::vector<char> name(MAX_PATH * 4, '\0');
    std::copy_n(request.fileName.begin(), std::min(request.fileName.size(), name.size() - 1), name.begin());
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ::GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetSaveFileNameA(&ofn)) {
        return std::nullopt;  // cancelled
    }
    return std::string(name.data());
}

std::optional<std::string> ShowFolderDialog(const std::string& title, const std::string& initialFolder) {
    // The picker is a COM object of the shell; the thread may not have COM yet.
    const win32::ComApartment com;
    win32::ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  dialog.PutVoid())) ||
        !dialog) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    if (!title.empty()) {
        dialog->SetTitle(win32::Widen(title).c_str());
    }
    if (!initialFolder.empty()) {
        win32::ComPtr<IShellItem> folder;
        if (SUCCEEDED(::SHCreateItemFromParsingName(win32::Widen(initialFolder).c_str(), nullptr, IID_IShellItem,
                                                    folder.PutVoid())) &&
            folder) {
            dialog->SetFolder(folder.Get());
        }
    }
    if (FAILED(dialog->Show(::GetActiveWindow()))) {
        return std::nullopt;  // cancelled
    }
    return PickedFolder(*dialog.Get());
}

std::optional<gfx::TColor> ShowColorDialog(gfx::TColor initial) {
    // The custom colours the user mixed stay for the next time, while the program runs.
    static std::array<COLORREF, 16> custom = [] {
        std::array<COLORREF, 16> white{};
        white.fill(RGB(255, 255, 255));
        return white;
    }();
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = ::GetActiveWindow();
    choose.rgbResult = win32::ToColorRef(initial);
    choose.lpCustColors = custom.data();
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!::ChooseColorA(&choose)) {
        return std::nullopt;  // cancelled
    }
    return static_cast<gfx::TColor>(choose.rgbResult & 0x00FFFFFFu);
}

}  // namespace plat
