' The video control from a script client, on the window its host made (the handle is the
' script's argument): the window is kept, a missing file's failure and its text.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim v : Set v = CreateObject("zykMM.Device")
v.Window = CLng(WScript.Arguments(0))
Check v.Window = CLng(WScript.Arguments(0)), "the window is kept"
On Error Resume Next
v.Load "Z:\no\such\video.avi"
Check Err.Number <> 0, "a missing file fails"
Check InStr(Err.Description, "Load Video Failed.") > 0, "load text: " & Err.Description
Check Err.Source = "zykMM.Device.1", "error source: " & Err.Source
Err.Clear
On Error GoTo 0
v.Stop
If failures = 0 Then WScript.Echo "ok"
