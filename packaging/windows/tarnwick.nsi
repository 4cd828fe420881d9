; The Windows installer of the suite: the two programs, tarnwick.exe and the
; three add-in DLLs, registered for the VB6 IDE and entered in its add-in list
; file, Start-menu entries for Larkspur and Fenmoor, and an entry in the list
; of installed programs. The uninstaller takes away exactly these; the add-in
; list file keeps its other lines. `setup.exe /S` installs silently.
;
; makensis -DVERSION=1.0.0 -DBIN=<folder of the built files> -DOUTFILE=<setup.exe> tarnwick.nsi

Unicode true
SetCompressor /SOLID lzma
Name "Tarnwick ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tarnwick"
RequestExecutionLevel admin
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define ADDIN_LIST "$WINDIR\vbaddin.ini"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro AddIn DLL PROGID
  RegDLL "$INSTDIR\${DLL}"
  WriteINIStr "${ADDIN_LIST}" "Add-Ins32" "${PROGID}" "1"
!macroend

!macro RemoveAddIn DLL PROGID
  UnRegDLL "$INSTDIR\${DLL}"
  DeleteINIStr "${ADDIN_LIST}" "Add-Ins32" "${PROGID}"
  Delete "$INSTDIR\${DLL}"
!macroend

Section "Tarnwick"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${BIN}\larkspur.exe"
  File "${BIN}\fenmoor.exe"
  File "${BIN}\tarnwick.exe"
  File "${BIN}\Quillon.dll"
  File "${BIN}\Config.dll"
  File "${BIN}\Wendover.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro AddIn "Quillon.dll" "Quillon.Connect"
  !insertmacro AddIn "Config.dll" "Config.Connect"
  !insertmacro AddIn "Wendover.dll" "WendoverAgent.Connect"

  CreateDirectory "$SMPROGRAMS\Tarnwick"
  CreateShortcut "$SMPROGRAMS\Tarnwick\Larkspur.lnk" "$INSTDIR\larkspur.exe"
  CreateShortcut "$SMPROGRAMS\Tarnwick\Fenmoor.lnk" "$INSTDIR\fenmoor.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarnwick ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro RemoveAddIn "Quillon.dll" "Quillon.Connect"
  !insertmacro RemoveAddIn "Config.dll" "Config.Connect"
  !insertmacro RemoveAddIn "Wendover.dll" "WendoverAgent.Connect"
  Delete "$INSTDIR\larkspur.exe"
  Delete "$INSTDIR\fenmoor.exe"
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$SMPROGRAMS\Tarnwick\Larkspur.lnk"
  Delete "$SMPROGRAMS\Tarnwick\Fenmoor.lnk"
  RMDir "$SMPROGRAMS\Tarnwick"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  ; Not recursive: files the user made there (Wendover.ini) stay, and so
  ; does the folder then.
  RMDir "$INSTDIR"
SectionEnd
