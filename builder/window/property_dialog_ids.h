// Dialog and control ids of the property dialogs (also used by the Wine
// tests).
#pragma once

#define IDD_GetFDirDlg 2100
#define IDC_GFD_Edit2 2101
#define IDC_GFD_Edit1 2102
#define IDC_GFD_MultiEdit1 2103
#define IDC_GFD_CheckBox1 2104
#define IDC_GFD_CheckBox2 2105

#define IDD_RegKeyDlg 2200
#define IDC_RK_Edit2 2201
#define IDC_RK_ComboBox1 2202
#define IDC_RK_Edit1 2203
#define IDC_RK_MultiEdit1 2204
#define IDC_RK_CheckBox1 2205
#define IDC_RK_CheckBox2 2206
#define IDC_RK_CheckBox3 2207

#define IDD_RegValDlg 2300
#define IDC_RV_Edit1 2301
#define IDC_RV_CheckBox1 2302
#define IDC_RV_Edit2 2303
#define IDC_RV_GroupBox1 2304
#define IDC_RV_RadioButton1 2305
#define IDC_RV_RadioButton2 2306
#define IDC_RV_RadioButton3 2307
#define IDC_RV_RadioButton4 2308
#define IDC_RV_DwordHint 2309

#define IDD_ShellNameDlg 2400
#define IDC_SN_StaticText1 2401
#define IDC_SN_Edit1 2402
#define IDC_SN_Edit2 2403
#define IDC_SN_Edit3 2404
#define IDC_SN_Edit4 2405
#define IDC_SN_Edit5 2406
#define IDC_SN_Edit6 2407
#define IDC_SN_CheckBox1 2408
#define IDC_SN_CheckBox2 2409

#define IDD_DefDirDlg 2500
#define IDC_DD_Edit2 2501
#define IDC_DD_BitBtn08 2502
#define IDC_DD_CheckBox1 2503
