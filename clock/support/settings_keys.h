// Every section and key of Software_information.ini, in one place.
#pragma once

#include <string>
#include <string_view>

namespace tockly::ini {

inline constexpr std::string_view file_name = "Software_information.ini";

namespace mts {
inline constexpr std::string_view section = "mts";
inline constexpr std::string_view matisheng0 = "matisheng0";
inline constexpr std::string_view fatiaosheng0 = "fatiaosheng0";
}  // namespace mts

namespace zdtx {
inline constexpr std::string_view section = "zdtx";
inline constexpr std::string_view zhengdian0 = "zhengdian0";
inline constexpr std::string_view BanDian0 = "BanDian0";
}  // namespace zdtx

namespace XianShi {
inline constexpr std::string_view section = "XianShi";
inline constexpr std::string_view XS_NianYue0 = "XS_NianYue0";
inline constexpr std::string_view XS_RiQi0 = "XS_RiQi0";
inline constexpr std::string_view XS_ShiJian0 = "XS_ShiJian0";
inline constexpr std::string_view XS_XingQi0 = "XS_XingQi0";
}  // namespace XianShi

namespace GuanJi {
inline constexpr std::string_view section = "GuanJi";
inline constexpr std::string_view GjShiJian = "GjShiJian";
}  // namespace GuanJi

namespace jianhu {
inline constexpr std::string_view section = "jianhu";
inline constexpr std::string_view shijianJH = "shijianJH";
inline constexpr std::string_view jianhuzd = "jianhuzd";
}  // namespace jianhu

namespace PiFu {
inline constexpr std::string_view section = "PiFu";
inline constexpr std::string_view pifu0 = "pifu0";
}  // namespace PiFu

namespace naoling {
inline constexpr std::string_view section = "naoling";
// Written by the dialog as NaoLingShu0, read at start-up as naolingshu0:
// profile names are compared without regard to case.
inline constexpr std::string_view NaoLingShu0 = "NaoLingShu0";
inline constexpr std::string_view naolingshu0 = "naolingshu0";
inline constexpr int max_rows = 10;
// Row keys: the row index in decimal followed by sj (time), ls (ring), ts (notice), cf (repeat).
inline std::string time_key(int row) { return std::to_string(row) + "sj"; }
inline std::string sound_key(int row) { return std::to_string(row) + "ls"; }
inline std::string notice_key(int row) { return std::to_string(row) + "ts"; }
// When the row repeats (a rule such as workday or lunar:08-15); missing or
// empty means every day, so older files keep their meaning.
inline std::string rule_key(int row) { return std::to_string(row) + "cf"; }
}  // namespace naoling

// Putting a ring off ("N 分钟后再响"). Missing keys mean 5 minutes, 3 times, nothing pending.
namespace zaixiang {
inline constexpr std::string_view section = "zaixiang";
// Minutes a ring is put off, 1..60.
inline constexpr std::string_view fenzhong = "fenzhong";
// How many times one ring may be put off.
inline constexpr std::string_view cishu = "cishu";
// The pending snooze, "row,YYYY-MM-DD HH:MM:SS,count" in local time; empty: none.
inline constexpr std::string_view dengdai = "dengdai";
}  // namespace zaixiang

// What the clock remembers of its own run.
namespace yunxing {
inline constexpr std::string_view section = "yunxing";
// The local time it last ran, "YYYY-MM-DD HH:MM:SS", written at most once a
// minute (and when an alarm rings): at start, what passed since is listed.
inline constexpr std::string_view shangci = "shangci";
}  // namespace yunxing

namespace QiDong {
inline constexpr std::string_view section = "QiDong";
inline constexpr std::string_view QDShiJian = "QDShiJian";
inline constexpr std::string_view QDneirong = "QDneirong";
}  // namespace QiDong

namespace ToMin {
inline constexpr std::string_view section = "ToMin";
inline constexpr std::string_view tomin = "tomin";
}  // namespace ToMin

// The PC woken from sleep or hibernation for the next alarm (a wake timer):
// "1" on; missing or anything else off, so no file wakes a PC by surprise.
namespace HuanXing {
inline constexpr std::string_view section = "HuanXing";
inline constexpr std::string_view HuanXingDianNao = "HuanXingDianNao";
}  // namespace HuanXing

// The clock stays top-most over a full-screen program: "1"; missing or
// anything else: it steps aside (and keeps quiet) while one is in front.
namespace QuanPing {
inline constexpr std::string_view section = "QuanPing";
inline constexpr std::string_view QuanPingZhiDing = "QuanPingZhiDing";
}  // namespace QuanPing

namespace pingipname {
inline constexpr std::string_view section = "pingipname";
inline constexpr std::string_view IPtoping = "IPtoping";
}  // namespace pingipname

}  // namespace tockly::ini

namespace tockly::voice {
inline constexpr std::string_view folder = "Voice\\";
inline constexpr std::string_view alarm_folder = "Voice\\NaoLing\\";
inline constexpr std::string_view ticking_folder = "Voice\\Mati\\";
inline constexpr std::string_view skin_folder = "Voice\\pifu\\";
inline constexpr std::string_view chime_folder = "Voice\\ZhengDian\\";
inline constexpr std::string_view default_ticking = "fatiao3.wav";
}  // namespace tockly::voice
