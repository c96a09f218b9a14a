' A 2D game from a script client on the window its host made (the handle is the script's
' argument), in a virtual desktop: two enemies filed under one key both draw; the device
' freed and set up again on the window, as a game going back to its menu, works as a new
' one does; full screen on the host's window draws, frees and is released.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub
' The step before it answered no error.
Sub Done(what)
    Check Err.Number = 0, what & ": " & Hex(Err.Number) & " " & Err.Description
    Err.Clear
End Sub

Dim window : window = CLng(WScript.Arguments(0))
Dim d : Set d = CreateObject("ZYKGFX.Device")
Dim e1, e2, menu
On Error Resume Next
d.Window = window
d.Initialise : Done "windowed Initialise"
Set e1 = d.Objects.Add("", 16, 16) : Done "the first enemy"
Set e2 = d.Objects.Add("", 16, 16) : Done "the second enemy"
e1.Draw 0, 0 : Done "the first enemy draws"
e2.Draw 20, 0 : Done "the second enemy draws"
d.Free : Done "Free"

d.Window = window
d.Initialise : Done "Initialise after Free"
Set menu = d.Objects.Add("", 16, 16) : Done "Add after Free"
d.Clear &HFF : Done "Clear after Free"
menu.Draw 0, 0 : Done "Draw after Free"
d.Flip : Done "Flip after Free"
d.Free : Done "the second Free"

d.Initialise 1024, 768, True : Done "full-screen Initialise"
Set e1 = d.Objects.Add("", 16, 16) : Done "full-screen Add"
d.Clear &HFF00 : Done "full-screen Clear"
e1.Draw 10, 10 : Done "full-screen Draw"
d.Flip : Done "full-screen Flip"
d.Free : Done "full-screen Free"
On Error GoTo 0
Set e1 = Nothing
Set e2 = Nothing
Set menu = Nothing
Set d = Nothing

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
