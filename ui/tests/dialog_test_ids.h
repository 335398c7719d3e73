#pragma once

#define IDD_UI_TEST 100
#define IDC_UI_TEST_FIRST 101
#define IDC_UI_TEST_SECOND 102
#define IDC_UI_TEST_BUTTON 103
