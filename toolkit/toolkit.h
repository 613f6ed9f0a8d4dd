// The dialog toolkit: windows by handle with one current window and one current dialog,
// dialogs by resource number, fields by resource number, menus, the status bar, an explicit
// event wait, file dialogs, message boxes and the warning sound. Two builds stand behind it,
// chosen when the program is built: Qt 6 Widgets (toolkit/qt/) and the Win32 API
// (toolkit/win32/). Nothing here names either.
//
// Texts cross this interface as UTF-8 and are shown as plain text. A window owns everything it
// shows, so a window that is gone leaves nothing dangling behind it.
#pragma once

#include <climits>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

enum class EventKind {
    None,
    MenuSelect,    ///< value1: menu item identifier
    PushButton,    ///< value1: button identifier
    CloseRequest,  ///< the close box of `window`
    FieldChanged,  ///< value1, value2: field identifiers (equal when a button changed state;
                   ///< value2 0 when the user typed into text field value1)
};

/// An event and the window it came from. Window handles are never reused, so an event of a
/// window that has since been closed names no open window.
struct Event {
    EventKind kind = EventKind::None;
    int window = 0;
    int value1 = 0;
    int value2 = 0;
};

// ---- resources ------------------------------------------------------------------------------

enum class TextAlign { Left, Right, Centre };

/// What a dialog's resource does not say of one of its fields: how screen readers name it, how
/// wide it is, what it holds. The fields of a dialog are registered in the order Tab moves
/// through them; labels (and reasons) are named but take no focus.
struct FieldSetup {
    enum class Role {
        Label,   ///< a caption or other static text
        Reason,  ///< says why a field failed: announced as an alert when it changes; `name` describes it
        Text,    ///< a text field
        Number,  ///< a text field holding a number padded to its width: copied, it gives the number alone
        List,    ///< a drop-down list of `items`, `selected` (from 0) chosen
        Other,   ///< a button, check box, radio button, or a viewer's text
    };
    int id = 0;
    Role role = Role::Other;
    std::string name;       ///< what screen readers call the field
    int chars = 0;          ///< text fields: characters shown whole, in the widest digit (0: as the resource)
    int max_length = 0;     ///< text fields: characters accepted (0: no limit)
    TextAlign align = TextAlign::Left;
    bool read_only = false; ///< text fields: selectable and copyable, but the user cannot type there
    bool checked = false;   ///< radio buttons and check boxes: ticked when the dialog opens
    std::vector<std::string> items;
    int selected = 0;
};
void register_fields(int dialog, std::vector<FieldSetup> fields);

struct MenuItem {
    int id;
    std::string text;  ///< "&" marks the access key
};
void register_menu(int id, std::vector<MenuItem> items);

// ---- windows (window.cpp) -------------------------------------------------------------------

/// Window flags of windowopenchild2.
inline constexpr int kSysMenu = 1;
inline constexpr int kMinButton = 2;
inline constexpr int kStatusBar = 4;
/// Position meaning "centred on the screen".
inline constexpr int kCentred = INT_MIN;

void winitialise();
/// Opens the hidden root window.
void windowopen2();
/// Opens a top-level window showing `dialog` (0: none), sized to it and not resizable, with
/// menu `menu` (0: none); at (x, y) or centred. It becomes the current window, its dialog the
/// current dialog.
void windowopenchild2(int& handle, int flags, int x, int y, int menu, int dialog, const std::string& title);
/// Closes a child window and deletes it with everything it shows.
void windowclosechild(int handle);
/// Closes the root window (and whatever is still open).
void windowclose();
void windowselect(int handle);
/// Item 5: x, item 6: y of the current window's position on the screen (pixels).
int winfowindow(int item);
/// Text (trailing blanks removed) into a part (from 1) of the current window's status bar; a
/// text too long for the bar is elided in the middle and shown whole as the tooltip.
void windowoutstatusbar(int part, const std::string& text);
/// Enables (state 1) or disables (0) a menu item of the current window.
void wmenusetstate(int item, int kind, int state);

// ---- events (pump.cpp) ----------------------------------------------------------------------

/// Switches the delivery of an event kind on (1) or off (0); field changes start off.
void wmessageenable(EventKind kind, int enable);
/// Waits for the next event, running the window system meanwhile.
void wmessage(EventKind& kind, Event& event);
/// Sounds the default warning for a blank name.
void windowbell(const std::string& name);

// ---- dialogs and fields (dialog.cpp) --------------------------------------------------------

/// Loads a modal dialog over the current window; it becomes the current dialog. Button 1
/// ("OK") ends it.
void wdialogload(int id);
void wdialogunload();
/// Shows the loaded dialog modally (centred for -1, -1) until it is closed.
void wdialogshow(int x, int y, int focus, int type);
/// Makes a loaded or shown dialog current; otherwise nothing changes.
void wdialogselect(int id);
void wdialogputstring(int field, const std::string& text);
void wdialoggetstring(int field, std::string& text);
/// 1: the user can type in (or use) the field; 0: not. A text field then stays readable,
/// selectable and copyable (read-only); other controls are disabled.
void wdialogfieldstate(int field, int state);
/// What a screen reader says about a field beyond its name (empty: nothing).
void wdialogsetdescription(int field, const std::string& text);
void wdialogsetfield(int field);
/// 1 when the check box or radio button `field` is ticked, else 0.
void wdialoggetcheckbox(int field, int& state);
void wdialoggetmenu1(int field, int& index);

/// Integer formatted by "(iW)": right-aligned in W characters, asterisks when too wide.
void integertostring(int value, std::string& text, std::string_view format);

// ---- file dialogs and message boxes (filedialog.cpp) ----------------------------------------

/// Flags of wselectfile2.
inline constexpr int kLoadDialog = 1;
inline constexpr int kSaveDialog = 2;
inline constexpr int kPromptOn = 4;   ///< load: confirm a missing file; save: confirm overwriting
inline constexpr int kDirChange = 8;  ///< keep the chosen file's directory as working directory

/// The window system's file dialog. Filter: pairs "description|pattern|"; the pattern "*.*" lists every
/// file, with or without a dot. On OK `path` holds the chosen file and winfodialog(4) returns
/// 1; after a cancel it returns 0 and `path` is unchanged. The dialog opens in `folder`, or in
/// the working directory when that is empty.
void wselectfile2(const std::string& filter, int flags, std::string& path, const std::string& title,
                  const std::string& folder = {});
int winfodialog(int item);
/// Modal box with an OK button and an information icon.
void wmessagebox(int buttons, int icon, int default_button, const std::string& text, const std::string& title);

/// A modal progress dialog over the current window with the button "Abbrechen": while it is
/// shown no other window takes input, yet every window stays painted.
void wprogressshow(const std::string& title);
/// Shows the share done in whole percent (0..100), the same number the text gives, and a text;
/// returns 1 once "Abbrechen" (or Escape) was pressed.
int wprogressupdate(int percent, const std::string& text);
void wprogressclose();

}  // namespace toolkit
