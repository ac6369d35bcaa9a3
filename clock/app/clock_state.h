// The clock program's shared globals: filled at start-up, read by the tick,
// rewritten by the settings dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tockly {

struct AlarmRow {
    std::string time;    // the time text as stored (regional long-time form)
    std::string sound;   // file name in Voice\NaoLing
    std::string notice;  // the notice text
};

struct ClockGlobals {
    std::string ChengXuLuJing;      // program folder, always ending in a backslash
    bool LuJingWuKongGe = true;     // the folder holds no space (sounds can play)
    std::string GuanJiShiJian;      // scheduled shutdown time text, empty: none
    bool LianWang = false;          // network reachable at the last check
    std::string PiFuLuJing;         // skin picture path, empty for the default face
    std::string FaTiaoSheng;        // ticking sound file name in Voice\Mati
    std::int16_t NaoLingShu = 0;    // alarm rows in use
    std::array<AlarmRow, 10> NaoLingBiao{};
    std::string QiDongShiJian;      // scheduled start time text, empty: none
    std::string QiDongNeiRong;      // what is opened at that time

    std::string settings_path() const;
};

// The check marks of the clock's menu items that start-up sets.
struct MenuChecks {
    bool MaTiSheng = true;
    bool ZhengDian = true;
    bool BanDian = true;
    bool ShiJianJianHu = true;
    bool XS_NianYue = true;
    bool XS_RiQi = true;
    bool XS_ShiJian = true;
    bool XS_XingQi = true;
    bool KaiJiQiDong = false;
};

// Whether the two network-dependent menu items can be chosen: the time guard
// and the maker's web page. A network check that finds no network disables
// both (their check marks stay); a later check that finds it enables them.
struct NetworkItems {
    bool ShiJianJianHu = true;
    bool Vornhall = true;
};

}  // namespace tockly
