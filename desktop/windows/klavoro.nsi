; The Windows installer: klavoro.exe and its shipped folders under Program
; Files, a Start menu entry and an uninstaller. Built by scripts/windows-package
; with makensis -DVERSION=... -DSOURCE=<unpacked zip folder> -DOUTFILE=...
; A 64-bit installer for the 64-bit program (it also runs under wine64).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !error "VERSION is not defined"
!endif

Name "Klavoro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Klavoro"
InstallDirRegKey HKLM "Software\Klavoro" "InstallDir"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Klavoro"

Section "Klavoro"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\Klavoro" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Klavoro"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Klavoro"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\klavoro.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Start menu entries for every user.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Klavoro"
  CreateShortcut "$SMPROGRAMS\Klavoro\Klavoro.lnk" "$INSTDIR\klavoro.exe"
  CreateShortcut "$SMPROGRAMS\Klavoro\Klavoro のアンインストール.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

; The user's settings and captures (in their own folders) are left alone.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Klavoro\Klavoro.lnk"
  Delete "$SMPROGRAMS\Klavoro\Klavoro のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Klavoro"
  Delete "$INSTDIR\klavoro.exe"
  Delete "$INSTDIR\README.md"
  RMDir /r "$INSTDIR\parts"
  RMDir /r "$INSTDIR\cursors"
  RMDir /r "$INSTDIR\media"
  RMDir /r "$INSTDIR\chars"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Klavoro"
SectionEnd
