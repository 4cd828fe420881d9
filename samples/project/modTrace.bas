Attribute VB_Name = "modTrace"
Option Explicit
#Const debugging = True
#Const tracing = False

' Writes trace lines to the Immediate window while debugging.
Public Sub Trace(ByVal strText As String)
#If debugging Then
    Debug.Print Format$(Now, "hh:nn:ss") & "  " & strText
#End If
#If tracing Then
    Debug.Print "  (trace) " & strText
#End If
End Sub
