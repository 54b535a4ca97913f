// The controls of one of our windows as the system's common controls. Each container the logic
// names (a panel, a page, a group, an image) is a window of ours, so that what lies in it is placed
// in its client area, hides with it and reports to us; the window's client area is one more such
// container. Every control carries its name as a window property (a global atom), so that a test
// program in another process finds it by name, and the tooltips of their hints belong to the
// window, where such a program reads them too.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Glyphs.h"
#include "platform/Boundary.h"
#include "platform/Controls.h"
#include "platform/win32/Win32DialogKeys.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr char kContainerClass[] = "SaverControls";
constexpr char kNameProperty[] = "SaverControlName";
constexpr int kFirstId = 100;
constexpr int kFontPoints = 8;
constexpr int kTabWidth = 76;
constexpr int kTabHeight = 20;
constexpr int kTabPadding = 12;  // room beside a tab's caption
constexpr int kLineHeight = 16;
constexpr int kCheckBox = 13;  // the box of a check list line, at 96 pixels an inch
constexpr int kDroppedLines = 10;  // the lines a dropped-down list shows below its closed box
constexpr gfx::Color32 kGlyphColor = 0xFF202020;

// The system's text with line breaks as edit controls want them.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

// Owns a picture list's image list: the list view only shares it, so ours is the one to destroy it.
struct ImageListDestroyer {
    void operator()(HIMAGELIST list) const {
        if (list != nullptr) {
            ::ImageList_Destroy(list);
        }
    }
};
using ImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroyer>;

// A picture scaled to fit a square of `side` pixels, its sides' ratio kept, centred on the
// window's colour, as the 32-bit pixels of a DIB section.
win32::GdiObject<HBITMAP> PictureSquare(const gfx::TBitmap32& picture, int side) {
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    gfx::TBitmap32 square(side, side, gfx::MakeColor32(GetRValue(window), GetGValue(window), GetBValue(window)));
    if (!picture.Empty()) {
        const double scale = std::min(static_cast<double>(side) / picture.Width(),
                                      static_cast<double>(side) / picture.Height());
        const int width = std::clamp(static_cast<int>(picture.Width() * scale + 0.5), 1, side);
        const int height = std::clamp(static_cast<int>(picture.Height() * scale + 0.5), 1, side);
        const int left = (side - width) / 2;
        const int top = (side - height) / 2;
        picture.DrawTo(square, gfx::IntRect{left, top, left + width, top + height});
        square.MakeOpaque();
    }
    win32::WindowDC screen(nullptr);
    win32::Dib dib = win32::CreateDib(screen.get(), side, side);
    if (dib.bits != nullptr) {
        std::copy(square.Bits(), square.Bits() + static_cast<std::size_t>(side) * side, dib.bits);
    }
    return std::move(dib.bitmap);
}

// The text a window shows now.
std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The full paths of the files dropped from the shell; the drop is let go of.
std::vector<std::string> DroppedFiles(HDROP drop) {
    std::vector<std::string> files;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(::DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(::DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
        files.push_back(std::move(path));
    }
    ::DragFinish(drop);
    return files;
}

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                   ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

class Win32ControlSet;

// One control as made: its window, and what it shows now.
struct Made {
    Control* control = nullptr;
    int id = 0;
    HWND hwnd = nullptr;   // the control's window (for a group, its container)
    HWND frame = nullptr;  // a group's frame
    HWND arrows = nullptr; // a spin edit's up-down buddy
    ATOM atom = 0;
    Control shown;
    bool fresh = true;     // nothing shown yet
    bool tool = false;     // its hint is a tool of the tooltip
    win32::GdiObject<HBITMAP> picture;
    ImageList images;      // a picture list's pictures
};

class Win32ControlSet final : public ControlSet {
public:
    Win32ControlSet(Window& window, std::vector<Control*> controls, Handler onEvent, ControlRoot root)
        : window_(reinterpret_cast<HWND>(window.Handle())),
          onEvent_(std::move(onEvent)),
          fitted_(root == ControlRoot::Fitted) {
        EnsureCommonControls();
        win32::RegisterWindowClass(kContainerClass, ContainerProc);
        dpi_ = WindowDpi(window.Handle());
        MakeFonts();
        // A fitted area is placed and shown by the first Sync.
        root_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kContainerClass, "",
                                      WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (fitted_ ? 0 : WS_VISIBLE), 0, 0,
                                      0, 0, window_, nullptr, ::GetModuleHandleA(nullptr), this));
        made_.reserve(controls.size());
        for (Control* c : controls) {
            made_.push_back(std::make_unique<Made>());
            made_.back()->control = c;
            made_.back()->id = kFirstId + static_cast<int>(made_.size()) - 1;
            byName_[c->name] = made_.back().get();
        }
        for (auto& m : made_) {
            Make(*m);
        }
        win32::AddDialogKeys(root_.get());
        Sync();
    }

    ~Win32ControlSet() override {
        syncing_ = true;  // nothing reaches the logic while the controls go
        tips_.reset();
        win32::RemoveDialogKeys(root_.get());
        for (auto& m : made_) {
            if (m->atom != 0) {
                ::RemovePropA(m->frame != nullptr ? m->frame : m->hwnd, kNameProperty);
                ::GlobalDeleteAtom(m->atom);
            }
        }
        ::SetWindowLongPtrA(root_.get(), GWLP_USERDATA, 0);
        root_.reset();  // its children go with it
    }

    void Sync() override {
        syncing_ = true;
        for (auto& m : made_) {
            Show(*m);
        }
        PlaceArea();
        syncing_ = false;
    }

    void PlaceRoot(gfx::IntPoint topLeft) override {
        if (fitted_) {
            origin_ = {topLeft.x, topLeft.y};
            PlaceArea();
        }
    }

    void Rescale(int dpi) override {
        dpi_ = dpi;
        MakeFonts();
        for (auto& m : made_) {
            m->fresh = true;  // every place, font and picture again
            for (HWND h : {m->hwnd, m->frame, m->arrows}) {
                if (h != nullptr) {
                    ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*m->control)), TRUE);
                }
            }
        }
        Sync();
        // Nothing of the old places may stay behind where no control lies now.
        ::RedrawWindow(root_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }

    int Dpi() const override { return dpi_; }

    WindowHandle Handle(const std::string& name) const override {
        const Made* m = Find(name);
        return m != nullptr ? reinterpret_cast<WindowHandle>(m->hwnd) : 0;
    }

    std::string Focused() const override {
        for (HWND h = ::GetFocus(); h != nullptr && h != root_.get(); h = ::GetParent(h)) {
            for (const auto& m : made_) {
                if (m->hwnd == h) {
                    return m->control->name;
                }
            }
        }
        return {};
    }

