/* Resource numbers of Tessaline Diagnostics, by range and kind.
 *
 * Shared by the resource scripts (windres) and the C++ sources, so it holds
 * nothing but #defines. The numbers are the program's own: string tables,
 * menus and dialog templates in every language use exactly these. */
#ifndef TD_RESOURCE_IDS_H
#define TD_RESOURCE_IDS_H

/* ---- Strings: views and status bar ---------------------------------- */
#define IDS_TREE_ROOT             1 /* "SCSI Controllers" */
#define IDS_COLUMN_SCSI_ID        5 /* list columns 5 to 9 */
#define IDS_COLUMN_TYPE           6
#define IDS_COLUMN_MANUFACTURER   7
#define IDS_COLUMN_MODEL          8
#define IDS_COLUMN_VERSION        9
#define IDS_STATUS_SELECTED       10 /* "Currently selected: " */
#define IDS_STATUS_DEVICES        11 /* "Number of devices connected: " */

/* ---- Strings: common dialog errors (20 to 46, 48) -------------------- */
#define IDS_CDERR_DIALOGFAILURE   20
#define IDS_CDERR_STRUCTSIZE      21
#define IDS_CDERR_INITIALIZATION  22
#define IDS_CDERR_NOTEMPLATE      23
#define IDS_CDERR_NOHINSTANCE     24
#define IDS_CDERR_LOADSTRFAILURE  25
#define IDS_CDERR_FINDRESFAILURE  26
#define IDS_CDERR_LOADRESFAILURE  27
#define IDS_CDERR_LOCKRESFAILURE  28
#define IDS_CDERR_MEMALLOCFAILURE 29
#define IDS_CDERR_MEMLOCKFAILURE  30
#define IDS_CDERR_NOHOOK          31
#define IDS_PDERR_SETUPFAILURE    32
#define IDS_PDERR_PARSEFAILURE    33
#define IDS_PDERR_RETDEFFAILURE   34
#define IDS_PDERR_LOADDRVFAILURE  35
#define IDS_PDERR_GETDEVMODEFAIL  36
#define IDS_PDERR_INITFAILURE     37
#define IDS_PDERR_NODEVICES       38
#define IDS_PDERR_NODEFAULTPRN    39
#define IDS_PDERR_DNDMMISMATCH    40
#define IDS_PDERR_CREATEICFAILURE 41
#define IDS_PDERR_PRINTERNOTFOUND 42
#define IDS_CFERR_NOFONTS         43
#define IDS_FNERR_SUBCLASSFAILURE 44
#define IDS_FNERR_INVALIDFILENAME 45
#define IDS_FNERR_BUFFERTOOSMALL  46
#define IDS_CDERR_UNKNOWN         48

/* ---- Commands (menus, toolbar); their tooltips share the number ------ */
#define IDM_FILE_OPEN             101
#define IDM_FILE_SAVE             102
#define IDM_FILE_SAVE_AS          103
#define IDM_FILE_EXIT             104
#define IDM_VIEW_LARGE_ICONS      120
#define IDM_VIEW_SMALL_ICONS      121
#define IDM_VIEW_LIST             122
#define IDM_VIEW_DETAILS          123
#define IDM_HELP_ABOUT            130
#define IDM_RESCAN                40003
#define IDM_DEVICE_PROPERTIES     40004
#define IDM_HELP_CONTENTS         40005
#define IDM_DEVICE_DIAGNOSTICS    40007
#define IDM_WIDE_BUS              40008

/* ---- Strings: property sheet page titles ----------------------------- */
#define IDS_PAGE_DEVICE           901 /* "SCSI Device Information" */
#define IDS_PAGE_ADAPTER          902 /* "Host Adapter Information" */
#define IDS_PAGE_DETAILS          903 /* "Details" */

/* ---- Strings: explanations of failed commands ------------------------ */
#define IDS_SENSE_NOT_REPORTABLE  5400
#define IDS_SENSE_START_UNIT      5401
#define IDS_SENSE_LOCK_MEDIA      5402
#define IDS_SENSE_FORMATTING      5403
#define IDS_SENSE_SELF_TEST       5404
#define IDS_SENSE_HARDWARE        5405
#define IDS_SENSE_NO_MEDIA        5406
#define IDS_SENSE_MEDIA_CHANGED   5800
#define IDS_SENSE_RESET           5801
#define IDS_SENSE_WRITE_PROTECTED 5900
#define IDS_SENSE_NOT_SUPPORTED   6000
#define IDS_NT_CLASS_UNSUPPORTED  6100
#define IDS_READ_BUFFER_MISMATCH  6200
#define IDS_NOT_TESTABLE          6300
#define IDS_TESTS_VERDICT         10000

