// Drives the program's windows from another process, as a user would, for the end-to-end tests.
// Controls are found by the names the program gives them (a window property holding a global atom).
//
//   ui_driver dump TITLE                 every named control of the window: JSON, one object a line
//   ui_driver focus TITLE                the name of the control with the keyboard focus
//   ui_driver click TITLE NAME           the pointer onto the middle of the control, and a left click
//   ui_driver tab TITLE NAME CAPTION     a click on the page control's tab of that caption
//   ui_driver type TITLE NAME TEXT       the control's text replaced, as if typed
//   ui_driver slide TITLE NAME VALUE     arrow keys on a track bar until it shows the value
//   ui_driver line TITLE NAME INDEX [box] a click on a list's line (on its check box with "box")
//   ui_driver select TITLE NAME INDEX    a drop-down list's or picture list's line picked
//   ui_driver drop TITLE NAME FILE...    files dropped on the control, as from the shell
//   ui_driver open FOLDER FILE...        answers the open-file dialog with files of one folder
//   ui_driver open-all FOLDER            answers the open-file dialog with every file of a folder
//   ui_driver save FILE                  answers the save-file dialog with a full path
//   ui_driver folder FOLDER              answers the folder picker with a folder
//   ui_driver color RED GREEN BLUE       answers the colour dialog with a colour
//   ui_driver tree TITLE                 the window's child windows as they are stacked
//   ui_driver windows                    the visible top-level windows' titles and places

#include <windows.h>
#include <colordlg.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char kNameProperty[] = "SaverControlName";

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string TextOf(HWND hwnd) {
    char text[1024] = {};
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                          nullptr);
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[128] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string NameOf(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(::GetPropA(hwnd, kNameProperty)));
    char name[256] = {};
    if (atom == 0 || ::GlobalGetAtomNameA(atom, name, sizeof name) == 0) {
        return {};
    }
    return name;
}

HWND TopWindow(const std::string& title) {
    HWND found = ::FindWindowExA(nullptr, nullptr, nullptr, title.c_str());
    for (HWND w = found; w != nullptr; w = ::FindWindowExA(nullptr, w, nullptr, title.c_str())) {
        if (::IsWindowVisible(w)) {
            return w;
        }
    }
    return found;
}

struct Named {
    HWND hwnd;
    std::string name;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM data) {
    const std::string name = NameOf(hwnd);
    if (!name.empty()) {
        reinterpret_cast<std::vector<Named>*>(data)->push_back({hwnd, name});
    }
    return TRUE;
}

