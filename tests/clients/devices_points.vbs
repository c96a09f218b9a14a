' The adapter list and a points collection from a script client: every adapter is a
' Device3D with a name and a level, and new points take the smallest free key.
Option Explicit
Dim failures : failures = 0
Sub Check(ok, what)
    If Not ok Then
        WScript.Echo "FAIL: " & what
        failures = failures + 1
    End If
End Sub

Dim list : Set list = CreateObject("zyk3D.Devices")
Check list.Count > 0, "at least one 3D adapter"
Dim adapter, seen : seen = 0
For Each adapter In list
    seen = seen + 1
    WScript.Echo "adapter: '" & adapter.Name & "' level " & adapter.Level & " index " & adapter.Index
    Check Len(adapter.Name) > 0, "an adapter has a name"
    Check adapter.Status = 0, "a listed adapter is not initialised"
    Check list.Item(adapter.Name).Name = adapter.Name, "an adapter is filed under its name"
Next
Check seen = list.Count, "the enumeration yields Count adapters"

Dim pts : Set pts = CreateObject("zyk3D.Points")
' Add is a property with arguments: a script reads it, or calls it as a statement.
Dim i, p
For i = 0 To 1
    Set p = pts.Add(i, 0, 0)
Next
pts.Add 2, 0, 0
pts.Remove "Point1"
Set p = pts.Add(7, 8, 9)
Check pts.Count = 3, "three points after a remove and an add: " & pts.Count
Check pts.Item("Point1").Position.X = 7, "the new point took Point1"
Check pts.Item("Point2").Position.X = 2, "Point2 is the one added before"
On Error Resume Next
' A call of the collection held in a variable answers as its Item: no text of its own.
Set p = pts("nope")
Check Err.Number <> 0, "pts(""nope"") is an error"
Check Err.Description = "", "pts(""nope"") leaves no text: " & Err.Description
Err.Clear
pts.Render
Check Err.Number = &H80004003, "Render without a device: E_POINTER, got " & Hex(Err.Number)
Check InStr(Err.Description, "Device Not Initialised.") > 0, "render text: " & Err.Description
Check Err.Source = "zyk3D.Points.1", "error source: " & Err.Source
On Error GoTo 0

If failures = 0 Then WScript.Echo "ok"
WScript.Quit failures
