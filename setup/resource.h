// Resource identifiers of setup. Plain numbers only: the resource script, the
// Windows code and the portable configuration code all include this file.
#pragma once

// The menu dialog and its controls; the control identifiers are also the
// menu's results.
#define IDD_MENU 3500
#define IDC_ENTRY1 3501
#define IDC_ENTRY2 3502
#define IDC_ENTRY3 3503
#define IDC_ENTRY4 3504
#define IDC_ENTRY5 3505
#define IDC_ENTRY6 3506
#define IDC_BROWSE 3507
#define IDC_EXIT 3508
#define IDC_FOCUS_SINK 3509

// Icons and the cursor shown over entries.
#define IDI_APP 1
#define IDI_ENTRY1 2020
#define IDI_ENTRY2 2021
#define IDI_ENTRY3 2022
#define IDI_ENTRY4 2023
#define IDI_ENTRY5 2024
#define IDI_ENTRY6 2025
#define IDI_BROWSE 2026
#define IDI_EXIT 2027
#define IDC_ENTRY_CURSOR 4000

// The compressed background picture (type "LZWGFX").
#define IDR_BACKGROUND 2010

// String table.
#define IDS_LABEL_FONT 3000
#define IDS_HELP_FONT 3001
#define IDS_ENTRY1_LABEL 3002
#define IDS_BROWSE_LABEL 3003
#define IDS_EXIT_LABEL 3004
#define IDS_INF_SECTION 3005

// The language tag resource: type 255, name 1, the program's language.
#define LANGUAGE_TAG_TYPE 255
#define LANGUAGE_TAG_NAME 1
