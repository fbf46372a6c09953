; CloseRunningProgram / un.CloseRunningProgram: a running ZR8 Utility holds its files, so
; the installer and the uninstaller ask it to close (a silent run just asks it) and wait
; for it. An owner who declines, or a program that does not close, ends the run with
; EXIT_PROGRAM_RUNNING and nothing changed.

; How long to wait for each window after asking it to close, in quarter seconds.
!define CLOSE_WAIT_QUARTERS 80

!macro ZR8_CLOSE_RUNNING_PROGRAM PREFIX
Function ${PREFIX}CloseRunningProgram
  FindWindow $0 "${PROGRAM_WINDOW_CLASS}"
  ${If} $0 == 0
    Return
  ${EndIf}
  ${IfNot} ${Silent}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} is running.$\n$\nSelect OK to close it and continue, or Cancel to stop." \
      IDOK closing
    SetErrorLevel ${EXIT_PROGRAM_RUNNING}
    Quit
  ${EndIf}
closing:
  DetailPrint "Closing ${PRODUCT}"
  ; Every main window of every copy that runs.
  ${Do}
    FindWindow $0 "${PROGRAM_WINDOW_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    ; Posted, not sent: the program may ask its owner before it closes.
    System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
    StrCpy $1 0
    ${Do}
      Sleep 250
      IntOp $1 $1 + 1
      System::Call 'user32::IsWindow(p r0) i .r2'
      ${If} $1 >= ${CLOSE_WAIT_QUARTERS}
        ${ExitDo}
      ${EndIf}
    ${LoopUntil} $2 == 0
    ${If} $2 != 0
      ${If} ${Silent}
        SetErrorLevel ${EXIT_PROGRAM_RUNNING}
        Quit
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is still running.$\n$\nClose it, then select Retry." \
        IDRETRY closing
      SetErrorLevel ${EXIT_PROGRAM_RUNNING}
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend

!insertmacro ZR8_CLOSE_RUNNING_PROGRAM ""
!insertmacro ZR8_CLOSE_RUNNING_PROGRAM "un."
