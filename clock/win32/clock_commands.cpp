#include "clock_commands.h"

#include "build_config.h"
#include "settings_keys.h"

namespace tockly::win {

void ClockCommands::on_menu(MenuId id) {
    if (const ToggleItem* item = toggle_item(id)) {
        const bool on = toggle(*item, checks_, s_.settings, g_.settings_path());
        if (item->label) s_.form1.set_label_visible(*item->label, on);
        return;
    }
    switch (id) {
    case MenuId::ShiJianJianHu: toggle_time_guard(checks_, s_.settings, g_.settings_path()); break;
    case MenuId::KaiJiQiDong: toggle_autostart(checks_, s_.registry, executable_); break;
    case MenuId::NaoZhong:
    case MenuId::NaoLingSheZhi: s_.form2.open(); break;
    case MenuId::KaoBian: s_.form1.park(); break;
    case MenuId::ToRenWu: reduce_to_tray(); break;
    case MenuId::ShowNaoZhong: restore_from_tray(); break;
    case MenuId::GuanBiLingSheng: s_.tick.BoFangQi(1).mmClose(); break;
    case MenuId::Help:
        s_.boxes.show(help_text(TOCKLY_HOME_PAGE_URL, TOCKLY_SECOND_PAGE_URL), help_title, MessageIcon::information);
        break;
    case MenuId::Vornhall: {
        ShellOpen page;
        page.file = TOCKLY_HOME_PAGE_URL;
        // Until the project has a public page the release opens its readme
        // in the program folder.
        if (page.file.find("://") == std::string::npos) page.file = g_.ChengXuLuJing + page.file;
        page.folder = g_.ChengXuLuJing;
        page.show_command = show_command_show;
        s_.shell.open(page);  // a failure to open the page is not the clock's concern
        break;
    }
    case MenuId::TuiChu: exit_program(); break;
    default: break;
    }
}

bool ClockCommands::menu_checked(MenuId id) {
    if (const ToggleItem* item = toggle_item(id)) return checks_.*item->check;
    if (id == MenuId::ShiJianJianHu) return checks_.ShiJianJianHu;
    if (id == MenuId::KaiJiQiDong) return checks_.KaiJiQiDong;
    return false;
}

bool ClockCommands::menu_enabled(MenuId id) {
    if (id == MenuId::ShiJianJianHu) return network_.ShiJianJianHu;
    if (id == MenuId::Vornhall) return network_.Vornhall;
    return true;
}

void ClockCommands::on_label3_click() {
    s_.boxes.show(alarm_list_text(g_), "Tockly", MessageIcon::information);
}

std::optional<LunarTexts> ClockCommands::lunar_today() { return s_.nongli.texts_for(today_ole_date()); }

void ClockCommands::on_label5_click() {
    const auto texts = lunar_today();
    s_.boxes.show(texts ? lunar_message(*texts) : std::string(lunar_unavailable), lunar_message_title,
                  MessageIcon::information);
}

std::string ClockCommands::label5_tooltip() {
    const auto texts = lunar_today();
    return texts ? lunar_tooltip(*texts) : std::string(lunar_unavailable);
}

void ClockCommands::reduce_to_tray() {
    s_.form1.show_tray_icon(form1::tray_tooltip);
    s_.form1.hide();
    XieRuINI(s_.settings, ini::ToMin::section, ini::ToMin::tomin, "0", g_.settings_path());
}

void ClockCommands::restore_from_tray() {
    XieRuINI(s_.settings, ini::ToMin::section, ini::ToMin::tomin, "1", g_.settings_path());
    s_.form1.remove_tray_icon();
    s_.form1.show();
}

void ClockCommands::on_tray_activate() { restore_from_tray(); }

void ClockCommands::exit_program() {
    s_.tick.BoFangQi(0).mmClose();
    s_.tick.BoFangQi(1).mmClose();
    // The notice window ends the program once this text has left the screen.
    s_.notices.TiShi(300, 1000, 300, goodbye_text);
    s_.form1.remove_tray_icon();
    s_.form1.start_timer2();
}

void ClockCommands::on_timer2() {
    // At the latest on the sixth tick, 3 s after the command.
    if (exit_.on_timer2()) ExitProcess(0);
}

}  // namespace tockly::win
