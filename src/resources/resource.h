#pragma once
// Resource ids shared by the .rc files and the code.
#define IDI_QUILLMERE 1
#define IDD_MAIN 200
#define IDC_MAIN_TEXT 201
#define IDC_MAIN_HEADING 202

// Carried files: the zip libraries and the clean-up program.
#define IDR_ZIPLIB 101
#define IDR_UNZIPLIB 102
#define IDR_CLEANER 104