/* ---- Strings: failures told in words (7000 to 7999) ------------------ */
/* Sentences with places %1 to %4 that the program fills in. */
#define IDS_SENSE_REPORTED        7000 /* key name, ASC/ASCQ name, ASC, ASCQ */
#define IDS_SENSE_UNNAMED_CODE    7001 /* key name, ASC, ASCQ */
#define IDS_REQUEST_ABORTED       7010 /* seconds waited */
#define IDS_ASPI_REQUEST_STATUS   7011 /* status name, SRB_Status */
#define IDS_ADAPTER_STATUS        7012 /* status name, SRB_HaStat */
#define IDS_TARGET_STATUS         7013 /* status name, SCSI status byte */
#define IDS_SYSTEM_ERROR_CODE     7014 /* system error code */
#define IDS_OPEN_FAILED           7015
#define IDS_NO_DEVICE_PATH        7016
#define IDS_NO_PORT_DRIVER        7017
#define IDS_SCAN_HOLDS_BLOCK      7018
#define IDS_PASS_THROUGH_REFUSED  7019
#define IDS_READ_BUFFER_DIFFERS   7020 /* bytes differing, first offset, written, read */
#define IDS_ASPI_REQUEST_REFUSED  7021 /* status name, the status SendASPI32Command answered */
#define IDS_UNKNOWN_STATUS        7030

/* ---- Strings: the Details page (7040 to 7069) -------------------------- */
#define IDS_DETAILS_ASKING        7040
#define IDS_DETAILS_NO_MEDIUM     7041
#define IDS_DETAILS_NOT_REPORTED  7042
#define IDS_DETAILS_INAPPLICABLE  7043
#define IDS_DETAILS_NO_ANSWER     7044 /* seconds waited */
#define IDS_DETAILS_BUSY          7045
#define IDS_DETAILS_FROM_LISTING  7046
#define IDS_CAPACITY_SIZE         7050 /* size in units, bytes */
#define IDS_CAPACITY_BLOCKS       7051 /* blocks, block length */
/* A size in bytes, KB, MB, GB, TB, PB, EB: 7052 + the power of 1024. */
#define IDS_SIZE_BYTES            7052
#define IDS_SIZE_KB               7053
#define IDS_SIZE_MB               7054
#define IDS_SIZE_GB               7055
#define IDS_SIZE_TB               7056
#define IDS_SIZE_PB               7057
#define IDS_SIZE_EB               7058
/* The sixteen sense keys by name: 7100 + the key. */
#define IDS_KEY_NO_SENSE          7100
#define IDS_KEY_RECOVERED_ERROR   7101
#define IDS_KEY_NOT_READY         7102
#define IDS_KEY_MEDIUM_ERROR      7103
#define IDS_KEY_HARDWARE_ERROR    7104
#define IDS_KEY_ILLEGAL_REQUEST   7105
#define IDS_KEY_UNIT_ATTENTION    7106
#define IDS_KEY_DATA_PROTECT      7107
#define IDS_KEY_BLANK_CHECK       7108
#define IDS_KEY_VENDOR_SPECIFIC   7109
#define IDS_KEY_COPY_ABORTED      7110
#define IDS_KEY_ABORTED_COMMAND   7111
#define IDS_KEY_EQUAL             7112
#define IDS_KEY_VOLUME_OVERFLOW   7113
#define IDS_KEY_MISCOMPARE        7114
#define IDS_KEY_RESERVED          7115

