; Installer of one edition of the q14 navigation units, built by cmake/installer_build.cmake:
; puts the modules and documents into the simulator's folder and never replaces the route file.
; Defines given by the build: Q14_VERSION, Q14_LANGUAGE (en, ru: texts_<language>.nsh),
; Q14_COMPANY and Q14_COPYRIGHT (maker and terms), Q14_FILES (the generated lists of files,
; Q14_INSTALL_FILES and Q14_REMOVE_FILES, and Q14_SIZE_KB), Q14_LICENSE (the licence text
; shown) and Q14_OUT (the installer written).
Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "${Q14_FILES}"

; Where the last installation went, read as the folder to offer next time.
!define Q14_CHOICE_KEY "Software\q14"
!define Q14_CHOICE_VALUE "SimulatorFolder"
!define Q14_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\q14"
!define Q14_UNINSTALLER "q14_docs\uninstall.exe"

Name "q14 ${Q14_VERSION}"
OutFile "${Q14_OUT}"
InstallDirRegKey HKCU "${Q14_CHOICE_KEY}" "${Q14_CHOICE_VALUE}"
BrandingText "q14 ${Q14_VERSION}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${Q14_LICENSE}"
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(Q14_TEXT_FOLDER)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE ConfirmFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!include "texts_${Q14_LANGUAGE}.nsh"

VIProductVersion "${Q14_VERSION}.0"
VIFileVersion "${Q14_VERSION}.0"
VIAddVersionKey "ProductName" "q14 navigation units"
VIAddVersionKey "ProductVersion" "${Q14_VERSION}"
VIAddVersionKey "FileVersion" "${Q14_VERSION}"
VIAddVersionKey "FileDescription" "q14 ${Q14_VERSION} setup"
VIAddVersionKey "CompanyName" "${Q14_COMPANY}"
VIAddVersionKey "LegalCopyright" "${Q14_COPYRIGHT}"

; A silent installation needs a folder: /D= or the one chosen the last time.
Function .onInit
  IfSilent 0 done
  StrCmp $INSTDIR "" 0 done
  SetErrorLevel 2
  Abort
done:
FunctionEnd

; A folder without Gauges is most likely not the simulator's: install there only when confirmed.
Function ConfirmFolder
  IfFileExists "$INSTDIR\Gauges\*.*" done
  MessageBox MB_YESNO|MB_ICONQUESTION "$(Q14_TEXT_NO_GAUGES)" /SD IDYES IDYES done
  Abort
done:
FunctionEnd

Section
  !insertmacro Q14_INSTALL_FILES
  WriteUninstaller "$INSTDIR\${Q14_UNINSTALLER}"
  WriteRegStr HKCU "${Q14_CHOICE_KEY}" "${Q14_CHOICE_VALUE}" "$INSTDIR"
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "DisplayName" "$(Q14_TEXT_PRODUCT)"
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "DisplayVersion" "${Q14_VERSION}"
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "Publisher" "${Q14_COMPANY}"
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${Q14_UNINSTALLER}"'
  WriteRegStr HKLM "${Q14_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${Q14_UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${Q14_UNINSTALL_KEY}" "EstimatedSize" ${Q14_SIZE_KB}
  WriteRegDWORD HKLM "${Q14_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${Q14_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller lies in q14_docs: the simulator's folder is the one above.
Function un.onInit
  GetFullPathName $INSTDIR "$INSTDIR\.."
FunctionEnd

; Removes what the installer put in place except the route file, which is the pilot's.
Section "Uninstall"
  !insertmacro Q14_REMOVE_FILES
  Delete "$INSTDIR\${Q14_UNINSTALLER}"
  RMDir "$INSTDIR\q14_docs"
  DeleteRegKey HKLM "${Q14_UNINSTALL_KEY}"
  DeleteRegKey HKCU "${Q14_CHOICE_KEY}"
SectionEnd
