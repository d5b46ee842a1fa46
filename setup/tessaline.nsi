; The setup program of Tessaline Diagnostics (NSIS 3).
;
; One script, two setups:
;   makensis -DVERSION=1.02 -DPROGRAM=... -DHELP_DIR=... -DICON=... -DWIZARD_BITMAP=... -DOUTFILE=... tessaline.nsi
;       the 32-bit setup (x86-ansi) for Windows 95 to 11, carrying the 32-bit program;
;   makensis -DX64 ... tessaline.nsi
;       the 64-bit setup (amd64-unicode) carrying the 64-bit program.
; PROGRAM is the program file, HELP_DIR the folder holding <language>/KDX.hlp,
; <language>/KDXCH.hlp and <language>/KDX.chm for en, de, es, fr and it, ICON
; the program's icon, WIZARD_BITMAP the 164 x 314 picture of the welcome and
; finish pages (composed from the program's pictures by wizard_picture.cmake).
;
; The program refuses to start without its installation entry under App Paths,
; whose "HelpPath" names the folder of KDX.hlp and KDXCH.hlp; this setup
; writes it with the program's path and folder, installs the help in the
; language the user chose for the setup, registers the uninstaller with the
; system, and undoes its copying when the entry cannot be written.

!ifndef VERSION | PROGRAM | HELP_DIR | ICON | WIZARD_BITMAP | OUTFILE
  !error "VERSION, PROGRAM, HELP_DIR, ICON, WIZARD_BITMAP and OUTFILE must be defined"
!endif

!ifdef X64
  Target amd64-unicode
!else
  ; The 32-bit setup must start on Windows 95 and NT 4.0.
  Target x86-ansi
  Unicode false
!endif

SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh

!define PRODUCT "Tessaline Diagnostics"
!define PUBLISHER "Harrowgate Technology"
!define EXE "Tessaline Diagnostics.exe"
!define UNINSTALLER "Uninstall.exe"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\Tessaline Diagnostics.EXE"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaline Diagnostics"
!define SETTINGS_KEY "Software\Harrowgate\Tessaline Diagnostics"
!define MENU_FOLDER "$SMPROGRAMS\Tessaline Diagnostics"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
!ifdef X64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; Installing again goes into the installed copy's folder (unless /D= names
; another); the 64-bit setup runs as a 64-bit program and so reads the
; 64-bit registry view here.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

