// NoticeBand on screen: a borderless top-most band as wide as the screen,
// white as its colour key, with the notice text (text_label, a child control so
// that other programs can read it) and the animated picture (picture) at its
// right end. It renders the NoticeBand model and forwards its four timers
// and the click on the picture to it.
#pragma once

#include <windows.h>

#include <array>

#include "win32kit/handles.h"
#include "clock/windows/picture.h"
#include "clock/model/notice_band_model.h"
#include "win32kit/window.h"

namespace tockly::win {

inline constexpr wchar_t notice_band_class_name[] = L"TocklyTiShiChuang";

class NoticeBandWindow : public NoticeView, public win32kit::Window<NoticeBandWindow> {
public:
    NoticeBandWindow(HINSTANCE instance, ScreenMetrics screen);
    ~NoticeBandWindow() override;
    static bool register_class(HINSTANCE instance);
    void attach(NoticeBand& model) { model_ = &model; }

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
    friend class win32kit::Window<NoticeBandWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void draw_label(const DRAWITEMSTRUCT& item);
    void draw_image(const DRAWITEMSTRUCT& item);
    const Picture* frame(int resource_number);
    int px_x(double twips) const;
    int px_y(double twips) const;

    HINSTANCE instance_;
    ScreenMetrics screen_;
    NoticeBand* model_ = nullptr;
    HWND label_ = nullptr;
    HWND image_ = nullptr;
    int left_px_ = 0;
    int frame_shown_ = 0;
    win32kit::unique_hfont font_;
    std::array<Picture, notice_design::frame_count> frames_;
    std::array<Picture, notice_design::frame_count> drawn_frames_;
    std::array<bool, notice_design::frame_count> frame_tried_{};
};

}  // namespace tockly::win