/* ---- Strings: context help of the properties pages ------------------- */
/* The control's help context id is also the number of its help text. */
#define IDH_SCSI_ID               20000
#define IDH_MANUFACTURER          20001
#define IDH_VERSION               20002
#define IDH_DEVICE_TYPE           20003
#define IDH_PRODUCT               20004
#define IDH_SYNCHRONOUS           20005
#define IDH_REMOVABLE             20006
#define IDH_NARROW                20007
#define IDH_WIDE16                20008
#define IDH_WIDE32                20009
#define IDH_SCSI1                 20010
#define IDH_SCSI2                 20011
#define IDH_SCSI3                 20012
#define IDH_HA_NAME               20100
#define IDH_HA_NUMBER             20101
#define IDH_HA_SCSI_ID            20102
#define IDH_HA_MANAGER            20103
#define IDH_HA_DESCRIPTION        20104
#define IDH_DETAILS_CAPACITY      20200
#define IDH_DETAILS_SERIAL        20201
#define IDH_DETAILS_IDENTIFIER    20202

/* ---- Strings: messages and shared texts (50000 to 50072) ------------- */
#define IDS_STATUS_CAPTION        50000
#define IDS_WIN32S_REFUSED        50001
#define IDS_NO_MENU               50002
#define IDS_REGISTRY_INACCESSIBLE 50003
#define IDS_NOT_INSTALLED         50004
#define IDS_HELPPATH_UNREADABLE   50005
#define IDS_ASPI_UNKNOWN_ERROR    50006
#define IDS_ASPI_NOT_AVAILABLE    50007
#define IDS_NO_ADAPTER            50008
#define IDS_RESIZE_FAILED         50009
#define IDS_NO_DEVICE             50010
#define IDS_HOST_ADAPTER          50011
#define IDS_RESCAN_QUESTION       50012
#define IDS_RESCAN_FAILED         50013
#define IDS_STATUSBAR_FAILED      50014
#define IDS_TOOLBAR_FAILED        50015
#define IDS_LISTVIEW_FAILED       50016
#define IDS_TREEVIEW_FAILED       50017
#define IDS_NONE                  50018
#define IDS_OPEN_TITLE            50019
#define IDS_FILE_OPEN_FAILED      50020
#define IDS_FILE_SIZE_FAILED      50021
#define IDS_NO_MEMORY             50022
#define IDS_FILE_EMPTY            50023
#define IDS_BAD_ADAPTER_COUNT     50024
#define IDS_BAD_DEVICE_COUNT      50025
#define IDS_TYPE_HARD_DISK        50026
#define IDS_TYPE_CD_ROM           50027
#define IDS_TYPE_TAPE             50028
#define IDS_TYPE_REMOVABLE        50029
#define IDS_TYPE_HOST_ADAPTER     50030
#define IDS_TYPE_WORM             50031
#define IDS_TYPE_SCANNER          50032
#define IDS_TYPE_NO_DEVICE        50033
#define IDS_TYPE_UNKNOWN          50034
#define IDS_FORMAT_FAILED         50035
#define IDS_FILE_CREATE_FAILED    50036
#define IDS_FILE_WRITE_FAILED     50037
#define IDS_SAVE_TITLE            50038
#define IDS_PROPERTIES_CAPTION    50039
#define IDS_CONTROLLER_REFUSAL    50040
#define IDS_OK                    50041
#define IDS_NO_DEVICE_REFUSAL     50042
#define IDS_BEGIN_TESTS           50043
#define IDS_WARNING_SHARED        50044
#define IDS_WARNING_DESTRUCTIVE   50045
#define IDS_WARNING_SAFE_DEVICES  50046
#define IDS_WARNING_PROCEED       50047
#define IDS_TESTS_CAPTION         50048
#define IDS_IN_PROGRESS           50049
#define IDS_TESTING               50050
#define IDS_PASSED                50051
#define IDS_FAILED                50052
#define IDS_SENSE_HEADING         50053
#define IDS_SENSE_KEY_LABEL       50054
#define IDS_SENSE_CODE_LABEL      50055
#define IDS_SENSE_QUALIFIER_LABEL 50056
#define IDS_CONTINUE_QUESTION     50057
#define IDS_TUR_FAILED_CAPTION    50058
#define IDS_TESTING_COMPLETE      50060
#define IDS_WRITE_FAILED_CAPTION  50061
#define IDS_READ_FAILED_CAPTION   50062
#define IDS_TESTS_SUCCESSFUL      50063
#define IDS_ADDICON_FAILED        50064
#define IDS_TREE_CREATE_FAILED    50065
#define IDS_TREE_IMAGELIST_FAILED 50066
#define IDS_TREE_IMAGES_MISSING   50067
#define IDS_TREE_INSERT_FAILED    50068
#define IDS_LIST_INSERT_FAILED    50069
#define IDS_NOT_TESTED            50070
#define IDS_TYPE_PRINTER          50071
#define IDS_NUMBERED_ADAPTER      50072 /* name of an adapter that told none: adapter number */
#define IDS_ABOUT_TITLE           50100 /* "About ": the About box's title, before the product's name */
#define IDS_FILTER_LISTING_FILES  50150
#define IDS_FILTER_ALL_FILES      50151
#define IDS_FILE_NOT_FOUND        50152

