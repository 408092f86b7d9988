// Resource ids, shared by the resource script and the code. The search window's
// controls keep the numbers its template gives them.
#pragma once

#define IDD_SEARCH 121

#define IDC_SEARCH_ABOUT 3
#define IDC_MODE_PART_OF_TEXT 1000
#define IDC_MODE_WHOLE_WORD 1001
#define IDC_MODE_ROOTS 1002
#define IDC_MODE_DERIVATIVES 1003
#define IDC_SEARCH_TEXT 1004
#define IDC_VERSE_TEXT 1005
#define IDC_ROOT_LIST 1011
#define IDC_START_SEARCH 1032
#define IDC_COPY_VERSES 1033
#define IDC_CHOOSE_FONT 1034
#define IDC_COPY_MARKED 1035
#define IDC_SEARCH_HELP 1036
#define IDC_RESULT_LIST 1060
#define IDC_VERSE_COUNT 1063
#define IDC_OCCURRENCE_COUNT 1064
#define IDC_RESULTS_ONLY 1066
#define IDC_LOOSE_SEARCH 1067
#define IDC_CITATION_SETTINGS 1068
// Going to verses by chapter and number.
#define IDC_REF_CHAPTER 1069
#define IDC_REF_FIRST 1070
#define IDC_REF_LAST 1071
#define IDC_REF_SHOW 1072
#define IDC_ALL_WORDS 1073

#define IDD_SPLASH 101
#define IDB_BITMAPSPLASH 132
#define IDD_ABOUT 204
#define IDB_EMBLEM 226

// The citation settings window. Each radio group's ids run in the order of its
// choices' values.
#define IDD_CITATION_SETTINGS 300
#define IDC_CITE_BRACKETS_PLAIN 3000
#define IDC_CITE_BRACKETS_ORNATE 3001
#define IDC_CITE_REFERENCE_CHAPTER 3002
#define IDC_CITE_REFERENCE_SHORT 3003
#define IDC_CITE_DIGITS_WESTERN 3004
#define IDC_CITE_DIGITS_ARABIC 3005
#define IDC_CITE_JOIN 3006
#define IDC_CITE_DOCUMENT_FONT 3007
#define IDC_CITE_PREVIEW 3008
#define IDC_CITE_SEPARATOR_NONE 3009
#define IDC_CITE_SEPARATOR_BLANK 3010
#define IDC_CITE_SEPARATOR_PARAGRAPH 3011
#define IDC_ABOUT_EMBLEM 3100
