; The Windows installer, one per architecture, built by scripts/package.sh with Debian's nsis:
;   makensis -DVERSION=1.2.3 -DARCH=x86|x64 -DSTAGE=<the zip's folder> -DFILES=<files.nsh>
;            -DICON=<app.ico> -DPATH_HELPER=<path_entry.exe> -DOUTFILE=<setup.exe> norvathel.nsi
; FILES is written by package.sh from the staged folder: the File lines (FilesInstall) and the
; Delete and RMDir lines (FilesRemove), so the uninstaller removes exactly what was installed.
; Installs for all users into Program Files, puts the program folder on the machine's PATH, adds
; two Start-menu entries (the program, and a console in the program folder) and the entry in
; Apps and Features; /S runs either part silently.
;
; PATH_HELPER (packaging/path_entry.c, built for ARCH) edits PATH: NSIS strings hold 1,024
; characters here, and a machine's PATH is often longer; the helper reads and writes it whole,
; keeps its REG_EXPAND_SZ type and tells running programs. It travels in $PLUGINSDIR, the
; installer's own temporary folder, and is not installed.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT Norvathel
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define CONSOLE_ENTRY "$SMPROGRAMS\${PRODUCT} command line.lnk"
!include "${FILES}"

!if "${ARCH}" == "x64"
  ; A 64-bit installer: it must run where 32-bit programs cannot, and installs into the
  ; 64-bit Program Files and registry view.
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
  !define REGISTRY_VIEW 64
!else
  Target x86-unicode
  InstallDir "$PROGRAMFILES\${PRODUCT}"
  !define REGISTRY_VIEW 32
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; The version information Windows shows in the installer's properties.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup (${ARCH})"
VIAddVersionKey /LANG=1033 "CompanyName" "The Norvathel authors"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Norvathel authors (MIT licence)"

LicenseData "${STAGE}\LICENSE.txt"
Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
  SetRegView ${REGISTRY_VIEW}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView ${REGISTRY_VIEW}
FunctionEnd

Section "Install"
  !insertmacro FilesInstall
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program loads Misc\dragon_bg.bmp relative to its working folder: CreateShortcut gives
  ; the entry the current output folder as its working folder.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\norvathel.exe" "" "$INSTDIR\norvathel.exe" 0
  ; A console in the program folder, for norvathel-names; it says which version it is.
  CreateShortcut "${CONSOLE_ENTRY}" "$SYSDIR\cmd.exe" "/k norvathel-names --version"

  ; The uninstaller takes the entry out only when this install put it there (exit code 0);
  ; one that was there before stays.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\path_entry.exe" "${PATH_HELPER}"
  ExecWait '"$PLUGINSDIR\path_entry.exe" add "$INSTDIR"' $0
  StrCmp $0 0 0 path_kept
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "PathEntry" 1
  path_kept:

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Norvathel authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\norvathel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "${CONSOLE_ENTRY}"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "PathEntry"
  StrCmp $0 1 0 path_left
  InitPluginsDir
  File "/oname=$PLUGINSDIR\path_entry.exe" "${PATH_HELPER}"
  ExecWait '"$PLUGINSDIR\path_entry.exe" remove "$INSTDIR"'
  path_left:
  !insertmacro FilesRemove
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
