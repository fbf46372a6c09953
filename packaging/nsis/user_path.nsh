; AddInstallFolderToUserPath / un.RemoveInstallFolderFromUserPath: the program folder in
; the user's own PATH (HKCU\Environment), so that zr8 runs from any command prompt. The
; install records that it added the entry ("AddedToPath"); the uninstall removes exactly
; that entry and keeps every other one as it was. A PATH too long to read whole is never
; rewritten (that would cut it short): the installer says so and leaves it alone.

!define USER_ENVIRONMENT_KEY "Environment"

; $R5: the user's PATH, or "" when there is none. $R6: 1 when it exists but is too long.
!macro ZR8_READ_USER_PATH PREFIX
Function ${PREFIX}ReadUserPath
  StrCpy $R6 0
  ClearErrors
  ReadRegStr $R5 HKCU "${USER_ENVIRONMENT_KEY}" "Path"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ; An error is either no value at all or one longer than a string here can hold.
  StrCpy $R7 0
  ${Do}
    ClearErrors
    EnumRegValue $R8 HKCU "${USER_ENVIRONMENT_KEY}" $R7
    ${If} ${Errors}
    ${OrIf} $R8 == ""
      ${ExitDo}
    ${EndIf}
    ${If} $R8 == "Path"
      StrCpy $R6 1
      ${ExitDo}
    ${EndIf}
    IntOp $R7 $R7 + 1
  ${Loop}
  StrCpy $R5 ""
FunctionEnd
!macroend
!insertmacro ZR8_READ_USER_PATH ""
!insertmacro ZR8_READ_USER_PATH "un."

!macro ZR8_ANNOUNCE_ENVIRONMENT_CHANGE
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Function AddInstallFolderToUserPath
  Call ReadUserPath
  StrLen $0 $R5
  StrLen $1 $INSTDIR
  IntOp $0 $0 + $1
  IntOp $0 $0 + 2
  ${If} $R6 == 1
  ${OrIf} $0 >= ${NSIS_MAX_STRLEN}
    DetailPrint "Your PATH is too long to change safely; $INSTDIR was not added to it."
    ${IfNot} ${Silent}
      MessageBox MB_OK|MB_ICONINFORMATION "Your PATH is too long to change safely, so the installer left it alone.$\n$\nTo run zr8 from a command prompt, add this folder to it yourself:$\n$INSTDIR"
    ${EndIf}
    Return
  ${EndIf}

  ; Already there (as an entry of its own)?
  Push ";$R5;"
  Push ";$INSTDIR;"
  Call StrContains
  Pop $0
  ${If} $0 == 1
    Return
  ${EndIf}

  ${If} $R5 == ""
    StrCpy $0 "$INSTDIR"
  ${Else}
    StrCpy $1 $R5 1 -1
    ${If} $1 == ";"
      StrCpy $0 "$R5$INSTDIR"
    ${Else}
      StrCpy $0 "$R5;$INSTDIR"
    ${EndIf}
  ${EndIf}
  WriteRegExpandStr HKCU "${USER_ENVIRONMENT_KEY}" "Path" $0
  WriteRegDWORD SHCTX "${INSTALL_KEY}" "AddedToPath" 1
  DetailPrint "Added $INSTDIR to your PATH"
  !insertmacro ZR8_ANNOUNCE_ENVIRONMENT_CHANGE
FunctionEnd

; Stack: haystack needle (needle on top) -> 1 or 0. Case-insensitive, like Windows paths.
Function StrContains
  Exch $1 ; needle
  Exch
  Exch $0 ; haystack
  Push $2
  Push $3
  Push $4
  StrLen $2 $1
  StrCpy $3 0
  ${Do}
    StrCpy $4 $0 $2 $3
    ${If} $4 == ""
      StrCpy $4 0
      ${ExitDo}
    ${EndIf}
    ${If} $4 == $1
      StrCpy $4 1
      ${ExitDo}
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function un.RemoveInstallFolderFromUserPath
  Call un.ReadUserPath
  ${If} $R5 == ""
    Return
  ${EndIf}
  ; Entry by entry: every one but the program folder (with or without a final "\") stays,
  ; in its place, empty ones too.
  StrCpy $0 ""      ; the new PATH
  StrCpy $1 ""      ; the entry being read
  StrCpy $2 0       ; position
  StrCpy $3 0       ; entries kept so far
  StrCpy $6 0       ; 1 once an entry was dropped
  ${Do}
    StrCpy $4 $R5 1 $2
    ${If} $4 == ";"
    ${OrIf} $4 == ""
      ${If} $1 == $INSTDIR
      ${OrIf} $1 == "$INSTDIR\"
        StrCpy $6 1
      ${Else}
        ${If} $3 > 0
          StrCpy $0 "$0;"
        ${EndIf}
        StrCpy $0 "$0$1"
        IntOp $3 $3 + 1
      ${EndIf}
      StrCpy $1 ""
      ${If} $4 == ""
        ${ExitDo}
      ${EndIf}
    ${Else}
      StrCpy $1 "$1$4"
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  ${If} $6 == 0
    Return
  ${EndIf}
  ${If} $0 == ""
    DeleteRegValue HKCU "${USER_ENVIRONMENT_KEY}" "Path"
  ${Else}
    WriteRegExpandStr HKCU "${USER_ENVIRONMENT_KEY}" "Path" $0
  ${EndIf}
  !insertmacro ZR8_ANNOUNCE_ENVIRONMENT_CHANGE
FunctionEnd
