#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Bitmap32.h"
#include "gfx/Geometry.h"
#include "platform/Window.h"

namespace plat {

enum class ControlKind {
    Panel,      // a plain container; `lowered` draws it sunken, `raised` gives it a raised inner bevel
    Tabs,       // the page control: its pages are the controls of kind Page that lie in it
    Page,       // fills its page control's page area; its caption is the tab's
    Group,      // a captioned frame around the controls that lie in it
    Button,     // a push button; a glyph instead of a caption makes it a picture button
    Radio,
    CheckBox,
    Label,
    Link,       // a label drawn as a link, with the hand pointer
    SpinEdit,   // a number between minimum and maximum, typed or stepped with arrows
    TrackBar,   // a slider between minimum and maximum
    CheckList,  // lines with a check box each
    List,       // lines
    Image,      // an area the logic paints through a surface made on it
    Icon,       // the program's own icon
    Text,       // a read-only text that wraps and scrolls
    Bevel,      // a separating line
    Edit,       // a line of text the user types; the caption is the text
    DropDown,   // a closed list that drops down its lines; the current one shows
    Progress,   // a bar filled from minimum to maximum as far as value
    PictureList,  // lines with a small picture each, `pictures` beside `items`
};

// One control of a window as the logic sees it: what it is, where it lies at 96 pixels an inch,
// and its state. The logic changes these fields; the platform shows them.
struct Control {
    std::string name;
    std::string caption;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int tag = 0;  // a code the logic keeps with a group
    gfx::IntRect bounds;  // in the client area of the control it lies in
    ControlKind kind = ControlKind::Panel;
    std::string parent;  // the control it lies in; empty: the window's client area
    int value = 0;
    int minimum = 0;
    int maximum = 0;
    std::vector<std::string> items;  // the lines of a list
    std::vector<bool> checks;        // a check list's marks, one a line
    int itemIndex = -1;              // the current line of a list; the current page of a page control
    std::string glyph;               // a picture button's picture (see gfx/Glyphs.h)
    int glyphSize = 0;               // its side at 96 pixels an inch; 0 fits it to the button
    std::string hint;                // shown as a tooltip while the pointer rests on the control
    bool isDefault = false;          // Enter presses it
    bool isCancel = false;           // Esc presses it
    bool bold = false;
    bool lowered = false;
    bool raised = false;
    bool handPointer = false;
    bool acceptsFiles = false;       // files dropped on it from the shell reach the logic
    // A picture list's pictures, one a line (a null one leaves the line's place empty), each drawn
    // centred in a square of pictureSize pixels at 96 pixels an inch.
    std::vector<std::shared_ptr<const gfx::TBitmap32>> pictures;
    int pictureSize = 0;
};

// What a user did to a control.
struct ControlEvent {
    enum class Kind {
        Click,   // a button, radio button, check box, link or image was clicked
        Change,  // a spin edit or track bar took a new value
        Select,  // a list's current line or a page control's page became `value`
        Toggle,  // a check list's line `value` had its box clicked
        Edited,  // an edit's text became `text`
        Drop,    // `files` were dropped on it from the shell
    };
    Kind kind = Kind::Click;
    std::string name;
    int value = 0;
    std::string text;
    std::vector<std::string> files;
};

// Where the controls lie in their window: over its whole client area (a dialog), or in an area
// only as large as the controls that lie in it directly, placed by the logic in pixels and shown
// only while one of them shows (a tool bar over a picture).
enum class ControlRoot { Client, Fitted };

// The real controls of one of our windows, made from the logic's table. Places and fonts scale by
// the window's pixels an inch / 96.
class ControlSet {
public:
    using Handler = std::function<void(const ControlEvent&)>;

    // Makes the controls in the window's client area; the order of the table is the reading order
    // that Tab follows, and a control lies in a control made before it.
    static std::unique_ptr<ControlSet> Create(Window& window, std::vector<Control*> controls, Handler onEvent,
                                              ControlRoot root = ControlRoot::Client);
    virtual ~ControlSet() = default;

    // A fitted area's top-left corner in the window's client area, in pixels.
    virtual void PlaceRoot(gfx::IntPoint topLeft) = 0;

    // Shows every control as its fields say now.
    virtual void Sync() = 0;
    // Places and fonts for another pixels-an-inch value (a move to another monitor).
    virtual void Rescale(int dpi) = 0;
    virtual int Dpi() const = 0;
    // The window of a control (an Image's surface is made on it).
    virtual WindowHandle Handle(const std::string& name) const = 0;
    // The control that has the keyboard focus; empty when none of ours has it.
    virtual std::string Focused() const = 0;
};

// A length at 96 pixels an inch, at dpi.
int ScaleToDpi(int value, int dpi);
gfx::IntRect ScaleToDpi(const gfx::IntRect& r, int dpi);

}  // namespace plat
