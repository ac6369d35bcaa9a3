// Form2 on screen: the alarm and settings dialog with every control at its
// design place. It renders the Form2 model and turns the controls' messages
// into the model's events; the rules live in clock/app/form2.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "form2.h"
#include "form2_ports.h"
#include "handles.h"
#include "tishi.h"
#include "window.h"

namespace tockly::win {

using namespace win32kit;

inline constexpr wchar_t form2_class_name[] = L"TocklyForm2";

// Control identifiers, so that other programs (and the tests) find the controls.
namespace form2_ids {
inline constexpr int Text1 = 1000;   // + row
inline constexpr int Combo1 = 1100;  // + index 0..10
inline constexpr int Text2 = 1200;   // + row
inline constexpr int Text3 = 1300;
inline constexpr int Text4 = 1301;
inline constexpr int Text5 = 1302;
inline constexpr int Combo2 = 1303;
inline constexpr int Label1 = 1400;  // + index 0..6
inline constexpr int Label2 = 1500;  // + index 0..9
inline constexpr int Label3 = 1600;
inline constexpr int Label4 = 1700;  // + index 0..1
inline constexpr int Command1 = 1800;
}  // namespace form2_ids

// The captions show the notice window itself.
class TiShiCaptionNotice : public CaptionNotice {
public:
    explicit TiShiCaptionNotice(TiShiChuang& notice) : notice_(notice) {}
    void Show() override { notice_.Show(); }
private:
    TiShiChuang& notice_;
};

// What the dialog works with besides its own ports; all owned by the program.
struct Form2Services {
    ProfileStore& profile;
    MessageBoxes& boxes;
    Resources& resources;
    FileSystem& files;
    FaceWindow& face;
    CaptionNotice& notice;
    TimeFormat time_format;
    ScreenMetrics screen;
};

class Form2Window : public Window<Form2Window> {
public:
    Form2Window(HINSTANCE instance, Form2Services services, ClockGlobals& globals);
    ~Form2Window();
    Form2Window(const Form2Window&) = delete;
    Form2Window& operator=(const Form2Window&) = delete;

    // Creates, loads and centres the dialog, or brings the open one to the front.
    void open();

private:
    friend class Window<Form2Window>;
    static LRESULT CALLBACK control_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle_control(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void on_command(int id, int code, HWND control);
    void create_controls();
    HWND add_control(const wchar_t* cls, const std::string& text, DWORD style, DWORD ex_style, int id,
                     form2::Place place, HFONT font);
    HWND add_label(int id, const form2::Caption& caption, HFONT font, DWORD align = SS_LEFT);
    void add_tooltip(HWND control, std::string_view text);
    void draw_button(const DRAWITEMSTRUCT& item);
    HBRUSH colour_static(HDC dc, HWND control);

    // Runs one event of the model and shows what it changed.
    template <typename Event>
    void run(Event&& event);
    void render();
    void apply_requests();
    void set_control_text(Box box, const std::string& text);
    HWND control(Box box) const;
    std::string text_of(HWND control) const;

    int px_x(int twips) const;
    int px_y(int twips) const;
    unique_hfont make_font(double points, bool bold) const;

    HINSTANCE instance_;
    Form2Services services_;
    ClockGlobals& globals_;
    Win32Folders folders_;
    Win32FileOpenDialog file_dialog_;
    std::unique_ptr<Form2> model_;
    HWND tooltip_ = nullptr;
    HWND last_focus_ = nullptr;
    std::map<HWND, Box> boxes_;            // edits, combos and the combos' edit parts
    std::map<int, std::string> shown_;     // control id -> the text the control shows
    std::string message_shown_;
    int lists_shown_ = -1;
    bool rendering_ = false;               // the controls' notifications are our own doing
    bool holding_focus_ = false;           // a time box takes the focus back
    unique_hfont box_font_, low_box_font_, heading_font_, small_font_, number_font_;
    unique_hbrush button_brush_;
};

}  // namespace tockly::win
