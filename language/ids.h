/* Resource ids of a language module: the dialogs, controls and strings that Setup, the builder and the dispatcher look up by number. */
#ifndef TW_LANGUAGE_IDS_H
#define TW_LANGUAGE_IDS_H

/* Message boxes of the install engine and the dispatcher's progress box. */
#define DLG_CANCEL 100
#define DLG_READ_ONLY 101
#define DLG_DISK_FULL 102
#define DLG_PREPARE 150
/* The same page as the builder binds it into the package for the dispatcher. */
#define PKG_DLG_PROGRESS 100

/* Wizard pages: the step index of the sequence is the id minus 200. */
#define DLG_WELCOME_PICTURE 200
#define DLG_WELCOME 201
#define DLG_LICENCE 202
#define DLG_INFO 203
#define DLG_USER 204
#define DLG_DESTINATION 205
#define DLG_SETUP_TYPE 206
#define DLG_COMPONENTS 207
#define DLG_FOLDER 208
#define DLG_SUMMARY 209
#define DLG_PROGRESS 210
#define DLG_ADVERT 211
#define DLG_RESTART 212
#define DLG_FINISH 213
#define DLG_MAINTENANCE 214
#define DLG_UNINSTALL 215

/* Buttons (1 and 2 are the dialog manager's IDOK and IDCANCEL). */
#define IDC_NEXT 1
#define IDC_CANCEL 2
#define IDC_CANCEL_LIST 3
#define IDC_YES 6
/* The No button; code that includes this file never uses the system's cursor of that name. */
#ifdef IDC_NO
#undef IDC_NO
#endif
#define IDC_NO 7
#define IDC_RETRY 4
#define IDC_BACK 12
#define IDC_LIST_OK 13
#define IDC_DETAILS 20
#define IDC_ACCEPT 25
#define IDC_FOLDER_LABEL 30
#define IDC_LINK_LABEL 31
#define IDC_ASK_AGAIN 100
#define IDC_QUESTION 101
#define IDC_BROWSE 196

#define IDC_TEXT 301
#define IDC_COMPANY 302
#define IDC_DESKTOP 303
#define IDC_LIST_LABEL 400
#define IDC_LIST 401
#define IDC_TYPE1 501
#define IDC_TYPE2 502
#define IDC_TYPE3 503
#define IDC_TYPE4 504
#define IDC_RESTART_NOW 512
#define IDC_RESTART_LATER 513
#define IDC_OPTION1 521
#define IDC_OPTION2 522

#define IDC_UNINSTALL_TEXT 700
#define IDC_DONE_OK 701
#define IDC_DONE_PARTLY 702
#define IDC_TYPE_TEXT1 701
#define IDC_TYPE_TEXT2 702
#define IDC_TYPE_TEXT3 703
#define IDC_TYPE_TEXT4 704
#define IDC_INTRO 710
#define IDC_NOTE 711
#define IDC_DESCRIPTION 712
#define IDC_DESTINATION 715
#define IDC_NEEDED 716
#define IDC_AVAILABLE 717
#define IDC_COUNT 720
/* The uninstall steps: label 710 + n, mark 720 + n. */
#define IDC_STEP1 711
#define IDC_STEP2 712
#define IDC_STEP3 713
#define IDC_STEP4 714
#define IDC_MARK1 721
#define IDC_MARK2 722
#define IDC_MARK3 723
#define IDC_MARK4 724

#define IDC_PICTURE 1200
#define IDC_COPY_HEADING 1400
#define IDC_CHECK_HEADING 1425
#define IDC_CURRENT_FILE 1450
#define IDC_PROGRESS 1500
#define IDC_PREPARE_TEXT 701

/* Pictures. */
#define BMP_SIDE 100
#define BMP_STATES 101
#define BMP_MARK 102
#define BMP_DITHER 104
#define ICO_SETUP 2
#define ICO_PACKAGE 3

/* Version resources: 1 the module itself, 2 for _SETUP.DLL, 3 for the package. */
#define VER_MODULE 1
#define VER_SETUP_DLL 2
#define VER_PACKAGE 3

/* Strings. */
#define STR_TYPE_NORMAL 200
#define STR_TYPE_MINIMAL 201
#define STR_TYPE_CUSTOM 202
#define STR_TYPE_NETWORK 203
/* Page headings of the summary, the component count, the folder browser's
   title, the finish page's notes (520 + 1 read-me, + 2 program, + 3 both),
   the progress texts. */
#define STR_HEAD_USER 512
#define STR_HEAD_TYPE 514
#define STR_HEAD_DIR 515
#define STR_HEAD_FOLDER 516
#define STR_HEAD_QUICK 517
#define STR_COMPONENTS_CHOSEN 518
#define STR_BROWSE_TITLE 520
#define STR_FINISH_README 521
#define STR_FINISH_PROGRAM 522
#define STR_FINISH_BOTH 523
#define STR_COPYING 524
#define STR_REGISTERING 525
#define STR_HEAD_DESKTOP 526
/* The runtime's messages. */
#define STR_MSG_FILE_IN_THE_WAY 1024
#define STR_MSG_NO_LONG_NAMES 1025
#define STR_MSG_CANNOT_CREATE 1026
#define STR_MSG_CREATE_FOLDER 1027
#define STR_MSG_NO_SPACE 1028
#define STR_MSG_DAMAGED 1029
#define STR_MSG_NO_EARLIER 1030
#define STR_MSG_EARLIER_FOUND 1031
#define STR_CONFIRM_REMOVAL 1032
#define STR_MSG_EARLIER_INSTALLATION 1033
#define STR_MSG_NO_FOLDER_RIGHT 1040
#define STR_MSG_NO_WRITE_RIGHT 1041
/* The runtime's messages after an install run was taken back, and for a
   removal already under way in the same folder. */
#define STR_RUN_CANCELLED 1045
#define STR_RUN_FAILED 1046
#define STR_RUN_NOT_UNDONE 1047
#define STR_REMOVAL_RUNNING 1048
#define STR_LANGUAGE_NAME 10000

#endif
