/*
 * Resource identifiers of qlgroup.exe, the group authoring tool.
 * Plain #defines only: windres reads this file too. In the messages, %1, %2 and %3
 * stand for the texts the tool puts in.
 */
#ifndef QLGROUP_RESOURCE_H
#define QLGROUP_RESOURCE_H

#define IDS_QG_USAGE                3000
#define IDS_QG_NO_GROUP             3001
#define IDS_QG_GROUP_EXISTS         3002
#define IDS_QG_NAME_BAD             3003
#define IDS_QG_TITLE_BAD            3004
#define IDS_QG_TITLE_EXISTS         3005
#define IDS_QG_NO_ITEM              3006
#define IDS_QG_COMMAND_TOO_LONG     3007
#define IDS_QG_COMMAND_EMPTY        3008
#define IDS_QG_DIR_UNUSABLE         3009
#define IDS_QG_PROGRAM_MISSING      3010
#define IDS_QG_NO_ICON              3011
#define IDS_QG_GROUP_REFUSED        3012
#define IDS_QG_TOO_MANY_ITEMS       3013
#define IDS_QG_TAGS_TOO_LARGE       3014
#define IDS_QG_RECORD_TOO_LARGE     3015
#define IDS_QG_WRITE_DENIED         3016
#define IDS_QG_WRITE_FAILED         3017
#define IDS_QG_FILE_READ            3018
#define IDS_QG_FILE_WRITE           3019
#define IDS_QG_FILE_REFUSED         3020
#define IDS_QG_WHY_UNREADABLE       3021
#define IDS_QG_WHY_HEADER           3022
#define IDS_QG_LIST_LINE            3023
#define IDS_QG_LIST_REFUSED         3024
#define IDS_QG_LIST_SKIPPED         3025
#define IDS_QG_LIST_TAGS            3026
#define IDS_QG_SHOW_GROUP           3027
#define IDS_QG_SHOW_ITEM            3028
#define IDS_QG_YES                  3029
#define IDS_QG_NO                   3030
#define IDS_QG_ADDED                3031
#define IDS_QG_REMOVED              3032
#define IDS_QG_ITEM_ADDED           3033
#define IDS_QG_ITEM_REMOVED         3034
#define IDS_QG_EXPORTED             3035
#define IDS_QG_IMPORTED             3036
#define IDS_QG_SM_NO_FOLDER         3037
#define IDS_QG_SM_SKIPPED           3038
#define IDS_QG_SM_GROUP             3039
#define IDS_QG_SM_GROUP_ADDED       3040
#define IDS_QG_SM_DRY_RUN           3041
#define IDS_QG_TEXT_BAD             3042
#define IDS_QG_SM_LINK_UNREADABLE   3043
#define IDS_QG_SM_NO_TARGET         3044
#define IDS_QG_SM_FOLDER_UNREADABLE 3045
#define IDS_QG_NONE                 3046
#define IDS_QG_READ_DENIED          3047
#define IDS_QG_SM_NO_DIR            3048
#define IDS_QG_WRITE_DENIED_COMMON  3049
#define IDS_QG_WHY_KEY_NAME         3050
#define IDS_QG_SM_SHELL_ITEM        3051
#define IDS_QG_SM_A_SHELL_ITEM      3052
#define IDS_QG_SM_NOT_INSTALLED     3053
#define IDS_QG_SM_NO_ADDRESS        3054
#define IDS_QG_SM_SUMMARY           3055
#define IDS_QG_SM_SUMMARY_DRY_RUN   3056

#endif
