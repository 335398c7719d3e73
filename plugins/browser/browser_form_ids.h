// Control ids and texts of the browser window (the plugin keeps its ids in
// 15100-15199).
#pragma once

#define IDC_BROWSER_TOOLBAR 15100
#define IDC_BROWSER_STATUS 15101
#define IDC_BROWSER_STATUS_LABEL 15102
#define IDC_BROWSER_LOGO 15103
#define IDC_BROWSER_MISSING 15104
#define IDC_BROWSER_MISSING_URL 15105

// Tool buttons; their texts and hints are the string of the same id.
#define IDC_BROWSER_BACK 15110
#define IDC_BROWSER_FORWARD 15111
#define IDC_BROWSER_REFRESH 15112
#define IDC_BROWSER_STOP 15113
#define IDC_BROWSER_HOME 15114
#define IDC_BROWSER_CLOSE 15115

#define IDS_BROWSER_LOADING 15120
#define IDS_BROWSER_MISSING 15121
#define IDS_BROWSER_MISSING_URL 15122