std::vector<Named> Controls(HWND top) {
    std::vector<Named> all;
    ::EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND Control(HWND top, const std::string& name) {
    for (const Named& n : Controls(top)) {
        if (n.name == name) {
            return n.hwnd;
        }
    }
    std::fprintf(stderr, "no control %s\n", name.c_str());
    std::exit(2);
}

RECT PlaceIn(HWND top, HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Memory in the program's process: messages that take pointers are not carried across processes.
class Remote {
public:
    Remote(HWND window, std::size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        memory_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~Remote() {
        ::VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        ::CloseHandle(process_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    LPARAM Address(std::size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(memory_) + offset);
    }
    void Write(const void* data, std::size_t size, std::size_t offset = 0) {
        ::WriteProcessMemory(process_, static_cast<char*>(memory_) + offset, data, size, nullptr);
    }
    void Read(void* data, std::size_t size, std::size_t offset = 0) const {
        ::ReadProcessMemory(process_, static_cast<char*>(memory_) + offset, data, size, nullptr);
    }
    std::string Text(std::size_t offset = 0) const {
        std::vector<char> text(size_ - offset + 1, '\0');
        Read(text.data(), size_ - offset, offset);
        return text.data();
    }

private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
    std::size_t size_;
};

constexpr std::size_t kTextRoom = 1024;

// The system carries a list's text across processes itself, in its wide form.
std::string Line(HWND list, int index) {
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    std::string text(wide.size() * 3, '\0');
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), static_cast<int>(text.size()),
                                        nullptr, nullptr);
    text.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
    return text;
}

RECT LineRect(HWND list, int index) {
    RECT r{};
    ::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

std::string Lines(HWND list) {
    std::string out = "[";
    const auto count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        out += (i > 0 ? "," : "") + Json(Line(list, i));
    }
    return out + "]";
}

// A check list keeps each line's mark as the line's item data.
std::string Checks(HWND list) {
    std::string out = "[";
    const auto count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        out += std::string(i > 0 ? "," : "") + (::SendMessageA(list, LB_GETITEMDATA, i, 0) != 0 ? "true" : "false");
    }
    return out + "]";
}

std::string TabCaption(HWND tabs, int index) {
    Remote remote(tabs, sizeof(TCITEMA) + kTextRoom);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<LPSTR>(remote.Address(sizeof item));
    item.cchTextMax = static_cast<int>(kTextRoom);
    remote.Write(&item, sizeof item);
    remote.Write("", 1, sizeof item);
    ::SendMessageA(tabs, TCM_GETITEMA, index, remote.Address());
    return remote.Text(sizeof item);
}

RECT TabRect(HWND tabs, int index) {
    Remote remote(tabs, sizeof(RECT));
    RECT r{};
    ::SendMessageA(tabs, TCM_GETITEMRECT, index, remote.Address());
    remote.Read(&r, sizeof r);
    return r;
}

// The hints of the window's controls: the texts of the tools of its tooltips, by tool window.
std::map<HWND, std::string> Hints(HWND top) {
    std::map<HWND, std::string> hints;
    for (HWND tips = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tips != nullptr;
         tips = ::FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr)) {
        if (::GetWindow(tips, GW_OWNER) != top) {
            continue;
        }
        Remote remote(tips, sizeof(TTTOOLINFOA) + kTextRoom);
        const auto count = static_cast<int>(::SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TTTOOLINFOA tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = reinterpret_cast<LPSTR>(remote.Address(sizeof tool));
            remote.Write(&tool, sizeof tool);
            remote.Write("", 1, sizeof tool);
            if (::SendMessageA(tips, TTM_ENUMTOOLSA, i, remote.Address())) {
                remote.Read(&tool, sizeof tool);
                if ((tool.uFlags & TTF_IDISHWND) != 0) {
                    hints[reinterpret_cast<HWND>(tool.uId)] = remote.Text(sizeof tool);
                }
            }
        }
    }
    return hints;
}

// A drop-down list's lines; the system carries their text across processes.
std::string ComboLines(HWND combo) {
    std::string out = "[";
    const auto count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring wide(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::string text(wide.size() * 3, '\0');
        const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), static_cast<int>(text.size()),
                                            nullptr, nullptr);
        text.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
        out += (i > 0 ? "," : "") + Json(text);
    }
    return out + "]";
}

// A list view line: its text and its picture's index in the image list (negative: none).
struct ViewLine {
    std::string text;
    int image = -1;
};

ViewLine ViewLineOf(HWND view, int index) {
    Remote remote(view, sizeof(LVITEMA) + kTextRoom);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = reinterpret_cast<LPSTR>(remote.Address(sizeof item));
    item.cchTextMax = static_cast<int>(kTextRoom);
    remote.Write(&item, sizeof item);
    remote.Write("", 1, sizeof item);
    ::SendMessageA(view, LVM_GETITEMA, 0, remote.Address());
    remote.Read(&item, sizeof item);
    return {remote.Text(sizeof item), item.iImage};
}

// A picture list's lines, its selected line and how many of its lines have a picture.
std::string ViewLines(HWND view) {
    std::string items = "[";
    int pictures = 0;
    const auto count = static_cast<int>(::SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const ViewLine line = ViewLineOf(view, i);
        items += (i > 0 ? "," : "") + Json(line.text);
        pictures += line.image >= 0 ? 1 : 0;
    }
    const auto selected = ::SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return ", \"items\": " + items + "], \"itemIndex\": " + std::to_string(selected) +
           ", \"pictures\": " + std::to_string(pictures);
}

std::string Tabs(HWND tabs) {
    std::string out = "[";
    const auto count = static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        out += (i > 0 ? "," : "") + Json(TabCaption(tabs, i));
    }
    return out + "]";
}

