// TiShiChuang on screen: a borderless top-most band as wide as the screen,
// white as its colour key, with the notice text (Label1, a child control so
// that other programs can read it) and the animated picture (Image1) at its
// right end. It renders the TiShiChuang model and forwards its four timers
// and the click on the picture to it.
#pragma once

#include <windows.h>

#include <array>

#include "handles.h"
#include "picture.h"
#include "tishi.h"
#include "window.h"

namespace tockly::win {

using namespace win32kit;

inline constexpr wchar_t tishi_class_name[] = L"TocklyTiShiChuang";

class TiShiWindow : public NoticeView, public Window<TiShiWindow> {
public:
    TiShiWindow(HINSTANCE instance, ScreenMetrics screen);
    ~TiShiWindow() override;
    static bool register_class(HINSTANCE instance);
    void attach(TiShiChuang& model) { model_ = &model; }

    // NoticeView
    void load(const NoticeLayout& layout) override;
    void set_text(std::string_view text) override;
    void move_top(double top_twips) override;
    void show_frame(int resource_number) override;
    void enable_timer(NoticeTimer timer, bool on) override;
    void show() override;
    void unload() override;
    void end_program() override;

private:
    friend class Window<TiShiWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void draw_label(const DRAWITEMSTRUCT& item);
    void draw_image(const DRAWITEMSTRUCT& item);
    const Picture* frame(int resource_number);
    int px_x(double twips) const;
    int px_y(double twips) const;

    HINSTANCE instance_;
    ScreenMetrics screen_;
    TiShiChuang* model_ = nullptr;
    HWND label_ = nullptr;
    HWND image_ = nullptr;
    int left_px_ = 0;
    int frame_shown_ = 0;
    unique_hfont font_;
    std::array<Picture, tishi::frame_count> frames_;
    std::array<Picture, tishi::frame_count> drawn_frames_;
    std::array<bool, tishi::frame_count> frame_tried_{};
};

}  // namespace tockly::win