private:
    int Px(int v) const { return ScaleToDpi(v, dpi_); }

    // The whole client area; or as large as the controls that lie in it directly, above the
    // window's other children (the picture it lies over) while one of them shows.
    void PlaceArea() {
        if (!fitted_) {
            RECT client{};
            ::GetClientRect(window_, &client);
            ::SetWindowPos(root_.get(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
        int width = 0;
        int height = 0;
        bool shown = false;
        for (const auto& m : made_) {
            if (m->control->parent.empty()) {
                const gfx::IntRect b = ScaleToDpi(m->control->bounds, dpi_);
                width = std::max(width, b.right);
                height = std::max(height, b.bottom);
                shown = shown || m->control->visible;
            }
        }
        ::SetWindowPos(root_.get(), HWND_TOP, origin_.x, origin_.y, width, height,
                       SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW | SWP_NOZORDER));
    }

    Made* Find(const std::string& name) const {
        const auto it = byName_.find(name);
        return it != byName_.end() ? it->second : nullptr;
    }

    HWND ParentWindow(const Control& c) const {
        const Made* p = Find(c.parent);
        if (p == nullptr) {
            return root_.get();
        }
        // Pages lie beside their page control, over its page area.
        if (p->control->kind == ControlKind::Tabs) {
            return ::GetParent(p->hwnd);
        }
        return p->hwnd;
    }

    void MakeFonts() {
        const auto make = [&](int weight, bool underline) {
            return win32::GdiObject<HFONT>(::CreateFontA(-::MulDiv(kFontPoints, dpi_, 72), 0, 0, 0, weight, FALSE,
                                                         underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                                         DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
        };
        font_ = make(FW_NORMAL, false);
        bold_ = make(FW_BOLD, false);
        link_ = make(FW_NORMAL, true);
    }

    HFONT FontFor(const Control& c) const {
        if (c.kind == ControlKind::Link) {
            return link_.get();
        }
        return c.bold ? bold_.get() : font_.get();
    }

    // A radio button opens a group unless the control made before it in the same place is one.
    bool StartsGroup(const Made& m) const {
        if (m.control->kind != ControlKind::Radio) {
            return true;
        }
        const auto it = std::find_if(made_.begin(), made_.end(), [&](const auto& p) { return p.get() == &m; });
        for (auto before = it; before != made_.begin();) {
            --before;
            if ((*before)->control->parent == m.control->parent) {
                return (*before)->control->kind != ControlKind::Radio;
            }
        }
        return true;
    }

    HWND CreateChild(DWORD exStyle, const char* cls, DWORD style, const Made& m) {
        return ::CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                 ParentWindow(*m.control), reinterpret_cast<HMENU>(static_cast<INT_PTR>(m.id)),
                                 ::GetModuleHandleA(nullptr), const_cast<Win32ControlSet*>(this));
    }

    void Make(Made& m) {
        const Control& c = *m.control;
        const DWORD group = StartsGroup(m) ? WS_GROUP : 0;
        switch (c.kind) {
            case ControlKind::Panel:
            case ControlKind::Page:
            case ControlKind::Image:
                m.hwnd = CreateChild(WS_EX_CONTROLPARENT | (c.lowered ? WS_EX_STATICEDGE : 0), kContainerClass,
                                     WS_CLIPCHILDREN, m);
                break;
            case ControlKind::Group:
                // The frame paints only its line and caption: the container paints the face under it,
                // and the frame lies below the controls it surrounds.
                m.hwnd = CreateChild(WS_EX_CONTROLPARENT, kContainerClass, 0, m);
                m.frame = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_GROUPBOX | WS_GROUP, 0, 0, 0, 0,
                                            m.hwnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
                break;
            case ControlKind::Tabs:
                m.hwnd = CreateChild(0, WC_TABCONTROLA, WS_TABSTOP | WS_GROUP | TCS_HOTTRACK | TCS_FIXEDWIDTH, m);
                break;
            case ControlKind::Button:
                m.hwnd = CreateChild(0, "BUTTON",
                                     WS_TABSTOP | WS_GROUP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                                         (c.glyph.empty() ? 0 : BS_BITMAP),
                                     m);
                break;
            case ControlKind::Radio:
                m.hwnd = CreateChild(0, "BUTTON", BS_RADIOBUTTON | group | (group != 0 ? WS_TABSTOP : 0), m);
                break;
            case ControlKind::CheckBox:
                m.hwnd = CreateChild(0, "BUTTON", BS_CHECKBOX | WS_TABSTOP | WS_GROUP, m);
                break;
            case ControlKind::Label:
                m.hwnd = CreateChild(0, "STATIC", SS_LEFT | WS_GROUP, m);
                break;
            case ControlKind::Link:
                m.hwnd = CreateChild(0, "STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX | WS_GROUP, m);
                break;
            case ControlKind::SpinEdit:
                m.hwnd = CreateChild(WS_EX_CLIENTEDGE, "EDIT", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, m);
                m.arrows = ::CreateWindowExA(0, UPDOWN_CLASSA, "",
                                             WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                                                 UDS_NOTHOUSANDS,
                                             0, 0, 0, 0, ParentWindow(c), nullptr, ::GetModuleHandleA(nullptr), nullptr);
                ::SendMessageA(m.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m.hwnd), 0);
                break;
            case ControlKind::TrackBar:
                m.hwnd = CreateChild(0, TRACKBAR_CLASSA, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP | WS_GROUP, m);
                break;
            case ControlKind::CheckList:
                m.hwnd = CreateChild(WS_EX_CLIENTEDGE, "LISTBOX",
                                     LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                         WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                                     m);
                ::SetWindowSubclass(m.hwnd, CheckListProc, 0, reinterpret_cast<DWORD_PTR>(this));
                break;
            case ControlKind::List:
                m.hwnd = CreateChild(WS_EX_CLIENTEDGE, "LISTBOX",
                                     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP,
                                     m);
                break;
            case ControlKind::Icon:
                m.hwnd = CreateChild(0, "STATIC", SS_ICON | SS_REALSIZECONTROL | WS_GROUP, m);
                break;
            case ControlKind::Text:
                m.hwnd = CreateChild(0, "EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_GROUP, m);
                break;
            case ControlKind::Bevel:
                m.hwnd = CreateChild(0, "STATIC", SS_ETCHEDHORZ | WS_GROUP, m);
                break;
            case ControlKind::Edit:
                m.hwnd = CreateChild(WS_EX_CLIENTEDGE, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, m);
                break;
            case ControlKind::DropDown:
                m.hwnd = CreateChild(0, WC_COMBOBOXA, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, m);
                break;
            case ControlKind::Progress:
                m.hwnd = CreateChild(0, PROGRESS_CLASSA, WS_GROUP, m);
                break;
            case ControlKind::PictureList:
                MakePictureList(m);
                break;
        }
        HWND named = m.frame != nullptr ? m.frame : m.hwnd;
        m.atom = ::GlobalAddAtomA(c.name.c_str());
        ::SetPropA(named, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(m.atom)));
        for (HWND h : {m.hwnd, m.frame, m.arrows}) {
            if (h != nullptr) {
                ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c)), FALSE);
            }
        }
    }

    // A report view of one column and no header; its image list is ours (shared), made anew with
    // its pictures.
    void MakePictureList(Made& m) {
        m.hwnd = CreateChild(WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                             LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                 LVS_SHAREIMAGELISTS | WS_TABSTOP | WS_GROUP,
                             m);
        ::SendMessageA(m.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        ::SendMessageA(m.hwnd, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    }

    // The place of a control in its container, in pixels.
    RECT PlaceOf(const Made& m) const {
        const Control& c = *m.control;
        if (c.kind == ControlKind::Page) {
            if (const Made* tabs = Find(c.parent)) {
                RECT r{};
                ::GetWindowRect(tabs->hwnd, &r);
                ::MapWindowPoints(nullptr, ::GetParent(tabs->hwnd), reinterpret_cast<POINT*>(&r), 2);
                ::SendMessageA(tabs->hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
                return r;
            }
        }
        const gfx::IntRect b = ScaleToDpi(c.bounds, dpi_);
        // A drop-down list's bounds are its closed box; its window holds the lines it drops down too.
        const int dropped = c.kind == ControlKind::DropDown ? Px(kLineHeight) * kDroppedLines : 0;
        return {b.left, b.top, b.right, b.bottom + dropped};
    }

    bool PageShown(const Made& m) const {
        const Made* tabs = Find(m.control->parent);
        return tabs == nullptr || PageIndex(*tabs, m) == tabs->control->itemIndex;
    }

    // The pages of a page control, in the table's order.
    std::vector<const Made*> Pages(const Made& tabs) const {
        std::vector<const Made*> pages;
        for (const auto& m : made_) {
            if (m->control->kind == ControlKind::Page && m->control->parent == tabs.control->name) {
                pages.push_back(m.get());
            }
        }
        return pages;
    }

    int PageIndex(const Made& tabs, const Made& page) const {
        const auto pages = Pages(tabs);
        return static_cast<int>(std::find(pages.begin(), pages.end(), &page) - pages.begin());
    }

    void Show(Made& m) {
        Control& c = *m.control;
        Control& s = m.shown;
        const bool all = m.fresh;
        HWND h = m.hwnd;
        if (all || c.bounds != s.bounds || c.kind == ControlKind::Page) {
            const RECT r = PlaceOf(m);
            // A page lies over its page control's page area: above it, or the control paints over it.
            const bool page = c.kind == ControlKind::Page;
            ::SetWindowPos(h, page ? HWND_TOP : nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           (page ? 0 : SWP_NOZORDER) | SWP_NOACTIVATE);
            if (m.frame != nullptr) {
                // Children made later lie below the ones made before: the frame goes under them.
                ::SetWindowPos(m.frame, HWND_BOTTOM, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            }
            if (m.arrows != nullptr) {
                ::SendMessageA(m.arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(h), 0);  // aligned to the new place
            }
            if (c.kind == ControlKind::CheckList || c.kind == ControlKind::List) {
                ::SendMessageA(h, LB_SETITEMHEIGHT, 0, Px(kLineHeight));
            }
        }
        if (c.kind == ControlKind::Edit) {
            // What the user types stays as it is while the logic keeps the same text.
            if (c.caption != WindowText(h)) {
                ::SetWindowTextA(h, c.caption.c_str());
            }
        } else if (all || c.caption != s.caption) {
            ShowCaption(m);
        }
        if (c.kind == ControlKind::Tabs && (all || c.itemIndex != s.itemIndex || TabsChanged(m))) {
            ShowTabs(m);
        }
        if (all || c.glyph != s.glyph || c.glyphSize != s.glyphSize || c.enabled != s.enabled) {
            ShowGlyph(m);
        }
        if (all || c.hint != s.hint) {
            ShowHint(m);
        }
        if (c.kind == ControlKind::Icon && all) {
            ShowIcon(m);
        }
        if ((c.kind == ControlKind::Radio || c.kind == ControlKind::CheckBox) && (all || c.checked != s.checked)) {
            ::SendMessageA(h, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (c.kind == ControlKind::SpinEdit || c.kind == ControlKind::TrackBar) {
            ShowValue(m, all);
        }
        if (c.kind == ControlKind::CheckList || c.kind == ControlKind::List) {
            ShowLines(m, all);
        }
        if (c.kind == ControlKind::DropDown) {
            ShowDropDown(m, all);
        }
        if (c.kind == ControlKind::Progress) {
            ShowProgress(m, all);
        }
        if (c.kind == ControlKind::PictureList) {
            ShowPictureList(m, all);
        }
        if (all ? c.acceptsFiles : c.acceptsFiles != s.acceptsFiles) {
            AcceptFiles(m);
        }
        const bool visible = c.visible && (c.kind != ControlKind::Page || PageShown(m));
        if (all || visible != ((::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0)) {
            ::ShowWindow(h, visible ? SW_SHOWNA : SW_HIDE);
            if (m.arrows != nullptr) {
                ::ShowWindow(m.arrows, visible ? SW_SHOWNA : SW_HIDE);
            }
        }
        if (all || c.enabled != s.enabled) {
            for (HWND w : {m.hwnd, m.frame, m.arrows}) {
                if (w != nullptr) {
                    if (!c.enabled && ::GetFocus() == w) {
                        HandOnFocus(w);
                    }
                    ::EnableWindow(w, c.enabled ? TRUE : FALSE);
                }
            }
        }
        s = c;
        m.fresh = false;
    }

    // A control about to be disabled with the focus on it hands the focus on, as a dialog does:
    // to the next control Tab reaches, or else to the window. A disabled control keeps no focus, and
    // with no focus at all the keys reach the window only as system keys.
    void HandOnFocus(HWND control) {
        HWND next = ::GetNextDlgTabItem(root_.get(), control, FALSE);
        ::SetFocus(next != nullptr && next != control ? next : window_);
    }

    void ShowCaption(Made& m) {
        const Control& c = *m.control;
        const std::string text = c.kind == ControlKind::Text ? WithCrLf(c.caption) : c.caption;
        if (c.kind == ControlKind::SpinEdit || c.kind == ControlKind::TrackBar || c.kind == ControlKind::CheckList ||
            c.kind == ControlKind::List || c.kind == ControlKind::Tabs || c.kind == ControlKind::DropDown ||
            c.kind == ControlKind::Progress || c.kind == ControlKind::PictureList) {
            return;
        }
        ::SetWindowTextA(m.frame != nullptr ? m.frame : m.hwnd, text.c_str());
    }

    bool TabsChanged(const Made& tabs) const {
        for (const Made* page : Pages(tabs)) {
            if (page->control->visible != page->shown.visible || page->control->caption != page->shown.caption) {
                return true;
            }
        }
        return false;
    }

    // The tabs' one width: the usual one, or wider where a caption needs more.
    int TabWidth(const Made& tabs) const {
        win32::WindowDC dc(tabs.hwnd);
        const win32::SelectGuard font(dc.get(), FontFor(*tabs.control));
        int width = Px(kTabWidth);
        for (const Made* page : Pages(tabs)) {
            SIZE text{};
            const std::string& caption = page->control->caption;
            ::GetTextExtentPoint32A(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text);
            width = std::max(width, static_cast<int>(text.cx) + Px(kTabPadding));
        }
        return width;
    }

    // A tab for each visible page; the current page's tab is selected.
    void ShowTabs(Made& m) {
        ::SendMessageA(m.hwnd, TCM_SETITEMSIZE, 0, MAKELPARAM(TabWidth(m), Px(kTabHeight)));
        ::SendMessageA(m.hwnd, TCM_DELETEALLITEMS, 0, 0);
        int tab = 0;
        for (const Made* page : Pages(m)) {
            if (!page->control->visible) {
                continue;
            }
            std::string text = page->control->caption;
            TCITEMA item{};
            item.mask = TCIF_TEXT | TCIF_PARAM;
            item.pszText = text.data();
            item.lParam = PageIndex(m, *page);
            ::SendMessageA(m.hwnd, TCM_INSERTITEMA, tab, reinterpret_cast<LPARAM>(&item));
            if (item.lParam == m.control->itemIndex) {
                ::SendMessageA(m.hwnd, TCM_SETCURSEL, tab, 0);
            }
            ++tab;
        }
        for (const Made* page : Pages(m)) {
            const_cast<Made*>(page)->fresh = true;  // shown or hidden anew, at the page area
        }
    }

    void ShowGlyph(Made& m) {
        const Control& c = *m.control;
        if (c.kind != ControlKind::Button || c.glyph.empty()) {
            return;
        }
        // The glyph on the button face, opaque, at its own size or the button's inner size. A disabled
        // button's picture is drawn embossed by the system, which takes white for its background.
        const int size = c.glyphSize > 0 ? Px(c.glyphSize)
                                         : std::max(1, std::min(Px(c.bounds.Width()), Px(c.bounds.Height())) - Px(10));
        const gfx::TBitmap32 glyph = gfx::DrawGlyph(c.glyph, size, kGlyphColor);
        win32::WindowDC screen(nullptr);
        win32::Dib dib = win32::CreateDib(screen.get(), size, size);
        if (dib.bits == nullptr) {
            return;
        }
        const COLORREF face = c.enabled ? ::GetSysColor(COLOR_BTNFACE) : RGB(255, 255, 255);
        for (int i = 0; i < size * size; ++i) {
            const gfx::Color32 p = glyph.Bits()[i];
            const int a = gfx::AlphaOf(p);
            const auto mix = [&](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            dib.bits[i] = static_cast<std::uint32_t>((mix(gfx::RedOf(p), GetRValue(face)) << 16) |
                                                     (mix(gfx::GreenOf(p), GetGValue(face)) << 8) |
                                                     mix(gfx::BlueOf(p), GetBValue(face)));
        }
        ::SendMessageA(m.hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(dib.bitmap.get()));
        m.picture = std::move(dib.bitmap);
    }

    // The control's hint as a tool of the window's tooltip, made with the first hint.
    void ShowHint(Made& m) {
        const Control& c = *m.control;
        if (!m.tool && c.hint.empty()) {
            return;
        }
        if (!tips_) {
            tips_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, ::GetModuleHandleA(nullptr),
                                          nullptr));
        }
        std::string text = c.hint;
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = ::GetParent(m.hwnd);
        tool.uId = reinterpret_cast<UINT_PTR>(m.hwnd);
        tool.lpszText = text.data();
        if (!m.tool) {
            m.tool = ::SendMessageA(tips_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
        } else if (text.empty()) {
            ::SendMessageA(tips_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            m.tool = false;
        } else {
            ::SendMessageA(tips_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    void ShowIcon(Made& m) {
        const int size = Px(m.control->bounds.Width());
        auto* icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                      size, size, LR_DEFAULTCOLOR));
        if (icon != nullptr) {
            ::SendMessageA(m.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }

    void ShowValue(Made& m, bool all) {
        const Control& c = *m.control;
        const Control& s = m.shown;
        if (c.kind == ControlKind::SpinEdit) {
            if (all || c.minimum != s.minimum || c.maximum != s.maximum) {
                ::SendMessageA(m.arrows, UDM_SETRANGE32, c.minimum, c.maximum);
            }
            if (all || c.value != s.value) {
                ::SendMessageA(m.arrows, UDM_SETPOS32, 0, c.value);
            }
            return;
        }
        if (all || c.minimum != s.minimum || c.maximum != s.maximum) {
            ::SendMessageA(m.hwnd, TBM_SETRANGEMIN, FALSE, c.minimum);
            ::SendMessageA(m.hwnd, TBM_SETRANGEMAX, TRUE, c.maximum);
            ::SendMessageA(m.hwnd, TBM_SETPAGESIZE, 0, 1);
        }
        if (all || c.value != s.value) {
            ::SendMessageA(m.hwnd, TBM_SETPOS, TRUE, c.value);
        }
    }

    void ShowLines(Made& m, bool all) {
        const Control& c = *m.control;
        const Control& s = m.shown;
        if (all || c.items != s.items) {
            ::SendMessageA(m.hwnd, WM_SETREDRAW, FALSE, 0);
            ::SendMessageA(m.hwnd, LB_RESETCONTENT, 0, 0);
            for (const std::string& line : c.items) {
                ::SendMessageA(m.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            }
            ::SendMessageA(m.hwnd, WM_SETREDRAW, TRUE, 0);
        }
        if (all || c.items != s.items || c.itemIndex != s.itemIndex) {
            ::SendMessageA(m.hwnd, LB_SETCURSEL, c.itemIndex, 0);
        }
        if (all || c.checks != s.checks || c.items != s.items) {
            // Each line's mark is also its item data, where another program can read it.
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                ::SendMessageA(m.hwnd, LB_SETITEMDATA, i, i < c.checks.size() && c.checks[i] ? 1 : 0);
            }
            ::InvalidateRect(m.hwnd, nullptr, TRUE);
        }
    }

    void ShowDropDown(Made& m, bool all) {
        const Control& c = *m.control;
        const Control& s = m.shown;
        if (all || c.items != s.items) {
            ::SendMessageA(m.hwnd, CB_RESETCONTENT, 0, 0);
            for (const std::string& line : c.items) {
                ::SendMessageA(m.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            }
        }
        if (all || c.items != s.items || c.itemIndex != s.itemIndex) {
            ::SendMessageA(m.hwnd, CB_SETCURSEL, c.itemIndex, 0);
        }
    }

    void ShowProgress(Made& m, bool all) {
        const Control& c = *m.control;
        const Control& s = m.shown;
        if (all || c.minimum != s.minimum || c.maximum != s.maximum) {
            ::SendMessageA(m.hwnd, PBM_SETRANGE32, c.minimum, c.maximum);
        }
        if (all || c.value != s.value || c.minimum != s.minimum || c.maximum != s.maximum) {
            ::SendMessageA(m.hwnd, PBM_SETPOS, c.value, 0);
        }
    }

    // The lines are made anew only when their texts, their pictures (the same shared pictures count
    // as unchanged) or the pictures' size changed; the current line is selected and scrolled to.
    void ShowPictureList(Made& m, bool all) {
        const Control& c = *m.control;
        const Control& s = m.shown;
        const bool lines = all || c.items != s.items || c.pictures != s.pictures || c.pictureSize != s.pictureSize;
        if (lines) {
            FillPictureList(m);
        }
        if (lines || c.bounds != s.bounds) {
            RECT client{};
            ::GetClientRect(m.hwnd, &client);
            ::SendMessageA(m.hwnd, LVM_SETCOLUMNWIDTH, 0, client.right);
        }
        if (lines || c.itemIndex != s.itemIndex) {
            LVITEMA none{};
            none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(m.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
            if (c.itemIndex >= 0 && c.itemIndex < static_cast<int>(c.items.size())) {
                LVITEMA line{};
                line.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                line.state = LVIS_SELECTED | LVIS_FOCUSED;
                ::SendMessageA(m.hwnd, LVM_SETITEMSTATE, c.itemIndex, reinterpret_cast<LPARAM>(&line));
                ::SendMessageA(m.hwnd, LVM_ENSUREVISIBLE, c.itemIndex, FALSE);
            }
        }
    }

    void FillPictureList(Made& m) {
        const Control& c = *m.control;
        const int side = std::max(1, Px(c.pictureSize));
        ImageList images(::ImageList_Create(side, side, ILC_COLOR32, static_cast<int>(c.pictures.size()), 4));
        ::SendMessageA(m.hwnd, WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(m.hwnd, LVM_DELETEALLITEMS, 0, 0);
        ::SendMessageA(m.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            int image = I_IMAGENONE;
            if (i < c.pictures.size() && c.pictures[i] != nullptr) {
                const win32::GdiObject<HBITMAP> square = PictureSquare(*c.pictures[i], side);
                image = ::ImageList_Add(images.get(), square.get(), nullptr);
            }
            std::string text = c.items[i];
            LVITEMA line{};
            line.mask = LVIF_TEXT | LVIF_IMAGE;
            line.iItem = static_cast<int>(i);
            line.pszText = text.data();
            line.iImage = image >= 0 ? image : I_IMAGENONE;
            ::SendMessageA(m.hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&line));
        }
        ::SendMessageA(m.hwnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m.hwnd, nullptr, TRUE);
        m.images = std::move(images);  // the list no longer shows the old one
    }

    // Files dropped from the shell reach the control's window itself, which tells them on.
    void AcceptFiles(Made& m) {
        ::DragAcceptFiles(m.hwnd, m.control->acceptsFiles ? TRUE : FALSE);
        if (m.control->acceptsFiles) {
            ::SetWindowSubclass(m.hwnd, DropProc, 0, reinterpret_cast<DWORD_PTR>(this));
        } else {
            ::RemoveWindowSubclass(m.hwnd, DropProc, 0);
        }
    }

    void Raise(ControlEvent::Kind kind, const Made& m, int value = 0) {
        ControlEvent event;
        event.kind = kind;
        event.name = m.control->name;
        event.value = value;
        Raise(std::move(event));
    }

    void Raise(ControlEvent event) {
        if (syncing_ || !onEvent_) {
            return;
        }
        auto handler = onEvent_;
        handler(event);
    }

    Made* ById(int id) const {
        const int index = id - kFirstId;
        return index >= 0 && index < static_cast<int>(made_.size()) ? made_[static_cast<std::size_t>(index)].get()
                                                                      : nullptr;
    }

    Made* ByFlag(bool Control::*flag) const {
        for (const auto& m : made_) {
            if (m->control->*flag && m->control->visible && m->control->enabled) {
                return m.get();
            }
        }
        return nullptr;
    }

    void OnCommand(WPARAM wParam) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            if (Made* m = ByFlag(id == IDOK ? &Control::isDefault : &Control::isCancel)) {
                Raise(ControlEvent::Kind::Click, *m);
            }
            return;
        }
        Made* m = ById(id);
        if (m == nullptr) {
            return;
        }
        switch (m->control->kind) {
            case ControlKind::Button:
            case ControlKind::Radio:
            case ControlKind::CheckBox:
                if (code == BN_CLICKED) {
                    Raise(ControlEvent::Kind::Click, *m);
                }
                break;
            case ControlKind::Link:
                if (code == STN_CLICKED) {
                    Raise(ControlEvent::Kind::Click, *m);
                }
                break;
            case ControlKind::SpinEdit:
                if (code == EN_KILLFOCUS) {
                    // A number typed out of range gives way to the value the logic kept.
                    ::SendMessageA(m->arrows, UDM_SETPOS32, 0, m->shown.value);
                } else if (code == EN_CHANGE) {
                    BOOL failed = FALSE;
                    const int value =
                        static_cast<int>(::SendMessageA(m->arrows, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
                    if (!failed) {
                        Raise(ControlEvent::Kind::Change, *m, value);
                    }
                }
                break;
            case ControlKind::CheckList:
            case ControlKind::List:
                if (code == LBN_SELCHANGE && !clicking_) {
                    Raise(ControlEvent::Kind::Select, *m, static_cast<int>(::SendMessageA(m->hwnd, LB_GETCURSEL, 0, 0)));
                }
                break;
            case ControlKind::Edit:
                if (code == EN_CHANGE) {
                    ControlEvent event;
                    event.kind = ControlEvent::Kind::Edited;
                    event.name = m->control->name;
                    event.text = WindowText(m->hwnd);
                    Raise(std::move(event));
                }
                break;
            case ControlKind::DropDown:
                if (code == CBN_SELCHANGE) {
                    Raise(ControlEvent::Kind::Select, *m, static_cast<int>(::SendMessageA(m->hwnd, CB_GETCURSEL, 0, 0)));
                }
                break;
            default:
                break;
        }
    }

    void OnNotify(const NMHDR& n) {
        if (n.hwndFrom == tips_.get()) {
            return;
        }
        Made* m = ById(static_cast<int>(n.idFrom));
        if (m != nullptr && m->control->kind == ControlKind::PictureList && n.code == LVN_ITEMCHANGED) {
            // A line that became selected, not the one that lost it.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(n);
            if ((change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_SELECTED) != 0 &&
                (change.uOldState & LVIS_SELECTED) == 0 && change.iItem >= 0) {
                Raise(ControlEvent::Kind::Select, *m, change.iItem);
            }
            return;
        }
        if (m == nullptr || m->control->kind != ControlKind::Tabs || n.code != TCN_SELCHANGE) {
            return;
        }
        const int tab = static_cast<int>(::SendMessageA(m->hwnd, TCM_GETCURSEL, 0, 0));
        TCITEMA item{};
        item.mask = TCIF_PARAM;
        if (::SendMessageA(m->hwnd, TCM_GETITEMA, tab, reinterpret_cast<LPARAM>(&item))) {
            Raise(ControlEvent::Kind::Select, *m, static_cast<int>(item.lParam));
        }
    }

    void OnScroll(HWND from) {
        for (const auto& m : made_) {
            if (m->hwnd == from && m->control->kind == ControlKind::TrackBar) {
                Raise(ControlEvent::Kind::Change, *m, static_cast<int>(::SendMessageA(from, TBM_GETPOS, 0, 0)));
            }
        }
    }

    void DrawLine(const DRAWITEMSTRUCT& d) {
        const Made* m = ById(static_cast<int>(d.CtlID));
        if (m == nullptr || d.itemID == static_cast<UINT>(-1)) {
            return;
        }
        const Control& c = m->shown;
        const bool selected = (d.itemState & ODS_SELECTED) != 0;
        ::FillRect(d.hDC, &d.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const int box = Px(kCheckBox);
        const int height = d.rcItem.bottom - d.rcItem.top;
        RECT boxRect{d.rcItem.left + Px(2), d.rcItem.top + (height - box) / 2, 0, 0};
        boxRect.right = boxRect.left + box;
        boxRect.bottom = boxRect.top + box;
        const bool checked = d.itemID < c.checks.size() && c.checks[d.itemID];
        ::DrawFrameControl(d.hDC, &boxRect, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        RECT text = d.rcItem;
        text.left = boxRect.right + Px(4);
        ::SetBkMode(d.hDC, TRANSPARENT);
        ::SetTextColor(d.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::string& line = d.itemID < c.items.size() ? c.items[d.itemID] : std::string();
        ::DrawTextA(d.hDC, line.c_str(), static_cast<int>(line.size()), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        if ((d.itemState & ODS_FOCUS) != 0) {
            ::DrawFocusRect(d.hDC, &d.rcItem);
        }
    }

    // A click on a line makes it current (and tells so even when it already was); a click on its
    // box, or the space bar, toggles its mark.
    LRESULT CheckListMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        Made* m = nullptr;
        for (const auto& made : made_) {
            if (made->hwnd == hwnd) {
                m = made.get();
            }
        }
        if (m == nullptr) {
            return ::DefSubclassProc(hwnd, msg, wParam, lParam);
        }
        if (msg == WM_LBUTTONDOWN) {
            const LRESULT hit = ::SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, lParam);
            clicking_ = true;
            const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
            clicking_ = false;
            if (HIWORD(hit) == 0) {
                const int line = LOWORD(hit);
                Raise(ControlEvent::Kind::Select, *m, line);
                if (GET_X_LPARAM(lParam) < Px(2 + kCheckBox + 2)) {
                    Raise(ControlEvent::Kind::Toggle, *m, line);
                }
            }
            return result;
        }
        if (msg == WM_KEYDOWN && wParam == VK_SPACE) {
            const int line = static_cast<int>(::SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
            if (line >= 0) {
                Raise(ControlEvent::Kind::Toggle, *m, line);
            }
            return 0;
        }
        if (msg == WM_CHAR && wParam == ' ') {
            return 0;
        }
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK CheckListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
        return AtBoundary("check list procedure", LRESULT{0}, [&] {
            return reinterpret_cast<Win32ControlSet*>(data)->CheckListMessage(hwnd, msg, wParam, lParam);
        });
    }

    LRESULT DropMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != WM_DROPFILES) {
            return ::DefSubclassProc(hwnd, msg, wParam, lParam);
        }
        std::vector<std::string> files = DroppedFiles(reinterpret_cast<HDROP>(wParam));
        if (const Made* m = ByWindow(hwnd); m != nullptr && m->control->acceptsFiles && !files.empty()) {
            ControlEvent event;
            event.kind = ControlEvent::Kind::Drop;
            event.name = m->control->name;
            event.files = std::move(files);
            Raise(std::move(event));
        }
        return 0;
    }

    static LRESULT CALLBACK DropProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
        return AtBoundary("dropped files procedure", LRESULT{0}, [&] {
            return reinterpret_cast<Win32ControlSet*>(data)->DropMessage(hwnd, msg, wParam, lParam);
        });
    }

    // Which of our controls a child window of a container is.
    const Made* ByWindow(HWND hwnd) const {
        for (const auto& m : made_) {
            if (m->hwnd == hwnd || m->frame == hwnd) {
                return m.get();
            }
        }
        return nullptr;
    }

    LRESULT ContainerMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_COMMAND:
                OnCommand(wParam);
                return 0;
            case WM_NOTIFY:
                OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
                return 0;
            case WM_HSCROLL:
                OnScroll(reinterpret_cast<HWND>(lParam));
                return 0;
            case WM_DRAWITEM:
                DrawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            case WM_MEASUREITEM:
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(Px(kLineHeight));
                return TRUE;
            case DM_GETDEFID:
                if (const Made* m = ByFlag(&Control::isDefault)) {
                    return MAKELONG(m->id, DC_HASDEFID);
                }
                return 0;
            case WM_CTLCOLORSTATIC: {
                const Made* m = ByWindow(reinterpret_cast<HWND>(lParam));
                auto* dc = reinterpret_cast<HDC>(wParam);
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                ::SetTextColor(dc, m != nullptr && m->control->kind == ControlKind::Link ? RGB(0, 0, 255)
                                                                                         : ::GetSysColor(COLOR_BTNTEXT));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            case WM_SETCURSOR: {
                const Made* m = ByWindow(reinterpret_cast<HWND>(wParam));
                if (m == nullptr && reinterpret_cast<HWND>(wParam) == hwnd) {
                    m = ByWindow(hwnd);
                }
                if (m != nullptr && (m->control->handPointer || m->control->kind == ControlKind::Link)) {
                    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                    return TRUE;
                }
                break;
            }
            case WM_LBUTTONUP:
                if (const Made* m = ByWindow(hwnd); m != nullptr && m->control->kind == ControlKind::Image) {
                    Raise(ControlEvent::Kind::Click, *m);
                }
                return 0;
            case WM_ERASEBKGND: {
                RECT r{};
                ::GetClientRect(hwnd, &r);
                ::FillRect(reinterpret_cast<HDC>(wParam), &r, ::GetSysColorBrush(COLOR_BTNFACE));
                if (const Made* m = ByWindow(hwnd); m != nullptr && m->control->raised) {
                    ::DrawEdge(reinterpret_cast<HDC>(wParam), &r, BDR_RAISEDINNER, BF_RECT);
                }
                return 1;
            }
            default:
                break;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = win32::WindowObject<Win32ControlSet>(hwnd, msg, lParam);
        if (self == nullptr) {
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        return AtBoundary("controls procedure", LRESULT{0},
                          [&] { return self->ContainerMessage(hwnd, msg, wParam, lParam); });
    }

    HWND window_;
    Handler onEvent_;
    int dpi_ = 96;
    win32::GdiObject<HFONT> font_;
    win32::GdiObject<HFONT> bold_;
    win32::GdiObject<HFONT> link_;
    std::vector<std::unique_ptr<Made>> made_;
    std::map<std::string, Made*> byName_;
    win32::OwnedWindow root_;
    win32::OwnedWindow tips_;
    bool fitted_;
    POINT origin_{};
    bool syncing_ = false;
    bool clicking_ = false;
};

}  // namespace

std::unique_ptr<ControlSet> ControlSet::Create(Window& window, std::vector<Control*> controls, Handler onEvent,
                                               ControlRoot root) {
    return std::make_unique<Win32ControlSet>(window, std::move(controls), std::move(onEvent), root);
}

}  // namespace plat
