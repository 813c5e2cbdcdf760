// Control ids of the builder's main window (also used by the Wine tests).
#pragma once

#define IDD_FITTING 199

#define IDC_PageControl1 1000
#define IDC_BtnOpenProj 1001
#define IDC_BtnSaveProj 1002
#define IDC_BitBtnCreate 1003
#define IDC_BitBtn6 1004
#define IDC_ProgressBar1 1005
#define IDC_StaticText1 1006
#define IDC_StaticText2 1007
#define IDC_PageProjekt 1010
#define IDC_PageInstallation 1011

// Projekt page.
#define IDC_PaintBox1 1101
#define IDC_RichEdit1 1102
#define IDC_LabelFileName 1103
#define IDC_EditFileName 1104
#define IDC_BitBtn1 1105
#define IDC_LabelDefGen 1106
#define IDC_EditDefGen 1107
#define IDC_BitBtn3 1108

// Installation page: "Applikationsinformationen".
#define IDC_GroupApp 1200
#define IDC_EditApp 1201
#define IDC_EditVer 1202
#define IDC_EditVer2 1203
#define IDC_EditCompany 1204
#define IDC_BtnCompany 1205
#define IDC_EditTargetDir 1206
#define IDC_EditFolder 1207
#define IDC_EditExe 1208
#define IDC_BtnExe 1209
#define IDC_EditReadMe 1210
#define IDC_BitBtnReadMe 1211
#define IDC_CheckBoxLN 1212
#define IDC_CheckBoxInst 1213
#define IDC_CheckBoxDeinst 1214

// Installation page: "Installationshintergrund".
#define IDC_GroupBackground 1220
#define IDC_RadioTitleText 1221
#define IDC_RadioTitleBmp 1222
#define IDC_EditTitleBmp 1223
#define IDC_BitBtn4 1224
#define IDC_LabelTitleSz 1225
#define IDC_EditTitleSz 1226
#define IDC_RadioButton_LT 1227
#define IDC_RadioButton_ZT 1228
#define IDC_RadioButton_RT 1229
#define IDC_CheckBox_AnimT 1230
#define IDC_EditLogo 1231
#define IDC_BitBtn5 1232
#define IDC_ComboLogoAlign 1233
#define IDC_CheckBox_AnimL 1234
#define IDC_ComboColor 1235
#define IDC_CheckBoxFullScreen 1236
#define IDC_CheckBoxSizeable 1237
#define IDC_PaintBox2 1238
#define IDC_LabelPreview 1239
