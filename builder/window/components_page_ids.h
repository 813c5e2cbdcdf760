// Control ids of the Komponenten page (also used by the Wine tests).
#pragma once

#define IDC_PageKomponenten 1012

#define IDC_TVKomp 1301
#define IDC_TVITypes 1302
#define IDC_BitBtnF01 1311
#define IDC_BitBtnF02 1312
#define IDC_BitBtnF03 1313
#define IDC_BitBtnR01 1314
#define IDC_BitBtnR02 1315
#define IDC_BitBtnR03 1316
#define IDC_BitBtn04 1317
#define IDC_BitBtn05 1318
#define IDC_BitBtn06 1319
#define IDC_BitBtn07 1320
#define IDC_BitBtnI04 1321
#define IDC_BitBtnI05 1322
#define IDC_BitBtnI06 1323
#define IDC_BitBtnI07 1324
#define IDC_BitBtnI08 1325
#define IDC_BitBtn2 1326
#define IDC_BitBtnFileLink 1327
#define IDC_BitBtnDelSMF 1328
#define IDC_BitBtnSMFUp 1329
#define IDC_BitBtnSMFDown 1330
#define IDC_BitBtnEditSMF 1331
#define IDC_CheckNormInst 1332
#define IDC_CheckMinInst 1333
#define IDC_CheckUserInst 1334
#define IDC_CheckSystemInst 1335
#define IDC_RBNorm 1336
#define IDC_RBMin 1337
#define IDC_RBUser 1338
#define IDC_MultiEdit2 1339
#define IDC_CheckListBox2 1340
#define IDC_KompStatus 1341
#define IDC_RadioButtonOVN 1342
#define IDC_RadioButtonOVA 1343
#define IDC_RadioButtonOVD 1344
#define IDC_RadioButtonOVV 1345
#define IDC_CBSharedDll 1346
#define IDC_CBIniFile 1347
#define IDC_LabelOverwrite 1348
