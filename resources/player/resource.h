// Resource ids of the player, shared by player.rc and the code.
#pragma once

#define IDD_PLAYER 102
#define IDD_AD_POPUP 144
#define IDI_PLAYER 128

// Bitmaps: the two skins and the faces of the skinned buttons and slider.
#define IDB_CLOSE 130
#define IDB_CLOSE_PRESSED 133
#define IDB_MAXIMIZE 134
#define IDB_MINIMIZE 135
#define IDB_MINIMIZE_HOVER 136
#define IDB_MINIMIZE_PRESSED 138
#define IDB_CLOSE_HOVER 140
#define IDB_SKIN_FULL 143
#define IDB_SEARCH 145
#define IDB_SEARCH_PRESSED 146
#define IDB_FULL_SCREEN 155
#define IDB_FULL_SCREEN_HOVER 156
#define IDB_FULL_SCREEN_PRESSED 157
#define IDB_STOP 158
#define IDB_STOP_HOVER 159
#define IDB_STOP_PRESSED 160
#define IDB_PLAY 161
#define IDB_PLAY_HOVER 162
#define IDB_PLAY_PRESSED 163
#define IDB_PAUSE 164
#define IDB_PAUSE_HOVER 165
#define IDB_PAUSE_PRESSED 166
#define IDB_TOPMOST 167
#define IDB_TOPMOST_HOVER 168
#define IDB_TOPMOST_PRESSED 169
#define IDB_SLIDER_TRACK 170
#define IDB_SKIN_PLAY 179
#define IDB_MODE_FULL 182
#define IDB_MODE_PLAY 183
#define IDB_SLIDER_THUMB 184
#define IDB_VOLUME 185
#define IDB_VOLUME_MUTED 186
#define IDB_VOLUME_LEVEL 187

// Controls of the main window (template IDD_PLAYER).
#define IDC_CLOSE 1000
#define IDC_MAXIMIZE 1001
#define IDC_MINIMIZE 1002
#define IDC_SEARCH 1003
#define IDC_CATEGORY_TREE 1004
#define IDC_MOVIE_LIST 1005
#define IDC_TOPMOST 1006
#define IDC_SEARCH_TEXT 1007
#define IDC_SEARCH_LABEL 1008
#define IDC_SEARCH_TYPE 1009
#define IDC_HELP_LABEL 1014
#define IDC_VIDEO_AREA 1015
#define IDC_FULL_SCREEN 1016
#define IDC_STOP 1017
#define IDC_PLAY_PAUSE 1018
#define IDC_MODE 1019
#define IDC_PLAY_TIME 1020
#define IDC_STATUS_LINE 1021
#define IDC_POSITION 1022
// Made by the program, not the template.
#define IDC_VOLUME 1023

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Initial data of dialog controls (combo box items), as resource type 240.
#define RT_DIALOG_INIT_DATA 240
// The combo box message that initial data carries for its items.
#define DIALOG_INIT_ADD_STRING 0x0403

