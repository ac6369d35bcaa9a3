' Every member of Lunetra from VBScript: cscript //nologo lunetra-members.vbs
' The control must be registered (regsvr32 Lunetra.ocx). The script counts the
' answers that are right and ends with that count as its exit code: 17 when
' all are; fewer when one is wrong or the script stopped at an error.
Set c = CreateObject("Lunetra2.Lunetra")
d = DateSerial(2024, 2, 10)
passed = 0
Sub Check(ok)
  If ok Then passed = passed + 1
End Sub

' The lunar texts of a date: its year (three characters, jia chen nian), its
' animal (one character, the dragon), the month and the day (two each), the
' whole date (nong li, then the other three) and the sign of the zodiac.
' Names are not case-sensitive.
Check Len(c.GetChineseYear(d)) = 3
Check c.getchineseyear(d) = c.GetChineseYear(d)
Check Len(c.GetChineseAnimal(d)) = 1
Check Len(c.GetChineseMonth(d)) = 2 And Len(c.GetChineseDay(d)) = 2
Check Mid(c.GetChineseDate(d), 3) = c.GetChineseYear(d) & c.GetChineseMonth(d) & c.GetChineseDay(d)
Check Len(c.GetConstellation(d)) = 3
' The lunar year of the dragon began on 10 February 2024.
Check c.GetChineseAnimal(DateSerial(2024, 2, 9)) <> c.GetChineseAnimal(d)

' The selected day. A date outside the years 1901 to 2090 is answered for
' the selected day instead.
c.Value = d
Check c.Value = d
Check c.GetChineseDay(DateSerial(2091, 2, 18)) = c.GetChineseDay(d)

' The colours of the month page, as OLE colours (&H8000000F: a system colour).
c.BottomBackColor = &HFF: c.DateBackColor = &HFF00: c.GridLinesColor = &H1: c.SelectColor = &H2
c.TitleBackColor = &H8000000F: c.WeekBackColor = &H3
Check c.BottomBackColor = &HFF And c.DateBackColor = &HFF00 And c.GridLinesColor = 1 And c.SelectColor = 2
Check c.TitleBackColor = &H8000000F And c.WeekBackColor = 3

' The grid lines.
c.ShowVerticalGrid = False: c.ShowHorizontalGrid = True
Check c.ShowVerticalGrid = False And c.ShowHorizontalGrid = True

' The marks of China's holiday arrangement in the corner of the days (xiu on
' the days off, ban on the weekend days worked for them): off until turned on.
Check c.ShowHolidayMarks = False
c.ShowHolidayMarks = True
Check c.ShowHolidayMarks = True

' What goes wrong is reported as the script errors it is: a missing
' argument (450), an argument that is no date (13), no such member (438).
On Error Resume Next
x = c.GetChineseDay()
Check Err.Number = 450: Err.Clear
x = c.GetChineseDay("not a date")
Check Err.Number = 13: Err.Clear
x = c.NoSuchMember
Check Err.Number = 438: Err.Clear
WScript.Quit passed