/* ---- Dialogs ---------------------------------------------------------- */
#define IDD_ADAPTER_PAGE          135
#define IDD_DIAGNOSTICS           138
#define IDD_DEVICE_PAGE           900
#define IDD_DETAILS_PAGE          903

/* ---- Controls ---------------------------------------------------------- */
#define IDC_STATUS_BAR            1000
#define IDC_TOOLBAR               1001
#define IDC_DEVICE_LIST           1002
#define IDC_ADAPTER_TREE          1003
#define IDC_SCSI_ID               1006
#define IDC_SCSI1                 1008
#define IDC_SCSI2                 1009
#define IDC_SYNCHRONOUS           1010
#define IDC_REMOVABLE             1011
#define IDC_WIDE16                1012
#define IDC_PICTURE               1013
#define IDC_NARROW                1014
#define IDC_WIDE32                1015
#define IDC_SCSI3                 1016
#define IDC_MANUFACTURER          1017
#define IDC_VERSION               1018
#define IDC_DEVICE_TYPE           1019
#define IDC_PRODUCT               1020
#define IDC_HA_NAME               1021
#define IDC_HA_NUMBER             1022
#define IDC_HA_MANAGER            1023
#define IDC_HA_SCSI_ID            1024
#define IDC_HA_DESCRIPTION        1025
/* Details page: each field is a read-only edit control after its label.
 * These ids are kept as they are: tests that read the page from outside
 * find its fields by them. */
#define IDC_DETAILS_CAPACITY      1040
#define IDC_DETAILS_SERIAL        1041
#define IDC_DETAILS_IDENTIFIER    1042
/* diagnostics dialog rows */
#define IDC_TUR_CHECK             1022
#define IDC_WRITE_CHECK           1024
#define IDC_READ_CHECK            1025
#define IDC_TUR_STATE             1026
#define IDC_WRITE_STATE           1028
#define IDC_READ_STATE            1029
#define IDC_INFO_LINE             1035
#define IDC_INFO_BLOCK            1036
/* About box */
#define IDC_ABOUT_COMPANY         500
#define IDC_ABOUT_DESCRIPTION     501
#define IDC_ABOUT_VERSION         502
#define IDC_ABOUT_COPYRIGHT       503
#define IDC_ABOUT_OS              504
#define IDC_ABOUT_TRADEMARKS      505
#define IDC_ABOUT_RUNNING_ON      506

/* ---- Pictures ---------------------------------------------------------- */
#define IDI_HOST_ADAPTER          110
#define IDI_HARD_DISK             111
#define IDI_CD_ROM                112
#define IDI_REMOVABLE             113
#define IDI_TAPE                  114
#define IDI_WORM                  115
#define IDI_SCANNER               116
#define IDI_PRINTER               117
#define IDI_NO_DEVICE             118
#define IDI_PROGRAM               134
#define IDI_UNKNOWN               401
#define IDB_HOST_ADAPTER          119
#define IDB_HARD_DISK             120
#define IDB_CD_ROM                121
#define IDB_TAPE                  122
#define IDB_SCANNER               123
#define IDB_REMOVABLE             124
#define IDB_PRINTER               125
#define IDB_NO_DEVICE             126
#define IDB_WORM                  127
#define IDB_UNKNOWN               128
#define IDB_ABOUT                 142
#define IDB_TOOLBAR_DIAGNOSTICS   150
#define IDB_TREE_ROOT             404
#define IDB_TREE_ADAPTER          405
#define IDB_TREE_SELECTED         406

#endif /* TD_RESOURCE_IDS_H */
