#pragma once
// Resource ids of the installation dialog and its button glyphs.
#define IDD_INSTALLAZ 800
#define IDR_RBUTENTE 801
#define IDR_RBTUTTI 802
#define IDG_LABELAMM 803
#define IDG_ICONE 804
#define IDX_DESKTOP 805
#define IDX_MENUAVVIO 806
#define IDX_AVVIOVELOCE 807
#define IDL_LB2 808
#define IDT_LABEL1 809
#define IDB_ANNULLA 810
#define IDB_IMPOSTA 811
#define IDB_DISINSTALLA 812
#define IDB_INST_HELP 813

// Glyphs: each button's image, then its grey version.
#define IDI_GLYPH_ANNULLA 20
#define IDI_GLYPH_IMPOSTA 21
#define IDI_GLYPH_DISINSTALLA 22
#define IDI_GLYPH_HELP 23
#define IDI_GLYPH_ANNULLA_GREY 24
#define IDI_GLYPH_IMPOSTA_GREY 25
#define IDI_GLYPH_DISINSTALLA_GREY 26
#define IDI_GLYPH_HELP_GREY 27
