// Resource ids of the single question dialog.
#pragma once

#include "answer_ids.h"

#define IDD_QUERY_FORM 2110
#define IDC_QUERY_TEXT 2111
