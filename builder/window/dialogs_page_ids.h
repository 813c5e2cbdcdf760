// Control ids of the builder's Dialoge page (also used by the Wine tests).
#pragma once

#define IDC_PageDialoge 1600
#define IDC_CheckListBox1 1601
#define IDC_LabelLanguage 1602
#define IDC_ComboLanguage 1603
#define IDC_LabelCustomDll 1604
#define IDC_EditCustomDll 1605
#define IDC_LabelFitDlg 1606

// The panels below the sequence list; exactly one is visible.
#define IDC_PanelDummy 1610
#define IDC_PanelWelBmp 1611
#define IDC_PanelLizenz 1612
#define IDC_PanelReadMe 1613
#define IDC_PanelUser 1614
#define IDC_PanelUserLB 1615
#define IDC_PanelAdvert 1616
#define IDC_PanelForceReboot 1617

#define IDC_EditWelBmp 1621
#define IDC_BtnWelBmp 1622
#define IDC_EditLizenz 1623
#define IDC_BtnLizenz 1624
#define IDC_EditInfoTxt 1625
#define IDC_BtnInfoTxt 1626
#define IDC_CheckName 1627
#define IDC_EditUserLB 1628
#define IDC_BtnUserLB 1629
#define IDC_EditAdvert 1630
#define IDC_BtnAdvert 1631
#define IDC_RadioForceReboot 1632
#define IDC_RadioAutoReboot 1633
