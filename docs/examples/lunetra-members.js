// Every member of Lunetra from JScript: cscript //nologo lunetra-members.js
// The control must be registered (regsvr32 Lunetra.ocx). The script counts the
// answers that are right and ends with that count as its exit code: 13 when
// all are; fewer when one is wrong or the script stopped at an error.
var c = new ActiveXObject("Lunetra2.Lunetra");
var passed = 0;
function check(ok) { if (ok) passed++; }

// A date as COM takes it: getVarDate() of a JScript date. A JScript without
// getVarDate (Wine's) gets the OLE day number instead, the days since
// 30 December 1899, which the control reads as the same date.
function comDate(year, month, day) {
  var date = new Date(year, month - 1, day);
  if (date.getVarDate) return date.getVarDate();
  return (Date.UTC(year, month - 1, day) - Date.UTC(1899, 11, 30)) / 86400000;
}
var d = comDate(2024, 2, 10);

// The lunar texts of a date, compared by their code points: 甲辰年 (the year),
// 龙 (the dragon), 一月 and 初一 (the month and day), 农历 and those three (the
// whole date), and 水瓶座 (Aquarius).
check(c.GetChineseYear(d) == "\u7532\u8FB0\u5E74");
check(c.GetChineseAnimal(d) == "\u9F99");
check(c.GetChineseMonth(d) == "\u4E00\u6708" && c.GetChineseDay(d) == "\u521D\u4E00");
check(c.GetChineseDate(d) == "\u519C\u5386\u7532\u8FB0\u5E74\u4E00\u6708\u521D\u4E00");
check(c.GetConstellation(d) == "\u6C34\u74F6\u5EA7");

// The selected day comes back as a COM date, which new Date() reads and the
// methods take. A date outside the years 1901 to 2090 is answered for the
// selected day instead.
c.Value = d;
check(new Date(c.Value).getTime() == new Date(2024, 1, 10).getTime());
check(c.GetChineseAnimal(c.Value) == "\u9F99");
check(c.GetChineseDay(comDate(2091, 2, 18)) == "\u521D\u4E00");

// The colours of the month page, as OLE colours 0x00BBGGRR.
c.WeekBackColor = 255; c.TitleBackColor = 65280; c.BottomBackColor = 1; c.DateBackColor = 2;
c.GridLinesColor = 3; c.SelectColor = 4;
check(c.WeekBackColor == 255 && c.TitleBackColor == 65280 && c.BottomBackColor == 1);
check(c.DateBackColor == 2 && c.GridLinesColor == 3 && c.SelectColor == 4);

// The grid lines.
c.ShowVerticalGrid = false; c.ShowHorizontalGrid = true;
check(c.ShowVerticalGrid == false && c.ShowHorizontalGrid == true);

// The marks of China's holiday arrangement in the corner of the days: 休 on
// the days off, 班 on the weekend days worked for them. Off until turned on.
check(c.ShowHolidayMarks == false);
c.ShowHolidayMarks = true;
check(c.ShowHolidayMarks == true);
WScript.Quit(passed);
