' Every member of Lunetra from VBScript: cscript //nologo lunetra-members.vbs
' The control must be registered (regsvr32 Lunetra.ocx). The script counts the
' answers that are not as expected and ends with that count (0: all well).
Set c = CreateObject("Lunetra2.Lunetra")
d = DateSerial(2024, 2, 10)
bad = 0
Sub Check(ok)
  If Not ok Then bad = bad + 1
End Sub

' The lunar texts of a date: its year (jia chen nian, written by its code
' points), its animal (the dragon), the whole lunar date, the month, the day
' and the sign of the zodiac. Names are not case-sensitive.
Check c.GetChineseYear(d) = ChrW(&H7532) & ChrW(&H8FB0) & ChrW(&H5E74)
Check c.getchineseyear(d) = c.GetChineseYear(d)
Check AscW(c.GetChineseAnimal(d)) = &H9F99
Check Len(c.GetChineseDate(d)) > 0 And Len(c.GetChineseMonth(d)) > 0 And Len(c.GetChineseDay(d)) > 0
Check Len(c.GetConstellation(d)) > 0

' The selected day.
c.Value = d
Check c.Value = d

' The colours of the month page, as OLE colours (&H8000000F: a system colour).
c.BottomBackColor = &HFF: c.DateBackColor = &HFF00: c.GridLinesColor = &H1: c.SelectColor = &H2
c.TitleBackColor = &H8000000F: c.WeekBackColor = &H3
Check c.BottomBackColor = &HFF And c.DateBackColor = &HFF00 And c.GridLinesColor = 1 And c.SelectColor = 2
Check c.TitleBackColor = &H8000000F And c.WeekBackColor = 3

' The grid lines.
c.ShowVerticalGrid = False: c.ShowHorizontalGrid = True
Check c.ShowVerticalGrid = False And c.ShowHorizontalGrid = True

' What goes wrong is reported as the script errors it is: a missing
' argument (450), an argument that is no date (13), no such member (438).
On Error Resume Next
x = c.GetChineseDay()
Check Err.Number = 450: Err.Clear
x = c.GetChineseDay("not a date")
Check Err.Number = 13: Err.Clear
x = c.NoSuchMember
Check Err.Number = 438: Err.Clear
WScript.Quit bad
