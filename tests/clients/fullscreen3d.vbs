' A 3D scene full screen from a script client on the window its host made (the handle is
' the script's argument), in a virtual desktop: a teapot renders and presents full screen,
' a second Initialise goes back to a window with the scene, Free and release end cleanly.
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

Dim d : Set d = CreateObject("zyk3D.Device3D")
Dim i, pot
On Error Resume Next
d.Window = CLng(WScript.Arguments(0))
d.Initialise 0, 1024, 768, True : Done "full-screen Initialise"
Check d.Status = 1, "the full-screen device is ready"
Set pot = d.SimpleObjects.AddTeapot("pot") : Done "the teapot"
For i = 1 To 3
    d.Clear 0, 0, 0.5, 1 : Done "full-screen Clear"
    d.Render : Done "full-screen Render"
    d.Update : Done "full-screen Update"
Next

d.Initialise 0, 200, 200 : Done "windowed Initialise after full screen"
Check d.SimpleObjects.Count = 1, "the teapot carries over"
d.Clear 0, 0.5, 0, 1 : Done "windowed Clear"
d.Render : Done "windowed Render"
d.Update : Done "windowed Update"
d.Free : Done "Free"
Check d.Status = 0, "freed"
On Error GoTo 0
Set pot = Nothing
Set d = Nothing

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
