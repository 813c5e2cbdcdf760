/* Geometry of the wizard pages in dialog units, shared by every language so that all pages line up. */
#ifndef TW_LANGUAGE_LAYOUT_H
#define TW_LANGUAGE_LAYOUT_H

#define PAGE_W 320
#define PAGE_H 232
#define PAGE_STYLE (DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU)
#define PAGE_FONT FONT 8, "MS Shell Dlg"

/* Side picture on the left. The control takes the size of its bitmap,
   144 x 300 pixels: the height of the area at 96 dpi with the 8 pt dialog
   font, and narrow enough to leave a gap before the text column with any
   of the usual dialog fonts. */
#define PIC_X 7
#define PIC_Y 7
#define PIC_W 100
#define PIC_H 185

/* Text column right of the picture. */
#define COL_X 116
#define COL_W 197
#define COL_R (COL_X + COL_W)

/* Separator and button row along the bottom. */
#define SEP_X 7
#define SEP_Y 200
#define SEP_W 306
#define BTN_Y 209
#define BTN_W 56
#define BTN_H 14
#define BACK_X 137
#define NEXT_X 193
#define CANCEL_X 257

/* The separator is drawn by the runtime's "BEVEL" class, which makes itself
   two pixels high whatever the template says. */
#define SEPARATOR CONTROL "", -1, "BEVEL", WS_CHILD | WS_VISIBLE, SEP_X, SEP_Y, SEP_W, 2
#define SIDE_PICTURE CONTROL "#100", IDC_PICTURE, "STATIC", SS_BITMAP | WS_CHILD | WS_VISIBLE, PIC_X, PIC_Y, PIC_W, PIC_H

/* The standard button row; each state is WS_DISABLED or 0. Next comes
   first so that a page without fields gives it the focus: Enter on a
   focused Back would otherwise step back instead of on. */
#define BUTTON_ROW(next_text, back_state, next_state, cancel_state, cancel_id) \
  DEFPUSHBUTTON next_text, IDC_NEXT, NEXT_X, BTN_Y, BTN_W, BTN_H, WS_TABSTOP | next_state \
  PUSHBUTTON T_BACK, IDC_BACK, BACK_X, BTN_Y, BTN_W, BTN_H, WS_TABSTOP | back_state \
  PUSHBUTTON T_CANCEL, cancel_id, CANCEL_X, BTN_Y, BTN_W, BTN_H, WS_TABSTOP | cancel_state

#endif
