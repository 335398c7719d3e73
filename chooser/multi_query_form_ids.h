// Resource ids of the component list dialog.
#pragma once

#include "answer_ids.h"

#define IDD_MULTI_QUERY_FORM 2120
#define IDC_MULTI_LABEL 2121
#define IDC_MULTI_LIST 2122  // CheckListBox1
