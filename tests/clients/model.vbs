' A script client that renders a .x model: it writes the file, loads it into an object of
' a Device3D on the window its host made (the handle is the script's argument), lights it,
' renders frames, and renders again after a second Initialise.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim path : path = fso.BuildPath(fso.GetSpecialFolder(2), "zyk_script_model.x")
Dim f : Set f = fso.CreateTextFile(path, True)
f.WriteLine "xof 0302txt 0032"
f.WriteLine "Frame Holder {"
f.WriteLine " FrameTransformMatrix { 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.5,0.0,1.0;; }"
f.WriteLine " Mesh Square {"
f.WriteLine "  4; -1.0;-1.0;0.0;, 1.0;-1.0;0.0;, 1.0;1.0;0.0;, -1.0;1.0;0.0;;"
f.WriteLine "  2; 4;0,1,2,3;, 4;3,2,1,0;;"
f.WriteLine "  MeshMaterialList { 1; 2; 0,0;; Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }"
f.WriteLine " }"
f.WriteLine "}"
f.Close

Dim d : Set d = CreateObject("zyk3D.Device3D")
d.Window = CLng(WScript.Arguments(0))
d.Initialise 0, 200, 200
Check d.Status = 1, "the device is ready"
d.Ambient.Red = 1 : d.Ambient.Green = 1 : d.Ambient.Blue = 1 : d.Ambient.Alpha = 1
d.Cameras.Item("Default").Update

Dim o : Set o = d.Objects.LoadFile(path, "square", True)
Check d.Objects.Count = 1, "one object"
Check o.Name = "square", "the object carries its name: " & o.Name
Check LCase(o.Filename) = LCase(path), "the object knows its file: " & o.Filename
Check d.Objects.Item("square").Parts.Count = 0, "the model is held whole"

Dim i
For i = 1 To 10
    d.Clear 0, 0, 0.5, 1
    d.Render
    d.Update
Next
Check Err.Number = 0, "frames render"

' Initialised again at another size, the device keeps its scene: the camera and the object
' the script holds work on the new device.
Dim cam : Set cam = d.Cameras("Default")
d.Initialise 0, 120, 120
Check d.Cameras.Count = 1, "one camera after a second Initialise"
On Error Resume Next
cam.Update
Check Err.Number = 0, "the camera updates on the new device: " & Err.Description
Err.Clear
o.LoadFile path
Check Err.Number = 0, "the object loads on the new device: " & Err.Description
Err.Clear
On Error GoTo 0

' A file that is not there: the object exists and draws nothing.
On Error Resume Next
Dim missing : Set missing = d.Objects.LoadFile(fso.BuildPath(fso.GetSpecialFolder(2), "no_such_model.x"), "ghost")
Check Err.Number = 0, "a missing model still gives an object"
Err.Clear
missing.Parts.Load fso.BuildPath(fso.GetSpecialFolder(2), "no_such_model.x")
Check InStr(Err.Description, "Failed to Load the requested X File.") > 0, "the loader's text: " & Err.Description
Err.Clear
On Error GoTo 0
d.Render
d.Update

d.Free
fso.DeleteFile path
If failures = 0 Then WScript.Echo "ok"
