// The native view: form models shown as USER32 windows, driven by the
// messages the user's mouse and keyboard would send.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/forms/win32/win32_app.h"

namespace forms::win32 {
namespace {

class Sample : public Form {
public:
    Sample() : Form("frmSample") {
        SetCaption("Sample");
        SetClientSize(4800, 3600);
        AddControls({
            {"lblName", -1, ControlKind::Label, "&Name:", nullptr, -1, 120, 120, 1200, 255, 0},
            {"txtName", -1, ControlKind::TextBox, "", nullptr, -1, 1440, 120, 2400, 315, 1},
            {"fraChoice", -1, ControlKind::Frame, "Choice", nullptr, -1, 120, 600, 2400, 1800, 2},
            {"lstItems", -1, ControlKind::ListBox, "", "fraChoice", -1, 120, 240, 2100, 1200, 3},
            {"lstChecks", -1, ControlKind::ListBox, "", nullptr, -1, 2640, 600, 2000, 1200, 4},
            {"cmdOK", -1, ControlKind::CommandButton, "OK", nullptr, -1, 2640, 3000, 960, 375, 5},
            {"cmdCancel", -1, ControlKind::CommandButton, "Cancel", nullptr, -1, 3720, 3000, 960,
             375, 6},
        });
        Get<CommandButton>("cmdOK").SetDefault(true);
        Get<CommandButton>("cmdCancel").SetCancel(true);
        Get<ListBox>("lstChecks").SetStyle(1);
        for (const char* text : {"alpha", "beta", "gamma"}) {
            Get<ListBox>("lstItems").AddItem(text);
            Get<ListBox>("lstChecks").AddItem(text);
        }
        Get<CommandButton>("cmdOK").onClick = [this] { ++okClicks; };
        Get<CommandButton>("cmdCancel").onClick = [this] { Hide(); };
        Get<ListBox>("lstItems").onClick = [this] { ++listClicks; };
        Get<ListBox>("lstChecks").onItemCheck = [this](int item) { checked.push_back(item); };
        Get<TextBox>("txtName").onChange = [this] { ++changes; };
        Get<TextBox>("txtName").onKeyPress = [](int& key) {
            if (key >= '0' && key <= '9') key = 0;  // digits are refused
        };
    }
    int okClicks = 0, listClicks = 0, changes = 0;
    std::vector<int> checked;
};

class Win32View : public ::testing::Test {
protected:
    void SetUp() override { EnsureWin32Ui(); }
    void TearDown() override {
        form.Unload();
        SetMessageBoxHook(nullptr);
    }
    HWND Window(const char* name) { return static_cast<HWND>(WindowOf(form.Ctl(name))); }
    // Delivers what is queued, as the message loop would.
    void Pump() { DoEvents(); }
    // A mouse click at a pixel of a control's client area.
    void Click(HWND w, int x, int y) {
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    void Key(HWND w, WPARAM key) {
        PostMessageA(w, WM_KEYDOWN, key, 1);
        PostMessageA(w, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    int RowHeight(HWND list) {
        return static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    }

    Sample form;
};

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

// The shell gives every unowned top-level window a task-bar button: a form
// kept off the task bar is owned by a hidden window, another form by none.
TEST_F(Win32View, AFormOffTheTaskBarIsOwnedByAHiddenWindow) {
    form.Show();
    EXPECT_EQ(GetWindow(static_cast<HWND>(WindowOf(form)), GW_OWNER), nullptr);
    Sample about;
    about.SetShowInTaskbar(false);
    about.Show();
    const HWND owner = GetWindow(static_cast<HWND>(WindowOf(about)), GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    about.Unload();
}

TEST_F(Win32View, ControlsAreNativeWindowsAtTheirTwipGeometry) {
    form.Show();
    HWND top = static_cast<HWND>(WindowOf(form));
    ASSERT_TRUE(top);
    RECT client{};
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 320);  // 4800 twips at 15 twips a pixel
    EXPECT_EQ(client.bottom, 240);
    char caption[64];
    GetWindowTextA(top, caption, sizeof caption);
    EXPECT_STREQ(caption, "Sample");

    EXPECT_EQ(ClassOf(Window("txtName")), "Edit");
    EXPECT_EQ(ClassOf(Window("cmdOK")), "Button");
    EXPECT_EQ(ClassOf(Window("lstItems")), "ListBox");
    EXPECT_EQ(ClassOf(Window("lblName")), "Static");
    EXPECT_EQ(GetWindowLongA(Window("cmdOK"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    // A control inside a frame sits at the frame's position plus its own.
    RECT r{};
    GetWindowRect(Window("lstItems"), &r);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, (120 + 120) / 15);
    EXPECT_EQ(r.top, (600 + 240) / 15);
    EXPECT_EQ(r.right - r.left, 2100 / 15);
    // MS Sans Serif 8.25 pt is 11 pixels high at 96 DPI.
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Window("cmdOK"), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -11);
    // Code's changes reach the windows.
    form.Get<TextBox>("txtName").SetText("typed by code");
    form.Get<Label>("lblName").SetCaption("&Title:");
    char text[64];
    GetWindowTextA(Window("txtName"), text, sizeof text);
    EXPECT_STREQ(text, "typed by code");
    GetWindowTextA(Window("lblName"), text, sizeof text);
    EXPECT_STREQ(text, "&Title:");
    form.Get<CommandButton>("cmdOK").SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Window("cmdOK")));
    form.Get<Frame>("fraChoice").SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(Window("lstItems")));
}

TEST_F(Win32View, ClicksAndKeysRaiseTheModelsEvents) {
    form.Show();
    SendMessageA(Window("cmdOK"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(form.okClicks, 1);

    // Typing goes through KeyPress: digits are refused, letters change the text.
    SetFocus(Window("txtName"));
    for (char c : std::string("a1b"))
        PostMessageA(Window("txtName"), WM_CHAR, static_cast<WPARAM>(c), 1);
    Pump();
    EXPECT_EQ(form.Get<TextBox>("txtName").Text(), "ab");
    EXPECT_EQ(form.changes, 2);
    char text[16];
    GetWindowTextA(Window("txtName"), text, sizeof text);
    EXPECT_STREQ(text, "ab");

    // Enter presses the default button, Escape the cancel button.
    Key(Window("txtName"), VK_RETURN);
    EXPECT_EQ(form.okClicks, 2);
    Key(Window("txtName"), VK_ESCAPE);
    EXPECT_FALSE(form.Visible());
}

TEST_F(Win32View, AListRaisesClickOnlyWhenTheUserPicksAnEntry) {
    form.Show();
    HWND list = Window("lstItems");
    auto& model = form.Get<ListBox>("lstItems");
    // Focus alone picks nothing.
    SetFocus(list);
    Pump();
    EXPECT_EQ(form.listClicks, 0);
    EXPECT_EQ(form.Ctl("lstItems").HasFocus(), true);

    Click(list, 10, RowHeight(list) + 2);
    EXPECT_EQ(model.ListIndex(), 1);
    EXPECT_EQ(form.listClicks, 1);
    // A click on the current entry is a pick too.
    Click(list, 10, RowHeight(list) + 2);
    EXPECT_EQ(form.listClicks, 2);
    Key(list, VK_DOWN);
    EXPECT_EQ(model.ListIndex(), 2);
    EXPECT_EQ(form.listClicks, 3);
    // Already at the end: the arrow moves nothing and picks nothing.
    Key(list, VK_DOWN);
    EXPECT_EQ(form.listClicks, 3);
    PostMessageA(list, WM_CHAR, ' ', 1);
    Pump();
    EXPECT_EQ(form.listClicks, 4);

    // Code selects silently in the window: LB_SETCURSEL raises no notification.
    EXPECT_EQ(model.SelectString(-1, "AL"), 0);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(form.listClicks, 4);
    model.SetHorizontalExtent(500);
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 500);
}

TEST_F(Win32View, ACheckListTogglesOnTheBoxAndOnSpace) {
    form.Show();
    HWND list = Window("lstChecks");
    auto& model = form.Get<ListBox>("lstChecks");
    Click(list, 5, RowHeight(list) * 2 + 2);
    EXPECT_TRUE(model.Selected(2));
    SetFocus(list);
    PostMessageA(list, WM_CHAR, ' ', 1);
    Pump();
    EXPECT_FALSE(model.Selected(2));
    EXPECT_EQ(form.checked, (std::vector<int>{2, 2}));
    // A click on the text selects without toggling.
    Click(list, 60, 2);
    EXPECT_EQ(model.ListIndex(), 0);
    EXPECT_FALSE(model.Selected(0));
}

// The form a timer presses Escape in once its modal loop runs. The key goes to
// the form's own window: which window is active depends on the display's
// other clients.
Form* escapeTarget = nullptr;

VOID CALLBACK PressEscapeInTheForm(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(static_cast<HWND>(WindowOf(*escapeTarget)), WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(Win32View, AModalFormReturnsOnceHidden) {
    escapeTarget = &form;
    SetTimer(nullptr, 0, 100, &PressEscapeInTheForm);
    form.Show(vbModal);  // Escape presses Cancel, which hides the form
    EXPECT_FALSE(form.Visible());
}

TEST_F(Win32View, MessageBoxesAreAnsweredByTheHookAndTheHourglassShows) {
    std::string seen;
    SetMessageBoxHook([&](const std::string& prompt, int buttons, const std::string& title) {
        seen = title + ": " + prompt + " " + std::to_string(buttons);
        return vbNo;
    });
    EXPECT_EQ(MsgBox("Replace?", vbYesNo | vbQuestion, "Larkspur"), vbNo);
    EXPECT_EQ(seen, "Larkspur: Replace? " + std::to_string(vbYesNo | vbQuestion));

    form.Show();
    Screen().SetMousePointer(vbHourglass);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    Screen().SetMousePointer(vbDefault);
    EXPECT_NE(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
}

// A form that warns in Form_Load, before its window is shown, with a real
// message box (as Larkspur does when the runtime is missing).
class WarnsAtStart : public Sample {
public:
    void Form_Load() override { MsgBox("The runtime is missing.", vbOKOnly, "Start-up"); }
};

TEST(Win32ViewStart, AfterAStartUpMessageBoxTheFormIsActiveAndHasTheKeyboard) {
    EnsureWin32Ui();
    SetMessageBoxHook(nullptr);
    // Answers the message box as a user would, once it is on screen.
    std::atomic<bool> answered{false};
    std::thread user([&answered] {
        for (int i = 0; i < 200 && !answered; ++i) {
            if (HWND box = FindWindowA("#32770", "Start-up")) {
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                answered = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    WarnsAtStart form;
    form.Show();
    user.join();
    ASSERT_TRUE(answered) << "no message box was shown";
    DoEvents();
    HWND top = static_cast<HWND>(WindowOf(form));
    EXPECT_EQ(GetActiveWindow(), top);
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(IsChild(top, focus));
    // Typing reaches the first control of the tab order.
    PostMessageA(focus, WM_CHAR, 'x', 1);
    DoEvents();
    EXPECT_EQ(form.Get<TextBox>("txtName").Text(), "x");
    form.Unload();
}

TEST_F(Win32View, FocusRectanglesShowAndListsShowWholeRows) {
    form.Show();
    HWND top = static_cast<HWND>(WindowOf(form));
    const LRESULT cues = SendMessageA(Window("cmdOK"), WM_QUERYUISTATE, 0, 0);
    EXPECT_FALSE(cues & UISF_HIDEFOCUS);
    (void)top;
    for (const char* list : {"lstItems", "lstChecks"}) {
        RECT client{};
        GetClientRect(Window(list), &client);
        const int row = RowHeight(Window(list));
        ASSERT_GT(row, 0);
        EXPECT_EQ(client.bottom % row, 0) << list << ": " << client.bottom << " pixels, rows of " << row;
    }
}

TEST_F(Win32View, AFramesInsideShowsTheFormBehindIt) {
    form.Show();
    HWND top = static_cast<HWND>(WindowOf(form));
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // What is on screen, children included: inside fraChoice, below its list.
    HDC dc = GetDCEx(top, nullptr, DCX_CACHE);
    const COLORREF inside = GetPixel(dc, 12, 150);
    ReleaseDC(top, dc);
    EXPECT_EQ(inside, GetSysColor(COLOR_BTNFACE));
}

TEST_F(Win32View, AScreenshotIsAPngOfTheClientArea) {
    form.Show();
    const auto path = std::filesystem::temp_directory_path() / "tarnwick-win32-view.png";
    ASSERT_TRUE(Screenshot(form, path.string()));
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string png = bytes.str();
    std::filesystem::remove(path);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    auto at = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(png[i])) << 24 |
               static_cast<unsigned>(static_cast<unsigned char>(png[i + 1])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(png[i + 2])) << 8 |
               static_cast<unsigned char>(png[i + 3]);
    };
    EXPECT_EQ(at(16), 320u);
    EXPECT_EQ(at(20), 240u);
    // Raw rows: 240 of 1 + 320 * 3 bytes, in stored blocks, plus the chunks.
    EXPECT_GT(png.size(), 240u * (1 + 320 * 3));
}

}  // namespace
}  // namespace forms::win32
