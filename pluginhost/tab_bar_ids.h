// Resource and control ids of the plugin host (its range: 3000-3099).
#pragma once

#define IDS_TABBAR_BUTTON 3000
#define IDC_TABBAR_TABS 3001
#define IDC_TABBAR_BUTTON 3002