int Dump(HWND top) {
    RECT client{};
    ::GetClientRect(top, &client);
    std::printf("{\"name\": \"\", \"caption\": %s, \"client\": [%ld, %ld]}\n", Json(TextOf(top)).c_str(), client.right,
                client.bottom);
    const std::map<HWND, std::string> hints = Hints(top);
    for (const Named& n : Controls(top)) {
        const RECT r = PlaceIn(top, n.hwnd);
        const std::string cls = ClassOf(n.hwnd);
        std::string extra;
        if (const auto hint = hints.find(n.hwnd); hint != hints.end()) {
            extra += ", \"hint\": " + Json(hint->second);
        }
        if (cls == "Button") {
            extra += ", \"checked\": " +
                     std::string(::SendMessageA(n.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? "true" : "false");
        } else if (cls == "Edit") {
            if (HWND arrows = ::GetWindow(n.hwnd, GW_HWNDNEXT); arrows != nullptr && ClassOf(arrows) == UPDOWN_CLASSA) {
                extra += ", \"value\": " + std::to_string(::SendMessageA(arrows, UDM_GETPOS32, 0, 0));
            }
        } else if (cls == TRACKBAR_CLASSA) {
            extra += ", \"value\": " + std::to_string(::SendMessageA(n.hwnd, TBM_GETPOS, 0, 0));
        } else if (cls == "ListBox") {
            extra += ", \"items\": " + Lines(n.hwnd) +
                     ", \"itemIndex\": " + std::to_string(::SendMessageA(n.hwnd, LB_GETCURSEL, 0, 0));
            if (::GetWindowLongA(n.hwnd, GWL_STYLE) & LBS_OWNERDRAWFIXED) {
                extra += ", \"checks\": " + Checks(n.hwnd);
            }
        } else if (cls == WC_COMBOBOXA) {
            extra += ", \"items\": " + ComboLines(n.hwnd) +
                     ", \"itemIndex\": " + std::to_string(::SendMessageA(n.hwnd, CB_GETCURSEL, 0, 0));
        } else if (cls == WC_LISTVIEWA) {
            extra += ViewLines(n.hwnd);
        } else if (cls == PROGRESS_CLASSA) {
            extra += ", \"value\": " + std::to_string(::SendMessageA(n.hwnd, PBM_GETPOS, 0, 0)) +
                     ", \"maximum\": " + std::to_string(::SendMessageA(n.hwnd, PBM_GETRANGE, FALSE, 0));
        } else if (cls == WC_TABCONTROLA) {
            extra += ", \"tabs\": " + Tabs(n.hwnd) +
                     ", \"itemIndex\": " + std::to_string(::SendMessageA(n.hwnd, TCM_GETCURSEL, 0, 0));
        }
        std::printf("{\"name\": %s, \"class\": %s, \"caption\": %s, \"rect\": [%ld, %ld, %ld, %ld], \"visible\": %s, "
                    "\"enabled\": %s%s}\n",
                    Json(n.name).c_str(), Json(cls).c_str(), Json(TextOf(n.hwnd)).c_str(), r.left, r.top,
                    r.right - r.left, r.bottom - r.top, ::IsWindowVisible(n.hwnd) ? "true" : "false",
                    ::IsWindowEnabled(n.hwnd) ? "true" : "false", extra.c_str());
    }
    return 0;
}

int Focus(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(top, nullptr), &info);
    for (HWND h = info.hwndFocus; h != nullptr; h = ::GetParent(h)) {
        if (const std::string name = NameOf(h); !name.empty()) {
            std::printf("%s\n", name.c_str());
            return 0;
        }
    }
    std::printf("\n");
    std::fprintf(stderr, "focus %p (%s) active %p\n", static_cast<void*>(info.hwndFocus), ClassOf(info.hwndFocus).c_str(),
                 static_cast<void*>(info.hwndActive));
    return 0;
}

