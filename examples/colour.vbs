' A small script client of the 3D engine: creates a colour and a position by ProgID,
' sets them and reads them back.
Option Explicit
Dim colour, position
Set colour = CreateObject("zyk3D.Colour")
colour.Red = 1.0
colour.Green = 0.5
colour.Blue = 0.25
colour.Alpha = 1.0
WScript.Echo "Colour: red " & colour.Red & ", green " & colour.Green & ", blue " & colour.Blue & ", alpha " & colour.Alpha

Set position = CreateObject("zyk3D.Position")
position.X = 1.5
position.Y = -2
position.Z = 10
WScript.Echo "Position: (" & position.X & ", " & position.Y & ", " & position.Z & ")"
