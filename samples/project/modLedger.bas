Attribute VB_Name = "modLedger"
Option Explicit

' Shared state of the ledger: the open accounts and the posting date.
Public gAccounts As Collection
Public gPostingDate As Date

Private Const MODULE_NAME As String = "modLedger"

Public Sub Main()
    Set gAccounts = New Collection
    gPostingDate = Date
    frmLedger.Show
End Sub

Public Function FindAccount(ByVal strNumber As String) As CAccount
    Dim objAccount As CAccount
    For Each objAccount In gAccounts
        If objAccount.Number = strNumber Then
            Set FindAccount = objAccount
            Exit Function
        End If
    Next
End Function

Public Function FormatAmount(ByVal curAmount As Currency) As String
    FormatAmount = Format$(curAmount, "#,##0.00")
End Function