;--------------------------------
; Pages, in the language the user picks (the system's by default)

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
; The welcome and finish titles take three lines in some languages
; ("Bienvenue dans le programme d'installation de Tessaline Diagnostics").
!define MUI_WELCOMEPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_TITLE_3LINES
!define MUI_LANGDLL_ALLLANGUAGES
; The language question in the language it proposes: the system's, in any
; of its countries (the LangStrings below).
!define MUI_LANGDLL_WINDOWTITLE "$(LanguageQuestionTitle)"
!define MUI_LANGDLL_INFO "$(LanguageQuestion)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the one used when the system's language is none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Italian"

; Per language: its help folder and the names of its Start-menu entries.
; The uninstaller, and a setup that changes the language of an installed
; copy, remove the entries of every language, whichever language made them.
!macro FOR_EACH_LANGUAGE MACRO
  !insertmacro ${MACRO} ENGLISH en "Tessaline Diagnostics Help" "Uninstall Tessaline Diagnostics"
  !insertmacro ${MACRO} GERMAN de "Tessaline Diagnostics-Hilfe" "Tessaline Diagnostics deinstallieren"
  !insertmacro ${MACRO} SPANISH es "Ayuda de Tessaline Diagnostics" "Desinstalar Tessaline Diagnostics"
  !insertmacro ${MACRO} FRENCH fr "Aide de Tessaline Diagnostics" "Désinstaller Tessaline Diagnostics"
  !insertmacro ${MACRO} ITALIAN it "Guida di Tessaline Diagnostics" "Disinstalla Tessaline Diagnostics"
!macroend

!macro LINK_NAMES LANG FOLDER HELP_LINK UNINSTALL_LINK
  LangString HelpLink ${LANG_${LANG}} "${HELP_LINK}"
  LangString UninstallLink ${LANG_${LANG}} "${UNINSTALL_LINK}"
!macroend
!insertmacro FOR_EACH_LANGUAGE LINK_NAMES

!macro DELETE_LINKS LANG FOLDER HELP_LINK UNINSTALL_LINK
  Delete "${MENU_FOLDER}\${HELP_LINK}.lnk"
  Delete "${MENU_FOLDER}\${UNINSTALL_LINK}.lnk"
!macroend

; The help files of the language the setup runs in: the manual for WinHelp
; and its context help, and the manual for HTML Help (Windows Vista and
; later, which have no WinHelp viewer).
!macro HELP_OF LANG FOLDER HELP_LINK UNINSTALL_LINK
  ${Case} ${LANG_${LANG}}
    File "/oname=KDX.hlp" "${HELP_DIR}/${FOLDER}/KDX.hlp"
    File "/oname=KDXCH.hlp" "${HELP_DIR}/${FOLDER}/KDXCH.hlp"
    File "/oname=KDX.chm" "${HELP_DIR}/${FOLDER}/KDX.chm"
    ${Break}
!macroend

LangString LanguageQuestionTitle ${LANG_ENGLISH} "Setup Language"
LangString LanguageQuestionTitle ${LANG_GERMAN} "Sprache des Setups"
LangString LanguageQuestionTitle ${LANG_SPANISH} "Idioma de la instalación"
LangString LanguageQuestionTitle ${LANG_FRENCH} "Langue de l'installation"
LangString LanguageQuestionTitle ${LANG_ITALIAN} "Lingua dell'installazione"
LangString LanguageQuestion ${LANG_ENGLISH} "Please select a language."
LangString LanguageQuestion ${LANG_GERMAN} "Bitte wählen Sie eine Sprache."
LangString LanguageQuestion ${LANG_SPANISH} "Seleccione un idioma."
LangString LanguageQuestion ${LANG_FRENCH} "Veuillez choisir une langue."
LangString LanguageQuestion ${LANG_ITALIAN} "Scegliere una lingua."

LangString EntryNotWritten ${LANG_ENGLISH} "Setup could not write the registry entries of Tessaline Diagnostics.$\r$\n$\r$\nNothing has been installed."
LangString EntryNotWritten ${LANG_GERMAN} "Das Setup konnte die Registrierungseinträge von Tessaline Diagnostics nicht schreiben.$\r$\n$\r$\nEs wurde nichts installiert."
LangString EntryNotWritten ${LANG_SPANISH} "El programa de instalación no pudo escribir las entradas del registro de Tessaline Diagnostics.$\r$\n$\r$\nNo se ha instalado nada."
LangString EntryNotWritten ${LANG_FRENCH} "Le programme d'installation n'a pas pu écrire les entrées de Tessaline Diagnostics dans le registre.$\r$\n$\r$\nRien n'a été installé."
LangString EntryNotWritten ${LANG_ITALIAN} "Il programma di installazione non ha potuto scrivere le voci di registro di Tessaline Diagnostics.$\r$\n$\r$\nNon è stato installato nulla."

VIProductVersion "1.0.0.2"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 1997 ${PUBLISHER}"

;--------------------------------
; Installing

Function .onInit
  !ifdef X64
    SetRegView 64
  !endif
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

; Both the setup and the uninstaller remove the help viewer's files and the
; Start-menu entries.
!macro REMOVAL_FUNCTIONS UN
  ; What the help viewers write beside a help file: WinHelp's index (.GID)
  ; and full-text search files (.FTS, .FTG), HTML Help's saved state (.chw).
  Function ${UN}DeleteHelpViewerFiles
    Delete "$INSTDIR\KDX.chw"
    Delete "$INSTDIR\KDX.GID"
    Delete "$INSTDIR\KDX.FTS"
    Delete "$INSTDIR\KDX.FTG"
    Delete "$INSTDIR\KDXCH.GID"
    Delete "$INSTDIR\KDXCH.FTS"
    Delete "$INSTDIR\KDXCH.FTG"
  FunctionEnd

  Function ${UN}DeleteStartMenuEntries
    SetShellVarContext all
    Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
    !insertmacro FOR_EACH_LANGUAGE DELETE_LINKS
    RMDir "${MENU_FOLDER}"
  FunctionEnd
!macroend
!insertmacro REMOVAL_FUNCTIONS ""
!insertmacro REMOVAL_FUNCTIONS "un."

Section "-Program"
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${PROGRAM}"
  ; $LANGUAGE is always one of the five.
  ${Switch} $LANGUAGE
    !insertmacro FOR_EACH_LANGUAGE HELP_OF
  ${EndSwitch}
  ; A help file of another language was indexed by the viewer under the
  ; same name: its index no longer fits.
  Call DeleteHelpViewerFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ClearErrors
  ; The program's installation entry: "HelpPath" is the folder of the help
  ; files, without a trailing backslash (the program appends "\KDX.hlp").
  WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "HelpPath" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${If} ${Errors}
    Call RollBack
    MessageBox MB_OK|MB_ICONSTOP "$(EntryNotWritten)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  Call DeleteStartMenuEntries
  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  ; The manual in the format the system's help viewer reads.
  ${If} ${AtLeastWinVista}
    CreateShortcut "${MENU_FOLDER}\$(HelpLink).lnk" "$INSTDIR\KDX.chm"
  ${Else}
    CreateShortcut "${MENU_FOLDER}\$(HelpLink).lnk" "$INSTDIR\KDX.hlp"
  ${EndIf}
  CreateShortcut "${MENU_FOLDER}\$(UninstallLink).lnk" "$INSTDIR\${UNINSTALLER}"
SectionEnd

; Without its entry the program would not start: take back what was copied
; and whatever part of the entries was written.
Function RollBack
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\KDX.hlp"
  Delete "$INSTDIR\KDXCH.hlp"
  Delete "$INSTDIR\KDX.chm"
  Delete "$INSTDIR\${UNINSTALLER}"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
FunctionEnd

;--------------------------------
; Uninstalling

Function un.onInit
  !ifdef X64
    SetRegView 64
  !endif
FunctionEnd

Section "Uninstall"
  Call un.DeleteStartMenuEntries
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\KDX.hlp"
  Delete "$INSTDIR\KDXCH.hlp"
  Delete "$INSTDIR\KDX.chm"
  Call un.DeleteHelpViewerFiles
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"

  ; The entries go last, so that an uninstaller stopped half-way can be
  ; run again from the system's list of programs.
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The settings of the user who uninstalls (the window placement).
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Harrowgate"
SectionEnd