// The pointer goes there first, as a user's hand takes it, so that what the program asks of the
// pointer's place agrees with the click.
void ClickAt(HWND hwnd, int x, int y) {
    POINT screen{x, y};
    ::ClientToScreen(hwnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(x, y);
    ::PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

int Click(HWND control) {
    RECT r{};
    ::GetClientRect(control, &r);
    ClickAt(control, r.right / 2, r.bottom / 2);
    return 0;
}

int Tab(HWND tabs, const std::string& caption) {
    const auto count = static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (TabCaption(tabs, i) == caption) {
            const RECT r = TabRect(tabs, i);
            ClickAt(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            return 0;
        }
    }
    std::fprintf(stderr, "no tab %s\n", caption.c_str());
    return 2;
}

int Type(HWND edit, const std::string& text) {
    ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

int Slide(HWND bar, int value) {
    for (int step = 0; step < 100; ++step) {
        const auto now = static_cast<int>(::SendMessageA(bar, TBM_GETPOS, 0, 0));
        if (now == value) {
            return 0;
        }
        const WPARAM key = now < value ? VK_RIGHT : VK_LEFT;
        ::SendMessageA(bar, WM_KEYDOWN, key, 0);
        ::SendMessageA(bar, WM_KEYUP, key, 0);
    }
    return 2;
}

int ClickLine(HWND list, int index, bool box) {
    if (index < 0 || index >= static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0))) {
        return 2;
    }
    // The line into view first, as a user would scroll to it.
    ::SendMessageA(list, LB_SETTOPINDEX, index, 0);
    const RECT r = LineRect(list, index);
    ClickAt(list, box ? r.left + 8 : (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

// A drop-down list's line as the user's pick: made current, and the list tells its parent so.
int SelectComboLine(HWND combo, int index) {
    if (index < 0 || index >= static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0))) {
        return 2;
    }
    ::SendMessageA(combo, CB_SETCURSEL, index, 0);
    ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return 0;
}

// A click on a list view's line, scrolled into view first.
int SelectViewLine(HWND view, int index) {
    if (index < 0 || index >= static_cast<int>(::SendMessageA(view, LVM_GETITEMCOUNT, 0, 0))) {
        return 2;
    }
    ::SendMessageA(view, LVM_ENSUREVISIBLE, index, FALSE);
    Remote remote(view, sizeof(RECT));
    RECT r{};
    r.left = LVIR_LABEL;
    remote.Write(&r, sizeof r);
    ::SendMessageA(view, LVM_GETITEMRECT, index, remote.Address());
    remote.Read(&r, sizeof r);
    ClickAt(view, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

int Select(HWND control, int index) {
    const std::string cls = ClassOf(control);
    if (!::IsWindowEnabled(control)) {
        std::fprintf(stderr, "the %s is disabled: no user could pick a line\n", cls.c_str());
        return 2;
    }
    if (cls == WC_COMBOBOXA) {
        return SelectComboLine(control, index);
    }
    if (cls == WC_LISTVIEWA) {
        return SelectViewLine(control, index);
    }
    std::fprintf(stderr, "%s has no lines to select\n", cls.c_str());
    return 2;
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    if (ClassOf(child) == "Edit") {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindList(HWND child, LPARAM found) {
    if (ClassOf(child) == "SysListView32") {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The system's open-file dialog (or its save-file dialog, folder picker or colour dialog), once it
// is on screen, and its file name box: an edit inside the combo box of newer dialogs, a plain edit
// in older ones, the first edit of the others.
struct OpenDialog {
    HWND dialog = nullptr;
    HWND name = nullptr;

    // The box takes the text, and Open is pressed.
    void Enter(const std::string& text) const {
        ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        PressOpen();
    }
    void PressOpen() const {
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        ::Sleep(500);
    }
};

// The first edit box that shows, at any depth.
BOOL CALLBACK FindShownEdit(HWND child, LPARAM found) {
    if (ClassOf(child) == "Edit" && ::IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

bool FindOpenDialog(OpenDialog& found) {
    for (int wait = 0; wait < 100 && found.dialog == nullptr; ++wait) {
        for (HWND w = ::FindWindowA("#32770", nullptr); w != nullptr; w = ::FindWindowExA(nullptr, w, "#32770", nullptr)) {
            if (::IsWindowVisible(w)) {
                found.dialog = w;
                break;
            }
        }
        ::Sleep(100);
    }
    if (found.dialog == nullptr) {
        std::fprintf(stderr, "no dialog of the system on screen\n");
        return false;
    }
    found.name = ::GetDlgItem(found.dialog, 0x47C);
    if (found.name != nullptr) {
        HWND edit = nullptr;
        ::EnumChildWindows(found.name, FindEdit, reinterpret_cast<LPARAM>(&edit));
        found.name = edit;
    } else {
        found.name = ::GetDlgItem(found.dialog, 0x480);
    }
    if (found.name == nullptr) {
        // The folder picker's dialog of its own has a plain name box of another number.
        ::EnumChildWindows(found.dialog, FindShownEdit, reinterpret_cast<LPARAM>(&found.name));
    }
    if (found.name == nullptr) {
        std::fprintf(stderr, "no file name box\n");
        return false;
    }
    return true;
}

// Answers the open-file dialog: its file name box takes the folder (and goes there), then the
// quoted names.
int Open(const std::string& folder, const std::vector<std::string>& files) {
    OpenDialog open;
    if (!FindOpenDialog(open)) {
        return 2;
    }
    open.Enter(folder);
    std::string names;
    for (const std::string& f : files) {
        names += (names.empty() ? "\"" : " \"") + f + "\"";
    }
    open.Enter(names);
    return 0;
}

// Answers the open-file dialog with every file of a folder: the folder is entered, every line of
// the dialog's file list is selected, as with Ctrl+A, and Open is pressed. A selection too long
// for any command line is made so.
int OpenAll(const std::string& folder) {
    OpenDialog open;
    if (!FindOpenDialog(open)) {
        return 2;
    }
    open.Enter(folder);
    HWND list = nullptr;
    ::EnumChildWindows(open.dialog, FindList, reinterpret_cast<LPARAM>(&list));
    if (list == nullptr) {
        std::fprintf(stderr, "no file list\n");
        return 2;
    }
    Remote remote(list, sizeof(LVITEMA));
    LVITEMA all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    remote.Write(&all, sizeof all);
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), remote.Address());
    ::Sleep(500);
    open.PressOpen();
    return 0;
}

// Answers the save-file dialog with a full path.
int Save(const std::string& file) {
    OpenDialog save;
    if (!FindOpenDialog(save)) {
        return 2;
    }
    save.Enter(file);
    return 0;
}

// Answers the folder picker: the name box takes the folder and OK is pressed. Where that only
// opens the folder in the picker, OK with an empty name box picks the folder it shows.
int PickFolder(const std::string& folder) {
    OpenDialog picker;
    if (!FindOpenDialog(picker)) {
        return 2;
    }
    picker.Enter(folder);
    if (::IsWindow(picker.dialog) && ::IsWindowVisible(picker.dialog)) {
        picker.Enter("");
    }
    return 0;
}

// Answers the colour dialog: its red, green and blue boxes take the parts, and OK is pressed.
int PickColor(int red, int green, int blue) {
    OpenDialog dialog;
    if (!FindOpenDialog(dialog)) {
        return 2;
    }
    const int parts[] = {red, green, blue};
    const int boxes[] = {COLOR_RED, COLOR_GREEN, COLOR_BLUE};
    for (int i = 0; i < 3; ++i) {
        HWND box = ::GetDlgItem(dialog.dialog, boxes[i]);
        if (box == nullptr) {
            std::fprintf(stderr, "no colour box %d\n", boxes[i]);
            return 2;
        }
        ::SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_string(parts[i]).c_str()));
    }
    dialog.PressOpen();
    return 0;
}

// Files dropped on a control as the shell drops them: a DROPFILES block of wide names, posted with
// the point of the drop in the control's client area. The shell hands the program a block of global
// memory of the program's own; another process cannot, and a handle of the driver's own memory reads
// as nothing there. A fixed block's handle is its address, so the block is written into the
// program's memory and its address posted. Its DragFinish cannot free memory that no heap gave out,
// so the block stays until the program ends.
int Drop(HWND control, const std::vector<std::string>& files) {
    std::wstring names;
    for (const std::string& f : files) {
        const int n = ::MultiByteToWideChar(CP_ACP, 0, f.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, f.c_str(), -1, wide.data(), n);
        names += wide;  // with its zero
    }
    names += L'\0';
    std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), '\0');
    auto* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    RECT r{};
    ::GetClientRect(control, &r);
    drop->pt = {r.right / 2, r.bottom / 2};
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(block.data() + sizeof(DROPFILES)));

    DWORD pid = 0;
    ::GetWindowThreadProcessId(control, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    void* memory = process != nullptr ? ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE)
                                      : nullptr;
    const bool written =
        memory != nullptr && ::WriteProcessMemory(process, memory, block.data(), block.size(), nullptr);
    const bool posted = written && ::PostMessageA(control, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    if (!posted && memory != nullptr) {
        ::VirtualFreeEx(process, memory, 0, MEM_RELEASE);
    }
    if (process != nullptr) {
        ::CloseHandle(process);
    }
    if (!posted) {
        std::fprintf(stderr, "the drop could not be %s\n", written ? "posted" : "written into the program");
        return 2;
    }
    return 0;
}

// The windows below a window, in the order they are stacked (the top first), indented by depth.
void Tree(HWND parent, int depth) {
    for (HWND w = ::GetWindow(parent, GW_CHILD); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) {
        const RECT r = PlaceIn(parent, w);
        std::printf("%*s%s %s %s [%ld %ld %ld %ld] style %08lX %08lX\n", depth * 2, "", NameOf(w).c_str(),
                    ClassOf(w).c_str(), Json(TextOf(w)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                    static_cast<unsigned long>(::GetWindowLongA(w, GWL_STYLE)),
                    static_cast<unsigned long>(::GetWindowLongA(w, GWL_EXSTYLE)));
        Tree(w, depth + 1);
    }
}

BOOL CALLBACK PrintTop(HWND hwnd, LPARAM) {
    if (::IsWindowVisible(hwnd)) {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        std::printf("%s %s %ld %ld %ld %ld\n", Json(TextOf(hwnd)).c_str(), Json(ClassOf(hwnd)).c_str(), r.left, r.top,
                    r.right - r.left, r.bottom - r.top);
    }
    return TRUE;
}

HWND Required(const std::string& title) {
    HWND top = TopWindow(title);
    if (top == nullptr) {
        std::fprintf(stderr, "no window %s\n", title.c_str());
        std::exit(2);
    }
    return top;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "windows") {
        ::EnumWindows(PrintTop, 0);
        return 0;
    }
    if (command == "open" && argc > 3) {
        return Open(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    }
    if (command == "open-all" && argc == 3) {
        return OpenAll(argv[2]);
    }
    if (command == "save" && argc == 3) {
        return Save(argv[2]);
    }
    if (command == "folder" && argc == 3) {
        return PickFolder(argv[2]);
    }
    if (command == "color" && argc == 5) {
        return PickColor(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_driver dump|focus|click|tab|type|slide|line|select|drop TITLE ...\n");
        return 2;
    }
    HWND top = Required(argv[2]);
    if (command == "dump") {
        return Dump(top);
    }
    if (command == "focus") {
        return Focus(top);
    }
    if (command == "tree") {
        Tree(top, 0);
        return 0;
    }
    if (argc < 4) {
        return 2;
    }
    HWND control = Control(top, argv[3]);
    if (command == "click") {
        return Click(control);
    }
    if (command == "tab" && argc > 4) {
        return Tab(control, argv[4]);
    }
    if (command == "type" && argc > 4) {
        return Type(control, argv[4]);
    }
    if (command == "slide" && argc > 4) {
        return Slide(control, std::atoi(argv[4]));
    }
    if (command == "line" && argc > 4) {
        return ClickLine(control, std::atoi(argv[4]), argc > 5 && std::string(argv[5]) == "box");
    }
    if (command == "select" && argc > 4) {
        return Select(control, std::atoi(argv[4]));
    }
    if (command == "drop" && argc > 4) {
        return Drop(control, std::vector<std::string>(argv + 4, argv + argc));
    }
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
}
