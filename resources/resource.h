/* Resource and control identifiers, shared by the .rc layouts and the code. */
#pragma once

/* Icons */
#define IDI_APPLICATION_ICON 1
#define IDI_BUTTON_HMAX 201   /* Image1 */
#define IDI_BUTTON_VMAX 202   /* Image2 */
#define IDI_BUTTON_TOMENU 203 /* Image3 */
#define IDI_BUTTON_SHADE 204  /* Image4 */
#define IDI_BUTTON_TOICON 205 /* Image5 */
#define IDI_BUTTON_PIN 206    /* Image6: not on top */
#define IDI_BUTTON_PINNED 207 /* Image7: on top */

/* Form layouts */
#define IDD_STRENNIX 100
#define IDD_TRAYFORM 101

/* Controls of TStrennix */
#define IDC_GROUPBUTTONS 1001
#define IDC_CHKVMAX 1002
#define IDC_CHKHMAX 1003
#define IDC_CHKMINMENU 1004
#define IDC_CHKMINICON 1005
#define IDC_CHKSHADE 1006
#define IDC_CHKTOP 1007
#define IDC_GROUPEXCLUDE 1008
#define IDC_CHKMSGBOX 1009
#define IDC_CHKTOOL 1010
#define IDC_CHKTRANSP 1011
#define IDC_CHKCLASSES 1012
#define IDC_BTNEDITCLASSES 1013
#define IDC_PANEL1 1014
#define IDC_CHKNAMES 1015
#define IDC_PANEL2 1016
#define IDC_BTNEDITNAMES 1017
#define IDC_GRPMENU 1018
#define IDC_CHKMENUSTAY 1019
#define IDC_LBLSORT 1020
#define IDC_RDBTNALPHA 1021
#define IDC_RDBTNTIME 1022
#define IDC_CHKSTART 1023
#define IDC_GRPDRAWON 1024
#define IDC_RDBTNFOREGROUND 1025
#define IDC_RDBTNALLWINDOWS 1026
#define IDC_GRPPRIORITY 1027
#define IDC_TRACKPRIORITY 1028
#define IDC_BTNSAVE 1029
#define IDC_BTNQUIT 1030
#define IDC_BTNHIDE 1031
#define IDC_LABEL1 1032

/* Controls of TTrayForm */
#define IDC_LISTBOX1 1101

/* Timers */
#define IDT_TIMER1 1
