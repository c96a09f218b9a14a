' Colour and Position from a script client: ProgIDs, defaults, values round-trip.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim c : Set c = CreateObject("zyk3D.Colour")
Check c.Red = 0 And c.Green = 0 And c.Blue = 0 And c.Alpha = 0, "a new colour is black and clear"
c.Red = 1.5
Check c.Red = 1.5, "1.5 stays 1.5"
Dim v : v = 0.25
c.Alpha = v
Check c.Alpha = 0.25, "a variable's value is stored"

Dim c1 : Set c1 = CreateObject("zyk3D.Colour.1")
c1.Blue = 1
Check c1.Blue = 1 And c.Blue = 0, "objects are independent"

Dim p : Set p = CreateObject("zyk3D.Position")
Check p.X = 0 And p.Y = 0 And p.Z = 0, "a new position is the origin"
p.X = -2.5 : p.Y = 100 : p.Z = 0.125
Check p.X = -2.5 And p.Y = 100 And p.Z = 0.125, "position round-trip"

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
