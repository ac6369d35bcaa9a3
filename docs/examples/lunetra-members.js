// Every member of Lunetra from JScript: cscript //nologo lunetra-members.js
// The control must be registered (regsvr32 Lunetra.ocx). The script counts the
// answers that are not as expected and ends with that count (0: all well).
var c = new ActiveXObject("Lunetra2.Lunetra");
var d = new Date(2024, 1, 10).getVarDate();  // months count from 0: 10 February
var bad = 0;
function check(ok) { if (!ok) bad++; }

// The lunar texts of a date: its year (jia chen nian, written by its code
// points), its animal (the dragon), the whole lunar date, the month, the day
// and the sign of the zodiac.
check(c.GetChineseYear(d) == "\u7532\u8FB0\u5E74");
check(c.GetChineseAnimal(d) == "\u9F99");
check(c.GetChineseDate(d).length > 0 && c.GetChineseMonth(d).length > 0 && c.GetChineseDay(d).length > 0);
check(c.GetConstellation(d).length > 0);

// The selected day comes back as a VT_DATE, which new Date() reads.
c.Value = d;
check(new Date(c.Value).getTime() == new Date(d).getTime());

// The colours of the month page, as OLE colours 0x00BBGGRR.
c.WeekBackColor = 255; c.TitleBackColor = 65280; c.BottomBackColor = 1; c.DateBackColor = 2;
c.GridLinesColor = 3; c.SelectColor = 4;
check(c.WeekBackColor == 255 && c.TitleBackColor == 65280 && c.BottomBackColor == 1);
check(c.DateBackColor == 2 && c.GridLinesColor == 3 && c.SelectColor == 4);

// The grid lines.
c.ShowVerticalGrid = false; c.ShowHorizontalGrid = true;
check(c.ShowVerticalGrid == false && c.ShowHorizontalGrid == true);
WScript.Quit(bad);
