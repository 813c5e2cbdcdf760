/* Ids of the driver's test dialog: the page ids the wizard's language modules use, and two pages. */
#ifndef TW_DRIVER_TARGET_IDS_H
#define TW_DRIVER_TARGET_IDS_H

#define DLG_TARGET_FIRST 200
#define DLG_TARGET_SECOND 201

#define IDC_NEXT 1
#define IDC_CANCEL 2
#define IDC_BACK 12
#define IDC_ACCEPT 25
#define IDC_COMPANY 302
#define IDC_DESKTOP 303
#define IDC_SLOW 304
#define IDC_LIST 401
#define IDC_SIZES 402
#define IDC_TYPE1 501
#define IDC_TYPE2 502
#define IDC_TYPE3 503
#define IDC_INTRO 710
#define IDC_LABEL 711
#define IDC_ANSWER 712
#define IDC_DESTINATION 715
#define IDC_NOTES 716
#define IDC_LICENCE 717

#endif
