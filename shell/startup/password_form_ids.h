// Control ids of the password window (the shell keeps its ids in 2000-2999).
#pragma once

#define IDD_PASSWORD 2000
#define IDC_PASSWORD_PROMPT 2001
#define IDC_PASSWORD_EDIT 2002
#define IDC_PASSWORD_FORGOT 2003
